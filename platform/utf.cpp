#include "utf.h"

#include <cstdint>

namespace {

// Decodes the code point at text[*at] and moves past it.
char32_t NextCodePoint(const char16_t* text, size_t* at) {
    char32_t unit = text[(*at)++];
    if (unit >= 0xD800 && unit <= 0xDBFF && text[*at] >= 0xDC00 && text[*at] <= 0xDFFF) {
        char32_t low = text[(*at)++];
        return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) {
        return 0xFFFD;
    }
    return unit;
}

size_t EncodeUtf8(char32_t cp, char* out) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (cp >> 18));
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

}  // namespace

size_t Utf16Length(const char16_t* text) {
    size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length;
}

size_t Utf8Length(const char16_t* text) {
    size_t bytes = 0;
    size_t at = 0;
    char scratch[4];
    while (text[at] != 0) {
        bytes += EncodeUtf8(NextCodePoint(text, &at), scratch);
    }
    return bytes;
}

bool Utf16ToUtf8(const char16_t* text, char* out, size_t capacity) {
    if (capacity == 0) {
        return false;
    }
    size_t length = 0;
    size_t at = 0;
    while (text[at] != 0) {
        char encoded[4];
        size_t count = EncodeUtf8(NextCodePoint(text, &at), encoded);
        if (length + count >= capacity) {
            out[0] = 0;
            return false;
        }
        for (size_t k = 0; k < count; ++k) {
            out[length++] = encoded[k];
        }
    }
    out[length] = 0;
    return true;
}

bool Utf8ToUtf16(const char* text, char16_t* out, size_t capacity) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    size_t length = 0;
    size_t at = 0;
    auto fail = [&]() {
        if (capacity > 0) {
            out[0] = 0;
        }
        return false;
    };
    while (bytes[at] != 0) {
        uint8_t lead = bytes[at];
        char32_t cp;
        size_t extra;
        if (lead < 0x80) {
            cp = lead;
            extra = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            cp = lead & 0x1F;
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            cp = lead & 0x0F;
            extra = 2;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            cp = lead & 0x07;
            extra = 3;
        } else {
            return fail();
        }
        for (size_t k = 1; k <= extra; ++k) {
            if ((bytes[at + k] & 0xC0) != 0x80) {
                return fail();
            }
            cp = (cp << 6) | (bytes[at + k] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return fail();
        }
        at += extra + 1;
        size_t units = cp >= 0x10000 ? 2 : 1;
        if (length + units >= capacity) {
            return fail();
        }
        if (units == 2) {
            out[length++] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out[length++] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out[length++] = static_cast<char16_t>(cp);
        }
    }
    if (capacity == 0) {
        return false;
    }
    out[length] = 0;
    return true;
}
