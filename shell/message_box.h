// The window program's texts and its one way to show a message. Captions and the program's own
// messages come from the string table of the resources; the messages both front ends show come
// from the shared table of job/messages.h. Windows only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <initializer_list>

// The job and the engine write UTF-16 as char16_t; Windows takes the same units as wchar_t.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected");
inline const wchar_t* AsWide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}
inline wchar_t* AsWide(char16_t* text) {
    return reinterpret_cast<wchar_t*>(text);
}
inline const char16_t* AsUtf16(const wchar_t* text) {
    return reinterpret_cast<const char16_t*>(text);
}
inline char16_t* AsUtf16(wchar_t* text) {
    return reinterpret_cast<char16_t*>(text);
}

// Loads string `id` of the program's string table into `out` (terminated; empty when the
// string is missing). Returns its length.
size_t LoadResourceText(UINT id, wchar_t* out, size_t capacity);

// Shows a message box owned by `owner` (null for none) with the caption string `captionId` and
// `flags` (MB_OK | an icon), its text `pattern` filled in full: each "%s" takes the next of
// `texts`, each "%d" the next of `numbers`. Returns the button the user pressed.
int ShowMessage(HWND owner, UINT captionId, UINT flags, const char16_t* pattern,
                std::initializer_list<const char16_t*> texts = {},
                std::initializer_list<int> numbers = {});

// The same with the text's pattern taken from the string table.
int ShowMessage(HWND owner, UINT captionId, UINT flags, UINT patternId,
                std::initializer_list<const char16_t*> texts = {},
                std::initializer_list<int> numbers = {});
