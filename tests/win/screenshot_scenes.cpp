// tamsel_scenes.exe SCENE READY DONE - puts the window program into one scene for a screenshot
// (tools/screenshots.sh): "main" the main window after start-up, "progress" a job of three files
// halfway, its dialog over the main window. Once the scene is drawn it writes the screen
// rectangle to photograph into the file READY ("left top right bottom"), then holds the scene
// until the file DONE exists, and ends it as a user would (closing the window, cancelling the
// job). The stored position is put back as it was.
#include <windows.h>

#include <clocale>
#include <cstdio>
#include <string>

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

// Draws the scene, tells the script where it is, and holds it until the script is done.
void HoldScene(const RECT& frame, const std::wstring& ready, const std::wstring& done) {
    PumpMessagesFor(800);
    char text[128];
    std::snprintf(text, sizeof text, "%ld %ld %ld %ld\n", frame.left, frame.top, frame.right,
                  frame.bottom);
    std::wstring partial = ready + L".part";
    WriteBytes(partial, text);
    MoveFileExW(partial.c_str(), ready.c_str(), MOVEFILE_REPLACE_EXISTING);
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
        std::fprintf(stderr, "usage: tamsel_scenes main|progress READY DONE\n");
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
    int status = 1;
    if (mainWindow != nullptr && scene == "main") {
        RECT frame{};
        GetWindowRect(mainWindow, &frame);
        HoldScene(frame, ready, done);
        status = 0;
    } else if (mainWindow != nullptr && scene == "progress") {
        status = ProgressScene(mainWindow, ready, done);
    }
    if (mainWindow != nullptr) {
        DestroyWindow(mainWindow);
    }
    DrainMessages();
    RestoreRegistrySnapshot(registry);
    return status;
}
