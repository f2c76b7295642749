// The CMX 3600 export: the repaired list written once more, as an edit list that Premiere Pro,
// DaVinci Resolve, Avid Media Composer and OpenTimelineIO import, with everything CMX cannot
// say kept as comments.
//
// It runs beside the line loop and is fed the same classified lines: each event line with its
// reading (event_record.h), each note the repaired list keeps, each internal data line and each
// event line the repaired list drops. From those, the header fields and its options it writes
// the export's bytes; it reads nothing else and keeps all its state in CmxExport. Three things
// are placed after the fact, each at most once per item: what stands before the first event
// follows it, a DM speed line follows the event that takes its speed (or stays where it was
// when none does), and the reel table follows the first event.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cmx_reels.h"
#include "cmx_report.h"
#include "event_record.h"
#include "header.h"
#include "line_state.h"
#include "line_stream.h"
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

struct CmxTimecode {
    int hours;
    int minutes;
    int seconds;
    int frames;
};

// The last shot written on a channel: where a dissolve on that channel comes from.
struct CmxShot {
    bool present;
    uint64_t order;
    char reel[CMX_REEL_NAME_SIZE];
    CmxTimecode sourceOut;
};

// A DM speed line whose record an event may still take: not written yet. `position` is where
// it stands in the text written so far, should no event take it.
struct CmxSpeedLine {
    bool waiting;
    size_t offset;
    size_t length;
    size_t position;
};

// Video and audio 1 to 4: the channels a dissolve may come from.
constexpr int CMX_SHOT_CHANNELS = 5;

struct CmxExport {
    // What it is written from and into.
    LineStream rewrite;  // a view of the rewrite stream, which the offsets point into
    const HeaderFields* header;
    const char* fileNameText;  // the source's name in code page 932, for an unusable title
    int framesPerSecond;
    bool dropFrame;
    bool deleteInternalData;
    ByteBuffer* out;
    CmxReport* report;
    // Until the first event is written, what comes goes here; it follows the first event.
    ByteBuffer beforeFirst;
    bool eventWritten;
    size_t tablePosition;  // in `out`: after the first event and the header's comments
    ByteBuffer* redirect;  // while set, text goes here instead
    uint32_t eventNumber;  // the last number written
    uint64_t shotsWritten;
    CmxShot shots[CMX_SHOT_CHANNELS];
    CmxShot lastShot;
    CmxSpeedLine speedLines[MAX_DM_RECORDS];  // by the index of the record each one made
    CmxReelTable reels;
    bool reelsRead;  // the reel table knows every reel kept as it is
    bool failed;     // memory ran out
};

// Writes the header. `rewrite` must stay as it is until the export is finished. False when
// memory runs out.
bool StartCmxExport(CmxExport* cmx, const CmxExportOptions& options, const LineStream& rewrite,
                    const HeaderFields& header, const char* fileNameText, ByteBuffer* out,
                    CmxReport* report);

// The lines of the loop, in order; `offset` and `length` place each piece in the rewrite
// stream. Each returns false when memory runs out.
// An event line and its reading; `dmRecordsHeld` is the number of DM speed records held once
// the line has been read (0 when they were discarded).
bool ExportCmxEvent(CmxExport* cmx, size_t offset, size_t length, const EventRecord& record,
                    int dmRecordsHeld);
// A note the repaired list keeps; `dmRecordMade` is the index of the DM speed record it made,
// or -1.
bool ExportCmxNote(CmxExport* cmx, size_t offset, size_t length, int dmRecordMade);
bool ExportCmxInternalData(CmxExport* cmx, size_t offset, size_t length);
// An event line the repaired list drops (an event number of 1 or of 5 and more digits).
bool ExportCmxDroppedEvent(CmxExport* cmx, size_t offset, size_t length);

// Places what waits and completes `out`. False when memory runs out; `out` then holds a
// partial text the caller releases.
bool FinishCmxExport(CmxExport* cmx);

// Releases what the export holds besides `out`; also after a failure.
void ReleaseCmxExport(CmxExport* cmx);
