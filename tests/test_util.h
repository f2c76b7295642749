// Helpers shared by the tests: byte strings, hex dumps on failure, conversions of whole texts.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::string;

// "41 0D 0A" to the bytes it spells.
inline Bytes FromHex(const char* hex) {
    Bytes bytes;
    unsigned value = 0;
    int digits = 0;
    for (const char* p = hex; *p != 0; ++p) {
        char c = *p;
        int nibble = c >= '0' && c <= '9'   ? c - '0'
                     : c >= 'A' && c <= 'F' ? c - 'A' + 10
                     : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                            : -1;
        if (nibble < 0) {
            continue;
        }
        value = value * 16 + static_cast<unsigned>(nibble);
        if (++digits == 2) {
            bytes.push_back(static_cast<char>(value));
            value = 0;
            digits = 0;
        }
    }
    return bytes;
}

inline std::string ToHex(const Bytes& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : bytes) {
        if (!hex.empty()) {
            hex += ' ';
        }
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

// Compares two byte strings; on a difference names the first differing offset and shows both
// around it, as text with escapes and as hex.
inline ::testing::AssertionResult SameBytes(const Bytes& expected, const Bytes& actual) {
    if (expected == actual) {
        return ::testing::AssertionSuccess();
    }
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) {
        ++at;
    }
    size_t from = at > 24 ? at - 24 : 0;
    auto show = [&](const Bytes& b) {
        Bytes part = b.substr(from < b.size() ? from : b.size(), 64);
        std::string text;
        for (unsigned char c : part) {
            if (c == '\r') {
                text += "\\r";
            } else if (c == '\n') {
                text += "\\n";
            } else if (c < 0x20 || c >= 0x7F) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
                text += buffer;
            } else {
                text += static_cast<char>(c);
            }
        }
        return "\"" + text + "\"\n    hex: " + ToHex(part);
    };
    return ::testing::AssertionFailure()
           << "first difference at byte " << at << " (sizes " << expected.size() << " and "
           << actual.size() << ")\n  expected from byte " << from << ": " << show(expected)
           << "\n  actual   from byte " << from << ": " << show(actual);
}
