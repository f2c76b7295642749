// What a job reports of a file, and the number WM_JOB_REPORT carries: the engine's
// ConversionResult (its numbers kept, so that each keeps its message), or one of the job's own
// codes, numbered after the engine's.
#pragma once

#include <cstdint>

#include "conversion_result.h"

using JobResult = int32_t;

// Every file of the job has been handled: show the tally.
constexpr JobResult RESULT_JOB_DONE = 6;
// A file the job did not reach: it was stopped first.
constexpr JobResult RESULT_NOT_REACHED = -1;

// True for the codes of a file that was tried and not converted.
constexpr bool IsFileFailure(JobResult code) {
    return code >= RESULT_OPEN_FAILED && code <= RESULT_UNKNOWN_FORMAT;
}
