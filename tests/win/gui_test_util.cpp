#include "gui_test_util.h"

#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <set>

#include "resource.h"
#include "shell.h"

// --- Text ----------------------------------------------------------------------------------------

std::wstring Wide(const char16_t* text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text));
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

// --- The spy -------------------------------------------------------------------------------------

namespace {

constexpr wchar_t ORIGINAL_PROCEDURE[] = L"TamselSpyOriginalProcedure";

struct Spy {
    bool active;
    HHOOK hook;
    SpyAction action;
    std::vector<SpyEvent> events;
    std::set<HWND> dismissedBoxes;
};
Spy spy;

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t className[64];
    return GetClassNameW(window, className, 64) > 0 && lstrcmpiW(className, name) == 0;
}

bool IsProgressDialog(HWND window) {
    return window != nullptr && GetDlgItem(window, IDC_PROGRESS_CANCEL) != nullptr &&
           GetDlgItem(window, IDC_PROGRESS_BAR) != nullptr;
}

void Record(const SpyEvent& event) {
    spy.events.push_back(event);
    if (spy.action) {
        SpyAction action = spy.action;
        action(event);
    }
}

// Watches one control of a dialog; records what is asked of the progress dialog's controls.
LRESULT CALLBACK SpyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto original = reinterpret_cast<WNDPROC>(GetPropW(window, ORIGINAL_PROCEDURE));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(window, ORIGINAL_PROCEDURE);
        return CallWindowProcW(original, window, message, wParam, lParam);
    }
    HWND dialog = GetParent(window);
    if (spy.active && IsProgressDialog(dialog)) {
        SpyEvent event{};
        event.dialog = dialog;
        event.fromOtherThread = InSendMessage() != FALSE;
        int id = GetDlgCtrlID(window);
        bool recorded = true;
        if (message == WM_SETTEXT && id == IDC_PROGRESS_STATUS) {
            event.kind = SpyEventKind::STATUS_LABEL;
            event.text = reinterpret_cast<const wchar_t*>(lParam);
        } else if (message == WM_SETTEXT && window == GetWindow(dialog, GW_CHILD)) {
            event.kind = SpyEventKind::FILE_LABEL;
            event.text = reinterpret_cast<const wchar_t*>(lParam);
        } else if (message == PBM_SETRANGE && id == IDC_PROGRESS_BAR) {
            event.kind = SpyEventKind::PROGRESS_RANGE;
            event.value = lParam;
        } else if (message == PBM_STEPIT && id == IDC_PROGRESS_BAR) {
            event.kind = SpyEventKind::PROGRESS_STEP;
        } else if (message == BM_CLICK && id == IDC_PROGRESS_CANCEL) {
            event.kind = SpyEventKind::CANCEL_CLICKED;
        } else {
            recorded = false;
        }
        if (recorded) {
            Record(event);
        }
    }
    return CallWindowProcW(original, window, message, wParam, lParam);
}

void Subclass(HWND window) {
    auto original = GetWindowLongPtrW(window, GWLP_WNDPROC);
    SetPropW(window, ORIGINAL_PROCEDURE, reinterpret_cast<HANDLE>(original));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpyProcedure));
}

void RecordMessageBox(HWND box) {
    SpyEvent event{};
    event.kind = SpyEventKind::MESSAGE_BOX;
    event.caption = WindowText(box);
    event.text = WindowText(GetDlgItem(box, 0xFFFF));
    event.icon = MessageBoxIcon(box);
    event.dialog = GetWindow(box, GW_OWNER);
    event.ownerVisible = event.dialog != nullptr && IsWindowVisible(event.dialog);
    Record(event);
}

