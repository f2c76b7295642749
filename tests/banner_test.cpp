// The banner and the output file: its lines with a fixed stamp, the file name in code page
// 932, and writing the output in full or not at all.
#include <algorithm>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "engine.h"
#include "platform.h"
#include "test_util.h"

namespace {

namespace fs = std::filesystem;

Bytes Banner(const HeaderFields& fields, const char* name, const char* stamp) {
    ByteBuffer text{};
    EXPECT_TRUE(ComposeBanner(&text, fields, name, stamp));
    Bytes banner(reinterpret_cast<const char*>(text.bytes), text.length);
    BufferRelease(&text);
    return banner;
}

HeaderFields Fields(const char* title, const char* reel, const char* block) {
    HeaderFields fields{};
    std::snprintf(fields.title, sizeof fields.title, "%s", title);
    std::snprintf(fields.reelLine, sizeof fields.reelLine, "%s", reel);
    std::snprintf(fields.blockLine, sizeof fields.blockLine, "%s", block);
    return fields;
}

const char COLUMNS[] =
    "EDT   REL   MODE  TYP P S  T     P-VTR IN    P-VTR OUT   R-VTR IN    R-VTR OUT\r\n";
const char DASHES[] =
    "-------------------------------------------------------------------------------";

TEST(Banner, DefaultFieldsLineByLine) {
    Bytes banner = Banner(Fields(DEFAULT_TITLE, DEFAULT_REEL_LINE, DEFAULT_BLOCK_LINE), "A.EDL",
                          "2019/03/06  09:05:07");
    Bytes expected = Bytes("\r\n") + "@EDL SONY BVE-9100\r\n" + DASHES + "\r\n" +
                     "          >> EDL File: [A.EDL]\r\n" +
                     "          >> Rewroted by TAMSEL Ver 3.0.1  [2019/03/06  09:05:07]\r\n" +
                     "\r\n" + COLUMNS + "MASTER RECORDER REEL MAST\r\n" + "BLOCK 001\r\n";
    EXPECT_TRUE(SameBytes(expected, banner));
}

TEST(Banner, TitleFromTheFileBringsItsLineEnd) {
    Bytes banner = Banner(Fields("@MY SHOW\r\n", "MASTER RECORDER REEL 0012\r\n", "BLOCK 7\r\n"),
                          "B.EDL", "2020/12/31  23:59:59");
    Bytes expected = Bytes("\r\n@MY SHOW\r\n\r\n") + DASHES + "\r\n" +
                     "          >> EDL File: [B.EDL]\r\n" +
                     "          >> Rewroted by TAMSEL Ver 3.0.1  [2020/12/31  23:59:59]\r\n" +
                     "\r\n" + COLUMNS + "MASTER RECORDER REEL 0012\r\n" + "BLOCK 7\r\n";
    EXPECT_TRUE(SameBytes(expected, banner));
}

TEST(Banner, StampHasTwoBlanksAndZeroPadding) {
    char stamp[64];
    FormatStamp(CalendarTime{2019, 3, 6, 9, 5, 7}, stamp, sizeof stamp);
    EXPECT_STREQ("2019/03/06  09:05:07", stamp);
    FormatStamp(CalendarTime{987, 12, 31, 0, 0, 0}, stamp, sizeof stamp);
    EXPECT_STREQ("987/12/31  00:00:00", stamp) << "the year is not padded";
}

TEST(Banner, ColumnHeaderWordsStartAtTheirColumns) {
    const Bytes header = COLUMN_HEADER_LINE;
    const std::pair<const char*, size_t> words[] = {
        {"EDT", 0},        {"REL", 6},       {"MODE", 12},      {"TYP", 18},
        {"P ", 22},        {"S ", 24},       {"T ", 27},        {"P-VTR IN", 33},
        {"P-VTR OUT", 45}, {"R-VTR IN", 57}, {"R-VTR OUT", 69},
    };
    for (const auto& [word, column] : words) {
        EXPECT_EQ(column, header.find(word, column == 0 ? 0 : column - 1)) << word;
    }
    EXPECT_EQ(80u, header.size());
}

struct NameVector {
    const char16_t* name;
    const char* text;
    const char* rule;
};

TEST(FileNameText, CodePage932WithQuestionMarksForWhatItCannotHold) {
    const NameVector vectors[] = {
        {u"A.EDL", "A.EDL", "ASCII stays"},
        {u"テスト.EDL", "\x83\x65\x83\x58\x83\x67.EDL", "katakana as double bytes"},
        {u"ｶﾅ.EDL", "\xB6\xC5.EDL", "half-width katakana as single bytes"},
        {u"番組①.EDL", "\x94\xd4\x91\x67\x87\x40.EDL", "NEC special characters of code page 932"},
        {u"ⅰ纊.EDL", "\xFA\x40\xFA\x5C.EDL",
         "characters held twice take the IBM extension codes FA to FC, as Windows converts them"},
        {u"∵.EDL", "\x81\xE6.EDL", "a character held three times takes its JIS code"},
        {u"¥—.EDL", "??.EDL", "characters that only convert one way become ?"},
        {u"é😀.EDL", "??.EDL", "a letter outside code page 932 and a surrogate pair: one ? each"},
        {u"ⅰ∵￢纊.EDL", "\xfa\x40\x81\xe6\x81\xca\xfa\x5c.EDL",
         "characters code page 932 holds twice take the codes Windows gives (IBM FA-FC)"},
        {u"a\nb\x1b\x7f.EDL", "a?b??.EDL", "control characters become ?: no line break"},
        {u"\xdc83"
         u"e\xdc83X\xdc83g.EDL",
         "\x83\x65\x83\x58\x83\x67.EDL",
         "a name of raw bytes that are Shift-JIS shows those bytes"},
        {u"\xdcff\xdcfe\x01.EDL", "???.EDL", "raw bytes that are no Shift-JIS become ?"},
    };
    for (const NameVector& vector : vectors) {
        char text[FILE_NAME_TEXT_SIZE];
        ConvertToCodePage932(vector.name, text, sizeof text);
        EXPECT_TRUE(SameBytes(vector.text, text)) << vector.rule;
    }
}

TEST(FileNameText, CutAt260BytesWithoutSplittingADoubleByteCharacter) {
    std::u16string name = u"A";
    for (int k = 0; k < 200; ++k) {
        name += u"あ";
    }
    char text[FILE_NAME_TEXT_SIZE];
    size_t length = ConvertToCodePage932(name.c_str(), text, sizeof text);
    EXPECT_EQ(259u, length) << "1 + 129 double-byte characters; the 130th would make 261";
    EXPECT_EQ(Bytes("\x82\xa0"), Bytes(text + 257, 2));
}

ByteBuffer TextOf(const Bytes& bytes) {
    ByteBuffer text;
    EXPECT_TRUE(ObtainOutputText(&text, bytes.size()));
    EXPECT_TRUE(BufferAppend(&text, bytes.data(), bytes.size()));
    return text;
}

TEST(OutputFile, NamedCPrefixAndReplacingAnEarlierOne) {
    TestFolder temp;
    ByteBuffer text = TextOf("NEW\r\n");
    temp.Write("C_A.EDL", "OLD OUTPUT");
    EXPECT_EQ(RESULT_CONVERTED, WriteConvertedFile(text, temp.FolderPath().c_str(), u"A.EDL"));
    EXPECT_EQ("NEW\r\n", temp.Read("C_A.EDL"));
    EXPECT_EQ(RESULT_CONVERTED, WriteConvertedFile(text, temp.FolderPath().c_str(), u"C_A.EDL"));
    EXPECT_EQ((std::vector<std::string>{"C_A.EDL", "C_C_A.EDL"}), temp.Files());
    BufferRelease(&text);
}

TEST(OutputFile, ThePathIsTheFolderThePrefixAndTheName) {
    char16_t out[24];
    ASSERT_TRUE(FormatOutputPath(u"D:\\out\\", OUTPUT_NAME_PREFIX, u"A.EDL", out, 24));
    EXPECT_EQ(u"D:\\out\\C_A.EDL", std::u16string(out));
    ASSERT_TRUE(FormatOutputPath(u"", OUTPUT_NAME_PREFIX, u"A.EDL", out, 24));
    EXPECT_EQ(u"C_A.EDL", std::u16string(out));
    // 23 units and the terminator fill 24; one more does not fit.
    ASSERT_TRUE(FormatOutputPath(u"D:\\folder\\", OUTPUT_NAME_PREFIX, u"NAME123.EDL", out, 24));
    EXPECT_FALSE(FormatOutputPath(u"D:\\folder\\", OUTPUT_NAME_PREFIX, u"NAME1234.EDL", out, 24));
    EXPECT_EQ(u'\0', out[0]);
}

TEST(OutputFile, FailuresLeaveNothingAndKeepAnEarlierOutput) {
    struct FaultCase {
        const char* rule;
        FileFaults faults;
    };
    const FaultCase cases[] = {
        {"the new file cannot be created", {false, 0, false, 0, true, false, false, false}},
        {"the disk is full after 3 bytes", {false, 0, true, 3, false, false, false, false}},
        {"the disk is full at once", {false, 0, true, 0, false, false, false, false}},
        {"the flush fails", {false, 0, false, 0, false, true, false, false}},
        {"the close fails", {false, 0, false, 0, false, false, true, false}},
        {"the rename fails", {false, 0, false, 0, false, false, false, true}},
    };
    for (const FaultCase& faultCase : cases) {
        TestFolder temp;
        temp.Write("C_A.EDL", "EARLIER OUTPUT");
        ByteBuffer text = TextOf("A NEW TEXT THAT IS LONGER\r\n");
        SetFileFaults(faultCase.faults);
        EXPECT_EQ(RESULT_WRITE_FAILED,
                  WriteConvertedFile(text, temp.FolderPath().c_str(), u"A.EDL"))
            << faultCase.rule;
        SetFileFaults(FileFaults{});
        EXPECT_EQ("EARLIER OUTPUT", temp.Read("C_A.EDL")) << faultCase.rule;
        EXPECT_EQ(std::vector<std::string>{"C_A.EDL"}, temp.Files()) << faultCase.rule;
        BufferRelease(&text);
    }
}

TEST(OutputFile, FoldersThatCannotBeWrittenFailEvenForRoot) {
    TestFolder temp;
    ByteBuffer text = TextOf("X\r\n");
    std::u16string missing = temp.FolderPath() + u"missing/";
    EXPECT_EQ(RESULT_WRITE_FAILED, WriteConvertedFile(text, missing.c_str(), u"A.EDL"));
    // A folder path that runs through a regular file stops root as well.
    temp.Write("plain", "a file, not a folder");
    std::u16string throughFile = temp.FolderPath() + u"plain/";
    EXPECT_EQ(RESULT_WRITE_FAILED, WriteConvertedFile(text, throughFile.c_str(), u"A.EDL"));
    // An existing folder of the output's name cannot be replaced by a file.
    std::filesystem::create_directories(temp / "C_B.EDL");
    EXPECT_EQ(RESULT_WRITE_FAILED, WriteConvertedFile(text, temp.FolderPath().c_str(), u"B.EDL"));
    EXPECT_EQ((std::vector<std::string>{"C_B.EDL", "plain"}), temp.Files());
    BufferRelease(&text);
}

}  // namespace
