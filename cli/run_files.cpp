#include "run_files.h"

#include <algorithm>
#include <memory>

#include "conversion_job.h"
#include "platform.h"
#include "source_protection.h"

namespace {

// What the name list's lines become.
struct ListReading {
    GatheredFiles* gathered;
    std::vector<char16_t> path;
};

void TakeNameLine(void* context, const NameLine& line) {
    auto* reading = static_cast<ListReading*>(context);
    if (line.kind == NAME_LINE_TOO_LONG) {
        reading->gathered->refusals.push_back(
            Refusal{REFUSED_LINE_TOO_LONG, line.number, FILE_CONVERTED, {}, {}});
    } else if (line.kind == NAME_LINE_HAS_NUL) {
        reading->gathered->refusals.push_back(
            Refusal{REFUSED_LINE_HAS_NUL, line.number, FILE_CONVERTED, {}, {}});
    } else if (NameLineToUtf16(line.name, reading->path.data(), reading->path.size())) {
        reading->gathered->paths.emplace_back(reading->path.data());
    }
}

void ReadNames(const NameListInput& names, GatheredFiles* gathered) {
    // A line of the longest path becomes at most one unit a byte.
    ListReading reading{gathered, std::vector<char16_t>(LONGEST_PATH_BYTES + 1)};
    NameListEnd end = ReadNameList(names, LONGEST_PATH_BYTES, TakeNameLine, &reading);
    gathered->stopped = end == NAME_LIST_STOPPED;
    gathered->listUnreadable = end == NAME_LIST_UNREADABLE;
}

void AddName(void* context, const char16_t* name) {
    static_cast<std::vector<std::u16string>*>(context)->emplace_back(name);
}

// The EDL entries directly in a folder given as a FILE, sorted by name, but for the outputs of
// other entries there.
void AddFolderFiles(const std::u16string& folder, NameFold fold,
                    std::vector<std::u16string>* paths) {
    std::vector<std::u16string> names;
    ListFolderNames(folder.c_str(), AddName, &names);
    std::vector<const char16_t*> pointers;
    for (const std::u16string& name : names) {
        pointers.push_back(name.c_str());
    }
    std::unique_ptr<bool[]> isOutput(new bool[names.size() + 1]());
    MarkSiblingOutputs(pointers.data(), names.size(), fold, isOutput.get());
    std::vector<std::u16string> edlNames;
    for (size_t k = 0; k < names.size(); ++k) {
        std::u16string upper = names[k];
        UpperCaseExtension(upper.data());
        if (!isOutput[k] && HasEdlExtension(upper.c_str())) {
            edlNames.push_back(names[k]);
        }
    }
    std::sort(edlNames.begin(), edlNames.end());
    bool endsWithSeparator =
        !folder.empty() &&
        std::u16string(PATH_SEPARATORS).find(folder.back()) != std::u16string::npos;
    for (const std::u16string& name : edlNames) {
        paths->push_back(endsWithSeparator ? folder + name : folder + PATH_SEPARATOR + name);
    }
}

// The refusals of the outputs that would be sources, for the files named so far.
void RefuseOutputsOverSources(const char16_t* outputFolder, uint32_t options, NameFold fold,
                              AcceptedFiles* accepted) {
    std::vector<const char16_t*> paths;
    std::vector<const char16_t*> names;
    for (const RunFile& file : accepted->files) {
        paths.push_back(file.path.c_str());
        names.push_back(file.displayName.c_str());
    }
    std::vector<JobResult> refusals(accepted->files.size(), FILE_CONVERTED);
    OutputKind kinds[MAX_OUTPUT_KINDS];
    size_t kindCount = OutputKinds(options, kinds);
    FindOutputsOverSources(outputFolder, kinds, kindCount, paths.data(), names.data(),
                           accepted->files.size(), fold, refusals.data());
    FindTableNameClashes(kinds, kindCount, names.data(), accepted->files.size(), fold,
                         FILE_CONVERTED, refusals.data());
    std::vector<RunFile> kept;
    for (size_t k = 0; k < accepted->files.size(); ++k) {
        if (refusals[k] != FILE_CONVERTED) {
            accepted->refusals.push_back(
                Refusal{REFUSED_WITH_CODE, 0, refusals[k], accepted->files[k].displayName, {}});
        } else {
            kept.push_back(std::move(accepted->files[k]));
        }
    }
    accepted->files = std::move(kept);
}

}  // namespace

GatheredFiles GatherRunFiles(const std::vector<std::u16string>& inputs, const NameListInput& names,
                             NameFold fold) {
    GatheredFiles gathered{};
    for (const std::u16string& input : inputs) {
        FileIdentity folder{};
        if (names.stopped(names.context)) {
            gathered.stopped = true;
        } else if (input == u"-") {
            ReadNames(names, &gathered);
        } else if (GetFolderIdentity(input.c_str(), &folder)) {
            AddFolderFiles(input, fold, &gathered.paths);
        } else {
            gathered.paths.push_back(input);
        }
        if (gathered.stopped) {
            break;
        }
    }
    return gathered;
}

AcceptedFiles AcceptRunFiles(const std::vector<std::u16string>& paths, const char16_t* outputFolder,
                             uint32_t options, NameFold fold, bool (*stopped)()) {
    AcceptedFiles accepted{};
    NameSet names{fold, {}};
    names.taken.reserve(paths.size());
    for (const std::u16string& path : paths) {
        if (stopped()) {
            accepted.stopped = true;
            return accepted;
        }
        std::vector<char16_t> folder(path.size() + 1);
        std::vector<char16_t> name(path.size() + 1);
        SplitPath(path.c_str(), PATH_SEPARATORS, folder.data(), folder.size(), name.data(),
                  name.size());
        UpperCaseExtension(name.data());
        std::u16string shownFolder = folder[0] == 0 ? u"." : folder.data();
        if (path.size() >= JOB_PATH_CHARS || Utf16Length(name.data()) >= JOB_NAME_CHARS) {
            accepted.refusals.push_back(
                Refusal{REFUSED_PATH_TOO_LONG, 0, FILE_CONVERTED, name.data(), shownFolder});
        } else if (!TakeName(&names, name.data())) {
            accepted.refusals.push_back(
                Refusal{REFUSED_DUPLICATE_NAME, 0, FILE_CONVERTED, name.data(), shownFolder});
        } else {
            accepted.files.push_back(RunFile{path, name.data()});
        }
    }
    // One rule for the whole run, which may take several jobs.
    RefuseOutputsOverSources(outputFolder, options, fold, &accepted);
    return accepted;
}
