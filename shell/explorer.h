// Opening what a job wrote (Windows): the output folder in Explorer, a file with the program it
// is associated with, a file shown selected in its folder. The calls into the shell go through
// `shellActions`, so that the tests can put their own in place and open nothing on screen.
#pragma once

#include <windows.h>

struct ShellActions {
    // ShellExecuteW with the verb, file and parameters: a value above 32 when it worked, else
    // its error (SE_ERR_NOASSOC when no program is associated with the file).
    INT_PTR(*execute)
    (HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters);
    // Opens the folder of `path` in Explorer with `path` selected.
    HRESULT (*showSelected)(const wchar_t* path);
};

// The system's own, as the program starts with.
extern const ShellActions SYSTEM_SHELL_ACTIONS;
extern ShellActions shellActions;

// Opens the output folder in Explorer: with the last file the last job wrote selected, when it
// wrote into this folder, else the folder itself. Says so when it cannot be opened.
void OpenOutputFolder(HWND window);

// Opens `path` with the program associated with its type; false when none started. Says
// nothing.
bool OpenWithSystem(HWND window, const wchar_t* path);

// Opens `path` with the program associated with its type, or with Notepad when there is none.
// Says so when neither can open it.
void OpenWithProgram(HWND window, const wchar_t* path);

// Shows `path` selected in its folder. Says so when it cannot.
void ShowInFolder(HWND window, const wchar_t* path);
