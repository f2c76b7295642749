// The conversion job: the one record that carries a batch of files from a front end (the
// main window, or the command line) to a worker thread that converts them one by one, and the
// worker loop itself. The loop is written once; each front end gives it the five operations
// of its progress display.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "job_result.h"
#include "platform.h"

constexpr int MAX_JOB_FILES = 320;
constexpr size_t JOB_PATH_CHARS = 1024;  // terminator included
constexpr size_t JOB_NAME_CHARS = 260;   // terminator included

enum JobState : int32_t {
    JOB_RUNNING = 1,
    JOB_STOPPED = 2,
};

// The name of the acknowledge event: the display signals it once the user has dismissed a
// report, and the worker waits for it after each report.
constexpr char16_t ACK_EVENT_NAME[] = u"ENVENT1";

struct ConversionJob;

// What the worker asks of the front end's progress display. Each call returns only when the
// display has done it, so the worker never runs ahead of what the user sees.
struct JobDisplay {
    // Shows the display name of the file in hand.
    void (*showFileName)(ConversionJob* job, const char16_t* displayName);
    // Shows the running count, "変換中…(i/n)".
    void (*showCount)(ConversionJob* job, const char16_t* countText);
    // Moves the progress on by one file.
    void (*stepProgress)(ConversionJob* job);
    // Shows a failed file's message (codes 1 to 5, with its display name) or the tally
    // (RESULT_JOB_DONE, name null) and signals `ackEvent` once the user has dismissed it.
    void (*report)(ConversionJob* job, JobResult code, const char16_t* displayName);
    // Closes the progress display after the tally.
    void (*close)(ConversionJob* job);
    // The front end's own data.
    void* context;
};

struct ConversionJob {
    // Window handles of the Windows progress dialog (opaque here): the dialog, its file label,
    // its status label and its progress bar.
    void* dialogWindow;
    void* fileLabel;
    void* statusLabel;
    void* progressBar;
    PlatformEvent* ackEvent;
    uint32_t options;            // a copy of the front end's option word
    std::atomic<int32_t> state;  // JOB_RUNNING or JOB_STOPPED, read by the worker before each file
    int32_t fileCount;           // 0 to MAX_JOB_FILES
    int32_t failedCount;         // files of this job that ended with a failure report
    PlatformLock* jobLock;       // held by the worker while it converts the files
    char16_t sourcePaths[MAX_JOB_FILES][JOB_PATH_CHARS];
    char16_t displayNames[MAX_JOB_FILES][JOB_NAME_CHARS];
    char16_t outputFolder[JOB_PATH_CHARS];  // ends with a separator, or empty
    int32_t results[MAX_JOB_FILES];  // each file's outcome: a JobResult code, RESULT_CONVERTED, or
                                     // RESULT_NOT_REACHED
    JobDisplay display;
};

// The worker thread's procedure; `job` is the ConversionJob. Converts every file, reports each
// failure and waits for its acknowledgement, reports the tally and closes the display. Ends
// early, between two files, once `state` is JOB_STOPPED. Returns 0.
unsigned ConversionWorker(void* job);

// "変換中…(position/fileCount)" into `out` (at least 64 units).
void FormatCountText(int position, int fileCount, char16_t* out, size_t capacity);

// Creates the job lock and the acknowledge event, sets JOB_RUNNING and starts the worker.
// Returns null, with everything released again, when any of it cannot be created.
PlatformThread* StartJobWorker(ConversionJob* job);

// Stops the job: the worker finishes the file in hand and starts no other. A front end may
// call it from any thread, a signal handler included.
void StopJob(ConversionJob* job);

// After the worker has ended (JoinThread): releases the event and the lock, sets JOB_STOPPED
// and clears `failedCount`, so the next job starts from zero.
void ReleaseJobObjects(ConversionJob* job);

// Puts file k of a job: its full path and display name, each cut to its field (callers check
// lengths first). False when either does not fit.
bool SetJobFile(ConversionJob* job, int k, const char16_t* sourcePath, const char16_t* displayName);
