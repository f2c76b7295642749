// Text and paths in UTF-16, the same on every platform: lengths and comparison, UTF-8, message
// templates, folders and names, and the calendar time that texts show. The engine, the job and
// both front ends take these from here.
#pragma once

#include <cstddef>

// --- UTF-16 text -------------------------------------------------------------------------------

size_t Utf16Length(const char16_t* text);
// Equal unit for unit, letter case included.
bool TextEquals(const char16_t* a, const char16_t* b);

// Names on POSIX are bytes, and not every name is UTF-8 (Shift-JIS names from a Japanese PC
// are common). Such a name is kept losslessly: each byte 0x80 to 0xFF that is not part of valid
// UTF-8 becomes one unpaired low surrogate, U+DC80 to U+DCFF, which no valid text holds, and
// turns back into the same byte on the way out.
constexpr char16_t RAW_BYTE_UNITS = 0xDC80;

// True for a unit that stands for a raw byte of a name (a lone U+DC80 to U+DCFF).
bool IsRawByteUnit(char16_t unit);

// Converts bytes (UTF-8 where they are valid) to UTF-16 into `out` (terminated), raw bytes as
// above. Returns false, with `out` empty, only when the result does not fit.
bool BytesToUtf16(const char* text, char16_t* out, size_t capacity);

// True when the bytes (NUL-terminated) are valid UTF-8 throughout: no overlong form, no
// surrogate, nothing past U+10FFFF.
bool IsUtf8(const char* text);

// Converts UTF-16 to UTF-8 into `out` (terminated); a raw-byte unit becomes its byte again, any
// other unpaired surrogate U+FFFD. Returns false, with `out` empty, when it does not fit.
bool Utf16ToUtf8(const char16_t* text, char* out, size_t capacity);

// Number of bytes Utf16ToUtf8 writes for the text, terminator excluded.
size_t Utf8Length(const char16_t* text);

// The text as a terminal may show it: line ends and tabs as \n, \r, \t, other control
// characters and raw bytes as \xNN, C1 controls as \uNNNN, so that no name can start a line
// or an escape sequence. Returns the length written (terminated, cut at capacity - 1).
size_t EscapeControls(const char16_t* text, char16_t* out, size_t capacity);

// --- Message templates -------------------------------------------------------------------------

// Fills a template: each "%s" takes the next text, each "%d" the next number (and "%02d" the
// next with leading zeros to two digits, up to "%09d"), in the order they stand; a missing text
// is empty and a missing number 0. Returns the length written; the text is always terminated
// and stops at capacity - 1 units.
size_t FillTemplate(const char16_t* pattern, const char16_t* const* texts, size_t textCount,
                    const int* numbers, size_t numberCount, char16_t* out, size_t capacity);

// --- Calendar time -----------------------------------------------------------------------------

// A local date and time as texts show it: the banner's conversion stamp, a file's update time.
struct CalendarTime {
    int year;
    int month;  // 1 to 12
    int day;
    int hour;  // 0 to 23
    int minute;
    int second;
};

// --- Folders and names -------------------------------------------------------------------------

// Splits `path` at its last separator (any of `separators`) into the folder before it and the
// name after it; a path without separator is all name and an empty folder. False, with both
// empty, when either part does not fit its buffer.
bool SplitPath(const char16_t* path, const char16_t* separators, char16_t* folder,
               size_t folderCapacity, char16_t* name, size_t nameCapacity);

// folder + separator + name into `out`. False, with `out` empty, when it does not fit.
bool JoinPath(const char16_t* folder, char16_t separator, const char16_t* name, char16_t* out,
              size_t capacity);

// An output folder as the job takes it: `path` with `separators[0]` after it unless it already
// ends with one of `separators` (a drive root such as "C:\" keeps its single one); an empty
// path stays empty, the current folder. False, with `outputFolder` unchanged, when it does not
// fit `capacity`.
bool SetOutputFolder(char16_t* outputFolder, size_t capacity, const char16_t* path,
                     const char16_t* separators);
