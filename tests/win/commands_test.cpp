// The main window's commands: the menu's enabling and check mark, every accelerator through
// the program's own message loop, the reset of the window position, the output folder chosen
// in the real folder browser, and the about box.
#include <functional>
#include <set>
#include <string>
#include <thread>

#include "about_box.h"
#include "explorer.h"
#include "main_window_fixture.h"

// After windows.h, which it needs.
#include <dlgs.h>

namespace {

class CommandsTest : public MainWindowFixture {
  protected:
    void DropNamed(const std::vector<std::wstring>& names) {
        std::vector<std::wstring> paths;
        for (const std::wstring& name : names) {
            paths.push_back(AddSample(folder, name));
        }
        std::vector<SpyEvent> boxes = Boxes(Drop(paths));
        ASSERT_TRUE(boxes.empty()) << Describe(boxes);
    }

    UINT MenuState(UINT id) {
        return GetMenuState(GetMenu(window), id, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED);
    }

    std::vector<int> StateImages() {
        std::vector<int> images;
        for (const ListRow& row : Rows()) {
            images.push_back(row.stateImage);
        }
        return images;
    }
};

// --- Enabling -------------------------------------------------------------------------------

TEST_F(CommandsTest, OpeningTheMenuGreysWhatTheListDoesNotAllow) {
    struct Expected {
        UINT selectAll, remove, toggle, convert, option;
    };
    auto check = [&](const Expected& expected, const char* why) {
        SCOPED_TRACE(why);
        SendMessageW(window, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(window)), 0);
        EXPECT_EQ(expected.selectAll, MenuState(IDM_SELECT_ALL));
        EXPECT_EQ(expected.remove, MenuState(IDM_REMOVE));
        EXPECT_EQ(expected.toggle, MenuState(IDM_TOGGLE_TARGET));
        EXPECT_EQ(expected.convert, MenuState(IDM_CONVERT));
        EXPECT_EQ(expected.option, MenuState(IDM_DELETE_INTERNAL_DATA));
        for (UINT id :
             {IDM_OPEN_FILES, IDM_CHOOSE_OUTPUT_FOLDER, IDM_EXIT, IDM_RESET_POSITION, IDM_ABOUT}) {
            EXPECT_EQ(0u, MenuState(id)) << "item " << id << " is never greyed";
        }
    };
    const UINT OFF = MF_GRAYED;
    check({OFF, OFF, OFF, OFF, 0}, "empty list");
    DropNamed({L"a.EDL", L"b.EDL"});
    check({0, OFF, OFF, 0, 0}, "rows, none selected");
    SelectOnly({1});
    check({0, 0, 0, 0, 0}, "a row selected");
    SetStateImage(0, 1);
    SetStateImage(1, 1);
    check({0, 0, 0, OFF, 0}, "every row excluded");
    SendMessageW(window, WM_COMMAND, IDM_DELETE_INTERNAL_DATA, 0);
    check({0, 0, 0, OFF, MF_CHECKED}, "the option on");
    SendMessageW(window, WM_COMMAND, IDM_DELETE_INTERNAL_DATA, 0);
    check({0, 0, 0, OFF, 0}, "the option off again");

    // The output folder opens when there is one.
    EXPECT_EQ(0u, MenuState(IDM_OPEN_OUTPUT_FOLDER));
    conversionJob.outputFolder[0] = 0;
    SendMessageW(window, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(window)), 0);
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED), MenuState(IDM_OPEN_OUTPUT_FOLDER));
}

TEST_F(CommandsTest, TheCheckBoxShowsAndSwitchesTheOption) {
    HWND check = GetDlgItem(window, IDC_DELETE_INTERNAL_DATA);
    EXPECT_EQ(L"内部データ記述行を削除", WindowText(check));
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(check, BM_GETCHECK, 0, 0));
    // A click on it switches the option, as the menu item does, and the menu follows.
    SendMessageW(check, BM_CLICK, 0, 0);
    EXPECT_EQ(0x2u, shell.options);
    EXPECT_EQ(BST_CHECKED, SendMessageW(check, BM_GETCHECK, 0, 0));
    SendMessageW(window, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(window)), 0);
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED), MenuState(IDM_DELETE_INTERNAL_DATA));
    EXPECT_EQ(list, GetFocus());
    // The menu item switches it back, and the check box follows at once.
    Command(IDM_DELETE_INTERNAL_DATA);
    EXPECT_EQ(0u, shell.options);
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(check, BM_GETCHECK, 0, 0));
}

