// Whole conversions of the bundled samples against their expected outputs, each reviewed by
// hand against the rules once. The stamp is fixed; the file name is the sample's.
#include <filesystem>
#include <fstream>

#include "engine.h"
#include "test_util.h"

namespace {

namespace fs = std::filesystem;

const char STAMP[] = "2019/03/06  09:05:07";

Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

JobResult Convert(const Bytes& source, const char* name, uint32_t options, Bytes* output) {
    MemorySource memory{reinterpret_cast<const uint8_t*>(source.data()), source.size(), 0};
    ByteSource input = MakeMemorySource(&memory);
    LineState state{};
    OutputText out;
    JobResult result = ConvertEdlSource(&input, static_cast<uint32_t>(source.size()), name, STAMP,
                                        options, &state, &out);
    if (result == RESULT_CONVERTED) {
        output->assign(reinterpret_cast<const char*>(out.bytes), out.length);
        ReleaseOutputText(&out);
    }
    return result;
}

TEST(Golden, SamplesConvertToTheirExpectedOutputs) {
    for (const char* name : {"NEWS0612.EDL", "PROMO_B.EDL", "DRAMA_JP.EDL", "ODDITIES.EDL"}) {
        Bytes output;
        ASSERT_EQ(RESULT_CONVERTED,
                  Convert(ReadAll(fs::path("../samples") / name), name, 0, &output))
            << name;
        EXPECT_TRUE(SameBytes(ReadAll(fs::path("golden") / (std::string("C_") + name)), output))
            << name;
    }
}

TEST(Golden, SamplesThatAreRefused) {
    Bytes output;
    EXPECT_EQ(RESULT_CMX_FORMAT,
              Convert(ReadAll("../samples/CMX3600.EDL"), "CMX3600.EDL", 0, &output));
    EXPECT_EQ(RESULT_UNKNOWN_FORMAT,
              Convert(ReadAll("../samples/MEMO.EDL"), "MEMO.EDL", 0, &output));
}

TEST(Golden, TheDeleteOptionDropsOnlyInternalDataLines) {
    Bytes expected = ReadAll("golden/C_PROMO_B.EDL");
    const Bytes internal = "12 34 56 EDIT MEMORY\r\n";
    ASSERT_NE(Bytes::npos, expected.find(internal));
    expected.erase(expected.find(internal), internal.size());
    Bytes output;
    ASSERT_EQ(RESULT_CONVERTED,
              Convert(ReadAll("../samples/PROMO_B.EDL"), "PROMO_B.EDL", 0x2, &output));
    EXPECT_TRUE(SameBytes(expected, output));
}

TEST(Golden, ConvertingTheSameBytesTwiceGivesTheSameOutput) {
    Bytes source = ReadAll("../samples/NEWS0612.EDL");
    Bytes first;
    Bytes second;
    ASSERT_EQ(RESULT_CONVERTED, Convert(source, "N.EDL", 0, &first));
    ASSERT_EQ(RESULT_CONVERTED, Convert(source, "N.EDL", 0, &second));
    EXPECT_EQ(first, second);
}

}  // namespace
