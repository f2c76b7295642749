// The files of a command-line run, made ready before any conversion: every FILE as given, a
// folder opened into the EDL files directly inside it, "-" read as a list of names; then each
// file's display name, and every file or line refused before conversion, as values the run
// prints. The output folder's name comparison comes as a parameter (FoldFileName in the run),
// so that each platform's rule can be tried anywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "file_names.h"
#include "job_result.h"
#include "name_list.h"

// A file of the run: its path and the display name its output is named after.
struct RunFile {
    std::u16string path;
    std::u16string displayName;
};

enum RefusalKind {
    REFUSED_LINE_TOO_LONG,   // a name line longer than any path: `line`
    REFUSED_LINE_HAS_NUL,    // a name line holding a NUL byte: `line`
    REFUSED_PATH_TOO_LONG,   // longer than a job holds: `name` and `folder`
    REFUSED_DUPLICATE_NAME,  // a display name taken earlier in the run: `name` and `folder`
    REFUSED_WITH_CODE,       // `code`'s message for `name`: an output that is a source
};

struct Refusal {
    RefusalKind kind;
    size_t line;
    JobResult code;
    std::u16string name;    // the display name
    std::u16string folder;  // as given, "." when the path has none
};

struct GatheredFiles {
    std::vector<std::u16string> paths;
    std::vector<Refusal> refusals;  // lines of the name list that name no file
    bool stopped;                   // a stop came: the rest was not gathered
    bool listUnreadable;            // the name list failed before its end
};

// Every file the inputs name, in their order: a file as it stands; for a folder, the entries
// directly inside it whose name ends in ".EDL" in any letter case, sorted by name (anything
// there that is no regular file is kept, so that opening it names it), but for those that are
// the outputs of another entry (see MarkSiblingOutputs); for "-", the names of `names`.
GatheredFiles GatherRunFiles(const std::vector<std::u16string>& inputs, const NameListInput& names,
                             NameFold fold);

struct AcceptedFiles {
    std::vector<RunFile> files;
    std::vector<Refusal> refusals;  // in the order the files came
    bool stopped;
};

// Gives each file its display name (its name with the extension upper-cased) and refuses, in
// this order: a path longer than a job holds; a display name that a file given earlier already
// has, as `fold` compares names (the two outputs would be one file); a file one of whose outputs
// in `outputFolder` would be a source of the run (see FindOutputsOverSources). Stops early,
// with `stopped`, once `stopped` says so.
AcceptedFiles AcceptRunFiles(const std::vector<std::u16string>& paths, const char16_t* outputFolder,
                             uint32_t options, NameFold fold, bool (*stopped)());
