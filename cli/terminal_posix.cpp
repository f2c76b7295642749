#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "terminal.h"
#include "text.h"

namespace {

void (*stopCallback)(int) = nullptr;

void OnStopSignal(int signal) {
    if (stopCallback != nullptr) {
        stopCallback(signal);
    }
}

}  // namespace

bool WriteToStream(FILE* stream, const char16_t* text) {
    std::vector<char> utf8(Utf8Length(text) + 1);
    Utf16ToUtf8(text, utf8.data(), utf8.size());
    return std::fputs(utf8.data(), stream) >= 0 && std::fflush(stream) == 0;
}

bool ErrorIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

void InstallStopHandlers(void (*onStop)(int signal)) {
    stopCallback = onStop;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int stopping : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(stopping, &action, nullptr);
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
}

void RaiseSignal(int signal) {
    raise(signal);
}
