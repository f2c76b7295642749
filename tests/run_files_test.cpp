// The files of a command-line run, as functions: the name list read from standard input, and
// the clashes between outputs and names that are refused before any conversion.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "conversion_options.h"
#include "platform.h"
#include "run_files.h"
#include "test_util.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;

std::string Utf8(const std::u16string& text) {
    std::vector<char> bytes(Utf8Length(text.c_str()) + 1);
    Utf16ToUtf8(text.c_str(), bytes.data(), bytes.size());
    return bytes.data();
}

std::string Describe(const Refusal& refusal) {
    switch (refusal.kind) {
        case REFUSED_LINE_TOO_LONG:
            return "line " + std::to_string(refusal.line) + " too long";
        case REFUSED_LINE_HAS_NUL:
            return "line " + std::to_string(refusal.line) + " has NUL";
        case REFUSED_PATH_TOO_LONG:
            return "too long " + Utf8(refusal.name);
        case REFUSED_DUPLICATE_NAME:
            return "duplicate " + Utf8(refusal.name);
        case REFUSED_WITH_CODE:
            return "code " + std::to_string(refusal.code) + " " + Utf8(refusal.name);
    }
    return "?";
}

std::vector<std::string> Described(const std::vector<Refusal>& refusals) {
    std::vector<std::string> described;
    for (const Refusal& refusal : refusals) {
        described.push_back(Describe(refusal));
    }
    return described;
}

// --- The name list ------------------------------------------------------------------------------

// How standard input comes in the tests: in reads of at most `chunk` bytes (so that a line, and
// the byte-order mark, arrive in pieces); a stop that comes after `stopAfter` reads; a read
// error after `failAfter` reads; the first read cut short by a signal.
struct Delivery {
    size_t chunk = 64;
    int stopAfter = -1;
    int failAfter = -1;
    bool interruptFirst = false;
};

struct ScriptedInput {
    Bytes bytes;
    Delivery delivery;
    size_t at = 0;
    int reads = 0;

    static long Read(void* context, uint8_t* into, size_t count) {
        auto* input = static_cast<ScriptedInput*>(context);
        if (input->delivery.interruptFirst) {
            input->delivery.interruptFirst = false;
            return NAME_INPUT_INTERRUPTED;
        }
        if (input->reads++ == input->delivery.failAfter) {
            return -1;
        }
        size_t length = std::min({count, input->delivery.chunk, input->bytes.size() - input->at});
        std::copy_n(input->bytes.data() + input->at, length, into);
        input->at += length;
        return static_cast<long>(length);
    }
    static bool Stopped(void* context) {
        auto* input = static_cast<ScriptedInput*>(context);
        return input->reads == input->delivery.stopAfter;
    }
};

void FoldNothing(char16_t*) {}

// What a list gave: its paths, then its refusals, then how it ended.
std::vector<std::string> Gathered(const GatheredFiles& gathered) {
    std::vector<std::string> items;
    for (const std::u16string& path : gathered.paths) {
        items.push_back(Utf8(path));
    }
    std::vector<std::string> refusals = Described(gathered.refusals);
    items.insert(items.end(), refusals.begin(), refusals.end());
    items.push_back(gathered.stopped          ? "stopped"
                    : gathered.listUnreadable ? "unreadable"
                                              : "ended");
    return items;
}

TEST(NameList, EachLineIsANameOrARefusalWithItsNumber) {
    const std::string longest(LONGEST_PATH_BYTES, 'x');
    const Bytes mark = "\xEF\xBB\xBF";
    struct Row {
        const char* rule;
        Bytes input;
        Delivery delivery;
        std::vector<std::string> gathered;
    };
    const std::vector<Row> rows = {
        {"one name a line; empty lines skipped; a CR before the LF is no part of the name",
         "a.edl\n\nb.edl\r\n\r\n",
         {4},
         {"a.edl", "b.edl", "ended"}},
        {"the last line needs no line end", "a.edl\nb.edl", {3}, {"a.edl", "b.edl", "ended"}},
        {"a UTF-8 byte-order mark at the start is dropped, even split over reads",
         mark + "a.edl\n",
         {1},
         {"a.edl", "ended"}},
        {"the mark elsewhere is a character of the name",
         "a.edl\n" + mark + "b.edl\n",
         {},
         {"a.edl", mark + "b.edl", "ended"}},
        {"a line of the longest path is a name, with or without a CR",
         longest + "\n" + longest + "\r\n",
         {4096},
         {longest, longest, "ended"}},
        {"one byte longer is refused by its number, and the lines after it are read",
         "a.edl\n" + longest + "y\r\nb.edl\n",
         {4096},
         {"a.edl", "b.edl", "line 2 too long", "ended"}},
        {"a NUL refuses its line",
         Bytes("a.edl\nb\0c.edl\nd.edl\n", 20),
         {5},
         {"a.edl", "d.edl", "line 2 has NUL", "ended"}},
        {"find -print0 gives one line of NULs",
         Bytes("a.edl\0b.edl\0", 12),
         {},
         {"line 1 has NUL", "ended"}},
        {"line numbers count the empty lines",
         Bytes("\n\r\nx\0\n", 6),
         {},
         {"line 3 has NUL", "ended"}},
        {"a stop before the first read gathers nothing", "a.edl\nb.edl\n", {64, 0}, {"stopped"}},
        {"a stop between reads keeps what came before and reads no more",
         "a.edl\nb.edl\n",
         {8, 1},
         {"a.edl", "stopped"}},
        {"a wait cut short without a stop is read again",
         "a.edl\n",
         {64, -1, -1, true},
         {"a.edl", "ended"}},
        {"an input that fails before its end is said to",
         "a.edl\nb.edl\n",
         {8, -1, 1},
         {"a.edl", "unreadable"}},
    };
    for (const auto& row : rows) {
        ScriptedInput input{row.input, row.delivery};
        NameListInput names{ScriptedInput::Read, ScriptedInput::Stopped, &input};
        EXPECT_EQ(row.gathered, Gathered(GatherRunFiles({u"-"}, names, FoldNothing))) << row.rule;
    }
}

