#include "cmx_export.h"

#include <cstring>
#include <initializer_list>

#include "rewrite_lines.h"

namespace {

// An event line of the export: number, reel in 8, channels in 4, transition in 4, duration in
// 3 and four timecodes, 76 bytes for a three-digit number; room for any number.
constexpr size_t CMX_LINE_SIZE = 128;
// A comment line: a marker and at most a piece of the list (159 bytes), or a header line.
constexpr size_t COMMENT_LINE_SIZE = 320;
constexpr size_t TIMECODE_LENGTH = 11;  // "01:00:00:00"
constexpr size_t CHANNELS_WIDTH = 4;
constexpr size_t TRANSITION_WIDTH = 4;
constexpr int LONGEST_DISSOLVE = 999;
constexpr size_t MAX_BVE_DIGITS = 9;

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
constexpr char MARK_WIPE[] = "* BVE WIPE";
constexpr char MARK_KEY[] = "* BVE KEY ";
constexpr char MARK_TRANSITION[] = "* BVE TRANSITION ";
constexpr char MARK_REEL[] = "* REEL ";

// Notes that OpenTimelineIO reads as commands when they stand after "* ".
const char* const COMMAND_WORDS[] = {"M2", "ASC_SOP", "ASC_SAT"};

// Where a dissolve comes from when no shot was written before it: black.
constexpr CmxShot NO_SHOT{};

// The channel field by video (1), audio 1 (2) and audio 2 (4).
const char* const CHANNEL_TEXTS[] = {"NONE", "V", "A", "B", "A2", "A2/V", "AA", "AA/V"};

// --- Where the text goes ----------------------------------------------------------------------

// Until the first event is written, into the text that follows it; then into the export.
ByteBuffer* Target(CmxExport* cmx) {
    return cmx->redirect != nullptr ? cmx->redirect
           : cmx->eventWritten      ? cmx->out
                                    : &cmx->beforeFirst;
}

void Append(CmxExport* cmx, const void* bytes, size_t count) {
    if (!cmx->failed && !BufferAppend(Target(cmx), bytes, count)) {
        cmx->failed = true;
    }
}

void AppendText(CmxExport* cmx, const char* text) {
    Append(cmx, text, std::strlen(text));
}

void EndLine(CmxExport* cmx) {
    Append(cmx, "\r\n", 2);
}

// Puts `text` into `buffer` at `position`, moving what follows.
bool Insert(ByteBuffer* buffer, size_t position, const ByteBuffer& text) {
    if (text.length == 0) {
        return true;
    }
    if (!BufferReserve(buffer, buffer->length + text.length)) {
        return false;
    }
    std::memmove(buffer->bytes + position + text.length, buffer->bytes + position,
                 buffer->length - position);
    std::memcpy(buffer->bytes + position, text.bytes, text.length);
    buffer->length += text.length;
    return true;
}

const uint8_t* TextAt(const CmxExport& cmx, size_t offset) {
    return cmx.rewrite.data.bytes + offset;
}

bool IsPrintableAscii(uint8_t byte) {
    return byte >= 0x20 && byte < 0x7F;
}

bool IsControl(uint8_t byte) {
    return byte < 0x20 || byte == 0x7F;
}

// The bytes without leading and trailing blanks and control characters.
void Trim(const uint8_t** text, size_t* length) {
    while (*length > 0 && ((*text)[0] == ' ' || IsControl((*text)[0]))) {
        ++*text;
        --*length;
    }
    while (*length > 0 && ((*text)[*length - 1] == ' ' || IsControl((*text)[*length - 1]))) {
        --*length;
    }
}

bool StartsWith(const uint8_t* text, size_t length, const char* word) {
    size_t count = std::strlen(word);
    return length >= count && std::memcmp(text, word, count) == 0;
}

// Comment text: the bytes as they are (code page 932 notes keep theirs), every control
// character a blank, so that a bare CR inside a note cannot start a line of its own.
void AppendCommentText(CmxExport* cmx, const uint8_t* text, size_t length) {
    size_t start = 0;
    for (size_t k = 0; k < length; ++k) {
        if (IsControl(text[k])) {
            Append(cmx, text + start, k - start);
            Append(cmx, " ", 1);
            start = k + 1;
        }
    }
    Append(cmx, text + start, length - start);
}

// "<marker><text>" as a comment line, the text trimmed; made in one piece, as every comment
// of a line of the list fits in COMMENT_LINE_SIZE.
void WriteComment(CmxExport* cmx, const char* marker, const uint8_t* text, size_t length) {
    Trim(&text, &length);
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
        line[markerLength + k] = IsControl(text[k]) ? ' ' : static_cast<char>(text[k]);
    }
    std::memcpy(line + markerLength + length, "\r\n", 2);
    Append(cmx, line, markerLength + length + 2);
}

