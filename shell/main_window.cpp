#include "main_window.h"

#include <shlobj.h>

#include "message_box.h"
#include "position_record.h"
#include "resource.h"
#include "shell.h"

namespace {

constexpr size_t FILE_COUNT_CHARS = 48;
constexpr size_t COLUMN_TEXT_CHARS = 64;
constexpr int SMALL_ICON_SIZE = 16;

struct FileListColumn {
    UINT textId;
    int format;
    int width;  // pixels
};

constexpr FileListColumn FILE_LIST_COLUMNS[] = {
    {IDS_COLUMN_NAME, LVCFMT_CENTER, 180},  // the system shows the first column left-aligned
    {IDS_COLUMN_UPDATE, LVCFMT_CENTER, 103},
    {IDS_COLUMN_LOCATION, LVCFMT_LEFT, 270},
};

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
    size_t length = 0;
    while (path[length] != 0 && length + 2 < JOB_PATH_CHARS) {
        conversionJob.outputFolder[length] = static_cast<char16_t>(path[length]);
        ++length;
    }
    if (length == 0 || conversionJob.outputFolder[length - 1] != u'\\') {
        conversionJob.outputFolder[length++] = u'\\';
    }
    conversionJob.outputFolder[length] = 0;
}

// At the stored left and top, always 515 x 335 pixels.
void PlaceMainWindow(HWND window) {
    WindowPosition position = ReadStoredPosition();
    SetWindowPos(window, HWND_NOTOPMOST, position.left, position.top, position.width,
                 position.height, SWP_SHOWWINDOW);
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
}

// Report view with grid lines, check boxes, columns the user may reorder by dragging their
// headers, and whole rows selected; the columns name, update time and location.
void SetUpFileList(HWND list) {
    SendMessageW(
        list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
        LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    int index = 0;
    for (const FileListColumn& column : FILE_LIST_COLUMNS) {
        wchar_t text[COLUMN_TEXT_CHARS];
        LoadResourceText(column.textId, text, COLUMN_TEXT_CHARS);
        LVCOLUMNW item{};
        item.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        item.fmt = column.format;
        item.cx = column.width;
        item.pszText = text;
        item.iSubItem = index;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        ++index;
    }
}

void OnInitDialog(HWND window) {
    SetDefaultOutputFolder(window);
    PlaceMainWindow(window);
    SetWindowTextW(window, shell.title);
    StoreWindowHandles(window);
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
    ShowWindow(window, SW_SHOW);
}

// The window's normal position is stored for the next run; then the message loop ends.
void OnDestroy(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window, &placement)) {
        const RECT& normal = placement.rcNormalPosition;
        StorePosition(normal.left, normal.top, normal.right, normal.bottom);
    }
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

}  // namespace

void ShowFileCount(int count) {
    wchar_t pattern[FILE_COUNT_CHARS];
    LoadResourceText(IDS_FILE_COUNT, pattern, FILE_COUNT_CHARS);
    char16_t text[FILE_COUNT_CHARS];
    FillTemplate(AsUtf16(pattern), nullptr, 0, &count, 1, text, FILE_COUNT_CHARS);
    SendMessageW(shell.fileCountLabel, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

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
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
