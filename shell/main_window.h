// The main window (Windows): its window procedure, which hands each message to its handler,
// its set-up from template IDD_MAIN and its shutdown. The file list, adding files, the commands
// and the output folder have their own files.
#pragma once

#include <windows.h>

// The class procedure of "_GUI". Handles its messages itself and sends every other one to
// DefWindowProcW: the dialog manager's default processing is not used.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Places the main window at `left`, `top` in its one size, 515 x 335 at 96 dots per inch and
// scaled with the display it is on, and shows it.
void PlaceMainWindowAt(HWND window, int left, int top);

// The dots per inch of the display the window is on.
int WindowDpi(HWND window);

// Places the window's controls in its client area, from what their texts need in the window's
// font on its display (main_layout.cpp), and fits the list's columns.
void LayOutControls(HWND window);

// Enables the open-folder button when there is an output folder and no job runs, and gives
// the output folder's tooltip its text.
void ShowOutputFolderState();