LRESULT CALLBACK SpyCbtProcedure(int code, WPARAM wParam, LPARAM lParam) {
    auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if ((create->style & WS_CHILD) != 0 && create->hwndParent != nullptr &&
            HasClass(create->hwndParent, L"#32770")) {
            Subclass(window);
        }
    } else if (code == HCBT_ACTIVATE) {
        if (spy.active && IsMessageBox(window) && spy.dismissedBoxes.count(window) == 0) {
            spy.dismissedBoxes.insert(window);
            RecordMessageBox(window);
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
    } else if (code == HCBT_DESTROYWND) {
        spy.dismissedBoxes.erase(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const char* KindName(SpyEventKind kind) {
    switch (kind) {
        case SpyEventKind::FILE_LABEL:
            return "file label";
        case SpyEventKind::STATUS_LABEL:
            return "status label";
        case SpyEventKind::PROGRESS_RANGE:
            return "range";
        case SpyEventKind::PROGRESS_STEP:
            return "step";
        case SpyEventKind::CANCEL_CLICKED:
            return "cancel clicked";
        case SpyEventKind::MESSAGE_BOX:
            return "message box";
    }
    return "?";
}

}  // namespace

void StartSpy(SpyAction action) {
    spy.events.clear();
    spy.dismissedBoxes.clear();
    spy.action = std::move(action);
    spy.hook = SetWindowsHookExW(WH_CBT, SpyCbtProcedure, nullptr, GetCurrentThreadId());
    spy.active = true;
}

std::vector<SpyEvent> StopSpy() {
    spy.active = false;
    if (spy.hook != nullptr) {
        UnhookWindowsHookEx(spy.hook);
        spy.hook = nullptr;
    }
    spy.action = nullptr;
    std::vector<SpyEvent> events;
    events.swap(spy.events);
    return events;
}

std::string Describe(const SpyEvent& event) {
    std::string text = KindName(event.kind);
    if (event.kind == SpyEventKind::MESSAGE_BOX) {
        char flags[64];
        std::snprintf(flags, sizeof flags, " icon 0x%X owner %s: ", event.icon,
                      event.ownerVisible ? "visible" : "hidden");
        text += " [" + Utf8(event.caption) + "]" + flags;
    } else if (event.kind == SpyEventKind::PROGRESS_RANGE) {
        char range[64];
        std::snprintf(range, sizeof range, " %d..%d", LOWORD(event.value), HIWORD(event.value));
        text += range;
    } else {
        text += " ";
    }
    return text + Utf8(event.text);
}

std::string Describe(const std::vector<SpyEvent>& events) {
    std::string text;
    for (const SpyEvent& event : events) {
        text += "  " + Describe(event) + "\n";
    }
    return text;
}

UINT MessageBoxIcon(HWND box) {
    const struct {
        const wchar_t* resource;
        UINT flag;
    } icons[] = {{IDI_WARNING, MB_ICONWARNING},
                 {IDI_INFORMATION, MB_ICONINFORMATION},
                 {IDI_ERROR, MB_ICONERROR},
                 {IDI_QUESTION, MB_ICONQUESTION}};
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        LONG style = GetWindowLongW(child, GWL_STYLE);
        if (!HasClass(child, L"Static") || (style & SS_TYPEMASK) != SS_ICON ||
            (style & WS_VISIBLE) == 0) {
            continue;
        }
        auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        if (icon == nullptr) {
            continue;
        }
        for (const auto& known : icons) {
            if (icon == LoadIconW(nullptr, known.resource)) {
                return known.flag;
            }
        }
        return MB_USERICON;
    }
    return 0;
}

bool IsMessageBox(HWND window) {
    return HasClass(window, L"#32770") && GetDlgItem(window, 0xFFFF) != nullptr &&
           GetDlgItem(window, IDC_PROGRESS_CANCEL) == nullptr &&
           GetDlgItem(window, IDC_ABOUT_CONTACT) == nullptr;
}

// --- The stored position -------------------------------------------------------------------------

namespace {

constexpr wchar_t TAMSEL_KEY[] = L"Software\\tamsel";
constexpr wchar_t DATA_KEY[] = L"Software\\tamsel\\data";
constexpr wchar_t POSITION_KEY[] = L"Software\\tamsel\\data\\Position";
constexpr wchar_t POSITION_VALUE[] = L"Position";

bool KeyExists(const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

}  // namespace

RegistrySnapshot TakeRegistrySnapshot() {
    RegistrySnapshot snapshot{};
    snapshot.tamselKey = KeyExists(TAMSEL_KEY);
    snapshot.dataKey = KeyExists(DATA_KEY);
    snapshot.positionKey = KeyExists(POSITION_KEY);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, POSITION_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];
            DWORD nameLength = 256;
            BYTE bytes[256];
            DWORD size = sizeof bytes;
            StoredValue value{};
            if (RegEnumValueW(key, index, name, &nameLength, nullptr, &value.type, bytes, &size) !=
                ERROR_SUCCESS) {
                break;
            }
            value.name = name;
            value.bytes.assign(bytes, bytes + size);
            snapshot.values.push_back(value);
        }
        RegCloseKey(key);
    }
    return snapshot;
}

