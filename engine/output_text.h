// The output text of one file: the banner, then the rewritten lines, kept terminated by a NUL
// after its last byte. It grows as needed, so nothing is ever written past its capacity.
#pragma once

#include <cstddef>
#include <cstdint>

struct OutputText {
    uint8_t* bytes;
    size_t length;
    size_t capacity;
};

// Obtains the output text with room for twice the decoded count (at least a banner's worth).
bool ObtainOutputText(OutputText* text, size_t decodedCount);
void ReleaseOutputText(OutputText* text);

// Appends `count` bytes; false (and nothing appended) when memory runs out.
bool AppendOutput(OutputText* text, const void* bytes, size_t count);
bool AppendOutputString(OutputText* text, const char* string);

// Inserts `count` bytes at `offset`, moving what follows toward the end.
bool InsertOutput(OutputText* text, size_t offset, const void* bytes, size_t count);
