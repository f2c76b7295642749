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
