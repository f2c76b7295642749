#include "commands.h"

#include "about_box.h"
#include "add_files.h"
#include "explorer.h"
#include "export_settings.h"
#include "file_list.h"
#include "main_window.h"
#include "menu_rules.h"
#include "output_folder.h"
#include "position_record.h"
#include "resource.h"
#include "shell.h"

namespace {

// A command that a button carries out reaches it as a click: a left-button down and up with
// the command's own parameters (the button's point 0, 0 for a menu item or an accelerator).
// The button reports the click as for the mouse.
void ClickButton(HWND button, WPARAM wParam, LPARAM lParam) {
    SendMessageW(button, WM_LBUTTONDOWN, wParam, lParam);
    SendMessageW(button, WM_LBUTTONUP, wParam, lParam);
}

// Back to the top-left corner of the screen at the window's one size; stored at exit.
void ResetWindowPosition(HWND window) {
    PlaceMainWindowAt(window, 0, 0);
    SetFocus(shell.fileList);
}

// The check box shows the new state at once, the menu's check mark the next time it opens.
void SwitchOption() {
    shell.options = SwitchDeleteInternalData(shell.options);
    ShowOption();
    SetFocus(shell.fileList);
}

void EnableItem(HMENU menu, UINT id, bool enabled) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void CheckItem(HMENU menu, UINT id, bool checked) {
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// The export menu: its check marks, and the rate and drop frame items greyed while the export
// is off.
void ShowExportMenu() {
    ExportMenu menu = ExportMenuFor(shell.exportSettings);
    CheckItem(shell.menu, IDM_EXPORT_CMX, menu.exportChecked);
    for (UINT rate : {IDM_CMX_RATE_30, IDM_CMX_RATE_25, IDM_CMX_RATE_24}) {
        CheckItem(shell.menu, rate, rate == menu.checkedRate);
        EnableItem(shell.menu, rate, menu.ratesEnabled);
    }
    CheckItem(shell.menu, IDM_CMX_DROP_FRAME, menu.dropFrameChecked);
    EnableItem(shell.menu, IDM_CMX_DROP_FRAME, menu.dropFrameEnabled);
}

}  // namespace

void OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
        case IDM_OPEN_FILES:
            OpenFilesDialog(window);
            break;
        case IDM_CHOOSE_OUTPUT_FOLDER:
            ClickButton(shell.chooseFolderButton, wParam, lParam);
            break;
        case IDM_OPEN_OUTPUT_FOLDER:
            ClickButton(shell.openFolderButton, wParam, lParam);
            break;
        case IDM_CONVERT:
            ClickButton(shell.convertButton, wParam, lParam);
            break;
        case IDM_EXIT:
            DestroyWindow(window);
            break;
        case IDM_SELECT_ALL:
            ClickButton(shell.selectAllButton, wParam, lParam);
            break;
        case IDM_TOGGLE_TARGET:
            ClickButton(shell.toggleButton, wParam, lParam);
            break;
        case IDM_REMOVE:
            ClickButton(shell.removeButton, wParam, lParam);
            break;
        case IDM_RESET_POSITION:
            ResetWindowPosition(window);
            break;
        case IDM_DELETE_INTERNAL_DATA:
            SwitchOption();
            break;
        case IDM_ABOUT:
            RunAboutBox(window);
            break;
        case IDM_EXPORT_CMX:
        case IDM_CMX_RATE_30:
        case IDM_CMX_RATE_25:
        case IDM_CMX_RATE_24:
        case IDM_CMX_DROP_FRAME:
            shell.exportSettings = ApplyExportCommand(shell.exportSettings, LOWORD(wParam));
            break;
        case IDC_SELECT_ALL:
            SelectAllRows();
            break;
        case IDC_REMOVE:
            RemoveSelectedRows();
            break;
        case IDC_TOGGLE_TARGET:
            ToggleConvertTargets();
            break;
        case IDC_CONVERT:
            ConvertTargets(window);
            break;
        case IDC_CHOOSE_OUTPUT_FOLDER:
            ChooseOutputFolder(window);
            break;
        case IDC_OPEN_OUTPUT_FOLDER:
            OpenOutputFolder(window);
            break;
        case IDC_DELETE_INTERNAL_DATA:
            SwitchOption();
            break;
    }
}

void OnInitMenu(HWND) {
    shell.targetCount = CountConvertTargets();
    MenuEnabling enabling =
        MenuEnablingFromCounts(CountRows(), shell.targetCount, CountSelectedRows(), shell.options);
    EnableItem(shell.menu, IDM_SELECT_ALL, enabling.selectAll);
    EnableItem(shell.menu, IDM_REMOVE, enabling.remove);
    EnableItem(shell.menu, IDM_TOGGLE_TARGET, enabling.toggle);
    EnableItem(shell.menu, IDM_CONVERT, enabling.convert);
    EnableItem(shell.menu, IDM_DELETE_INTERNAL_DATA, true);
    EnableItem(shell.menu, IDM_OPEN_OUTPUT_FOLDER,
               CanOpenOutputFolder(shell.jobRunning, conversionJob.outputFolder));
    CheckItem(shell.menu, IDM_DELETE_INTERNAL_DATA, enabling.optionChecked);
    ShowExportMenu();
}

void ShowOption() {
    bool on = MenuEnablingFromCounts(0, 0, 0, shell.options).optionChecked;
    SendMessageW(shell.optionCheck, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}
