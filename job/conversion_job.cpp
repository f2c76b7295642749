#include "conversion_job.h"

#include "engine.h"
#include "messages.h"
#include "source_protection.h"

namespace {

// An output's name: a prefix and a display name.
constexpr size_t OUTPUT_NAME_CHARS = JOB_NAME_CHARS + 8;

// A report reaches the user only while the job runs; after a stop the display shows nothing
// and nobody would signal the event, so the worker does not wait.
void WaitForAcknowledgement(ConversionJob* job) {
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

// Before any conversion: a file whose output would replace a source of the job, or whose output
// name is too long for the output folder, is refused; every other one is not reached yet.
void ScreenFiles(ConversionJob* job) {
    OutputKind kinds[MAX_OUTPUT_KINDS];
    size_t kindCount = OutputKinds(job->options, kinds);
    const char16_t* paths[MAX_JOB_FILES] = {};
    const char16_t* names[MAX_JOB_FILES] = {};
    auto count = static_cast<size_t>(job->fileCount);
    for (size_t k = 0; k < count; ++k) {
        paths[k] = job->sourcePaths[k];
        names[k] = job->displayNames[k];
    }
    for (JobResult& result : job->results) {
        result = FILE_NOT_REACHED;
    }
    FindOutputsOverSources(job->outputFolder, kinds, kindCount, paths, names, count, FoldFileName,
                           job->results);
    for (size_t k = 0; k < count; ++k) {
        for (size_t p = 0; p < kindCount && job->results[k] == FILE_NOT_REACHED; ++p) {
            char16_t outputName[OUTPUT_NAME_CHARS];
            FormatOutputPath(u"", kinds[p].prefix, names[k], outputName, OUTPUT_NAME_CHARS);
            if (!FileNameFits(job->outputFolder, outputName)) {
                job->results[k] = kinds[p].nameTooLong;
            }
        }
    }
}

// When only the export failed, an export of that name that stays in the folder is one from an
// earlier run (a failed write leaves nothing of its own): the message must say so.
JobResult WithEarlierExport(const ConversionJob& job, int index, JobResult result) {
    char16_t path[JOB_PATH_CHARS + OUTPUT_NAME_CHARS];
    uint64_t size = 0;
    if (result != FILE_CMX_WRITE_FAILED ||
        !FormatOutputPath(job.outputFolder, CMX_OUTPUT_NAME_PREFIX, job.displayNames[index], path,
                          JOB_PATH_CHARS + OUTPUT_NAME_CHARS)) {
        return result;
    }
    PlatformFile* earlier = OpenFileForReading(path, &size);
    CloseFile(earlier);
    return earlier != nullptr ? FILE_CMX_WRITE_FAILED_EARLIER_KEPT : result;
}

}  // namespace

unsigned ConversionWorker(void* argument) {
    auto* job = static_cast<ConversionJob*>(argument);
    // The decoding tables are constant data: nothing to build before the first file.
    EnterLock(job->jobLock);
    const int fileCount = job->fileCount;
    for (int i = 0; i < fileCount; ++i) {
        if (job->state.load() == JOB_STOPPED) {
            LeaveLock(job->jobLock);
            return 0;
        }
        job->display.showFileName(job, i);
        char16_t countText[64];
        FormatCountText(i + 1, fileCount, countText, 64);
        job->display.showCount(job, i, countText);

        JobResult result = job->results[i];
        job->cmxReports[i] = CmxReport{};
        if (result == FILE_NOT_REACHED) {
            ConversionRequest request{job->sourcePaths[i], job->displayNames[i],
                                      job->outputFolder,   job->options,
                                      BannerTime(*job),    job->cmxFramesPerSecond};
            result = WithEarlierExport(*job, i,
                                       JobResultOf(ConvertEdlFile(request, &job->cmxReports[i])));
            job->results[i] = result;
        }
        if (result != FILE_CONVERTED) {
            ++job->failedCount;
            job->display.reportFailure(job, i, result);
            WaitForAcknowledgement(job);
        }
        // A file that could not even be opened leaves the progress where it was.
        if (result != FILE_OPEN_FAILED) {
            job->display.stepProgress(job, i);
        }
    }
    LeaveLock(job->jobLock);
    // A job stopped while its last file was converted ends like any stopped job: no tally.
    if (job->state.load() == JOB_STOPPED) {
        return 0;
    }
    job->display.showTally(job);
    WaitForAcknowledgement(job);
    job->display.close(job);
    return 0;
}

PlatformThread* StartJobWorker(ConversionJob* job) {
    ScreenFiles(job);
    job->jobLock = CreateLock();
    // A stop that came before (a Ctrl+C while the job was being set up) stays: the worker then
    // converts nothing.
    int32_t idle = JOB_IDLE;
    job->state.compare_exchange_strong(idle, JOB_RUNNING);
    job->ackEvent = CreateAutoResetEvent();
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
    job->state.store(JOB_IDLE);
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

CmxReport SumExportReports(const ConversionJob& job, int* exportedFiles) {
    CmxReport sum{};
    *exportedFiles = 0;
    if ((job.options & OPTION_EXPORT_CMX) == 0) {
        return sum;
    }
    for (int k = 0; k < job.fileCount; ++k) {
        if (job.results[k] == FILE_CONVERTED) {
            const CmxReport& report = job.cmxReports[k];
            sum.eventsWritten += report.eventsWritten;
            sum.dissolvesSplit += report.dissolvesSplit;
            sum.keptAsComments += report.keptAsComments;
            sum.reelsRenamed += report.reelsRenamed;
            ++*exportedFiles;
        }
    }
    return sum;
}

size_t OutputKinds(uint32_t options, OutputKind* kinds) {
    size_t count = 0;
    kinds[count++] = OutputKind{OUTPUT_NAME_PREFIX, FILE_OUTPUT_IS_SOURCE, FILE_NAME_TOO_LONG};
    if ((options & OPTION_EXPORT_CMX) != 0) {
        kinds[count++] =
            OutputKind{CMX_OUTPUT_NAME_PREFIX, FILE_CMX_OUTPUT_IS_SOURCE, FILE_CMX_NAME_TOO_LONG};
    }
    return count;
}
