// The main window's commands (Windows): the menu, its accelerators and the buttons, and the
// menu's enabling each time it opens.
#pragma once

#include <windows.h>

// WM_COMMAND: a menu item or accelerator (ids 104, 105, 32789 to 32890) or a button of the
// window (1119 to 1123, 1140) or its check box (1141). Other ids are ignored.
void OnCommand(HWND window, WPARAM wParam, LPARAM lParam);

// WM_INITMENU, sent when the menu bar opens and before an accelerator of a menu item is carried
// out: greys what the list's counts do not allow, so that its accelerator does nothing either,
// and checks the conversion option when it is on.
void OnInitMenu(HWND window);

// Shows the conversion option in its check box.
void ShowOption();
