// Decoding of controller output: the two byte tables, the mode choice, line ends and the
// repair of the lines after "DM ".
#include <cstring>
#include <random>

#include "decode_tables.h"
#include "engine.h"
#include "test_util.h"

namespace {

// Runs decoding, the DM repair and the decoded stream on `source`; returns the stream's bytes.
Bytes DecodeStream(const Bytes& source, DecodeMode* mode = nullptr) {
    MemorySource memory{reinterpret_cast<const uint8_t*>(source.data()), source.size(), 0};
    ByteSource input = MakeMemorySource(&memory);
    ByteBuffer text{};
    EXPECT_TRUE(ObtainWorkingBuffer(&text, static_cast<uint32_t>(source.size())));
    DecodeMode chosen;
    EXPECT_EQ(RESULT_CONVERTED, DecodeEdlBytes(&input, &text, &chosen));
    if (mode != nullptr) {
        *mode = chosen;
    }
    RepairDmRuns(text.bytes, text.length);
    LineStream decoded{};
    WriteDecodedStream(&text, &decoded);
    BufferRelease(&text);
    Bytes out(reinterpret_cast<const char*>(decoded.data.bytes), decoded.data.length);
    StreamRelease(&decoded);
    return out;
}

struct TableRange {
    int first;
    int last;
    int output;  // -1: the same byte; -2: input - 0x80
};

int Expected(const TableRange* ranges, size_t count, int byte) {
    for (size_t k = 0; k < count; ++k) {
        if (byte >= ranges[k].first && byte <= ranges[k].last) {
            int output = ranges[k].output;
            return output == -1 ? byte : output == -2 ? byte - 0x80 : output;
        }
    }
    ADD_FAILURE() << "no range holds " << byte;
    return -100;
}

TEST(DecodeTables, ControllerTableMatchesItsRanges) {
    const TableRange ranges[] = {
        {0x00, 0x09, 0x00}, {0x0A, 0x0A, 0x0A}, {0x0B, 0x0C, 0x00}, {0x0D, 0x0D, 0x0D},
        {0x0E, 0x1F, 0x00}, {0x20, 0x7E, -1},   {0x7F, 0x7F, 0x00}, {0x80, 0x80, 0x80},
        {0x81, 0x85, 0x00}, {0x86, 0x87, -1},   {0x88, 0x88, 0x00}, {0x89, 0x8F, -1},
        {0x90, 0x9F, 0x5A}, {0xA0, 0xAD, -2},   {0xAE, 0xAE, 0x2C}, {0xAF, 0xE8, -2},
        {0xE9, 0xE9, 0x00}, {0xEA, 0xEC, -2},   {0xED, 0xED, 0x6E}, {0xEE, 0xF5, -2},
        {0xF6, 0xFD, 0x00}, {0xFE, 0xFF, -1},
    };
    for (int byte = 0; byte < 256; ++byte) {
        EXPECT_EQ(Expected(ranges, std::size(ranges), byte), CONTROLLER_TABLE[byte])
            << "entry " << byte;
    }
}

TEST(DecodeTables, PlainTableMatchesItsRanges) {
    const TableRange ranges[] = {
        {0x00, 0x08, 0x00}, {0x09, 0x09, 0x20}, {0x0A, 0x0A, 0x0A}, {0x0B, 0x0C, 0x00},
        {0x0D, 0x0D, 0x0D}, {0x0E, 0x1F, 0x00}, {0x20, 0x7E, -1},   {0x7F, 0x7F, 0x00},
        {0x80, 0xAD, -1},   {0xAE, 0xAE, 0xAC}, {0xAF, 0xFE, -1},   {0xFF, 0xFF, 0x00},
    };
    for (int byte = 0; byte < 256; ++byte) {
        EXPECT_EQ(Expected(ranges, std::size(ranges), byte), PLAIN_TABLE[byte]) << "entry " << byte;
    }
}

struct DecodeVector {
    const char* rule;
    DecodeMode mode;
    const char* source;
    const char* decoded;
};

const DecodeVector DECODE_VECTORS[] = {
    {"bit 7 cleared, 0x8D gives CR LF and the LF after it goes", DECODE_CONTROLLER,
     "B1 30 30 8D 0A", "31 30 30 0D 0A"},
    {"irregular controller entries: AE comma, E9 dropped, ED n, 90 Z, tab dropped",
     DECODE_CONTROLLER, "C1 A0 AE A0 E9 ED 90 09 8D 0A", "41 20 2C 20 6E 5A 0D 0A"},
    {"every LF of a controller source goes", DECODE_CONTROLLER, "41 42 8D 43 44 0A 0A 45",
     "41 42 0D 0A 43 44 45"},
    {"a CR LF source in controller mode keeps a bare CR", DECODE_CONTROLLER, "41 0D 0A 42",
     "41 0D 42"},
    {"plain: tab to blank, AE to AC, FF dropped, line ends kept", DECODE_PLAIN,
     "41 09 42 AE FF 0D 0A 31", "41 20 42 AC 0D 0A 31"},
    {"DM line joined over its line break, blanks after the colon removed", DECODE_CONTROLLER,
     "44 4D 20 20 53 70 65 65 64 3A 20 2B 8D 0A 20 35 30 2E 30 8D 0A",
     "44 4D 20 20 53 70 65 65 64 3A 2B 35 30 2E 30 0D 0A"},
    {"DM line written with bit 7 on every character", DECODE_CONTROLLER,
     "C4 CD A0 D3 F0 E5 E5 E4 BA A0 AB 8D 0A A0 B5 B0 AE B0 8D 0A",
     "44 4D 20 53 70 65 65 64 3A 2B 35 30 2C 30 0D 0A"},
    {"a blank two places after the decimal mark stops the walk", DECODE_PLAIN,
     "44 4D 20 20 53 70 65 65 64 3A 20 2B 20 35 30 2E 30 20 0D 0A 31",
     "44 4D 20 20 53 70 65 65 64 3A 20 2B 20 35 30 2E 30 20 0D 0A 31"},
    {"the walk stops at a t", DECODE_PLAIN, "44 4D 20 61 74 20 31 32 2E 35 0D 0A 31",
     "44 4D 20 61 74 31 32 2E 35 0D 0A 31"},
    {"an empty source is controller coded and decodes to nothing", DECODE_CONTROLLER, "", ""},
    {"a 1 as the very last byte makes the whole file plain", DECODE_PLAIN, "41 8D 0A 42 31",
     "41 8D 0A 42 31"},
    {"0x8D without LF gives CR LF", DECODE_CONTROLLER, "41 8D 42 8D", "41 0D 0A 42 0D 0A"},
    {"a tab disappears in controller mode", DECODE_CONTROLLER, "41 09 42", "41 42"},
    {"a plain tab becomes one blank", DECODE_PLAIN, "31 09 32", "31 20 32"},
    {"DM at the start: the walk removes the blank after the M and stops at the start",
     DECODE_CONTROLLER, "44 4D 20 35 2E 30 8D", "44 4D 35 2E 30 0D 0A"},
    {"the walk goes on into the line before and removes its blanks", DECODE_PLAIN,
     "41 20 42 0D 0A 44 4D 20 35 2E 30 0D 0A 31", "41 42 0D 0A 44 4D 35 2E 30 0D 0A 31"},
    {"a DM with no decimal mark joins every following line", DECODE_PLAIN,
     "44 4D 20 41 0D 0A 42 0D 0A 43 0D 0A 31", "44 4D 20 41 42 43 31"},
    {"only CR LF pairs are joined: a lone LF and a bare CR stay", DECODE_PLAIN,
     "44 4D 20 41 0A 42 0D 43 0D 0A 3A 2E 31", "44 4D 20 41 0A 42 0D 43 3A 2E 31"},
    {"a colon right after the mark stops the walk at once", DECODE_PLAIN, "44 4D 20 20 2E 3A 31",
     "44 4D 20 20 2E 3A 31"},
    {"plain: a Shift-JIS character's second byte AE is kept (89 AE is a kanji)", DECODE_PLAIN,
     "31 20 89 AE 82 A0 AE", "31 20 89 AE 82 A0 AC"},
    {"plain: AE after a lead byte that had its trail already is a single byte", DECODE_PLAIN,
     "31 89 40 AE 89 0D AE", "31 89 40 AC 89 0D AC"},
    {"controller: AE is a comma even after a lead byte", DECODE_CONTROLLER, "89 AE", "89 2C"},
    {"DM needs its blank: DMX is no mark", DECODE_PLAIN, "44 4D 58 0D 0A 20 2E 31",
     "44 4D 58 0D 0A 20 2E 31"},
};

TEST(Decode, BytesBecomeTheirTextInEachMode) {
    for (const DecodeVector& vector : DECODE_VECTORS) {
        DecodeMode mode;
        Bytes decoded = DecodeStream(FromHex(vector.source), &mode);
        EXPECT_TRUE(SameBytes(FromHex(vector.decoded), decoded)) << vector.rule;
        EXPECT_EQ(vector.mode, mode) << vector.rule;
    }
}

TEST(Decode, ControllerTextOutgrowingItsBufferGrows) {
    // Every 0x8D becomes two bytes: 3000 of them need 6000 bytes, more than 3000 + 500.
    Bytes source(3000, '\x8D');
    Bytes decoded = DecodeStream(source);
    ASSERT_EQ(6000u, decoded.size());
    EXPECT_EQ("\r\n\r\n", decoded.substr(5996));
}

TEST(Decode, ReadErrorIsAnOpenFailure) {
    struct Failing {
        static long Read(void*, uint8_t*, size_t) { return -1; }
        static bool Rewind(void*) { return true; }
    };
    ByteSource source{nullptr, Failing::Read, Failing::Rewind};
    ByteBuffer text{};
    ASSERT_TRUE(ObtainWorkingBuffer(&text, 10));
    DecodeMode mode;
    EXPECT_EQ(RESULT_OPEN_FAILED, DecodeEdlBytes(&source, &text, &mode));
    BufferRelease(&text);
}

Bytes Utf16(const Bytes& ascii, bool bigEndian) {
    Bytes wide;
    for (char c : ascii) {
        wide += bigEndian ? Bytes{'\0', c} : Bytes{c, '\0'};
    }
    return wide;
}

// Reads one byte at a time, so that a mark arrives split over two reads.
struct ByteByByte {
    const Bytes* bytes;
    size_t position;
    static long Read(void* context, uint8_t* into, size_t count) {
        auto* self = static_cast<ByteByByte*>(context);
        if (count == 0 || self->position == self->bytes->size()) {
            return 0;
        }
        *into = static_cast<uint8_t>((*self->bytes)[self->position++]);
        return 1;
    }
    static bool Rewind(void* context) {
        static_cast<ByteByByte*>(context)->position = 0;
        return true;
    }
};

ConversionResult DecodeByteByByte(const Bytes& source) {
    ByteByByte reader{&source, 0};
    ByteSource input{&reader, ByteByByte::Read, ByteByByte::Rewind};
    ByteBuffer text{};
    EXPECT_TRUE(ObtainWorkingBuffer(&text, static_cast<uint32_t>(source.size())));
    DecodeMode mode;
    ConversionResult result = DecodeEdlBytes(&input, &text, &mode);
    BufferRelease(&text);
    return result;
}

// A UTF-16 file would lose its NUL halves in decoding and convert with garbled notes; it is
// refused as a layout the engine does not know, whichever byte order it has, with its mark or
// without.
TEST(Decode, Utf16TextIsRefusedWithOrWithoutAByteOrderMark) {
    const Bytes line =
        "001  001    V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n";
    const struct {
        const char* rule;
        Bytes source;
        ConversionResult result;
    } vectors[] = {
        {"FF FE and a little-endian event line", "\xFF\xFE" + Utf16(line, false),
         RESULT_UNKNOWN_FORMAT},
        {"FE FF and a big-endian event line", "\xFE\xFF" + Utf16(line, true),
         RESULT_UNKNOWN_FORMAT},
        {"the mark alone", "\xFF\xFE", RESULT_UNKNOWN_FORMAT},
        {"a lone FF converts as before", "\xFF" + line, RESULT_CONVERTED},
        {"FF FE after the first byte is no mark", " \xFF\xFE" + line, RESULT_CONVERTED},
        {"the UTF-8 mark is no UTF-16 mark", "\xEF\xBB\xBF" + line, RESULT_CONVERTED},
        {"little-endian without a mark", Utf16(line, false), RESULT_UNKNOWN_FORMAT},
        {"big-endian without a mark", Utf16(line, true), RESULT_UNKNOWN_FORMAT},
        {"judged by its first 512 bytes, whatever follows", Utf16(Bytes(256, 'X'), false) + line,
         RESULT_UNKNOWN_FORMAT},
        {"a stray NUL in plain text converts as before", line + Bytes(1, '\0') + line,
         RESULT_CONVERTED},
    };
    for (const auto& vector : vectors) {
        MemorySource memory{reinterpret_cast<const uint8_t*>(vector.source.data()),
                            vector.source.size(), 0};
        ByteSource input = MakeMemorySource(&memory);
        ConvertedTexts out{};
        SourceConversion conversion{&input,  static_cast<uint32_t>(vector.source.size()),
                                    "A.EDL", "2019/03/06  09:05:07",
                                    0,       30};
        EXPECT_EQ(vector.result, ConvertEdlSource(conversion, &out)) << vector.rule;
        ReleaseConvertedTexts(&out);
        EXPECT_EQ(vector.result == RESULT_CONVERTED ? RESULT_CONVERTED : RESULT_UNKNOWN_FORMAT,
                  DecodeByteByByte(vector.source))
            << vector.rule << " (one byte per read)";
    }
}

// The repair done the simple way: each backward walk runs as far as its stop rules let it, to
// the start of the text if need be. The engine's linear version must leave the same bytes.
void NaiveRepair(uint8_t* t, size_t n) {
    auto at = [&](size_t p) -> uint8_t { return p < n ? t[p] : 0; };
    size_t i = 0;
    while (i + 2 < n) {
        if (!(t[i] == 'D' && t[i + 1] == 'M' && t[i + 2] == ' ')) {
            ++i;
            continue;
        }
        size_t j = i;
        for (;;) {
            if (j >= n) {
                return;
            }
            if (t[j] == '.' || t[j] == ',') {
                long p = static_cast<long>(j);
                for (;;) {
                    if (at(p + 1) == ':' || at(p + 2) == ' ') {
                        break;
                    }
                    if (t[p] == ' ') {
                        t[p] = 0;
                    }
                    --p;
                    if (p < 0 || t[p] == 't') {
                        break;
                    }
                }
                i = j + 1;
                break;
            }
            if (t[j] == '\r' && at(j + 1) == '\n') {
                t[j] = t[j + 1] = 0;
                j += 2;
            } else {
                ++j;
            }
        }
    }
}

TEST(Decode, RepairMatchesTheStepByStepRulesOnRandomTexts) {
    const char alphabet[] = {'D', 'M', ' ', ' ', '.', ',', ':', 't', '\r', '\n', 'x', '5'};
    std::mt19937 random(20261207);
    for (int round = 0; round < 20000; ++round) {
        size_t length = random() % 60;
        std::vector<uint8_t> text(length);
        for (size_t k = 0; k < length; ++k) {
            // Plant "DM " often enough that most texts have several walks.
            if (k + 3 <= length && random() % 6 == 0) {
                text[k] = 'D';
                text[k + 1] = 'M';
                text[k + 2] = ' ';
                k += 2;
            } else {
                text[k] = static_cast<uint8_t>(alphabet[random() % sizeof alphabet]);
            }
        }
        std::vector<uint8_t> expected = text;
        NaiveRepair(expected.data(), expected.size());
        std::vector<uint8_t> actual = text;
        RepairDmRuns(actual.data(), actual.size());
        ASSERT_TRUE(
            SameBytes(Bytes(expected.begin(), expected.end()), Bytes(actual.begin(), actual.end())))
            << "round " << round << ", input " << ToHex(Bytes(text.begin(), text.end()));
    }
}

TEST(Decode, RepairOfRepeatedDmMarksMatchesTheRules) {
    // The adversarial shape: every walk would run back to the start of the text.
    Bytes text;
    for (int k = 0; k < 2000; ++k) {
        text += k % 7 == 0 ? "DM  . \r\n" : "DM .";
    }
    std::vector<uint8_t> expected(text.begin(), text.end());
    NaiveRepair(expected.data(), expected.size());
    std::vector<uint8_t> actual(text.begin(), text.end());
    RepairDmRuns(actual.data(), actual.size());
    EXPECT_TRUE(
        SameBytes(Bytes(expected.begin(), expected.end()), Bytes(actual.begin(), actual.end())));
}

}  // namespace
