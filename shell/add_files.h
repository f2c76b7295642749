// Adding files to the main window's list (Windows): dropped onto the window (files, or folders
// whose EDL files are taken), or chosen in the open dialog. Each accepted file becomes a row at
// the end of the list, ticked as a convert target; a file already listed is simply there. The
// files refused are named once the rest are added: in their own warning box when only one
// was, else listed in one box.
#pragma once

#include <windows.h>

#include <shellapi.h>

// At most this many files in one drop.
constexpr UINT DROP_LIMIT = 256;
// Room for the open dialog's result: one full path, or a folder and the chosen names.
constexpr DWORD OPEN_RESULT_CHARS = 65536;

// WM_DROPFILES: adds the dropped files and folders in their order. Releases the drop.
void OnDropFiles(HWND window, HDROP drop);

// The open dialog: adds the chosen files in the order the dialog gives them.
void OpenFilesDialog(HWND window);

// The open dialog ended without a result (`error`: CommDlgExtendedError). A cancel says
// nothing; a selection too large for the result is not silently dropped.
void OnOpenDialogFailed(HWND window, DWORD error);
