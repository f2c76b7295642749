#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "terminal.h"
#include "text.h"

namespace {

void (*stopCallback)(int) = nullptr;

// Written to by the stop handler and never drained: once a stop has come, every wait for
// standard input ends at once, also one that begins after the signal.
int wakeReadEnd = -1;
int wakeWriteEnd = -1;

void OnStopSignal(int signal) {
    int savedErrno = errno;
    if (stopCallback != nullptr) {
        stopCallback(signal);
    }
    if (wakeWriteEnd >= 0) {
        const char wake = 1;
        ssize_t ignored = write(wakeWriteEnd, &wake, 1);
        (void)ignored;
    }
    errno = savedErrno;
}

}  // namespace

// Written with write() rather than through the stream's buffer, each call again after an
// interruption: a stop signal (whose handler restarts nothing) never loses a line half-way.
bool WriteToStream(FILE* stream, const char16_t* text) {
    std::vector<char> utf8(Utf8Length(text) + 1);
    Utf16ToUtf8(text, utf8.data(), utf8.size());
    std::fflush(stream);
    int fd = fileno(stream);
    size_t left = utf8.size() - 1;
    const char* at = utf8.data();
    while (left > 0) {
        ssize_t written = write(fd, at, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        at += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

bool ErrorIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

void InstallStopHandlers(void (*onStop)(int signal)) {
    stopCallback = onStop;
    int wakeEnds[2];
    if (pipe2(wakeEnds, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeReadEnd = wakeEnds[0];
        wakeWriteEnd = wakeEnds[1];
    }
    // No SA_RESTART: a read of standard input that waits is not resumed after a stop.
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (int stopping : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(stopping, &action, nullptr);
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
}

long ReadStandardInput(unsigned char* into, size_t count) {
    pollfd waits[2] = {{STDIN_FILENO, POLLIN, 0}, {wakeReadEnd, POLLIN, 0}};
    int ready = poll(waits, wakeReadEnd >= 0 ? 2 : 1, -1);
    if (ready < 0) {
        return errno == EINTR ? INPUT_INTERRUPTED : -1;
    }
    if ((waits[1].revents & POLLIN) != 0) {
        return INPUT_INTERRUPTED;
    }
    ssize_t got = read(STDIN_FILENO, into, count);
    if (got < 0) {
        return errno == EINTR || errno == EAGAIN ? INPUT_INTERRUPTED : -1;
    }
    return static_cast<long>(got);
}

void RaiseSignal(int signal) {
    raise(signal);
}
