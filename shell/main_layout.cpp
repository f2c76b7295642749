// Placing the main window and its controls: their texts measured in the window's font on its
// display, the places worked out by LayOutMainWindow.
#include "main_layout.h"

#include <algorithm>

#include "file_list.h"
#include "layout_rules.h"
#include "message_box.h"
#include "position_record.h"
#include "resource.h"
#include "shell.h"

namespace {

constexpr size_t CONTROL_TEXT_CHARS = 128;
// The counter is laid out for this many files: more than any list is likely to hold.
constexpr int WIDEST_COUNT = 99999;

struct TextMeasure {
    int width;  // of its widest line
    int lines;
};

// The text `text` in the font selected into `dc`, line by line.
TextMeasure MeasureText(HDC dc, const wchar_t* text) {
    TextMeasure measure{0, 0};
    const wchar_t* line = text;
    for (;;) {
        const wchar_t* end = line;
        while (*end != 0 && *end != L'\n') {
            ++end;
        }
        SIZE size{};
        GetTextExtentPoint32W(dc, line, static_cast<int>(end - line), &size);
        measure.width = std::max(measure.width, static_cast<int>(size.cx));
        ++measure.lines;
        if (*end == 0) {
            return measure;
        }
        line = end + 1;
    }
}

TextMeasure MeasureControl(HDC dc, HWND control) {
    wchar_t text[CONTROL_TEXT_CHARS];
    GetWindowTextW(control, text, static_cast<int>(CONTROL_TEXT_CHARS));
    return MeasureText(dc, text);
}

// The export's frame rate shows one of these texts.
constexpr UINT RATE_TEXTS[] = {IDS_CMX_RATE_30, IDS_CMX_RATE_30_DROP, IDS_CMX_RATE_25,
                               IDS_CMX_RATE_24};

int WidestRateText(HDC dc) {
    int widest = 0;
    for (UINT id : RATE_TEXTS) {
        wchar_t text[CONTROL_TEXT_CHARS];
        LoadResourceText(id, text, CONTROL_TEXT_CHARS);
        widest = std::max(widest, MeasureText(dc, text).width);
    }
    return widest;
}

// The side of the picture's icon, as it shows at its real size.
int PictureSize(HWND picture) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(picture, STM_GETICON, 0, 0));
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return GetSystemMetrics(SM_CXICON);
    }
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

MainWindowMeasures Measure(HWND window) {
    MainWindowMeasures m{};
    RECT client{};
    GetClientRect(window, &client);
    m.clientWidth = client.right;
    m.clientHeight = client.bottom;
    m.dpi = WindowDpi(window);

    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(
        dc, reinterpret_cast<HFONT>(SendMessageW(shell.convertButton, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    m.lineHeight = metrics.tmHeight;
    m.chooseFolderText = MeasureControl(dc, shell.chooseFolderButton).width;
    m.openFolderText = MeasureControl(dc, shell.openFolderButton).width;
    m.optionText = MeasureControl(dc, shell.optionCheck).width;
    m.exportText = MeasureControl(dc, shell.exportCheck).width;
    m.rateText = WidestRateText(dc);
    m.selectAllText = MeasureControl(dc, shell.selectAllButton).width;
    m.removeText = MeasureControl(dc, shell.removeButton).width;
    TextMeasure toggle = MeasureControl(dc, shell.toggleButton);
    m.toggleText = toggle.width;
    m.toggleLines = toggle.lines;
    m.convertText = MeasureControl(dc, shell.convertButton).width;
    wchar_t pattern[CONTROL_TEXT_CHARS];
    LoadResourceText(IDS_FILE_COUNT, pattern, CONTROL_TEXT_CHARS);
    char16_t count[CONTROL_TEXT_CHARS];
    int widest = WIDEST_COUNT;
    FillTemplate(AsUtf16(pattern), nullptr, 0, &widest, 1, count, CONTROL_TEXT_CHARS);
    m.fileCountText = MeasureText(dc, AsWide(count)).width;
    SelectObject(dc, previous);
    ReleaseDC(window, dc);

    m.pictureSize = PictureSize(GetDlgItem(window, IDC_PICTURE));
    return m;
}

void Place(HDWP* positions, HWND control, const ControlBox& box) {
    if (*positions != nullptr) {
        *positions = DeferWindowPos(*positions, control, nullptr, box.left, box.top, box.width,
                                    box.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace

void LayOutControls(HWND window) {
    MainWindowLayout layout = LayOutMainWindow(Measure(window));
    HDWP positions = BeginDeferWindowPos(13);
    Place(&positions, shell.fileList, layout.list);
    Place(&positions, shell.optionCheck, layout.option);
    Place(&positions, shell.exportCheck, layout.exportCmx);
    Place(&positions, shell.rateLabel, layout.rate);
    Place(&positions, shell.fileCountLabel, layout.fileCount);
    Place(&positions, shell.chooseFolderButton, layout.chooseFolder);
    Place(&positions, shell.outputFolderEdit, layout.outputFolder);
    Place(&positions, shell.openFolderButton, layout.openFolder);
    Place(&positions, shell.selectAllButton, layout.selectAll);
    Place(&positions, shell.removeButton, layout.remove);
    Place(&positions, shell.toggleButton, layout.toggle);
    Place(&positions, shell.convertButton, layout.convert);
    Place(&positions, GetDlgItem(window, IDC_PICTURE), layout.picture);
    if (positions != nullptr) {
        EndDeferWindowPos(positions);
    }
    FitColumns(WindowDpi(window));
}

// The program is per-monitor DPI aware; GetDpiForWindow exists from Windows 10 1607 on, older
// systems have one scale for all.
int WindowDpi(HWND window) {
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        reinterpret_cast<GetDpiForWindowProc>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr) {
        return static_cast<int>(getDpiForWindow(window));
    }
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

void PlaceMainWindowAt(HWND window, int left, int top) {
    int dpi = WindowDpi(window);
    SetWindowPos(window, HWND_NOTOPMOST, left, top, ScaleForDpi(MAIN_WINDOW_WIDTH, dpi),
                 ScaleForDpi(MAIN_WINDOW_HEIGHT, dpi), SWP_SHOWWINDOW);
}
