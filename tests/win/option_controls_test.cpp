// The CMX 3600 export's check box and its rate below the list mirror the menu both ways, the
// tables' menu items take the rate too, and every change is stored at once, while the window is
// still open.
#include <thread>

#include "main_window_fixture.h"

namespace {

std::wstring ResourceText(UINT id) {
    wchar_t text[128] = {};
    LoadStringW(GetModuleHandleW(nullptr), id, text, 128);
    return text;
}

// The stored export settings: the export on, rate, drop frame, the event table and the pull list
// on; -1 for a value not there.
std::vector<long> StoredExportValues() {
    std::vector<long> values;
    for (const wchar_t* name :
         {L"CmxExport", L"CmxFrameRate", L"CmxDropFrame", L"EventTable", L"PullList"}) {
        DWORD value = 0;
        DWORD size = sizeof value;
        bool read = RegGetValueW(HKEY_CURRENT_USER, L"Software\\tamsel\\data\\Position", name,
                                 RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS;
        values.push_back(read ? static_cast<long>(value) : -1);
    }
    return values;
}

// The fixture opens the window with no settings stored: the export off, at 30 non-drop.
using OptionControlsTest = MainWindowFixture;

TEST_F(OptionControlsTest, TheExportsCheckBoxAndRateMirrorTheMenuAndAreStoredAtOnce) {
    HWND check = GetDlgItem(window, IDC_EXPORT_CMX);
    HWND rate = GetDlgItem(window, IDC_CMX_RATE);
    HMENU menu = GetMenu(window);
    EXPECT_EQ((std::vector<long>{-1, -1, -1, -1, -1}), StoredExportValues());
    struct Step {
        WORD command;  // a menu command, or the check box's id for a click on it
        bool on;
        bool rateEnabled;  // while any list is on
        UINT rateText;
        std::vector<long> stored;
    } steps[] = {
        {IDM_EXPORT_CMX, true, true, IDS_CMX_RATE_30, {1, 30, 0, 0, 0}},
        {IDM_CMX_RATE_30_DROP, true, true, IDS_CMX_RATE_30_DROP, {1, 30, 1, 0, 0}},
        {IDM_CMX_RATE_25, true, true, IDS_CMX_RATE_25, {1, 25, 0, 0, 0}},
        {IDC_EXPORT_CMX, false, false, IDS_CMX_RATE_25, {0, 25, 0, 0, 0}},
        {IDM_EXPORT_PULL, false, true, IDS_CMX_RATE_25, {0, 25, 0, 0, 1}},
        {IDM_EXPORT_EVENTS, false, true, IDS_CMX_RATE_25, {0, 25, 0, 1, 1}},
        {IDM_EXPORT_PULL, false, true, IDS_CMX_RATE_25, {0, 25, 0, 1, 0}},
        {IDC_EXPORT_CMX, true, true, IDS_CMX_RATE_25, {1, 25, 0, 1, 0}},
        {IDM_CMX_RATE_24, true, true, IDS_CMX_RATE_24, {1, 24, 0, 1, 0}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.command);
        SetFocus(GetDlgItem(window, IDC_CHOOSE_OUTPUT_FOLDER));
        if (step.command == IDC_EXPORT_CMX) {
            SendMessageW(check, BM_CLICK, 0, 0);
            EXPECT_EQ(list, GetFocus());
        } else {
            Command(step.command);
        }
        EXPECT_EQ(step.on ? BST_CHECKED : BST_UNCHECKED, SendMessageW(check, BM_GETCHECK, 0, 0));
        EXPECT_EQ(ResourceText(step.rateText), WindowText(rate));
        EXPECT_EQ(step.rateEnabled, IsWindowEnabled(rate) != FALSE) << "greyed while no list is on";
        SendMessageW(window, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
        EXPECT_EQ(step.on, (GetMenuState(menu, IDM_EXPORT_CMX, MF_BYCOMMAND) & MF_CHECKED) != 0);
        EXPECT_EQ(step.stored[3] == 1,
                  (GetMenuState(menu, IDM_EXPORT_EVENTS, MF_BYCOMMAND) & MF_CHECKED) != 0);
        EXPECT_EQ(step.stored[4] == 1,
                  (GetMenuState(menu, IDM_EXPORT_PULL, MF_BYCOMMAND) & MF_CHECKED) != 0);
        EXPECT_EQ(step.rateEnabled,
                  (GetMenuState(menu, IDM_CMX_RATE_24, MF_BYCOMMAND) & MF_GRAYED) == 0);
        EXPECT_EQ(step.stored, StoredExportValues()) << "stored as soon as it changed";
    }
    EXPECT_EQ(0u, shell.options) << "the other option is left alone";
}

TEST_F(OptionControlsTest, AClickOnTheRateOffersTheFourRates) {
    Command(IDM_EXPORT_CMX);
    std::vector<UINT> items;
    // A helper reads the menu the click opens and chooses its last rate from the keyboard.
    std::thread helper([&items] {
        HWND popup = WaitForPopupMenu();
        if (popup == nullptr) {
            return;
        }
        auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (int item = 0; item < GetMenuItemCount(menu); ++item) {
            items.push_back(GetMenuItemID(menu, item));
            PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
        }
        PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
    });
    HWND rate = GetDlgItem(window, IDC_CMX_RATE);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_CMX_RATE, STN_CLICKED),
                 reinterpret_cast<LPARAM>(rate));
    helper.join();
    EXPECT_EQ((std::vector<UINT>{IDM_CMX_RATE_30, IDM_CMX_RATE_30_DROP, IDM_CMX_RATE_25,
                                 IDM_CMX_RATE_24}),
              items);
    EXPECT_EQ(ResourceText(IDS_CMX_RATE_24), WindowText(rate));
    EXPECT_EQ((std::vector<long>{1, 24, 0, 0, 0}), StoredExportValues());
}

}  // namespace
