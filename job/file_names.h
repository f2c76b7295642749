// Rules for the names of listed files, shared by both front ends: the display name carries its
// extension in upper case, no two listed files may share a display name (their outputs would
// have the same name), and in a folder a file's earlier outputs are not taken for sources.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_set>

#include "text.h"

// The upper-case form of one UTF-16 unit: ASCII, Latin-1 and full-width Latin letters.
char16_t UpperCaseUnit(char16_t unit);

// Upper-cases every character from the last "." of `text` to its end; a text without "." is
// left as it is. For a dropped file the text is the whole path, for a chosen one its name.
void UpperCaseExtension(char16_t* text);

// True when the text after the last "." is exactly "EDL" (a text without "." has none).
bool HasEdlExtension(const char16_t* text);

// How the output folder's file system compares names, as FoldFileName does it for this
// platform: a parameter, so that these rules can be tried with either platform's comparison.
using NameFold = void (*)(char16_t* name);

// `name` in the form `fold` gives it: two names are one file's name when their forms are equal.
std::u16string FoldedName(const char16_t* name, NameFold fold);

// The display names a run has taken, as the output folder's file system tells names apart: two
// that it takes for one would write one output.
struct NameSet {
    NameFold fold;
    std::unordered_set<std::u16string> taken;
};

// Takes `name` into the set; false, taking nothing, when a name equal to it is taken already.
bool TakeName(NameSet* set, const char16_t* name);

// For the `count` names of one folder, marks `isOutput[k]` when name k is another one's output:
// "C_" or "CMX_" followed by a name whose display name is also in the folder ("C_take.EDL"
// beside "take.edl"). A run over its own output folder so takes its sources again, not what it
// wrote. Other entries of `isOutput` are left as they are.
void MarkSiblingOutputs(const char16_t* const* names, size_t count, NameFold fold, bool* isOutput);
