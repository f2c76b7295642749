// tamsel_scenes.exe SCENE READY DONE [SAMPLE] - puts the window program into one scene for a
// screenshot (tools/screenshots.sh):
//   empty     the main window as it opens, its empty list saying where to drop files
//   main      the main window with a few files listed
//   menu      the same with its first menu open
//   other     the main window with its menu その他 open: the guide and the about box
//   results   the main window after a job with the CMX 3600 export that met a CMX list: the
//             result column
//   rowmenu   the same with a converted row's menu open
//   about     the about box over the main window
//   progress  a job of three files halfway, its dialog over the main window
//   failure   a job that meets a CMX list: the warning box over the progress dialog
//   summary   the same job at its end: the tally box
//   compare   the controller-coded file SAMPLE as a Japanese PC shows it (its bytes read as
//             code page 932), above what the conversion makes of it
// Once the scene is drawn it writes the screen rectangle to photograph into the file READY
// ("left top right bottom"), then holds the scene until the file DONE exists, and ends it as a
// user would (closing the window, the menu or the box, cancelling the job). The stored position
// is put back as it was, and the files the scene wrote are removed.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "engine.h"
#include "gui_test_util.h"
#include "output_folder.h"
#include "progress_dialog.h"
#include "resource.h"
#include "shell.h"

namespace {

// The stamp the reviewed outputs carry, so that the picture stays the same from run to run.
constexpr char COMPARE_STAMP[] = "2019/03/06  09:05:07";

std::wstring Argument(const char* text) {
    wchar_t wide[MAX_PATH];
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH);
    return length > 0 ? std::wstring(wide) : std::wstring();
}

