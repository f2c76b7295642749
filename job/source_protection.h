// A source is never changed. A file of a run whose output would be the very file of a source of
// the same run (say "A.EDL" and "C_A.EDL" given together, the output folder being theirs, or a
// link to an earlier output given as a source) is refused before anything is converted: writing
// its output would replace that source, and the run would then read the replaced file as a
// source. Both front ends apply this one rule.
#pragma once

#include <cstddef>

#include "conversion_job.h"
#include "file_names.h"

// For every file i of the `count` files, sets `refusals[i]` to the `overSource` code of the
// first of its `kindCount` outputs (`outputFolder`, the kind's prefix, `displayNames[i]`) that
// is a source of the run: the output already is the very file one of the `sourcePaths` leads to,
// however that path reaches it (device and inode, or volume and file index: a link, "..", a
// hard link, another spelling); or it is a source's path itself, the source's folder being the
// output folder and the names equal as `fold` compares them (so also a source that an earlier
// file's output would make). Other entries of `refusals` are left as they are.
void FindOutputsOverSources(const char16_t* outputFolder, const OutputKind* kinds, size_t kindCount,
                            const char16_t* const* sourcePaths, const char16_t* const* displayNames,
                            size_t count, NameFold fold, JobResult* refusals);

// For every file i of the `count` files not refused yet (`refusals[i]` is `unrefused`), sets
// `refusals[i]` to the `nameTaken` outcome of the first of its tables (the kinds that have one)
// whose name, as `fold` compares names, a table of an earlier file of the run already has ("A.EDL"
// and "A.TXT" both give "EVENTS_A.csv"), or, with more than one file, that the run's own pull
// list has ("PULL_ALL.csv"): writing it would replace another output of the run.
void FindTableNameClashes(const OutputKind* kinds, size_t kindCount,
                          const char16_t* const* displayNames, size_t count, NameFold fold,
                          JobResult unrefused, JobResult* refusals);
