// Entry point of tamsel-cli: turns the arguments into UTF-16, wires Ctrl+C to the job's stop
// and writes text the way this platform's terminal takes it.
#include <cstdio>
#include <string>
#include <vector>

#include "cli.h"
#include "utf.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

// The command prompt hands "*.EDL" over as it stands: the C runtime expands such patterns into
// the files they match before wmain, as a POSIX shell would.
extern "C" {
int _dowildcard = -1;
}

namespace {

void Write(FILE* stream, const char16_t* text) {
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    const auto* wide = reinterpret_cast<const wchar_t*>(text);
    if (GetConsoleMode(handle, &mode)) {
        DWORD written = 0;
        fflush(stream);
        WriteConsoleW(handle, wide, static_cast<DWORD>(Utf16Length(text)), &written, nullptr);
        return;
    }
    std::vector<char> utf8(Utf8Length(text) + 1);
    Utf16ToUtf8(text, utf8.data(), utf8.size());
    fputs(utf8.data(), stream);
}

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        StopCliJob();
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void InstallInterruptHandler() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}
bool ErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), 0x8000);  // _O_BINARY: "\n" stays "\n" in pipes
    _setmode(_fileno(stderr), 0x8000);
    std::vector<char16_t*> arguments;
    for (int k = 0; k < argc; ++k) {
        arguments.push_back(reinterpret_cast<char16_t*>(argv[k]));
    }
    return RunCli(argc, arguments.data());
}

#else
#include <signal.h>
#include <unistd.h>

namespace {

void Write(FILE* stream, const char16_t* text) {
    std::vector<char> utf8(Utf8Length(text) + 1);
    Utf16ToUtf8(text, utf8.data(), utf8.size());
    fputs(utf8.data(), stream);
}

void OnInterrupt(int) {
    StopCliJob();
}

}  // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

bool ErrorIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

int main(int argc, char** argv) {
    std::vector<std::u16string> texts;
    for (int k = 0; k < argc; ++k) {
        std::vector<char16_t> text(std::char_traits<char>::length(argv[k]) + 1);
        if (!Utf8ToUtf16(argv[k], text.data(), text.size())) {
            fprintf(stderr, "tamsel-cli: %s: UTF-8 ではない引数は扱えません。\n", argv[k]);
            return EXIT_USAGE;
        }
        texts.emplace_back(text.data());
    }
    std::vector<char16_t*> arguments;
    for (std::u16string& text : texts) {
        arguments.push_back(text.data());
    }
    return RunCli(argc, arguments.data());
}
#endif

void PrintError(const char16_t* text) {
    Write(stderr, text);
}
void PrintOutput(const char16_t* text) {
    Write(stdout, text);
}
