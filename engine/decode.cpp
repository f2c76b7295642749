#include "decode.h"

#include <cstring>

#include "decode_tables.h"

namespace {

constexpr size_t READ_CHUNK = 16384;

constexpr uint8_t CONTROLLER_LINE_END = 0x8D;

// The bytes at the start of a source by which UTF-16 text is told from the controller's.
constexpr size_t UTF16_PROBE_BYTES = 512;

// A UTF-16 text: FF FE or FE FF first, or, without that mark, a NUL at every second position of
// the head (the high half of each ASCII character, in either byte order). Its NUL halves would
// vanish in decoding and leave a text that converts with garbled notes, so such a file is
// refused as a layout the engine does not know. `count` is the head's length, at most
// UTF16_PROBE_BYTES.
bool IsUtf16Text(const uint8_t* head, size_t count) {
    if (count < 2) {
        return false;
    }
    if ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF)) {
        return true;
    }
    bool evenAllNul = true;
    bool oddAllNul = true;
    for (size_t k = 0; k < count; ++k) {
        if (head[k] != 0) {
            (k % 2 == 0 ? evenAllNul : oddAllNul) = false;
        }
    }
    return evenAllNul || oddAllNul;
}

uint8_t At(const uint8_t* text, size_t count, size_t position) {
    return position < count ? text[position] : 0;
}

bool IsDecimalMark(uint8_t byte) {
    return byte == '.' || byte == ',';
}

