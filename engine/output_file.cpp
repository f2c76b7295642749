#include "output_file.h"

#include "platform.h"
#include "text.h"

namespace {

// Room for the banner of any file, so that a short source does not make the first lines grow
// the text at once.
constexpr size_t MIN_OUTPUT_CAPACITY = 1024;

void CopyUnits(char16_t** at, const char16_t* text, size_t length) {
    for (size_t k = 0; k < length; ++k) {
        *(*at)++ = text[k];
    }
}

// The output's path in a new buffer from EngineAlloc; null when memory runs out. The caller
// frees it with EngineFree.
char16_t* BuildOutputPath(const char16_t* outputFolder, const char16_t* prefix,
                          const char16_t* displayName) {
    size_t capacity =
        Utf16Length(outputFolder) + Utf16Length(prefix) + Utf16Length(displayName) + 1;
    auto* path = static_cast<char16_t*>(EngineAlloc(capacity * sizeof(char16_t)));
    if (path != nullptr) {
        FormatOutputPath(outputFolder, prefix, displayName, path, capacity);
    }
    return path;
}

}  // namespace

bool ObtainOutputText(ByteBuffer* text, size_t decodedCount) {
    *text = ByteBuffer{};
    size_t capacity = decodedCount > SIZE_MAX / 4 ? SIZE_MAX / 2 : 2 * decodedCount;
    return BufferReserve(text, capacity < MIN_OUTPUT_CAPACITY ? MIN_OUTPUT_CAPACITY : capacity);
}

bool FormatOutputPath(const char16_t* outputFolder, const char16_t* prefix,
                      const char16_t* displayName, char16_t* out, size_t capacity) {
    size_t folderLength = Utf16Length(outputFolder);
    size_t prefixLength = Utf16Length(prefix);
    size_t nameLength = Utf16Length(displayName);
    if (capacity == 0 || folderLength + prefixLength + nameLength >= capacity) {
        if (capacity > 0) {
            out[0] = 0;
        }
        return false;
    }
    char16_t* at = out;
    CopyUnits(&at, outputFolder, folderLength);
    CopyUnits(&at, prefix, prefixLength);
    CopyUnits(&at, displayName, nameLength);
    *at = 0;
    return true;
}

ConversionResult WriteConvertedFile(const ByteBuffer& text, const char16_t* outputFolder,
                                    const char16_t* displayName) {
    return WriteConvertedFiles(text, nullptr, outputFolder, displayName);
}

ConversionResult WriteConvertedFiles(const ByteBuffer& text, const ByteBuffer* cmxText,
                                     const char16_t* outputFolder, const char16_t* displayName) {
    char16_t* path = BuildOutputPath(outputFolder, OUTPUT_NAME_PREFIX, displayName);
    char16_t* cmxPath = cmxText == nullptr
                            ? nullptr
                            : BuildOutputPath(outputFolder, CMX_OUTPUT_NAME_PREFIX, displayName);
    ConversionResult result = RESULT_CONVERTED;
    if (path == nullptr || (cmxText != nullptr && cmxPath == nullptr)) {
        result = RESULT_NO_MEMORY;
    } else if (!WriteFileReplacing(path, text.bytes, text.length)) {
        result = RESULT_WRITE_FAILED;
    } else if (cmxText != nullptr &&
               !WriteFileReplacing(cmxPath, cmxText->bytes, cmxText->length)) {
        result = RESULT_CMX_WRITE_FAILED;
    }
    EngineFree(path);
    EngineFree(cmxPath);
    return result;
}
