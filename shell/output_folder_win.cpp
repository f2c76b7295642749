// Choosing the output folder with the shell's folder browser.
#include <shlobj.h>

#include "main_window.h"
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
