// The conversion job: the one record that carries a batch of files from a front end (the
// main window, or the command line) to a worker thread that converts them one by one, and the
// worker loop itself. The loop is written once; each front end gives it the operations of its
// progress display (JobDisplay). The record holds no window: a display keeps its own and
// reaches them through its `context`.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include <string>
#include <vector>

#include "engine.h"
#include "job_result.h"
#include "platform.h"

constexpr int MAX_JOB_FILES = 320;
// A path as long as the platform takes (Linux: 4095 bytes, at most one unit each), terminator
// included.
constexpr size_t JOB_PATH_CHARS = 4096;
constexpr size_t JOB_NAME_CHARS = 260;  // terminator included

enum JobState : int32_t {
    JOB_IDLE = 0,     // no job runs and no stop is waiting
    JOB_RUNNING = 1,  // the worker converts the files
    JOB_STOPPED = 2,  // stopped: the worker starts no further file
};

struct ConversionJob;

// What the worker asks of the front end's progress display, for the file at `index`. Each call
// returns only when the display has done it, so the worker never runs ahead of what the user
// sees.
struct JobDisplay {
    // Shows the display name of the file in hand.
    void (*showFileName)(ConversionJob* job, int index);
    // Shows the running count, "変換中…(i/n)".
    void (*showCount)(ConversionJob* job, int index, const char16_t* countText);
    // Moves the progress on by one file; its outcome is in `results[index]` already.
    void (*stepProgress)(ConversionJob* job, int index);
    // Shows the message of a file that failed or was refused (`code`, neither FILE_CONVERTED
    // nor FILE_NOT_REACHED) and signals `ackEvent` once the user has dismissed it.
    void (*reportFailure)(ConversionJob* job, int index, JobResult code);
    // Every file has been handled: shows the tally and signals `ackEvent` once the user has
    // dismissed it.
    void (*showTally)(ConversionJob* job);
    // Closes the progress display after the tally.
    void (*close)(ConversionJob* job);
    // The front end's own data.
    void* context;
};

struct ConversionJob {
    PlatformEvent* ackEvent;     // signalled by the display once a report is dismissed
    uint32_t options;            // a copy of the front end's option word (OPTION_ bits)
    std::atomic<int32_t> state;  // a JobState, read by the worker before each file
    int32_t fileCount;           // 0 to MAX_JOB_FILES
    int32_t failedCount;         // files of this job that ended with a failure report
    PlatformLock* jobLock;       // held by the worker while it converts the files
    char16_t sourcePaths[MAX_JOB_FILES][JOB_PATH_CHARS];
    char16_t displayNames[MAX_JOB_FILES][JOB_NAME_CHARS];
    char16_t outputFolder[JOB_PATH_CHARS];  // ends with a separator, or empty
    // Each file's outcome once the job has ended: FILE_CONVERTED, a failure or refusal, or
    // FILE_NOT_REACHED for a file a stop came before.
    JobResult results[MAX_JOB_FILES];
    // With `stampFixed`, every banner shows the local time of `stampEpoch` (seconds since 1970)
    // as its conversion time, for outputs that repeat byte for byte; otherwise each file's
    // banner shows the time it was converted.
    bool stampFixed;
    int64_t stampEpoch;
    // The frame rate (24, 25 or 30) of the CMX export, the event table and the pull list, and
    // the pull list's handles in seconds; and what the lists did for each file, zero unless all
    // its files were written.
    int32_t cmxFramesPerSecond;
    int32_t handleSeconds;
    ConversionReport reports[MAX_JOB_FILES];
    // With OPTION_EXPORT_PULL, when not null: the pull list of a batch of files, which may span
    // several jobs; each converted file's ranges join it. When `batchEnds`, this job is the
    // batch's last: the worker writes the batch's list before the tally (PullBatch).
    struct PullBatch* batch;
    bool batchEnds;
    // Set by the worker: the batch's list was written ("PULL_ALL.csv"), and what it holds.
    bool batchWritten;
    PullReport batchReport;
    JobDisplay display;
};

// The pull list of a batch of files together, "PULL_ALL.csv": the ranges of every file of the
// batch that was converted, and the files' display names (UTF-8), by the files' places in it.
struct PullBatch {
    PullRanges ranges{};
    std::vector<std::string> fileNames;
};

// Writes the batch's list into `outputFolder` as "PULL_ALL.csv" when more than one file has
// joined it (one file has its own list). FILE_CONVERTED when it is written or not needed,
// FILE_BATCH_PULL_WRITE_FAILED when it cannot be written. `report` receives what it holds.
JobResult WritePullBatch(PullBatch* batch, const char16_t* outputFolder, int handleSeconds,
                         PullReport* report);
void ReleasePullBatch(PullBatch* batch);

// The worker thread's procedure; `job` is the ConversionJob. Converts every file, reports each
// failure and waits for its acknowledgement, reports the tally and closes the display. Ends
// early, between two files, once `state` is JOB_STOPPED. Returns 0.
unsigned ConversionWorker(void* job);

// Creates the job lock and the acknowledge event, screens the files (those refused before any
// conversion get their outcome in `results`, the others FILE_NOT_REACHED until they are
// converted), sets JOB_RUNNING unless a stop came first (then the worker converts nothing) and
// starts the worker. Returns null, with everything released again, when any of it cannot be
// created.
PlatformThread* StartJobWorker(ConversionJob* job);

// Stops the job: the worker finishes the file in hand and starts no other. A front end may
// call it from any thread, a signal handler included, also while the job starts: a stop is
// never overwritten by the start.
void StopJob(ConversionJob* job);

// After the worker has ended (JoinThread): releases the event and the lock, clears
// `failedCount` and makes the record ready for the next job (JOB_IDLE).
void ReleaseJobObjects(ConversionJob* job);

// What the lists of the job's files did, summed over the files that have each list written.
struct ListTotals {
    int cmxFiles;
    CmxReport cmx;
    int eventFiles;
    uint32_t eventRows;
    int pullFiles;
};
ListTotals SumListReports(const ConversionJob& job);

// One output of a file, named by its prefix and the display name (FormatOutputPath), with the
// outcomes that refuse the file for it, so that each message names the output that is at fault.
struct OutputKind {
    const char16_t* prefix;
    JobResult overSource;   // the output would be the very file of a source of the run
    JobResult nameTooLong;  // the output's name is longer than the output folder takes
    JobResult nameTaken;    // a table's name another file's output has (FILE_CONVERTED: none)
};

// The outputs of a file: "C_" + display name, and as the options ask the CMX export, the event
// table and the pull list. Returns how many it put into `kinds`.
constexpr size_t MAX_OUTPUT_KINDS = 4;
size_t OutputKinds(uint32_t options, OutputKind* kinds);

// The table (event table or pull list) an outcome is about, as its name prefix; null for an
// outcome of no table.
const char16_t* TablePrefixOf(JobResult code);

// Puts file k of a job: its full path and display name, each cut to its field (callers check
// lengths first). False when either does not fit.
bool SetJobFile(ConversionJob* job, int k, const char16_t* sourcePath, const char16_t* displayName);
