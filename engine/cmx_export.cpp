#include "cmx_export.h"

#include <cstring>
#include <initializer_list>

#include "cmx_reels.h"

namespace {

// An event line of the export: number, reel in 8, channels in 4, transition in 4, duration in
// 3 and four timecodes, 76 bytes for a three-digit number; room for any number.
constexpr size_t CMX_LINE_SIZE = 128;
constexpr size_t TIMECODE_LENGTH = 11;  // "01:00:00:00"
constexpr size_t CHANNELS_WIDTH = 4;
constexpr size_t TRANSITION_WIDTH = 4;
constexpr int LONGEST_DISSOLVE = 999;
constexpr size_t MAX_BVE_DIGITS = 9;

constexpr char HEADER_DROP_FRAME[] = "FCM: DROP FRAME";
constexpr char HEADER_NON_DROP_FRAME[] = "FCM: NON-DROP FRAME";
constexpr char UNTITLED[] = "UNTITLED";

// Markers of what the export keeps as comments, all under one prefix that can be searched for.
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

// The channel field by video (1), audio 1 (2) and audio 2 (4).
const char* const CHANNEL_TEXTS[] = {"NONE", "V", "A", "B", "A2", "A2/V", "AA", "AA/V"};

struct Timecode {
    int hours;
    int minutes;
    int seconds;
    int frames;
};

// The last shot written on a channel: where a dissolve on that channel comes from.
struct Shot {
    bool present;
    uint64_t order;
    char reel[CMX_REEL_NAME_SIZE];
    Timecode sourceOut;
};

constexpr int SHOT_CHANNELS = 5;

struct CmxWriter {
    const CmxSource* source;
    int framesPerSecond;
    bool dropFrame;
    bool deleteInternalData;
    ByteBuffer* out;
    CmxReport* report;
    CmxReelTable reels;
    uint32_t eventNumber;  // the last number written
    uint64_t shotsWritten;
    Shot shots[SHOT_CHANNELS];
    Shot lastShot;
    Shot noShot;  // never present
    bool failed;  // memory ran out
};

void Append(CmxWriter* writer, const void* bytes, size_t count) {
    if (!writer->failed && !BufferAppend(writer->out, bytes, count)) {
        writer->failed = true;
    }
}

void AppendText(CmxWriter* writer, const char* text) {
    Append(writer, text, std::strlen(text));
}

void EndLine(CmxWriter* writer) {
    Append(writer, "\r\n", 2);
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
void AppendCommentText(CmxWriter* writer, const uint8_t* text, size_t length) {
    size_t start = 0;
    for (size_t k = 0; k < length; ++k) {
        if (IsControl(text[k])) {
            Append(writer, text + start, k - start);
            Append(writer, " ", 1);
            start = k + 1;
        }
    }
    Append(writer, text + start, length - start);
}

// "<marker><text>" as a comment line, the text trimmed.
void WriteComment(CmxWriter* writer, const char* marker, const uint8_t* text, size_t length) {
    Trim(&text, &length);
    AppendText(writer, marker);
    AppendCommentText(writer, text, length);
    EndLine(writer);
}

// The words of the text with one blank between them: "KB   002" as "KB 002".
void AppendWords(CmxWriter* writer, const uint8_t* text, size_t length) {
    Trim(&text, &length);
    for (size_t k = 0; k < length; ++k) {
        bool blank = text[k] == ' ' || IsControl(text[k]);
        if (!blank) {
            Append(writer, text + k, 1);
        } else if (text[k - 1] != ' ' && !IsControl(text[k - 1])) {
            Append(writer, " ", 1);
        }
    }
}

// A note of the list: "* " before it unless it has one already. A note whose first word
// OpenTimelineIO would read as a command goes under "* BVE NOTE: " instead; a blank note
// carries nothing and is left out.
void WriteNoteComment(CmxWriter* writer, const uint8_t* text, size_t length) {
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
            WriteComment(writer, MARK_NOTE, text, length);
            return;
        }
    }
    WriteComment(writer, starred ? "" : "* ", text, length);
}

const uint8_t* LineBytes(const CmxWriter& writer, const CmxLine& line) {
    return writer.source->text + line.offset;
}