// Tells the script which rectangle of the screen to photograph.
void TellReady(const RECT& frame, const std::wstring& ready) {
    char text[128];
    std::snprintf(text, sizeof text, "%ld %ld %ld %ld\n", frame.left, frame.top, frame.right,
                  frame.bottom);
    std::wstring partial = ready + L".part";
    WriteBytes(partial, text);
    MoveFileExW(partial.c_str(), ready.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Draws the scene, tells the script where it is, and holds it until the script is done.
void HoldScene(const RECT& frame, const std::wstring& ready, const std::wstring& done) {
    PumpMessagesFor(800);
    TellReady(frame, ready);
    while (!FileExists(done)) {
        PumpMessagesFor(100);
    }
}

RECT Union(HWND first, HWND second) {
    RECT a{};
    RECT b{};
    RECT both{};
    GetWindowRect(first, &a);
    GetWindowRect(second, &b);
    UnionRect(&both, &a, &b);
    return both;
}

// Where an editor keeps the lists copied from the controller: C:\EDL\, made for the scene (a
// temporary folder when C:\EDL already exists, so nothing of the user's is touched).
std::wstring MakeSceneFolder() {
    if (CreateDirectoryW(L"C:\\EDL", nullptr)) {
        return L"C:\\EDL\\";
    }
    return MakeTemporaryFolder();
}

struct SceneFile {
    const wchar_t* name;
    std::string bytes;
};

// Writes the files into `folder` and drops them on the main window, all ticked.
void ListFiles(HWND mainWindow, const std::wstring& folder, const std::vector<SceneFile>& files) {
    std::vector<std::wstring> paths;
    WORD day = 10;
    for (const SceneFile& file : files) {
        std::wstring path = folder + file.name;
        WriteBytes(path, file.bytes);
        SetLocalWriteTime(path, 2019, 2, day++, 9, 30);
        paths.push_back(path);
    }
    SendMessageW(mainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
}

// A few files in the list, as an editor gathers them: one left out, one selected.
void ListSomeFiles(HWND mainWindow, const std::wstring& folder) {
    ListFiles(mainWindow, folder,
              {{L"NEWS0612.EDL", SampleEdl("NEWS", 20)},
               {L"DRAMA_EP03.EDL", SampleEdl("DRAMA", 20)},
               {L"PROMO_B.EDL", SampleEdl("PROMO", 20)},
               {L"REEL_A_0412.EDL", SampleEdl("REEL A", 20)}});
    HWND list = GetDlgItem(mainWindow, IDC_FILE_LIST);
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(1);
    SendMessageW(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&item));
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
}

// Sends the job's output into `folder` (made here), shown as the folder browser would show it.
void SetSceneOutputFolder(HWND mainWindow, const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    SetOutputFolder(conversionJob.outputFolder, JOB_PATH_CHARS,
                    reinterpret_cast<const char16_t*>(folder.c_str()), PATH_SEPARATORS);
    SetWindowTextW(GetDlgItem(mainWindow, IDC_OUTPUT_FOLDER),
                   reinterpret_cast<const wchar_t*>(conversionJob.outputFolder));
}

void ClickConvert(HWND mainWindow) {
    SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(IDC_CONVERT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(mainWindow, IDC_CONVERT)));
}

struct PopupSearch {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindPopup(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<PopupSearch*>(context);
    wchar_t name[64];
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameW(window, name, 64) > 0 && lstrcmpiW(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of this process and class, waited for up to five seconds.
HWND WaitForPopup(const wchar_t* className) {
    for (int k = 0; k < 250; ++k) {
        PopupSearch search{className, nullptr};
        EnumWindows(FindPopup, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        Sleep(20);
    }
    return nullptr;
}

// A scene held by a modal loop of the main window (its menu, its about box): `open` starts it
// on this thread, and a second thread finds the popup of `popupClass`, tells the script where
// it is and, when the script is done, closes it with `close`.
int ModalScene(HWND mainWindow, const wchar_t* popupClass, void (*open)(HWND),
               void (*close)(HWND mainWindow, HWND popup), const std::wstring& ready,
               const std::wstring& done) {
    bool shown = false;
    std::thread photographer([&] {
        HWND popup = WaitForPopup(popupClass);
        if (popup == nullptr) {
            return;
        }
        Sleep(800);
        TellReady(Union(mainWindow, popup), ready);
        shown = true;
        while (!FileExists(done)) {
            Sleep(100);
        }
        close(mainWindow, popup);
    });
    open(mainWindow);
    photographer.join();
    return shown ? 0 : 1;
}

// A job with the CMX 3600 export of four files whose second is a CMX list and whose third is
// left out, its boxes answered as they come; the main window then shows each row's outcome.
void ConvertWithAFailure(HWND mainWindow, const std::wstring& folder) {
    SendMessageW(mainWindow, WM_COMMAND, IDM_EXPORT_CMX, 0);
    ListFiles(mainWindow, folder,
              {{L"NEWS0612.EDL", SampleEdl("NEWS", 20)},
               {L"CMX3600.EDL", CmxEdl()},
               {L"PROMO_B.EDL", SampleEdl("PROMO", 20)},
               {L"REEL_A_0412.EDL", SampleEdl("REEL A", 20)}});
    HWND list = GetDlgItem(mainWindow, IDC_FILE_LIST);
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(1);
    SendMessageW(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&item));
    SetSceneOutputFolder(mainWindow, folder + L"変換済み");
    StartSpy();
    ClickConvert(mainWindow);
    StopSpy();
}

void OpenRowMenu(HWND mainWindow) {
    HWND list = GetDlgItem(mainWindow, IDC_FILE_LIST);
    RECT rect{};
    rect.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
    POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(list, &point);
    SendMessageW(mainWindow, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list),
                 MAKELPARAM(point.x, point.y));
}

void CloseRowMenu(HWND, HWND menu) {
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
}

void OpenFileMenu(HWND mainWindow) {
    // The keyboard's way into the menu bar: the mnemonic of "ファイル(&F)".
    SendMessageW(mainWindow, WM_SYSCOMMAND, SC_KEYMENU, 'f');
}

void OpenOtherMenu(HWND mainWindow) {
    // The mnemonic of "その他(&Z)".
    SendMessageW(mainWindow, WM_SYSCOMMAND, SC_KEYMENU, 'z');
}

void CloseMenu(HWND mainWindow, HWND) {
    PostMessageW(mainWindow, WM_CANCELMODE, 0, 0);
}

void OpenSettingsMenu(HWND mainWindow) {
    // The mnemonic of "変換設定(&C)".
    SendMessageW(mainWindow, WM_SYSCOMMAND, SC_KEYMENU, 'c');
}

// The visible menu windows of this process, the settings menu and, once it is open, its
// frame-rate submenu.
BOOL CALLBACK CollectMenus(HWND window, LPARAM context) {
    auto* menus = reinterpret_cast<std::vector<HWND>*>(context);
    wchar_t name[64];
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameW(window, name, 64) > 0 && lstrcmpiW(name, L"#32768") == 0) {
        menus->push_back(window);
    }
    return TRUE;
}

// The settings menu with the export and both tables chosen at 25 frames, its frame-rate submenu
// open: the keyboard walks down to the submenu's item (the first item is lit when the menu
// opens) and opens it.
int SettingsMenuScene(HWND mainWindow, const std::wstring& ready, const std::wstring& done) {
    for (UINT command : {IDM_EXPORT_CMX, IDM_EXPORT_EVENTS, IDM_EXPORT_PULL, IDM_CMX_RATE_25}) {
        SendMessageW(mainWindow, WM_COMMAND, command, 0);
    }
    bool shown = false;
    std::thread photographer([&] {
        HWND menu = WaitForPopup(L"#32768");
        if (menu == nullptr) {
            return;
        }
        Sleep(300);
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT}) {
            PostMessageW(menu, WM_KEYDOWN, key, 0);
            Sleep(150);
        }
        std::vector<HWND> menus;
        for (int k = 0; k < 100 && menus.size() < 2; ++k) {
            menus.clear();
            EnumWindows(CollectMenus, reinterpret_cast<LPARAM>(&menus));
            Sleep(20);
        }
        Sleep(500);
        RECT frame = Union(mainWindow, menus.front());
        for (HWND popup : menus) {
            RECT rect{};
            GetWindowRect(popup, &rect);
            UnionRect(&frame, &frame, &rect);
        }
        TellReady(frame, ready);
        shown = true;
        while (!FileExists(done)) {
            Sleep(100);
        }
        PostMessageW(mainWindow, WM_CANCELMODE, 0, 0);
    });
    OpenSettingsMenu(mainWindow);
    photographer.join();
    return shown ? 0 : 1;
}

