// The platform layer's files: only regular files open, never waiting; folders are told apart
// however they are reached; names fit what the file system takes; an output's temporary file
// has a short name of its own.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform.h"
#include "test_util.h"

#ifndef _WIN32
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
    FolderIdentity a{};
    FolderIdentity again{};
    FolderIdentity other{};
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

TEST(Files, NamesCompareAsTheFileSystemComparesThem) {
    EXPECT_TRUE(FileNamesEqual(u"C_A.EDL", u"C_A.EDL"));
    EXPECT_FALSE(FileNamesEqual(u"C_A.EDL", u"C_B.EDL"));
#ifdef _WIN32
    EXPECT_TRUE(FileNamesEqual(u"C_A.EDL", u"c_a.edl")) << "one file on Windows";
#else
    EXPECT_FALSE(FileNamesEqual(u"C_A.EDL", u"c_a.edl")) << "two files on Linux";
#endif
}

void Collect(void* context, const char16_t* name) {
    static_cast<std::vector<std::u16string>*>(context)->push_back(name);
}

TEST(Files, AFolderListsItsRegularFilesOnly) {
    TestFolder folder;
    folder.Write("d/B.EDL", "x");
    folder.Write("d/a.edl", "x");
    folder.Write("d/sub/c.edl", "x");
    std::vector<std::u16string> names;
    ASSERT_TRUE(ListFolderFiles(folder.FolderPath("d").c_str(), Collect, &names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::u16string>{u"B.EDL", u"a.edl"}), names);
    EXPECT_FALSE(ListFolderFiles(folder.Path("missing").c_str(), Collect, &names));
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
