// The conversion settings below the list: the CMX 3600 export's check box and its rate mirror
// the menu both ways, a click on the rate chooses another, and every change is stored at once,
// while the window is still open.
#include <atomic>
#include <functional>
#include <thread>

#include "main_window_fixture.h"

namespace {

std::wstring ResourceText(UINT id) {
    wchar_t text[128] = {};
    LoadStringW(GetModuleHandleW(nullptr), id, text, 128);
    return text;
}

// The stored values of the export settings, as numbers; -1 for a value that is not there.
std::vector<long> StoredExportValues() {
    std::vector<long> values;
    HKEY key = nullptr;
    bool opened = RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\tamsel\\data\\Position", 0, KEY_READ,
                                &key) == ERROR_SUCCESS;
    for (const wchar_t* name : {L"CmxExport", L"CmxFrameRate", L"CmxDropFrame"}) {
        DWORD value = 0;
        DWORD size = sizeof value;
        bool read =
            opened && RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                       &size) == ERROR_SUCCESS;
        values.push_back(read ? static_cast<long>(value) : -1);
    }
    if (opened) {
        RegCloseKey(key);
    }
    return values;
}

class OptionControlsTest : public MainWindowFixture {
  protected:
    void SetUp() override {
        // No export settings stored: the window opens with the export off at 30 non-drop.
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\tamsel\\data\\Position");
        MainWindowFixture::SetUp();
        exportCheck = GetDlgItem(window, IDC_EXPORT_CMX);
        rate = GetDlgItem(window, IDC_CMX_RATE);
    }

    bool Checked() { return SendMessageW(exportCheck, BM_GETCHECK, 0, 0) == BST_CHECKED; }

    // The menu as it shows when opened: the export's check mark and the marked rate (0: none).
    std::pair<bool, UINT> Menu() {
        SendMessageW(window, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(window)), 0);
        HMENU menu = GetMenu(window);
        UINT marked = 0;
        for (UINT id = IDM_CMX_RATE_30; id <= IDM_CMX_RATE_24; ++id) {
            if ((GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0) {
                EXPECT_EQ(0u, marked) << "two rates marked";
                marked = id;
            }
        }
        bool exported = (GetMenuState(menu, IDM_EXPORT_CMX, MF_BYCOMMAND) & MF_CHECKED) != 0;
        return {exported, marked};
    }

    HWND exportCheck = nullptr;
    HWND rate = nullptr;
};

TEST_F(OptionControlsTest, TheExportsCheckBoxAndRateMirrorTheMenu) {
    EXPECT_EQ(L"CMX 3600 形式でも書き出す", WindowText(exportCheck));
    EXPECT_FALSE(Checked());
    EXPECT_EQ(ResourceText(IDS_CMX_RATE_30), WindowText(rate));
    EXPECT_FALSE(IsWindowEnabled(rate)) << "the rate is greyed while the export is off";

    Command(IDM_EXPORT_CMX);
    EXPECT_TRUE(Checked()) << "the menu item ticks the box";
    EXPECT_TRUE(IsWindowEnabled(rate));
    struct Case {
        WORD command;
        UINT text;
    } cases[] = {{IDM_CMX_RATE_24, IDS_CMX_RATE_24},
                 {IDM_CMX_RATE_30_DROP, IDS_CMX_RATE_30_DROP},
                 {IDM_CMX_RATE_25, IDS_CMX_RATE_25},
                 {IDM_CMX_RATE_30, IDS_CMX_RATE_30}};
    for (const Case& c : cases) {
        Command(c.command);
        EXPECT_EQ(ResourceText(c.text), WindowText(rate)) << c.command;
        EXPECT_EQ(std::make_pair(true, static_cast<UINT>(c.command)), Menu()) << c.command;
    }

    // The box switches the export as the menu item does, and the menu follows.
    SetFocus(GetDlgItem(window, IDC_CHOOSE_OUTPUT_FOLDER));
    SendMessageW(exportCheck, BM_CLICK, 0, 0);
    EXPECT_FALSE(Checked());
    EXPECT_FALSE(IsWindowEnabled(rate));
    EXPECT_FALSE(Menu().first);
    EXPECT_EQ(list, GetFocus());
    SendMessageW(exportCheck, BM_CLICK, 0, 0);
    EXPECT_TRUE(Checked());
    EXPECT_TRUE(Menu().first);
    EXPECT_FALSE(shell.options & 0x2) << "the other option is left alone";
}

