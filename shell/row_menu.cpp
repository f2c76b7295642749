#include "row_menu.h"

#include "explorer.h"
#include "file_list.h"
#include "file_list_rules.h"
#include "menu_rules.h"
#include "message_box.h"
#include "output_file.h"
#include "resource.h"
#include "run_job.h"
#include "shell.h"

namespace {

// The row the menu is for, and where it opens: the row at the screen point x, y, or from the
// keyboard (both -1) the focused row, the menu under its name. -1 when there is none.
int RowForMenu(int* x, int* y) {
    if (*x != -1 || *y != -1) {
        LVHITTESTINFO hit{};
        hit.pt = POINT{*x, *y};
        ScreenToClient(shell.fileList, &hit.pt);
        return static_cast<int>(
            SendMessageW(shell.fileList, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    }
    int row = static_cast<int>(
        SendMessageW(shell.fileList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    RECT rect{};
    rect.left = LVIR_LABEL;
    if (row < 0 || !SendMessageW(shell.fileList, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                                 reinterpret_cast<LPARAM>(&rect))) {
        return -1;
    }
    POINT corner{rect.left, rect.bottom};
    ClientToScreen(shell.fileList, &corner);
    *x = corner.x;
    *y = corner.y;
    return row;
}

// What the last job wrote for the row, with the prefix of its name: its path (JOB_PATH_CHARS),
// and whether that file is there now.
bool RowFileExists(int row, const char16_t* prefix, char16_t* path) {
    if (!ReadRowOutput(row, prefix, path)) {
        return false;
    }
    DWORD attributes = GetFileAttributesW(AsWide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

RowMenuEnabling MenuOfRow(int row) {
    char16_t path[JOB_PATH_CHARS];
    bool outputExists = RowFileExists(row, OUTPUT_NAME_PREFIX, path);
    bool exportExists = RowFileExists(row, CMX_OUTPUT_NAME_PREFIX, path);
    return RowMenuFor(RowOutcome(row), RowExported(row), outputExists, exportExists);
}

}  // namespace

void ShowRowMenu(HWND window, int x, int y) {
    int row = RowForMenu(&x, &y);
    if (row < 0) {
        return;  // not on a row
    }
    SelectRowAlone(row);
    HMENU bar = LoadMenuW(shell.instance, MAKEINTRESOURCEW(IDR_ROW_MENU));
    HMENU menu = GetSubMenu(bar, 0);
    RowMenuEnabling enabling = MenuOfRow(row);
    auto enable = [menu](UINT id, bool enabled) {
        EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    enable(IDM_OPEN_OUTPUT, enabling.openOutput);
    enable(IDM_OPEN_EXPORT, enabling.openExport);
    enable(IDM_SHOW_OUTPUT_IN_FOLDER, enabling.showOutputInFolder);
    enable(IDM_OPEN_SOURCE, enabling.openSource);
    enable(IDM_SHOW_IN_FOLDER, enabling.showInFolder);
    enable(IDM_REMOVE, enabling.remove);
    auto command = static_cast<int>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, window, nullptr));
    DestroyMenu(bar);
    if (command != 0) {
        RunRowCommand(window, row, command);
    }
}

// Each command checks again what it opens: the row may have changed since its menu opened.
void RunRowCommand(HWND window, int row, int command) {
    char16_t path[JOB_PATH_CHARS];
    RowMenuEnabling enabling = MenuOfRow(row);
    switch (command) {
        case IDM_OPEN_OUTPUT:
            if (enabling.openOutput && ReadRowOutput(row, OUTPUT_NAME_PREFIX, path)) {
                OpenWithProgram(window, AsWide(path));
            }
            break;
        case IDM_OPEN_EXPORT:
            if (enabling.openExport && ReadRowOutput(row, CMX_OUTPUT_NAME_PREFIX, path)) {
                OpenWithProgram(window, AsWide(path));
            }
            break;
        case IDM_SHOW_OUTPUT_IN_FOLDER:
            if (enabling.showOutputInFolder && ReadRowOutput(row, OUTPUT_NAME_PREFIX, path)) {
                ShowInFolder(window, AsWide(path));
            }
            break;
        case IDM_OPEN_SOURCE:
            ReadRowPath(row, path);
            OpenWithProgram(window, AsWide(path));
            break;
        case IDM_SHOW_IN_FOLDER:
            ReadRowPath(row, path);
            ShowInFolder(window, AsWide(path));
            break;
        case IDM_REMOVE:
            RemoveSelectedRows();
            break;
    }
}

// Opened even when it has gone since: the user is then told it cannot be opened.
void OnRowDoubleClick(HWND window, const NMITEMACTIVATE* click) {
    char16_t path[JOB_PATH_CHARS];
    if (click->iItem >= 0 && OutputWritten(RowOutcome(click->iItem)) &&
        ReadRowOutput(click->iItem, OUTPUT_NAME_PREFIX, path)) {
        OpenWithProgram(window, AsWide(path));
    }
}
