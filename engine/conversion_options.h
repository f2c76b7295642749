// The options of a conversion: bits of the option word that a front end copies into the job.
#pragma once

#include <cstdint>

// Internal data description lines (lines that start with a digit but are no event line) are
// left out of the output.
constexpr uint32_t OPTION_DELETE_INTERNAL_DATA = 0x2;
