// The application shell (Windows): its process-wide state, the one job record, and the
// start-up of the program in its order. The main window itself is in main_window.h.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "conversion_job.h"
#include "export_settings.h"
#include "file_list_rules.h"

constexpr size_t SHELL_TEXT_CHARS = 100;

// One running copy per logon session: the name carries no namespace prefix.
constexpr wchar_t SINGLE_INSTANCE_MUTEX[] = L"_NettleWarden_";

// Exit codes of the program.
constexpr int EXIT_NO_MAIN_WINDOW = 0;
constexpr int EXIT_ALREADY_RUNNING = 1;

// What the shell keeps for the life of the process.
struct ShellState {
    HINSTANCE instance;
    wchar_t title[SHELL_TEXT_CHARS];      // string IDS_APP_TITLE
    wchar_t className[SHELL_TEXT_CHARS];  // string IDS_WINDOW_CLASS, "_GUI"
    HWND mainWindow;
    HMENU menu;
    HWND fileList;
    HWND outputFolderEdit;
    HWND fileCountLabel;
    HWND chooseFolderButton;
    HWND convertButton;
    HWND removeButton;
    HWND selectAllButton;
    HWND toggleButton;
    HWND openFolderButton;
    HWND optionCheck;       // the check box that shows and switches the conversion option
    HWND exportCheck;       // the check box that shows and switches the CMX 3600 export
    HWND rateLabel;         // the export's frame rate
    HWND folderTip;         // the tooltip that shows the whole output folder
    HIMAGELIST smallIcons;  // the file list's small icons
    int fileImage;          // the icon of the first file added, shown by every row; -1 before
    int convertedImage;     // the icons of a converted row and of a failed one
    int failedImage;
    // The main window's own state, set afresh when it is set up.
    int targetCount;                        // convert targets, as last counted
    int sortDirections[FILE_LIST_COLUMNS];  // a SORT_DIRECTION_ value per column
    int toggleState;                        // 1: the last Toggle ticked the selected rows
    uint32_t options;                       // the option word, copied into each job
    ExportSettings exportSettings;          // the CMX 3600 export, kept between runs
    // Rows are changed as one batch (files added, a job's results shown): the list's change
    // notifications leave the counts and the buttons to the batch's end.
    bool changingRows;
    bool jobRunning;  // the progress dialog is open
    // The output folder of the last job, where its converted rows' files are, and the last
    // file it wrote (empty when it wrote none).
    char16_t resultFolder[JOB_PATH_CHARS];
    char16_t lastOutput[JOB_PATH_CHARS];
};

extern ShellState shell;

// The one job record of the process. It lives as long as the program and is never cleared as
// a whole: it also holds the output folder, which the shell sets.
extern ConversionJob conversionJob;

// Loads the title and the window class name.
void LoadShellTexts(HINSTANCE instance);

// Registers the main window's class "_GUI". False when it could not be registered (it may
// already be, in the same process).
bool RegisterMainWindowClass(HINSTANCE instance);

// Takes the single-instance lock for the rest of the process. When another copy of the program
// holds it, tells the user so and gives false.
bool TakeSingleInstanceLock();

// Creates the main window from its template (the window procedure sets it up), registers it as
// a drop target and draws it. Null when it cannot be created.
HWND CreateMainWindow(HINSTANCE instance);

// Runs the message loop, keyboard accelerators first for the main window, until the quit
// message; returns its exit code.
int RunMessageLoop(HWND mainWindow);

// The whole program: start-up, message loop, the exit code.
int RunTamsel(HINSTANCE instance);
