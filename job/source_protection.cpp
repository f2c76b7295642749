#include "source_protection.h"

#include <string>
#include <vector>

#include "platform.h"

namespace {

bool SameFolder(const FolderIdentity& a, const FolderIdentity& b) {
    return a.volume == b.volume && a.index == b.index;
}

}  // namespace

void FindOutputsOverSources(const char16_t* outputFolder, const char16_t* const* prefixes,
                            size_t prefixCount, const char16_t* const* sourcePaths,
                            const char16_t* const* displayNames, size_t count, bool* refused) {
    FolderIdentity output{};
    if (!GetFolderIdentity(outputFolder, &output)) {
        return;  // a folder that cannot be found holds no source either
    }
    // The names of the sources that lie in the output folder itself. A source's folder is its
    // path up to its last separator, which is kept: "/A.EDL" lies in "/", "C:\A.EDL" in "C:\".
    std::vector<std::u16string> namesThere;
    std::u16string lastFolder;
    bool lastIsOutput = false;  // files of one folder usually come together: one look each
    for (size_t k = 0; k < count; ++k) {
        std::u16string path = sourcePaths[k];
        size_t nameStart = path.find_last_of(PATH_SEPARATORS);
        nameStart = nameStart == std::u16string::npos ? 0 : nameStart + 1;
        std::u16string folder = path.substr(0, nameStart);
        if (k == 0 || folder != lastFolder) {
            FolderIdentity identity{};
            lastIsOutput =
                GetFolderIdentity(folder.c_str(), &identity) && SameFolder(identity, output);
            lastFolder = folder;
        }
        if (lastIsOutput) {
            namesThere.push_back(path.substr(nameStart));
        }
    }
    for (size_t k = 0; k < count && !namesThere.empty(); ++k) {
        for (size_t p = 0; p < prefixCount && !refused[k]; ++p) {
            std::u16string outputName = prefixes[p];
            outputName += displayNames[k];
            for (const std::u16string& source : namesThere) {
                if (FileNamesEqual(outputName.c_str(), source.c_str())) {
                    refused[k] = true;
                    break;
                }
            }
        }
    }
}
