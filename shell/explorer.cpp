#include "explorer.h"

#include <shellapi.h>
#include <shlobj.h>

#include "file_list_rules.h"
#include "file_names.h"
#include "message_box.h"
#include "resource.h"
#include "shell.h"

namespace {

// A program has started when ShellExecuteW gives more than this.
constexpr INT_PTR SHELL_EXECUTE_ERROR_LIMIT = 32;
constexpr size_t QUOTED_PATH_CHARS = JOB_PATH_CHARS + 2;

INT_PTR ExecuteWithSystem(HWND owner, const wchar_t* verb, const wchar_t* file,
                          const wchar_t* parameters) {
    return reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, verb, file, parameters, nullptr, SW_SHOWNORMAL));
}

HRESULT ShowSelectedWithSystem(const wchar_t* path) {
    PIDLIST_ABSOLUTE item = ILCreateFromPathW(path);
    if (item == nullptr) {
        return E_FAIL;
    }
    // Explorer is reached through COM, in this thread's apartment.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HRESULT shown = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    ILFree(item);
    return shown;
}

bool Started(INT_PTR result) {
    return result > SHELL_EXECUTE_ERROR_LIMIT;
}

}  // namespace

const ShellActions SYSTEM_SHELL_ACTIONS = {ExecuteWithSystem, ShowSelectedWithSystem};
ShellActions shellActions = SYSTEM_SHELL_ACTIONS;

void OpenOutputFolder(HWND window) {
    const char16_t* selected =
        OutputToSelect(conversionJob.outputFolder, shell.resultFolder, shell.lastOutput);
    if (selected != nullptr && SUCCEEDED(shellActions.showSelected(AsWide(selected)))) {
        return;
    }
    // The file may have gone since; the folder still opens.
    const wchar_t* folder = AsWide(conversionJob.outputFolder);
    if (!Started(shellActions.execute(window, L"open", folder, nullptr))) {
        ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING, IDS_CANNOT_OPEN_FOLDER,
                    {AsUtf16(folder)});
    }
}

bool OpenWithSystem(HWND window, const wchar_t* path) {
    return Started(shellActions.execute(window, L"open", path, nullptr));
}

void OpenWithProgram(HWND window, const wchar_t* path) {
    INT_PTR opened = shellActions.execute(window, L"open", path, nullptr);
    if (opened == SE_ERR_NOASSOC) {
        // No program is associated with .EDL on this PC: it is text, Notepad shows it.
        wchar_t quoted[QUOTED_PATH_CHARS];
        const char16_t* parts[1] = {AsUtf16(path)};
        FillTemplate(u"\"%s\"", parts, 1, nullptr, 0, AsUtf16(quoted), QUOTED_PATH_CHARS);
        opened = shellActions.execute(window, L"open", L"notepad.exe", quoted);
    }
    if (!Started(opened)) {
        ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING, IDS_CANNOT_OPEN_FILE,
                    {AsUtf16(path)});
    }
}

void ShowInFolder(HWND window, const wchar_t* path) {
    if (SUCCEEDED(shellActions.showSelected(path))) {
        return;
    }
    // Without the selection the folder still opens.
    char16_t folder[JOB_PATH_CHARS];
    char16_t name[JOB_PATH_CHARS];
    if (!SplitPath(AsUtf16(path), u"\\", folder, JOB_PATH_CHARS, name, JOB_PATH_CHARS) ||
        !Started(shellActions.execute(window, L"open", AsWide(folder), nullptr))) {
        ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING, IDS_CANNOT_OPEN_FOLDER,
                    {folder});
    }
}
