// What the window opens after a job: the output folder (its button, its menu item), a converted
// row's output on a double click, and a row's menu. The calls into the shell are recorded by
// stubs in place of the system's, so that nothing opens on the screen.
#include <thread>

#include "explorer.h"
#include "file_list.h"
#include "main_window_fixture.h"
#include "row_menu.h"

namespace {

struct ShellCall {
    std::wstring action;  // the verb, or "select" for a file shown selected in its folder
    std::wstring file;
    std::wstring parameters;

    bool operator==(const ShellCall& other) const {
        return action == other.action && file == other.file && parameters == other.parameters;
    }
};

std::string Describe(const std::vector<ShellCall>& calls) {
    std::string text;
    for (const ShellCall& call : calls) {
        text +=
            "  " + Utf8(call.action) + " " + Utf8(call.file) + " " + Utf8(call.parameters) + "\n";
    }
    return text;
}

// What the stubs were asked, and what they answer: each execute takes the next of
// `executeResults` (42, a started program, when there are no more).
struct ShellStub {
    std::vector<ShellCall> calls;
    std::vector<INT_PTR> executeResults;
    HRESULT selectResult;
};
ShellStub stub;

INT_PTR StubExecute(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters) {
    stub.calls.push_back({verb, file, parameters != nullptr ? parameters : L""});
    if (stub.executeResults.empty()) {
        return 42;
    }
    INT_PTR result = stub.executeResults.front();
    stub.executeResults.erase(stub.executeResults.begin());
    return result;
}

HRESULT StubShowSelected(const wchar_t* path) {
    stub.calls.push_back({L"select", path, L""});
    return stub.selectResult;
}

class ExplorerTest : public MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        stub = ShellStub{};
        stub.selectResult = S_OK;
        shellActions = ShellActions{StubExecute, StubShowSelected};
        output = NewFolder();
        std::u16string text(output.begin(), output.end());
        std::copy(text.c_str(), text.c_str() + text.size() + 1, conversionJob.outputFolder);
    }

    void TearDown() override {
        shellActions = SYSTEM_SHELL_ACTIONS;
        MainWindowFixture::TearDown();
    }

    // Drops a converted list, a CMX list and another converted list, and converts them.
    void ConvertThree() {
        std::vector<std::wstring> paths = {AddSample(folder, L"A.EDL"), folder + L"CMX.EDL",
                                           AddSample(folder, L"B.EDL")};
        WriteBytes(paths[1], CmxEdl());
        ASSERT_TRUE(Boxes(Drop(paths)).empty());
        std::vector<SpyEvent> boxes = Boxes(Command(IDC_CONVERT));
        ASSERT_EQ(2u, boxes.size()) << ::Describe(boxes);
        ASSERT_EQ((std::vector<std::wstring>{L"変換済み", L"対象外 (CMX 形式の EDL)", L"変換済み"}),
                  Results());
        stub.calls.clear();
    }

    void DropNamed(const std::vector<std::wstring>& names) {
        std::vector<std::wstring> paths;
        for (const std::wstring& name : names) {
            paths.push_back(AddSample(folder, name));
        }
        ASSERT_TRUE(Boxes(Drop(paths)).empty());
    }

    std::vector<std::wstring> Results() {
        std::vector<std::wstring> results;
        for (const ListRow& row : Rows()) {
            results.push_back(row.result);
        }
        return results;
    }

    std::wstring output;
};

// --- The output folder ----------------------------------------------------------------------

TEST_F(ExplorerTest, WithoutAJobTheOutputFolderOpensAsItIs) {
    ASSERT_TRUE(Enabled(IDC_OPEN_OUTPUT_FOLDER));
    EXPECT_TRUE(Boxes(Command(IDC_OPEN_OUTPUT_FOLDER)).empty());
    // The menu item (and its Ctrl+E) open it as the button does.
    EXPECT_TRUE(Boxes(Command(IDM_OPEN_OUTPUT_FOLDER)).empty());
    ShellCall open{L"open", output, L""};
    EXPECT_EQ((std::vector<ShellCall>{open, open}), stub.calls) << Describe(stub.calls);
}

