// The output folder: the one folder every converted file is written to, held in the job
// record's `outputFolder`. It is empty or a folder path that ends with "\".
#pragma once

#include <cstddef>

// Puts `path` into `outputFolder` with a "\" after it, unless it already ends with one (a drive
// root such as "C:\" keeps its single one); an empty path stays empty. False, with the output
// folder unchanged, when it does not fit `capacity`.
bool SetOutputFolder(char16_t* outputFolder, size_t capacity, const char16_t* path);

#ifdef _WIN32
#include <windows.h>

// Lets the user choose the output folder in the shell's folder browser, which opens on the
// current one. A choice replaces the output folder and is shown in its edit control; a cancel,
// or a choice without a file-system path, changes nothing. The keyboard focus is left alone.
void ChooseOutputFolder(HWND window);
#endif
