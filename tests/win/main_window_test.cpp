// The main window as the program creates it: its class, where it opens, what it shows after
// set-up, the message loop, and the position stored when it is destroyed.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "gui_test_util.h"
#include "main_window.h"
#include "resource.h"
#include "shell.h"

namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        registry = TakeRegistrySnapshot();
        instance = PrepareMainWindowClass();
        ASSERT_NE(nullptr, instance);
        conversionJob.outputFolder[0] = 0;
    }

    void TearDown() override {
        StopSpy();
        if (window != nullptr && IsWindow(window)) {
            DestroyWindow(window);
        }
        DrainMessages();
        RestoreRegistrySnapshot(registry);
    }

    void Open() {
        StartSpy();
        window = CreateMainWindow(instance);
        boxes = StopSpy();
        ASSERT_NE(nullptr, window);
    }

    RECT WindowRect() {
        RECT rect{};
        GetWindowRect(window, &rect);
        return rect;
    }

    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    std::vector<SpyEvent> boxes;
    RegistrySnapshot registry{};
};

void ExpectRect(const RECT& rect, int left, int top) {
    EXPECT_EQ(left, rect.left);
    EXPECT_EQ(top, rect.top);
    EXPECT_EQ(515, rect.right - rect.left);
    EXPECT_EQ(335, rect.bottom - rect.top);
}

TEST_F(MainWindowTest, ClassHasItsFields) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    ASSERT_TRUE(GetClassInfoExW(instance, L"_GUI", &windowClass));
    EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS), windowClass.style);
    EXPECT_EQ(0, windowClass.cbClsExtra);
    EXPECT_EQ(DLGWINDOWEXTRA, windowClass.cbWndExtra);
    EXPECT_NE(nullptr, windowClass.hIcon);
    EXPECT_NE(nullptr, windowClass.hIconSm);
    EXPECT_NE(nullptr, windowClass.hCursor);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)),
              windowClass.hbrBackground);
    EXPECT_EQ(MAKEINTRESOURCEW(IDR_MAIN_MENU), windowClass.lpszMenuName);
    EXPECT_EQ(L"文字化けタムセル for SONY BVE-9100 EDL Ver 3.0.1", std::wstring(shell.title));
    EXPECT_EQ(L"_GUI", std::wstring(shell.className));
}

TEST_F(MainWindowTest, OpensAtTheTopLeftWhenNoPositionIsStored) {
    DeleteStoredRecord();
    Open();
    ExpectRect(WindowRect(), 0, 0);
}

TEST_F(MainWindowTest, OpensAtTheStoredPositionAlways515By335) {
    struct Case {
        std::vector<BYTE> record;
        int left, top;
        const char* why;
    } cases[] = {
        {RecordBytes(120, 80, 900, 700), 120, 80, "another size stored"},
        {RecordBytes(-4000, 3000, 515, 335), -4000, 3000, "off the screen, used as stored"},
        {RecordBytes(30, 40, 515, 335), 30, 40, "as stored at exit"},
        {{0x21, 0, 0, 0, 0x22, 0, 0, 0}, 0x21, 0x22, "left and top only"},
        {std::vector<BYTE>(20, 0x11), 0, 0, "longer than a record: not read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        WriteStoredRecord(c.record);
        Open();
        ExpectRect(WindowRect(), c.left, c.top);
        DestroyWindow(window);
        window = nullptr;
        DrainMessages();
    }
}

TEST_F(MainWindowTest, ShowsItsTitleMenuFolderButtonsAndEmptyList) {
    conversionJob.fileCount = 7;
    Open();
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(L"文字化けタムセル for SONY BVE-9100 EDL Ver 3.0.1", WindowText(window));
    wchar_t className[64];
    GetClassNameW(window, className, 64);
    EXPECT_EQ(L"_GUI", std::wstring(className));

    // A fixed frame that accepts dropped files.
    LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(0, style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_NE(0, GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    HMENU menu = GetMenu(window);
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(menu, shell.menu);
    EXPECT_EQ(4, GetMenuItemCount(menu));

    // The desktop, with a trailing backslash, in the output folder and its edit control.
    wchar_t desktop[MAX_PATH];
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop));
    std::wstring expected = std::wstring(desktop) + L"\\";
    EXPECT_EQ(expected, WindowText(GetDlgItem(window, IDC_OUTPUT_FOLDER)));
    EXPECT_EQ(expected, Wide(conversionJob.outputFolder));

    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_CHOOSE_OUTPUT_FOLDER)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_OPEN_OUTPUT_FOLDER)));
    for (int id : {IDC_TOGGLE_TARGET, IDC_SELECT_ALL, IDC_REMOVE, IDC_CONVERT}) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, id))) << "button " << id;
    }
    EXPECT_EQ(L"ファイル参照数:0", WindowText(GetDlgItem(window, IDC_FILE_COUNT)));
    EXPECT_EQ(0, conversionJob.fileCount);

    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    EXPECT_EQ(list, shell.fileList);
    EXPECT_EQ(0, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    DWORD extended = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP |
                                 LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP),
              extended);
    struct Column {
        const wchar_t* text;
        int width;
        int format;
    } columns[] = {{L"EDL File(s)", 180, LVCFMT_CENTER},
                   {L"Update", 103, LVCFMT_CENTER},
                   {L"Location", 270, LVCFMT_LEFT},
                   {L"結果", 80, LVCFMT_LEFT}};
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(4, SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    // The result column is shown second, where it is seen without scrolling.
    int order[4] = {};
    ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNORDERARRAY, 4, reinterpret_cast<LPARAM>(order)));
    EXPECT_EQ((std::vector<int>{0, 3, 1, 2}), std::vector<int>(order, order + 4));
    for (int k = 0; k < 4; ++k) {
        wchar_t text[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(k),
                                 reinterpret_cast<LPARAM>(&column)));
        EXPECT_EQ(std::wstring(columns[k].text), text);
        // At least as wide as at 96 dpi: wider where the texts need it (layout_test.cpp).
        EXPECT_GE(column.cx, columns[k].width) << "column " << k;
        // The system may show the first column left-aligned whatever it was given.
        if (k > 0) {
            EXPECT_EQ(columns[k].format, column.fmt & LVCFMT_JUSTIFYMASK) << "column " << k;
        }
    }

    int width = 0;
    int height = 0;
    ASSERT_NE(nullptr, shell.smallIcons);
    EXPECT_TRUE(ImageList_GetIconSize(shell.smallIcons, &width, &height));
    EXPECT_EQ(16, width);
    EXPECT_EQ(16, height);
}

