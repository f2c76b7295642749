// The platform layer's files: only regular files open, never waiting; folders are told apart
// however they are reached; names fit what the file system takes; an output's temporary file
// has a short name of its own.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform.h"
#include "test_util.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;

TEST(Files, OnlyRegularFilesOpenAndTheirSizeIsTakenThen) {
    TestFolder folder;
    folder.Write("a.edl", "abc");
    uint64_t size = 99;
    PlatformFile* file = OpenFileForReading(folder.Path("a.edl").c_str(), &size);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(3u, size);
    uint8_t bytes[8];
    EXPECT_EQ(3, ReadFromFile(file, bytes, sizeof bytes));
    CloseFile(file);
    fs::create_directories(folder / "dir");
    EXPECT_EQ(nullptr, OpenFileForReading(folder.Path("dir").c_str(), &size)) << "a folder";
    EXPECT_EQ(nullptr, OpenFileForReading(folder.Path("missing").c_str(), &size));
#ifndef _WIN32
    // Each of these would make a reader wait for ever or read for ever: refused at once.
    ASSERT_EQ(0, mkfifo((folder / "fifo").c_str(), 0600));
    EXPECT_EQ(nullptr, OpenFileForReading(folder.Path("fifo").c_str(), &size)) << "a FIFO";
    EXPECT_EQ(nullptr, OpenFileForReading(u"/dev/zero", &size)) << "a device";
    EXPECT_EQ(nullptr, OpenFileForReading(u"/dev/urandom", &size)) << "a device";
#endif
}

TEST(Files, AFolderIsTheSameHoweverItIsReached) {
    TestFolder folder;
    fs::create_directories(folder / "a/b");
    fs::create_directories(folder / "c");
    folder.Write("file", "x");
    FileIdentity a{};
    FileIdentity again{};
    FileIdentity other{};
    ASSERT_TRUE(GetFolderIdentity(folder.FolderPath("a").c_str(), &a));
    ASSERT_TRUE(GetFolderIdentity((folder.FolderPath("a") + u"b/..").c_str(), &again));
    ASSERT_TRUE(GetFolderIdentity(folder.FolderPath("c").c_str(), &other));
    EXPECT_TRUE(a.volume == again.volume && a.index == again.index);
    EXPECT_FALSE(a.volume == other.volume && a.index == other.index);
    EXPECT_FALSE(GetFolderIdentity(folder.Path("file").c_str(), &other)) << "a file is no folder";
#ifndef _WIN32
    fs::create_directory_symlink(folder / "a", folder / "link");
    ASSERT_TRUE(GetFolderIdentity(folder.FolderPath("link").c_str(), &again));
    EXPECT_TRUE(a.volume == again.volume && a.index == again.index) << "through a link";
#endif
}

// What a path leads to, as a value to compare: {0, 0} when nothing is there.
std::pair<uint64_t, uint64_t> Identity(const std::u16string& path) {
    FileIdentity identity{};
    return GetFileIdentity(path.c_str(), &identity) ? std::pair{identity.volume, identity.index}
                                                    : std::pair<uint64_t, uint64_t>{};
}

TEST(Files, AFileIsTheSameHoweverItIsReached) {
    TestFolder folder;
    folder.Write("d/A.EDL", "a");
    folder.Write("B.EDL", "a");
    auto a = Identity(folder.Path("d/A.EDL"));
    EXPECT_EQ(a, Identity(folder.FolderPath("d") + u"../d/A.EDL")) << "through ..";
    EXPECT_NE(a, Identity(folder.Path("B.EDL"))) << "another file of the same bytes";
    EXPECT_EQ((std::pair<uint64_t, uint64_t>{}), Identity(folder.Path("missing.EDL")));
    fs::create_hard_link(folder / "d/A.EDL", folder / "H.EDL");
    EXPECT_EQ(a, Identity(folder.Path("H.EDL"))) << "a hard link";
}

TEST(Files, NamesFoldAsTheFileSystemComparesThem) {
    std::u16string name = u"c_ä.edl";
    FoldFileName(name.data());
#ifdef _WIN32
    EXPECT_EQ(u"C_Ä.EDL", name) << "one file on Windows";
    // The fold agrees with the system's own comparison of names, unit for unit.
    for (char32_t unit = 1; unit <= 0xFFFF; unit = unit == 0xD7FF ? 0xE000 : unit + 1) {
        wchar_t one[2] = {static_cast<wchar_t>(unit), 0};
        wchar_t folded[2] = {one[0], 0};
        FoldFileName(reinterpret_cast<char16_t*>(folded));
        ASSERT_EQ(CSTR_EQUAL, CompareStringOrdinal(one, 1, folded, 1, TRUE)) << unsigned(unit);
    }
#else
    EXPECT_EQ(u"c_ä.edl", name) << "two files on Linux";
#endif
}

