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

// The menu of a row of the list (its right click). What the last job wrote for the row opens,
// or shows in its folder, only when that job wrote it and it is still there: the converted file
// ("C_" + name) when the row was converted, also when only its CMX export failed; the CMX
// export ("CMX_" + name) when the row was converted with the export on. The row's source, its
// folder and removing it are always there.
struct RowMenuEnabling {
    bool openOutput;
    bool openExport;
    bool showOutputInFolder;
    bool openSource;
    bool showInFolder;
    bool remove;
};
// Whether the last job wrote the converted file of a row with this outcome.
bool OutputWritten(int32_t rowOutcome);

// `rowOutcome`: the row's outcome in the last job (a JobResult, or ROW_WITHOUT_RESULT);
// `exported`: that job wrote the export for it; `outputExists`, `exportExists`: those files are
// there now.
RowMenuEnabling RowMenuFor(int32_t rowOutcome, bool exported, bool outputExists, bool exportExists);
