// The EDL repair engine: everything done to one file, from the controller's bytes to the
// converted file "C_" + name. It owns its vocabulary (the result of a file, the option bits)
// and reads no clock: the time the banner shows comes with the request. The stages, in the
// order one conversion runs them:
//
//   decode.h         decoding of the controller's coding into the decoded stream
//   header.h         CMX and unknown layouts refused; title, reel and block lines; the
//                    rewrite stream of header notes and body lines
//   banner.h         the banner at the head of the output text
//   rewrite_lines.h  the line loop: event_record.h reads each event line once (its layout in
//                    line_layout.h), dm_speed.h matches the DM speed records to it,
//                    event_line.h writes its repaired line, note_line.h handles the other
//                    kinds of line; with an export asked for, it records what it handled as
//                    line items (line_items.h)
//   cmx_export.h     with OPTION_EXPORT_CMX, a second pass over the line items: the list as a
//                    CMX 3600 edit list (its events in cmx_events.h, reel names in
//                    cmx_reels.h, timecodes in timecode.h), and what it did (cmx_report.h)
//   event_table.h    with OPTION_EXPORT_EVENTS, the same events as a table for a spreadsheet
//   pull_list.h      with OPTION_EXPORT_PULL, the tapes and the source ranges to digitise
//                    (both written by csv_table.h)
//   output_file.h    the output text (and the export) written as the output files, each in
//                    full or not at all
#pragma once

#include <cstdint>

#include "banner.h"
#include "cmx_export.h"
#include "cmx_report.h"
#include "conversion_options.h"
#include "conversion_result.h"
#include "decode.h"
#include "event_table.h"
#include "header.h"
#include "line_items.h"
#include "line_state.h"
#include "memory.h"
#include "output_file.h"
#include "pull_list.h"
#include "rewrite_lines.h"
#include "text.h"

// One file of a job.
struct ConversionRequest {
    const char16_t* sourcePath;
    const char16_t* displayName;   // names the file in the banner and the output file
    const char16_t* outputFolder;  // ends with a separator, or empty for the current folder
    uint32_t options;              // OPTION_ bits
    CalendarTime stampTime;        // the local time the banner gives as the conversion's
    // The frame rate of the CMX export, the event table and the pull list, 24, 25 or 30 (any
    // other value counts as 30).
    int cmxFramesPerSecond = CMX_DEFAULT_FRAMES_PER_SECOND;
    // The pull list's handles, in seconds.
    int handleSeconds = DEFAULT_HANDLE_SECONDS;
    // With OPTION_EXPORT_PULL, when not null: a converted file's pull ranges are added to these,
    // the ranges of a batch, marked as its file `batchFile`.
    PullRanges* batchRanges = nullptr;
    uint32_t batchFile = 0;
};

// What the lists of a file did; zero for a list not written.
struct ConversionReport {
    uint32_t written;  // the OPTION_EXPORT_ bits of the lists written
    CmxReport cmx;
    EventTableReport events;
    PullReport pull;
};

// Converts one file: opens and decodes the source, recognises its layout, composes the output
// text and writes "C_" + display name into the output folder; then the lists the options ask
// for: the CMX export "CMX_" + display name, the event table "EVENTS_" + stem + ".csv" and the
// pull list "PULL_" + stem + ".csv". The source is only ever read. Returns RESULT_CONVERTED or
// the failure. `report`, when not null, receives what the lists that were written did (a list
// that failed does not keep the next from being written). Out of memory for the batch's ranges
// gives RESULT_NO_MEMORY, before any file is written.
ConversionResult ConvertEdlFile(const ConversionRequest& request, ConversionReport* report);

// The conversion of bytes already at hand, without files.
struct SourceConversion {
    ByteSource* source;
    uint32_t sourceSize;       // sizes the working buffer
    const char* fileNameText;  // the source's name in code page 932, for the banner
    const char* stamp;         // the banner's conversion time
    uint32_t options;          // OPTION_ bits, as in a ConversionRequest
    int cmxFramesPerSecond;    // as in a ConversionRequest
    int handleSeconds = DEFAULT_HANDLE_SECONDS;
};

// What a conversion of bytes made: the output text, and as the options ask the CMX export, the
// event table and the pull list with what each did, and the pull list's ranges (without
// handles), which a batch gathers. Released with ReleaseConvertedTexts.
struct ConvertedTexts {
    ByteBuffer text;
    ByteBuffer cmx;
    CmxReport cmxReport;
    ByteBuffer events;
    EventTableReport eventsReport;
    ByteBuffer pull;
    PullReport pullReport;
    PullRanges pullRanges;
};

// Decodes the source and composes its texts. On RESULT_CONVERTED `out` holds them; on a failure
// it is empty.
ConversionResult ConvertEdlSource(const SourceConversion& request, ConvertedTexts* out);
void ReleaseConvertedTexts(ConvertedTexts* texts);

// A ByteSource over bytes in memory.
struct MemorySource {
    const uint8_t* bytes;
    size_t size;
    size_t position;
};
ByteSource MakeMemorySource(MemorySource* memory);

// A ByteSource over a file opened with OpenFileForReading, read no further than `size`, the size
// it had when it was opened: a file that grows while it is read converts as it was, and its
// working buffer stays the size it was given.
struct PlatformFile;
struct FileSource {
    PlatformFile* file;
    uint64_t size;
    uint64_t position;
};
ByteSource MakeFileSource(FileSource* file);
