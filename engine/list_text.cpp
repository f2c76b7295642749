#include "list_text.h"

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
