#include "output_folder.h"

#include "file_names.h"

bool SetOutputFolder(char16_t* outputFolder, size_t capacity, const char16_t* path) {
    size_t length = Utf16Length(path);
    bool addSeparator = length != 0 && path[length - 1] != u'\\';
    size_t needed = length + (addSeparator ? 1 : 0) + 1;
    if (needed > capacity) {
        return false;
    }
    for (size_t k = 0; k < length; ++k) {
        outputFolder[k] = path[k];
    }
    if (addSeparator) {
        outputFolder[length++] = u'\\';
    }
    outputFolder[length] = 0;
    return true;
}
