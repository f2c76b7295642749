// The main window's place and the places of its controls (Windows). The window keeps one size,
// 515 x 335 at 96 dots per inch and scaled with the display it is on; its controls are placed
// from what their texts need in the window's font (layout_rules.h).
#pragma once

#include <windows.h>

// Places the main window at `left`, `top` in its one size, and shows it.
void PlaceMainWindowAt(HWND window, int left, int top);

// The dots per inch of the display the window is on.
int WindowDpi(HWND window);

// Places the window's controls in its client area, from what their texts need in the window's
// font on its display, and fits the list's columns.
void LayOutControls(HWND window);