bool IsShiftJisLead(uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsShiftJisTrail(uint8_t byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// A plain byte through its table. The table turns 0xAE into 0xAC; as the second byte of a
// Shift-JIS character 0xAE is kept, since the mapping would turn "屋" (89 AE) into "荻"
// (89 AC) in a plain file's notes.
uint8_t DecodePlainByte(uint8_t byte, bool isTrail) {
    return isTrail && byte == 0xAE ? byte : PLAIN_TABLE[byte];
}

}  // namespace

bool ObtainWorkingBuffer(ByteBuffer* text, uint32_t sourceSize) {
    *text = ByteBuffer{};
    return BufferReserve(text, static_cast<size_t>(sourceSize) + WORKING_BUFFER_SLACK);
}

bool ChooseDecodeMode(ByteSource* source, DecodeMode* mode) {
    uint8_t chunk[READ_CHUNK];
    *mode = DECODE_CONTROLLER;
    if (!source->rewind(source->context)) {
        return false;
    }
    for (;;) {
        long got = source->read(source->context, chunk, sizeof chunk);
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (std::memchr(chunk, 0x31, static_cast<size_t>(got)) != nullptr) {
            *mode = DECODE_PLAIN;
            return true;
        }
    }
}

ConversionResult DecodeEdlBytes(ByteSource* source, ByteBuffer* text, DecodeMode* modeChosen) {
    DecodeMode mode;
    if (!ChooseDecodeMode(source, &mode) || !source->rewind(source->context)) {
        return RESULT_OPEN_FAILED;
    }
    *modeChosen = mode;
    text->length = 0;
    uint8_t chunk[READ_CHUNK];
    bool afterLead = false;  // the byte before began a Shift-JIS character (plain mode)
    uint8_t head[UTF16_PROBE_BYTES] = {};  // the source's first bytes, gathered across reads
    size_t headCount = 0;
    for (;;) {
        long got = source->read(source->context, chunk, sizeof chunk);
        if (got < 0) {
            return RESULT_OPEN_FAILED;
        }
        if (got == 0) {
            // A source shorter than the probe is judged by all of it.
            bool judged = headCount == UTF16_PROBE_BYTES;
            return !judged && IsUtf16Text(head, headCount) ? RESULT_UNKNOWN_FORMAT
                                                           : RESULT_CONVERTED;
        }
        auto count = static_cast<size_t>(got);
        for (size_t k = 0; k < count && headCount < UTF16_PROBE_BYTES; ++k) {
            head[headCount++] = chunk[k];
            if (headCount == UTF16_PROBE_BYTES && IsUtf16Text(head, headCount)) {
                return RESULT_UNKNOWN_FORMAT;
            }
        }
        // Room for the whole chunk at once, so the text never runs past its capacity: a byte
        // gives one byte, the controller's 0x8D two (CR LF). The working buffer's slack holds
        // those of a normal file, and it grows only for a file with many more.
        size_t needed = text->length + count;
        if (mode == DECODE_CONTROLLER) {
            for (size_t k = 0; k < count; ++k) {
                needed += chunk[k] == CONTROLLER_LINE_END;
            }
        }
        if (!BufferReserve(text, needed)) {
            return RESULT_NO_MEMORY;
        }
        uint8_t* out = text->bytes + text->length;
        for (size_t k = 0; k < count; ++k) {
            uint8_t byte = chunk[k];
            if (mode == DECODE_PLAIN) {
                bool isTrail = afterLead && IsShiftJisTrail(byte);
                *out++ = DecodePlainByte(byte, isTrail);
                afterLead = !isTrail && IsShiftJisLead(byte);
            } else if (byte == CONTROLLER_LINE_END) {
                *out++ = '\r';
                *out++ = '\n';
            } else if (byte != '\n') {
                // The controller's own line end is 0x8D; every line feed of the source goes.
                *out++ = CONTROLLER_TABLE[byte];
            }
        }
        text->length = static_cast<size_t>(out - text->bytes);
    }
}

// The backward walk from a decimal mark removes the blanks between a field label's ":" and
// the number ("Speed: +50.0" becomes "Speed:+50.0"). Done naively, every walk may run back
// to the start of the text, which makes a text full of "DM ." marks take quadratic time.
//
// A walk only ever turns blanks into zeros, and the tests that stop it look at bytes that
// stay what they were once a walk has passed them (a ":" or a "t" is never changed; a blank
// only becomes a zero, which stops nothing). So when a later walk reaches the top of the
// stretch that an earlier walk went through and left for a lasting reason (the start of the
// text, a "t" below it, a ":" at its bottom), it would pass the stretch changing nothing and
// stop at the same place: it can stop at once. `shieldTop` is the top of the latest such
// stretch; a walk that stopped for a lasting reason becomes the new one.
namespace {

constexpr long NO_SHIELD = -1;

// Walks back from the decimal mark at `mark`; returns the new shield top.
long WalkBackFromMark(uint8_t* text, size_t count, long mark, long shieldTop) {
    long p = mark;
    bool processedAny = false;
    for (;;) {
        if (p == shieldTop) {
            return mark;  // the rest of the walk would change nothing
        }
        size_t at = static_cast<size_t>(p);
        if (At(text, count, at + 1) == ':') {
            return processedAny ? mark : shieldTop;
        }
        if (At(text, count, at + 2) == ' ') {
            // Only a walk that has processed nothing but the mark itself can stop here for a
            // reason that a later walk (which clears the blank above) would not share.
            return p == mark - 1 ? shieldTop : (processedAny ? mark : shieldTop);
        }
        if (text[at] == ' ') {
            text[at] = 0;
        }
        processedAny = true;
        --p;
        if (p < 0 || text[p] == 't') {
            return mark;
        }
    }
}

}  // namespace

void RepairDmRuns(uint8_t* text, size_t count) {
    long shieldTop = NO_SHIELD;
    size_t i = 0;
    while (i + 2 < count) {
        // The next "D" at once: most of a text holds none.
        const void* letter = std::memchr(text + i, 'D', count - 2 - i);
        if (letter == nullptr) {
            return;
        }
        i = static_cast<size_t>(static_cast<const uint8_t*>(letter) - text);
        if (!(text[i + 1] == 'M' && text[i + 2] == ' ')) {
            ++i;
            continue;
        }
        size_t j = i;
        for (;;) {
            if (j >= count) {
                return;  // no decimal mark after this "DM ": the repair ends
            }
            if (IsDecimalMark(text[j])) {
                shieldTop = WalkBackFromMark(text, count, static_cast<long>(j), shieldTop);
                i = j + 1;
                break;
            }
            if (text[j] == '\r' && At(text, count, j + 1) == '\n') {
                text[j] = 0;
                text[j + 1] = 0;
                j += 2;
            } else {
                ++j;
            }
        }
    }
}

void WriteDecodedStream(ByteBuffer* text, LineStream* decoded) {
    // Runs of non-zero bytes move down at once rather than byte by byte; zeros are few, and
    // memchr finds each.
    size_t kept = 0;
    size_t start = 0;
    while (start < text->length) {
        const void* zero = std::memchr(text->bytes + start, 0, text->length - start);
        size_t end = zero != nullptr
                         ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - text->bytes)
                         : text->length;
        if (end > start && kept != start) {
            std::memmove(text->bytes + kept, text->bytes + start, end - start);
        }
        kept += end - start;
        start = end + 1;
    }
    text->length = kept;
    StreamRelease(decoded);
    decoded->data = *text;
    decoded->position = 0;
    *text = ByteBuffer{};
}
