// tamsel-cli: the command-line converter, a second front end over the conversion job.
#pragma once

// Exit statuses.
constexpr int EXIT_ALL_CONVERTED = 0;
constexpr int EXIT_SOME_FAILED = 1;
constexpr int EXIT_USAGE = 2;

// Runs the converter on UTF-16 arguments (argv[0] is the program); returns the exit status.
int RunCli(int argc, char16_t** argv);
