// Files as they turn up in the wild rather than as the controller writes them: other line
// ends, tabs, byte order marks, padding, other encodings, very long lines, tiny and huge files.
#include "convert_util.h"
#include "platform.h"

namespace {

const Bytes CUT = "001  001    V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00";
const Bytes CUT_OUT =
    "0001 001    V     C             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n";
const Bytes BANNER_END = "MASTER RECORDER REEL MAST\r\nBLOCK 001\r\n";

TEST(Oddities, LineEnds) {
    // A line feed alone still ends a line; the rewritten line gets CR LF.
    EXPECT_TRUE(
        SameBytes(CUT_OUT + CUT_OUT + "* NOTE\n", AfterBanner(CUT + "\n" + CUT + "\r\n* NOTE\n")));
    // Carriage returns alone do not end lines: the file is one line, and as it starts with a
    // letter it is a note, kept as it is.
    Bytes crOnly = "TITLE\r" + CUT + "\r* NOTE\r";
    EXPECT_TRUE(SameBytes(crOnly, AfterBanner(crOnly)));
}

TEST(Oddities, TabsBecomeSingleBlanks) {
    // In a plain file a tab is one blank: the columns close up and the type letter falls out
    // of its place after the mode window.
    Bytes tabbed = "001\t001\tV\tC\t00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n";
    EXPECT_TRUE(SameBytes("0001 001    V C 0" + Bytes(15, ' ') +
                              "00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
                          AfterBanner(tabbed)));
    // In a note it stays readable.
    EXPECT_TRUE(SameBytes(CUT_OUT + "* A B\r\n", AfterBanner(CUT + "\r\n* A\tB\r\n")));
}

TEST(Oddities, AByteOrderMarkMakesTheFirstLineANote) {
    // The mark's bytes count as blanks for the title but not as the spaces before an event
    // number, so an event line that starts the file after a mark is kept as a note.
    Bytes bom = "\xEF\xBB\xBF";
    EXPECT_TRUE(
        SameBytes(bom + CUT + "\r\n" + CUT_OUT, AfterBanner(bom + CUT + "\r\n" + CUT + "\r\n")));
    // Before a title line it is dropped with the title.
    Bytes out;
    ASSERT_EQ(RESULT_CONVERTED,
              ConvertBytes(bom + "MY SHOW\r\n\r\n" + CUT + "\r\n", "O.EDL", 0, &out));
    EXPECT_EQ(0u, out.find("\r\n@MY SHOW\r\n"));
}

TEST(Oddities, CtrlZAndNulPaddingAtTheEndAreDropped) {
    Bytes file = "* NOTE\r\n" + CUT + "\r\n";
    Bytes padded = file + "\x1A" + Bytes(200, '\0');
    EXPECT_TRUE(SameBytes(AfterBanner(file), AfterBanner(padded)));
}

TEST(Oddities, OtherEncodingsInNotesKeepTheirBytes) {
    Bytes utf8 = "* \xE9\x9F\xB3\xE6\xA5\xBD BGM\r\n";  // UTF-8 "音楽"
    Bytes gbk = "* \xD2\xF4\xC0\xD6 BGM\r\n";           // GBK "音乐"
    EXPECT_TRUE(SameBytes(CUT_OUT + utf8 + gbk, AfterBanner(CUT + "\r\n" + utf8 + gbk)));
    // Two bytes of the plain table are irregular: 0xAE becomes 0xAC, 0xFF is dropped
    // ("®" in UTF-8 is C2 AE).
    EXPECT_TRUE(
        SameBytes(CUT_OUT + "* \xC2\xAC X\r\n", AfterBanner(CUT + "\r\n* \xC2\xAE\xFF X\r\n")));
}

TEST(Oddities, LinesOfSeveralKilobytes) {
    // Read in pieces, kept whole when every piece is a note.
    Bytes longNote = "* " + Bytes(5000, 'n') + "\r\n";
    EXPECT_TRUE(SameBytes(CUT_OUT + longNote, AfterBanner(CUT + "\r\n" + longNote)));
    // Dashes in a long line drop only the 137-byte piece that holds them.
    Bytes dashed = "* " + Bytes(300, 'n') + "------" + Bytes(300, 'n') + "\r\n";
    // Pieces of 137 bytes: 0-273 kept, 274-410 (with the dashes) dropped, the rest kept.
    Bytes expected = dashed.substr(0, 274) + dashed.substr(411);
    EXPECT_TRUE(SameBytes(CUT_OUT + expected, AfterBanner(CUT + "\r\n" + dashed)));
}

TEST(Oddities, FilesOfOneByte) {
    Bytes out;
    EXPECT_EQ(RESULT_UNKNOWN_FORMAT, ConvertBytes("1", "O.EDL", 0, &out))
        << "a plain file of one byte";
    EXPECT_EQ(RESULT_UNKNOWN_FORMAT, ConvertBytes("\x8D", "O.EDL", 0, &out))
        << "a controller line end alone";
    EXPECT_EQ(RESULT_UNKNOWN_FORMAT, ConvertBytes(Bytes(1, '\0'), "O.EDL", 0, &out)) << "a NUL";
    EXPECT_EQ(RESULT_UNKNOWN_FORMAT, ConvertBytes("", "O.EDL", 0, &out)) << "an empty file";
}

TEST(Oddities, AFileOf64Megabytes) {
    // Written to disk and converted through the file path like any job file.
    TestFolder folder;
    const Bytes line = CUT + "\r\n";
    const size_t lines = (64u << 20) / line.size() + 1;
    {
        std::ofstream source(folder / "BIG.EDL", std::ios::binary);
        for (size_t k = 0; k < lines; ++k) {
            source << line;
        }
    }
    std::u16string path = folder.Path("BIG.EDL");
    std::u16string out = folder.FolderPath();
    ConversionRequest request{path.c_str(), u"BIG.EDL", out.c_str(), 0,
                              CalendarTime{2019, 3, 6, 9, 5, 7}};
    ASSERT_EQ(RESULT_CONVERTED, ConvertEdlFile(request, nullptr));
    uintmax_t size = std::filesystem::file_size(folder / "C_BIG.EDL");
    Bytes head(2000, '\0');
    std::ifstream(folder / "C_BIG.EDL", std::ios::binary).read(head.data(), 2000);
    size_t bodyStart = head.find(BANNER_END) + BANNER_END.size();
    EXPECT_EQ(bodyStart + lines * CUT_OUT.size(), size) << "every line rewritten, none lost";
}

}  // namespace