void RestoreRegistrySnapshot(const RegistrySnapshot& snapshot) {
    if (!snapshot.tamselKey) {
        RegDeleteTreeW(HKEY_CURRENT_USER, TAMSEL_KEY);
        return;
    }
    if (!snapshot.dataKey) {
        RegDeleteTreeW(HKEY_CURRENT_USER, DATA_KEY);
        return;
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, POSITION_KEY);
    if (!snapshot.positionKey) {
        return;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, POSITION_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    for (const StoredValue& value : snapshot.values) {
        RegSetValueExW(key, value.name.c_str(), 0, value.type, value.bytes.data(),
                       static_cast<DWORD>(value.bytes.size()));
    }
    RegCloseKey(key);
}

void WriteStoredRecord(const std::vector<BYTE>& bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, POSITION_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(key, POSITION_VALUE, 0, REG_BINARY, bytes.data(),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }
}

void DeleteStoredRecord() {
    RegDeleteTreeW(HKEY_CURRENT_USER, POSITION_KEY);
}

bool ReadStoredRecord(std::vector<BYTE>* bytes) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, POSITION_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    BYTE buffer[256];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    bool found =
        RegQueryValueExW(key, POSITION_VALUE, nullptr, &type, buffer, &size) == ERROR_SUCCESS &&
        type == REG_BINARY;
    RegCloseKey(key);
    if (found) {
        bytes->assign(buffer, buffer + size);
    }
    return found;
}

std::vector<BYTE> RecordBytes(int32_t left, int32_t top, int32_t width, int32_t height) {
    std::vector<BYTE> bytes;
    for (int32_t number : {left, top, width, height}) {
        auto bits = static_cast<uint32_t>(number);
        for (int k = 0; k < 4; ++k) {
            bytes.push_back(static_cast<BYTE>(bits >> (8 * k)));
        }
    }
    return bytes;
}

// --- Files ---------------------------------------------------------------------------------------

std::wstring MakeTemporaryFolder() {
    static unsigned counter = 0;
    wchar_t temporary[MAX_PATH];
    GetTempPathW(MAX_PATH, temporary);
    for (;;) {
        wchar_t name[MAX_PATH + 64];
        std::swprintf(name, MAX_PATH + 64, L"%lstamsel-test-%lu-%u", temporary,
                      GetCurrentProcessId(), ++counter);
        if (CreateDirectoryW(name, nullptr)) {
            return std::wstring(name) + L"\\";
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return std::wstring();
        }
    }
}

