// The conversion settings as the main window shows them below its list (Windows): the check box
// of the option to delete internal data description lines (also its menu item and Ctrl+C), the
// check box of the CMX 3600 export (also its menu item) and the export's frame rate, chosen in
// the menu or by a click on the rate itself. The export's settings are stored as soon as they
// change.
#pragma once

#include <windows.h>

// Switches the option; the check box shows the new state at once, the menu's check mark the
// next time the menu opens. The keyboard focus goes to the list.
void SwitchOption();

// Shows the option in its check box.
void ShowOption();

// Carries out a command of the lists (IDM_EXPORT_CMX, IDM_EXPORT_EVENTS, IDM_EXPORT_PULL,
// IDM_CMX_RATE_30, ..._24, as ApplyExportCommand takes them), stores the settings and shows
// them.
void ApplyExportSetting(unsigned command);

// The export's check box: switches the export as its menu item does. The keyboard focus goes
// to the list.
void SwitchExport();

// A click on the rate: the menu of the rates opens under it.
void ChooseRate(HWND window);

// Shows the export in its check box, and the rate beside it, greyed while every list is off.
void ShowExportSettings();

// Marks the chosen rate among the four in `menu` (the main menu or the rates' own popup), the
// rates greyed while the export is off.
void ShowRateChoices(HMENU menu);