// The user's desktop folder is set to a drive that does not exist, for one test.
struct MissingDesktop {
    static constexpr const wchar_t* KEY =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    DWORD type = 0;
    std::vector<BYTE> saved;
    bool had = false;

    MissingDesktop() {
        HKEY key = nullptr;
        RegOpenKeyExW(HKEY_CURRENT_USER, KEY, 0, KEY_READ | KEY_SET_VALUE, &key);
        BYTE bytes[2048];
        DWORD size = sizeof bytes;
        had = RegQueryValueExW(key, L"Desktop", nullptr, &type, bytes, &size) == ERROR_SUCCESS;
        saved.assign(bytes, bytes + (had ? size : 0));
        const wchar_t missing[] = L"Q:\\tamsel-missing-desktop";
        RegSetValueExW(key, L"Desktop", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(missing),
                       sizeof missing);
        RegCloseKey(key);
    }
    ~MissingDesktop() {
        HKEY key = nullptr;
        RegOpenKeyExW(HKEY_CURRENT_USER, KEY, 0, KEY_SET_VALUE, &key);
        if (had) {
            RegSetValueExW(key, L"Desktop", 0, type, saved.data(),
                           static_cast<DWORD>(saved.size()));
        } else {
            RegDeleteValueW(key, L"Desktop");
        }
        RegCloseKey(key);
    }
};

TEST_F(MainWindowTest, WarnsWhenTheDesktopCannotBeFound) {
    {
        MissingDesktop missing;
        Open();
    }
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    EXPECT_EQ(L"タムセル", boxes[0].caption);
    EXPECT_EQ(
        L"デフォルトの保存先であるデスクトップの場所が取得できませんでした。\n"
        L"メニューから保存先を設定してください。",
        boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), boxes[0].icon);
    EXPECT_EQ(window, boxes[0].dialog) << "owned by the main window";
    // The output folder stays empty until the user chooses one.
    EXPECT_EQ(u'\0', conversionJob.outputFolder[0]);
    EXPECT_EQ(L"", WindowText(GetDlgItem(window, IDC_OUTPUT_FOLDER)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_OPEN_OUTPUT_FOLDER))) << "nothing to open";
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(MainWindowTest, KeepsAnOutputFolderAlreadyChosen) {
    const char16_t chosen[] = u"D:\\out\\";
    std::copy(chosen, chosen + sizeof chosen / sizeof chosen[0], conversionJob.outputFolder);
    Open();
    EXPECT_EQ(L"D:\\out\\", WindowText(GetDlgItem(window, IDC_OUTPUT_FOLDER)));
}

