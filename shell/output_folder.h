// Choosing the output folder (Windows): the one folder every converted file is written to,
// held in the job record's `outputFolder`, empty or a folder path that ends with "\".
#pragma once

#include <windows.h>

#include <commctrl.h>

// Lets the user choose the output folder in the shell's folder browser, which opens on the
// current one. A choice replaces the output folder and is shown in its edit control; a cancel,
// or a choice without a file-system path, changes nothing. The keyboard focus is left alone.
void ChooseOutputFolder(HWND window);

// Enables the open-folder button when there is an output folder and no job runs, and has the
// output folder's tooltip show the folder it holds now.
void ShowOutputFolderState();

// A tooltip over the output folder's field shows the whole folder, which the field may cut.
void SetUpOutputFolderTip(HWND window);

// TTN_GETDISPINFOW from that tooltip: its text is asked for each time it shows, so it follows
// the folder.
void OnOutputFolderTipText(NMTTDISPINFOW* tip);
