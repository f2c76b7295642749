// The CMX 3600 export: the repaired list written once more, as an edit list that Premiere Pro,
// DaVinci Resolve, Avid Media Composer and OpenTimelineIO import, with everything CMX cannot
// say kept as comments.
//
// It is a second pass over the line items of the line loop (line_items.h): every event line
// with its reading, every note, internal data line and left-out event line, in order. From
// those, the header fields and its options it makes the export's bytes at once: the reels are
// named before the first event is written, the first event the export can hold comes first
// (nothing may stand before it), then the header's comments and the reel table, then the rest
// of the list in order, each DM speed line after the event that took its speed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cmx_report.h"
#include "header.h"
#include "line_items.h"
#include "memory.h"
#include "timecode.h"

// The frame rate when none is chosen.
constexpr int CMX_DEFAULT_FRAMES_PER_SECOND = 30;

struct CmxExportOptions {
    int framesPerSecond;  // 24, 25 or 30; any other value counts as 30
    // Drop-frame counting: "FCM: DROP FRAME", and timecode labels that drop-frame counting
    // skips are no timecodes. Only at 30 frames per second; at 24 and 25 there is none.
    bool dropFrame;
    // Internal data lines are left out instead of being kept as comments.
    bool deleteInternalData;
};

// True for the frame rates the export takes: 24, 25 and 30.
bool IsCmxFrameRate(int framesPerSecond);

// The rate the export counts at for `options`: 30 for a rate it does not take, drop frame
// only at 30.
FrameRate CmxFrameRate(const CmxExportOptions& options);

// What the export is made from: the items of the line loop, the header fields and the source's
// name (code page 932) for a title the TITLE line cannot hold.
struct CmxSource {
    const LineItems* items;
    const HeaderFields* header;
    const char* fileNameText;
};

// Makes the export into `out` (appended) and says what it did in `report`. False when memory
// runs out; `out` then holds a partial text the caller releases.
bool WriteCmxExport(const CmxSource& source, const CmxExportOptions& options, ByteBuffer* out,
                    CmxReport* report);
