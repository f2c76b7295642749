// Choosing the output folder with the shell's folder browser, and what the window shows of it.
#include <shlobj.h>

#include "menu_rules.h"
#include "message_box.h"
#include "output_folder.h"
#include "resource.h"
#include "shell.h"

namespace {

constexpr size_t BROWSER_TITLE_CHARS = 128;

// Opens the browser on the current output folder (`current`, its path); every other event of
// the browser is left to it.
int CALLBACK SelectCurrentFolder(HWND browser, UINT event, LPARAM, LPARAM current) {
    if (event == BFFM_INITIALIZED) {
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, current);
    }
    return 0;
}

}  // namespace

void ChooseOutputFolder(HWND window) {
    // The browser of the new style runs on COM in this thread's apartment.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t path[JOB_PATH_CHARS] = {};
    wchar_t title[BROWSER_TITLE_CHARS];
    LoadResourceText(IDS_CHOOSE_FOLDER_TITLE, title, BROWSER_TITLE_CHARS);
    BROWSEINFOW browse{};
    browse.hwndOwner = window;
    browse.pidlRoot = nullptr;  // the whole namespace
    browse.pszDisplayName = path;
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = SelectCurrentFolder;
    browse.lParam = reinterpret_cast<LPARAM>(conversionJob.outputFolder);
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (chosen != nullptr && SHGetPathFromIDListW(chosen, path) &&
        SetOutputFolder(conversionJob.outputFolder, JOB_PATH_CHARS, AsUtf16(path),
                        PATH_SEPARATORS)) {
        SetWindowTextW(shell.outputFolderEdit, AsWide(conversionJob.outputFolder));
        ShowOutputFolderState();
    }
    CoTaskMemFree(chosen);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
}

void ShowOutputFolderState() {
    EnableWindow(shell.openFolderButton,
                 CanOpenOutputFolder(shell.jobRunning, conversionJob.outputFolder));
    SendMessageW(shell.folderTip, TTM_UPDATE, 0, 0);
}

void SetUpOutputFolderTip(HWND window) {
    shell.folderTip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, shell.instance, nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(shell.outputFolderEdit);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(shell.folderTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Long folders wrap rather than run off the screen.
    SendMessageW(shell.folderTip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN) / 2);
}

void OnOutputFolderTipText(NMTTDISPINFOW* tip) {
    tip->lpszText = AsWide(conversionJob.outputFolder);
}
