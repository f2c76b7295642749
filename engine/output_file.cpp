#include "output_file.h"

#include "conversion_options.h"
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

// The length of a display name's stem: up to its last ".", or all of it.
size_t StemLength(const char16_t* displayName, size_t length) {
    for (size_t at = length; at > 0; --at) {
        if (displayName[at - 1] == u'.') {
            return at - 1;
        }
    }
    return length;
}

bool IsTablePrefix(const char16_t* prefix) {
    return TextEquals(prefix, EVENTS_OUTPUT_NAME_PREFIX) ||
           TextEquals(prefix, PULL_OUTPUT_NAME_PREFIX);
}

// The output's path in a new buffer from EngineAlloc; null when memory runs out. The caller
// frees it with EngineFree.
char16_t* BuildOutputPath(const char16_t* outputFolder, const char16_t* prefix,
                          const char16_t* displayName) {
    size_t capacity = Utf16Length(outputFolder) + Utf16Length(prefix) + Utf16Length(displayName) +
                      Utf16Length(TABLE_OUTPUT_EXTENSION) + 1;
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
    bool table = IsTablePrefix(prefix);
    const char16_t* extension = table ? TABLE_OUTPUT_EXTENSION : u"";
    size_t extensionLength = Utf16Length(extension);
    if (table) {
        nameLength = StemLength(displayName, nameLength);
    }
    if (capacity == 0 || folderLength + prefixLength + nameLength + extensionLength >= capacity) {
        if (capacity > 0) {
            out[0] = 0;
        }
        return false;
    }
    char16_t* at = out;
    CopyUnits(&at, outputFolder, folderLength);
    CopyUnits(&at, prefix, prefixLength);
    CopyUnits(&at, displayName, nameLength);
    CopyUnits(&at, extension, extensionLength);
    *at = 0;
    return true;
}

bool WriteOutputFile(const ByteBuffer& text, const char16_t* outputFolder, const char16_t* name) {
    char16_t* path = BuildOutputPath(outputFolder, u"", name);
    bool written = path != nullptr && WriteFileReplacing(path, text.bytes, text.length);
    EngineFree(path);
    return written;
}

ConversionResult WriteConvertedFile(const ByteBuffer& text, const char16_t* outputFolder,
                                    const char16_t* displayName) {
    uint32_t listsWritten = 0;
    return WriteConvertedFiles(OutputTexts{&text, nullptr, nullptr, nullptr}, outputFolder,
                               displayName, &listsWritten);
}

ConversionResult WriteConvertedFiles(const OutputTexts& texts, const char16_t* outputFolder,
                                     const char16_t* displayName, uint32_t* listsWritten) {
    const struct {
        const ByteBuffer* text;
        const char16_t* prefix;
        ConversionResult failure;
        uint32_t option;
    } outputs[] = {
        {texts.text, OUTPUT_NAME_PREFIX, RESULT_WRITE_FAILED, 0},
        {texts.cmx, CMX_OUTPUT_NAME_PREFIX, RESULT_CMX_WRITE_FAILED, OPTION_EXPORT_CMX},
        {texts.events, EVENTS_OUTPUT_NAME_PREFIX, RESULT_EVENTS_WRITE_FAILED, OPTION_EXPORT_EVENTS},
        {texts.pull, PULL_OUTPUT_NAME_PREFIX, RESULT_PULL_WRITE_FAILED, OPTION_EXPORT_PULL},
    };
    *listsWritten = 0;
    constexpr size_t COUNT = sizeof outputs / sizeof outputs[0];
    char16_t* paths[COUNT] = {};
    ConversionResult result = RESULT_CONVERTED;
    for (size_t k = 0; k < COUNT; ++k) {
        if (outputs[k].text != nullptr) {
            paths[k] = BuildOutputPath(outputFolder, outputs[k].prefix, displayName);
            result = paths[k] == nullptr ? RESULT_NO_MEMORY : result;
        }
    }
    for (size_t k = 0; k < COUNT && result != RESULT_NO_MEMORY; ++k) {
        if (paths[k] == nullptr) {
            continue;
        }
        if (WriteFileReplacing(paths[k], outputs[k].text->bytes, outputs[k].text->length)) {
            *listsWritten |= outputs[k].option;
            continue;
        }
        result = result == RESULT_CONVERTED ? outputs[k].failure : result;
        if (k == 0) {
            break;  // without "C_" no list is written
        }
    }
    for (char16_t* path : paths) {
        EngineFree(path);
    }
    return result;
}
