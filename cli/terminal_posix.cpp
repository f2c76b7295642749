#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "terminal.h"
#include "text.h"

namespace {

void (*interruptCallback)() = nullptr;

bool Write(FILE* stream, const char16_t* text) {
    std::vector<char> utf8(Utf8Length(text) + 1);
    Utf16ToUtf8(text, utf8.data(), utf8.size());
    return std::fputs(utf8.data(), stream) >= 0;
}

void OnInterrupt(int) {
    if (interruptCallback != nullptr) {
        interruptCallback();
    }
}

}  // namespace

void PrintError(const char16_t* text) {
    Write(stderr, text);
}

bool PrintOutput(const char16_t* text) {
    return Write(stdout, text);
}

bool ErrorIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

void InstallInterruptHandler(void (*onInterrupt)()) {
    interruptCallback = onInterrupt;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}
