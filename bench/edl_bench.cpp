// Throughput and peak memory of whole conversions, on generated files of a given size:
// realistic edit lists and the adversarial shapes that a naive implementation would
// make quadratic (long runs of dissolves of one event, megabytes of "DM ." marks), each with
// and without the CMX export; then, for the realistic list, what the export adds to a
// conversion's time, measured in one process by alternating rounds.
//
//   tamsel-bench [MEGABYTES...]          (default: 1 8 64)
//   tamsel-bench --write FILE MEGABYTES  the realistic list as a file
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
    bool exportCmx;
};

const Case CASES[] = {
    {"realistic plain", Realistic, false},
    {"realistic plain + CMX", Realistic, true},
    {"realistic controller-coded", ControllerCoded, false},
    {"realistic controller-coded + CMX", ControllerCoded, true},
    {"adversarial: one run of dissolves", DissolveRun, false},
    {"adversarial: dissolves + CMX", DissolveRun, true},
    {"adversarial: DM . marks", DmMarks, false},
    {"adversarial: DM . marks + CMX", DmMarks, true},
};

// One conversion, with the export when asked; the seconds it took, or a negative number when
// it failed. `outputSize` receives the size of both texts.
double ConvertOnce(const std::string& source, bool exportCmx, size_t* outputSize) {
    MemorySource memory{reinterpret_cast<const uint8_t*>(source.data()), source.size(), 0};
    ByteSource input = MakeMemorySource(&memory);
    ConvertedTexts out{};
    // 30 frames, non-drop.
    SourceConversion conversion{&input,
                                static_cast<uint32_t>(source.size()),
                                "B.EDL",
                                "2019/03/06  09:05:07",
                                exportCmx ? OPTION_EXPORT_CMX : 0u,
                                30};
    auto start = std::chrono::steady_clock::now();
    ConversionResult result = ConvertEdlSource(conversion, &out);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    *outputSize = out.text.length + out.cmx.length;
    ReleaseConvertedTexts(&out);
    return result == RESULT_CONVERTED ? seconds : -1;
}

// Converts the text a few times and prints the best time; runs in its own process.
void RunCase(const Case& c, size_t megabytes) {
    std::string source = c.generate(megabytes << 20);
    double best = 1e30;
    size_t outputSize = 0;
    for (int round = 0; round < 3; ++round) {
        double seconds = ConvertOnce(source, c.exportCmx, &outputSize);
        if (seconds < 0) {
            std::printf("%-36s %5zu MB  failed\n", c.name, megabytes);
            return;
        }
        best = seconds < best ? seconds : best;
    }
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    double sourceMb = static_cast<double>(source.size()) / (1 << 20);
    std::printf("%-36s %5zu MB  %8.3f s  %8.1f MB/s  peak %7.1f MB  output %7.1f MB\n", c.name,
                megabytes, best, sourceMb / best, usage.ru_maxrss / 1024.0,
                static_cast<double>(outputSize) / (1 << 20));
}

// What the export adds to the conversion of the realistic list, measured two ways.
//
// In one process, rounds with and without the export alternate, so that both see the same
// machine and the allocator may keep its memory from round to round; the best of each is
// compared. Then each conversion runs alone in a fresh process, as one file converted by a
// fresh tamsel-cli, so that every page of every buffer is new; again the best of each.
void RunExportOverhead(size_t megabytes) {
    std::string source = Realistic(megabytes << 20);
    double without = 1e30;
    double with = 1e30;
    size_t outputSize = 0;
    for (int round = 0; round < 15; ++round) {
        double plain = ConvertOnce(source, false, &outputSize);
        double exported = ConvertOnce(source, true, &outputSize);
        without = plain >= 0 && plain < without ? plain : without;
        with = exported >= 0 && exported < with ? exported : with;
    }
    std::printf(
        "the CMX export adds %5.1f %% to the realistic %zu MB in one process (best %.3f s "
        "without, %.3f s with, of 15 rounds each)\n",
        100.0 * (with - without) / without, megabytes, without, with);
}

// One conversion in a child process of its own; the seconds it took.
double ConvertInFreshProcess(size_t megabytes, bool exportCmx) {
    int channel[2];
    if (pipe(channel) != 0) {
        return -1;
    }
    pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        std::string source = Realistic(megabytes << 20);
        size_t outputSize = 0;
        double seconds = ConvertOnce(source, exportCmx, &outputSize);
        ssize_t written = write(channel[1], &seconds, sizeof seconds);
        _exit(written == sizeof seconds ? 0 : 1);
    }
    close(channel[1]);
    double seconds = -1;
    if (read(channel[0], &seconds, sizeof seconds) != sizeof seconds) {
        seconds = -1;
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return seconds;
}

void RunExportOverheadInFreshProcesses(size_t megabytes) {
    double without = 1e30;
    double with = 1e30;
    for (int round = 0; round < 9; ++round) {
        double plain = ConvertInFreshProcess(megabytes, false);
        double exported = ConvertInFreshProcess(megabytes, true);
        without = plain >= 0 && plain < without ? plain : without;
        with = exported >= 0 && exported < with ? exported : with;
    }
    std::printf(
        "the CMX export adds %5.1f %% to the realistic %zu MB, each in a fresh process "
        "(best %.3f s without, %.3f s with, of 9 processes each)\n",
        100.0 * (with - without) / without, megabytes, without, with);
}

}  // namespace

// "--write FILE MEGABYTES": the realistic list written to a file, for timing whole runs of
// tamsel-cli (bench/cli-vs-tr.sh).
int WriteRealistic(const char* path, size_t megabytes) {
    std::string text = Realistic(megabytes << 20);
    FILE* file = std::fopen(path, "wb");
    bool written = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = file != nullptr && std::fclose(file) == 0 && written;
    return written ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--write") {
        return WriteRealistic(argv[2], static_cast<size_t>(std::strtoul(argv[3], nullptr, 10)));
    }
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
    for (size_t megabytes : sizes) {
        std::fflush(stdout);
        pid_t child = fork();
        if (child == 0) {
            RunExportOverhead(megabytes);
            std::fflush(stdout);
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        RunExportOverheadInFreshProcesses(megabytes);
    }
    return 0;
}
