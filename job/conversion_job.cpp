#include "conversion_job.h"

#include "engine.h"
#include "messages.h"
#include "source_protection.h"

namespace {

// An output's name: a prefix and a display name.
constexpr size_t OUTPUT_NAME_CHARS = JOB_NAME_CHARS + OUTPUT_NAME_EXTRA;

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

// Before any conversion: a file whose output would replace a source of the job, whose table
// would have the name of another's, or whose output name is too long for the output folder, is
// refused; every other one is not reached yet.
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
    FindTableNameClashes(kinds, kindCount, names, count, FoldFileName, FILE_NOT_REACHED,
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

// Converts file `index` of the job; a converted file's pull ranges join the batch.
JobResult ConvertJobFile(ConversionJob* job, int index) {
    PullBatch* batch = (job->options & OPTION_EXPORT_PULL) != 0 ? job->batch : nullptr;
    ConversionRequest request{
        job->sourcePaths[index], job->displayNames[index], job->outputFolder, job->options,
        BannerTime(*job),        job->cmxFramesPerSecond,  job->handleSeconds};
    if (batch != nullptr) {
        request.batchRanges = &batch->ranges;
        request.batchFile = static_cast<uint32_t>(batch->fileNames.size());
    }
    JobResult result = JobResultOf(ConvertEdlFile(request, &job->reports[index]));
    if (batch != nullptr && IsRepairedListWritten(result)) {
        std::vector<char> name(Utf8Length(job->displayNames[index]) + 1);
        Utf16ToUtf8(job->displayNames[index], name.data(), name.size());
        batch->fileNames.emplace_back(name.data());
    }
    return WithEarlierExport(*job, index, result);
}

// After the batch's last file: its list, whose failure is reported like a file's (index -1).
void FinishBatch(ConversionJob* job) {
    job->batchWritten = false;
    if (job->batch == nullptr || !job->batchEnds || (job->options & OPTION_EXPORT_PULL) == 0) {
        return;
    }
    JobResult result =
        WritePullBatch(job->batch, job->outputFolder, job->handleSeconds, &job->batchReport);
    job->batchWritten = result == FILE_CONVERTED && job->batch->fileNames.size() > 1;
    if (result != FILE_CONVERTED && job->state.load() != JOB_STOPPED) {
        job->display.reportFailure(job, -1, result);
        WaitForAcknowledgement(job);
    }
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
        job->reports[i] = ConversionReport{};
        if (result == FILE_NOT_REACHED) {
            result = ConvertJobFile(job, i);
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
    FinishBatch(job);
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

ListTotals SumListReports(const ConversionJob& job) {
    ListTotals totals{};
    for (int k = 0; k < job.fileCount; ++k) {
        const ConversionReport& report = job.reports[k];
        if ((report.written & OPTION_EXPORT_CMX) != 0) {
            ++totals.cmxFiles;
            totals.cmx.eventsWritten += report.cmx.eventsWritten;
            totals.cmx.dissolvesSplit += report.cmx.dissolvesSplit;
            totals.cmx.keptAsComments += report.cmx.keptAsComments;
            totals.cmx.reelsRenamed += report.cmx.reelsRenamed;
        }
        if ((report.written & OPTION_EXPORT_EVENTS) != 0) {
            ++totals.eventFiles;
            totals.eventRows += report.events.rows;
        }
        totals.pullFiles += (report.written & OPTION_EXPORT_PULL) != 0 ? 1 : 0;
    }
    return totals;
}

namespace {

// Every output a file may have, with the option that asks for it (0: always written) and the
// outcome when it cannot be written.
const struct {
    uint32_t option;
    OutputKind kind;
    JobResult writeFailed;
} OUTPUTS[MAX_OUTPUT_KINDS] = {
    {0,
     {OUTPUT_NAME_PREFIX, FILE_OUTPUT_IS_SOURCE, FILE_NAME_TOO_LONG, FILE_CONVERTED},
     FILE_WRITE_FAILED},
    {OPTION_EXPORT_CMX,
     {CMX_OUTPUT_NAME_PREFIX, FILE_CMX_OUTPUT_IS_SOURCE, FILE_CMX_NAME_TOO_LONG, FILE_CONVERTED},
     FILE_CMX_WRITE_FAILED},
    {OPTION_EXPORT_EVENTS,
     {EVENTS_OUTPUT_NAME_PREFIX, FILE_EVENTS_OUTPUT_IS_SOURCE, FILE_EVENTS_NAME_TOO_LONG,
      FILE_EVENTS_NAME_TAKEN},
     FILE_EVENTS_WRITE_FAILED},
    {OPTION_EXPORT_PULL,
     {PULL_OUTPUT_NAME_PREFIX, FILE_PULL_OUTPUT_IS_SOURCE, FILE_PULL_NAME_TOO_LONG,
      FILE_PULL_NAME_TAKEN},
     FILE_PULL_WRITE_FAILED},
};

}  // namespace

size_t OutputKinds(uint32_t options, OutputKind* kinds) {
    size_t count = 0;
    for (const auto& output : OUTPUTS) {
        if (output.option == 0 || (options & output.option) != 0) {
            kinds[count++] = output.kind;
        }
    }
    return count;
}

const char16_t* TablePrefixOf(JobResult code) {
    for (const auto& output : OUTPUTS) {
        // Only a table's name can be taken by another file's output.
        bool table = output.kind.nameTaken != FILE_CONVERTED;
        if (table && (code == output.writeFailed || code == output.kind.overSource ||
                      code == output.kind.nameTooLong || code == output.kind.nameTaken)) {
            return output.kind.prefix;
        }
    }
    return nullptr;
}

JobResult WritePullBatch(PullBatch* batch, const char16_t* outputFolder, int handleSeconds,
                         PullReport* report) {
    *report = PullReport{};
    if (batch->fileNames.size() < 2) {
        return FILE_CONVERTED;
    }
    std::vector<const char*> names;
    for (const std::string& name : batch->fileNames) {
        names.push_back(name.c_str());
    }
    ByteBuffer text{};
    bool written = WritePullList(&batch->ranges, handleSeconds, names.data(), &text, report) &&
                   WriteOutputFile(text, outputFolder, BATCH_PULL_LIST_NAME);
    BufferRelease(&text);
    return written ? FILE_CONVERTED : FILE_BATCH_PULL_WRITE_FAILED;
}

void ReleasePullBatch(PullBatch* batch) {
    ReleasePullRanges(&batch->ranges);
    batch->fileNames.clear();
}
