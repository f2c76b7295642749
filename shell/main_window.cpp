#include "main_window.h"

#include <shlobj.h>
#include <windowsx.h>

#include "add_files.h"
#include "commands.h"
#include "file_count.h"
#include "file_list.h"
#include "main_layout.h"
#include "message_box.h"
#include "option_controls.h"
#include "output_folder.h"
#include "position_record.h"
#include "resource.h"
#include "row_menu.h"
#include "run_job.h"
#include "shell.h"

namespace {

constexpr int SMALL_ICON_SIZE = 16;

// The output folder starts as the user's desktop, with a trailing backslash. When the desktop
// cannot be found the user is told once and the folder stays empty until one is chosen.
void SetDefaultOutputFolder(HWND window) {
    if (conversionJob.outputFolder[0] != 0) {
        return;
    }
    PIDLIST_ABSOLUTE desktop = nullptr;
    wchar_t path[MAX_PATH];
    bool found = SUCCEEDED(SHGetSpecialFolderLocation(window, CSIDL_DESKTOPDIRECTORY, &desktop)) &&
                 SHGetPathFromIDListW(desktop, path);
    CoTaskMemFree(desktop);
    if (!found) {
        ShowMessage(window, IDS_MESSAGE_CAPTION, MB_OK | MB_ICONWARNING, IDS_NO_DESKTOP_FOLDER);
        return;
    }
    SetOutputFolder(conversionJob.outputFolder, JOB_PATH_CHARS, AsUtf16(path), PATH_SEPARATORS);
}

// Appends an icon, in the small size, to the list's image list; gives its index (-1 when it
// could not be loaded).
int AddSmallIcon(HINSTANCE instance, const wchar_t* name) {
    auto icon = static_cast<HICON>(
        LoadImageW(instance, name, IMAGE_ICON, SMALL_ICON_SIZE, SMALL_ICON_SIZE, LR_SHARED));
    return icon != nullptr ? ImageList_ReplaceIcon(shell.smallIcons, -1, icon) : -1;
}

// At the stored left and top, always in the window's one size.
void PlaceMainWindow(HWND window) {
    WindowPosition position = ReadStoredPosition();
    PlaceMainWindowAt(window, position.left, position.top);
}

// Moved to a display of another scale: the system rescales the controls' fonts and suggests the
// window's new rectangle; the controls are placed again for the new measures.
void OnDpiChanged(HWND window, const RECT* suggested) {
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutControls(window);
}

void StoreWindowHandles(HWND window) {
    shell.menu = GetMenu(window);
    shell.outputFolderEdit = GetDlgItem(window, IDC_OUTPUT_FOLDER);
    shell.fileCountLabel = GetDlgItem(window, IDC_FILE_COUNT);
    shell.chooseFolderButton = GetDlgItem(window, IDC_CHOOSE_OUTPUT_FOLDER);
    shell.convertButton = GetDlgItem(window, IDC_CONVERT);
    shell.removeButton = GetDlgItem(window, IDC_REMOVE);
    shell.selectAllButton = GetDlgItem(window, IDC_SELECT_ALL);
    shell.toggleButton = GetDlgItem(window, IDC_TOGGLE_TARGET);
    shell.openFolderButton = GetDlgItem(window, IDC_OPEN_OUTPUT_FOLDER);
    shell.optionCheck = GetDlgItem(window, IDC_DELETE_INTERNAL_DATA);
    shell.exportCheck = GetDlgItem(window, IDC_EXPORT_CMX);
    shell.rateLabel = GetDlgItem(window, IDC_CMX_RATE);
}

void OnInitDialog(HWND window) {
    SetDefaultOutputFolder(window);
    PlaceMainWindow(window);
    SetWindowTextW(window, shell.title);
    StoreWindowHandles(window);
    // The window's own state starts afresh: no sort, the toggle and the option off.
    shell.targetCount = 0;
    for (int& direction : shell.sortDirections) {
        direction = SORT_DIRECTION_NONE;
    }
    shell.toggleState = 0;
    shell.options = 0;
    shell.exportSettings = ReadExportSettings();  // kept between runs, unlike the option
    shell.jobRunning = false;
    ShowOption();
    ShowExportSettings();
    // Only the output folder can be chosen while the list is empty.
    EnableWindow(shell.chooseFolderButton, TRUE);
    EnableWindow(shell.toggleButton, FALSE);
    EnableWindow(shell.selectAllButton, FALSE);
    EnableWindow(shell.removeButton, FALSE);
    EnableWindow(shell.convertButton, FALSE);
    SetWindowTextW(shell.outputFolderEdit, AsWide(conversionJob.outputFolder));
    InitCommonControls();
    shell.fileList = GetDlgItem(window, IDC_FILE_LIST);
    SetUpFileList(shell.fileList);
    conversionJob.fileCount = 0;
    SendMessageW(shell.fileList, LVM_SETITEMCOUNT, 0, LVSICF_NOINVALIDATEALL);
    ShowFileCount(0);
    shell.smallIcons = ImageList_Create(SMALL_ICON_SIZE, SMALL_ICON_SIZE, ILC_COLOR32, 1, 0);
    shell.fileImage = -1;
    shell.convertedImage = AddSmallIcon(shell.instance, MAKEINTRESOURCEW(IDI_APPLICATION_SMALL));
    shell.failedImage = AddSmallIcon(nullptr, IDI_ERROR);
    shell.changingRows = false;
    shell.resultFolder[0] = 0;
    shell.lastOutput[0] = 0;
    SendMessageW(shell.fileList, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(shell.smallIcons));
    LayOutControls(window);
    SetUpOutputFolderTip(window);
    ShowOutputFolderState();
    ShowWindow(window, SW_SHOW);
}

// The window's normal position is stored for the next run (the export settings were stored as
// they changed); then the message loop ends.
void OnDestroy(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window, &placement)) {
        const RECT& normal = placement.rcNormalPosition;
        StorePosition(normal.left, normal.top, normal.right, normal.bottom);
    }
    // Taken back from the list first: the list would destroy it again with itself.
    SendMessageW(shell.fileList, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    ImageList_Destroy(shell.smallIcons);
    shell.smallIcons = nullptr;
    PostQuitMessage(0);
}