// --- Output clashes -----------------------------------------------------------------------------

// Names as Windows compares them: letter case ignored (the Latin letters stand for the system's
// whole table here, which the platform tests check against the system).
void FoldAsWindows(char16_t* name) {
    for (; *name != 0; ++name) {
        *name = UpperCaseUnit(*name);
    }
}

bool NeverStopped() {
    return false;
}

enum Setup { FILE_HERE, FOLDER_HERE, LINK_TO, HARD_LINK_TO, FIFO_HERE };

struct Entry {
    Setup setup;
    const char* path;
    const char* target = nullptr;  // for links: what the link leads to
};

void Make(const TestFolder& folder, const Entry& entry) {
    fs::path path = folder / entry.path;
    fs::create_directories(path.parent_path());
    switch (entry.setup) {
        case FILE_HERE:
            folder.Write(entry.path, "x");
            break;
        case FOLDER_HERE:
            fs::create_directories(path);
            break;
        case LINK_TO:
            fs::create_symlink(entry.target, path);
            break;
        case HARD_LINK_TO:
            fs::create_hard_link(folder / entry.target, path);
            break;
        case FIFO_HERE:
#ifndef _WIN32
            ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
#endif
            break;
    }
}

// How a run is made: its output folder, options and name comparison; some rows need links,
// FIFOs or letter case that only POSIX tells apart.
struct RunSetting {
    const char* outputFolder;
    uint32_t options;
    NameFold fold;
    bool posixOnly = false;
};

// What a run took (display names), then what it refused.
std::vector<std::string> Screened(const TestFolder& folder, const std::vector<const char*>& given,
                                  const RunSetting& setting) {
    std::vector<std::u16string> inputs;
    for (const char* input : given) {
        inputs.push_back(folder.Path(input));
    }
    std::u16string output = folder.FolderPath(setting.outputFolder);
    ScriptedInput none{"", {}};
    NameListInput names{ScriptedInput::Read, ScriptedInput::Stopped, &none};
    GatheredFiles gathered = GatherRunFiles(inputs, names, setting.fold);
    AcceptedFiles accepted =
        AcceptRunFiles(gathered.paths, output.c_str(), setting.options, setting.fold, NeverStopped);
    std::vector<std::string> items;
    for (const RunFile& file : accepted.files) {
        items.push_back(Utf8(file.displayName));
    }
    std::vector<std::string> refusals = Described(accepted.refusals);
    items.insert(items.end(), refusals.begin(), refusals.end());
    return items;
}