TEST_F(CommandsTest, TheOptionSwitchesAndTheFocusGoesToTheList) {
    SetFocus(GetDlgItem(window, IDC_CHOOSE_OUTPUT_FOLDER));
    EXPECT_EQ(0u, shell.options);
    Command(IDM_DELETE_INTERNAL_DATA);
    EXPECT_EQ(0x2u, shell.options);
    EXPECT_EQ(list, GetFocus());
    Command(IDM_DELETE_INTERNAL_DATA);
    EXPECT_EQ(0u, shell.options);
}

TEST_F(CommandsTest, ResetBringsTheWindowToTheTopLeftAtItsSize) {
    SetWindowPos(window, nullptr, 300, 200, 600, 400, SWP_NOZORDER);
    SetFocus(GetDlgItem(window, IDC_CHOOSE_OUTPUT_FOLDER));
    Command(IDM_RESET_POSITION);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);
    EXPECT_EQ(515, rect.right - rect.left);
    EXPECT_EQ(335, rect.bottom - rect.top);
    EXPECT_EQ(list, GetFocus());

    // Stored at exit like any other position.
    DestroyWindow(window);
    window = nullptr;
    std::vector<BYTE> record;
    ASSERT_TRUE(ReadStoredRecord(&record));
    EXPECT_EQ(RecordBytes(0, 0, 515, 335), record);
}

TEST_F(CommandsTest, ExitDestroysTheWindow) {
    Command(IDM_EXIT);
    EXPECT_FALSE(IsWindow(window));
    window = nullptr;
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(CommandsTest, OtherCommandsAreIgnored) {
    DropNamed({L"a.EDL"});
    std::vector<SpyEvent> events = Command(40000);
    EXPECT_TRUE(events.empty()) << Describe(events);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(1u, Rows().size());
}

// --- The about box --------------------------------------------------------------------------

// What a hook saw of the about box when it came up; it then closes the box as told.
struct AboutSeen {
    int shown;
    std::wstring caption;
    std::wstring author;
    std::wstring contact;
    std::function<void(HWND)> close;
};
AboutSeen aboutSeen;

LRESULT CALLBACK WatchAboutBox(int code, WPARAM wParam, LPARAM lParam) {
    auto box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && GetDlgItem(box, IDC_ABOUT_CONTACT) != nullptr) {
        ++aboutSeen.shown;
        aboutSeen.caption = WindowText(box);
        aboutSeen.author = WindowText(GetDlgItem(box, IDC_ABOUT_AUTHOR));
        aboutSeen.contact = WindowText(GetDlgItem(box, IDC_ABOUT_CONTACT));
        aboutSeen.close(box);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(CommandsTest, TheAboutBoxClosesWithItsButtonEnterAndEscape) {
    struct Case {
        const char* how;
        std::function<void(HWND)> close;
        INT_PTR result;
    } cases[] = {
        {"its button", [](HWND box) { PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); }, IDOK},
        {"Enter", [](HWND box) { PostMessageW(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_RETURN, 0); },
         IDOK},
        {"Esc", [](HWND box) { PostMessageW(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); },
         IDCANCEL},
    };
    HHOOK hook = SetWindowsHookExW(WH_CBT, WatchAboutBox, nullptr, GetCurrentThreadId());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        aboutSeen = AboutSeen{};
        aboutSeen.close = c.close;
        EXPECT_EQ(c.result, RunAboutBox(window));
        EXPECT_EQ(1, aboutSeen.shown);
        EXPECT_EQ(L"文字化けタムセルについて", aboutSeen.caption);
        EXPECT_EQ(L"Tamsel Project", aboutSeen.author);
        EXPECT_EQ(L"support@tamsel.example", aboutSeen.contact);
    }
    // The menu's command opens the same box, owned by the main window.
    aboutSeen = AboutSeen{};
    HWND owner = nullptr;
    aboutSeen.close = [&owner](HWND box) {
        owner = GetWindow(box, GW_OWNER);
        PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    };
    Command(IDM_ABOUT);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(1, aboutSeen.shown);
    EXPECT_EQ(window, owner);
}

