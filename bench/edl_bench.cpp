// Throughput and peak memory of whole conversions, on generated files of a given size:
// realistic edit lists and the adversarial shapes that a naive implementation would
// make quadratic (long runs of dissolves of one event, megabytes of "DM ." marks).
//
//   tamsel-bench [MEGABYTES...]     (default: 1 8 64)
//
// Each case runs in a child process of its own, so that its peak resident memory is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine.h"

namespace {

using Generator = std::string (*)(size_t size);

const char* const REALISTIC_LINES[] = {
    "001  001    V     C        00:59:50:00 00:59:55:00 01:00:00:00 01:00:05:00\r\n",
    "* FROM CLIP NAME: OPENING TITLE\r\n",
    "002  002    VA1A2 C        02:10:00:00 02:10:04:12 01:00:05:00 01:00:09:12\r\n",
    "002  003    VA1A2 D    030 03:00:10:00 03:00:15:00 01:00:09:12 01:00:14:12\r\n",
    "* EFFECT NAME: CROSS DISSOLVE\r\n",
    "003  004    V     W 1001 01:00 04:00:00:00 04:00:03:00 01:00:14:12 01:00:17:12\r\n",
    "004  005    V     KB   002 05:00:00:00 05:00:02:00 01:00:17:12 01:00:19:12\r\n",
    "DM 005 Speed:+050 05:00:10.00\r\n",
    "005  005      A1  C        05:00:10.00 05:00:20:00 01:00:19:12 01:00:29:12 A3 F12\r\n",
    "12 34 56 EDIT MEMORY\r\n",
};

std::string Header() {
    return "  BENCH SHOW\r\nMASTER RECORDER REEL B001\r\nBLOCK 001\r\n\r\n";
}

std::string Realistic(size_t size) {
    std::string text = Header();
    for (size_t k = 0; text.size() < size; ++k) {
        text += REALISTIC_LINES[k % std::size(REALISTIC_LINES)];
    }
    return text;
}

// The same text as the controller writes it: bit 7 on digits and blanks, 0x8D line ends.
std::string ControllerCoded(size_t size) {
    std::string plain = Realistic(size);
    std::string coded;
    coded.reserve(plain.size());
    for (size_t k = 0; k < plain.size(); ++k) {
        char c = plain[k];
        if (c == '\r') {
            coded += '\x8D';
            ++k;  // the line feed
        } else if ((c >= '0' && c <= '9') || c == ' ' || c == ':') {
            coded += static_cast<char>(c | 0x80);
        } else if (c == '.') {
            coded += c;
        } else {
            coded += c;
        }
    }
    return coded;
}

std::string DissolveRun(size_t size) {
    std::string text = Header() + REALISTIC_LINES[0];
    while (text.size() < size) {
        text += "002  003    V     D    030 03:00:10:00 03:00:15:00 01:00:09:12 01:00:14:12\r\n";
    }
    return text;
}

std::string DmMarks(size_t size) {
    std::string text = Header() + REALISTIC_LINES[0];
    while (text.size() < size) {
        text += "DM .";
    }
    return text + "\r\n" + REALISTIC_LINES[2];
}

struct Case {
    const char* name;
    Generator generate;
};

const Case CASES[] = {
    {"realistic plain", Realistic},
    {"realistic controller-coded", ControllerCoded},
    {"adversarial: one run of dissolves", DissolveRun},
    {"adversarial: DM . marks", DmMarks},
};

// Converts the text a few times and prints the best time; runs in its own process.
void RunCase(const Case& c, size_t megabytes) {
    std::string source = c.generate(megabytes << 20);
    double best = 1e30;
    size_t outputSize = 0;
    for (int round = 0; round < 3; ++round) {
        MemorySource memory{reinterpret_cast<const uint8_t*>(source.data()), source.size(), 0};
        ByteSource input = MakeMemorySource(&memory);
        LineState state{};
        ByteBuffer out{};
        auto start = std::chrono::steady_clock::now();
        ConversionResult result =
            ConvertEdlSource(&input, static_cast<uint32_t>(source.size()), "B.EDL",
                             "2019/03/06  09:05:07", 0, &state, &out, nullptr, nullptr, nullptr);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (result != RESULT_CONVERTED) {
            std::printf("%-36s %5zu MB  failed with code %d\n", c.name, megabytes, result);
            return;
        }
        outputSize = out.length;
        BufferRelease(&out);
        best = seconds < best ? seconds : best;
    }
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    double sourceMb = static_cast<double>(source.size()) / (1 << 20);
    std::printf("%-36s %5zu MB  %8.3f s  %8.1f MB/s  peak %7.1f MB  output %7.1f MB\n", c.name,
                megabytes, best, sourceMb / best, usage.ru_maxrss / 1024.0,
                static_cast<double>(outputSize) / (1 << 20));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<size_t> sizes;
    for (int k = 1; k < argc; ++k) {
        sizes.push_back(static_cast<size_t>(std::strtoul(argv[k], nullptr, 10)));
    }
    if (sizes.empty()) {
        sizes = {1, 8, 64};
    }
    std::printf("%-36s %8s  %10s  %13s  %12s  %14s\n", "case", "size", "time", "throughput",
                "peak memory", "output");
    for (size_t megabytes : sizes) {
        for (const Case& c : CASES) {
            std::fflush(stdout);
            pid_t child = fork();
            if (child == 0) {
                RunCase(c, megabytes);
                std::fflush(stdout);
                _exit(0);
            }
            int status = 0;
            waitpid(child, &status, 0);
        }
    }
    return 0;
}
