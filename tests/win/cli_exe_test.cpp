// tamsel-cli.exe run as a user runs it, in a process of its own: what the Windows file system
// and a name list written on Windows make of names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gui_test_util.h"

namespace {

// The program under test, from TAMSEL_CLI_EXE. CTest gives its host path; Wine shows the host's
// root as drive Z:.
std::wstring CliPath() {
    const char* path = std::getenv("TAMSEL_CLI_EXE");
    std::wstring wide;
    for (const char* p = path != nullptr ? path : ""; *p != 0; ++p) {
        wide += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    }
    return path != nullptr && path[0] == '/' ? L"Z:" + wide : wide;
}

HANDLE InheritableFile(const std::wstring& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

struct CliExeRun {
    DWORD exitCode;
    std::string err;
};

// Runs tamsel-cli.exe in `folder` with `arguments`, standard input from the file `input` there
// (empty: none) and standard error into a file.
CliExeRun RunCliExe(const std::wstring& folder, const std::wstring& arguments,
                    const std::wstring& input = L"") {
    std::wstring program = CliPath();
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    HANDLE in =
        InheritableFile(input.empty() ? L"NUL" : folder + input, GENERIC_READ, OPEN_EXISTING);
    HANDLE out = InheritableFile(folder + L"stdout.txt", GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = InheritableFile(folder + L"stderr.txt", GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    CliExeRun run{0xFFFFFFFF, ""};
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                       DETACHED_PROCESS, nullptr, folder.c_str(), &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, TEST_WAIT_MILLISECONDS) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.hProcess, &run.exitCode);
        } else {
            TerminateProcess(process.hProcess, 0xFFFFFFFE);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(in);
    CloseHandle(out);
    CloseHandle(err);
    run.err = ReadBytes(folder + L"stderr.txt");
    return run;
}

class CliExeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = MakeTemporaryFolder();
        ASSERT_FALSE(folder.empty());
    }
    void TearDown() override {
        for (const std::wstring& sub : subfolders) {
            RemoveTemporaryFolder(folder + sub + L"\\");
        }
        RemoveTemporaryFolder(folder);
    }
    std::wstring Subfolder(const std::wstring& name) {
        CreateDirectoryW((folder + name).c_str(), nullptr);
        subfolders.push_back(name);
        return folder + name + L"\\";
    }

    std::wstring folder;
    std::vector<std::wstring> subfolders;
};

// Windows takes a.EDL and A.EDL for one file: the second would silently replace the first's
// output, so it is refused as a duplicate.
TEST_F(CliExeTest, NamesDifferingOnlyInLetterCaseAreOneOutput) {
    WriteBytes(Subfolder(L"d1") + L"a.edl", SampleEdl("FIRST", 1));
    WriteBytes(Subfolder(L"d2") + L"A.EDL", SampleEdl("SECOND", 1));
    std::wstring out = Subfolder(L"out");
    CliExeRun run = RunCliExe(folder, L"-o out d1\\a.edl d2\\A.EDL");
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_EQ(std::vector<std::wstring>{L"C_a.EDL"}, FilesMatching(out, L"*.EDL"));
    EXPECT_NE(std::string::npos, ReadBytes(out + L"C_a.EDL").find("FIRST"));
    EXPECT_NE(std::string::npos,
              run.err.find("ファイル名: \"A.EDL\"\n場所:[d2]\n\n名前が同じファイル"))
        << run.err;
    EXPECT_NE(std::string::npos, run.err.find("2個中1個の変換が終了しました。")) << run.err;
}

// A list that "dir /b" writes on a Japanese PC is in the ANSI code page; one an editor saves
// may begin with a UTF-8 byte-order mark. Both name the file.
TEST_F(CliExeTest, ANameListInTheAnsiCodePageOrWithAByteOrderMarkIsRead) {
    if (GetACP() != 932) {
        GTEST_SKIP() << "needs the Japanese ANSI code page";
    }
    WriteBytes(folder + L"テスト.edl", SampleEdl("JAPANESE", 1));
    WriteBytes(folder + L"ansi.txt", "\x83\x65\x83\x58\x83\x67.edl\r\n");
    WriteBytes(folder + L"utf8.txt", "\xEF\xBB\xBF\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.edl\r\n");
    for (const wchar_t* list : {L"ansi.txt", L"utf8.txt"}) {
        DeleteFileW((folder + L"C_テスト.EDL").c_str());
        CliExeRun run = RunCliExe(folder, L"-", list);
        EXPECT_EQ(0u, run.exitCode) << Utf8(list) << ": " << run.err;
        EXPECT_TRUE(FileExists(folder + L"C_テスト.EDL")) << Utf8(list);
    }
}

}  // namespace