// --- The output folder ----------------------------------------------------------------------

// The folder browser: a dialog with a tree of folders.
bool IsFolderBrowser(HWND dialog) {
    return FindChildOfClass(dialog, L"SysTreeView32") != nullptr &&
           GetDlgItem(dialog, IDC_PROGRESS_CANCEL) == nullptr;
}

// The texts of a window's children, at any depth.
std::vector<std::wstring> ChildTexts(HWND window) {
    std::vector<std::wstring> texts;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM context) {
            reinterpret_cast<std::vector<std::wstring>*>(context)->push_back(WindowText(child));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

class OutputFolderTest : public CommandsTest {
  protected:
    // Opens the folder browser with `command`; a helper thread waits until the browser has
    // selected the current output folder, then presses OK (or Cancel).
    void Choose(WORD command, bool ok) {
        browserTexts.clear();
        std::thread helper([this, ok] {
            HWND browser = WaitForDialog(IsFolderBrowser);
            if (browser == nullptr) {
                return;
            }
            HWND tree = FindChildOfClass(browser, L"SysTreeView32");
            WaitUntil([tree] { return SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) != 0; });
            browserTexts = ChildTexts(browser);
            PostMessageW(browser, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
        });
        std::vector<SpyEvent> boxes = Boxes(Command(command));
        helper.join();
        EXPECT_TRUE(boxes.empty()) << Describe(boxes);
        EXPECT_FALSE(browserTexts.empty()) << "the folder browser did not come up";
    }

    void UseOutputFolder(const std::wstring& path) {
        std::u16string text(path.begin(), path.end());
        std::copy(text.c_str(), text.c_str() + text.size() + 1, conversionJob.outputFolder);
        SetWindowTextW(GetDlgItem(window, IDC_OUTPUT_FOLDER), L"(before)");
    }

    std::wstring Edit() { return WindowText(GetDlgItem(window, IDC_OUTPUT_FOLDER)); }

    std::vector<std::wstring> browserTexts;
};

TEST_F(OutputFolderTest, AnOrdinaryFolderGetsItsBackslash) {
    std::wstring chosen = NewFolder();
    UseOutputFolder(chosen);
    Choose(IDC_CHOOSE_OUTPUT_FOLDER, true);
    EXPECT_EQ(chosen, Wide(conversionJob.outputFolder));
    EXPECT_EQ(chosen, Edit());
    bool titled = false;
    for (const std::wstring& text : browserTexts) {
        titled = titled || text == L"変換したＥＤＬの保存先を選択してください。";
    }
    EXPECT_TRUE(titled) << "the browser's title";
}

TEST_F(OutputFolderTest, ADriveRootKeepsItsSingleBackslash) {
    UseOutputFolder(L"C:\\");
    Choose(IDM_CHOOSE_OUTPUT_FOLDER, true);
    EXPECT_EQ(L"C:\\", Wide(conversionJob.outputFolder));
    EXPECT_EQ(L"C:\\", Edit());
}

TEST_F(OutputFolderTest, CancelChangesNothing) {
    std::wstring chosen = NewFolder();
    UseOutputFolder(chosen);
    Choose(IDM_CHOOSE_OUTPUT_FOLDER, false);
    EXPECT_EQ(chosen, Wide(conversionJob.outputFolder));
    EXPECT_EQ(L"(before)", Edit());
}

// --- Every accelerator through the program's message loop -----------------------------------

// The test runs the program's own message loop on a script of steps. Each step checks what the
// previous key did and posts the next key to the focused list, with the key state it needs;
// the step message after it comes only once the key has been handled. While a modal window is
// up (a dialog the key opened) the step closes it the way a user would and comes back later.
constexpr UINT WM_TEST_STEP = WM_APP + 20;
constexpr UINT_PTR TEST_TIMER = 20;

struct LoopScript {
    HWND window;
    HWND list;
    WNDPROC mainProcedure;
    std::vector<std::function<void()>> steps;
    size_t next;
    std::set<HWND> handled;
    std::vector<std::string> modals;  // the dialogs the keys opened, in order
};
LoopScript script;

void SetModifiers(bool control, bool alt) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = control ? 0x80 : 0;
    keys[VK_MENU] = keys[VK_LMENU] = alt ? 0x80 : 0;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
    SetKeyboardState(keys);
}

