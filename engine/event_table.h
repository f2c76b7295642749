// The event table: one row per event line of the list, in list order, as the CMX export holds
// it (its new number, reel, channels, transition and timecodes), for a spreadsheet where the
// people rebuilding a program from archived tapes check and annotate the edit. An event line
// the export keeps as a comment is a row too, with its line as the note and no timecodes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cmx_export.h"
#include "memory.h"

// What the table holds.
struct EventTableReport {
    uint32_t rows;              // event lines
    uint32_t withoutTimecodes;  // of them, lines the export keeps as comments
};

// Makes the table of the list (from the same items, header and options as the export) into
// `out`. False when memory runs out.
bool WriteEventTable(const CmxSource& source, const CmxExportOptions& options, ByteBuffer* out,
                     EventTableReport* report);

// "EVENTS_NEWS0612.csv: 12 rows, 3 without timecodes"; without `name` the counts alone. Writes
// at most capacity - 1 bytes and a terminator; returns the length written.
size_t FormatEventTableSummary(const EventTableReport& report, const char* name, char* out,
                               size_t capacity);
