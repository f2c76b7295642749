// Outcome of one file of a conversion job, or of the whole job. The engine returns these
// codes and both front ends show them, so the enum stands on its own without the job loop.
#pragma once

#include <cstddef>
#include <cstdint>

enum JobResult {
    // The file was converted and written; nothing is reported for it.
    RESULT_CONVERTED = 0,
    // The source could not be opened for binary reading, or its bytes could not be read.
    RESULT_OPEN_FAILED = 1,
    // The output file could not be created, written, flushed, closed or put in place.
    RESULT_WRITE_FAILED = 2,
    // A buffer for the file (the first of them sized from the file) could not be obtained.
    RESULT_NO_MEMORY = 3,
    // One of the first ten lines begins with "FCM: ": a CMX edit list, which is refused.
    RESULT_CMX_FORMAT = 4,
    // No line holds twelve or more of ":", "." and ",": no event line, layout unknown.
    RESULT_UNKNOWN_FORMAT = 5,
    // Every file of the job has been handled: show the tally.
    RESULT_JOB_DONE = 6,
};

// A file of a job that the worker never reached: the job was stopped before it.
constexpr int32_t RESULT_NOT_REACHED = -1;

// Capacity of a composed message, terminator included: the longest template with the
// longest display name (259 units) fits, so no message is ever cut.
constexpr size_t JOB_MESSAGE_CHARS = 512;

// The Japanese message template of a code, with "%s" for the display name (codes 1 to 5)
// or "%d" twice for the file count and the converted count (code 6); null for any other code.
const char16_t* JobResultTemplate(JobResult code);

// Fills a template: each "%s" takes the next text, each "%d" the next number (and "%02d" the
// next with leading zeros to two digits, up to "%09d"), in the order they stand. Returns the length
// written; the text is always terminated and never cut below capacity - 1 units (callers size `out`
// with JOB_MESSAGE_CHARS).
size_t FillTemplate(const char16_t* pattern, const char16_t* const* texts, size_t textCount,
                    const int* numbers, size_t numberCount, char16_t* out, size_t capacity);

// The message for a failed file (codes 1 to 5), naming it.
size_t FormatFileFailure(JobResult code, const char16_t* displayName, char16_t* out,
                         size_t capacity);

// The tally shown at the end of a job: "<fileCount>個中<converted>個の変換が終了しました。"
size_t FormatJobTally(int fileCount, int convertedCount, char16_t* out, size_t capacity);
