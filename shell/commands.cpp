#include "commands.h"

#include "about_box.h"
#include "add_files.h"
#include "explorer.h"
#include "file_list.h"
#include "guide.h"
#include "main_layout.h"
#include "menu_rules.h"
#include "option_controls.h"
#include "output_folder.h"
#include "resource.h"
#include "run_job.h"
#include "shell.h"

namespace {

// Back to the top-left corner of the screen at the window's one size; stored at exit.
void ResetWindowPosition(HWND window) {
    PlaceMainWindowAt(window, 0, 0);
    SetFocus(shell.fileList);
}

void EnableItem(HMENU menu, UINT id, bool enabled) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void CheckItem(HMENU menu, UINT id, bool checked) {
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

// A menu item, its key and the button or check box that does the same call one handler.
void OnCommand(HWND window, WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case IDM_OPEN_FILES:
            OpenFilesDialog(window);
            break;
        case IDM_CHOOSE_OUTPUT_FOLDER:
        case IDC_CHOOSE_OUTPUT_FOLDER:
            ChooseOutputFolder(window);
            break;
        case IDM_OPEN_OUTPUT_FOLDER:
        case IDC_OPEN_OUTPUT_FOLDER:
            OpenOutputFolder(window);
            break;
        case IDM_CONVERT:
        case IDC_CONVERT:
            ConvertTargets(window);
            break;
        case IDM_EXIT:
            DestroyWindow(window);
            break;
        case IDM_SELECT_ALL:
        case IDC_SELECT_ALL:
            SelectAllRows();
            break;
        case IDM_TOGGLE_TARGET:
        case IDC_TOGGLE_TARGET:
            ToggleConvertTargets();
            break;
        case IDM_REMOVE:
        case IDC_REMOVE:
            RemoveSelectedRows();
            break;
        case IDM_RESET_POSITION:
            ResetWindowPosition(window);
            break;
        case IDM_DELETE_INTERNAL_DATA:
        case IDC_DELETE_INTERNAL_DATA:
            SwitchOption();
            break;
        case IDM_OPEN_GUIDE:
            OpenGuide(window);
            break;
        case IDM_ABOUT:
            RunAboutBox(window);
            break;
        case IDM_EXPORT_CMX:
        case IDM_EXPORT_EVENTS:
        case IDM_EXPORT_PULL:
        case IDM_CMX_RATE_30:
        case IDM_CMX_RATE_30_DROP:
        case IDM_CMX_RATE_25:
        case IDM_CMX_RATE_24:
            ApplyExportSetting(LOWORD(wParam));
            break;
        case IDC_EXPORT_CMX:
            SwitchExport();
            break;
        case IDC_CMX_RATE:
            // The rate also tells when it is enabled or disabled; only a click chooses.
            if (HIWORD(wParam) == STN_CLICKED) {
                ChooseRate(window);
            }
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
    ExportMenu exportMenu = ExportMenuFor(shell.exportSettings);
    CheckItem(shell.menu, IDM_EXPORT_CMX, exportMenu.exportChecked);
    CheckItem(shell.menu, IDM_EXPORT_EVENTS, exportMenu.eventsChecked);
    CheckItem(shell.menu, IDM_EXPORT_PULL, exportMenu.pullChecked);
    ShowRateChoices(shell.menu);
}
