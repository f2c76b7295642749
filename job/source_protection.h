// A source is never changed. A file of a run whose output would be the very file of a source of
// the same run (say "A.EDL" and "C_A.EDL" given together, the output folder being theirs) is
// refused before anything is converted: writing its output would replace that source, and the
// run would then read the replaced file as a source. Both front ends apply this one rule.
#pragma once

#include <cstddef>

// Marks `refused[i]` for every file i of the `count` files whose output (`outputFolder`, one of
// the `prefixCount` output name prefixes, `displayNames[i]`) is the path of one of the
// `sourcePaths`. Paths compare as the system opens them: the two folders are one folder,
// however each is reached (a link, "..", another spelling), and the names are equal as the file
// system compares names (letter case aside on Windows). Other entries of `refused` are left
// as they are.
void FindOutputsOverSources(const char16_t* outputFolder, const char16_t* const* prefixes,
                            size_t prefixCount, const char16_t* const* sourcePaths,
                            const char16_t* const* displayNames, size_t count, bool* refused);