EventLine LineOf(const CmxWriter& writer, const CmxLine& line) {
    return EventLine{LineBytes(writer, line), line.length};
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

int DigitValue(const uint8_t* text, size_t at) {
    return text[at] - '0';
}

bool IsDigitAt(const uint8_t* text, size_t at) {
    return IsDigit(text[at]);
}

// "HH:MM:SS:FF" with ":", ";", "." or "," between the pairs, each pair in its range at the
// rate; at drop frame, a label that drop-frame counting skips is no timecode.
bool ParseTimecode(const CmxWriter& writer, const EventLine& line, LineSpan span,
                   Timecode* timecode) {
    if (span.length != TIMECODE_LENGTH) {
        return false;
    }
    const uint8_t* text = SpanBytes(line, span);
    for (size_t pair = 0; pair < 4; ++pair) {
        size_t at = pair * 3;
        if (!IsDigitAt(text, at) || !IsDigitAt(text, at + 1)) {
            return false;
        }
        if (pair < 3) {
            uint8_t separator = text[at + 2];
            if (separator != ':' && separator != ';' && separator != '.' && separator != ',') {
                return false;
            }
        }
    }
    timecode->hours = DigitValue(text, 0) * 10 + DigitValue(text, 1);
    timecode->minutes = DigitValue(text, 3) * 10 + DigitValue(text, 4);
    timecode->seconds = DigitValue(text, 6) * 10 + DigitValue(text, 7);
    timecode->frames = DigitValue(text, 9) * 10 + DigitValue(text, 10);
    if (timecode->hours >= 24 || timecode->minutes >= 60 || timecode->seconds >= 60 ||
        timecode->frames >= writer.framesPerSecond) {
        return false;
    }
    return !(writer.dropFrame && timecode->seconds == 0 && timecode->frames < 2 &&
             timecode->minutes % 10 != 0);
}

bool Before(const Timecode& a, const Timecode& b) {
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
bool HeldTimecodes(const CmxWriter& writer, const CmxLine& line, Timecode* timecodes) {
    EventLine bytes = LineOf(writer, line);
    for (int k = 0; k < 4; ++k) {
        if (!ParseTimecode(writer, bytes, line.event.timecodes[k], &timecodes[k])) {
            return false;
        }
    }
    return !Before(timecodes[3], timecodes[2]);
}

bool IsHeldEvent(const CmxWriter& writer, const CmxLine& line) {
    Timecode timecodes[4];
    return line.kind == CMX_LINE_EVENT && HeldTimecodes(writer, line, timecodes);
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

size_t PutTimecode(char* line, size_t at, const Timecode& timecode) {
    at = PutNumber(line, at, static_cast<uint32_t>(timecode.hours), 2);
    line[at++] = ':';
    at = PutNumber(line, at, static_cast<uint32_t>(timecode.minutes), 2);
    line[at++] = ':';
    at = PutNumber(line, at, static_cast<uint32_t>(timecode.seconds), 2);
    line[at++] = ':';
    return PutNumber(line, at, static_cast<uint32_t>(timecode.frames), 2);
}

// "001  REEL     V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00": nothing after
// the last timecode, which some parsers would take for part of it.
void WriteEventLine(CmxWriter* writer, const char* reel, uint8_t channels, int dissolveFrames,
                    const Timecode& sourceIn, const Timecode& sourceOut, const Timecode& recordIn,
                    const Timecode& recordOut) {
    char line[CMX_LINE_SIZE];
    size_t at = PutNumber(line, 0, writer->eventNumber, 3);
    at = PutText(line, at, "  ");
    at = PutPadded(line, at, reel, CMX_REEL_WIDTH);
    at = PutText(line, at, " ");
    size_t channelIndex = ((channels & CHANNEL_V) != 0 ? 1u : 0u) |
                          ((channels & CHANNEL_A1) != 0 ? 2u : 0u) |
                          ((channels & CHANNEL_A2) != 0 ? 4u : 0u);
    at = PutPadded(line, at, CHANNEL_TEXTS[channelIndex], CHANNELS_WIDTH);
    at = PutText(line, at, "  ");
    at = PutPadded(line, at, dissolveFrames > 0 ? "D" : "C", TRANSITION_WIDTH);
    at = PutText(line, at, " ");
    if (dissolveFrames > 0) {
        at = PutNumber(line, at, static_cast<uint32_t>(dissolveFrames), 3);
    } else {
        at = PutText(line, at, "   ");
    }
    const Timecode* timecodes[] = {&sourceIn, &sourceOut, &recordIn, &recordOut};
    for (const Timecode* timecode : timecodes) {
        line[at++] = ' ';
        at = PutTimecode(line, at, *timecode);
    }
    Append(writer, line, at);
    EndLine(writer);
    // Audio 3 and 4 go right under the event line, the only place every parser looks for them.
    auto extra = static_cast<uint8_t>(channels & (CHANNEL_A3 | CHANNEL_A4));
    if (extra != 0) {
        AppendText(writer, extra == CHANNEL_A3   ? "AUD  3"
                           : extra == CHANNEL_A4 ? "AUD       4"
                                                 : "AUD  3    4");
        EndLine(writer);
    }
}

// "M2   REEL          015.0                10:10:05:00": the speed in frames per second, the
// rate times the percentage of the speed mark, one decimal, a sign when it runs backwards.
void WriteSpeedLine(CmxWriter* writer, const char* reel, const char* speedMark,
                    const Timecode& sourceIn) {
    int percent = (speedMark[1] - '0') * 100 + (speedMark[2] - '0') * 10 + (speedMark[3] - '0');
    int tenths = (writer->framesPerSecond * percent + 5) / 10;
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
    Append(writer, line, at);
    EndLine(writer);
}

// --- Reels ----------------------------------------------------------------------------------

void CopyName(char* name, const uint8_t* text, size_t length) {
    std::memcpy(name, text, length);
    name[length] = 0;
}

// The event's reel as the export writes it.
void ReelName(const CmxWriter& writer, const EventLine& line, const EventRecord& record,
              char* name) {
    const uint8_t* word = SpanBytes(line, record.reel);
    switch (ClassifyCmxReel(word, record.reel.length)) {
        case CMX_REEL_KEPT:
            CopyName(name, word, record.reel.length);
            break;
        case CMX_REEL_BLACK:
            std::memcpy(name, CMX_BLACK_REEL, sizeof CMX_BLACK_REEL);
            break;
        case CMX_REEL_EMPTY:
            std::memcpy(name, CMX_NO_REEL, sizeof CMX_NO_REEL);
            break;
        case CMX_REEL_RENAMED: {
            uint32_t index = FindRenamedCmxReel(writer.reels, word, record.reel.length);
            std::memcpy(name, writer.reels.reels[index].name, CMX_REEL_NAME_SIZE);
            break;
        }
    }
}

// The reel table, made only when some reel needs a new name: first every reel kept as it is,
// then the new names in the order their words first appear.
bool BuildReelTable(CmxWriter* writer) {
    size_t held = 0;
    bool renaming = false;
    for (size_t k = 0; k < writer->source->lineCount; ++k) {
        const CmxLine& line = writer->source->lines[k];
        if (IsHeldEvent(*writer, line)) {
            ++held;
            const EventLine bytes = LineOf(*writer, line);
            renaming = renaming || ClassifyCmxReel(SpanBytes(bytes, line.event.reel),
                                                   line.event.reel.length) == CMX_REEL_RENAMED;
        }
    }
    if (!renaming) {
        return true;
    }
    if (!StartCmxReelTable(&writer->reels, held)) {
        return false;
    }
    for (CmxReelKind pass : {CMX_REEL_KEPT, CMX_REEL_RENAMED}) {
        for (size_t k = 0; k < writer->source->lineCount; ++k) {
            const CmxLine& line = writer->source->lines[k];
            if (!IsHeldEvent(*writer, line)) {
                continue;
            }
            const EventLine bytes = LineOf(*writer, line);
            const uint8_t* word = SpanBytes(bytes, line.event.reel);
            if (ClassifyCmxReel(word, line.event.reel.length) != pass) {
                continue;
            }
            if (pass == CMX_REEL_KEPT) {
                ReserveCmxReel(&writer->reels, word, line.event.reel.length);
            } else {
                RenameCmxReel(&writer->reels, word, line.event.reel.length);
            }
        }
    }
    writer->report->reelsRenamed = static_cast<uint32_t>(writer->reels.reelCount);
    return true;
}

void WriteReelTable(CmxWriter* writer) {
    for (size_t k = 0; k < writer->reels.reelCount; ++k) {
        const CmxRenamedReel& reel = writer->reels.reels[k];
        AppendText(writer, MARK_REEL);
        AppendText(writer, reel.name);
        AppendText(writer, " = ");
        AppendCommentText(writer, reel.original, reel.originalLength);
        EndLine(writer);
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
void WriteHeader(CmxWriter* writer, const uint8_t* title, size_t titleLength) {
    AppendText(writer, "TITLE: ");
    if (IsAsciiTitle(title, titleLength)) {
        Append(writer, title, titleLength);
    } else {
        const auto* name = reinterpret_cast<const uint8_t*>(writer->source->fileNameText);
        size_t nameLength = std::strlen(writer->source->fileNameText);
        Trim(&name, &nameLength);
        if (nameLength == 0) {
            AppendText(writer, UNTITLED);
        }
        for (size_t k = 0; k < nameLength; ++k) {
            Append(writer,
                   IsPrintableAscii(name[k]) ? name + k : reinterpret_cast<const uint8_t*>("?"), 1);
        }
    }
    EndLine(writer);
    AppendText(writer, writer->dropFrame ? HEADER_DROP_FRAME : HEADER_NON_DROP_FRAME);
    EndLine(writer);
    EndLine(writer);
}

// What the header says beyond the title, as comments after the first event: a title that
// could not go on the TITLE line, the master recorder's reel, the block, and the reel table.
void WriteHeaderComments(CmxWriter* writer, const uint8_t* title, size_t titleLength) {
    if (titleLength > 0 && !IsAsciiTitle(title, titleLength)) {
        WriteComment(writer, MARK_TITLE, title, titleLength);
    }
    const HeaderFields& header = *writer->source->header;
    for (const char* text : {header.reelLine, header.blockLine}) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(text);
        size_t length = std::strlen(text);
        Trim(&bytes, &length);
        if (length > 0) {
            WriteComment(writer, "* ", bytes, length);
        }
    }
    WriteReelTable(writer);
}

// --- Lines ----------------------------------------------------------------------------------

void WriteSpeedLineComment(CmxWriter* writer, const CmxLine& line) {
    if (line.speedLine != NO_CMX_LINE) {
        const CmxLine& note = writer->source->lines[line.speedLine];
        WriteNoteComment(writer, LineBytes(*writer, note), note.length);
    }
}

// An event line the export cannot hold as an event: its text as a comment.
void WriteLineKept(CmxWriter* writer, const CmxLine& line) {
    WriteComment(writer, MARK_LINE, LineBytes(*writer, line), line.length);
    ReportKeptAsComment(writer->report, BveNumber(LineBytes(*writer, line), line.length));
}

// The comments of a held event for what its transition says beyond a cut or a dissolve.
// Returns true when it wrote one.
bool WriteTransitionComment(CmxWriter* writer, const EventLine& line, const EventRecord& record,
                            int dissolveFrames) {
    const uint8_t* typeText = SpanBytes(line, record.typeText);
    switch (record.transition) {
        case TRANSITION_NONE:
            return false;
        case TRANSITION_CUT:
            // A cut is a cut; a word after the "C" ("C -12") is kept in a comment.
            if (record.typeText.length == 0 || SpanIs(line, record.typeText, "C")) {
                return false;
            }
            break;
        case TRANSITION_DISSOLVE:
            if (dissolveFrames > 0) {
                return false;
            }
            break;
        case TRANSITION_WIPE:
            // A BVE wipe number is a pattern of the switcher, not a SMPTE wipe code.
            AppendText(writer, MARK_WIPE);
            for (LineSpan word : record.typeWords) {
                if (word.length > 0) {
                    AppendText(writer, " ");
                    AppendCommentText(writer, SpanBytes(line, word), word.length);
                }
            }
            EndLine(writer);
            return true;
        case TRANSITION_KEY:
            AppendText(writer, MARK_KEY);
            AppendWords(writer, typeText, record.typeText.length);
            EndLine(writer);
            return true;
        case TRANSITION_OTHER:
            break;
    }
    AppendText(writer, MARK_TRANSITION);
    if (record.typeText.length > 0) {
        AppendWords(writer, typeText, record.typeText.length);
    } else {
        Append(writer, line.bytes + record.typeLetter, 1);
    }
    EndLine(writer);
    return true;
}

// Where a dissolve comes from: the latest shot on one of its channels; for a dissolve without
// channels, the latest shot of all. Without one it comes from black.
const Shot& OutgoingShot(const CmxWriter& writer, uint8_t channels) {
    if (channels == 0) {
        return writer.lastShot;
    }
    const Shot* latest = &writer.noShot;
    for (int k = 0; k < SHOT_CHANNELS; ++k) {
        const Shot& shot = writer.shots[k];
        if ((channels & (1u << k)) != 0 && shot.present && shot.order > latest->order) {
            latest = &shot;
        }
    }
    return *latest;
}

void RememberShot(CmxWriter* writer, const char* reel, uint8_t channels,
                  const Timecode& sourceOut) {
    Shot shot{true, ++writer->shotsWritten, {}, sourceOut};
    std::memcpy(shot.reel, reel, CMX_REEL_NAME_SIZE);
    for (int k = 0; k < SHOT_CHANNELS; ++k) {
        if ((channels & (1u << k)) != 0) {
            writer->shots[k] = shot;
        }
    }
    writer->lastShot = shot;
}

// A held event: renumbered; a dissolve as two lines under one number (a zero-length line of
// the outgoing shot at the dissolve's record in, then the dissolve); the speed line; then the
// comments of what CMX cannot say.
void WriteHeldEvent(CmxWriter* writer, const CmxLine& cmxLine, const Timecode* timecodes) {
    const EventLine line = LineOf(*writer, cmxLine);
    const EventRecord& record = cmxLine.event;
    char reel[CMX_REEL_NAME_SIZE];
    ReelName(*writer, line, record, reel);
    int dissolveFrames = DissolveFrames(line, record);

    ++writer->eventNumber;
    ++writer->report->eventsWritten;
    if (dissolveFrames > 0) {
        const Shot& outgoing = OutgoingShot(*writer, record.channels);
        Timecode sourcePoint = outgoing.present ? outgoing.sourceOut : Timecode{};
        WriteEventLine(writer, outgoing.present ? outgoing.reel : CMX_BLACK_REEL, record.channels,
                       0, sourcePoint, sourcePoint, timecodes[2], timecodes[2]);
        ++writer->report->dissolvesSplit;
    }
    WriteEventLine(writer, reel, record.channels, dissolveFrames, timecodes[0], timecodes[1],
                   timecodes[2], timecodes[3]);
    if (record.speed[0] != 0) {
        WriteSpeedLine(writer, reel, record.speed, timecodes[0]);
    }
    WriteSpeedLineComment(writer, cmxLine);

    uint32_t bveNumber = BveNumber(line.bytes, line.length);
    if (bveNumber != writer->eventNumber) {
        char number[CMX_LINE_SIZE];
        size_t digits = record.number.length < 4 ? 4 : record.number.length;
        size_t end = PutNumber(number, 0, bveNumber, digits);
        AppendText(writer, MARK_EVENT);
        Append(writer, number, end);
        EndLine(writer);
    }
    bool kept = WriteTransitionComment(writer, line, record, dissolveFrames);
    if (record.marksUnmapped) {
        WriteComment(writer, MARK_MARKS, SpanBytes(line, record.marks), record.marks.length);
        kept = true;
    }
    if (kept) {
        ReportKeptAsComment(writer->report, bveNumber);
    }
    RememberShot(writer, reel, record.channels, timecodes[1]);
}

void WriteListLine(CmxWriter* writer, const CmxLine& line) {
    switch (line.kind) {
        case CMX_LINE_EVENT: {
            Timecode timecodes[4];
            if (HeldTimecodes(*writer, line, timecodes)) {
                WriteHeldEvent(writer, line, timecodes);
            } else {
                WriteLineKept(writer, line);
                WriteSpeedLineComment(writer, line);
            }
            break;
        }
        case CMX_LINE_NOTE:
            // A DM speed line goes after the event it gave its speed to.
            if (!line.givesSpeed) {
                WriteNoteComment(writer, LineBytes(*writer, line), line.length);
            }
            break;
        case CMX_LINE_INTERNAL_DATA:
            if (!writer->deleteInternalData) {
                WriteComment(writer, MARK_DATA, LineBytes(*writer, line), line.length);
            }
            break;
        case CMX_LINE_MALFORMED_EVENT:
            WriteLineKept(writer, line);
            break;
    }
}

}  // namespace

bool IsCmxFrameRate(int framesPerSecond) {
    return framesPerSecond == 24 || framesPerSecond == 25 || framesPerSecond == 30;
}

void StartCmxLines(CmxLines* lines) {
    lines->lines = ByteBuffer{};
    for (uint32_t& line : lines->dmRecordLines) {
        line = NO_CMX_LINE;
    }
}

void ReleaseCmxLines(CmxLines* lines) {
    BufferRelease(&lines->lines);
}

bool CollectCmxEvent(CmxLines* lines, size_t offset, size_t length, const EventRecord& record) {
    CmxLine line{};
    line.offset = offset;
    line.length = static_cast<uint16_t>(length);
    line.kind = CMX_LINE_EVENT;
    line.speedLine = NO_CMX_LINE;
    line.event = record;
    if (record.dmRecord >= 0) {
        uint32_t speedLine = lines->dmRecordLines[record.dmRecord];
        if (speedLine != NO_CMX_LINE) {
            reinterpret_cast<CmxLine*>(lines->lines.bytes)[speedLine].givesSpeed = true;
            line.speedLine = speedLine;
            lines->dmRecordLines[record.dmRecord] = NO_CMX_LINE;
        }
    }
    return BufferAppend(&lines->lines, &line, sizeof line);
}

bool CollectCmxLine(CmxLines* lines, CmxLineKind kind, size_t offset, size_t length) {
    CmxLine line{};
    line.offset = offset;
    line.length = static_cast<uint16_t>(length);
    line.kind = kind;
    line.speedLine = NO_CMX_LINE;
    return BufferAppend(&lines->lines, &line, sizeof line);
}

void NoteCmxDmRecord(CmxLines* lines, int recordIndex) {
    size_t count = lines->lines.length / sizeof(CmxLine);
    if (count > 0 && recordIndex >= 0 && recordIndex < MAX_DM_RECORDS) {
        lines->dmRecordLines[recordIndex] = static_cast<uint32_t>(count - 1);
    }
}

bool WriteCmxExport(const CmxSource& source, const CmxExportOptions& options, ByteBuffer* out,
                    CmxReport* report) {
    *report = CmxReport{};
    CmxWriter writer{};
    writer.source = &source;
    writer.framesPerSecond = IsCmxFrameRate(options.framesPerSecond)
                                 ? options.framesPerSecond
                                 : CMX_DEFAULT_FRAMES_PER_SECOND;
    writer.dropFrame = options.dropFrame && writer.framesPerSecond == 30;
    writer.deleteInternalData = options.deleteInternalData;
    writer.out = out;
    writer.report = report;
    // About as long as the list itself; it grows when it must.
    if (!BufferReserve(out, out->length + source.lineCount * 16 + 1024) ||
        !BuildReelTable(&writer)) {
        ReleaseCmxReelTable(&writer.reels);
        return false;
    }

    const uint8_t* title;
    size_t titleLength;
    ListTitle(*source.header, &title, &titleLength);
    WriteHeader(&writer, title, titleLength);

    // Nothing stands before the first event: what comes before it follows it.
    size_t first = 0;
    while (first < source.lineCount && !IsHeldEvent(writer, source.lines[first])) {
        ++first;
    }
    if (first < source.lineCount) {
        WriteListLine(&writer, source.lines[first]);
    }
    WriteHeaderComments(&writer, title, titleLength);
    for (size_t k = 0; k < source.lineCount; ++k) {
        if (k != first) {
            WriteListLine(&writer, source.lines[k]);
        }
    }
    ReleaseCmxReelTable(&writer.reels);
    return !writer.failed;
}
