#include "source_protection.h"

#include <set>
#include <string>
#include <unordered_set>
#include <utility>

#include "engine.h"
#include "platform.h"

namespace {

using IdentityKey = std::pair<uint64_t, uint64_t>;

IdentityKey KeyOf(const FileIdentity& identity) {
    return IdentityKey{identity.volume, identity.index};
}

// What the run's sources are, looked up once each: the files they lead to, and the names of
// those whose folder is the output folder.
struct SourceIndex {
    std::set<IdentityKey> files;
    std::unordered_set<std::u16string> namesInOutputFolder;  // as `fold` gives them
};

SourceIndex IndexSources(const FileIdentity& output, const char16_t* const* sourcePaths,
                         size_t count, NameFold fold) {
    SourceIndex index;
    // A source's folder is its path up to its last separator, which is kept: "/A.EDL" lies in
    // "/", "C:\A.EDL" in "C:\". Files of one folder usually come together: one look each.
    std::u16string lastFolder;
    bool lastIsOutput = false;
    for (size_t k = 0; k < count; ++k) {
        FileIdentity identity{};
        if (GetFileIdentity(sourcePaths[k], &identity)) {
            index.files.insert(KeyOf(identity));
        }
        std::u16string path = sourcePaths[k];
        size_t nameStart = path.find_last_of(PATH_SEPARATORS);
        nameStart = nameStart == std::u16string::npos ? 0 : nameStart + 1;
        std::u16string folder = path.substr(0, nameStart);
        if (k == 0 || folder != lastFolder) {
            FileIdentity folderIdentity{};
            lastIsOutput = GetFolderIdentity(folder.c_str(), &folderIdentity) &&
                           KeyOf(folderIdentity) == KeyOf(output);
            lastFolder = folder;
        }
        if (lastIsOutput) {
            index.namesInOutputFolder.insert(FoldedName(path.c_str() + nameStart, fold));
        }
    }
    return index;
}

// The name of a file's output of `kind`.
std::u16string OutputName(const OutputKind& kind, const char16_t* displayName) {
    std::u16string name(Utf16Length(displayName) + OUTPUT_NAME_EXTRA, u'\0');
    FormatOutputPath(u"", kind.prefix, displayName, name.data(), name.size());
    name.resize(Utf16Length(name.c_str()));
    return name;
}

bool IsSource(const SourceIndex& sources, const char16_t* outputFolder, const OutputKind& kind,
              const char16_t* displayName, NameFold fold) {
    std::u16string name = OutputName(kind, displayName);
    if (sources.namesInOutputFolder.count(FoldedName(name.c_str(), fold)) != 0) {
        return true;
    }
    std::u16string path = outputFolder + name;
    FileIdentity identity{};
    return GetFileIdentity(path.c_str(), &identity) && sources.files.count(KeyOf(identity)) != 0;
}

}  // namespace

void FindOutputsOverSources(const char16_t* outputFolder, const OutputKind* kinds, size_t kindCount,
                            const char16_t* const* sourcePaths, const char16_t* const* displayNames,
                            size_t count, NameFold fold, JobResult* refusals) {
    FileIdentity output{};
    if (count == 0 || !GetFolderIdentity(outputFolder, &output)) {
        return;  // a folder that cannot be found holds no output either
    }
    SourceIndex sources = IndexSources(output, sourcePaths, count, fold);
    for (size_t k = 0; k < count; ++k) {
        for (size_t p = 0; p < kindCount; ++p) {
            if (IsSource(sources, outputFolder, kinds[p], displayNames[k], fold)) {
                refusals[k] = kinds[p].overSource;
                break;
            }
        }
    }
}

void FindTableNameClashes(const OutputKind* kinds, size_t kindCount,
                          const char16_t* const* displayNames, size_t count, NameFold fold,
                          JobResult unrefused, JobResult* refusals) {
    std::unordered_set<std::u16string> taken;
    if (count > 1) {
        taken.insert(FoldedName(BATCH_PULL_LIST_NAME, fold));
    }
    for (size_t k = 0; k < count; ++k) {
        for (size_t p = 0; p < kindCount && refusals[k] == unrefused; ++p) {
            if (kinds[p].nameTaken != FILE_CONVERTED &&
                taken.count(FoldedName(OutputName(kinds[p], displayNames[k]).c_str(), fold)) != 0) {
                refusals[k] = kinds[p].nameTaken;
            }
        }
        for (size_t p = 0; p < kindCount && refusals[k] == unrefused; ++p) {
            if (kinds[p].nameTaken != FILE_CONVERTED) {
                taken.insert(FoldedName(OutputName(kinds[p], displayNames[k]).c_str(), fold));
            }
        }
    }
}
