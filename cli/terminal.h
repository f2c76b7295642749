// Standard output and standard error as this platform's terminal takes them (UTF-8 on POSIX, the
// console's own UTF-16 on Windows), and the signals that stop a run. The two sides are
// terminal_posix.cpp and terminal_win.cpp.
#pragma once

#include <cstdio>

// Writes UTF-16 text to `stream` (stdout or stderr) and flushes it; false when it could not be
// written. Each side writes as its terminal takes the text.
bool WriteToStream(FILE* stream, const char16_t* text);

// Writes UTF-16 text. PrintOutput writes standard output at once (a pipeline sees each line as
// it comes) and returns false when the text could not be written: a closed pipe, a full disk.
void PrintError(const char16_t* text);
bool PrintOutput(const char16_t* text);

// Whether standard error is a terminal, where a progress line helps the person watching.
bool ErrorIsTerminal();

// Calls `onStop` with the signal's number for every signal that asks the run to stop: Ctrl+C
// everywhere, SIGTERM and SIGHUP on POSIX too. `onStop` must be safe in a signal handler. A
// closed pipe on standard output stops nothing: its writes fail instead (SIGPIPE is ignored).
// A stop also cuts short a read of standard input that waits (ReadStandardInput).
void InstallStopHandlers(void (*onStop)(int signal));

// ReadStandardInput's result when a stop came while it waited, or had come before.
constexpr long INPUT_INTERRUPTED = -2;

// Reads up to `count` bytes of standard input as they are (no line-end translation): the number
// read, 0 at its end, -1 when it cannot be read, or INPUT_INTERRUPTED once a stop signal has
// come, so that a reader waiting for a writer that never writes still stops at once.
long ReadStandardInput(unsigned char* into, size_t count);

// Raises `signal` at this process, as if it had come from outside (the test hook's way in).
void RaiseSignal(int signal);
