// The parts of the platform layer that are the same on every system: injected file faults, the
// temporary names of outputs, the local time now and display names in code page 932.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform_common.h"

namespace {

FileFaults activeFaults{};
std::atomic<bool> threadStartFails{false};
size_t bytesReadSinceFaults = 0;
size_t bytesWrittenSinceFaults = 0;

}  // namespace

void SetFileFaults(const FileFaults& faults) {
    activeFaults = faults;
    bytesReadSinceFaults = 0;
    bytesWrittenSinceFaults = 0;
}

void SetThreadStartFailure(bool fail) {
    threadStartFails.store(fail);
}

bool ThreadStartFails() {
    return threadStartFails.load();
}

const FileFaults& ActiveFileFaults() {
    return activeFaults;
}

long AllowedRead(size_t count) {
    if (!activeFaults.failRead) {
        return static_cast<long>(count);
    }
    size_t limit = activeFaults.readBytesBeforeFailure;
    if (bytesReadSinceFaults >= limit) {
        return -1;
    }
    size_t room = limit - bytesReadSinceFaults;
    return static_cast<long>(room < count ? room : count);
}

void CountRead(size_t count) {
    bytesReadSinceFaults += count;
}

size_t AllowedWrite(size_t count) {
    if (!activeFaults.failWrite) {
        return count;
    }
    size_t limit = activeFaults.writeBytesBeforeFailure;
    size_t room = bytesWrittenSinceFaults >= limit ? 0 : limit - bytesWrittenSinceFaults;
    return room < count ? room : count;
}

void CountWritten(size_t count) {
    bytesWrittenSinceFaults += count;
}

void MakeTemporaryName(unsigned long processId, char* out) {
    static std::atomic<unsigned> counter{0};
    std::snprintf(out, TEMPORARY_NAME_SIZE, ".tamsel-%lx-%x.tmp", processId, counter.fetch_add(1));
}

CalendarTime LocalTimeNow() {
    return LocalTimeAt(static_cast<int64_t>(std::time(nullptr)));
}

namespace {

bool IsShiftJisLead(uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsShiftJisTrail(uint8_t byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// The length of the Shift-JIS character at bytes[at] (1 or 2), or 0 when none starts there.
size_t ShiftJisCharacterLength(const uint8_t* bytes, size_t length, size_t at) {
    uint8_t byte = bytes[at];
    if (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF)) {
        return 1;
    }
    if (IsShiftJisLead(byte) && at + 1 < length && IsShiftJisTrail(bytes[at + 1])) {
        return 2;
    }
    return 0;
}

bool IsControl(uint32_t value) {
    return value < 0x20 || value == 0x7F;
}

bool HasRawBytes(const char16_t* text) {
    for (; *text != 0; ++text) {
        if (IsRawByteUnit(*text)) {
            return true;
        }
    }
    return false;
}

// A name made of bytes that are Shift-JIS as a whole is shown as those bytes: cut before a
// character that would not fit, control characters as "?". False when the bytes are not
// Shift-JIS.
bool CopyShiftJisBytes(const char16_t* text, char* out, size_t capacity, size_t* written) {
    size_t size = Utf8Length(text) + 1;
    auto* bytes = static_cast<uint8_t*>(std::malloc(size));
    if (bytes == nullptr || !Utf16ToUtf8(text, reinterpret_cast<char*>(bytes), size)) {
        std::free(bytes);
        return false;
    }
    size_t length = size - 1;
    for (size_t at = 0; at < length;) {
        size_t characterLength = ShiftJisCharacterLength(bytes, length, at);
        if (characterLength == 0) {
            std::free(bytes);
            return false;
        }
        at += characterLength;
    }
    size_t kept = 0;
    for (size_t at = 0; at < length;) {
        size_t characterLength = ShiftJisCharacterLength(bytes, length, at);
        if (kept + characterLength > capacity - 1) {
            break;
        }
        for (size_t k = 0; k < characterLength; ++k) {
            uint8_t byte = bytes[at + k];
            out[kept++] = characterLength == 1 && IsControl(byte) ? '?' : static_cast<char>(byte);
        }
        at += characterLength;
    }
    out[kept] = 0;
    *written = kept;
    std::free(bytes);
    return true;
}

}  // namespace

size_t ConvertToCodePage932(const char16_t* text, char* out, size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    size_t written = 0;
    if (HasRawBytes(text) && CopyShiftJisBytes(text, out, capacity, &written)) {
        return written;
    }
    // Convert a copy in which control characters and raw bytes are "?".
    size_t length = Utf16Length(text);
    auto* shown = static_cast<char16_t*>(std::malloc((length + 1) * sizeof(char16_t)));
    if (shown == nullptr) {
        out[0] = 0;
        return 0;
    }
    for (size_t k = 0; k < length; ++k) {
        char16_t unit = text[k];
        shown[k] = IsControl(unit) || IsRawByteUnit(unit) ? u'?' : unit;
    }
    shown[length] = 0;
    written = ConvertCharactersToCodePage932(shown, out, capacity);
    std::free(shown);
    return written;
}

namespace {

// The lead bytes of code page 932's double-byte characters.
bool IsLeadByte(uint8_t value) {
    return (value >= 0x81 && value <= 0x9F) || (value >= 0xE0 && value <= 0xFC);
}

// Bytes that start no character of code page 932, which one side's table would still map to
// a private character: "?" on both.
bool StartsNoCharacter(uint8_t value) {
    return value == 0x80 || value == 0xA0 || value >= 0xFD;
}

// Appends one unit's UTF-8 (a basic-plane character) when it fits.
size_t PutUtf8(char16_t unit, char* out, size_t at, size_t capacity) {
    char bytes[3];
    size_t count = 1;
    if (unit < 0x80) {
        bytes[0] = static_cast<char>(unit);
    } else if (unit < 0x800) {
        bytes[0] = static_cast<char>(0xC0 | (unit >> 6));
        bytes[1] = static_cast<char>(0x80 | (unit & 0x3F));
        count = 2;
    } else {
        bytes[0] = static_cast<char>(0xE0 | (unit >> 12));
        bytes[1] = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | (unit & 0x3F));
        count = 3;
    }
    if (at + count > capacity - 1) {
        return at;
    }
    std::memcpy(out + at, bytes, count);
    return at + count;
}

}  // namespace

size_t ConvertFromCodePage932(const uint8_t* bytes, size_t length, char* out, size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    size_t written = 0;
    CodePage932Decoder* decoder = nullptr;
    for (size_t at = 0; at < length;) {
        size_t characterLength = IsLeadByte(bytes[at]) && at + 1 < length ? 2 : 1;
        char16_t unit = bytes[at];
        // ASCII is itself; anything else goes through the system's table.
        if (bytes[at] >= 0x80) {
            decoder = decoder != nullptr ? decoder : OpenCodePage932Decoder();
            if (decoder == nullptr || StartsNoCharacter(bytes[at]) ||
                !DecodeCodePage932Character(decoder, bytes + at, characterLength, &unit)) {
                unit = u'?';
                characterLength = 1;
            }
        }
        size_t next = PutUtf8(unit, out, written, capacity);
        if (next == written) {
            break;  // full
        }
        written = next;
        at += characterLength;
    }
    CloseCodePage932Decoder(decoder);
    out[written] = 0;
    return written;
}
