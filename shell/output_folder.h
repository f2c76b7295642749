// Choosing the output folder (Windows): the one folder every converted file is written to,
// held in the job record's `outputFolder`, empty or a folder path that ends with "\".
#pragma once

#include <windows.h>

// Lets the user choose the output folder in the shell's folder browser, which opens on the
// current one. A choice replaces the output folder and is shown in its edit control; a cancel,
// or a choice without a file-system path, changes nothing. The keyboard focus is left alone.
void ChooseOutputFolder(HWND window);