TEST(OutputClashes, EveryNameReachesItsOwnOutput) {
    const RunSetting windows{"o", 0, FoldAsWindows};
    const RunSetting linux{"o", 0, FoldFileName, true};
    const RunSetting here{"", 0, FoldFileName};
    const RunSetting hereWithExport{"", OPTION_EXPORT_CMX, FoldFileName};
    const RunSetting links{"o", 0, FoldFileName, true};
    const std::vector<Entry> earlierRun = {
        {FILE_HERE, "d/A.EDL"}, {FILE_HERE, "d/C_A.EDL"}, {FILE_HERE, "d/CMX_A.EDL"}};
    const struct {
        const char* rule;
        std::vector<Entry> entries;
        std::vector<const char*> inputs;
        RunSetting setting;
        std::vector<std::string> screened;
    } rows[] = {
        {"on Windows two names differing only in letter case are one output",
         {{FILE_HERE, "d1/a.edl"}, {FILE_HERE, "d2/A.EDL"}},
         {"d1/a.edl", "d2/A.EDL"},
         windows,
         {"a.EDL", "duplicate A.EDL"}},
        {"on Linux they are two",
         {{FILE_HERE, "d1/a.edl"}, {FILE_HERE, "d2/A.EDL"}},
         {"d1/a.edl", "d2/A.EDL"},
         linux,
         {"a.EDL", "A.EDL"}},
        {"an output that is a source given with it",
         {{FILE_HERE, "A.EDL"}, {FILE_HERE, "C_A.EDL"}},
         {"A.EDL", "C_A.EDL"},
         here,
         {"C_A.EDL", "code 8 A.EDL"}},
        {"on Windows also in other letter case, its folder reached another way",
         {{FILE_HERE, "A.EDL"}, {FILE_HERE, "c_a.edl"}, {FOLDER_HERE, "d"}},
         {"A.EDL", "d/../c_a.edl"},
         {"", 0, FoldAsWindows},
         {"c_a.EDL", "code 8 A.EDL"}},
        {"a source reached through a link to an earlier output",
         {{FILE_HERE, "src/B.EDL"},
          {FILE_HERE, "o/C_B.EDL"},
          {LINK_TO, "src/L.EDL", "../o/C_B.EDL"}},
         {"src/L.EDL", "src/B.EDL"},
         links,
         {"L.EDL", "code 8 B.EDL"}},
        {"a source that is a hard link of an earlier output",
         {{FILE_HERE, "src/B.EDL"},
          {FILE_HERE, "o/C_B.EDL"},
          {HARD_LINK_TO, "src/H.EDL", "o/C_B.EDL"}},
         {"src/H.EDL", "src/B.EDL"},
         links,
         {"H.EDL", "code 8 B.EDL"}},
        {"the export's clash is its own: the message names CMX_",
         {{FILE_HERE, "A.EDL"}, {FILE_HERE, "CMX_A.EDL"}},
         {"A.EDL", "CMX_A.EDL"},
         hereWithExport,
         {"CMX_A.EDL", "code 10 A.EDL"}},
        {"without the export CMX_ clashes with nothing",
         {{FILE_HERE, "A.EDL"}, {FILE_HERE, "CMX_A.EDL"}},
         {"A.EDL", "CMX_A.EDL"},
         here,
         {"A.EDL", "CMX_A.EDL"}},
        {"a folder leaves out the outputs of its files; a lone C_ file is a source",
         {{FILE_HERE, "d/A.EDL"},
          {FILE_HERE, "d/C_A.EDL"},
          {FILE_HERE, "d/CMX_A.EDL"},
          {FILE_HERE, "d/C_C_A.EDL"},
          {FILE_HERE, "d/b.edl"},
          {FILE_HERE, "d/C_b.EDL"},
          {FILE_HERE, "d/C_ALONE.EDL"}},
         {"d"},
         here,
         {"A.EDL", "C_ALONE.EDL", "b.EDL"}},
        {"a rerun over its own output folder takes its sources again",
         earlierRun,
         {"d"},
         {"d", OPTION_EXPORT_CMX, FoldFileName},
         {"A.EDL"}},
        {"named on the command line, an output is a source all the same",
         earlierRun,
         {"d/A.EDL", "d/C_A.EDL"},
         here,
         {"A.EDL", "C_A.EDL"}},
        {"on Windows an earlier output in other letter case is left out",
         {{FILE_HERE, "d/a.edl"}, {FILE_HERE, "d/C_A.EDL"}},
         {"d"},
         windows,
         {"a.EDL"}},
        {"on Linux it is a file of its own",
         {{FILE_HERE, "d/a.edl"}, {FILE_HERE, "d/C_A.EDL"}},
         {"d"},
         linux,
         {"C_A.EDL", "a.EDL"}},
        {"in a folder, what is no regular file is kept for its message",
         {{FILE_HERE, "d/x.edl"},
          {FOLDER_HERE, "d/sub.EDL"},
          {FIFO_HERE, "d/fifo.edl"},
          {LINK_TO, "d/dangling.edl", "nowhere"},
          {FOLDER_HERE, "d/plain"}},
         {"d"},
         links,
         {"dangling.EDL", "fifo.EDL", "sub.EDL", "x.EDL"}},
    };
    for (const auto& row : rows) {
#ifdef _WIN32
        if (row.setting.posixOnly) {
            continue;
        }
#endif
        TestFolder folder;
        for (const Entry& entry : row.entries) {
            Make(folder, entry);
        }
        EXPECT_EQ(row.screened, Screened(folder, row.inputs, row.setting)) << row.rule;
    }
}

}  // namespace
