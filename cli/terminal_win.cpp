#include <io.h>
#include <windows.h>

#include <cstdio>
#include <vector>

#include "terminal.h"
#include "text.h"

namespace {

// Ctrl+C and Ctrl+Break count as the interrupt signal, number 2 as on POSIX.
constexpr int INTERRUPT_SIGNAL = 2;

void (*stopCallback)(int) = nullptr;

BOOL WINAPI OnConsoleControl(DWORD event) {
    if ((event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) && stopCallback != nullptr) {
        stopCallback(INTERRUPT_SIGNAL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

// A console takes UTF-16 as it stands; a pipe or a file gets UTF-8.
bool WriteToStream(FILE* stream, const char16_t* text) {
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        DWORD written = 0;
        std::fflush(stream);
        return WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(text),
                             static_cast<DWORD>(Utf16Length(text)), &written, nullptr) != 0;
    }
    std::vector<char> utf8(Utf8Length(text) + 1);
    Utf16ToUtf8(text, utf8.data(), utf8.size());
    return std::fputs(utf8.data(), stream) >= 0 && std::fflush(stream) == 0;
}

bool ErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

void InstallStopHandlers(void (*onStop)(int signal)) {
    stopCallback = onStop;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

void RaiseSignal(int signal) {
    if (signal == INTERRUPT_SIGNAL) {
        OnConsoleControl(CTRL_C_EVENT);
    }
}
