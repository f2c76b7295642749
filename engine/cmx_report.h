// What a CMX export did with one list: the counts that show nothing vanished, and the
// one-line summary the front ends print for it.
#pragma once

#include <cstddef>
#include <cstdint>

// The report keeps the event numbers of the first few items kept only as comments.
constexpr size_t CMX_REPORT_NUMBERS = 8;

struct CmxReport {
    // Event lines written, each new number counted once (a split dissolve is one event).
    uint32_t eventsWritten;
    // Dissolves written in two lines: a zero-length line of the outgoing shot, then the "D".
    uint32_t dissolvesSplit;
    // BVE events that the export holds only as comments, in whole or in part: lines it cannot
    // hold as events, wipes, keys and other transitions written as cuts, and trailing marks.
    uint32_t keptAsComments;
    // The BVE event numbers of the first CMX_REPORT_NUMBERS of them, in list order.
    uint32_t keptEventNumbers[CMX_REPORT_NUMBERS];
    // Reels given a new name in the reel table (black, "BL", "BLK" and "BLACK", is not counted).
    uint32_t reelsRenamed;
};

// Counts one BVE event kept only as comments.
void ReportKeptAsComment(CmxReport* report, uint32_t bveEventNumber);

// "CMX_NEWS0612.EDL: 9 events, 1 dissolve, 4 kept as comments", with ", 2 reels renamed"
// after it when reels were renamed; without `name` (null or empty) the counts alone. Writes at
// most capacity - 1 bytes and a terminator; returns the length written.
size_t FormatCmxSummary(const CmxReport& report, const char* name, char* out, size_t capacity);