void OpenAboutBox(HWND mainWindow) {
    SendMessageW(mainWindow, WM_COMMAND, IDM_ABOUT, 0);
}

void CloseAboutBox(HWND, HWND box) {
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

int ProgressScene(HWND mainWindow, const std::wstring& folder, const std::wstring& ready,
                  const std::wstring& done) {
    ListFiles(mainWindow, folder,
              {{L"REEL_A_0412.EDL", SampleEdl("REEL A", 20)},
               {L"REEL_B_0412.EDL", SampleEdl("REEL B", 20)},
               {L"REEL_C_0412.EDL", SampleEdl("REEL C", 20)}});
    std::wstring output = folder + L"変換済み";
    SetSceneOutputFolder(mainWindow, output);
    // Held on the second file's step: its name and count are shown, the bar is at one file.
    int steps = 0;
    StartSpy([&](const SpyEvent& event) {
        if (event.kind != SpyEventKind::PROGRESS_STEP || ++steps != 2) {
            return;
        }
        ShowWindow(event.dialog, SW_SHOWNORMAL);
        UpdateWindow(event.dialog);
        HoldScene(Union(mainWindow, event.dialog), ready, done);
        SendMessageW(GetDlgItem(event.dialog, IDC_PROGRESS_CANCEL), BM_CLICK, 0, 0);
    });
    ClickConvert(mainWindow);
    StopSpy();
    RemoveTemporaryFolder(output + L"\\");
    return steps >= 2 ? 0 : 1;
}

// A job of three files whose second is a CMX list: one warning box, then the tally. The box
// numbered `shownBox` (0 the warning, 1 the tally) is photographed with what lies under it.
int ReportScene(HWND mainWindow, const std::wstring& folder, int shownBox,
                const std::wstring& ready, const std::wstring& done) {
    ListFiles(mainWindow, folder,
              {{L"NEWS0612.EDL", SampleEdl("NEWS", 20)},
               {L"CMX3600.EDL", CmxEdl()},
               {L"PROMO_B.EDL", SampleEdl("PROMO", 20)}});
    std::wstring output = folder + L"変換済み";
    SetSceneOutputFolder(mainWindow, output);
    // In the middle of the screen, where the boxes come up, as a user may have placed it.
    RECT screen{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    RECT window{};
    GetWindowRect(mainWindow, &window);
    SetWindowPos(mainWindow, nullptr,
                 (screen.right + screen.left - (window.right - window.left)) / 2,
                 (screen.bottom + screen.top - (window.bottom - window.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    bool shown = false;
    std::thread photographer([&] {
        for (int k = 0; k < 2; ++k) {
            HWND box = WaitForDialog(IsMessageBox, 10000);
            if (box == nullptr) {
                return;
            }
            if (k == shownBox) {
                Sleep(800);
                RECT frame = Union(mainWindow, box);
                HWND owner = GetWindow(box, GW_OWNER);
                if (owner != nullptr && IsWindowVisible(owner)) {
                    RECT under{};
                    GetWindowRect(owner, &under);
                    UnionRect(&frame, &frame, &under);
                }
                TellReady(frame, ready);
                shown = true;
                while (!FileExists(done)) {
                    Sleep(100);
                }
            }
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            while (IsWindow(box)) {
                Sleep(20);
            }
        }
    });
    ClickConvert(mainWindow);
    photographer.join();
    RemoveTemporaryFolder(output + L"\\");
    return shown ? 0 : 1;
}

// The bytes as a Japanese PC reads them: each line (up to its line feed) decoded as code page
// 932, which is what an editor there does with a file that has no byte-order mark.
std::wstring AsCodePage932(const std::string& bytes) {
    std::wstring text;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        size_t stop = end == std::string::npos ? bytes.size() : end;
        size_t length = stop - start;
        if (length > 0 && bytes[stop - 1] == '\r') {
            --length;
        }
        if (length > 0) {
            int units = MultiByteToWideChar(932, 0, bytes.data() + start, static_cast<int>(length),
                                            nullptr, 0);
            std::wstring line(static_cast<size_t>(units), L'\0');
            MultiByteToWideChar(932, 0, bytes.data() + start, static_cast<int>(length), line.data(),
                                units);
            text += line;
        }
        text += L"\r\n";
        start = stop + 1;
    }
    return text;
}

LRESULT CALLBACK CompareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORSTATIC) {
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The size `text` takes in `font`, line by line.
SIZE MeasureText(HFONT font, const std::wstring& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{0, 0};
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L"\r\n", start);
        size_t stop = end == std::wstring::npos ? text.size() : end;
        SIZE line{};
        GetTextExtentPoint32W(dc, text.data() + start, static_cast<int>(stop - start), &line);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        size.cx = std::max(size.cx, line.cx);
        size.cy += metrics.tmHeight;
        start = end == std::wstring::npos ? text.size() : end + 2;
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}

// A window of labelled texts, as a text editor shows them: each label in the UI font above its
// text in a fixed-pitch Japanese font.
struct ShownText {
    std::wstring label;
    std::wstring text;
};

int TextScene(const std::wstring& caption, const std::vector<ShownText>& texts,
              const std::wstring& ready, const std::wstring& done) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = CompareWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"TamselCompareScene";
    RegisterClassExW(&windowClass);

    // A fixed-pitch Japanese font, as a text editor there uses; the labels in the UI font.
    HFONT textFont = CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック");
    HFONT labelFont = CreateFontW(-14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, L"MS UI Gothic");
    const int margin = 10;
    const int gap = 6;
    int width = 0;
    int clientHeight = margin;
    std::vector<SIZE> labelSizes;
    std::vector<SIZE> textSizes;
    for (const ShownText& shown : texts) {
        labelSizes.push_back(MeasureText(labelFont, shown.label));
        textSizes.push_back(MeasureText(textFont, shown.text));
        width = std::max({width, static_cast<int>(labelSizes.back().cx),
                          static_cast<int>(textSizes.back().cx) + 12});
        clientHeight += labelSizes.back().cy + gap + textSizes.back().cy + 8 + 2 * margin;
    }
    clientHeight -= margin;
    RECT frame{0, 0, width + 2 * margin, clientHeight};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, caption.c_str(), style, 20, 20,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, instance, nullptr);
    auto addText = [&](const std::wstring& text, int top, int height, bool box, HFONT font) {
        DWORD controlStyle = WS_CHILD | WS_VISIBLE;
        const wchar_t* controlClass = L"STATIC";
        if (box) {
            controlStyle |= ES_MULTILINE | ES_READONLY | WS_BORDER;
            controlClass = L"EDIT";
        }
        HWND control = CreateWindowExW(0, controlClass, text.c_str(), controlStyle, margin, top,
                                       width, height, window, nullptr, instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    };
    int y = margin;
    for (size_t k = 0; k < texts.size(); ++k) {
        addText(texts[k].label, y, labelSizes[k].cy, false, labelFont);
        y += labelSizes[k].cy + gap;
        addText(texts[k].text, y, textSizes[k].cy + 8, true, textFont);
        y += textSizes[k].cy + 8 + 2 * margin;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    RECT shown{};
    GetWindowRect(window, &shown);
    HoldScene(shown, ready, done);
    DestroyWindow(window);
    DeleteObject(textFont);
    DeleteObject(labelFont);
    return 0;
}

// The sample converted in memory, with the export when `cmx` is given; false when it cannot be.
bool ConvertSample(const std::string& source, const std::string& nameText, bool exportCmx,
                   std::string* converted, std::string* exported) {
    MemorySource memory{reinterpret_cast<const uint8_t*>(source.data()), source.size(), 0};
    ByteSource input = MakeMemorySource(&memory);
    ConvertedTexts out{};
    SourceConversion conversion{
        &input,        static_cast<uint32_t>(source.size()), nameText.c_str(),
        COMPARE_STAMP, exportCmx ? OPTION_EXPORT_CMX : 0u,   30};
    bool done = !source.empty() && ConvertEdlSource(conversion, &out) == RESULT_CONVERTED;
    if (done) {
        converted->assign(reinterpret_cast<const char*>(out.text.bytes), out.text.length);
        exported->assign(reinterpret_cast<const char*>(out.cmx.bytes), out.cmx.length);
    }
    ReleaseConvertedTexts(&out);
    return done;
}

std::wstring NameOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// A controller-coded sample as a Japanese PC shows it, above its conversion.
int CompareScene(const std::wstring& samplePath, const std::wstring& ready,
                 const std::wstring& done) {
    std::string source = ReadBytes(samplePath);
    std::wstring name = NameOf(samplePath);
    std::string converted;
    std::string exported;
    if (!ConvertSample(source, std::string(name.begin(), name.end()), false, &converted,
                       &exported)) {
        std::fprintf(stderr, "tamsel_scenes: cannot convert the sample\n");
        return 1;
    }
    return TextScene(
        name + L" の変換前と変換後",
        {{L"変換前: " + name + L" (日本語の PC でそのまま開いたところ)", AsCodePage932(source)},
         {L"変換後: C_" + name + L" (タムセルが書き出したファイル)", AsCodePage932(converted)}},
        ready, done);
}

// The CMX 3600 export of a sample at 30 frames, as a text editor shows it.
int ExportScene(const std::wstring& samplePath, const std::wstring& ready,
                const std::wstring& done) {
    std::string source = ReadBytes(samplePath);
    std::wstring name = NameOf(samplePath);
    std::string converted;
    std::string exported;
    if (!ConvertSample(source, std::string(name.begin(), name.end()), true, &converted,
                       &exported)) {
        std::fprintf(stderr, "tamsel_scenes: cannot convert the sample\n");
        return 1;
    }
    return TextScene(
        L"CMX_" + name + L" - テキストエディター",
        {{L"CMX_" + name + L" (CMX 3600 形式で書き出したファイル)", AsCodePage932(exported)}},
        ready, done);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: tamsel_scenes empty|main|menu|other|settings|results|rowmenu|about|"
                     "progress|failure|summary READY DONE\n"
                     "       tamsel_scenes compare|export READY DONE SAMPLE\n");
        return 2;
    }
    std::string scene = argv[1];
    std::wstring ready = Argument(argv[2]);
    std::wstring done = Argument(argv[3]);
    if (scene == "compare") {
        return argc == 5 ? CompareScene(Argument(argv[4]), ready, done) : 2;
    }
    if (scene == "export") {
        return argc == 5 ? ExportScene(Argument(argv[4]), ready, done) : 2;
    }

    RegistrySnapshot registry = TakeRegistrySnapshot();
    DeleteStoredRecord();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    LoadShellTexts(instance);
    RegisterMainWindowClass(instance);
    std::setlocale(LC_ALL, "jpn");
    HWND mainWindow = CreateMainWindow(instance);
    std::wstring folder = MakeSceneFolder();
    int status = 1;
    if (mainWindow != nullptr && scene == "empty") {
        RECT frame{};
        GetWindowRect(mainWindow, &frame);
        HoldScene(frame, ready, done);
        status = 0;
    } else if (mainWindow != nullptr && scene == "results") {
        ConvertWithAFailure(mainWindow, folder);
        RECT frame{};
        GetWindowRect(mainWindow, &frame);
        HoldScene(frame, ready, done);
        RemoveTemporaryFolder(folder + L"変換済み\\");
        status = 0;
    } else if (mainWindow != nullptr && scene == "rowmenu") {
        ConvertWithAFailure(mainWindow, folder);
        PumpMessagesFor(300);
        status = ModalScene(mainWindow, L"#32768", OpenRowMenu, CloseRowMenu, ready, done);
        RemoveTemporaryFolder(folder + L"変換済み\\");
    } else if (mainWindow != nullptr && scene == "main") {
        ListSomeFiles(mainWindow, folder);
        RECT frame{};
        GetWindowRect(mainWindow, &frame);
        HoldScene(frame, ready, done);
        status = 0;
    } else if (mainWindow != nullptr && scene == "menu") {
        ListSomeFiles(mainWindow, folder);
        PumpMessagesFor(300);
        status = ModalScene(mainWindow, L"#32768", OpenFileMenu, CloseMenu, ready, done);
    } else if (mainWindow != nullptr && scene == "other") {
        PumpMessagesFor(300);
        status = ModalScene(mainWindow, L"#32768", OpenOtherMenu, CloseMenu, ready, done);
    } else if (mainWindow != nullptr && scene == "settings") {
        ListSomeFiles(mainWindow, folder);
        PumpMessagesFor(300);
        status = SettingsMenuScene(mainWindow, ready, done);
    } else if (mainWindow != nullptr && scene == "about") {
        PumpMessagesFor(300);
        status = ModalScene(mainWindow, L"#32770", OpenAboutBox, CloseAboutBox, ready, done);
    } else if (mainWindow != nullptr && scene == "progress") {
        status = ProgressScene(mainWindow, folder, ready, done);
    } else if (mainWindow != nullptr && (scene == "failure" || scene == "summary")) {
        status = ReportScene(mainWindow, folder, scene == "failure" ? 0 : 1, ready, done);
    }
    if (mainWindow != nullptr) {
        DestroyWindow(mainWindow);
    }
    DrainMessages();
    RemoveTemporaryFolder(folder);
    RestoreRegistrySnapshot(registry);
    return status;
}
