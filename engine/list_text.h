// Text helpers of the lists written from the line items (the CMX export, the event table, the
// tape pull list): bytes of the list trimmed and tested, numbers and words put into a line.
#pragma once

#include <cstddef>
#include <cstdint>

// A control character: below the blank, or DEL.
inline bool IsControlByte(uint8_t byte) {
    return byte < 0x20 || byte == 0x7F;
}

inline bool IsPrintableAscii(uint8_t byte) {
    return byte >= 0x20 && byte < 0x7F;
}

// The bytes without leading and trailing blanks and control characters.
void TrimBytes(const uint8_t** text, size_t* length);

bool StartsWithText(const uint8_t* text, size_t length, const char* word);

// Puts `text` (up to its terminator) at `line` + `at`; returns the position after it.
size_t PutText(char* line, size_t at, const char* text);

// `value` with at least `width` digits, zero-filled; returns the position after it.
size_t PutNumber(char* line, size_t at, uint32_t value, size_t width);

// The words of the text with one blank between them, trimmed: "KB   002" as "KB 002". `line`
// has room for the text; returns the position after it.
size_t PutWords(char* line, size_t at, const uint8_t* text, size_t length);
