#include "conversion_job.h"

#include "engine.h"
#include "messages.h"

namespace {

// The name of the acknowledge event: the display signals it once the user has dismissed a
// report, and the worker waits for it after each report.
constexpr char16_t ACK_EVENT_NAME[] = u"ENVENT1";

// A report reaches the user only while the job runs; after a stop the display shows nothing
// and nobody would signal the event, so the worker does not wait.
void ReportAndWait(ConversionJob* job, int index, JobResult code) {
    job->display.report(job, index, code);
    if (job->state.load() != JOB_STOPPED) {
        WaitForEvent(job->ackEvent);
    }
}

bool CopyText(char16_t* field, size_t capacity, const char16_t* text) {
    size_t length = 0;
    while (text[length] != 0) {
        if (length + 1 >= capacity) {
            field[0] = 0;
            return false;
        }
        field[length] = text[length];
        ++length;
    }
    field[length] = 0;
    return true;
}

CalendarTime BannerTime(const ConversionJob& job) {
    return job.stampFixed ? LocalTimeAt(job.stampEpoch) : LocalTimeNow();
}

}  // namespace

unsigned ConversionWorker(void* argument) {
    auto* job = static_cast<ConversionJob*>(argument);
    // The decoding tables are constant data: nothing to build before the first file.
    EnterLock(job->jobLock);
    const int fileCount = job->fileCount;
    for (int i = 0; i < fileCount; ++i) {
        LineState state{};
        if (job->state.load() == JOB_STOPPED) {
            LeaveLock(job->jobLock);
            return 0;
        }
        job->display.showFileName(job, i);
        char16_t countText[64];
        FormatCountText(i + 1, fileCount, countText, 64);
        job->display.showCount(job, i, countText);

        ConversionRequest request{job->sourcePaths[i], job->displayNames[i], job->outputFolder,
                                  job->options, BannerTime(*job)};
        ConversionResult result = ConvertEdlFile(request, &state, nullptr);
        job->results[i] = result;
        if (result != RESULT_CONVERTED) {
            ++job->failedCount;
            ReportAndWait(job, i, result);
        }
        // A file that could not even be opened leaves the progress where it was.
        if (result != RESULT_OPEN_FAILED) {
            job->display.stepProgress(job, i);
        }
    }
    LeaveLock(job->jobLock);
    // A job stopped while its last file was converted ends like any stopped job: no tally.
    if (job->state.load() == JOB_STOPPED) {
        return 0;
    }
    ReportAndWait(job, -1, RESULT_JOB_DONE);
    job->display.close(job);
    return 0;
}

PlatformThread* StartJobWorker(ConversionJob* job) {
    for (JobResult& result : job->results) {
        result = RESULT_NOT_REACHED;
    }
    job->jobLock = CreateLock();
    job->state.store(JOB_RUNNING);
    job->ackEvent = CreateAutoResetEvent(ACK_EVENT_NAME);
    PlatformThread* worker = nullptr;
    if (job->jobLock != nullptr && job->ackEvent != nullptr) {
        worker = StartThread(ConversionWorker, job);
    }
    if (worker == nullptr) {
        ReleaseJobObjects(job);
    }
    return worker;
}

void StopJob(ConversionJob* job) {
    job->state.store(JOB_STOPPED);
}

void ReleaseJobObjects(ConversionJob* job) {
    job->state.store(JOB_STOPPED);
    CloseEvent(job->ackEvent);
    job->ackEvent = nullptr;
    DestroyLock(job->jobLock);
    job->jobLock = nullptr;
    job->failedCount = 0;
}

bool SetJobFile(ConversionJob* job, int k, const char16_t* sourcePath,
                const char16_t* displayName) {
    return k >= 0 && k < MAX_JOB_FILES &&
           CopyText(job->sourcePaths[k], JOB_PATH_CHARS, sourcePath) &&
           CopyText(job->displayNames[k], JOB_NAME_CHARS, displayName);
}
