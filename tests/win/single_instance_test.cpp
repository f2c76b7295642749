// tamsel.exe run as the user runs it, in two processes: a second start is refused while the
// first copy runs, and the first copy ends normally and stores its position.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gui_test_util.h"

namespace {

constexpr DWORD WAIT_MILLISECONDS = TEST_WAIT_MILLISECONDS;

// The program under test, from TAMSEL_EXE. CTest gives its host path; Wine shows the host's
// root as drive Z:.
std::wstring ProgramPath() {
    const char* path = std::getenv("TAMSEL_EXE");
    if (path == nullptr) {
        return std::wstring();
    }
    std::wstring wide;
    for (const char* p = path; *p != 0; ++p) {
        wide += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    }
    return path[0] == '/' ? L"Z:" + wide : wide;
}

struct Program {
    PROCESS_INFORMATION process;
    bool started;
};

Program Start(const std::wstring& path) {
    Program program{};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + path + L"\"";
    program.started = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, nullptr, &startup, &program.process) != FALSE;
    return program;
}

void Stop(Program* program) {
    if (!program->started) {
        return;
    }
    if (WaitForSingleObject(program->process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(program->process.hProcess, 99);
        WaitForSingleObject(program->process.hProcess, WAIT_MILLISECONDS);
    }
    CloseHandle(program->process.hThread);
    CloseHandle(program->process.hProcess);
    program->started = false;
}

DWORD ExitCodeAfterEnd(const Program& program) {
    if (WaitForSingleObject(program.process.hProcess, WAIT_MILLISECONDS) != WAIT_OBJECT_0) {
        return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(program.process.hProcess, &code);
    return code;
}

struct WindowSearch {
    DWORD processId;
    bool (*accept)(HWND window);
    HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window) && search->accept(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the process that `accept` takes, waited for.
HWND WaitForWindow(const Program& program, bool (*accept)(HWND window)) {
    WindowSearch search{program.process.dwProcessId, accept, nullptr};
    WaitUntil([&search, &program] {
        EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr ||
               WaitForSingleObject(program.process.hProcess, 0) != WAIT_TIMEOUT;
    });
    return search.found;
}

// The window's text once it equals `expected`, or its last text when the wait runs out: the
// main window is visible with its template's caption a moment before set-up gives it the
// title, and under load the test can look in that moment.
std::wstring WaitForText(HWND window, const std::wstring& expected) {
    std::wstring text;
    WaitUntil([&text, window, &expected] {
        text = WindowText(window);
        return text == expected;
    });
    return text;
}

bool IsMainWindow(HWND window) {
    wchar_t className[64];
    return GetClassNameW(window, className, 64) > 0 && std::wstring(className) == L"_GUI";
}

class SingleInstanceTest : public ::testing::Test {
  protected:
    void SetUp() override { registry = TakeRegistrySnapshot(); }
    void TearDown() override {
        Stop(&second);
        Stop(&first);
        RestoreRegistrySnapshot(registry);
    }

    RegistrySnapshot registry{};
    Program first{};
    Program second{};
};

TEST_F(SingleInstanceTest, SecondStartIsRefusedWhileTheFirstRuns) {
    std::wstring program = ProgramPath();
    ASSERT_FALSE(program.empty()) << "TAMSEL_EXE names the program under test";
    DeleteStoredRecord();

    first = Start(program);
    ASSERT_TRUE(first.started) << "cannot start " << Utf8(program);
    // Set-up done and the message loop waiting (where the system can tell).
    EXPECT_EQ(0u, WaitForInputIdle(first.process.hProcess, WAIT_MILLISECONDS));
    HWND mainWindow = WaitForWindow(first, IsMainWindow);
    ASSERT_NE(nullptr, mainWindow) << "the first copy shows no main window";
    const std::wstring title = L"文字化けタムセル for SONY BVE-9100 EDL Ver 3.0.1";
    EXPECT_EQ(title, WaitForText(mainWindow, title));

    second = Start(program);
    ASSERT_TRUE(second.started);
    HWND box = WaitForWindow(second, IsMessageBox);
    ASSERT_NE(nullptr, box) << "the second copy shows no message";
    EXPECT_EQ(L"文字化けタムセル", WindowText(box));
    EXPECT_EQ(L"すでに起動しています。", WindowText(GetDlgItem(box, 0xFFFF)));
    EXPECT_EQ(0u, MessageBoxIcon(box));
    EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
    // Only an OK button.
    EXPECT_NE(nullptr, GetDlgItem(box, IDOK));
    for (int button : {IDCANCEL, IDYES, IDNO}) {
        HWND other = GetDlgItem(box, button);
        EXPECT_TRUE(other == nullptr || !IsWindowVisible(other)) << "button " << button;
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(1u, ExitCodeAfterEnd(second));

    // The first copy is untouched and ends normally, storing where its window was.
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(first.process.hProcess, 0));
    EXPECT_TRUE(IsWindowVisible(mainWindow));
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, ExitCodeAfterEnd(first));
    std::vector<BYTE> record;
    ASSERT_TRUE(ReadStoredRecord(&record));
    EXPECT_EQ(RecordBytes(0, 0, 515, 335), record);

    // With the first copy gone the program starts again.
    Program third = Start(program);
    ASSERT_TRUE(third.started);
    HWND again = WaitForWindow(third, IsMainWindow);
    EXPECT_NE(nullptr, again);
    if (again != nullptr) {
        PostMessageW(again, WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(0u, ExitCodeAfterEnd(third));
    Stop(&third);
}

}  // namespace
