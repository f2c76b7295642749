// The clashes between the names and outputs of a command-line run, refused before any
// conversion: the files a run takes, and what it refuses, with either platform's name rule.
#include <filesystem>
#include <string>
#include <vector>

#include "conversion_options.h"
#include "platform.h"
#include "run_files.h"
#include "test_util.h"

namespace {

namespace fs = std::filesystem;

std::string Utf8(const std::u16string& text) {
    std::vector<char> bytes(Utf8Length(text.c_str()) + 1);
    Utf16ToUtf8(text.c_str(), bytes.data(), bytes.size());
    return bytes.data();
}

// Names as Windows compares them: letter case ignored (the Latin letters stand for the system's
// whole table, which the platform tests check against the system).
void FoldAsWindows(char16_t* name) {
    for (; *name != 0; ++name) {
        *name = UpperCaseUnit(*name);
    }
}

// Makes a row's entry: a file ("d/A.EDL"), a folder ("d/") or a link ("L.EDL>target").
void Make(const TestFolder& folder, const std::string& entry) {
    size_t link = entry.find('>');
    fs::create_directories((folder / entry.substr(0, link)).parent_path());
    if (link != std::string::npos) {
        fs::create_symlink(entry.substr(link + 1), folder / entry.substr(0, link));
    } else if (entry.back() != '/') {
        folder.Write(entry, "x");
    }
}

// What a run takes (display names), then what it refuses: "duplicate <name>", or "<code> <name>"
// for an output that would be a source.
std::vector<std::string> Screen(const TestFolder& folder, const std::vector<const char*>& given,
                                const char* outputFolder, uint32_t options, NameFold fold) {
    std::vector<std::u16string> inputs;
    for (const char* input : given) {
        inputs.push_back(folder.Path(input));
    }
    NameListInput none{[](void*, uint8_t*, size_t) { return 0L; }, [](void*) { return false; },
                       nullptr};
    GatheredFiles gathered = GatherRunFiles(inputs, none, fold);
    std::u16string output = folder.FolderPath(outputFolder);
    AcceptedFiles accepted =
        AcceptRunFiles(gathered.paths, output.c_str(), options, fold, [] { return false; });
    std::vector<std::string> screened;
    for (const RunFile& file : accepted.files) {
        screened.push_back(Utf8(file.displayName));
    }
    for (const Refusal& refusal : accepted.refusals) {
        std::string why =
            refusal.kind == REFUSED_DUPLICATE_NAME ? "duplicate" : std::to_string(refusal.code);
        screened.push_back(why + " " + Utf8(refusal.name));
    }
    return screened;
}

TEST(OutputClashes, EveryNameReachesItsOwnOutput) {
    const NameFold windows = FoldAsWindows;
    const NameFold posix = FoldFileName;
    const uint32_t cmx = OPTION_EXPORT_CMX;
    const struct {
        const char* rule;
        bool posixOnly;  // needs links
        std::vector<std::string> entries;
        std::vector<const char*> inputs;
        const char* outputFolder;
        uint32_t options;
        NameFold fold;
        std::vector<std::string> screened;
    } rows[] = {
        // clang-format off
        {"on Windows names differing only in letter case are one output", false,
         {"d1/a.edl", "d2/A.EDL"}, {"d1/a.edl", "d2/A.EDL"}, "o", 0, windows,
         {"a.EDL", "duplicate A.EDL"}},
        {"an output that is a source given with it, however its folder is reached", false,
         {"A.EDL", "c_a.edl", "d/"}, {"A.EDL", "d/../c_a.edl"}, "", 0, windows,
         {"c_a.EDL", "8 A.EDL"}},
        {"a source that is a link to an earlier output", true,
         {"src/B.EDL", "o/C_B.EDL", "src/L.EDL>../o/C_B.EDL"}, {"src/L.EDL", "src/B.EDL"}, "o", 0,
         posix, {"L.EDL", "8 B.EDL"}},
        {"the export's own clash names CMX_", false, {"A.EDL", "CMX_A.EDL"},
         {"A.EDL", "CMX_A.EDL"}, "", cmx, posix, {"CMX_A.EDL", "10 A.EDL"}},
        {"a table that is a source names its table", false, {"A.EDL", "EVENTS_A.csv"},
         {"A.EDL", "EVENTS_A.csv"}, "", OPTION_EXPORT_EVENTS, posix, {"EVENTS_A.CSV", "15 A.EDL"}},
        {"so does the pull list", false, {"A.EDL", "PULL_A.csv"}, {"PULL_A.csv", "A.EDL"}, "",
         OPTION_EXPORT_PULL, posix, {"PULL_A.CSV", "16 A.EDL"}},
        {"a folder leaves out its files' outputs; a lone C_ file is a source", false,
         {"d/A.EDL", "d/C_A.EDL", "d/CMX_A.EDL", "d/C_C_A.EDL", "d/b.edl", "d/C_b.EDL",
          "d/C_ALONE.EDL"}, {"d"}, "o", 0, posix, {"A.EDL", "C_ALONE.EDL", "b.EDL"}},
        {"a rerun over its own output folder takes its sources again", false,
         {"d/A.EDL", "d/C_A.EDL", "d/CMX_A.EDL"}, {"d"}, "d", cmx, posix, {"A.EDL"}},
        {"on Windows an output in other letter case is left out too", false,
         {"d/a.edl", "d/C_A.EDL"}, {"d"}, "o", 0, windows, {"a.EDL"}},
        // clang-format on
    };
    for (const auto& row : rows) {
#ifdef _WIN32
        if (row.posixOnly) {
            continue;
        }
#endif
        TestFolder folder;
        for (const std::string& entry : row.entries) {
            Make(folder, entry);
        }
        EXPECT_EQ(row.screened, Screen(folder, row.inputs, row.outputFolder, row.options, row.fold))
            << row.rule;
    }
}

}  // namespace
