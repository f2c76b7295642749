#include "option_controls.h"

#include "menu_rules.h"
#include "shell.h"

void SwitchOption() {
    shell.options = SwitchDeleteInternalData(shell.options);
    ShowOption();
    SetFocus(shell.fileList);
}

void ShowOption() {
    bool on = MenuEnablingFromCounts(0, 0, 0, shell.options).optionChecked;
    SendMessageW(shell.optionCheck, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}