TEST_F(ExplorerTest, AfterAJobTheLastFileItWroteIsSelectedInTheFolder) {
    ConvertThree();
    EXPECT_TRUE(Boxes(Command(IDC_OPEN_OUTPUT_FOLDER)).empty());
    // The CMX list was the last file but wrote nothing: B.EDL was the last written.
    EXPECT_EQ((std::vector<ShellCall>{{L"select", output + L"C_B.EDL", L""}}), stub.calls)
        << Describe(stub.calls);

    // Gone since (or the shell cannot select it): the folder still opens.
    stub.calls.clear();
    stub.selectResult = E_FAIL;
    Command(IDC_OPEN_OUTPUT_FOLDER);
    EXPECT_EQ(
        (std::vector<ShellCall>{{L"select", output + L"C_B.EDL", L""}, {L"open", output, L""}}),
        stub.calls)
        << Describe(stub.calls);

    // Another folder chosen since the job: that folder opens, nothing in it selected.
    stub.calls.clear();
    stub.selectResult = S_OK;
    std::wstring other = NewFolder();
    std::u16string text(other.begin(), other.end());
    std::copy(text.c_str(), text.c_str() + text.size() + 1, conversionJob.outputFolder);
    Command(IDC_OPEN_OUTPUT_FOLDER);
    EXPECT_EQ((std::vector<ShellCall>{{L"open", other, L""}}), stub.calls) << Describe(stub.calls);
}

TEST_F(ExplorerTest, TheOutputFolderCannotBeOpenedWhileAJobRuns) {
    DropNamed({L"A.EDL", L"B.EDL"});
    std::vector<bool> enabledDuringJob;
    StartSpy([&](const SpyEvent& event) {
        if (event.kind == SpyEventKind::FILE_LABEL) {
            enabledDuringJob.push_back(Enabled(IDC_OPEN_OUTPUT_FOLDER));
        }
    });
    SendMessageW(window, WM_COMMAND, IDC_CONVERT, 0);
    StopSpy();
    EXPECT_EQ((std::vector<bool>{false, false}), enabledDuringJob);
    EXPECT_TRUE(Enabled(IDC_OPEN_OUTPUT_FOLDER)) << "back once the job has ended";
}

TEST_F(ExplorerTest, AFolderThatCannotBeOpenedIsSaidSo) {
    stub.executeResults = {SE_ERR_PNF};
    std::vector<SpyEvent> boxes = Boxes(Command(IDC_OPEN_OUTPUT_FOLDER));
    ASSERT_EQ(1u, boxes.size()) << ::Describe(boxes);
    ExpectBox(boxes[0], L"タムセル",
              L"フォルダ: \"" + output + L"\"\n\nこのフォルダを開けませんでした。", MB_ICONWARNING,
              window);
}

// --- A converted row's output ------------------------------------------------------------------

class ConvertedRowTest : public ExplorerTest {
  protected:
    void DoubleClick(int row) {
        NMITEMACTIVATE click{};
        click.hdr.hwndFrom = list;
        click.hdr.idFrom = IDC_FILE_LIST;
        click.hdr.code = NM_DBLCLK;
        click.iItem = row;
        SendMessageW(window, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&click));
    }
};

TEST_F(ConvertedRowTest, ADoubleClickOpensTheOutputOfAConvertedRowOnly) {
    ConvertThree();
    DoubleClick(2);
    EXPECT_EQ((std::vector<ShellCall>{{L"open", output + L"C_B.EDL", L""}}), stub.calls)
        << Describe(stub.calls);
    stub.calls.clear();
    DoubleClick(1);   // the CMX list: nothing was written for it
    DoubleClick(-1);  // below the rows
    ASSERT_TRUE(Boxes(Drop({AddSample(folder, L"NEW.EDL")})).empty());
    DoubleClick(3);  // added after the job
    EXPECT_TRUE(stub.calls.empty()) << Describe(stub.calls);
}