// The window draws nothing itself; its controls do.
void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}

// Only the file count label is drawn by the window.
void OnDrawItem(const DRAWITEMSTRUCT* item) {
    if (item->CtlID == IDC_FILE_COUNT) {
        DrawFileCountLabel(item);
    }
}

// The file list's notifications: a double click and a row's tip are about what a job wrote
// for the row, the others about the list itself. And the output folder's tooltip asking for
// its text.
LRESULT OnNotify(HWND window, NMHDR* notification) {
    if (notification->idFrom == IDC_FILE_LIST) {
        switch (notification->code) {
            case NM_DBLCLK:
                OnRowDoubleClick(window, reinterpret_cast<const NMITEMACTIVATE*>(notification));
                return 0;
            case LVN_GETINFOTIPW:
                OnRowTip(reinterpret_cast<NMLVGETINFOTIPW*>(notification));
                return 0;
        }
        return OnFileListNotify(notification);
    }
    if (notification->code == TTN_GETDISPINFOW &&
        notification->idFrom == reinterpret_cast<UINT_PTR>(shell.outputFolderEdit)) {
        OnOutputFolderTipText(reinterpret_cast<NMTTDISPINFOW*>(notification));
    }
    return 0;
}

// A right click on a row of the list (or the menu key while the list has the focus) opens
// the row's menu.
void OnContextMenu(HWND window, HWND from, LPARAM point) {
    if (from == shell.fileList) {
        ShowRowMenu(window, GET_X_LPARAM(point), GET_Y_LPARAM(point));
    }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(window);
            return 0;
        case WM_DESTROY:
            OnDestroy(window);
            return 0;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_DRAWITEM:
            OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(window, reinterpret_cast<NMHDR*>(lParam));
        case WM_CONTEXTMENU:
            OnContextMenu(window, reinterpret_cast<HWND>(wParam), lParam);
            return 0;
        case WM_COMMAND:
            OnCommand(window, wParam);
            return 0;
        case WM_INITMENU:
            OnInitMenu(window);
            return 0;
        case WM_DROPFILES:
            OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(window, reinterpret_cast<const RECT*>(lParam));
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
