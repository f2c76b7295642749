// What a row of the file list offers (Windows): its menu, opened by a right click or the menu
// key, and its double click, which opens what the last job wrote for it.
#pragma once

#include <windows.h>

#include <commctrl.h>

// The menu of the row at the screen point x, y (both -1: of the focused row, from the
// keyboard): open what the last job wrote for it (the converted file, its CMX export), show the
// converted file in its folder, open the source, show it in its folder, remove the row.
void ShowRowMenu(HWND window, int x, int y);

// Carries out a command of a row's menu (IDM_OPEN_OUTPUT, IDM_OPEN_EXPORT,
// IDM_SHOW_OUTPUT_IN_FOLDER, IDM_OPEN_SOURCE, IDM_SHOW_IN_FOLDER, IDM_REMOVE) for row `row`.
void RunRowCommand(HWND window, int row, int command);

// NM_DBLCLK from the list: a double click on a row opens the file the last job converted it to.
void OnRowDoubleClick(HWND window, const NMITEMACTIVATE* click);