TEST_F(ConvertedRowTest, WithoutAProgramForEdlFilesNotepadOpensTheOutput) {
    ConvertThree();
    stub.executeResults = {SE_ERR_NOASSOC};
    DoubleClick(0);
    std::wstring path = output + L"C_A.EDL";
    EXPECT_EQ((std::vector<ShellCall>{{L"open", path, L""},
                                      {L"open", L"notepad.exe", L"\"" + path + L"\""}}),
              stub.calls)
        << Describe(stub.calls);

    // Neither opens it: the user is told which file.
    stub.calls.clear();
    stub.executeResults = {SE_ERR_NOASSOC, SE_ERR_FNF};
    StartSpy();
    DoubleClick(0);
    std::vector<SpyEvent> boxes = Boxes(StopSpy());
    ASSERT_EQ(1u, boxes.size()) << ::Describe(boxes);
    ExpectBox(boxes[0], L"タムセル",
              L"ファイル: \"" + path + L"\"\n\nこのファイルを開けませんでした。", MB_ICONWARNING,
              window);
}

// --- A row's menu ---------------------------------------------------------------------------

// What the helper thread saw of the row's menu: each command's state, in menu order.
struct RowMenuSeen {
    bool shown;
    std::vector<std::pair<UINT, bool>> items;  // command, enabled
};

class RowMenuTest : public ExplorerTest {
  protected:
    // Opens the menu of `row` as a right click on it does; a helper thread reads the menu and
    // then types `key` into it (a mnemonic, or VK_ESCAPE as a WM_KEYDOWN).
    RowMenuSeen OpenRowMenu(int row, WPARAM key) {
        RowMenuSeen seen{};
        std::thread helper([&seen, key] {
            HWND popup = WaitForPopupMenu();
            if (popup == nullptr) {
                return;
            }
            seen.shown = true;
            auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
            for (int k = 0; k < GetMenuItemCount(menu); ++k) {
                UINT id = GetMenuItemID(menu, k);
                if (id != 0 && id != static_cast<UINT>(-1)) {
                    UINT state = GetMenuState(menu, static_cast<UINT>(k), MF_BYPOSITION);
                    seen.items.push_back({id, (state & (MF_GRAYED | MF_DISABLED)) == 0});
                }
            }
            if (key == VK_ESCAPE) {
                PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
            } else {
                PostMessageW(popup, WM_CHAR, key, 0);
            }
        });
        RECT rect{};
        rect.left = LVIR_LABEL;
        SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&rect));
        POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ClientToScreen(list, &point);
        SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list),
                     MAKELPARAM(point.x, point.y));
        helper.join();
        EXPECT_TRUE(seen.shown) << "the row's menu did not come up";
        return seen;
    }
};

using MenuItems = std::vector<std::pair<UINT, bool>>;

TEST_F(RowMenuTest, AFailedRowsMenuCannotOpenAnOutput) {
    ConvertThree();
    RowMenuSeen seen = OpenRowMenu(1, VK_ESCAPE);
    EXPECT_EQ((MenuItems{{IDM_OPEN_OUTPUT, false},
                         {IDM_OPEN_EXPORT, false},
                         {IDM_SHOW_OUTPUT_IN_FOLDER, false},
                         {IDM_OPEN_SOURCE, true},
                         {IDM_SHOW_IN_FOLDER, true},
                         {IDM_REMOVE, true}}),
              seen.items);
    EXPECT_TRUE(stub.calls.empty()) << Describe(stub.calls);
    EXPECT_EQ(3u, Rows().size()) << "Escape does nothing";
    // The menu is about the row clicked: it is the one selected.
    std::vector<ListRow> rows = Rows();
    EXPECT_TRUE(rows[1].selected);
    EXPECT_FALSE(rows[0].selected || rows[2].selected);
}

TEST_F(RowMenuTest, EachCommandActsOnTheRowClicked) {
    ConvertThree();
    RowMenuSeen seen = OpenRowMenu(2, L'o');
    EXPECT_TRUE(seen.items.size() == 6 && seen.items[0].second) << "a converted row's output";
    OpenRowMenu(2, L's');
    OpenRowMenu(0, L'f');
    EXPECT_EQ((std::vector<ShellCall>{{L"open", output + L"C_B.EDL", L""},
                                      {L"open", folder + L"B.EDL", L""},
                                      {L"select", folder + L"A.EDL", L""}}),
              stub.calls)
        << Describe(stub.calls);

    // Removing: the row clicked goes, as Del would take it.
    OpenRowMenu(1, L'd');
    EXPECT_EQ((std::vector<std::wstring>{L"A.EDL", L"B.EDL"}), Names());
    EXPECT_EQ(L"ファイル参照数:2", Label());
}