TEST_F(MainWindowTest, StoresItsPositionWhenDestroyed) {
    DeleteStoredRecord();
    Open();
    // Off the screen: stored and used again as it is, without correction.
    SetWindowPos(window, nullptr, -3000, 2400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    DestroyWindow(window);
    window = nullptr;

    std::vector<BYTE> record;
    ASSERT_TRUE(ReadStoredRecord(&record));
    EXPECT_EQ(RecordBytes(-3000, 2400, 515, 335), record);
    EXPECT_EQ(nullptr, shell.smallIcons);
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, quit.wParam);

    // The next window opens where this one was.
    Open();
    ExpectRect(WindowRect(), -3000, 2400);
}

// The stored values of the export settings, as numbers; -1 for a value that is not there.
std::vector<long> StoredExportValues() {
    std::vector<long> values;
    HKEY key = nullptr;
    bool opened = RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\tamsel\\data\\Position", 0, KEY_READ,
                                &key) == ERROR_SUCCESS;
    for (const wchar_t* name :
         {L"CmxExport", L"CmxFrameRate", L"CmxDropFrame", L"EventTable", L"PullList"}) {
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

TEST_F(MainWindowTest, KeepsTheExportSettingsBesideThePosition) {
    DeleteStoredRecord();
    Open();
    EXPECT_FALSE(shell.exportSettings.exportCmx) << "off until chosen";
    SendMessageW(window, WM_COMMAND, IDM_EXPORT_CMX, 0);
    SendMessageW(window, WM_COMMAND, IDM_CMX_RATE_24, 0);
    SendMessageW(window, WM_COMMAND, IDM_EXPORT_PULL, 0);
    DestroyWindow(window);
    window = nullptr;
    DrainMessages();
    EXPECT_EQ((std::vector<long>{1, 24, 0, 0, 1}), StoredExportValues());
    std::vector<BYTE> record;
    ASSERT_TRUE(ReadStoredRecord(&record));
    EXPECT_EQ(16u, record.size()) << "the position record stays as it was";

    Open();
    EXPECT_TRUE(shell.exportSettings.exportCmx);
    EXPECT_EQ(24, shell.exportSettings.framesPerSecond);
    EXPECT_TRUE(shell.exportSettings.exportPull && !shell.exportSettings.exportEvents);
    SendMessageW(window, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(window)), 0);
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED),
              GetMenuState(GetMenu(window), IDM_CMX_RATE_24, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(0u, GetMenuState(GetMenu(window), IDM_CMX_RATE_30_DROP, MF_BYCOMMAND) & MF_CHECKED)
        << "one rate is marked";
}

// Records what reaches the main window and its file list while the message loop runs.
struct LoopRecord {
    WNDPROC mainProcedure;
    WNDPROC listProcedure;
    std::vector<WORD> commands;
    int keysAtList;
    HWND focusAtCheck;
};
LoopRecord loopRecord;
constexpr UINT WM_TEST_CHECK = WM_APP + 7;

LRESULT CALLBACK RecordingMainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        loopRecord.commands.push_back(LOWORD(wParam));
    } else if (message == WM_TEST_CHECK) {
        loopRecord.focusAtCheck = GetFocus();
    }
    return CallWindowProcW(loopRecord.mainProcedure, window, message, wParam, lParam);
}

LRESULT CALLBACK RecordingListProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        ++loopRecord.keysAtList;
    }
    return CallWindowProcW(loopRecord.listProcedure, window, message, wParam, lParam);
}

TEST_F(MainWindowTest, MessageLoopTranslatesAcceleratorsFirstUntilTheWindowCloses) {
    DeleteStoredRecord();
    Open();
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    loopRecord = LoopRecord{};
    loopRecord.mainProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingMainProcedure)));
    loopRecord.listProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingListProcedure)));
    SetFocus(list);

    // Del, Space and Enter are the window's accelerators, taken before the list sees them;
    // on an empty list their menu items are greyed, so they do nothing at all. Tab moves
    // nothing, as no dialog keyboard handling runs.
    for (WPARAM key : {VK_DELETE, VK_SPACE, VK_RETURN}) {
        PostMessageW(list, WM_KEYDOWN, key, 0);
    }
    PostMessageW(list, WM_KEYDOWN, VK_TAB, 0);
    PostMessageW(window, WM_TEST_CHECK, 0, 0);
    // The close box's way: the default handling destroys the window, which ends the loop.
    PostMessageW(window, WM_CLOSE, 0, 0);
    int exitCode = RunMessageLoop(window);

    EXPECT_EQ(0, exitCode);
    EXPECT_FALSE(IsWindow(window));
    window = nullptr;
    EXPECT_TRUE(loopRecord.commands.empty());
    EXPECT_EQ(1, loopRecord.keysAtList) << "only Tab reaches the list";
    EXPECT_EQ(list, loopRecord.focusAtCheck);
    std::vector<BYTE> record;
    ASSERT_TRUE(ReadStoredRecord(&record));
    EXPECT_EQ(RecordBytes(0, 0, 515, 335), record);
}

}  // namespace