void Collect(void* context, const char16_t* name) {
    static_cast<std::vector<std::u16string>*>(context)->push_back(name);
}

TEST(Files, AFolderListsEveryEntryButItself) {
    TestFolder folder;
    folder.Write("d/B.EDL", "x");
    folder.Write("d/a.edl", "x");
    folder.Write("d/sub/c.edl", "x");
    std::vector<std::u16string> names;
    ASSERT_TRUE(ListFolderNames(folder.FolderPath("d").c_str(), Collect, &names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::u16string>{u"B.EDL", u"a.edl", u"sub"}), names)
        << "a folder too, for the caller to name";
    EXPECT_FALSE(ListFolderNames(folder.Path("missing").c_str(), Collect, &names));
}

TEST(Files, ANameLineBecomesAPath) {
    char16_t path[64];
    ASSERT_TRUE(NameLineToUtf16("\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.edl", path, 64));
    EXPECT_EQ(u"テスト.edl", std::u16string(path)) << "UTF-8";
    // "テスト.edl" in Shift-JIS, as "dir /b" writes it on a Japanese PC.
    ASSERT_TRUE(NameLineToUtf16("\x83\x65\x83\x58\x83\x67.edl", path, 64));
#ifdef _WIN32
    EXPECT_TRUE(GetACP() != 932 || std::u16string(path) == u"テスト.edl") << "the ANSI code page";
#else
    EXPECT_EQ(0xDC83, path[0]) << "bytes kept as they are";
#endif
}

TEST(Files, NamesFitWhatTheFileSystemTakes) {
    TestFolder folder;
    std::u16string folderPath = folder.FolderPath();
    EXPECT_TRUE(FileNameFits(folderPath.c_str(), std::u16string(255, u'x').c_str()));
    EXPECT_FALSE(FileNameFits(folderPath.c_str(), std::u16string(256, u'x').c_str()));
#ifndef _WIN32
    // Linux counts bytes: 85 three-byte characters fit, 86 do not.
    EXPECT_TRUE(FileNameFits(folderPath.c_str(), std::u16string(85, u'あ').c_str()));
    EXPECT_FALSE(FileNameFits(folderPath.c_str(), std::u16string(86, u'あ').c_str()));

    // The longest name converts: the file written first, beside it, is not longer.
    std::u16string longest = folderPath + std::u16string(255, u'y');
    const uint8_t text[] = "converted";
    EXPECT_TRUE(WriteFileReplacing(longest.c_str(), text, 9));
    EXPECT_EQ("converted", folder.Read(std::string(255, 'y')));
    EXPECT_EQ(1u, folder.Files().size()) << "no temporary file left";
#endif
}

TEST(Files, AFolderIsUsableForOutputsWhenItIsAFolder) {
    TestFolder folder;
    folder.Write("file", "x");
    EXPECT_TRUE(IsUsableFolder(folder.FolderPath().c_str()));
    EXPECT_TRUE(IsUsableFolder(u"")) << "the current folder";
    EXPECT_FALSE(IsUsableFolder(folder.Path("missing").c_str()));
    EXPECT_FALSE(IsUsableFolder(folder.Path("file").c_str()));
}

}  // namespace

namespace {

// Notes and reel words of a list are code page 932; the tables written from it are UTF-8.
TEST(CodePage932, DecodesToUtf8) {
    const struct {
        const char* rule;
        Bytes bytes;
        Bytes utf8;
    } vectors[] = {
        {"ASCII is itself", "A-1 * NOTE", "A-1 * NOTE"},
        {"a kanji", "\x89\xb9\x8a\x79", "\xe9\x9f\xb3\xe6\xa5\xbd"},
        {"half-width katakana", "\xb1\xb2", "\xef\xbd\xb1\xef\xbd\xb2"},
        {"a lead byte at the end", "A\x83", "A?"},
        {"a lead byte before no trail byte", "\x83\x20Z", "? Z"},
        {"bytes that start nothing", "\x80X\xA0\xFD\xFF", "?X???"},
    };
    for (const auto& vector : vectors) {
        char out[64];
        size_t length =
            ConvertFromCodePage932(reinterpret_cast<const uint8_t*>(vector.bytes.data()),
                                   vector.bytes.size(), out, sizeof out);
        EXPECT_EQ(vector.utf8, Bytes(out, length)) << vector.rule;
        EXPECT_EQ(0, out[length]) << vector.rule;
    }
    char small[4];
    EXPECT_EQ(3u, ConvertFromCodePage932(reinterpret_cast<const uint8_t*>("\x89\xb9\x8a\x79"), 4,
                                         small, sizeof small))
        << "stops before a character that does not fit";
}

}  // namespace
