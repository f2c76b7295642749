// The main window's commands (Windows): the menu, its accelerators, the buttons and the check
// box, and the menu's enabling each time it opens.
#pragma once

#include <windows.h>

// WM_COMMAND: a command of the main menu or its accelerators (IDM_ in resource.h), or a
// button or check box of the window (IDC_). Other ids are ignored.
void OnCommand(HWND window, WPARAM wParam);

// WM_INITMENU, sent when the menu bar opens and before an accelerator of a menu item is carried
// out: greys what the list's counts do not allow, so that its accelerator does nothing either,
// and checks the conversion settings that are on.
void OnInitMenu(HWND window);
