// Rules for the names of listed files, shared by both front ends: the display name carries its
// extension in upper case, and no two listed files may share a display name (their outputs
// would have the same name).
#pragma once

#include <cstddef>

#include "text.h"

// The upper-case form of one UTF-16 unit: ASCII, Latin-1 and full-width Latin letters.
char16_t UpperCaseUnit(char16_t unit);

// Upper-cases every character from the last "." of `text` to its end; a text without "." is
// left as it is. For a dropped file the text is the whole path, for a chosen one its name.
void UpperCaseExtension(char16_t* text);

// True when the text after the last "." is exactly "EDL" (a text without "." has none).
bool HasEdlExtension(const char16_t* text);

// True when `name` equals, letter case included, one of the `count` names.
bool IsDuplicateName(const char16_t* name, const char16_t* const* names, size_t count);