TEST_F(OptionControlsTest, EveryChangeIsStoredAtOnce) {
    EXPECT_EQ((std::vector<long>{-1, -1, -1}), StoredExportValues()) << "nothing stored yet";
    struct Step {
        WORD command;  // a menu command, or the check box's id for a click on it
        std::vector<long> stored;
    } steps[] = {
        {IDM_EXPORT_CMX, {1, 30, 0}},  {IDM_CMX_RATE_30_DROP, {1, 30, 1}},
        {IDM_CMX_RATE_25, {1, 25, 0}}, {IDC_EXPORT_CMX, {0, 25, 0}},
        {IDC_EXPORT_CMX, {1, 25, 0}},  {IDM_CMX_RATE_24, {1, 24, 0}},
    };
    for (const Step& step : steps) {
        if (step.command == IDC_EXPORT_CMX) {
            SendMessageW(exportCheck, BM_CLICK, 0, 0);
        } else {
            Command(step.command);
        }
        EXPECT_EQ(step.stored, StoredExportValues()) << "after " << step.command;
    }

    // The next window shows them.
    DestroyWindow(window);
    DrainMessages();
    window = CreateMainWindow(instance);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(BST_CHECKED, SendMessageW(GetDlgItem(window, IDC_EXPORT_CMX), BM_GETCHECK, 0, 0));
    EXPECT_EQ(ResourceText(IDS_CMX_RATE_24), WindowText(GetDlgItem(window, IDC_CMX_RATE)));
}

// The visible menu window of this process, waited for up to five seconds.
HWND WaitForPopupMenu() {
    for (int k = 0; k < 250; ++k) {
        HWND popup = FindWindowW(L"#32768", nullptr);
        if (popup != nullptr && IsWindowVisible(popup)) {
            return popup;
        }
        Sleep(20);
    }
    return nullptr;
}

TEST_F(OptionControlsTest, AClickOnTheRateOffersTheFourRates) {
    Command(IDM_EXPORT_CMX);
    std::vector<std::pair<UINT, UINT>> items;  // command, state
    // A helper reads the menu the click opens and chooses its last rate from the keyboard.
    std::thread helper([&items] {
        HWND popup = WaitForPopupMenu();
        if (popup == nullptr) {
            return;
        }
        auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (int k = 0; k < GetMenuItemCount(menu); ++k) {
            items.push_back(
                {GetMenuItemID(menu, k), GetMenuState(menu, static_cast<UINT>(k), MF_BYPOSITION)});
        }
        for (int k = 0; k < GetMenuItemCount(menu); ++k) {
            PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
        }
        PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
    });
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_CMX_RATE, STN_CLICKED),
                 reinterpret_cast<LPARAM>(rate));
    helper.join();
    ASSERT_EQ(4u, items.size()) << "the rate's menu did not come up with the four rates";
    const UINT commands[] = {IDM_CMX_RATE_30, IDM_CMX_RATE_30_DROP, IDM_CMX_RATE_25,
                             IDM_CMX_RATE_24};
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(commands[k], items[k].first);
        EXPECT_EQ(k == 0, (items[k].second & MF_CHECKED) != 0) << "the rate chosen is marked";
        EXPECT_EQ(0u, items[k].second & MF_GRAYED);
    }
    EXPECT_EQ(ResourceText(IDS_CMX_RATE_24), WindowText(rate));
    EXPECT_EQ((std::vector<long>{1, 24, 0}), StoredExportValues());
}

// Menus that came up while `act` ran, each dismissed at once so that `act` returns.
int MenusShownDuring(const std::function<void()>& act) {
    std::atomic<bool> done{false};
    int shown = 0;
    std::thread watcher([&] {
        while (!done) {
            HWND popup = FindWindowW(L"#32768", nullptr);
            if (popup != nullptr && IsWindowVisible(popup)) {
                ++shown;
                PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
                while (IsWindowVisible(popup) && !done) {
                    Sleep(10);
                }
            }
            Sleep(10);
        }
    });
    act();
    done = true;
    watcher.join();
    return shown;
}

// The rate tells its window when it is enabled or disabled, as it is when the export is
// switched: only a click opens its menu.
TEST_F(OptionControlsTest, SwitchingTheExportOpensNoMenu) {
    int shown = MenusShownDuring([&] {
        Command(IDM_EXPORT_CMX);
        SendMessageW(exportCheck, BM_CLICK, 0, 0);
        SendMessageW(exportCheck, BM_CLICK, 0, 0);
        Command(IDM_CMX_RATE_25);
    });
    EXPECT_EQ(0, shown);
    EXPECT_TRUE(Checked());
}

}  // namespace
