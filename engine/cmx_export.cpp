#include "cmx_export.h"

#include <cstring>
#include <initializer_list>

#include "cmx_events.h"
#include "cmx_reels.h"
#include "list_text.h"

namespace {

// An event line of the export: number, reel in 8, channels in 4, transition in 4, duration in
// 3 and four timecodes, 76 bytes for a three-digit number; room for any number.
constexpr size_t CMX_LINE_SIZE = 128;
// A comment line: a marker and at most a piece of the list (159 bytes), or a header line.
constexpr size_t COMMENT_LINE_SIZE = 320;
constexpr size_t CHANNELS_WIDTH = 4;
constexpr size_t TRANSITION_WIDTH = 4;

constexpr char HEADER_DROP_FRAME[] = "FCM: DROP FRAME";
constexpr char HEADER_NON_DROP_FRAME[] = "FCM: NON-DROP FRAME";
constexpr char UNTITLED[] = "UNTITLED";

// Markers of what the export keeps as comments, under one prefix that can be searched for; the
// reel table's lines have a form of their own.
constexpr char MARK_EVENT[] = "* BVE EVENT ";
constexpr char MARK_LINE[] = "* BVE LINE: ";
constexpr char MARK_DATA[] = "* BVE DATA: ";
constexpr char MARK_NOTE[] = "* BVE NOTE: ";
constexpr char MARK_TITLE[] = "* BVE TITLE: ";
constexpr char MARK_MARKS[] = "* BVE MARKS: ";
constexpr char MARK_MODE_ASSEMBLE[] = "* BVE MODE ASMBL";
constexpr char MARK_FRAME_RATE[] = "* BVE FRAME RATE: ";
constexpr char MARK_BVE[] = "* BVE ";
constexpr char MARK_REEL[] = "* REEL ";

// Notes that OpenTimelineIO reads as commands when they stand after "* ".
const char* const COMMAND_WORDS[] = {"M2", "ASC_SOP", "ASC_SAT"};

struct CmxWriter {
    const LineItems* items;
    const HeaderFields* header;
    const char* fileNameText;
    FrameRate rate;
    bool deleteInternalData;
    ByteBuffer* out;
    CmxReport* report;
    CmxReelTable reels;
    uint32_t eventNumber;  // the last number written
    CmxShots shots;
    bool failed;  // memory ran out
};

// --- Output -----------------------------------------------------------------------------------

void Append(CmxWriter* cmx, const void* bytes, size_t count) {
    if (!cmx->failed && !BufferAppend(cmx->out, bytes, count)) {
        cmx->failed = true;
    }
}

void AppendText(CmxWriter* cmx, const char* text) {
    Append(cmx, text, std::strlen(text));
}

void EndLine(CmxWriter* cmx) {
    Append(cmx, "\r\n", 2);
}

// --- Comments ---------------------------------------------------------------------------------

// Comment text: the bytes as they are (code page 932 notes keep theirs), every control
// character a blank, so that a bare CR inside a note cannot start a line of its own.
void AppendCommentText(CmxWriter* cmx, const uint8_t* text, size_t length) {
    size_t start = 0;
    for (size_t k = 0; k < length; ++k) {
        if (IsControlByte(text[k])) {
            Append(cmx, text + start, k - start);
            Append(cmx, " ", 1);
            start = k + 1;
        }
    }
    Append(cmx, text + start, length - start);
}

// "<marker><text>" as a comment line, the text trimmed; made in one piece, as every comment
// of a line of the list fits in COMMENT_LINE_SIZE.
void WriteComment(CmxWriter* cmx, const char* marker, const uint8_t* text, size_t length) {
    TrimBytes(&text, &length);
    size_t markerLength = std::strlen(marker);
    if (markerLength + length + 2 > COMMENT_LINE_SIZE) {
        AppendText(cmx, marker);
        AppendCommentText(cmx, text, length);
        EndLine(cmx);
        return;
    }
    char line[COMMENT_LINE_SIZE];
    std::memcpy(line, marker, markerLength);
    for (size_t k = 0; k < length; ++k) {
        line[markerLength + k] = IsControlByte(text[k]) ? ' ' : static_cast<char>(text[k]);
    }
    std::memcpy(line + markerLength + length, "\r\n", 2);
    Append(cmx, line, markerLength + length + 2);
}

void WriteMarker(CmxWriter* cmx, const char* marker) {
    AppendText(cmx, marker);
    EndLine(cmx);
}

// A note of the list: "* " before it unless it has one already. A note whose first word
// OpenTimelineIO would read as a command goes under "* BVE NOTE: " instead; a blank note
// carries nothing and is left out.
void WriteNoteComment(CmxWriter* cmx, const uint8_t* text, size_t length) {
    TrimBytes(&text, &length);
    if (length == 0) {
        return;
    }
    bool starred = StartsWithText(text, length, "* ");
    const uint8_t* words = text;
    size_t wordsLength = length;
    if (starred) {
        words += 2;
        wordsLength -= 2;
        TrimBytes(&words, &wordsLength);
    }
    for (const char* command : COMMAND_WORDS) {
        if (StartsWithText(words, wordsLength, command)) {
            WriteComment(cmx, MARK_NOTE, text, length);
            return;
        }
    }
    WriteComment(cmx, starred ? "" : "* ", text, length);
}

// --- Line building ----------------------------------------------------------------------------

// A short text (a reel name, the channels) copied byte by byte: cheaper than a call for a few
// bytes, and every event line holds two.
size_t PutShortText(char* line, size_t at, const char* text) {
    for (; *text != 0; ++text) {
        line[at++] = *text;
    }
    return at;
}

size_t PutPadded(char* line, size_t at, const char* text, size_t width) {
    size_t end = PutText(line, at, text);
    while (end < at + width) {
        line[end++] = ' ';
    }
    return end;
}

const uint8_t* SpanBytes(const EventLine& line, LineSpan span) {
    return line.bytes + (span.length > 0 ? span.start : 0);
}

// --- Event lines ------------------------------------------------------------------------------

// "001  REEL     V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00": nothing after
// the last timecode, which some parsers would take for part of it. Audio 3 and 4 go right
// under it, the only place every parser looks for them.
void WriteEventLine(CmxWriter* cmx, const char* reel, uint8_t channels, int dissolveFrames,
                    const Timecode* timecodes) {
    char line[CMX_LINE_SIZE];
    size_t at = PutNumber(line, 0, cmx->eventNumber, 3);
    // The columns after the number are blanks but for what each field holds: two blanks, the
    // reel in 8, a blank, the channels in 4, two blanks, the transition in 4, a blank and the
    // duration in 3. Every field's text fits its width.
    constexpr size_t REEL_AT = 2;
    constexpr size_t CHANNELS_AT = REEL_AT + CMX_REEL_WIDTH + 1;
    constexpr size_t TRANSITION_AT = CHANNELS_AT + CHANNELS_WIDTH + 2;
    constexpr size_t DURATION_AT = TRANSITION_AT + TRANSITION_WIDTH + 1;
    constexpr size_t FIELDS_WIDTH = DURATION_AT + 3;
    std::memset(line + at, ' ', FIELDS_WIDTH);
    PutShortText(line, at + REEL_AT, reel);
    PutShortText(line, at + CHANNELS_AT, CmxChannelText(channels));
    line[at + TRANSITION_AT] = dissolveFrames > 0 ? 'D' : 'C';
    if (dissolveFrames > 0) {
        PutNumber(line, at + DURATION_AT, static_cast<uint32_t>(dissolveFrames), 3);
    }
    at += FIELDS_WIDTH;
    for (int k = 0; k < 4; ++k) {
        line[at++] = ' ';
        at = PutTimecode(line, at, timecodes[k]);
    }
    line[at++] = '\r';
    line[at++] = '\n';
    Append(cmx, line, at);
    auto extra = static_cast<uint8_t>(channels & (CHANNEL_A3 | CHANNEL_A4));
    if (extra != 0) {
        AppendText(cmx, extra == CHANNEL_A3   ? "AUD  3"
                        : extra == CHANNEL_A4 ? "AUD       4"
                                              : "AUD  3    4");
        EndLine(cmx);
    }
}

// "M2   REEL          015.0                10:10:05:00": the speed in frames per second, the
// rate times the percentage of the speed mark, one decimal, a sign when it runs backwards.
void WriteSpeedLine(CmxWriter* cmx, const char* reel, const char* speedMark,
                    const Timecode& sourceIn) {
    int percent = (speedMark[1] - '0') * 100 + (speedMark[2] - '0') * 10 + (speedMark[3] - '0');
    int tenths = (cmx->rate.framesPerSecond * percent + 5) / 10;
    bool backwards = speedMark[0] == '-' && tenths > 0;
    char line[CMX_LINE_SIZE];
    size_t at = PutText(line, 0, "M2   ");
    at = PutPadded(line, at, reel, CMX_REEL_WIDTH);
    // The speed ends in column 25 whatever its sign.
    at = PutText(line, at, backwards ? "      -" : "       ");
    at = PutNumber(line, at, static_cast<uint32_t>(tenths / 10), 3);
    line[at++] = '.';
    at = PutNumber(line, at, static_cast<uint32_t>(tenths % 10), 1);
    at = PutText(line, at, "                ");
    at = PutTimecode(line, at, sourceIn);
    at = PutText(line, at, "\r\n");
    Append(cmx, line, at);
}

void WriteReelTable(CmxWriter* cmx) {
    for (size_t k = 0; k < cmx->reels.reelCount; ++k) {
        const CmxRenamedReel& reel = cmx->reels.reels[k];
        AppendText(cmx, MARK_REEL);
        AppendText(cmx, reel.name);
        AppendText(cmx, " = ");
        AppendCommentText(cmx, reel.original, reel.originalLength);
        EndLine(cmx);
    }
}

// --- Header -----------------------------------------------------------------------------------

// The list's title without the "@" the repaired list puts before it, without a "TITLE:" of
// its own, and trimmed; empty when the list has none.
void ListTitle(const HeaderFields& header, const uint8_t** text, size_t* length) {
    *text = reinterpret_cast<const uint8_t*>(header.title);
    *length = std::strlen(header.title);
    if (std::strcmp(header.title, DEFAULT_TITLE) == 0) {
        *length = 0;
        return;
    }
    TrimBytes(text, length);
    if (*length > 0 && (*text)[0] == '@') {
        ++*text;
        --*length;
        TrimBytes(text, length);
    }
    if (StartsWithText(*text, *length, "TITLE:")) {
        *text += 6;
        *length -= 6;
        TrimBytes(text, length);
    }
}

bool IsAsciiTitle(const uint8_t* text, size_t length) {
    for (size_t k = 0; k < length; ++k) {
        if (!IsPrintableAscii(text[k])) {
            return false;
        }
    }
    return length > 0;
}

// "TITLE:" with the list's title when it is printable ASCII, else with the file's name (other
// bytes as "?"); then the frame count mode and an empty line.
void WriteHeader(CmxWriter* cmx) {
    const uint8_t* title;
    size_t titleLength;
    ListTitle(*cmx->header, &title, &titleLength);
    AppendText(cmx, "TITLE: ");
    if (IsAsciiTitle(title, titleLength)) {
        Append(cmx, title, titleLength);
    } else {
        const auto* name = reinterpret_cast<const uint8_t*>(cmx->fileNameText);
        size_t nameLength = std::strlen(cmx->fileNameText);
        TrimBytes(&name, &nameLength);
        if (nameLength == 0) {
            AppendText(cmx, UNTITLED);
        }
        for (size_t k = 0; k < nameLength; ++k) {
            Append(cmx,
                   IsPrintableAscii(name[k]) ? name + k : reinterpret_cast<const uint8_t*>("?"), 1);
        }
    }
    EndLine(cmx);
    WriteMarker(cmx, cmx->rate.dropFrame ? HEADER_DROP_FRAME : HEADER_NON_DROP_FRAME);
    EndLine(cmx);
}

// What the header says beyond the title, as comments after the first event: a title that
// could not go on the TITLE line, the master recorder's reel, the block, and the frame rate the
// export was written at ("30 NDF", "30 DF", "25", "24"), which FCM alone does not tell.
void WriteHeaderComments(CmxWriter* cmx) {
    const uint8_t* title;
    size_t titleLength;
    ListTitle(*cmx->header, &title, &titleLength);
    if (titleLength > 0 && !IsAsciiTitle(title, titleLength)) {
        WriteComment(cmx, MARK_TITLE, title, titleLength);
    }
    for (const char* text : {cmx->header->reelLine, cmx->header->blockLine}) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(text);
        size_t length = std::strlen(text);
        TrimBytes(&bytes, &length);
        if (length > 0) {
            WriteComment(cmx, "* ", bytes, length);
        }
    }
    char rate[COMMENT_LINE_SIZE];
    size_t at = PutText(rate, 0, MARK_FRAME_RATE);
    at = PutNumber(rate, at, static_cast<uint32_t>(cmx->rate.framesPerSecond), 2);
    if (cmx->rate.framesPerSecond == 30) {
        at = PutText(rate, at, cmx->rate.dropFrame ? " DF" : " NDF");
    }
    rate[at] = 0;
    WriteMarker(cmx, rate);
}

