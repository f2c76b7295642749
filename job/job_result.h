// What became of one file of a job: the engine's outcome of its conversion, at the engine's
// number, or one of the job's own outcomes, numbered after the engine's. A job keeps one for
// each of its files and reports every one that is neither converted nor unreached.
#pragma once

#include <cstdint>

#include "conversion_result.h"

enum JobResult : int32_t {
    // The job did not reach the file: it was stopped first.
    FILE_NOT_REACHED = -1,
    // The engine's outcomes (ConversionResult).
    FILE_CONVERTED = 0,
    FILE_OPEN_FAILED = 1,
    FILE_WRITE_FAILED = 2,
    FILE_NO_MEMORY = 3,
    FILE_CMX_FORMAT = 4,
    FILE_UNKNOWN_FORMAT = 5,
    // 6 is no outcome: the end of a job is a display operation of its own.
    FILE_CMX_WRITE_FAILED = 7,
    // Refused before its conversion: its output would be the very file of a source of the same
    // run (the same folder and name), which writing it would replace.
    FILE_OUTPUT_IS_SOURCE = 8,
    // Refused before its conversion: the output's name ("C_" + display name) is longer than the
    // output folder's file system takes.
    FILE_NAME_TOO_LONG = 9,
    // Refused before its conversion: its CMX export ("CMX_" + display name) would be the very
    // file of a source of the same run.
    FILE_CMX_OUTPUT_IS_SOURCE = 10,
    // Refused before its conversion: "C_" + display name fits, but the export's name ("CMX_" +
    // display name) is longer than the output folder's file system takes.
    FILE_CMX_NAME_TOO_LONG = 11,
    // With the CMX export: "C_" + name was written and the export could not be, and the file
    // "CMX_" + name beside it is one from an earlier run, which is kept as it was.
    FILE_CMX_WRITE_FAILED_EARLIER_KEPT = 12,
    // With the event table, or the pull list: "C_" + name was written, but the table could not
    // be (the engine's outcomes).
    FILE_EVENTS_WRITE_FAILED = 13,
    FILE_PULL_WRITE_FAILED = 14,
    // Refused before its conversion: its event table, or its pull list, would be the very file
    // of a source of the same run.
    FILE_EVENTS_OUTPUT_IS_SOURCE = 15,
    FILE_PULL_OUTPUT_IS_SOURCE = 16,
    // Refused before its conversion: the table's name is longer than the output folder takes.
    FILE_EVENTS_NAME_TOO_LONG = 17,
    FILE_PULL_NAME_TOO_LONG = 18,
    // Refused before its conversion: its table would have the name of a table of another file
    // of the run ("A.EDL" and "A.TXT" both give "EVENTS_A.csv"), or its pull list the name of the
    // run's own ("ALL.EDL" gives "PULL_ALL.csv").
    FILE_EVENTS_NAME_TAKEN = 19,
    FILE_PULL_NAME_TAKEN = 20,
    // Not a file's: the pull list of the whole batch, "PULL_ALL.csv", could not be written.
    FILE_BATCH_PULL_WRITE_FAILED = 21,
};

// True for the outcomes of a file whose "C_" + display name was written, whatever became of
// its export.
constexpr bool IsRepairedListWritten(JobResult result) {
    return result == FILE_CONVERTED || result == FILE_CMX_WRITE_FAILED ||
           result == FILE_CMX_WRITE_FAILED_EARLIER_KEPT || result == FILE_EVENTS_WRITE_FAILED ||
           result == FILE_PULL_WRITE_FAILED;
}

// The job's name for the engine's outcome. Every outcome the engine gives has one.
constexpr JobResult JobResultOf(ConversionResult result) {
    switch (result) {
        case RESULT_CONVERTED:
            return FILE_CONVERTED;
        case RESULT_OPEN_FAILED:
            return FILE_OPEN_FAILED;
        case RESULT_WRITE_FAILED:
            return FILE_WRITE_FAILED;
        case RESULT_NO_MEMORY:
            return FILE_NO_MEMORY;
        case RESULT_CMX_FORMAT:
            return FILE_CMX_FORMAT;
        case RESULT_UNKNOWN_FORMAT:
            return FILE_UNKNOWN_FORMAT;
        case RESULT_CMX_WRITE_FAILED:
            return FILE_CMX_WRITE_FAILED;
        case RESULT_EVENTS_WRITE_FAILED:
            return FILE_EVENTS_WRITE_FAILED;
        case RESULT_PULL_WRITE_FAILED:
            return FILE_PULL_WRITE_FAILED;
    }
    // Not an outcome the engine gives: never taken for a converted file.
    return FILE_WRITE_FAILED;
}