namespace {

TEST(Oddities, AFileThatGrowsWhileItIsReadConvertsAsItWasOpened) {
    TestFolder folder;
    const Bytes original = "  SHOW\r\n" + CUT + "\r\n";
    folder.Write("GROWING.EDL", original);
    uint64_t size = 0;
    PlatformFile* file = OpenFileForReading(folder.Path("GROWING.EDL").c_str(), &size);
    ASSERT_NE(nullptr, file);
    {
        // Another program goes on writing the file after it was opened.
        std::ofstream more(folder / "GROWING.EDL", std::ios::binary | std::ios::app);
        for (int k = 0; k < 10000; ++k) {
            more << CUT << "\r\n";
        }
    }
    FileSource fileSource{file, size, 0};
    ByteSource source = MakeFileSource(&fileSource);
    ConvertedTexts out{};
    SourceConversion conversion{&source, static_cast<uint32_t>(size), "A.EDL", TEST_STAMP, 0, 30};
    ASSERT_EQ(RESULT_CONVERTED, ConvertEdlSource(conversion, &out));
    CloseFile(file);
    Bytes converted(reinterpret_cast<const char*>(out.text.bytes), out.text.length);
    ReleaseConvertedTexts(&out);
    Bytes expected;
    ASSERT_EQ(RESULT_CONVERTED, ConvertBytes(original, "A.EDL", 0, &expected));
    EXPECT_TRUE(SameBytes(expected, converted)) << "only what was there when it was opened";
}

}  // namespace
