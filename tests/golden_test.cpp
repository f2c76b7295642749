// Whole conversions of the bundled samples against their expected outputs, each reviewed by
// hand against the rules once. The stamp is fixed; the file name is the sample's.
#include "convert_util.h"

namespace {

namespace fs = std::filesystem;

Bytes Sample(const char* name) {
    Bytes bytes = ReadFileBytes(fs::path("../samples") / name);
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

TEST(Golden, SamplesConvertToTheirExpectedOutputs) {
    for (const char* name : {"NEWS0612.EDL", "PROMO_B.EDL", "DRAMA_JP.EDL", "ODDITIES.EDL"}) {
        Bytes output;
        ASSERT_EQ(RESULT_CONVERTED, ConvertBytes(Sample(name), name, 0, &output)) << name;
        EXPECT_TRUE(
            SameBytes(ReadFileBytes(fs::path("golden") / (std::string("C_") + name)), output))
            << name;
    }
}

// Each reviewed by hand against the mapping once: the four samples at 30 frames non-drop, and
// one at 25, whose speeds differ.
TEST(Golden, SamplesExportToTheirExpectedCmxLists) {
    const struct {
        const char* name;
        int rate;
        const char* golden;
    } vectors[] = {
        {"NEWS0612.EDL", 30, "CMX_NEWS0612.EDL"},  {"PROMO_B.EDL", 30, "CMX_PROMO_B.EDL"},
        {"DRAMA_JP.EDL", 30, "CMX_DRAMA_JP.EDL"},  {"ODDITIES.EDL", 30, "CMX_ODDITIES.EDL"},
        {"PROMO_B.EDL", 25, "CMX_PROMO_B_25.EDL"},
    };
    for (const auto& vector : vectors) {
        Exported exported = ConvertWithExport(Sample(vector.name), vector.name, vector.rate);
        ASSERT_EQ(RESULT_CONVERTED, exported.result) << vector.golden;
        EXPECT_TRUE(SameBytes(ReadFileBytes(fs::path("golden") / (std::string("C_") + vector.name)),
                              exported.repaired))
            << vector.golden << ": the export leaves the repaired list as it is";
        EXPECT_TRUE(SameBytes(ReadFileBytes(fs::path("golden") / vector.golden), exported.cmx))
            << vector.golden;
    }
}

TEST(Golden, SamplesThatAreRefused) {
    Bytes output;
    EXPECT_EQ(RESULT_CMX_FORMAT, ConvertBytes(Sample("CMX3600.EDL"), "CMX3600.EDL", 0, &output));
    EXPECT_EQ(RESULT_UNKNOWN_FORMAT, ConvertBytes(Sample("MEMO.EDL"), "MEMO.EDL", 0, &output));
}

TEST(Golden, TheDeleteOptionDropsOnlyInternalDataLines) {
    Bytes expected = ReadFileBytes("golden/C_PROMO_B.EDL");
    const Bytes internal = "12 34 56 EDIT MEMORY\r\n";
    ASSERT_NE(Bytes::npos, expected.find(internal));
    expected.erase(expected.find(internal), internal.size());
    Bytes output;
    ASSERT_EQ(RESULT_CONVERTED, ConvertBytes(Sample("PROMO_B.EDL"), "PROMO_B.EDL",
                                             OPTION_DELETE_INTERNAL_DATA, &output));
    EXPECT_TRUE(SameBytes(expected, output));
}

TEST(Golden, ConvertingTheSameBytesTwiceGivesTheSameOutput) {
    Bytes source = Sample("NEWS0612.EDL");
    Bytes first;
    Bytes second;
    ASSERT_EQ(RESULT_CONVERTED, ConvertBytes(source, "N.EDL", 0, &first));
    ASSERT_EQ(RESULT_CONVERTED, ConvertBytes(source, "N.EDL", 0, &second));
    EXPECT_EQ(first, second);
}

}  // namespace
