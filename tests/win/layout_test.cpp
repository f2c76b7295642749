// Nothing the windows show is cut off: every text of the main window, the about box and the
// progress dialog fits its control in the control's own font, the list's columns fit their
// texts, and the main window's controls lie inside it without overlapping. The tests run at the
// scale of this process's display, and again in child processes at 120 and 144 dpi.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "about_box.h"
#include "main_window_fixture.h"

namespace {

constexpr wchar_t SCALE_VARIABLE[] = L"TAMSEL_TEST_DPI";

int DisplayDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int Scaled(int pixels) {
    return MulDiv(pixels, DisplayDpi(), 96);
}

struct TextSize {
    int width;
    int height;
};

// A text as a control draws it: line by line in `font`.
TextSize MeasureLines(HFONT font, const std::wstring& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    TextSize size{0, 0};
    size_t start = 0;
    for (;;) {
        size_t end = text.find(L'\n', start);
        std::wstring line = text.substr(start, end == std::wstring::npos ? end : end - start);
        SIZE extent{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &extent);
        size.width = std::max(size.width, static_cast<int>(extent.cx));
        size.height += metrics.tmHeight;
        if (end == std::wstring::npos) {
            break;
        }
        start = end + 1;
    }
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return size;
}

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t className[64];
    return GetClassNameW(window, className, 64) > 0 && lstrcmpiW(className, name) == 0;
}

// The room a control leaves its text, and the frame it draws around it.
struct TextRoom {
    bool holdsText;
    int frameWidth;
    int frameHeight;
};

TextRoom RoomOf(HWND control) {
    LONG style = GetWindowLongW(control, GWL_STYLE);
    if (HasClass(control, L"Static")) {
        LONG kind = style & SS_TYPEMASK;
        bool text = kind != SS_ICON && kind != SS_BITMAP && kind != SS_ETCHEDHORZ &&
                    kind != SS_ETCHEDVERT && kind != SS_ETCHEDFRAME;
        return TextRoom{text, 0, 0};
    }
    if (HasClass(control, L"Button")) {
        LONG kind = style & BS_TYPEMASK;
        if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX) {
            // The box and the gap after it.
            return TextRoom{true, GetSystemMetrics(SM_CXMENUCHECK) + Scaled(4), 0};
        }
        return TextRoom{true, Scaled(6), Scaled(2)};
    }
    if (HasClass(control, L"Edit")) {
        return TextRoom{(style & ES_READONLY) != 0, Scaled(4), 0};
    }
    return TextRoom{false, 0, 0};
}

// Every text of `window`'s controls that its control cuts off, and every control that does not
// lie inside the window, described for a failure message. `except` are left out (a field that
// scrolls its text).
std::vector<std::string> Clipped(HWND window, const std::vector<HWND>& except = {}) {
    std::vector<std::string> clipped;
    RECT inside{};
    GetClientRect(window, &inside);
    for (HWND control = GetWindow(window, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        if (!IsWindowVisible(control) ||
            std::find(except.begin(), except.end(), control) != except.end()) {
            continue;
        }
        std::string name =
            Utf8(WindowText(control)) + " (" + std::to_string(GetDlgCtrlID(control)) + ")";
        RECT box{};
        GetWindowRect(control, &box);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
        RECT both{};
        if (!IntersectRect(&both, &box, &inside) || !EqualRect(&both, &box)) {
            clipped.push_back(name + ": outside the window");
        }
        TextRoom room = RoomOf(control);
        std::wstring text = WindowText(control);
        if (!room.holdsText || text.empty()) {
            continue;
        }
        auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        TextSize needed = MeasureLines(font, text);
        RECT client{};
        GetClientRect(control, &client);
        if (needed.width + room.frameWidth > client.right ||
            needed.height + room.frameHeight > client.bottom) {
            clipped.push_back(name + ": needs " + std::to_string(needed.width + room.frameWidth) +
                              " x " + std::to_string(needed.height + room.frameHeight) + ", has " +
                              std::to_string(client.right) + " x " + std::to_string(client.bottom));
        }
    }
    return clipped;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += "  " + line + "\n";
    }
    return text;
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The lines of the first message box of this thread: as its text breaks them, and as the box
// shows them (a box breaks a line too wide for it wherever it must, even inside a word).
BOOL CALLBACK CountBoxLines(HWND box, LPARAM context) {
    auto* lines = reinterpret_cast<std::pair<int, int>*>(context);
    HWND text = GetDlgItem(box, 0xFFFF);
    if (!IsMessageBox(box) || text == nullptr) {
        return TRUE;
    }
    std::wstring shown = WindowText(text);
    lines->first = 1 + static_cast<int>(std::count(shown.begin(), shown.end(), L'\n'));
    RECT area{};
    GetClientRect(text, &area);
    auto font = reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0));
    HDC dc = GetDC(text);
    HGDIOBJ previous = SelectObject(dc, font);
    DrawTextW(dc, shown.c_str(), -1, &area, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(text, dc);
    lines->second = area.bottom / MeasureLines(font, L"X").height;
    return FALSE;
}

