// The platform layer's files: only regular files open, never waiting; files and folders are
// told apart however they are reached; names fold as the file system compares them and fit what
// it takes; a name list's line becomes a path; an output's temporary file has a short name of
// its own.
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

bool SameIdentity(const FileIdentity& a, const FileIdentity& b) {
    return a.volume == b.volume && a.index == b.index;
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
    EXPECT_TRUE(SameIdentity(a, again));
    EXPECT_FALSE(SameIdentity(a, other));
    EXPECT_FALSE(GetFolderIdentity(folder.Path("file").c_str(), &other)) << "a file is no folder";
#ifndef _WIN32
    fs::create_directory_symlink(folder / "a", folder / "link");
    ASSERT_TRUE(GetFolderIdentity(folder.FolderPath("link").c_str(), &again));
    EXPECT_TRUE(SameIdentity(a, again)) << "through a link";
#endif
}

TEST(Files, AFileIsTheSameHoweverItIsReached) {
    TestFolder folder;
    folder.Write("d/A.EDL", "a");
    folder.Write("B.EDL", "a");
    FileIdentity a{};
    FileIdentity again{};
    FileIdentity other{};
    ASSERT_TRUE(GetFileIdentity(folder.Path("d/A.EDL").c_str(), &a));
    ASSERT_TRUE(GetFileIdentity((folder.FolderPath("d") + u"../d/A.EDL").c_str(), &again));
    EXPECT_TRUE(SameIdentity(a, again)) << "through ..";
    ASSERT_TRUE(GetFileIdentity(folder.Path("B.EDL").c_str(), &other));
    EXPECT_FALSE(SameIdentity(a, other)) << "another file of the same bytes";
    EXPECT_FALSE(GetFileIdentity(folder.Path("missing.EDL").c_str(), &other));
#ifdef _WIN32
    ASSERT_TRUE(GetFileIdentity(folder.Path("d/a.edl").c_str(), &again));
    EXPECT_TRUE(SameIdentity(a, again)) << "in other letter case";
#else
    fs::create_symlink(folder / "d/A.EDL", folder / "L.EDL");
    fs::create_hard_link(folder / "d/A.EDL", folder / "H.EDL");
    ASSERT_TRUE(GetFileIdentity(folder.Path("L.EDL").c_str(), &again));
    EXPECT_TRUE(SameIdentity(a, again)) << "through a link";
    ASSERT_TRUE(GetFileIdentity(folder.Path("H.EDL").c_str(), &again));
    EXPECT_TRUE(SameIdentity(a, again)) << "a hard link";
    fs::create_symlink(folder / "nowhere", folder / "dangling");
    EXPECT_FALSE(GetFileIdentity(folder.Path("dangling").c_str(), &other));
#endif
}

std::u16string Folded(const char16_t* name) {
    std::u16string folded = name;
    FoldFileName(folded.data());
    return folded;
}

TEST(Files, NamesFoldAsTheFileSystemComparesThem) {
#ifdef _WIN32
    EXPECT_EQ(u"C_A.EDL", Folded(u"c_a.edl")) << "one file on Windows";
    EXPECT_EQ(u"ÄÖ.EDL", Folded(u"äö.edl"));
    EXPECT_EQ(u"ＡＢ.EDL", Folded(u"ａｂ.edl")) << "full-width letters";
    // The fold agrees with the system's own comparison of names, unit for unit.
    for (char32_t unit = 1; unit <= 0xFFFF; unit = unit == 0xD7FF ? 0xE000 : unit + 1) {
        char16_t one[2] = {static_cast<char16_t>(unit), 0};
        std::u16string folded = Folded(one);
        bool same = CompareStringOrdinal(reinterpret_cast<const wchar_t*>(one), 1,
                                         reinterpret_cast<const wchar_t*>(folded.c_str()), 1,
                                         TRUE) == CSTR_EQUAL;
        ASSERT_TRUE(same) << "U+" << std::hex << static_cast<unsigned>(unit);
    }
#else
    EXPECT_EQ(u"c_a.edl", Folded(u"c_a.edl")) << "two files on Linux";
    EXPECT_EQ(u"äö.edl", Folded(u"äö.edl"));
#endif
    EXPECT_EQ(u"", Folded(u""));
}

void Collect(void* context, const char16_t* name) {
    static_cast<std::vector<std::u16string>*>(context)->push_back(name);
}

TEST(Files, AFolderListsEveryEntryButItself) {
    TestFolder folder;
    folder.Write("d/B.EDL", "x");
    folder.Write("d/a.edl", "x");
    folder.Write("d/sub/c.edl", "x");
    std::vector<std::u16string> expected = {u"B.EDL", u"a.edl", u"sub"};
#ifndef _WIN32
    // What cannot be opened is listed too, for the caller to name.
    ASSERT_EQ(0, mkfifo((folder / "d/fifo.edl").c_str(), 0600));
    fs::create_symlink(folder / "nowhere", folder / "d/dangling.edl");
    expected = {u"B.EDL", u"a.edl", u"dangling.edl", u"fifo.edl", u"sub"};
#endif
    std::vector<std::u16string> names;
    ASSERT_TRUE(ListFolderNames(folder.FolderPath("d").c_str(), Collect, &names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(expected, names);
    EXPECT_FALSE(ListFolderNames(folder.Path("missing").c_str(), Collect, &names));
}

TEST(Files, ANameLineBecomesAPath) {
    char16_t path[64];
    ASSERT_TRUE(NameLineToUtf16("\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.edl", path, 64));
    EXPECT_EQ(u"テスト.edl", std::u16string(path)) << "UTF-8";
    EXPECT_FALSE(NameLineToUtf16("abcdef", path, 4)) << "too long for the buffer";
    // "テスト.edl" in Shift-JIS, as "dir /b" writes it on a Japanese PC.
    ASSERT_TRUE(NameLineToUtf16("\x83\x65\x83\x58\x83\x67.edl", path, 64));
#ifdef _WIN32
    if (GetACP() == 932) {
        EXPECT_EQ(u"テスト.edl", std::u16string(path)) << "the ANSI code page";
    }
#else
    EXPECT_EQ((std::u16string{0xDC83, u'e', 0xDC83, u'X', 0xDC83, u'g'} + u".edl"),
              std::u16string(path))
        << "bytes kept as they are";
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
