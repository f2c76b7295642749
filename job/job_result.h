// What a job reports of a file, and the number WM_JOB_REPORT carries: the engine's
// ConversionResult (its numbers kept, so that each keeps its message), or one of the job's own
// codes, numbered after the engine's.
#pragma once

#include <cstdint>

#include "conversion_result.h"

using JobResult = int32_t;

// Every file of the job has been handled: show the tally.
constexpr JobResult RESULT_JOB_DONE = 6;
// Refused before its conversion: its output would be the very file of a source of the same
// run (the same folder and name), which writing it would replace.
constexpr JobResult RESULT_OUTPUT_IS_SOURCE = 8;
// Refused before its conversion: the output's name ("C_" + display name) is longer than the
// output folder's file system takes.
constexpr JobResult RESULT_NAME_TOO_LONG = 9;
// Refused before its conversion: its CMX export ("CMX_" + display name) would be the very file
// of a source of the same run.
constexpr JobResult RESULT_CMX_OUTPUT_IS_SOURCE = 10;
// Refused before its conversion: "C_" + display name fits, but the export's name ("CMX_" +
// display name) is longer than the output folder's file system takes.
constexpr JobResult RESULT_CMX_NAME_TOO_LONG = 11;
// With the CMX export: "C_" + name was written and the export could not be, and the file
// "CMX_" + name beside it is one from an earlier run, which is kept as it was.
constexpr JobResult RESULT_CMX_WRITE_FAILED_EARLIER_KEPT = 12;
// A file the job did not reach: it was stopped first.
constexpr JobResult RESULT_NOT_REACHED = -1;

// True for the codes of a file whose "C_" + display name was written, whatever became of its
// export.
constexpr bool IsRepairedListWritten(JobResult code) {
    return code == RESULT_CONVERTED || code == RESULT_CMX_WRITE_FAILED ||
           code == RESULT_CMX_WRITE_FAILED_EARLIER_KEPT;
}

// True for the codes of a file that was not converted: a failure or a refusal.
constexpr bool IsFileFailure(JobResult code) {
    return code != RESULT_CONVERTED && code != RESULT_NOT_REACHED && code != RESULT_JOB_DONE;
}
