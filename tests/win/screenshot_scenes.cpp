// tamsel_scenes.exe SCENE READY DONE - puts the window program into one scene for a screenshot
// (tools/screenshots.sh): "main" the main window with a few files listed, "menu" the same with
// its first menu open, "about" the about box over it, "progress" a job of three files halfway,
// its dialog over the main window. Once the scene is drawn it writes the screen rectangle to
// photograph into the file READY ("left top right bottom"), then holds the scene until the file
// DONE exists, and ends it as a user would (closing the window, the menu or the box,
// cancelling the job). The stored position is put back as it was.
#include <windows.h>

#include <commctrl.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <thread>

#include "gui_test_util.h"
#include "progress_dialog.h"
#include "resource.h"
#include "shell.h"

namespace {

std::wstring Argument(const char* text) {
    wchar_t wide[MAX_PATH];
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH);
    return length > 0 ? std::wstring(wide) : std::wstring();
}

// Tells the script which rectangle of the screen to photograph.
void TellReady(const RECT& frame, const std::wstring& ready) {
    char text[128];
    std::snprintf(text, sizeof text, "%ld %ld %ld %ld\n", frame.left, frame.top, frame.right,
                  frame.bottom);
    std::wstring partial = ready + L".part";
    WriteBytes(partial, text);
    MoveFileExW(partial.c_str(), ready.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Draws the scene, tells the script where it is, and holds it until the script is done.
void HoldScene(const RECT& frame, const std::wstring& ready, const std::wstring& done) {
    PumpMessagesFor(800);
    TellReady(frame, ready);
    while (!FileExists(done)) {
        PumpMessagesFor(100);
    }
}

RECT Union(HWND first, HWND second) {
    RECT a{};
    RECT b{};
    RECT both{};
    GetWindowRect(first, &a);
    GetWindowRect(second, &b);
    UnionRect(&both, &a, &b);
    return both;
}

// A few files in the list, as an editor gathers them: one left out, one selected.
void ListSomeFiles(HWND mainWindow, const std::wstring& folder) {
    const wchar_t* names[] = {L"NEWS0612.EDL", L"DRAMA_EP03.EDL", L"PROMO_B.EDL",
                              L"REEL_A_0412.EDL"};
    std::vector<std::wstring> paths;
    WORD day = 10;
    for (const wchar_t* name : names) {
        std::wstring path = folder + name;
        WriteBytes(path, SampleEdl("SCENE", 20));
        SetLocalWriteTime(path, 2019, 2, day++, 9, 30);
        paths.push_back(path);
    }
    SendMessageW(mainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    HWND list = GetDlgItem(mainWindow, IDC_FILE_LIST);
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(1);
    SendMessageW(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&item));
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
}

struct PopupSearch {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindPopup(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<PopupSearch*>(context);
    wchar_t name[64];
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameW(window, name, 64) > 0 && lstrcmpiW(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of this process and class, waited for up to five seconds.
HWND WaitForPopup(const wchar_t* className) {
    for (int k = 0; k < 250; ++k) {
        PopupSearch search{className, nullptr};
        EnumWindows(FindPopup, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        Sleep(20);
    }
    return nullptr;
}

// A scene held by a modal loop of the main window (its menu, its about box): `open` starts it
// on this thread, and a second thread finds the popup of `popupClass`, tells the script where
// it is and, when the script is done, closes it with `close`.
int ModalScene(HWND mainWindow, const wchar_t* popupClass, void (*open)(HWND),
               void (*close)(HWND mainWindow, HWND popup), const std::wstring& ready,
               const std::wstring& done) {
    bool shown = false;
    std::thread photographer([&] {
        HWND popup = WaitForPopup(popupClass);
        if (popup == nullptr) {
            return;
        }
        Sleep(800);
        TellReady(Union(mainWindow, popup), ready);
        shown = true;
        while (!FileExists(done)) {
            Sleep(100);
        }
        close(mainWindow, popup);
    });
    open(mainWindow);
    photographer.join();
    return shown ? 0 : 1;
}

void OpenFileMenu(HWND mainWindow) {
    // The keyboard's way into the menu bar: the mnemonic of "ファイル(&F)".
    SendMessageW(mainWindow, WM_SYSCOMMAND, SC_KEYMENU, 'f');
}

void CloseMenu(HWND mainWindow, HWND) {
    PostMessageW(mainWindow, WM_CANCELMODE, 0, 0);
}

void OpenAboutBox(HWND mainWindow) {
    SendMessageW(mainWindow, WM_COMMAND, IDM_ABOUT, 0);
}

void CloseAboutBox(HWND, HWND box) {
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

int ProgressScene(HWND mainWindow, const std::wstring& ready, const std::wstring& done) {
    std::wstring folder = MakeTemporaryFolder();
    std::wstring output = folder + L"out\\";
    CreateDirectoryW(output.c_str(), nullptr);
    const wchar_t* names[] = {L"REEL_A_0412.EDL", L"REEL_B_0412.EDL", L"REEL_C_0412.EDL"};
    int k = 0;
    for (const wchar_t* name : names) {
        std::wstring path = folder + name;
        WriteBytes(path, SampleEdl("SCENE", 20));
        SetJobFile(&conversionJob, k++, reinterpret_cast<const char16_t*>(path.c_str()),
                   reinterpret_cast<const char16_t*>(name));
    }
    conversionJob.fileCount = k;
    std::u16string out(output.begin(), output.end());
    std::copy(out.c_str(), out.c_str() + out.size() + 1, conversionJob.outputFolder);

    // Held on the second file's step: its name and count are shown, the bar is at one file.
    int steps = 0;
    StartSpy([&](const SpyEvent& event) {
        if (event.kind != SpyEventKind::PROGRESS_STEP || ++steps != 2) {
            return;
        }
        ShowWindow(event.dialog, SW_SHOWNORMAL);
        UpdateWindow(event.dialog);
        HoldScene(Union(mainWindow, event.dialog), ready, done);
        SendMessageW(GetDlgItem(event.dialog, IDC_PROGRESS_CANCEL), BM_CLICK, 0, 0);
    });
    RunProgressDialog(mainWindow, &conversionJob);
    StopSpy();
    RemoveTemporaryFolder(output);
    RemoveTemporaryFolder(folder);
    return steps >= 2 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tamsel_scenes main|menu|about|progress READY DONE\n");
        return 2;
    }
    std::string scene = argv[1];
    std::wstring ready = Argument(argv[2]);
    std::wstring done = Argument(argv[3]);

    RegistrySnapshot registry = TakeRegistrySnapshot();
    DeleteStoredRecord();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    LoadShellTexts(instance);
    RegisterMainWindowClass(instance);
    std::setlocale(LC_ALL, "jpn");
    HWND mainWindow = CreateMainWindow(instance);
    std::wstring folder = MakeTemporaryFolder();
    int status = 1;
    if (mainWindow != nullptr && scene == "main") {
        ListSomeFiles(mainWindow, folder);
        RECT frame{};
        GetWindowRect(mainWindow, &frame);
        HoldScene(frame, ready, done);
        status = 0;
    } else if (mainWindow != nullptr && scene == "menu") {
        ListSomeFiles(mainWindow, folder);
        PumpMessagesFor(300);
        status = ModalScene(mainWindow, L"#32768", OpenFileMenu, CloseMenu, ready, done);
    } else if (mainWindow != nullptr && scene == "about") {
        PumpMessagesFor(300);
        status = ModalScene(mainWindow, L"#32770", OpenAboutBox, CloseAboutBox, ready, done);
    } else if (mainWindow != nullptr && scene == "progress") {
        status = ProgressScene(mainWindow, ready, done);
    }
    if (mainWindow != nullptr) {
        DestroyWindow(mainWindow);
    }
    DrainMessages();
    RemoveTemporaryFolder(folder);
    RestoreRegistrySnapshot(registry);
    return status;
}
