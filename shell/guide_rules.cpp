#include "guide_rules.h"

#include "text.h"

bool GuidePathBeside(const char16_t* programPath, char16_t* out, size_t capacity) {
    // The folder ends after the last separator; the system gives a full path, so there is one.
    size_t folderLength = 0;
    for (size_t k = 0; programPath[k] != 0; ++k) {
        if (programPath[k] == u'\\' || programPath[k] == u'/') {
            folderLength = k + 1;
        }
    }
    size_t nameLength = Utf16Length(GUIDE_FILE_NAME);
    if (folderLength == 0 || folderLength + nameLength + 1 > capacity) {
        if (capacity > 0) {
            out[0] = 0;
        }
        return false;
    }
    for (size_t k = 0; k < folderLength; ++k) {
        out[k] = programPath[k];
    }
    for (size_t k = 0; k <= nameLength; ++k) {
        out[folderLength + k] = GUIDE_FILE_NAME[k];
    }
    return true;
}

GuideMessage GuideMessageFor(bool pathMade, bool guideExists, bool opened) {
    if (!pathMade || !guideExists) {
        return GUIDE_MISSING;
    }
    return opened ? GUIDE_SHOWN : GUIDE_NOT_OPENED;
}
