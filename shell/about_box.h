// The about box (Windows): the program's name, version, author and contact address.
#pragma once

#include <windows.h>

// The dialog procedure of template IDD_ABOUT. It closes with its button or Enter (IDOK) and
// with Esc (IDCANCEL).
INT_PTR CALLBACK AboutBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the about box modally, owned by `owner`. Returns the id it closed with.
INT_PTR RunAboutBox(HWND owner);
