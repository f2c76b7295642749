// Text helpers of the lists written from the line items (the CMX export, the event table, the
// tape pull list): bytes of the list trimmed and tested, numbers and words put into a line.
// Inline: the export calls them for every line it writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// A control character: below the blank, or DEL.
inline bool IsControlByte(uint8_t value) {
    return value < 0x20 || value == 0x7F;
}

inline bool IsPrintableAscii(uint8_t value) {
    return value >= 0x20 && value < 0x7F;
}

// The bytes without leading and trailing blanks and control characters.
inline void TrimBytes(const uint8_t** text, size_t* length) {
    while (*length > 0 && ((*text)[0] == ' ' || IsControlByte((*text)[0]))) {
        ++*text;
        --*length;
    }
    while (*length > 0 && ((*text)[*length - 1] == ' ' || IsControlByte((*text)[*length - 1]))) {
        --*length;
    }
}

inline bool StartsWithText(const uint8_t* text, size_t length, const char* word) {
    size_t count = std::strlen(word);
    return length >= count && std::memcmp(text, word, count) == 0;
}

// Puts `text` (up to its terminator) at `line` + `at`; returns the position after it.
inline size_t PutText(char* line, size_t at, const char* text) {
    size_t count = std::strlen(text);
    std::memcpy(line + at, text, count);
    return at + count;
}

// `value` with at least `width` digits, zero-filled; returns the position after it.
inline size_t PutNumber(char* line, size_t at, uint32_t value, size_t width) {
    char digits[12];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count < width) {
        digits[count++] = '0';
    }
    for (size_t k = 0; k < count; ++k) {
        line[at + k] = digits[count - 1 - k];
    }
    return at + count;
}

// The words of the text with one blank between them, trimmed: "KB   002" as "KB 002". `line`
// has room for the text; returns the position after it.
size_t PutWords(char* line, size_t at, const uint8_t* text, size_t length);
