#include "event_line.h"

#include <cstdint>
#include <cstring>

#include "dissolve.h"
#include "dm_speed.h"

namespace {

// Every field of one event line lives in a buffer of this size, NUL-terminated; no write goes
// past FIELD_LAST, which keeps room for the terminator whatever the line holds.
constexpr size_t FIELD_SIZE = 260;
constexpr size_t FIELD_LAST = FIELD_SIZE - 1;

constexpr size_t EVENT_NUMBER_WIDTH = 4;
constexpr size_t REEL_WIDTH = 6;
constexpr size_t MODE_WIDTH = 5;
constexpr size_t TYPE_WIDTH = 14;
constexpr size_t TIMECODE_WIDTH = 47;  // four 11-character timecodes and three blanks
constexpr size_t REMAINDER_WIDTH = 53;
constexpr size_t D_WORD_LENGTH = 6;
constexpr size_t AUDIO_SLOT_WIDTH = 4;

// Offsets within the type field.
constexpr size_t C_WORD_OFFSET = 7;
constexpr size_t D_WORD_IN_TYPE_OFFSET = 8;
constexpr size_t KB_WORD_OFFSET = 4;
constexpr size_t KI_FIRST_WORD_OFFSET = 3;
constexpr size_t KI_SECOND_WORD_OFFSET = 8;
constexpr size_t WIPE_NUMBER_OFFSET = 3;
constexpr size_t WIPE_NUMBER_LENGTH = 4;
constexpr size_t WIPE_DURATION_OFFSET = 7;

// Offsets within the remainder field; output columns 85, 94 and 129.
constexpr size_t D_WORD_OFFSET = 6;
constexpr size_t AUDIO_SLOT_OFFSET = 15;
constexpr size_t F_TEXT_OFFSET = 50;
// The last offset the trim keeps: an F-text shows at most four characters.
constexpr size_t REMAINDER_LAST = 53;

// From the byte before the first mark to the line's end, line end included: this many bytes
// or fewer are left unscanned (" A3" at the end of a line without CR LF gives no mark).
constexpr size_t SHORTEST_REMAINDER = 3;

// The rewritten line: six fields of at most FIELD_LAST bytes, their separators and CR LF.
constexpr size_t LINE_BUFFER_SIZE = 6 * FIELD_SIZE + 8;

struct EventFields {
    char eventNumber[FIELD_SIZE];
    char reel[FIELD_SIZE];
    char mode[FIELD_SIZE];
    char type[FIELD_SIZE];
    char timecode[FIELD_SIZE];
    char remainder[FIELD_SIZE];
    char dWord[FIELD_SIZE];
    char audioSlot[FIELD_SIZE];
    char fText[FIELD_SIZE];
};

// The piece as the rules read it. Bytes are signed 8-bit values, so 0x80..0xFF (Shift-JIS
// bytes among them) are blanks and low bytes. Positions at or past the piece's end read as
// NUL, whatever an earlier, longer piece left in the buffer.
struct EventLine {
    const uint8_t* bytes;
    size_t length;
};

int ByteAt(const EventLine& line, size_t at) {
    return at < line.length ? static_cast<int8_t>(line.bytes[at]) : 0;
}

bool IsBlank(int byte) {
    return byte <= 0x20;
}

bool IsLow(int byte) {
    return byte < '0';
}

bool IsTimecodeByte(int byte) {
    return byte >= ',' && byte <= ';';
}

bool EndsWord(int byte) {
    return byte == ' ' || byte == '\r' || byte == '\n';
}

size_t SkipSpaces(const EventLine& line, size_t at) {
    while (at < line.length && ByteAt(line, at) == ' ') {
        ++at;
    }
    return at;
}

// Never past the line end.
size_t SkipBlanks(const EventLine& line, size_t at) {
    while (at < line.length && IsBlank(ByteAt(line, at))) {
        ++at;
    }
    return at;
}

// NUL is low, so past the piece's end this runs on to the end of the piece buffer; a word
// that starts there is empty.
size_t SkipLow(const EventLine& line, size_t at) {
    while (at < PIECE_BUFFER_SIZE && IsLow(ByteAt(line, at))) {
        ++at;
    }
    return at;
}

// A word ends at a space, a CR, an LF or the piece's end, so it never carries the line end.
size_t WordEnd(const EventLine& line, size_t at) {
    while (at < line.length && !EndsWord(ByteAt(line, at))) {
        ++at;
    }
    return at;
}

bool TextAt(const EventLine& line, size_t at, const char* text) {
    size_t count = std::strlen(text);
    return at + count <= line.length && std::memcmp(line.bytes + at, text, count) == 0;
}

void FillBytes(char* field, size_t count, char byte) {
    std::memset(field, byte, count);
}

// Writes the line's bytes [from, to) at `offset`, without a terminator, never at or past
// `fieldEnd`.
void PutLineBytes(char* field, size_t fieldEnd, size_t offset, const EventLine& line, size_t from,
                  size_t to) {
    for (size_t at = from; at < to && offset < fieldEnd; ++at, ++offset) {
        field[offset] = static_cast<char>(ByteAt(line, at));
    }
}

// Writes `text` up to its NUL at `offset`, without a terminator, never at or past `fieldEnd`.
void PutText(char* field, size_t fieldEnd, size_t offset, const char* text) {
    for (; *text != 0 && offset < fieldEnd; ++text, ++offset) {
        field[offset] = *text;
    }
}

// Writes the word at `start` into the type field; the word stops at `stop`, the first
// timecode position, so that a type without a word takes no timecode characters. Returns the
// word's end in the line.
size_t PutTypeWord(char* type, size_t offset, const EventLine& line, size_t start, size_t stop) {
    size_t end = WordEnd(line, start);
    PutLineBytes(type, TYPE_WIDTH, offset, line, start, end < stop ? end : stop);
    return end;
}

// The leading run of digits, right-aligned and zero-filled in four characters. Returns the
// position after the run.
size_t FillEventNumber(const EventLine& line, char* field) {
    size_t start = SkipSpaces(line, 0);
    size_t end = start;
    while (IsDigit(ByteAt(line, end))) {
        ++end;
    }
    // The line loop passes only runs of 2 to 4 digits.
    size_t count = end - start < EVENT_NUMBER_WIDTH ? end - start : EVENT_NUMBER_WIDTH;
    FillBytes(field, EVENT_NUMBER_WIDTH, '0');
    PutLineBytes(field, EVENT_NUMBER_WIDTH, EVENT_NUMBER_WIDTH - count, line, start, start + count);
    return end;
}

// The reel word, cut to six characters. A pre-read line ("PREREAD" anywhere after the reel
// start) keeps the reel unpadded and starts the mode search at the word's last character;
// otherwise the reel is padded to six and the mode search starts after the word. An empty
// reel word (a CR right after the event number) starts the mode search at the event number's
// last digit, so that nothing after the CR is taken for a mode or a type. Returns the mode
// search start.
size_t FillReel(const EventLine& line, size_t numberEnd, size_t reelStart, char* field) {
    size_t end = WordEnd(line, reelStart);
    size_t kept = end - reelStart < REEL_WIDTH ? end - reelStart : REEL_WIDTH;
    PutLineBytes(field, REEL_WIDTH, 0, line, reelStart, reelStart + kept);
    bool preread = reelStart < line.length &&
                   ContainsText(line.bytes + reelStart, line.length - reelStart, "PREREAD");
    if (!preread) {
        FillBytes(field + kept, REEL_WIDTH - kept, ' ');
    }
    if (end == reelStart) {
        return numberEnd > 0 ? numberEnd - 1 : 0;
    }
    return preread ? end - 1 : end;
}

// Where the first timecode begins: the start of the word that holds the second colon from
// `from` on. The step back starts at the byte after that colon, so a blank there puts the
// position one past it. With fewer than two colons, the line's length.
size_t FindFirstTimecode(const EventLine& line, size_t from) {
    int colons = 0;
    for (size_t at = from; at < line.length; ++at) {
        if (ByteAt(line, at) != ':' || ++colons < 2) {
            continue;
        }
        size_t back = at + 1;
        while (!IsBlank(ByteAt(line, back))) {
            if (back == 0) {
                return 0;
            }
            --back;
        }
        return back + 1;
    }
    return line.length;
}

// The mode field is a five-byte window of the line, placed by the first "V" or "A" so that
// "V" lands in its first column, "A1" in its second and third, "A2" in its fourth and fifth.
size_t ModeWindowStart(const EventLine& line, size_t letterAt) {
    if (ByteAt(line, letterAt) == 'V' || TextAt(line, letterAt, "ASMBL")) {
        return letterAt;
    }
    int next = ByteAt(line, letterAt + 1);
    size_t back = next == ' ' || next == '1' ? 1 : next == '2' ? 3 : 0;
    return letterAt >= back ? letterAt - back : 0;
}

// Returns the type search start: six bytes after the mode window, or the mode search start
// when the mode area holds no "V" or "A".
size_t FillMode(const EventLine& line, size_t from, size_t firstTimecode, char* field) {
    FillBytes(field, MODE_WIDTH, ' ');
    for (size_t at = from; at <= firstTimecode; ++at) {
        int byte = ByteAt(line, at);
        if (byte == 'V' || byte == 'A') {
            size_t start = ModeWindowStart(line, at);
            PutLineBytes(field, MODE_WIDTH, 0, line, start, start + MODE_WIDTH);
            return start + MODE_WIDTH + 1;
        }
    }
    return from;
}

// "C": a signed word after the letter ("-12") is kept at offset 7; an unsigned one is not,
// because the skip stops on its first digit right after a space. Like every word of the type
// field, it stops at the first timecode: "C00:00:00:00" is a cut, not a word "C00:00:".
void FillCutType(const EventLine& line, size_t letterAt, size_t firstTimecode, char* type) {
    size_t stop = SkipLow(line, letterAt + 1);
    if (ByteAt(line, stop - 1) != ' ') {
        PutTypeWord(type, C_WORD_OFFSET, line, stop - 1, firstTimecode);
    }
}

void FillKeyType(const EventLine& line, size_t letterAt, size_t firstTimecode, char* type) {
    int subLetter = ByteAt(line, letterAt + 1);
    type[1] = static_cast<char>(subLetter);
    if (subLetter == 'B') {
        PutTypeWord(type, KB_WORD_OFFSET, line, SkipLow(line, letterAt + 2), firstTimecode);
    } else if (subLetter == 'I') {
        size_t end = PutTypeWord(type, KI_FIRST_WORD_OFFSET, line, SkipLow(line, letterAt + 2),
                                 firstTimecode);
        PutTypeWord(type, KI_SECOND_WORD_OFFSET, line, SkipLow(line, end), firstTimecode);
    }
}

// "W": the wipe number replaces "0000" only when four digits follow; the duration always
// shows as " 00:00 ".
void FillWipeType(const EventLine& line, size_t letterAt, char* type) {
    PutText(type, TYPE_WIDTH, WIPE_NUMBER_OFFSET, "0000");
    PutText(type, TYPE_WIDTH, WIPE_DURATION_OFFSET, " 00:00 ");
    size_t number = SkipLow(line, letterAt + 1);
    for (size_t k = 0; k < WIPE_NUMBER_LENGTH; ++k) {
        if (!IsDigit(ByteAt(line, number + k))) {
            return;
        }
    }
    PutLineBytes(type, TYPE_WIDTH, WIPE_NUMBER_OFFSET, line, number, number + WIPE_NUMBER_LENGTH);
}

// The transition type: an upper-case letter other than "A" and "V" after the mode area, with
// its sub-fields. A "D" marks the line for the dissolve's effect line.
void FillType(const EventLine& line, size_t from, size_t firstTimecode, char* type,
              LineState* state) {
    FillBytes(type, TYPE_WIDTH, ' ');
    size_t letterAt = SkipBlanks(line, from);
    int letter = ByteAt(line, letterAt);
    if (letter < 'A' || letter > 'Z' || letter == 'A' || letter == 'V') {
        return;
    }
    type[0] = static_cast<char>(letter);
    switch (letter) {
        case 'C':
            FillCutType(line, letterAt, firstTimecode, type);
            break;
        case 'D':
            PutTypeWord(type, D_WORD_IN_TYPE_OFFSET, line, SkipLow(line, letterAt + 1),
                        firstTimecode);
            state->dissolvePending = true;
            break;
        case 'K':
            FillKeyType(line, letterAt, firstTimecode, type);
            break;
        case 'W':
            FillWipeType(line, letterAt, type);
            break;
        default:
            PutLineBytes(type, TYPE_WIDTH, 0, line, letterAt, letterAt + TYPE_WIDTH);
            break;
    }
}

// The four timecodes, each run of "," to ";" bytes followed by one blank. The blank after the
// fourth only while it falls inside the 47 columns, so four 11-character timecodes end flush.
// Returns the position of the first non-blank byte after the fourth timecode.
size_t FillTimecodes(const EventLine& line, size_t firstTimecode, char* field) {
    FillBytes(field, TIMECODE_WIDTH, ' ');
    size_t at = firstTimecode;
    size_t position = 0;
    for (int run = 0; run < 4; ++run) {
        for (; IsTimecodeByte(ByteAt(line, at)); ++at, ++position) {
            if (position < FIELD_LAST) {
                field[position] = static_cast<char>(ByteAt(line, at));
            }
        }
        // Long timecodes push separators past the blank-filled width: write them out, so the
        // field never ends early.
        if (run < 3 && position < FIELD_LAST) {
            field[position] = ' ';
        }
        if (run < 3 || position < TIMECODE_WIDTH) {
            ++position;
        }
        at = SkipBlanks(line, at);
    }
    field[position < FIELD_LAST ? position : FIELD_LAST] = 0;
    return at;
}

// An "A" word: the slot starts as "xxxx" placeholders and takes the word at offset 0, or at
// offset 2 once an "A" of the line has been followed by "4". Returns where the scan goes on.
size_t TakeAudioWord(const EventLine& line, size_t at, bool* afterFour, EventFields* fields) {
    size_t end = at;
    while (!IsLow(ByteAt(line, end))) {
        ++end;
    }
    if (ByteAt(line, at + 1) == '4') {
        *afterFour = true;
    }
    FillBytes(fields->audioSlot, AUDIO_SLOT_WIDTH, 'x');
    PutLineBytes(fields->audioSlot, AUDIO_SLOT_WIDTH, *afterFour ? 2 : 0, line, at, end);
    if (std::strchr(fields->mode, 'A') == nullptr) {
        fields->mode[1] = 'A';
    }
    return end;
}

// The trailing marks after the fourth timecode: the audio word, the D-word and the F-text.
void ScanRemainder(const EventLine& line, size_t firstMark, EventFields* fields) {
    size_t at = firstMark > 0 ? firstMark - 1 : 0;
    if (at >= line.length || line.length - at <= SHORTEST_REMAINDER) {
        return;
    }
    bool afterFour = false;
    while (at < line.length) {
        int byte = ByteAt(line, at);
        if (byte == 'A') {
            at = TakeAudioWord(line, at, &afterFour, fields);
        } else if (byte == 'D') {
            PutLineBytes(fields->dWord, D_WORD_LENGTH, 0, line, at, at + D_WORD_LENGTH);
            at += D_WORD_LENGTH;
        } else if (byte == 'F') {
            size_t end = at;
            while (end < line.length && ByteAt(line, end) != '\r') {
                ++end;
            }
            // A later F-text replaces an earlier one whole.
            std::memset(fields->fText, 0, sizeof fields->fText);
            PutLineBytes(fields->fText, FIELD_LAST, 0, line, at, end);
            at = end;
        } else {
            ++at;
        }
    }
}

void FillRemainder(EventFields* fields) {
    FillBytes(fields->remainder, REMAINDER_WIDTH, ' ');
    PutText(fields->remainder, FIELD_LAST, D_WORD_OFFSET, fields->dWord);
    PutText(fields->remainder, FIELD_LAST, AUDIO_SLOT_OFFSET, fields->audioSlot);
    PutText(fields->remainder, FIELD_LAST, F_TEXT_OFFSET, fields->fText);
}

// Cuts the remainder after offset 53, or earlier at its trailing low bytes, then turns the
// "x" placeholders (and any "x" of the marks) into blanks. Trimming first keeps an audio
// slot four wide even when it ends in placeholders.
void TrimRemainder(char* field) {
    size_t end = REMAINDER_LAST + 1;
    if (IsLow(static_cast<int8_t>(field[REMAINDER_LAST]))) {
        while (end > 0 && IsLow(static_cast<int8_t>(field[end - 1]))) {
            --end;
        }
    }
    field[end] = 0;
    for (size_t k = 0; k < end; ++k) {
        if (field[k] == 'x') {
            field[k] = ' ';
        }
    }
}

void AddToLine(char* line, size_t* length, const char* text) {
    size_t count = std::strlen(text);
    std::memcpy(line + *length, text, count);
    *length += count;
}

// "%s %s %s %s%s%s\r\n": every field is printed up to its first NUL.
size_t FormatEventLine(const EventFields& fields, char* line) {
    size_t length = 0;
    AddToLine(line, &length, fields.eventNumber);
    AddToLine(line, &length, " ");
    AddToLine(line, &length, fields.reel);
    AddToLine(line, &length, " ");
    AddToLine(line, &length, fields.mode);
    AddToLine(line, &length, " ");
    AddToLine(line, &length, fields.type);
    AddToLine(line, &length, fields.timecode);
    AddToLine(line, &length, fields.remainder);
    AddToLine(line, &length, "\r\n");
    return length;
}

}  // namespace

