// Entry point of tamsel-cli: turns the arguments into UTF-16 and runs the converter.
#include <string>
#include <vector>

#include "cli.h"
#include "text.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>

// The command prompt hands "*.EDL" over as it stands: the C runtime expands such patterns into
// the files they match before wmain, as a POSIX shell would.
extern "C" {
int _dowildcard = -1;
}

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // "\n" stays "\n" in pipes
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<char16_t*> arguments;
    for (int k = 0; k < argc; ++k) {
        arguments.push_back(reinterpret_cast<char16_t*>(argv[k]));
    }
    return RunCli(argc, arguments.data());
}

#else

// POSIX names are bytes: each argument is kept whole, raw bytes included (see BytesToUtf16).
int main(int argc, char** argv) {
    std::vector<std::u16string> texts;
    for (int k = 0; k < argc; ++k) {
        std::vector<char16_t> text(std::char_traits<char>::length(argv[k]) + 1);
        BytesToUtf16(argv[k], text.data(), text.size());
        texts.emplace_back(text.data());
    }
    std::vector<char16_t*> arguments;
    for (std::u16string& text : texts) {
        arguments.push_back(text.data());
    }
    return RunCli(argc, arguments.data());
}
#endif
