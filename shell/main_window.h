// The main window (Windows): its window procedure, which hands each message to its handler,
// its set-up from template IDD_MAIN and its shutdown. The file list, adding files, the commands
// and the output folder have their own files.
#pragma once

#include <windows.h>

// The class procedure of "_GUI". Handles its messages itself and sends every other one to
// DefWindowProcW: the dialog manager's default processing is not used.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