// --- Events -----------------------------------------------------------------------------------

// The comment of a held event for what its transition says beyond a cut or a dissolve.
// Returns true when it wrote one.
bool WriteTransitionComment(CmxWriter* cmx, const EventLine& line, const EventRecord& record,
                            int dissolveFrames) {
    // The text is made of the line's words, trimmed, without control characters.
    char text[CMX_TRANSITION_TEXT_SIZE];
    size_t length = CmxTransitionText(line, record, dissolveFrames, text);
    if (length == 0) {
        return false;
    }
    char comment[sizeof MARK_BVE + CMX_TRANSITION_TEXT_SIZE + 2];
    size_t at = PutText(comment, 0, MARK_BVE);
    std::memcpy(comment + at, text, length);
    at += length;
    at = PutText(comment, at, "\r\n");
    Append(cmx, comment, at);
    return true;
}

// The DM speed line whose record the event took follows it.
void WriteSpeedLineTaken(CmxWriter* cmx, const LineEvent& event) {
    if (event.speedLine != NO_ITEM) {
        const LineItem& line = cmx->items->items[event.speedLine];
        WriteNoteComment(cmx, cmx->items->text + line.offset, line.length);
    }
}

// "* BVE EVENT 0012" when the new number is not the BVE one.
void WriteEventNumberComment(CmxWriter* cmx, const EventRecord& record, uint32_t bveNumber) {
    if (bveNumber == cmx->eventNumber) {
        return;
    }
    char comment[CMX_LINE_SIZE];
    std::memcpy(comment, MARK_EVENT, sizeof MARK_EVENT - 1);
    size_t digits = record.number.length < 4 ? 4 : record.number.length;
    size_t end = PutNumber(comment, sizeof MARK_EVENT - 1, bveNumber, digits);
    comment[end++] = '\r';
    comment[end++] = '\n';
    Append(cmx, comment, end);
}

