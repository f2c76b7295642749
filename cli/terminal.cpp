#include "terminal.h"

void PrintError(const char16_t* text) {
    WriteToStream(stderr, text);
}

bool PrintOutput(const char16_t* text) {
    return WriteToStream(stdout, text);
}
