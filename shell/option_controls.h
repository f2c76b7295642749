// The conversion settings as the main window shows them below its list (Windows): the check box
// of the option to delete internal data description lines, switched also by its menu item and
// Ctrl+C.
#pragma once

// Switches the option; the check box shows the new state at once, the menu's check mark the
// next time the menu opens. The keyboard focus goes to the list.
void SwitchOption();

// Shows the option in its check box.
void ShowOption();