class LayoutTest : public MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        // In a child process run for another scale: make sure it is that scale.
        const char* wanted = std::getenv("TAMSEL_TEST_DPI");
        if (wanted != nullptr) {
            ASSERT_EQ(std::atoi(wanted), DisplayDpi()) << "the child runs at another scale";
        }
    }
};

TEST_F(LayoutTest, TheMainWindowCutsNoTextAndOverlapsNothing) {
    std::wstring output = NewFolder();
    std::u16string text(output.begin(), output.end());
    std::copy(text.c_str(), text.c_str() + text.size() + 1, conversionJob.outputFolder);
    std::vector<std::wstring> paths = {AddSample(folder, L"NEWS0612.EDL"), folder + L"CMX3600.EDL"};
    WriteBytes(paths[1], CmxEdl());
    ASSERT_TRUE(Boxes(Drop(paths)).empty());
    // The tally of a job with the export, one file refused, in all its lines: it breaks them
    // itself, where a reader pauses, each short enough to stand whole.
    Command(IDM_EXPORT_CMX);
    std::pair<int, int> lines{0, 0};
    StartSpy([&](const SpyEvent& event) {
        if (event.kind == SpyEventKind::MESSAGE_BOX &&
            event.text.find(L"個中") != std::wstring::npos) {
            EnumThreadWindows(GetCurrentThreadId(), CountBoxLines,
                              reinterpret_cast<LPARAM>(&lines));
        }
    });
    SendMessageW(window, WM_COMMAND, IDC_CONVERT, 0);
    StopSpy();
    EXPECT_EQ(7, lines.first) << "the tally with all its lines";
    EXPECT_EQ(lines.first, lines.second) << "at " << DisplayDpi() << " dpi the box broke a line";
    // The counter with a wide count.
    SendMessageW(GetDlgItem(window, IDC_FILE_COUNT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"ファイル参照数:320"));

    // Each of the export's rates beside its check box.
    for (WORD rate : {IDM_CMX_RATE_30, IDM_CMX_RATE_30_DROP, IDM_CMX_RATE_25, IDM_CMX_RATE_24}) {
        Command(rate);
        std::vector<std::string> clipped = Clipped(window, {GetDlgItem(window, IDC_OUTPUT_FOLDER)});
        EXPECT_TRUE(clipped.empty()) << "at " << DisplayDpi() << " dpi:\n" << Lines(clipped);
    }

    // Controls side by side, never one over another.
    std::vector<HWND> controls;
    for (HWND control = GetWindow(window, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        if (IsWindowVisible(control)) {
            controls.push_back(control);
        }
    }
    EXPECT_EQ(13u, controls.size());
    for (size_t a = 0; a < controls.size(); ++a) {
        for (size_t b = a + 1; b < controls.size(); ++b) {
            RECT first{};
            RECT second{};
            RECT both{};
            GetWindowRect(controls[a], &first);
            GetWindowRect(controls[b], &second);
            EXPECT_FALSE(IntersectRect(&both, &first, &second))
                << GetDlgCtrlID(controls[a]) << " and " << GetDlgCtrlID(controls[b]);
        }
    }

    // The list's columns: its header texts, the update time and every outcome fit.
    auto font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    auto columnWidth = [&](int column) {
        return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    };
    const int margin = Scaled(12);
    EXPECT_LE(MeasureLines(font, RowText(0, 1)).width + margin, columnWidth(1)) << "update";
    for (UINT id = IDS_RESULT_CONVERTED; id <= IDS_RESULT_FAILED; ++id) {
        wchar_t result[64];
        ASSERT_GT(LoadStringW(instance, id, result, 64), 0) << id;
        EXPECT_LE(MeasureLines(font, result).width + margin, columnWidth(3)) << Utf8(result);
    }
    for (int column = 0; column < 4; ++column) {
        wchar_t header[64] = {};
        LVCOLUMNW read{};
        read.mask = LVCF_TEXT;
        read.pszText = header;
        read.cchTextMax = 64;
        SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&read));
        EXPECT_LE(MeasureLines(font, header).width + margin, columnWidth(column)) << Utf8(header);
    }
    EXPECT_GE(columnWidth(0), Scaled(180)) << "the column widths scale with the display";
}

