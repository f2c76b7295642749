#include "message_box.h"

#include <new>

#include "text.h"

namespace {

// Room for any string of the string table: the longest is well under half of it.
constexpr size_t RESOURCE_TEXT_CHARS = 512;
// A number's decimal digits with its sign.
constexpr size_t NUMBER_CHARS = 12;
// Without memory for the filled text, it is composed in a buffer of this size, which still
// holds every message with the longest display name in full.
constexpr size_t FALLBACK_MESSAGE_CHARS = 512;

}  // namespace

size_t LoadResourceText(UINT id, wchar_t* out, size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    int length = LoadStringW(GetModuleHandleW(nullptr), id, out, static_cast<int>(capacity));
    if (length <= 0) {
        out[0] = 0;
        return 0;
    }
    return static_cast<size_t>(length);
}

int ShowMessage(HWND owner, UINT captionId, UINT flags, const char16_t* pattern,
                std::initializer_list<const char16_t*> texts, std::initializer_list<int> numbers) {
    // Sized for the filled text, so that a long file name is never cut off.
    size_t capacity = Utf16Length(pattern) + NUMBER_CHARS * numbers.size() + 1;
    for (const char16_t* text : texts) {
        capacity += Utf16Length(text);
    }
    // Without memory for it, the text is composed in a fixed buffer that still holds every
    // message of a job in full.
    char16_t fallback[FALLBACK_MESSAGE_CHARS];
    char16_t* message = new (std::nothrow) char16_t[capacity];
    if (message == nullptr) {
        capacity = FALLBACK_MESSAGE_CHARS;
    }
    char16_t* text = message != nullptr ? message : fallback;
    FillTemplate(pattern, texts.begin(), texts.size(), numbers.begin(), numbers.size(), text,
                 capacity);
    wchar_t caption[RESOURCE_TEXT_CHARS];
    LoadResourceText(captionId, caption, RESOURCE_TEXT_CHARS);
    int pressed = MessageBoxW(owner, AsWide(text), caption, flags);
    delete[] message;
    return pressed;
}

int ShowMessage(HWND owner, UINT captionId, UINT flags, UINT patternId,
                std::initializer_list<const char16_t*> texts, std::initializer_list<int> numbers) {
    wchar_t pattern[RESOURCE_TEXT_CHARS];
    LoadResourceText(patternId, pattern, RESOURCE_TEXT_CHARS);
    return ShowMessage(owner, captionId, flags, AsUtf16(pattern), texts, numbers);
}
