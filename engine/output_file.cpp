#include "output_file.h"

#include "memory.h"
#include "platform.h"
#include "utf.h"

char16_t* BuildOutputPath(const char16_t* outputFolder, const char16_t* displayName) {
    size_t folderLength = Utf16Length(outputFolder);
    size_t prefixLength = Utf16Length(OUTPUT_NAME_PREFIX);
    size_t nameLength = Utf16Length(displayName);
    size_t total = folderLength + prefixLength + nameLength + 1;
    auto* path = static_cast<char16_t*>(EngineAlloc(total * sizeof(char16_t)));
    if (path == nullptr) {
        return nullptr;
    }
    char16_t* at = path;
    for (size_t k = 0; k < folderLength; ++k) {
        *at++ = outputFolder[k];
    }
    for (size_t k = 0; k < prefixLength; ++k) {
        *at++ = OUTPUT_NAME_PREFIX[k];
    }
    for (size_t k = 0; k < nameLength; ++k) {
        *at++ = displayName[k];
    }
    *at = 0;
    return path;
}

JobResult WriteConvertedFile(const OutputText& text, const char16_t* outputFolder,
                             const char16_t* displayName) {
    char16_t* path = BuildOutputPath(outputFolder, displayName);
    if (path == nullptr) {
        return RESULT_NO_MEMORY;
    }
    bool written = WriteFileReplacing(path, text.bytes, text.length);
    EngineFree(path);
    return written ? RESULT_CONVERTED : RESULT_WRITE_FAILED;
}
