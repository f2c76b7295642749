// The main window (Windows): its window procedure, its set-up from template IDD_MAIN and its
// shutdown.
#pragma once

#include <windows.h>

// The class procedure of "_GUI". Handles its messages itself and sends every other one to
// DefWindowProcW: the dialog manager's default processing is not used.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows `count` in the file count label, "ファイル参照数:<count>".
void ShowFileCount(int count);