// The words of the text with one blank between them: "KB   002" as "KB 002". `line` has room
// for the text; returns the end.
size_t PutWords(char* line, size_t at, const uint8_t* text, size_t length) {
    Trim(&text, &length);
    for (size_t k = 0; k < length; ++k) {
        bool blank = text[k] == ' ' || IsControl(text[k]);
        if (!blank) {
            line[at++] = static_cast<char>(text[k]);
        } else if (text[k - 1] != ' ' && !IsControl(text[k - 1])) {
            line[at++] = ' ';
        }
    }
    return at;
}

// A note of the list: "* " before it unless it has one already. A note whose first word
// OpenTimelineIO would read as a command goes under "* BVE NOTE: " instead; a blank note
// carries nothing and is left out.
void WriteNoteComment(CmxExport* cmx, const uint8_t* text, size_t length) {
    Trim(&text, &length);
    if (length == 0) {
        return;
    }
    bool starred = StartsWith(text, length, "* ");
    const uint8_t* words = text;
    size_t wordsLength = length;
    if (starred) {
        words += 2;
        wordsLength -= 2;
        Trim(&words, &wordsLength);
    }
    for (const char* command : COMMAND_WORDS) {
        if (StartsWith(words, wordsLength, command)) {
            WriteComment(cmx, MARK_NOTE, text, length);
            return;
        }
    }
    WriteComment(cmx, starred ? "" : "* ", text, length);
}

const uint8_t* SpanBytes(const EventLine& line, LineSpan span) {
    return line.bytes + (span.length > 0 ? span.start : 0);
}

// The span, trimmed, is `text`.
bool SpanIs(const EventLine& line, LineSpan span, const char* text) {
    const uint8_t* bytes = SpanBytes(line, span);
    size_t length = span.length;
    Trim(&bytes, &length);
    return length == std::strlen(text) && std::memcmp(bytes, text, length) == 0;
}

// "HH:MM:SS:FF" with ":", ";", "." or "," between the pairs, each pair in its range at the
// rate; at drop frame, a label that drop-frame counting skips is no timecode.
bool ParseTimecode(const CmxExport& cmx, const EventLine& line, LineSpan span,
                   CmxTimecode* timecode) {
    if (span.length != TIMECODE_LENGTH) {
        return false;
    }
    const uint8_t* text = SpanBytes(line, span);
    for (size_t pair = 0; pair < 4; ++pair) {
        size_t at = pair * 3;
        if (!IsDigit(text[at]) || !IsDigit(text[at + 1])) {
            return false;
        }
        uint8_t separator = pair < 3 ? text[at + 2] : ':';
        if (separator != ':' && separator != ';' && separator != '.' && separator != ',') {
            return false;
        }
    }
    timecode->hours = (text[0] - '0') * 10 + (text[1] - '0');
    timecode->minutes = (text[3] - '0') * 10 + (text[4] - '0');
    timecode->seconds = (text[6] - '0') * 10 + (text[7] - '0');
    timecode->frames = (text[9] - '0') * 10 + (text[10] - '0');
    if (timecode->hours >= 24 || timecode->minutes >= 60 || timecode->seconds >= 60 ||
        timecode->frames >= cmx.framesPerSecond) {
        return false;
    }
    return !(cmx.dropFrame && timecode->seconds == 0 && timecode->frames < 2 &&
             timecode->minutes % 10 != 0);
}

