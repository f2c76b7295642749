// The tape pull list: for each reel (tape) of a list, the source ranges to digitise, each
// event's source in to source out widened by handles and merged with the ranges of the same
// reel that it overlaps or touches. A dissolve also needs the tape it comes from past that
// shot's source out, for the dissolve's length: that is a range of the dissolve's too. The events
// are taken as the CMX export holds them: black
// ("BL"), the auxiliary source ("AX": no reel word) and events without a valid source range
// (a line the export keeps as a comment, or a source out before the source in) are no tapes
// and are left out. For a batch, the ranges of every list are gathered and written together,
// with the files each range serves.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cmx_export.h"
#include "cmx_reels.h"
#include "memory.h"
#include "timecode.h"

// The handles when none are chosen, and the longest taken, in seconds.
constexpr int DEFAULT_HANDLE_SECONDS = 2;
constexpr int LONGEST_HANDLE_SECONDS = 60;

// One event's source range, at the ranges' rate: frames [in, out], out being the source out.
struct PullEntry {
    char reel[CMX_REEL_NAME_SIZE];  // as the export names it
    uint32_t original;              // the reel word as written: its offset in `originals`
    uint32_t originalLength;
    uint32_t file;  // which list of a batch it comes from
    uint32_t bveNumber;
    int64_t in;
    int64_t out;
};

struct PullRanges {
    FrameRate rate;  // of every entry: the export's rate, the same for every list
    PullEntry* entries;
    size_t count;
    size_t capacity;
    ByteBuffer originals;  // the reel words as written (code page 932)
};

// The pull list keeps the event numbers of the first few events it leaves out.
constexpr size_t PULL_REPORT_NUMBERS = 8;

struct PullReport {
    uint32_t tapes;    // reels with a range
    uint32_t ranges;   // rows
    uint32_t leftOut;  // events that are no tapes or have no valid source range
    uint32_t leftOutNumbers[PULL_REPORT_NUMBERS];  // the BVE numbers of the first of them
};

// Adds the source range of every event of one list that is a tape (from the same items,
// header and options as the export), marked with `file`; counts the others in `report`. False
// when memory runs out.
bool CollectPullRanges(const CmxSource& source, const CmxExportOptions& options, uint32_t file,
                       PullRanges* ranges, PullReport* report);

// Adds the ranges of one list (CollectPullRanges, before or after WritePullList) to those of a
// batch, marked as the batch's list `file`. False when memory runs out.
bool AppendPullRanges(PullRanges* batch, const PullRanges& list, uint32_t file);

// Writes the list of the ranges gathered: sorted by reel, then source in; each widened by
// `handleSeconds` (0 to LONGEST_HANDLE_SECONDS), kept within 00:00:00:00 and the day's last
// frame, and merged with the ranges of its reel that it overlaps or touches. With `fileNames`
// (UTF-8, indexed by the entries' `file`), a last column names the files each range serves.
// Counts the tapes and rows in `report`. False when memory runs out.
bool WritePullList(PullRanges* ranges, int handleSeconds, const char* const* fileNames,
                   ByteBuffer* out, PullReport* report);

void ReleasePullRanges(PullRanges* ranges);

// "PULL_NEWS0612.csv: 5 tapes, 7 ranges, 2 events left out (0004, 0009)"; without `name` the
// counts alone. Writes at most capacity - 1 bytes and a terminator; returns the length written.
size_t FormatPullSummary(const PullReport& report, const char* name, char* out, size_t capacity);