// A key pressed while `target` has the focus.
void PressKeyIn(HWND target, WPARAM key, bool control) {
    SetFocus(target);
    SetModifiers(control, false);
    PostMessageW(target, WM_KEYDOWN, key, 0);
}

// A key pressed while the list has the focus.
void PressKey(WPARAM key, bool control = false, bool alt = false) {
    SetFocus(script.list);
    SetModifiers(control, alt);
    // With Alt held the system sends a "system" key, with the context bit set.
    PostMessageW(script.list, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, alt ? (1 << 29) : 0);
}

BOOL CALLBACK CloseModal(HWND dialog, LPARAM) {
    if (!IsWindowVisible(dialog) || script.handled.count(dialog) != 0) {
        return TRUE;
    }
    SetModifiers(false, false);
    if (GetDlgItem(dialog, IDC_ABOUT_CONTACT) != nullptr) {
        script.modals.push_back("about");
        PostMessageW(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    } else if (GetDlgItem(dialog, cmb13) != nullptr) {
        script.modals.push_back("open");
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    } else if (FindChildOfClass(dialog, L"SysTreeView32") != nullptr) {
        script.modals.push_back("folder");
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
        return TRUE;  // the progress dialog runs its job; the spy answers message boxes
    }
    script.handled.insert(dialog);
    return TRUE;
}

void OnTestStep() {
    if (!IsWindow(script.window)) {
        return;
    }
    if (!IsWindowEnabled(script.window)) {
        // Back when the modal loop is idle: a dialog shows itself only once its queue is empty.
        EnumThreadWindows(GetCurrentThreadId(), CloseModal, 0);
        SetTimer(script.window, TEST_TIMER, 20, nullptr);
        return;
    }
    if (script.next < script.steps.size()) {
        script.steps[script.next++]();
    } else {
        ADD_FAILURE() << "Alt+F4 did not end the program";
        DestroyWindow(script.window);
        return;
    }
    PostMessageW(script.window, WM_TEST_STEP, 0, 0);
}

LRESULT CALLBACK ScriptedMainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TEST_STEP || (message == WM_TIMER && wParam == TEST_TIMER)) {
        KillTimer(window, TEST_TIMER);
        OnTestStep();
        return 0;
    }
    return CallWindowProcW(script.mainProcedure, window, message, wParam, lParam);
}

std::vector<std::wstring> FileLabels(const std::vector<SpyEvent>& events) {
    std::vector<std::wstring> labels;
    for (const SpyEvent& event : events) {
        if (event.kind == SpyEventKind::FILE_LABEL) {
            labels.push_back(event.text);
        }
    }
    return labels;
}

// The folders the output-folder command opened, by a stub in place of the shell's call.
std::vector<std::wstring> openedFolders;

INT_PTR RecordOpenedFolder(HWND, const wchar_t*, const wchar_t* file, const wchar_t*) {
    openedFolders.push_back(file);
    return 42;
}

HRESULT SelectNothing(const wchar_t*) {
    return E_FAIL;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) {
        return text;
    }
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data != nullptr) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

