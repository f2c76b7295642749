// Writing the output file "C_" + display name into the output folder.
#pragma once

#include "../job/job_result.h"
#include "output_text.h"

// The output file's name starts with this prefix, followed by the display name.
constexpr char16_t OUTPUT_NAME_PREFIX[] = u"C_";

// Builds the output path (`outputFolder`, "C_", `displayName`) into a new buffer from
// EngineAlloc; null when memory runs out. The caller frees it with EngineFree.
char16_t* BuildOutputPath(const char16_t* outputFolder, const char16_t* displayName);

// Writes the output text as the output file, replacing an earlier file of that name only when
// the whole text has been written. RESULT_WRITE_FAILED (nothing left behind, an earlier
// output kept) or RESULT_NO_MEMORY.
JobResult WriteConvertedFile(const OutputText& text, const char16_t* outputFolder,
                             const char16_t* displayName);
