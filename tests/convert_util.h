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
    LineState state{};
    ByteBuffer out{};
    ConversionResult result = ConvertEdlSource(&input, static_cast<uint32_t>(source.size()), name,
                                               TEST_STAMP, options, &state, &out);
    output->clear();
    if (result == RESULT_CONVERTED) {
        output->assign(reinterpret_cast<const char*>(out.bytes), out.length);
        BufferRelease(&out);
    }
    return result;
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
