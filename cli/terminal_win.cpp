#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "terminal.h"
#include "text.h"

namespace {

// Ctrl+C and Ctrl+Break count as the interrupt signal, number 2 as on POSIX.
constexpr int INTERRUPT_SIGNAL = 2;

void (*stopCallback)(int) = nullptr;

// The thread that reads standard input, and whether it is inside a read: a stop cancels that
// read, which would otherwise wait for a writer that may never write.
HANDLE readingThread = nullptr;
std::atomic<bool> readingInput{false};
std::atomic<bool> stopCame{false};

void CancelWaitingRead() {
    // The read may be about to begin: try again for a moment until it is cancelled.
    constexpr int ATTEMPTS = 100;
    for (int attempt = 0; attempt < ATTEMPTS && readingInput.load(); ++attempt) {
        if (readingThread != nullptr && CancelSynchronousIo(readingThread)) {
            return;
        }
        Sleep(10);
    }
}

BOOL WINAPI OnConsoleControl(DWORD event) {
    if ((event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) && stopCallback != nullptr) {
        stopCallback(INTERRUPT_SIGNAL);
        stopCame.store(true);
        CancelWaitingRead();
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
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &readingThread, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

long ReadStandardInput(unsigned char* into, size_t count) {
    if (stopCame.load()) {
        return INPUT_INTERRUPTED;
    }
    DWORD got = 0;
    readingInput.store(true);
    BOOL read =
        ReadFile(GetStdHandle(STD_INPUT_HANDLE), into,
                 static_cast<DWORD>(count > 0x10000000 ? 0x10000000 : count), &got, nullptr);
    DWORD error = read ? ERROR_SUCCESS : GetLastError();
    readingInput.store(false);
    if (stopCame.load() || error == ERROR_OPERATION_ABORTED) {
        return INPUT_INTERRUPTED;
    }
    if (!read) {
        // The writer of a pipe has closed it: that is its end.
        return error == ERROR_BROKEN_PIPE ? 0 : -1;
    }
    return static_cast<long>(got);
}

void RaiseSignal(int signal) {
    if (signal == INTERRUPT_SIGNAL) {
        OnConsoleControl(CTRL_C_EVENT);
    }
}
