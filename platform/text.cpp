#include "text.h"

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