void RemoveTemporaryFolder(const std::wstring& folder) {
    if (folder.empty()) {
        return;
    }
    for (const std::wstring& name : FilesMatching(folder, L"*")) {
        DeleteFileW((folder + name).c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes.append(chunk, got);
    }
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> FilesMatching(const std::wstring& folder, const wchar_t* pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void SetLocalWriteTime(const std::wstring& path, WORD year, WORD month, WORD day, WORD hour,
                       WORD minute) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    FILETIME local{};
    FILETIME utc{};
    SystemTimeToFileTime(&time, &local);
    LocalFileTimeToFileTime(&local, &utc);
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        SetFileTime(file, nullptr, nullptr, &utc);
        CloseHandle(file);
    }
}

HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    size_t chars = 1;  // the empty name that ends the list
    for (const std::wstring& path : paths) {
        chars += path.size() + 1;
    }
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* at = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(drop) + sizeof(DROPFILES));
    for (const std::wstring& path : paths) {
        std::copy(path.c_str(), path.c_str() + path.size() + 1, at);
        at += path.size() + 1;
    }
    *at = 0;
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

std::string SampleEdl(const char* title, int events) {
    std::string text = std::string("TITLE: ") + title + "\r\n\r\n";
    for (int k = 0; k < events; ++k) {
        char line[128];
        int second = k % 50;
        std::snprintf(line, sizeof line,
                      "%03d  TAPE01   V     C        01:00:%02d:00 01:00:%02d:10 00:00:%02d:00 "
                      "00:00:%02d:10\r\n",
                      k % 999 + 1, second, second, second, second);
        text += line;
    }
    return text;
}

std::string CmxEdl() {
    return "TITLE: CMX LIST\r\nFCM: NON-DROP FRAME\r\n\r\n"
           "001  TAPE01   V     C        01:00:00:00 01:00:05:00 00:00:00:00 00:00:05:00\r\n";
}

std::string EdlWithoutEvents() {
    return "TITLE: NOTHING HERE\r\nA NOTE\r\nANOTHER NOTE\r\n";
}

// --- The process -------------------------------------------------------------------------------

int CountProcessThreads() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) {
            ++count;
        }
    }
    CloseHandle(snapshot);
    return count;
}

void DrainMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void PumpMessagesFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        DrainMessages();
        DWORD spent = GetTickCount() - start;
        if (spent >= milliseconds) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - spent, QS_ALLINPUT);
    }
}

namespace {

struct DialogSearch {
    const std::function<bool(HWND)>* matches;
    HWND found;
};

BOOL CALLBACK CheckTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DialogSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        HasClass(window, L"#32770") && (*search->matches)(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct ChildSearch {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK CheckChild(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ChildSearch*>(context);
    if (HasClass(window, search->className)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds) {
    // Until new input arrives (input already there would make it spin), or for what sends none
    // (a window of another thread coming up) a few milliseconds.
    constexpr DWORD LOOK_AGAIN_MILLISECONDS = 10;
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= milliseconds) {
            return false;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, LOOK_AGAIN_MILLISECONDS, QS_ALLINPUT, 0);
    }
    return true;
}

HWND WaitForPopupMenu() {
    HWND popup = nullptr;
    WaitUntil([&popup] {
        popup = FindWindowW(L"#32768", nullptr);
        return popup != nullptr && IsWindowVisible(popup);
    });
    return popup != nullptr && IsWindowVisible(popup) ? popup : nullptr;
}

HWND WaitForDialog(const std::function<bool(HWND)>& matches, DWORD milliseconds) {
    DialogSearch search{&matches, nullptr};
    WaitUntil(
        [&search] {
            EnumWindows(CheckTopLevel, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        milliseconds);
    return search.found;
}

HWND FindChildOfClass(HWND window, const wchar_t* className) {
    ChildSearch search{className, nullptr};
    EnumChildWindows(window, CheckChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HINSTANCE PrepareMainWindowClass() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    LoadShellTexts(instance);
    WNDCLASSEXW known{};
    known.cbSize = sizeof known;
    if (!GetClassInfoExW(instance, L"_GUI", &known)) {
        return RegisterMainWindowClass(instance) ? instance : nullptr;
    }
    return instance;
}
