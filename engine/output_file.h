// The output text of one file and the output file "C_" + display name it is written to.
#pragma once

#include <cstddef>

#include "conversion_result.h"
#include "memory.h"

// The output file's name starts with this prefix, followed by the display name.
constexpr char16_t OUTPUT_NAME_PREFIX[] = u"C_";
// The CMX export's name starts with this prefix, followed by the display name.
constexpr char16_t CMX_OUTPUT_NAME_PREFIX[] = u"CMX_";

// Obtains the output text with room for twice the decoded count (at least a banner's worth);
// it grows beyond that when it must.
bool ObtainOutputText(ByteBuffer* text, size_t decodedCount);

// The one rule for an output's path: `outputFolder`, `prefix`, `displayName`, into `out`.
// False, with `out` empty, when it does not fit `capacity`.
bool FormatOutputPath(const char16_t* outputFolder, const char16_t* prefix,
                      const char16_t* displayName, char16_t* out, size_t capacity);

// Writes the output text as the output file, replacing an earlier file of that name only when
// the whole text has been written. RESULT_WRITE_FAILED (nothing left behind, an earlier
// output kept) or RESULT_NO_MEMORY.
ConversionResult WriteConvertedFile(const ByteBuffer& text, const char16_t* outputFolder,
                                    const char16_t* displayName);

// Writes the output text as "C_" + name and then, when `cmxText` is not null, the export as
// "CMX_" + name, each in full or not at all. Both paths are made first, so that running out of
// memory (RESULT_NO_MEMORY) writes neither. When "C_" cannot be written, the export is not
// tried (RESULT_WRITE_FAILED); when only the export fails, RESULT_CMX_WRITE_FAILED.
ConversionResult WriteConvertedFiles(const ByteBuffer& text, const ByteBuffer* cmxText,
                                     const char16_t* outputFolder, const char16_t* displayName);
