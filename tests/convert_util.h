// Whole conversions of bytes in memory for the engine's tests, with a fixed stamp.
#pragma once

#include <cstring>

#include "engine.h"
#include "test_util.h"

constexpr char TEST_STAMP[] = "2019/03/06  09:05:07";

const Bytes TC = "00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00";

// A BVE event line: number, reel, mode area, type area, timecodes and trailing marks.
inline Bytes Bve(const char* number, const char* reel, const char* mode, const char* type,
                 const Bytes& timecodes = TC, const char* marks = "") {
    Bytes line = Bytes(number) + "  " + reel;
    line += Bytes(reel[0] == 0 ? 0 : (std::strlen(reel) < 7 ? 7 - std::strlen(reel) : 1), ' ');
    return line + mode + type + timecodes + marks + "\r\n";
}

// Converts `source` as the file `name`; on RESULT_CONVERTED `output` holds the whole text.
inline ConversionResult ConvertBytes(const Bytes& source, const char* name, uint32_t options,
                                     Bytes* output) {
    MemorySource memory{reinterpret_cast<const uint8_t*>(source.data()), source.size(), 0};
    ByteSource input = MakeMemorySource(&memory);
    ConvertedTexts out{};
    SourceConversion conversion{&input,  static_cast<uint32_t>(source.size()), name, TEST_STAMP,
                                options, CMX_DEFAULT_FRAMES_PER_SECOND};
    ConversionResult result = ConvertEdlSource(conversion, &out);
    output->clear();
    if (result == RESULT_CONVERTED) {
        output->assign(reinterpret_cast<const char*>(out.text.bytes), out.text.length);
    }
    ReleaseConvertedTexts(&out);
    return result;
}

// The length of the banner that the conversion of `source` begins with, from the conversion's
// own stages up to the banner; 0 for a file without an event line.
inline size_t BannerLength(const Bytes& source, const char* name) {
    MemorySource memory{reinterpret_cast<const uint8_t*>(source.data()), source.size(), 0};
    ByteSource input = MakeMemorySource(&memory);
    ByteBuffer text{};
    DecodeMode mode;
    size_t length = 0;
    if (ObtainWorkingBuffer(&text, static_cast<uint32_t>(source.size())) &&
        DecodeEdlBytes(&input, &text, &mode) == RESULT_CONVERTED) {
        RepairDmRuns(text.bytes, text.length);
        LineStream decoded{};
        WriteDecodedStream(&text, &decoded);
        LinePiece piece;
        size_t eventStart = 0;
        if (FindEventStart(&decoded, &piece, &eventStart)) {
            HeaderFields fields;
            ExtractHeaderFields(&decoded, eventStart, &piece, &fields);
            ByteBuffer banner{};
            EXPECT_TRUE(ComposeBanner(&banner, fields, name, TEST_STAMP));
            length = banner.length;
            BufferRelease(&banner);
        }
        StreamRelease(&decoded);
    }
    BufferRelease(&text);
    return length;
}

// A conversion with the CMX export, and the event table and the pull list when asked.
struct Exported {
    ConversionResult result;
    Bytes repaired;
    Bytes cmx;
    CmxReport report;
    Bytes repairedBody;  // the repaired list after its banner
    Bytes events;
    EventTableReport eventsReport;
    Bytes pull;
    PullReport pullReport;
};

inline Bytes TextOf(const ByteBuffer& buffer) {
    return buffer.length == 0 ? Bytes()
                              : Bytes(reinterpret_cast<const char*>(buffer.bytes), buffer.length);
}

inline Exported ConvertWithExport(const Bytes& source, const char* name, int rate,
                                  bool dropFrame = false, bool deleteInternalData = false,
                                  uint32_t lists = 0, int handleSeconds = DEFAULT_HANDLE_SECONDS) {
    MemorySource memory{reinterpret_cast<const uint8_t*>(source.data()), source.size(), 0};
    ByteSource input = MakeMemorySource(&memory);
    uint32_t options = OPTION_EXPORT_CMX | (dropFrame ? OPTION_CMX_DROP_FRAME : 0) |
                       (deleteInternalData ? OPTION_DELETE_INTERNAL_DATA : 0) | lists;
    ConvertedTexts out{};
    SourceConversion conversion{
        &input,       static_cast<uint32_t>(source.size()), name, TEST_STAMP, options, rate,
        handleSeconds};
    Exported exported{};
    exported.result = ConvertEdlSource(conversion, &out);
    exported.report = out.cmxReport;
    exported.eventsReport = out.eventsReport;
    exported.pullReport = out.pullReport;
    if (exported.result == RESULT_CONVERTED) {
        exported.repaired = TextOf(out.text);
        exported.cmx = TextOf(out.cmx);
        exported.events = TextOf(out.events);
        exported.pull = TextOf(out.pull);
        exported.repairedBody = exported.repaired.substr(BannerLength(source, name));
    }
    ReleaseConvertedTexts(&out);
    return exported;
}

// What follows the banner of a file whose header has no reel or block line of its own.
inline Bytes AfterBanner(const Bytes& source, uint32_t options = 0) {
    Bytes text;
    EXPECT_EQ(RESULT_CONVERTED, ConvertBytes(source, "A.EDL", options, &text));
    const Bytes bannerEnd = "MASTER RECORDER REEL MAST\r\nBLOCK 001\r\n";
    size_t at = text.find(bannerEnd);
    EXPECT_NE(Bytes::npos, at) << "no default banner end";
    return at == Bytes::npos ? text : text.substr(at + bannerEnd.size());
}
