// The portable text and path helpers: joining and splitting paths, and the output folder as a
// chosen path makes it.
#include <cstring>
#include <string>

#include "test_util.h"
#include "text.h"

namespace {

TEST(Paths, JoinPutsOneSeparatorBetween) {
    char16_t out[16];
    ASSERT_TRUE(JoinPath(u"C:\\edl", u'\\', u"A.EDL", out, 16));
    EXPECT_EQ(u"C:\\edl\\A.EDL", std::u16string(out));
    ASSERT_TRUE(JoinPath(u"", u'\\', u"A.EDL", out, 16));
    EXPECT_EQ(u"\\A.EDL", std::u16string(out));
    // 15 units and the terminator fill 16 exactly; one more does not fit.
    ASSERT_TRUE(JoinPath(u"C:\\folder", u'\\', u"A.EDL", out, 16));
    EXPECT_EQ(u"C:\\folder\\A.EDL", std::u16string(out));
    EXPECT_FALSE(JoinPath(u"C:\\folders", u'\\', u"A.EDL", out, 16));
    EXPECT_EQ(u'\0', out[0]);
    EXPECT_FALSE(JoinPath(u"C:\\folder\\deeper\\still", u'\\', u"A", out, 16));
}

TEST(Paths, SplitAtTheLastSeparator) {
    char16_t folder[16];
    char16_t name[8];
    EXPECT_TRUE(SplitPath(u"C:\\in\\A.EDL", u"\\", folder, 16, name, 8));
    EXPECT_EQ(std::u16string(u"C:\\in"), folder);
    EXPECT_EQ(std::u16string(u"A.EDL"), name);
    EXPECT_TRUE(SplitPath(u"A.EDL", u"\\", folder, 16, name, 8));
    EXPECT_EQ(std::u16string(u""), folder);
    EXPECT_TRUE(SplitPath(u"in/sub\\A.EDL", u"/\\", folder, 16, name, 8)) << "either separator";
    EXPECT_EQ(std::u16string(u"in/sub"), folder);
    EXPECT_FALSE(SplitPath(u"C:\\in\\LONGNAME.EDL", u"\\", folder, 16, name, 8));
}

TEST(OutputFolder, EndsWithExactlyOneSeparator) {
    struct Case {
        const char16_t* chosen;
        const char16_t* separators;
        const char16_t* folder;
        const char* why;
    } cases[] = {
        {u"C:\\", u"\\/", u"C:\\", "a drive root keeps its single one"},
        {u"C:\\Users\\edit\\Desktop", u"\\/", u"C:\\Users\\edit\\Desktop\\", "an ordinary folder"},
        {u"\\\\server\\share\\out", u"\\/", u"\\\\server\\share\\out\\", "a network folder"},
        {u"D:\\編集\\出力", u"\\/", u"D:\\編集\\出力\\", "Japanese names"},
        {u"D:/out/", u"\\/", u"D:/out/", "Windows takes a slash as well"},
        {u"", u"\\/", u"", "nothing chosen stays empty"},
        {u"out", u"/", u"out/", "POSIX puts a slash"},
        {u"/tmp/out/", u"/", u"/tmp/out/", "and keeps one that is there"},
        {u"a\\", u"/", u"a\\/", "a backslash is part of a POSIX name"},
    };
    for (const Case& c : cases) {
        char16_t folder[64] = {u'x'};
        ASSERT_TRUE(SetOutputFolder(folder, 64, c.chosen, c.separators)) << c.why;
        EXPECT_EQ(std::u16string(c.folder), std::u16string(folder)) << c.why;
    }
}

TEST(OutputFolder, APathThatDoesNotFitChangesNothing) {
    char16_t folder[8] = u"E:\\old\\";
    // Seven units and a "\" would need nine with the terminator.
    EXPECT_FALSE(SetOutputFolder(folder, 8, u"C:\\abcd", u"\\"));
    EXPECT_EQ(u"E:\\old\\", std::u16string(folder));
    // Six units and a "\" fill it exactly; seven ending in "\" too.
    EXPECT_TRUE(SetOutputFolder(folder, 8, u"C:\\abc", u"\\"));
    EXPECT_EQ(u"C:\\abc\\", std::u16string(folder));
    EXPECT_TRUE(SetOutputFolder(folder, 8, u"C:\\abc\\", u"\\"));
    EXPECT_EQ(u"C:\\abc\\", std::u16string(folder));
}

TEST(Text, NamesThatAreNotUtf8RoundTripThroughUtf16) {
    struct Case {
        const char* bytes;
        std::u16string text;
        const char* rule;
    } cases[] = {
        {"plain.edl", u"plain.edl", "ASCII"},
        {"\xe7\x95\xaa\xe7\xb5\x84.EDL", u"番組.EDL", "UTF-8 is read as UTF-8"},
        {"\x83\x65\x83\x58.edl",
         u"\xdc83"
         u"e\xdc83X.edl",
         "Shift-JIS bytes are kept one by one"},
        {"\xed\xa0\x80", u"\xdced\xdca0\xdc80", "an encoded surrogate is no UTF-8"},
        {"\xc0\xaf", u"\xdcc0\xdcaf", "nor an overlong form"},
        {"\xe7\x95", u"\xdce7\xdc95", "nor a sequence cut short"},
    };
    for (const Case& c : cases) {
        char16_t text[32];
        ASSERT_TRUE(BytesToUtf16(c.bytes, text, 32)) << c.rule;
        EXPECT_EQ(c.text, std::u16string(text)) << c.rule;
        char bytes[64];
        ASSERT_TRUE(Utf16ToUtf8(text, bytes, sizeof bytes)) << c.rule;
        EXPECT_EQ(std::string(c.bytes), std::string(bytes)) << c.rule << ": the same bytes back";
        EXPECT_EQ(std::strlen(c.bytes), Utf8Length(text)) << c.rule;
    }
    char bytes[8];
    EXPECT_TRUE(Utf16ToUtf8(u"\xd800x\xdc00", bytes, sizeof bytes));
    EXPECT_EQ(std::string("\xef\xbf\xbdx\xef\xbf\xbd"), std::string(bytes))
        << "other unpaired surrogates become U+FFFD";
}

TEST(Text, ControlsAreEscapedForTheTerminal) {
    struct Case {
        std::u16string text;
        std::u16string shown;
    } cases[] = {
        {u"a\nb\rc\td", u"a\\nb\\rc\\td"},
        {u"\x1b[31mred", u"\\x1b[31mred"},
        {u"\x7f\x01", u"\\x7f\\x01"},
        {u"\x9b"
         u"2J",
         u"\\u009b2J"},
        {u"\xdc83"
         u"e.EDL",
         u"\\x83e.EDL"},
        {u"C:\\out\\番組.EDL", u"C:\\out\\番組.EDL"},
    };
    for (const Case& c : cases) {
        char16_t shown[64];
        EscapeControls(c.text.c_str(), shown, 64);
        EXPECT_EQ(c.shown, std::u16string(shown));
    }
}

}  // namespace