// A held event: renumbered; a dissolve as two lines under one number (a zero-length line of
// the outgoing shot at the dissolve's record in, then the dissolve); the speed line; then the
// comments of what CMX cannot say.
void WriteHeldEvent(CmxWriter* cmx, const EventLine& line, const LineEvent& event,
                    const CmxEvent& held) {
    const EventRecord& record = event.reading;
    char reel[CMX_REEL_NAME_SIZE];
    CmxReelName(&cmx->reels, line, record, reel);
    ++cmx->eventNumber;
    ++cmx->report->eventsWritten;
    if (held.dissolveFrames > 0) {
        const CmxShot& outgoing = OutgoingCmxShot(cmx->shots, record.channels);
        Timecode point = outgoing.present ? outgoing.sourceOut : Timecode{};
        const Timecode timecodes[4] = {point, point, held.timecodes[2], held.timecodes[2]};
        WriteEventLine(cmx, outgoing.present ? outgoing.reel : CMX_BLACK_REEL, record.channels, 0,
                       timecodes);
        ++cmx->report->dissolvesSplit;
    }
    WriteEventLine(cmx, reel, record.channels, held.dissolveFrames, held.timecodes);
    if (record.speed[0] != 0) {
        WriteSpeedLine(cmx, reel, record.speed, held.timecodes[0]);
    }
    WriteSpeedLineTaken(cmx, event);
    WriteEventNumberComment(cmx, record, held.bveNumber);
    if (record.assemble) {
        WriteMarker(cmx, MARK_MODE_ASSEMBLE);
    }
    bool kept = WriteTransitionComment(cmx, line, record, held.dissolveFrames);
    if (record.marksUnmapped) {
        WriteComment(cmx, MARK_MARKS, SpanBytes(line, record.marks), record.marks.length);
        kept = true;
    }
    if (kept) {
        ReportKeptAsComment(cmx->report, held.bveNumber);
    }
    RememberCmxShot(&cmx->shots, reel, record.channels, held.timecodes[1], 0);
}

