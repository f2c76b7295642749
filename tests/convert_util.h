// Whole conversions of bytes in memory for the engine's tests, with a fixed stamp.
#pragma once

#include "engine.h"
#include "test_util.h"

constexpr char TEST_STAMP[] = "2019/03/06  09:05:07";

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

// A conversion with the CMX export.
struct Exported {
    ConversionResult result;
    Bytes repaired;
    Bytes cmx;
    CmxReport report;
    Bytes repairedBody;  // the repaired list after its banner
};

inline Exported ConvertWithExport(const Bytes& source, const char* name, int rate,
                                  bool dropFrame = false, bool deleteInternalData = false) {
    MemorySource memory{reinterpret_cast<const uint8_t*>(source.data()), source.size(), 0};
    ByteSource input = MakeMemorySource(&memory);
    uint32_t options = OPTION_EXPORT_CMX | (dropFrame ? OPTION_CMX_DROP_FRAME : 0) |
                       (deleteInternalData ? OPTION_DELETE_INTERNAL_DATA : 0);
    ConvertedTexts out{};
    SourceConversion conversion{
        &input, static_cast<uint32_t>(source.size()), name, TEST_STAMP, options, rate};
    Exported exported{};
    exported.result = ConvertEdlSource(conversion, &out);
    exported.report = out.cmxReport;
    if (exported.result == RESULT_CONVERTED) {
        exported.repaired.assign(reinterpret_cast<const char*>(out.text.bytes), out.text.length);
        exported.cmx.assign(reinterpret_cast<const char*>(out.cmx.bytes), out.cmx.length);
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
