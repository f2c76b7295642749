#include "text.h"

#include <cstdint>

namespace {

// A code point that stands for one byte of a name that is not UTF-8 (the raw bytes 0x80 to
// 0xFF as U+DC80 to U+DCFF, lone low surrogates that no valid text holds).
constexpr char32_t RAW_BYTE = 0x110000;

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Decodes the code point at text[*at] and moves past it. A raw byte comes back as RAW_BYTE plus
// its value; any other unpaired surrogate as U+FFFD.
char32_t NextCodePoint(const char16_t* text, size_t* at) {
    char32_t unit = text[(*at)++];
    if (unit >= 0xD800 && unit <= 0xDBFF && IsLowSurrogate(text[*at])) {
        char32_t low = text[(*at)++];
        return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    if (IsRawByteUnit(static_cast<char16_t>(unit))) {
        return RAW_BYTE + 0x80 + (unit - RAW_BYTE_UNITS);
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) {
        return 0xFFFD;
    }
    return unit;
}

size_t EncodeUtf8(char32_t cp, char* out) {
    if (cp >= RAW_BYTE) {
        out[0] = static_cast<char>(cp - RAW_BYTE);
        return 1;
    }
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

// The code point of a valid UTF-8 sequence at bytes[at], and its length; 0 when the bytes there
// are not valid UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
size_t DecodeUtf8(const uint8_t* bytes, size_t at, char32_t* cp) {
    uint8_t lead = bytes[at];
    size_t extra;
    if (lead < 0x80) {
        *cp = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        *cp = lead & 0x1Fu;
        extra = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        *cp = lead & 0x0Fu;
        extra = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        *cp = lead & 0x07u;
        extra = 3;
    } else {
        return 0;
    }
    for (size_t k = 1; k <= extra; ++k) {
        if ((bytes[at + k] & 0xC0) != 0x80) {
            return 0;  // a NUL ends the text here too
        }
        *cp = (*cp << 6) | (bytes[at + k] & 0x3Fu);
    }
    if ((extra == 2 && *cp < 0x800) || (extra == 3 && (*cp < 0x10000 || *cp > 0x10FFFF)) ||
        (*cp >= 0xD800 && *cp <= 0xDFFF)) {
        return 0;
    }
    return extra + 1;
}

}  // namespace

bool IsRawByteUnit(char16_t unit) {
    return unit >= RAW_BYTE_UNITS && unit <= RAW_BYTE_UNITS + 0x7F;
}

size_t Utf16Length(const char16_t* text) {
    size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length;
}

bool TextEquals(const char16_t* a, const char16_t* b) {
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
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

bool IsUtf8(const char* text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    char32_t cp;
    for (size_t at = 0; bytes[at] != 0;) {
        size_t taken = DecodeUtf8(bytes, at, &cp);
        if (taken == 0) {
            return false;
        }
        at += taken;
    }
    return true;
}

bool BytesToUtf16(const char* text, char16_t* out, size_t capacity) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    size_t length = 0;
    for (size_t at = 0; bytes[at] != 0;) {
        char32_t cp;
        size_t taken = DecodeUtf8(bytes, at, &cp);
        if (taken == 0) {
            cp = RAW_BYTE + bytes[at];  // kept as it is, one unit for the byte
            taken = 1;
        }
        at += taken;
        size_t units = cp >= 0x10000 && cp < RAW_BYTE ? 2 : 1;
        if (length + units >= capacity) {
            if (capacity > 0) {
                out[0] = 0;
            }
            return false;
        }
        if (cp >= RAW_BYTE) {
            out[length++] = static_cast<char16_t>(RAW_BYTE_UNITS + (cp - RAW_BYTE - 0x80));
        } else if (units == 2) {
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

namespace {

struct TextSink {
    char16_t* out;
    size_t capacity;
    size_t length;
};

void Put(TextSink* sink, char16_t unit) {
    if (sink->length + 1 < sink->capacity) {
        sink->out[sink->length++] = unit;
    }
}

// `number` in decimal, with leading zeros up to `width` digits.
void PutNumber(TextSink* sink, int number, int width) {
    char16_t digits[16];
    size_t count = 0;
    // Work in unsigned so that the most negative number has a magnitude too.
    unsigned magnitude =
        number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count < static_cast<size_t>(width) && count < sizeof digits / sizeof digits[0]) {
        digits[count++] = u'0';
    }
    if (number < 0) {
        Put(sink, u'-');
    }
    while (count > 0) {
        Put(sink, digits[--count]);
    }
}

bool IsOneOf(char16_t unit, const char16_t* units) {
    for (; *units != 0; ++units) {
        if (unit == *units) {
            return true;
        }
    }
    return false;
}

}  // namespace

size_t FillTemplate(const char16_t* pattern, const char16_t* const* texts, size_t textCount,
                    const int* numbers, size_t numberCount, char16_t* out, size_t capacity) {
    TextSink sink{out, capacity, 0};
    size_t nextText = 0;
    size_t nextNumber = 0;
    for (const char16_t* p = pattern; *p != 0; ++p) {
        if (p[0] == u'%' && p[1] == u's') {
            const char16_t* text = nextText < textCount ? texts[nextText++] : u"";
            for (; *text != 0; ++text) {
                Put(&sink, *text);
            }
            ++p;
        } else if (p[0] == u'%' && p[1] == u'd') {
            PutNumber(&sink, nextNumber < numberCount ? numbers[nextNumber++] : 0, 0);
            ++p;
        } else if (p[0] == u'%' && p[1] == u'0' && p[2] >= u'1' && p[2] <= u'9' && p[3] == u'd') {
            PutNumber(&sink, nextNumber < numberCount ? numbers[nextNumber++] : 0, p[2] - u'0');
            p += 3;
        } else {
            Put(&sink, *p);
        }
    }
    if (capacity > 0) {
        out[sink.length] = 0;
    }
    return sink.length;
}

bool SplitPath(const char16_t* path, const char16_t* separators, char16_t* folder,
               size_t folderCapacity, char16_t* name, size_t nameCapacity) {
    size_t length = Utf16Length(path);
    size_t split = length;  // index of the last separator, or length when there is none
    for (size_t k = 0; k < length; ++k) {
        if (IsOneOf(path[k], separators)) {
            split = k;
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

bool JoinPath(const char16_t* folder, char16_t separator, const char16_t* name, char16_t* out,
              size_t capacity) {
    size_t folderLength = Utf16Length(folder);
    size_t nameLength = Utf16Length(name);
    if (capacity == 0) {
        return false;
    }
    if (folderLength >= capacity || nameLength >= capacity - folderLength - 1) {
        out[0] = 0;
        return false;
    }
    size_t at = 0;
    for (size_t k = 0; k < folderLength; ++k) {
        out[at++] = folder[k];
    }
    out[at++] = separator;
    for (size_t k = 0; k < nameLength; ++k) {
        out[at++] = name[k];
    }
    out[at] = 0;
    return true;
}

bool SetOutputFolder(char16_t* outputFolder, size_t capacity, const char16_t* path,
                     const char16_t* separators) {
    size_t length = Utf16Length(path);
    bool addSeparator = length != 0 && !IsOneOf(path[length - 1], separators);
    size_t needed = length + (addSeparator ? 1 : 0) + 1;
    if (needed > capacity) {
        return false;
    }
    for (size_t k = 0; k < length; ++k) {
        outputFolder[k] = path[k];
    }
    if (addSeparator) {
        outputFolder[length++] = separators[0];
    }
    outputFolder[length] = 0;
    return true;
}

size_t EscapeControls(const char16_t* text, char16_t* out, size_t capacity) {
    TextSink sink{out, capacity, 0};
    auto putHex = [&sink](char16_t prefix, unsigned value, int digits) {
        static const char16_t HEX[] = u"0123456789abcdef";
        Put(&sink, u'\\');
        Put(&sink, prefix);
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
            Put(&sink, HEX[(value >> shift) & 0xF]);
        }
    };
    for (size_t at = 0; text[at] != 0; ++at) {
        char16_t unit = text[at];
        if (unit == u'\n' || unit == u'\r' || unit == u'\t') {
            Put(&sink, u'\\');
            Put(&sink, unit == u'\n' ? u'n' : unit == u'\r' ? u'r' : u't');
        } else if (unit < 0x20 || unit == 0x7F) {
            putHex(u'x', unit, 2);
        } else if (IsRawByteUnit(unit)) {
            putHex(u'x', 0x80u + (unit - RAW_BYTE_UNITS), 2);
        } else if (unit >= 0x80 && unit <= 0x9F) {
            putHex(u'u', unit, 4);  // C1 controls: some terminals take 0x9B as an escape
        } else {
            Put(&sink, unit);
        }
    }
    if (capacity > 0) {
        out[sink.length] = 0;
    }
    return sink.length;
}
