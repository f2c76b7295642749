// The main window (Windows): its window procedure, which hands each message to its handler,
// its set-up from template IDD_MAIN and its shutdown. What the handlers do lives with what they
// act on: the file list, adding files, a job, a row's menu, the commands, the output folder,
// the conversion settings and the layout.
#pragma once

#include <windows.h>

// The class procedure of "_GUI". Handles its messages itself and sends every other one to
// DefWindowProcW: the dialog manager's default processing is not used.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
