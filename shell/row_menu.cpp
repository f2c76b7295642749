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

}  // namespace

void ShowRowMenu(HWND window, int x, int y) {
    int row = RowForMenu(&x, &y);
    if (row < 0) {
        return;  // not on a row
    }
    SelectRowAlone(row);
    HMENU bar = LoadMenuW(shell.instance, MAKEINTRESOURCEW(IDR_ROW_MENU));
    HMENU menu = GetSubMenu(bar, 0);
    RowMenuEnabling enabling = RowMenuFor(RowOutcome(row));
    auto enable = [menu](UINT id, bool enabled) {
        EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    enable(IDM_OPEN_OUTPUT, enabling.openOutput);
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

void RunRowCommand(HWND window, int row, int command) {
    char16_t path[JOB_PATH_CHARS];
    switch (command) {
        case IDM_OPEN_OUTPUT:
            if (RowOutcome(row) == FILE_CONVERTED && ReadRowOutput(row, OUTPUT_NAME_PREFIX, path)) {
                OpenWithProgram(window, AsWide(path));
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

void OnRowDoubleClick(HWND window, const NMITEMACTIVATE* click) {
    if (click->iItem >= 0 && RowOutcome(click->iItem) == FILE_CONVERTED) {
        RunRowCommand(window, click->iItem, IDM_OPEN_OUTPUT);
    }
}