bool Before(const CmxTimecode& a, const CmxTimecode& b) {
    if (a.hours != b.hours) {
        return a.hours < b.hours;
    }
    if (a.minutes != b.minutes) {
        return a.minutes < b.minutes;
    }
    if (a.seconds != b.seconds) {
        return a.seconds < b.seconds;
    }
    return a.frames < b.frames;
}

// The four timecodes of an event line that the export can hold as an event: each valid at the
// rate, and a record out no earlier than the record in.
bool HeldTimecodes(const CmxExport& cmx, const EventLine& line, const EventRecord& record,
                   CmxTimecode* timecodes) {
    for (int k = 0; k < 4; ++k) {
        if (!ParseTimecode(cmx, line, record.timecodes[k], &timecodes[k])) {
            return false;
        }
    }
    return !Before(timecodes[3], timecodes[2]);
}

// The BVE event number: the value of the line's leading digits.
uint32_t BveNumber(const uint8_t* text, size_t length) {
    size_t at = 0;
    while (at < length && text[at] == ' ') {
        ++at;
    }
    uint32_t value = 0;
    for (size_t digits = 0; at < length && IsDigit(text[at]) && digits < MAX_BVE_DIGITS;
         ++at, ++digits) {
        value = value * 10 + static_cast<uint32_t>(text[at] - '0');
    }
    return value;
}

// The dissolve's length in frames, 1 to 999; 0 when the line is no dissolve the export can
// write as one (no duration of 1 to 3 digits, or a duration of 0).
int DissolveFrames(const EventLine& line, const EventRecord& record) {
    if (record.transition != TRANSITION_DISSOLVE) {
        return 0;
    }
    LineSpan word = record.typeWords[0];
    if (word.length < 1 || word.length > 3) {
        return 0;
    }
    int frames = 0;
    for (size_t k = 0; k < word.length; ++k) {
        uint8_t byte = SpanBytes(line, word)[k];
        if (!IsDigit(byte)) {
            return 0;
        }
        frames = frames * 10 + (byte - '0');
    }
    return frames <= LONGEST_DISSOLVE ? frames : 0;
}

// --- Formatting -----------------------------------------------------------------------------

size_t PutText(char* line, size_t at, const char* text) {
    size_t count = std::strlen(text);
    std::memcpy(line + at, text, count);
    return at + count;
}

size_t PutPadded(char* line, size_t at, const char* text, size_t width) {
    size_t end = PutText(line, at, text);
    while (end < at + width) {
        line[end++] = ' ';
    }
    return end;
}

// At least `width` digits, zero-filled.
size_t PutNumber(char* line, size_t at, uint32_t value, size_t width) {
    char digits[12];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count < width) {
        digits[count++] = '0';
    }
    for (size_t k = 0; k < count; ++k) {
        line[at + k] = digits[count - 1 - k];
    }
    return at + count;
}

// "00" to "99", so that a pair of a timecode is one copy rather than a division.
constexpr char DIGIT_PAIRS[] =
    "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243444546"
    "4748495051525354555657585960616263646566676869707172737475767778798081828384858687888990919293"
    "949596979899";

// A pair of a timecode: both digits, its range kept to 0..99.
void PutPair(char* line, size_t at, int value) {
    std::memcpy(line + at, DIGIT_PAIRS + 2 * static_cast<size_t>(value), 2);
}

size_t PutTimecode(char* line, size_t at, const CmxTimecode& timecode) {
    PutPair(line, at, timecode.hours);
    line[at + 2] = ':';
    PutPair(line, at + 3, timecode.minutes);
    line[at + 5] = ':';
    PutPair(line, at + 6, timecode.seconds);
    line[at + 8] = ':';
    PutPair(line, at + 9, timecode.frames);
    return at + TIMECODE_LENGTH;
}

