#include "menu_rules.h"

#include "conversion_options.h"
#include "job_result.h"

MenuEnabling MenuEnablingFromCounts(int itemCount, int targetCount, int selectedCount,
                                    uint32_t options) {
    MenuEnabling menu{};
    menu.selectAll = itemCount != 0;
    menu.remove = selectedCount != 0;
    menu.toggle = selectedCount != 0;
    menu.convert = itemCount != 0 && targetCount != 0;
    menu.optionChecked = (options & OPTION_DELETE_INTERNAL_DATA) != 0;
    return menu;
}

uint32_t SwitchDeleteInternalData(uint32_t options) {
    return options ^ OPTION_DELETE_INTERNAL_DATA;
}

bool CanOpenOutputFolder(bool jobRunning, const char16_t* outputFolder) {
    return !jobRunning && outputFolder[0] != 0;
}

bool OutputWritten(int32_t rowOutcome) {
    return rowOutcome == FILE_CONVERTED || rowOutcome == FILE_CMX_WRITE_FAILED;
}

RowMenuEnabling RowMenuFor(int32_t rowOutcome, bool exported, bool outputExists,
                           bool exportExists) {
    bool outputWritten = OutputWritten(rowOutcome);
    bool exportWritten = rowOutcome == FILE_CONVERTED && exported;
    RowMenuEnabling menu{};
    menu.openOutput = outputWritten && outputExists;
    menu.openExport = exportWritten && exportExists;
    menu.showOutputInFolder = menu.openOutput;
    menu.openSource = true;
    menu.showInFolder = true;
    menu.remove = true;
    return menu;
}
