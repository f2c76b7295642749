// The main window's menu: which items are enabled for the list's counts, the check mark of the
// conversion option, and switching that option. Items not named here are never greyed.
#pragma once

#include <cstdint>

struct MenuEnabling {
    bool selectAll;      // needs a row
    bool remove;         // needs a selected row
    bool toggle;         // needs a selected row
    bool convert;        // needs a row and a convert target
    bool optionChecked;  // the option to delete internal data description lines is on
};

MenuEnabling MenuEnablingFromCounts(int itemCount, int targetCount, int selectedCount,
                                    uint32_t options);

// Turns the option to delete internal data description lines on when it is off, and off when it
// is on; every other bit of the option word is left as it is.
uint32_t SwitchDeleteInternalData(uint32_t options);

// The output folder can be opened when there is one and no job runs.
bool CanOpenOutputFolder(bool jobRunning, const char16_t* outputFolder);

// The menu of a row of the list (its right click): its output opens only when the last job
// converted it; its source, its folder and removing it are always there.
struct RowMenuEnabling {
    bool openOutput;
    bool openSource;
    bool showInFolder;
    bool remove;
};
RowMenuEnabling RowMenuFor(int32_t rowResult);
