// window_probe.exe - what the screen shows, as text: one line for each visible top-level
// window of the desktop, "class<TAB>caption" followed by a TAB and the text of each of its
// controls, line breaks written as "\n", in UTF-8. tools/check-release.sh drives the released
// program from outside with the keyboard and reads with this what the program shows: the main
// window, the open dialog, each message box.
#include <windows.h>

#include <string>

namespace {

std::wstring TextOf(HWND window) {
    // WM_GETTEXT, not GetWindowText: this reaches an edit control of another process too.
    wchar_t text[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &length)) {
        return std::wstring();
    }
    std::wstring escaped;
    for (DWORD_PTR k = 0; k < length && text[k] != 0; ++k) {
        if (text[k] == L'\n') {
            escaped += L"\\n";
        } else if (text[k] == L'\t' || text[k] == L'\r') {
            escaped += L' ';
        } else {
            escaped += text[k];
        }
    }
    return escaped;
}

BOOL CALLBACK AddChild(HWND child, LPARAM context) {
    auto* line = reinterpret_cast<std::wstring*>(context);
    if (IsWindowVisible(child)) {
        *line += L'\t';
        *line += TextOf(child);
    }
    return TRUE;
}

BOOL CALLBACK AddWindow(HWND window, LPARAM context) {
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    wchar_t className[128] = {};
    GetClassNameW(window, className, 128);
    std::wstring line = std::wstring(className) + L'\t' + TextOf(window);
    EnumChildWindows(window, AddChild, reinterpret_cast<LPARAM>(&line));
    *reinterpret_cast<std::wstring*>(context) += line + L'\n';
    return TRUE;
}

}  // namespace

int main() {
    std::wstring lines;
    EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&lines));
    int size = WideCharToMultiByte(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()),
                                   nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), utf8.data(), size,
                        nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()),
              &written, nullptr);
    return 0;
}