// "001  REEL     V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00": nothing after
// the last timecode, which some parsers would take for part of it.
void WriteEventLine(CmxExport* cmx, const char* reel, uint8_t channels, int dissolveFrames,
                    const CmxTimecode& sourceIn, const CmxTimecode& sourceOut,
                    const CmxTimecode& recordIn, const CmxTimecode& recordOut) {
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
    PutText(line, at + REEL_AT, reel);
    size_t channelIndex = ((channels & CHANNEL_V) != 0 ? 1u : 0u) |
                          ((channels & CHANNEL_A1) != 0 ? 2u : 0u) |
                          ((channels & CHANNEL_A2) != 0 ? 4u : 0u);
    PutText(line, at + CHANNELS_AT, CHANNEL_TEXTS[channelIndex]);
    line[at + TRANSITION_AT] = dissolveFrames > 0 ? 'D' : 'C';
    if (dissolveFrames > 0) {
        PutNumber(line, at + DURATION_AT, static_cast<uint32_t>(dissolveFrames), 3);
    }
    at += FIELDS_WIDTH;
    const CmxTimecode* timecodes[] = {&sourceIn, &sourceOut, &recordIn, &recordOut};
    for (const CmxTimecode* timecode : timecodes) {
        line[at++] = ' ';
        at = PutTimecode(line, at, *timecode);
    }
    at = PutText(line, at, "\r\n");
    Append(cmx, line, at);
    // Audio 3 and 4 go right under the event line, the only place every parser looks for them.
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
void WriteSpeedLine(CmxExport* cmx, const char* reel, const char* speedMark,
                    const CmxTimecode& sourceIn) {
    int percent = (speedMark[1] - '0') * 100 + (speedMark[2] - '0') * 10 + (speedMark[3] - '0');
    int tenths = (cmx->framesPerSecond * percent + 5) / 10;
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

// --- Reels ------------------------------------------------------------------------------------

// The reel table must know every reel word kept as it is before it names a reel anew, so that
// no new name takes one: the first time a reel is renamed, the whole list is read for them.
bool ReadKeptReels(CmxExport* cmx) {
    cmx->reelsRead = true;
    LineStream view = cmx->rewrite;
    LinePiece piece;
    size_t eventLines = 0;
    for (view.position = 0; ReadLinePiece(&view, REWRITE_LINE_LIMIT, &piece);) {
        if (ClassifyLine(piece) == LINE_EVENT) {
            ++eventLines;
        }
    }
    if (!StartCmxReelTable(&cmx->reels, eventLines)) {
        return false;
    }
    LineState noSpeeds{};
    for (view.position = 0; ReadLinePiece(&view, REWRITE_LINE_LIMIT, &piece);) {
        if (ClassifyLine(piece) != LINE_EVENT) {
            continue;
        }
        EventRecord record;
        ReadEventLine(piece, &noSpeeds, &record);
        CmxTimecode timecodes[4];
        if (!HeldTimecodes(*cmx, EventLineOf(piece), record, timecodes)) {
            continue;
        }
        // The word as it stands in the rewrite stream, which outlives the piece.
        const uint8_t* word = TextAt(*cmx, view.position - piece.length) + record.reel.start;
        if (ClassifyCmxReel(word, record.reel.length) == CMX_REEL_KEPT) {
            ReserveCmxReel(&cmx->reels, word, record.reel.length);
        }
    }
    return true;
}

// The event's reel as the export writes it: kept, black, the auxiliary source for no reel, or
// its name from the reel table.
void ReelName(CmxExport* cmx, const EventLine& line, const EventRecord& record, char* name) {
    const uint8_t* word = SpanBytes(line, record.reel);
    switch (ClassifyCmxReel(word, record.reel.length)) {
        case CMX_REEL_KEPT:
            std::memcpy(name, word, record.reel.length);
            name[record.reel.length] = 0;
            return;
        case CMX_REEL_BLACK:
            std::memcpy(name, CMX_BLACK_REEL, sizeof CMX_BLACK_REEL);
            return;
        case CMX_REEL_EMPTY:
            std::memcpy(name, CMX_NO_REEL, sizeof CMX_NO_REEL);
            return;
        case CMX_REEL_RENAMED:
            break;
    }
    if (!cmx->reelsRead && !ReadKeptReels(cmx)) {
        cmx->failed = true;
    }
    uint32_t index =
        cmx->failed ? UINT32_MAX : RenameCmxReel(&cmx->reels, word, record.reel.length);
    if (index == UINT32_MAX) {
        std::memcpy(name, CMX_NO_REEL, sizeof CMX_NO_REEL);  // the export fails anyway
        return;
    }
    std::memcpy(name, cmx->reels.reels[index].name, CMX_REEL_NAME_SIZE);
}

void WriteReelTable(CmxExport* cmx) {
    for (size_t k = 0; k < cmx->reels.reelCount; ++k) {
        const CmxRenamedReel& reel = cmx->reels.reels[k];
        AppendText(cmx, MARK_REEL);
        AppendText(cmx, reel.name);
        AppendText(cmx, " = ");
        AppendCommentText(cmx, reel.original, reel.originalLength);
        EndLine(cmx);
    }
}

// --- Header ---------------------------------------------------------------------------------

// The list's title without the "@" the repaired list puts before it, without a "TITLE:" of
// its own, and trimmed; empty when the list has none.
void ListTitle(const HeaderFields& header, const uint8_t** text, size_t* length) {
    *text = reinterpret_cast<const uint8_t*>(header.title);
    *length = std::strlen(header.title);
    if (std::strcmp(header.title, DEFAULT_TITLE) == 0) {
        *length = 0;
        return;
    }
    Trim(text, length);
    if (*length > 0 && (*text)[0] == '@') {
        ++*text;
        --*length;
        Trim(text, length);
    }
    if (StartsWith(*text, *length, "TITLE:")) {
        *text += 6;
        *length -= 6;
        Trim(text, length);
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
void WriteHeader(CmxExport* cmx, const uint8_t* title, size_t titleLength) {
    AppendText(cmx, "TITLE: ");
    if (IsAsciiTitle(title, titleLength)) {
        Append(cmx, title, titleLength);
    } else {
        const auto* name = reinterpret_cast<const uint8_t*>(cmx->fileNameText);
        size_t nameLength = std::strlen(cmx->fileNameText);
        Trim(&name, &nameLength);
        if (nameLength == 0) {
            AppendText(cmx, UNTITLED);
        }
        for (size_t k = 0; k < nameLength; ++k) {
            Append(cmx,
                   IsPrintableAscii(name[k]) ? name + k : reinterpret_cast<const uint8_t*>("?"), 1);
        }
    }
    EndLine(cmx);
    AppendText(cmx, cmx->dropFrame ? HEADER_DROP_FRAME : HEADER_NON_DROP_FRAME);
    EndLine(cmx);
    EndLine(cmx);
}

// What the header says beyond the title, as comments after the first event: a title that
// could not go on the TITLE line, the master recorder's reel and the block.
void WriteHeaderComments(CmxExport* cmx) {
    const uint8_t* title;
    size_t titleLength;
    ListTitle(*cmx->header, &title, &titleLength);
    if (titleLength > 0 && !IsAsciiTitle(title, titleLength)) {
        WriteComment(cmx, MARK_TITLE, title, titleLength);
    }
    for (const char* text : {cmx->header->reelLine, cmx->header->blockLine}) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(text);
        size_t length = std::strlen(text);
        Trim(&bytes, &length);
        if (length > 0) {
            WriteComment(cmx, "* ", bytes, length);
        }
    }
}

// The first event is written: the header's comments follow it, then the place of the reel
// table, then what stood before it, with the places of the speed lines still waiting in it.
void FollowFirstEvent(CmxExport* cmx) {
    WriteHeaderComments(cmx);
    cmx->tablePosition = cmx->out->length;
    for (CmxSpeedLine& line : cmx->speedLines) {
        line.position += cmx->tablePosition;
    }
    Append(cmx, cmx->beforeFirst.bytes, cmx->beforeFirst.length);
    BufferRelease(&cmx->beforeFirst);
}

// --- Speed lines ----------------------------------------------------------------------------

// The DM speed line whose record this event took follows it.
void WriteSpeedLineTaken(CmxExport* cmx, const EventRecord& record) {
    if (record.dmRecord < 0 || record.dmRecord >= MAX_DM_RECORDS) {
        return;
    }
    CmxSpeedLine& line = cmx->speedLines[record.dmRecord];
    if (line.waiting) {
        line.waiting = false;
        WriteNoteComment(cmx, TextAt(*cmx, line.offset), line.length);
    }
}

// Speed lines whose records were given up stay where they stood: each is put in its place, the
// later place first, so that the earlier stays where it was.
void PlaceWaitingSpeedLines(CmxExport* cmx) {
    for (;;) {
        CmxSpeedLine* latest = nullptr;
        for (CmxSpeedLine& line : cmx->speedLines) {
            if (line.waiting && (latest == nullptr || line.position >= latest->position)) {
                latest = &line;
            }
        }
        if (latest == nullptr) {
            return;
        }
        latest->waiting = false;
        ByteBuffer comment{};
        cmx->redirect = &comment;
        WriteNoteComment(cmx, TextAt(*cmx, latest->offset), latest->length);
        cmx->redirect = nullptr;
        if (!cmx->failed && !Insert(Target(cmx), latest->position, comment)) {
            cmx->failed = true;
        }
        BufferRelease(&comment);
    }
}

// The comment of a held event for what its transition says beyond a cut or a dissolve: its
// words, from the line (the type text is at most a piece long). Returns true when it wrote one.
bool WriteTransitionComment(CmxExport* cmx, const EventLine& line, const EventRecord& record,
                            int dissolveFrames) {
    const uint8_t* typeText = SpanBytes(line, record.typeText);
    char comment[COMMENT_LINE_SIZE];
    size_t at = 0;
    switch (record.transition) {
        case TRANSITION_NONE:
            return false;
        case TRANSITION_CUT:
            // A cut is a cut; a word after the "C" ("C -12") is kept in a comment.
            if (record.typeText.length == 0 || SpanIs(line, record.typeText, "C")) {
                return false;
            }
            at = PutText(comment, 0, MARK_TRANSITION);
            at = PutWords(comment, at, typeText, record.typeText.length);
            break;
        case TRANSITION_DISSOLVE:
            if (dissolveFrames > 0) {
                return false;
            }
            at = PutText(comment, 0, MARK_TRANSITION);
            at = PutWords(comment, at, typeText, record.typeText.length);
            break;
        case TRANSITION_WIPE:
            // A BVE wipe number is a pattern of the switcher, not a SMPTE wipe code.
            at = PutText(comment, 0, MARK_WIPE);
            for (LineSpan word : record.typeWords) {
                if (word.length > 0) {
                    comment[at++] = ' ';
                    at = PutWords(comment, at, SpanBytes(line, word), word.length);
                }
            }
            break;
        case TRANSITION_KEY:
            at = PutText(comment, 0, MARK_KEY);
            at = PutWords(comment, at, typeText, record.typeText.length);
            break;
        case TRANSITION_OTHER:
            at = PutText(comment, 0, MARK_TRANSITION);
            if (record.typeText.length > 0) {
                at = PutWords(comment, at, typeText, record.typeText.length);
            } else {
                comment[at++] = static_cast<char>(line.bytes[record.typeLetter]);
            }
            break;
    }
    at = PutText(comment, at, "\r\n");
    Append(cmx, comment, at);
    return true;
}

// Where a dissolve comes from: the latest shot on one of its channels; for a dissolve without
// channels, the latest shot of all. Without one it comes from black.
const CmxShot& OutgoingShot(const CmxExport& cmx, uint8_t channels) {
    if (channels == 0) {
        return cmx.lastShot;
    }
    const CmxShot* latest = &NO_SHOT;
    for (int k = 0; k < CMX_SHOT_CHANNELS; ++k) {
        const CmxShot& shot = cmx.shots[k];
        if ((channels & (1u << k)) != 0 && shot.present && shot.order > latest->order) {
            latest = &shot;
        }
    }
    return *latest;
}

void RememberShot(CmxExport* cmx, const char* reel, uint8_t channels,
                  const CmxTimecode& sourceOut) {
    CmxShot shot{true, ++cmx->shotsWritten, {}, sourceOut};
    std::memcpy(shot.reel, reel, CMX_REEL_NAME_SIZE);
    for (int k = 0; k < CMX_SHOT_CHANNELS; ++k) {
        if ((channels & (1u << k)) != 0) {
            cmx->shots[k] = shot;
        }
    }
    cmx->lastShot = shot;
}

// A held event: renumbered; a dissolve as two lines under one number (a zero-length line of
// the outgoing shot at the dissolve's record in, then the dissolve); the speed line; then the
// comments of what CMX cannot say.
void WriteHeldEvent(CmxExport* cmx, const EventLine& line, const EventRecord& record,
                    const CmxTimecode* timecodes) {
    char reel[CMX_REEL_NAME_SIZE];
    ReelName(cmx, line, record, reel);
    int dissolveFrames = DissolveFrames(line, record);

    ++cmx->eventNumber;
    ++cmx->report->eventsWritten;
    if (dissolveFrames > 0) {
        const CmxShot& outgoing = OutgoingShot(*cmx, record.channels);
        CmxTimecode sourcePoint = outgoing.present ? outgoing.sourceOut : CmxTimecode{};
        WriteEventLine(cmx, outgoing.present ? outgoing.reel : CMX_BLACK_REEL, record.channels, 0,
                       sourcePoint, sourcePoint, timecodes[2], timecodes[2]);
        ++cmx->report->dissolvesSplit;
    }
    WriteEventLine(cmx, reel, record.channels, dissolveFrames, timecodes[0], timecodes[1],
                   timecodes[2], timecodes[3]);
    if (record.speed[0] != 0) {
        WriteSpeedLine(cmx, reel, record.speed, timecodes[0]);
    }
    WriteSpeedLineTaken(cmx, record);

    uint32_t bveNumber = BveNumber(line.bytes, line.length);
    if (bveNumber != cmx->eventNumber) {
        // "* BVE EVENT 0012", made whole and appended at once.
        char comment[CMX_LINE_SIZE];
        size_t digits = record.number.length < 4 ? 4 : record.number.length;
        size_t end = PutNumber(comment, PutText(comment, 0, MARK_EVENT), bveNumber, digits);
        end = PutText(comment, end, "\r\n");
        Append(cmx, comment, end);
    }
    bool kept = WriteTransitionComment(cmx, line, record, dissolveFrames);
    if (record.marksUnmapped) {
        WriteComment(cmx, MARK_MARKS, SpanBytes(line, record.marks), record.marks.length);
        kept = true;
    }
    if (kept) {
        ReportKeptAsComment(cmx->report, bveNumber);
    }
    RememberShot(cmx, reel, record.channels, timecodes[1]);
}

// An event line the export cannot hold as an event: its text as a comment.
void WriteLineKept(CmxExport* cmx, const uint8_t* text, size_t length) {
    WriteComment(cmx, MARK_LINE, text, length);
    ReportKeptAsComment(cmx->report, BveNumber(text, length));
}

}  // namespace

bool IsCmxFrameRate(int framesPerSecond) {
    return framesPerSecond == 24 || framesPerSecond == 25 || framesPerSecond == 30;
}

bool StartCmxExport(CmxExport* cmx, const CmxExportOptions& options, const LineStream& rewrite,
                    const HeaderFields& header, const char* fileNameText, ByteBuffer* out,
                    CmxReport* report) {
    *cmx = CmxExport{};
    *report = CmxReport{};
    cmx->rewrite = rewrite;
    cmx->header = &header;
    cmx->fileNameText = fileNameText;
    cmx->framesPerSecond = IsCmxFrameRate(options.framesPerSecond) ? options.framesPerSecond
                                                                   : CMX_DEFAULT_FRAMES_PER_SECOND;
    cmx->dropFrame = options.dropFrame && cmx->framesPerSecond == 30;
    cmx->deleteInternalData = options.deleteInternalData;
    cmx->out = out;
    cmx->report = report;
    // Room for twice the list, as for the repaired text: the export of a list rich in events
    // is about one and a half times as long (a dissolve takes two lines, a renumbered event a
    // comment). Made once, so that the text is not moved as it grows; pages never written
    // cost nothing.
    size_t listLength = rewrite.data.length;
    size_t room = listLength > SIZE_MAX / 4 ? SIZE_MAX / 2 : 2 * listLength;
    if (!BufferReserve(out, out->length + room + 1024)) {
        return false;
    }
    const uint8_t* title;
    size_t titleLength;
    ListTitle(header, &title, &titleLength);
    cmx->redirect = out;
    WriteHeader(cmx, title, titleLength);
    cmx->redirect = nullptr;
    return !cmx->failed;
}

bool ExportCmxEvent(CmxExport* cmx, size_t offset, size_t length, const EventRecord& record,
                    int dmRecordsHeld) {
    const EventLine line{TextAt(*cmx, offset), length};
    CmxTimecode timecodes[4];
    if (HeldTimecodes(*cmx, line, record, timecodes)) {
        bool first = !cmx->eventWritten;
        cmx->eventWritten = true;
        WriteHeldEvent(cmx, line, record, timecodes);
        if (first) {
            FollowFirstEvent(cmx);
        }
    } else {
        WriteLineKept(cmx, line.bytes, line.length);
        WriteSpeedLineTaken(cmx, record);
    }
    if (dmRecordsHeld == 0) {
        PlaceWaitingSpeedLines(cmx);
    }
    return !cmx->failed;
}

bool ExportCmxNote(CmxExport* cmx, size_t offset, size_t length, int dmRecordMade) {
    if (dmRecordMade >= 0 && dmRecordMade < MAX_DM_RECORDS) {
        // Whether an event takes its speed is known only later.
        CmxSpeedLine& line = cmx->speedLines[dmRecordMade];
        if (line.waiting) {
            PlaceWaitingSpeedLines(cmx);
        }
        line = CmxSpeedLine{true, offset, length, Target(cmx)->length};
    } else {
        WriteNoteComment(cmx, TextAt(*cmx, offset), length);
    }
    return !cmx->failed;
}

bool ExportCmxInternalData(CmxExport* cmx, size_t offset, size_t length) {
    if (!cmx->deleteInternalData) {
        WriteComment(cmx, MARK_DATA, TextAt(*cmx, offset), length);
    }
    return !cmx->failed;
}

bool ExportCmxDroppedEvent(CmxExport* cmx, size_t offset, size_t length) {
    WriteLineKept(cmx, TextAt(*cmx, offset), length);
    return !cmx->failed;
}

bool FinishCmxExport(CmxExport* cmx) {
    PlaceWaitingSpeedLines(cmx);
    if (!cmx->eventWritten) {
        // No event to follow: the header's comments and every line kept come after the header.
        cmx->eventWritten = true;
        FollowFirstEvent(cmx);
    }
    ByteBuffer table{};
    cmx->redirect = &table;
    WriteReelTable(cmx);
    cmx->redirect = nullptr;
    if (!cmx->failed && !Insert(cmx->out, cmx->tablePosition, table)) {
        cmx->failed = true;
    }
    BufferRelease(&table);
    cmx->report->reelsRenamed = static_cast<uint32_t>(cmx->reels.reelCount);
    return !cmx->failed;
}

void ReleaseCmxExport(CmxExport* cmx) {
    BufferRelease(&cmx->beforeFirst);
    ReleaseCmxReelTable(&cmx->reels);
}
