#include "file_names.h"

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

bool IsDuplicateName(const char16_t* name, const char16_t* const* names, size_t count) {
    for (size_t k = 0; k < count; ++k) {
        if (TextEquals(name, names[k])) {
            return true;
        }
    }
    return false;
}