TEST_F(LayoutTest, TheAboutBoxCutsNoText) {
    HWND box = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), window, AboutBoxProc, 0);
    ASSERT_NE(nullptr, box);
    ShowWindow(box, SW_SHOW);
    std::vector<std::string> clipped = Clipped(box);
    DestroyWindow(box);
    EXPECT_TRUE(clipped.empty()) << "at " << DisplayDpi() << " dpi:\n" << Lines(clipped);
}

TEST_F(LayoutTest, TheProgressDialogCutsNoText) {
    HWND dialog =
        CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_PROGRESS), window, NoDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    // What a job of many files shows of a file with a long name.
    SetWindowTextW(GetWindow(dialog, GW_CHILD), L"REEL_A_0412_FINAL.EDL");
    SetDlgItemTextW(dialog, IDC_PROGRESS_STATUS, L"変換中…(320/320)");
    ShowWindow(dialog, SW_SHOW);
    std::vector<std::string> clipped = Clipped(dialog);
    DestroyWindow(dialog);
    EXPECT_TRUE(clipped.empty()) << "at " << DisplayDpi() << " dpi:\n" << Lines(clipped);
}

// The display's scale for the processes Wine starts from now on, put back as it was.
class DisplayScale {
  public:
    explicit DisplayScale(DWORD dpi) {
        RegOpenKeyExW(HKEY_CURRENT_USER, KEY, 0, KEY_READ | KEY_SET_VALUE, &key_);
        DWORD size = sizeof saved_;
        had_ = RegQueryValueExW(key_, VALUE, nullptr, nullptr, reinterpret_cast<BYTE*>(&saved_),
                                &size) == ERROR_SUCCESS;
        RegSetValueExW(key_, VALUE, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~DisplayScale() {
        if (had_) {
            RegSetValueExW(key_, VALUE, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&saved_),
                           sizeof saved_);
        } else {
            RegDeleteValueW(key_, VALUE);
        }
        RegCloseKey(key_);
    }

  private:
    static constexpr const wchar_t* KEY = L"Control Panel\\Desktop";
    static constexpr const wchar_t* VALUE = L"LogPixels";
    HKEY key_ = nullptr;
    DWORD saved_ = 0;
    bool had_ = false;
};

// Runs this program's LayoutTest cases in a new process; gives its exit code.
DWORD RunLayoutTestsInChild(int dpi) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=LayoutTest.*";
    SetEnvironmentVariableW(SCALE_VARIABLE, std::to_wstring(dpi).c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process);
    SetEnvironmentVariableW(SCALE_VARIABLE, nullptr);
    if (!started) {
        return 0xFFFFFFFF;
    }
    DWORD code = 0xFFFFFFFE;
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// Wine takes a new process's scale from the user's LogPixels setting; Windows would need a new
// logon, so these runs are for Wine.
TEST(LayoutAtOtherScales, NothingIsCutOffAt120And144Dpi) {
    for (int dpi : {120, 144}) {
        DWORD code;
        {
            DisplayScale scale(static_cast<DWORD>(dpi));
            code = RunLayoutTestsInChild(dpi);
        }
        EXPECT_EQ(0u, code) << "the layout tests at " << dpi << " dpi (their output is above)";
    }
}

}  // namespace
