#include "option_controls.h"

#include "export_settings.h"
#include "menu_rules.h"
#include "message_box.h"
#include "resource.h"
#include "shell.h"

namespace {

constexpr size_t RATE_TEXT_CHARS = 64;

// The popup of the main menu that holds the rates: the one whose first item is the first rate.
HMENU FindRateMenu(HMENU menu) {
    for (int k = 0; k < GetMenuItemCount(menu); ++k) {
        HMENU popup = GetSubMenu(menu, k);
        if (popup == nullptr) {
            continue;
        }
        if (GetMenuItemID(popup, 0) == IDM_CMX_RATE_30) {
            return popup;
        }
        HMENU found = FindRateMenu(popup);
        if (found != nullptr) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace

void SwitchOption() {
    shell.options = SwitchDeleteInternalData(shell.options);
    ShowOption();
    SetFocus(shell.fileList);
}

void ShowOption() {
    bool on = MenuEnablingFromCounts(0, 0, 0, shell.options).optionChecked;
    SendMessageW(shell.optionCheck, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Stored at once: a crash of the program, or of the system, does not lose a choice.
void ApplyExportSetting(unsigned command) {
    shell.exportSettings = ApplyExportCommand(shell.exportSettings, command);
    StoreExportSettings(shell.exportSettings);
    ShowExportSettings();
}

void SwitchExport() {
    ApplyExportSetting(IDM_EXPORT_CMX);
    SetFocus(shell.fileList);
}

void ChooseRate(HWND window) {
    HMENU rates = FindRateMenu(shell.menu);
    RECT label{};
    if (rates == nullptr || !AnyListExported(shell.exportSettings) ||
        !GetWindowRect(shell.rateLabel, &label)) {
        return;
    }
    ShowRateChoices(rates);
    auto command = static_cast<unsigned>(
        TrackPopupMenu(rates, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY,
                       label.left, label.bottom, 0, window, nullptr));
    if (command != 0) {
        ApplyExportSetting(command);
    }
}

void ShowExportSettings() {
    bool on = shell.exportSettings.exportCmx;
    SendMessageW(shell.exportCheck, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    wchar_t rate[RATE_TEXT_CHARS];
    LoadResourceText(RateTextId(shell.exportSettings), rate, RATE_TEXT_CHARS);
    SetWindowTextW(shell.rateLabel, rate);
    // The rate is the tables' too: it is chosen while any list is on.
    EnableWindow(shell.rateLabel, AnyListExported(shell.exportSettings) ? TRUE : FALSE);
}

void ShowRateChoices(HMENU menu) {
    ExportMenu shown = ExportMenuFor(shell.exportSettings);
    CheckMenuRadioItem(menu, IDM_CMX_RATE_30, IDM_CMX_RATE_24, shown.checkedRate, MF_BYCOMMAND);
    for (UINT rate = IDM_CMX_RATE_30; rate <= IDM_CMX_RATE_24; ++rate) {
        EnableMenuItem(menu, rate, MF_BYCOMMAND | (shown.ratesEnabled ? MF_ENABLED : MF_GRAYED));
    }
}
