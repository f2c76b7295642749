#include "file_names.h"

bool TextEquals(const char16_t* a, const char16_t* b) {
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

char16_t UpperCaseUnit(char16_t unit) {
    if ((unit >= u'a' && unit <= u'z') || (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7)) {
        return static_cast<char16_t>(unit - 0x20);
    }
    if (unit >= 0xFF41 && unit <= 0xFF5A) {  // full-width ａ to ｚ
        return static_cast<char16_t>(unit - 0x20);
    }
    return unit;
}

void UpperCaseExtension(char16_t* text) {
    char16_t* lastDot = nullptr;
    for (char16_t* at = text; *at != 0; ++at) {
        if (*at == u'.') {
            lastDot = at;
        }
    }
    for (char16_t* at = lastDot; at != nullptr && *at != 0; ++at) {
        *at = UpperCaseUnit(*at);
    }
}

bool HasEdlExtension(const char16_t* text) {
    const char16_t* lastDot = nullptr;
    for (const char16_t* at = text; *at != 0; ++at) {
        if (*at == u'.') {
            lastDot = at;
        }
    }
    return lastDot != nullptr && TextEquals(lastDot + 1, u"EDL");
}

bool SplitPath(const char16_t* path, const char16_t* separators, char16_t* folder,
               size_t folderCapacity, char16_t* name, size_t nameCapacity) {
    size_t length = Utf16Length(path);
    size_t split = length;  // index of the last separator, or length when there is none
    for (size_t k = 0; k < length; ++k) {
        for (const char16_t* s = separators; *s != 0; ++s) {
            if (path[k] == *s) {
                split = k;
            }
        }
    }
    size_t folderLength = split == length ? 0 : split;
    size_t nameStart = split == length ? 0 : split + 1;
    size_t nameLength = length - nameStart;
    if (folderLength >= folderCapacity || nameLength >= nameCapacity) {
        if (folderCapacity > 0) {
            folder[0] = 0;
        }
        if (nameCapacity > 0) {
            name[0] = 0;
        }
        return false;
    }
    for (size_t k = 0; k < folderLength; ++k) {
        folder[k] = path[k];
    }
    folder[folderLength] = 0;
    for (size_t k = 0; k < nameLength; ++k) {
        name[k] = path[nameStart + k];
    }
    name[nameLength] = 0;
    return true;
}

bool IsDuplicateName(const char16_t* name, const char16_t* const* names, size_t count) {
    for (size_t k = 0; k < count; ++k) {
        if (TextEquals(name, names[k])) {
            return true;
        }
    }
    return false;
}
