#include "list_text.h"

#include <cstring>

void TrimBytes(const uint8_t** text, size_t* length) {
    while (*length > 0 && ((*text)[0] == ' ' || IsControlByte((*text)[0]))) {
        ++*text;
        --*length;
    }
    while (*length > 0 && ((*text)[*length - 1] == ' ' || IsControlByte((*text)[*length - 1]))) {
        --*length;
    }
}

bool StartsWithText(const uint8_t* text, size_t length, const char* word) {
    size_t count = std::strlen(word);
    return length >= count && std::memcmp(text, word, count) == 0;
}

size_t PutText(char* line, size_t at, const char* text) {
    size_t count = std::strlen(text);
    std::memcpy(line + at, text, count);
    return at + count;
}

size_t PutNumber(char* line, size_t at, uint32_t value, size_t width) {
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

size_t PutWords(char* line, size_t at, const uint8_t* text, size_t length) {
    TrimBytes(&text, &length);
    for (size_t k = 0; k < length; ++k) {
        bool blank = text[k] == ' ' || IsControlByte(text[k]);
        if (!blank) {
            line[at++] = static_cast<char>(text[k]);
        } else if (text[k - 1] != ' ' && !IsControlByte(text[k - 1])) {
            line[at++] = ' ';
        }
    }
    return at;
}
