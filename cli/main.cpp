// Entry point of tamsel-cli: turns the arguments into UTF-16 and runs the converter.
#include <string>
#include <vector>

#include "cli.h"
#include "messages.h"
#include "terminal.h"
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

int main(int argc, char** argv) {
    std::vector<std::u16string> texts;
    for (int k = 0; k < argc; ++k) {
        std::vector<char16_t> text(std::char_traits<char>::length(argv[k]) + 1);
        if (!Utf8ToUtf16(argv[k], text.data(), text.size())) {
            std::vector<char16_t> argument(text.size());
            for (size_t at = 0; argv[k][at] != 0; ++at) {
                argument[at] = static_cast<unsigned char>(argv[k][at]) < 0x80 ? argv[k][at] : u'?';
            }
            const char16_t* texts16[1] = {argument.data()};
            std::vector<char16_t> message(JOB_MESSAGE_CHARS + argument.size());
            FillTemplate(MessageText(MESSAGE_CLI_NOT_UTF8), texts16, 1, nullptr, 0, message.data(),
                         message.size());
            PrintError(message.data());
            PrintError(u"\n");
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
