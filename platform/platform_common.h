// What the two sides of the platform layer share: the file faults tests inject, counted the
// same way on both. Private to the platform layer.
#pragma once

#include <cstddef>

#include "platform.h"

// How many of `count` bytes a read may take now: all of them, fewer once a read fault is near,
// or -1 when reads fail.
long AllowedRead(size_t count);
void CountRead(size_t count);

// How many of `count` bytes a write may put now: all, fewer before a write fault, or 0 when the
// disk counts as full.
size_t AllowedWrite(size_t count);
void CountWritten(size_t count);

// The faults in force for the creation, flush, close and rename of an output file.
const FileFaults& ActiveFileFaults();
