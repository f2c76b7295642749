// Standard output and standard error as this platform's terminal takes them (UTF-8 on POSIX, the
// console's own UTF-16 on Windows), and the signals that stop a run. The two sides are
// terminal_posix.cpp and terminal_win.cpp.
#pragma once

// Writes UTF-16 text. PrintOutput returns false when the text could not be written (a closed
// pipe, a full disk); the run goes on and ends with a failure status.
void PrintError(const char16_t* text);
bool PrintOutput(const char16_t* text);

// Whether standard error is a terminal, where a progress line helps the person watching.
bool ErrorIsTerminal();

// Calls `onInterrupt` on Ctrl+C (and, on POSIX, SIGTERM and SIGHUP). It must be safe in a
// signal handler.
void InstallInterruptHandler(void (*onInterrupt)());