TEST_F(RowMenuTest, TheMenuKeyOpensTheFocusedRowsMenu) {
    DropNamed({L"A.EDL", L"B.EDL"});
    LVITEMW item{};
    item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    item.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    std::thread helper([] {
        HWND popup = WaitForPopupMenu();
        if (popup != nullptr) {
            PostMessageW(popup, WM_CHAR, L's', 0);
        }
    });
    SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    helper.join();
    EXPECT_EQ((std::vector<ShellCall>{{L"open", folder + L"B.EDL", L""}}), stub.calls)
        << Describe(stub.calls);
}

// The row menu of a job with the export: the converted file, its export and the converted file
// selected in its folder, each while it is there.
TEST_F(RowMenuTest, WithTheExportTheRowOpensBothFilesWhileTheyAreThere) {
    DropNamed({L"A.EDL"});
    Command(IDM_EXPORT_CMX);
    ASSERT_EQ(1u, Boxes(Command(IDC_CONVERT)).size());
    stub.calls.clear();
    const std::wstring converted = output + L"C_A.EDL";
    const std::wstring exported = output + L"CMX_A.EDL";

    RowMenuSeen seen = OpenRowMenu(0, L'c');
    EXPECT_EQ((MenuItems{{IDM_OPEN_OUTPUT, true},
                         {IDM_OPEN_EXPORT, true},
                         {IDM_SHOW_OUTPUT_IN_FOLDER, true},
                         {IDM_OPEN_SOURCE, true},
                         {IDM_SHOW_IN_FOLDER, true},
                         {IDM_REMOVE, true}}),
              seen.items);
    // "フォルダに表示" has no key of its own: its command as the menu gives it.
    RunRowCommand(window, 0, IDM_SHOW_OUTPUT_IN_FOLDER);
    EXPECT_EQ((std::vector<ShellCall>{{L"open", exported, L""}, {L"select", converted, L""}}),
              stub.calls)
        << Describe(stub.calls);

    // Each file gone since greys what would open it.
    ASSERT_TRUE(DeleteFileW(exported.c_str()));
    seen = OpenRowMenu(0, VK_ESCAPE);
    EXPECT_TRUE(seen.items.size() == 6 && seen.items[0].second && !seen.items[1].second &&
                seen.items[2].second)
        << "without the export";
    ASSERT_TRUE(DeleteFileW(converted.c_str()));
    seen = OpenRowMenu(0, VK_ESCAPE);
    EXPECT_TRUE(seen.items.size() == 6 && !seen.items[0].second && !seen.items[1].second &&
                !seen.items[2].second)
        << "without either";
}

// --- Tips -------------------------------------------------------------------------------------

TEST_F(ExplorerTest, TipsShowTheWholePathOfARowAndTheOutputFolder) {
    DropNamed({L"A_LONG_NAME_OF_A_REEL.EDL"});
    wchar_t text[1024] = L"A_LONG_NAME";
    NMLVGETINFOTIPW tip{};
    tip.hdr.hwndFrom = list;
    tip.hdr.idFrom = IDC_FILE_LIST;
    tip.hdr.code = LVN_GETINFOTIPW;
    tip.pszText = text;
    tip.cchTextMax = 1024;
    tip.iItem = 0;
    SendMessageW(window, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&tip));
    EXPECT_EQ(folder + L"A_LONG_NAME_OF_A_REEL.EDL", std::wstring(text));

    // The output folder's field has a tip of its own, which asks the window for the folder each
    // time it shows.
    ASSERT_NE(nullptr, shell.folderTip);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    ASSERT_TRUE(SendMessageW(shell.folderTip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
    HWND edit = GetDlgItem(window, IDC_OUTPUT_FOLDER);
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(edit), tool.uId);
    EXPECT_NE(0u, tool.uFlags & TTF_IDISHWND);
    NMTTDISPINFOW asked{};
    asked.hdr.hwndFrom = shell.folderTip;
    asked.hdr.idFrom = reinterpret_cast<UINT_PTR>(edit);
    asked.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&asked));
    ASSERT_NE(nullptr, asked.lpszText);
    EXPECT_EQ(output, std::wstring(asked.lpszText));
}

}  // namespace