// An event line the export cannot hold as an event: its text as a comment.
void WriteLineKept(CmxWriter* cmx, const uint8_t* text, size_t length) {
    WriteComment(cmx, MARK_LINE, text, length);
    ReportKeptAsComment(cmx->report, BveEventNumber(text, length));
}

void WriteItem(CmxWriter* cmx, const LineItem& item) {
    const uint8_t* bytes = cmx->items->text + item.offset;
    switch (item.kind) {
        case ITEM_HEADER_NOTE:
        case ITEM_NOTE:
            WriteNoteComment(cmx, bytes, item.length);
            break;
        case ITEM_DM_LINE:
            if (!item.speedTaken) {  // else it follows the event that took its speed
                WriteNoteComment(cmx, bytes, item.length);
            }
            break;
        case ITEM_DROPPED_NOTE:
            break;
        case ITEM_INTERNAL_DATA:
            if (!cmx->deleteInternalData) {
                WriteComment(cmx, MARK_DATA, bytes, item.length);
            }
            break;
        case ITEM_MALFORMED_EVENT:
            WriteLineKept(cmx, bytes, item.length);
            break;
        case ITEM_EVENT: {
            const LineEvent& event = cmx->items->events[item.event];
            CmxEvent held = ReadCmxEvent(*cmx->items, item, cmx->rate);
            if (held.held) {
                WriteHeldEvent(cmx, ItemLine(*cmx->items, item), event, held);
            } else {
                WriteLineKept(cmx, bytes, item.length);
                WriteSpeedLineTaken(cmx, event);
            }
            break;
        }
    }
}

