#include "file_names.h"

#include "output_file.h"

char16_t UpperCaseUnit(char16_t unit) {
    if ((unit >= u'a' && unit <= u'z') || (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7)) {
        return static_cast<char16_t>(unit - 0x20);
    }
    if (unit >= 0xFF41 && unit <= 0xFF5A) {  // full-width ａ to ｚ
        return static_cast<char16_t>(unit - 0x20);
    }
    return unit;
}

void UpperCaseExtension(char16_t* text) {
    char16_t* lastDot = nullptr;
    for (char16_t* at = text; *at != 0; ++at) {
        if (*at == u'.') {
            lastDot = at;
        }
    }
    for (char16_t* at = lastDot; at != nullptr && *at != 0; ++at) {
        *at = UpperCaseUnit(*at);
    }
}

bool HasEdlExtension(const char16_t* text) {
    const char16_t* lastDot = nullptr;
    for (const char16_t* at = text; *at != 0; ++at) {
        if (*at == u'.') {
            lastDot = at;
        }
    }
    return lastDot != nullptr && TextEquals(lastDot + 1, u"EDL");
}

std::u16string FoldedName(const char16_t* name, NameFold fold) {
    std::u16string folded = name;
    fold(folded.data());
    return folded;
}

bool TakeName(NameSet* set, const char16_t* name) {
    return set->taken.insert(FoldedName(name, set->fold)).second;
}

namespace {

std::u16string FoldedDisplayName(const char16_t* name, NameFold fold) {
    std::u16string display = name;
    UpperCaseExtension(display.data());
    fold(display.data());
    return display;
}

}  // namespace

void MarkSiblingOutputs(const char16_t* const* names, size_t count, NameFold fold, bool* isOutput) {
    std::unordered_set<std::u16string> displayed;
    displayed.reserve(count);
    for (size_t k = 0; k < count; ++k) {
        displayed.insert(FoldedDisplayName(names[k], fold));
    }
    const std::u16string prefixes[] = {FoldedName(OUTPUT_NAME_PREFIX, fold),
                                       FoldedName(CMX_OUTPUT_NAME_PREFIX, fold)};
    for (size_t k = 0; k < count; ++k) {
        std::u16string display = FoldedDisplayName(names[k], fold);
        for (const std::u16string& prefix : prefixes) {
            if (display.compare(0, prefix.size(), prefix) == 0 &&
                displayed.count(display.substr(prefix.size())) != 0) {
                isOutput[k] = true;
            }
        }
    }
}
