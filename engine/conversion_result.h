// The outcome of converting one file. The numbers are the ones the job reports and the
// messages are keyed by, so they never change.
#pragma once

enum ConversionResult {
    // The file was converted and written.
    RESULT_CONVERTED = 0,
    // The source could not be opened for binary reading, is not a regular file, or its bytes
    // could not be read.
    RESULT_OPEN_FAILED = 1,
    // The output file could not be created, written, flushed, closed or put in place. With the
    // CMX export, neither file was written.
    RESULT_WRITE_FAILED = 2,
    // A buffer for the file (the first of them sized from the file) could not be obtained.
    RESULT_NO_MEMORY = 3,
    // One of the first ten lines begins with "FCM: ": a CMX edit list, which is refused.
    RESULT_CMX_FORMAT = 4,
    // No line holds twelve or more of ":", "." and ",": no event line, layout unknown. Also a
    // UTF-16 source: one that begins with a byte-order mark (FF FE or FE FF), or whose first 512
    // bytes hold a NUL at every second position, in either byte order.
    RESULT_UNKNOWN_FORMAT = 5,
    // 6 is not used: it once stood for the end of a job, which the job now reports on its own.
    // With the CMX export: "C_" + name was written, but the export "CMX_" + name could not be
    // created, written, flushed, closed or put in place (an earlier file of that name is kept).
    RESULT_CMX_WRITE_FAILED = 7,
    // 8 to 12 are the job's own outcomes.
    // With the event table: "C_" + name was written, but "EVENTS_" + stem + ".csv" could not be
    // (an earlier file of that name is kept).
    RESULT_EVENTS_WRITE_FAILED = 13,
    // With the pull list: "C_" + name was written, but "PULL_" + stem + ".csv" could not be (an
    // earlier file of that name is kept).
    RESULT_PULL_WRITE_FAILED = 14,
};