bool RewriteEventLine(const LinePiece& piece, ByteBuffer* text, LineState* state) {
    EventLine line{piece.bytes,
                   piece.length < PIECE_BUFFER_SIZE ? piece.length : PIECE_BUFFER_SIZE};
    EventFields fields{};

    size_t runEnd = FillEventNumber(line, fields.eventNumber);
    size_t reelStart = SkipSpaces(line, runEnd);
    size_t modeSearch = FillReel(line, runEnd, reelStart, fields.reel);
    size_t firstTimecode = FindFirstTimecode(line, modeSearch);
    size_t typeSearch = FillMode(line, modeSearch, firstTimecode, fields.mode);
    FillType(line, typeSearch, firstTimecode, fields.type, state);
    size_t firstMark = FillTimecodes(line, firstTimecode, fields.timecode);
    ScanRemainder(line, firstMark, &fields);
    FillRemainder(&fields);
    ApplyDmSpeed(fields.timecode, fields.remainder, state);
    TrimRemainder(fields.remainder);

    char rewritten[LINE_BUFFER_SIZE];
    size_t length = FormatEventLine(fields, rewritten);
    if (!BufferAppend(text, rewritten, length)) {
        return false;
    }
    if (state->dissolvePending) {
        return InsertDissolveEffect(text, fields.eventNumber, length, state);
    }
    return true;
}
