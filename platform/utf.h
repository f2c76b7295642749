// UTF-8 and UTF-16 conversions for the command line and for POSIX paths.
#pragma once

#include <cstddef>

// Converts UTF-16 to UTF-8 into `out` (terminated). An unpaired surrogate becomes U+FFFD.
// Returns false, with `out` empty, when the result does not fit.
bool Utf16ToUtf8(const char16_t* text, char* out, size_t capacity);

// Converts UTF-8 to UTF-16 into `out` (terminated). Returns false, with `out` empty, when the
// text is not valid UTF-8 or does not fit.
bool Utf8ToUtf16(const char* text, char16_t* out, size_t capacity);

// Number of UTF-8 bytes the text needs, terminator excluded.
size_t Utf8Length(const char16_t* text);

size_t Utf16Length(const char16_t* text);
