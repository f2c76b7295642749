// The CMX export as files: "CMX_" + name beside "C_" + name, both or neither, with a result
// that names which one failed.
#include "convert_util.h"
#include "platform.h"

namespace {

constexpr CalendarTime FIXED_TIME{2019, 3, 6, 9, 5, 7};

struct FilesFolder : TestFolder {
    ~FilesFolder() {
        SetFileFaults(FileFaults{});
        SetEngineAllocFailure(0);
    }
};

ConversionResult ConvertFile(const FilesFolder& folder, const char* name, uint32_t options,
                             int rate = 30, ConversionReport* report = nullptr) {
    std::u16string source = folder.Path(name);
    std::u16string out = folder.FolderPath("out");
    std::u16string display = std::filesystem::path(name).u16string();
    ConversionRequest request{source.c_str(), display.c_str(), out.c_str(),
                              options,        FIXED_TIME,      rate};
    return ConvertEdlFile(request, report);
}

Bytes Sample(const char* name) {
    return ReadFileBytes(std::string("../samples/") + name);
}

TEST(CmxFiles, TheExportIsWrittenBesideTheRepairedList) {
    FilesFolder folder;
    folder.Write("NEWS0612.EDL", Sample("NEWS0612.EDL"));
    folder.Write("PROMO_B.EDL", Sample("PROMO_B.EDL"));
    ConversionReport report{};
    ASSERT_EQ(RESULT_CONVERTED,
              ConvertFile(folder, "NEWS0612.EDL", OPTION_EXPORT_CMX, 30, &report));
    EXPECT_EQ((std::vector<std::string>{"CMX_NEWS0612.EDL", "C_NEWS0612.EDL"}),
              folder.Files("out"));
    EXPECT_TRUE(
        SameBytes(ReadFileBytes("golden/C_NEWS0612.EDL"), folder.Read("out/C_NEWS0612.EDL")));
    EXPECT_TRUE(
        SameBytes(ReadFileBytes("golden/CMX_NEWS0612.EDL"), folder.Read("out/CMX_NEWS0612.EDL")));
    EXPECT_EQ(9u, report.cmx.eventsWritten);
    EXPECT_EQ(4u, report.cmx.keptAsComments);

    ASSERT_EQ(RESULT_CONVERTED, ConvertFile(folder, "PROMO_B.EDL", OPTION_EXPORT_CMX, 25));
    EXPECT_TRUE(
        SameBytes(ReadFileBytes("golden/CMX_PROMO_B_25.EDL"), folder.Read("out/CMX_PROMO_B.EDL")))
        << "the request's rate";
}

TEST(CmxFiles, TheOptionsReachTheExport) {
    FilesFolder folder;
    folder.Write("PROMO_B.EDL", Sample("PROMO_B.EDL"));
    ASSERT_EQ(RESULT_CONVERTED, ConvertFile(folder, "PROMO_B.EDL", 0));
    EXPECT_EQ(std::vector<std::string>{"C_PROMO_B.EDL"}, folder.Files("out"))
        << "no export without its option";

    ASSERT_EQ(RESULT_CONVERTED,
              ConvertFile(folder, "PROMO_B.EDL",
                          OPTION_EXPORT_CMX | OPTION_CMX_DROP_FRAME | OPTION_DELETE_INTERNAL_DATA));
    Bytes exported = folder.Read("out/CMX_PROMO_B.EDL");
    EXPECT_EQ(0u, exported.find("TITLE: PROMO B SPOT 30S\r\nFCM: DROP FRAME\r\n"));
    EXPECT_EQ(Bytes::npos, exported.find("EDIT MEMORY"));
    EXPECT_EQ(Bytes::npos, folder.Read("out/C_PROMO_B.EDL").find("EDIT MEMORY"));

    ASSERT_EQ(RESULT_CONVERTED, ConvertFile(folder, "PROMO_B.EDL", OPTION_EXPORT_CMX, 29));
    EXPECT_TRUE(
        SameBytes(ReadFileBytes("golden/CMX_PROMO_B.EDL"), folder.Read("out/CMX_PROMO_B.EDL")))
        << "a rate the export does not take counts as 30";
}

TEST(CmxFiles, ARefusedFileWritesNeither) {
    FilesFolder folder;
    folder.Write("CMX3600.EDL", Sample("CMX3600.EDL"));
    folder.Write("MEMO.EDL", Sample("MEMO.EDL"));
    ConversionReport report{};
    report.cmx.eventsWritten = 99;
    EXPECT_EQ(RESULT_CMX_FORMAT,
              ConvertFile(folder, "CMX3600.EDL", OPTION_EXPORT_CMX, 30, &report));
    EXPECT_EQ(0u, report.cmx.eventsWritten);
    EXPECT_EQ(RESULT_UNKNOWN_FORMAT, ConvertFile(folder, "MEMO.EDL", OPTION_EXPORT_CMX));
    EXPECT_TRUE(folder.Files("out").empty());
}

TEST(CmxFiles, AnExportIsRefusedAsASource) {
    FilesFolder folder;
    folder.Write("NEWS0612.EDL", Sample("NEWS0612.EDL"));
    ASSERT_EQ(RESULT_CONVERTED, ConvertFile(folder, "NEWS0612.EDL", OPTION_EXPORT_CMX));
    folder.Write("CMX_NEWS0612.EDL", folder.Read("out/CMX_NEWS0612.EDL"));
    EXPECT_EQ(RESULT_CMX_FORMAT, ConvertFile(folder, "CMX_NEWS0612.EDL", OPTION_EXPORT_CMX));
}

TEST(CmxFiles, AFailureNamesTheFileThatWasNotWritten) {
    const Bytes sample = Sample("NEWS0612.EDL");
    const Bytes repaired = ReadFileBytes("golden/C_NEWS0612.EDL");
    FileFaults failCreate{};
    failCreate.failCreate = true;
    FileFaults exportWriteFails{};
    exportWriteFails.failWrite = true;
    exportWriteFails.writeBytesBeforeFailure = repaired.size() + 10;
    const struct {
        const char* rule;
        FileFaults faults;
        ConversionResult result;
        Bytes repaired;  // what "C_NEWS0612.EDL" then holds
    } vectors[] = {
        {"neither can be created: the export is not tried", failCreate, RESULT_WRITE_FAILED,
         "EARLIER"},
        {"the disk fills during the export: the repaired list stays", exportWriteFails,
         RESULT_CMX_WRITE_FAILED, repaired},
    };
    for (const auto& vector : vectors) {
        FilesFolder folder;
        folder.Write("NEWS0612.EDL", sample);
        folder.Write("out/C_NEWS0612.EDL", "EARLIER");
        folder.Write("out/CMX_NEWS0612.EDL", "EARLIER EXPORT");
        SetFileFaults(vector.faults);
        ConversionReport report{};
        EXPECT_EQ(vector.result,
                  ConvertFile(folder, "NEWS0612.EDL", OPTION_EXPORT_CMX, 30, &report))
            << vector.rule;
        SetFileFaults(FileFaults{});
        EXPECT_EQ(0u, report.cmx.eventsWritten) << vector.rule;
        EXPECT_EQ((std::vector<std::string>{"CMX_NEWS0612.EDL", "C_NEWS0612.EDL"}),
                  folder.Files("out"))
            << vector.rule << ": no temporary file is left";
        EXPECT_EQ("EARLIER EXPORT", folder.Read("out/CMX_NEWS0612.EDL")) << vector.rule;
        EXPECT_TRUE(SameBytes(vector.repaired, folder.Read("out/C_NEWS0612.EDL"))) << vector.rule;
    }
}

TEST(CmxFiles, EveryAllocationThatFailsWritesNothing) {
    FilesFolder folder;
    folder.Write("A.EDL", Sample("PROMO_B.EDL"));
    SetEngineAllocFailure(0);
    ASSERT_EQ(RESULT_CONVERTED, ConvertFile(folder, "A.EDL", OPTION_EXPORT_CMX));
    long allocations = SetEngineAllocFailure(0);
    ASSERT_GE(allocations, 6) << "working buffer, piece, output text, export, two paths";
    for (long k = 1; k <= allocations; ++k) {
        folder.Write("out/C_A.EDL", "EARLIER");
        folder.Write("out/CMX_A.EDL", "EARLIER EXPORT");
        SetEngineAllocFailure(k);
        EXPECT_EQ(RESULT_NO_MEMORY, ConvertFile(folder, "A.EDL", OPTION_EXPORT_CMX))
            << "allocation " << k;
        SetEngineAllocFailure(0);
        EXPECT_EQ("EARLIER", folder.Read("out/C_A.EDL")) << "allocation " << k;
        EXPECT_EQ("EARLIER EXPORT", folder.Read("out/CMX_A.EDL")) << "allocation " << k;
    }
    // A list whose reels need the reel table obtains it as well.
    folder.Write("B.EDL",
                 "001  news01 V     C        00:00:00:00 00:00:05:00 01:00:00:00 "
                 "01:00:05:00\r\n");
    ASSERT_EQ(RESULT_CONVERTED, ConvertFile(folder, "B.EDL", OPTION_EXPORT_CMX));
    long withTable = SetEngineAllocFailure(0);
    EXPECT_GT(withTable, allocations - 2) << "the reel table's own allocations";
    for (long k = 1; k <= withTable; ++k) {
        folder.Write("out/CMX_B.EDL", "EARLIER EXPORT");
        SetEngineAllocFailure(k);
        EXPECT_EQ(RESULT_NO_MEMORY, ConvertFile(folder, "B.EDL", OPTION_EXPORT_CMX))
            << "allocation " << k;
        SetEngineAllocFailure(0);
        EXPECT_EQ("EARLIER EXPORT", folder.Read("out/CMX_B.EDL")) << "allocation " << k;
    }
}

}  // namespace