TEST_F(CommandsTest, EveryAcceleratorWorksWhileTheListHasTheFocus) {
    openedFolders.clear();
    shellActions = ShellActions{RecordOpenedFolder, SelectNothing};
    DropNamed({L"a.EDL", L"b.EDL", L"c.EDL"});
    std::wstring output = NewFolder();
    std::u16string outputText(output.begin(), output.end());
    std::copy(outputText.c_str(), outputText.c_str() + outputText.size() + 1,
              conversionJob.outputFolder);
    SelectOnly({0, 1});
    DWORD clipboard = GetClipboardSequenceNumber();

    script = LoopScript{};
    script.window = window;
    script.list = list;
    script.steps = {
        [] { PressKey(VK_SPACE); },
        [&] {
            // The first Toggle ticks the selected rows: the list's own Space would have cleared
            // the focused one.
            EXPECT_EQ((std::vector<int>{2, 2, 2}), StateImages()) << "Space, first";
            PressKey(VK_SPACE);
        },
        [&] {
            EXPECT_EQ((std::vector<int>{1, 1, 2}), StateImages()) << "Space, second";
            PressKey(VK_RETURN);
        },
        [&] {
            EXPECT_TRUE(FileExists(output + L"C_c.EDL")) << "Enter converts the ticked row";
            EXPECT_FALSE(FileExists(output + L"C_a.EDL"));
            SetStateImage(2, 1);
            PressKey(VK_RETURN);
        },
        [&] {
            EXPECT_EQ(1u, FilesMatching(output, L"*").size()) << "Enter with every row excluded";
            SelectOnly({});
            PressKey(VK_DELETE);
        },
        [&] {
            EXPECT_EQ(3u, Rows().size()) << "Del with no row selected";
            PressKey(VK_SPACE);
        },
        [&] {
            EXPECT_EQ(0, shell.toggleState) << "Space with no row selected";
            PressKey('A', true);
        },
        [&] {
            for (const ListRow& row : Rows()) {
                EXPECT_TRUE(row.selected) << "Ctrl+A";
            }
            PressKey('C', true);
        },
        [&] {
            EXPECT_EQ(0x2u, shell.options) << "Ctrl+C";
            PressKey('C', true);
        },
        [&] {
            EXPECT_EQ(0u, shell.options) << "Ctrl+C again";
            EXPECT_EQ(clipboard, GetClipboardSequenceNumber()) << "Ctrl+C in the list copies";
            // In the output folder's field Ctrl+C copies what is selected there.
            HWND edit = GetDlgItem(window, IDC_OUTPUT_FOLDER);
            SendMessageW(edit, EM_SETSEL, 0, -1);
            PressKeyIn(edit, 'C', true);
        },
        // The key's character message comes after this step's own: one step more.
        [] {},
        [&] {
            EXPECT_EQ(0u, shell.options) << "Ctrl+C in the folder's field";
            EXPECT_EQ(WindowText(GetDlgItem(window, IDC_OUTPUT_FOLDER)), ClipboardText());
            EXPECT_EQ(BST_UNCHECKED, SendMessageW(GetDlgItem(window, IDC_DELETE_INTERNAL_DATA),
                                                  BM_GETCHECK, 0, 0));
            PressKey('E', true);
        },
        [&] {
            EXPECT_EQ(std::vector<std::wstring>{output}, openedFolders) << "Ctrl+E";
            SetWindowPos(window, nullptr, 250, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            PressKey('R', true);
        },
        [&] {
            RECT rect{};
            GetWindowRect(window, &rect);
            EXPECT_EQ(0, rect.left) << "Ctrl+R";
            EXPECT_EQ(0, rect.top) << "Ctrl+R";
            PressKey('H', true);
        },
        [] { PressKey('D', true); },
        [&] {
            EXPECT_EQ(output, Wide(conversionJob.outputFolder)) << "Ctrl+D, cancelled";
            PressKey('O', true);
        },
        [&] {
            SelectOnly({0});
            PressKey(VK_DELETE);
        },
        [&] {
            EXPECT_EQ((std::vector<std::wstring>{L"b.EDL", L"c.EDL"}), Names()) << "Del";
            PressKey(VK_F4, false, true);
        },
    };
    script.mainProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ScriptedMainProcedure)));
    StartSpy();
    PostMessageW(window, WM_TEST_STEP, 0, 0);
    int exitCode = RunMessageLoop(window);
    std::vector<SpyEvent> events = StopSpy();
    SetModifiers(false, false);
    shellActions = SYSTEM_SHELL_ACTIONS;

    EXPECT_EQ(script.steps.size(), script.next) << "every step ran";
    EXPECT_EQ(0, exitCode);
    EXPECT_FALSE(IsWindow(window)) << "Alt+F4";
    window = nullptr;
    EXPECT_EQ((std::vector<std::string>{"about", "folder", "open"}), script.modals);
    EXPECT_EQ(std::vector<std::wstring>{L"c.EDL"}, FileLabels(events)) << Describe(events);
    std::vector<SpyEvent> boxes = Boxes(events);
    ASSERT_EQ(1u, boxes.size()) << Describe(events);
    EXPECT_EQ(L"1個中1個の変換が終了しました。", boxes[0].text);
    // The position that Ctrl+R set is the one stored at exit.
    std::vector<BYTE> record;
    ASSERT_TRUE(ReadStoredRecord(&record));
    EXPECT_EQ(RecordBytes(0, 0, 515, 335), record);
}

}  // namespace
