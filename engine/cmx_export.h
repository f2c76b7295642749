// The CMX 3600 export: the repaired list written once more, as an edit list that Premiere Pro,
// DaVinci Resolve, Avid Media Composer and OpenTimelineIO import, with everything CMX cannot
// say kept as comments.
//
// The line loop gathers what it sees (CmxLines): each event line with its reading, each note
// the repaired list keeps, each internal data line and each event line it drops. Once the
// loop is done, WriteCmxExport turns that, the header fields and the options into the bytes
// of the export; it reads nothing else and holds no state.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cmx_report.h"
#include "event_record.h"
#include "header.h"
#include "line_state.h"
#include "memory.h"

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

enum CmxLineKind : uint8_t {
    CMX_LINE_EVENT,            // an event line, with its reading
    CMX_LINE_NOTE,             // a note line the repaired list keeps
    CMX_LINE_INTERNAL_DATA,    // a line that starts with a digit but is no event line
    CMX_LINE_MALFORMED_EVENT,  // an event line whose number has 1 or 5 and more digits
};

constexpr uint32_t NO_CMX_LINE = UINT32_MAX;

// One line the loop handed over, by where it stands in the rewrite stream.
struct CmxLine {
    size_t offset;
    uint16_t length;
    CmxLineKind kind;
    // A DM speed line that gave its speed to a later event line: written after that event.
    bool givesSpeed;
    // For an event line: the DM speed line whose record the line matched, or NO_CMX_LINE.
    uint32_t speedLine;
    EventRecord event;  // for an event line only
};

// What the line loop gathers for the export.
struct CmxLines {
    ByteBuffer lines;  // CmxLine records, in the order of the rewrite stream
    // The note line that made each DM speed record, or NO_CMX_LINE.
    uint32_t dmRecordLines[MAX_DM_RECORDS];
};

void StartCmxLines(CmxLines* lines);
void ReleaseCmxLines(CmxLines* lines);

// Each returns false when memory runs out. `offset` and `length` place the piece in the
// rewrite stream.
bool CollectCmxEvent(CmxLines* lines, size_t offset, size_t length, const EventRecord& record);
bool CollectCmxLine(CmxLines* lines, CmxLineKind kind, size_t offset, size_t length);
// The note line collected last made the DM speed record at `recordIndex`.
void NoteCmxDmRecord(CmxLines* lines, int recordIndex);

// Everything the export is written from.
struct CmxSource {
    const uint8_t* text;  // the rewrite stream's bytes, which the lines point into
    const CmxLine* lines;
    size_t lineCount;
    const HeaderFields* header;
    const char* fileNameText;  // the source's name in code page 932, for an unusable title
};

inline CmxSource MakeCmxSource(const LineStream& rewrite, const CmxLines& lines,
                               const HeaderFields& header, const char* fileNameText) {
    return CmxSource{rewrite.data.bytes, reinterpret_cast<const CmxLine*>(lines.lines.bytes),
                     lines.lines.length / sizeof(CmxLine), &header, fileNameText};
}

// Writes the export into `out` (appending to it) and fills `report`. False when memory runs
// out; `out` then holds a partial text the caller releases.
bool WriteCmxExport(const CmxSource& source, const CmxExportOptions& options, ByteBuffer* out,
                    CmxReport* report);