// The first event the export holds, or the item count when it holds none.
size_t FirstHeldEvent(const CmxWriter& cmx) {
    const LineItems& items = *cmx.items;
    for (size_t k = 0; k < items.itemCount; ++k) {
        if (items.items[k].kind == ITEM_EVENT &&
            ReadCmxEvent(items, items.items[k], cmx.rate).held) {
            return k;
        }
    }
    return items.itemCount;
}

}  // namespace

bool IsCmxFrameRate(int framesPerSecond) {
    return framesPerSecond == 24 || framesPerSecond == 25 || framesPerSecond == 30;
}

FrameRate CmxFrameRate(const CmxExportOptions& options) {
    int framesPerSecond = IsCmxFrameRate(options.framesPerSecond) ? options.framesPerSecond
                                                                  : CMX_DEFAULT_FRAMES_PER_SECOND;
    return FrameRate{framesPerSecond, options.dropFrame && framesPerSecond == 30};
}

bool WriteCmxExport(const CmxSource& source, const CmxExportOptions& options, ByteBuffer* out,
                    CmxReport* report) {
    CmxWriter cmx{};
    cmx.items = source.items;
    cmx.header = source.header;
    cmx.fileNameText = source.fileNameText;
    cmx.rate = CmxFrameRate(options);
    cmx.deleteInternalData = options.deleteInternalData;
    cmx.out = out;
    cmx.report = report;
    *report = CmxReport{};
    // Room for twice the list, as for the repaired text: the export of a list rich in events
    // is about one and a half times as long (a dissolve takes two lines, a renumbered event a
    // comment). Made once, so that the text is not moved as it grows; pages never written
    // cost nothing.
    const LineItems& items = *source.items;
    const LineItem* last = items.itemCount > 0 ? &items.items[items.itemCount - 1] : nullptr;
    size_t listLength = last != nullptr ? last->offset + last->length : 0;
    size_t room = listLength > SIZE_MAX / 4 ? SIZE_MAX / 2 : 2 * listLength;
    if (!BufferReserve(out, out->length + room + 1024) ||
        !NameCmxReels(items, cmx.rate, &cmx.reels)) {
        return false;
    }
    WriteHeader(&cmx);
    // Nothing may stand before the first event: what stood before it in the list follows it,
    // after the header's comments and the reel table.
    size_t first = FirstHeldEvent(cmx);
    if (first < items.itemCount) {
        WriteItem(&cmx, items.items[first]);
    }
    WriteHeaderComments(&cmx);
    WriteReelTable(&cmx);
    for (size_t k = 0; k < items.itemCount; ++k) {
        if (k != first) {
            WriteItem(&cmx, items.items[k]);
        }
    }
    report->reelsRenamed = static_cast<uint32_t>(cmx.reels.reelCount);
    ReleaseCmxReelTable(&cmx.reels);
    return !cmx.failed;
}
