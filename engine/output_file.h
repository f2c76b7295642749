// The output text of one file and the output file "C_" + display name it is written to.
#pragma once

#include <cstddef>

#include "conversion_result.h"
#include "memory.h"

// The output file's name starts with this prefix, followed by the display name.
constexpr char16_t OUTPUT_NAME_PREFIX[] = u"C_";
// The CMX export's name starts with this prefix, followed by the display name.
constexpr char16_t CMX_OUTPUT_NAME_PREFIX[] = u"CMX_";
// The tables' names start with these prefixes, followed by the display name without its
// extension (its stem) and ".csv": "EVENTS_NEWS0612.csv", "PULL_NEWS0612.csv".
constexpr char16_t EVENTS_OUTPUT_NAME_PREFIX[] = u"EVENTS_";
constexpr char16_t PULL_OUTPUT_NAME_PREFIX[] = u"PULL_";
constexpr char16_t TABLE_OUTPUT_EXTENSION[] = u".csv";
// The pull list of a batch of files together.
constexpr char16_t BATCH_PULL_LIST_NAME[] = u"PULL_ALL.csv";
// The most an output's name adds to its display name: a prefix and ".csv".
constexpr size_t OUTPUT_NAME_EXTRA = 16;

// Obtains the output text with room for twice the decoded count (at least a banner's worth);
// it grows beyond that when it must.
bool ObtainOutputText(ByteBuffer* text, size_t decodedCount);

// The one rule for an output's path: `outputFolder`, `prefix`, `displayName`, into `out`; for
// the tables' prefixes the stem of the display name (up to its last ".") and ".csv" in place of
// the display name. False, with `out` empty, when it does not fit `capacity`.
bool FormatOutputPath(const char16_t* outputFolder, const char16_t* prefix,
                      const char16_t* displayName, char16_t* out, size_t capacity);

// Writes a text as the file `name` in `outputFolder`, replacing an earlier file of that name
// only when the whole text has been written. False when it cannot be written or memory runs
// out (nothing left behind, an earlier file kept).
bool WriteOutputFile(const ByteBuffer& text, const char16_t* outputFolder, const char16_t* name);

// Writes the output text as "C_" + display name: WriteConvertedFiles with no list.
ConversionResult WriteConvertedFile(const ByteBuffer& text, const char16_t* outputFolder,
                                    const char16_t* displayName);

// A file's texts to write and their prefixes: the output text first, then the lists the options
// asked for (null texts are not written).
struct OutputTexts {
    const ByteBuffer* text;    // "C_"
    const ByteBuffer* cmx;     // "CMX_"
    const ByteBuffer* events;  // "EVENTS_"
    const ByteBuffer* pull;    // "PULL_"
};

// Writes the output text as "C_" + name and then each list given, each in full or not at all.
// Every path is made first, so that running out of memory (RESULT_NO_MEMORY) writes none. When
// "C_" cannot be written, no list is tried (RESULT_WRITE_FAILED); a list that cannot be written
// does not keep the others from being written, and the first of them that failed gives the
// result (RESULT_CMX_WRITE_FAILED, RESULT_EVENTS_WRITE_FAILED, RESULT_PULL_WRITE_FAILED).
// `listsWritten` receives the OPTION_EXPORT_ bits of the lists that were written.
ConversionResult WriteConvertedFiles(const OutputTexts& texts, const char16_t* outputFolder,
                                     const char16_t* displayName, uint32_t* listsWritten);
