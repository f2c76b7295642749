#include "event_record.h"

#include <cstring>

namespace {

constexpr size_t FIELD_LAST = TIMECODE_FIELD_SIZE - 1;

// From the byte before the first mark to the line's end, line end included: this many bytes
// or fewer are left unscanned (" A3" at the end of a line without CR LF gives no mark).
constexpr size_t SHORTEST_REMAINDER = 3;

bool IsTimecodeByte(int byte) {
    return byte >= ',' && byte <= ';';
}

bool EndsWord(int byte) {
    return byte == ' ' || byte == '\r' || byte == '\n';
}

// A position within the line; one past its end stands for every position there.
uint8_t Position(const EventLine& line, size_t at) {
    return static_cast<uint8_t>(at < line.length ? at : line.length);
}

// Bytes [from, to) of the line, cut at the line's end; empty when `to` is not past `from`.
LineSpan SpanOf(const EventLine& line, size_t from, size_t to) {
    if (to > line.length) {
        to = line.length;
    }
    return LineSpan{Position(line, from), static_cast<uint8_t>(to > from ? to - from : 0)};
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

// The word at `start` as the type field takes it: up to the next space or line end, and never
// past `stop`, the first timecode position, so that a type without a word takes no timecode
// characters.
LineSpan TypeWord(const EventLine& line, size_t start, size_t stop) {
    size_t end = WordEnd(line, start);
    return SpanOf(line, start, end < stop ? end : stop);
}

// The leading run of digits. Returns the position after the run.
size_t ReadNumber(const EventLine& line, EventRecord* record) {
    size_t start = SkipSpaces(line, 0);
    size_t end = start;
    while (IsDigit(ByteAt(line, end))) {
        ++end;
    }
    record->number = SpanOf(line, start, end);
    return end;
}

// The reel word, whole. A pre-read line ("PREREAD" anywhere after the reel start) starts the
// mode search at the word's last character, any other line after the word. An empty reel word
// (a CR right after the event number) starts the mode search at the event number's last digit,
// so that nothing after the CR is taken for a mode or a type. Returns the mode search start.
size_t ReadReel(const EventLine& line, size_t numberEnd, size_t reelStart, EventRecord* record) {
    size_t end = WordEnd(line, reelStart);
    record->reel = SpanOf(line, reelStart, end);
    record->prereadLine = reelStart < line.length &&
                          ContainsText(line.bytes + reelStart, line.length - reelStart, "PREREAD");
    if (end == reelStart) {
        return numberEnd > 0 ? numberEnd - 1 : 0;
    }
    return record->prereadLine ? end - 1 : end;
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

// The window is placed by the first "V" or "A" so that "V" lands in its first column, "A1" in
// its second and third, "A2" in its fourth and fifth.
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
size_t ReadMode(const EventLine& line, size_t from, size_t firstTimecode, EventRecord* record) {
    record->modeWindow = NO_POSITION;
    for (size_t at = from; at <= firstTimecode; ++at) {
        int byte = ByteAt(line, at);
        if (byte == 'V' || byte == 'A') {
            size_t start = ModeWindowStart(line, at);
            record->modeWindow = Position(line, start);
            record->channels = WindowChannels(line, start);
            record->assemble = TextAt(line, start, "ASMBL");
            return start + MODE_WIDTH + 1;
        }
    }
    return from;
}

// The transition: an upper-case letter other than "A" and "V" after the mode area, with its
// words.
void ReadType(const EventLine& line, size_t from, size_t firstTimecode, EventRecord* record) {
    record->transition = TRANSITION_NONE;
    record->typeLetter = NO_POSITION;
    size_t letterAt = SkipBlanks(line, from);
    int letter = ByteAt(line, letterAt);
    if (letter < 'A' || letter > 'Z' || letter == 'A' || letter == 'V') {
        return;
    }
    record->typeLetter = Position(line, letterAt);
    record->typeText = SpanOf(line, letterAt, firstTimecode);
    switch (letter) {
        case 'C': {
            // A signed word after the letter ("-12") counts; an unsigned one does not, because
            // the skip stops on its first digit right after a space.
            record->transition = TRANSITION_CUT;
            size_t stop = SkipLow(line, letterAt + 1);
            if (ByteAt(line, stop - 1) != ' ') {
                record->typeWords[0] = TypeWord(line, stop - 1, firstTimecode);
            }
            break;
        }
        case 'D':
            record->transition = TRANSITION_DISSOLVE;
            record->typeWords[0] = TypeWord(line, SkipLow(line, letterAt + 1), firstTimecode);
            break;
        case 'K': {
            record->transition = TRANSITION_KEY;
            record->keyLetter = static_cast<uint8_t>(ByteAt(line, letterAt + 1));
            if (record->keyLetter == 'B') {
                record->typeWords[0] = TypeWord(line, SkipLow(line, letterAt + 2), firstTimecode);
            } else if (record->keyLetter == 'I') {
                size_t first = SkipLow(line, letterAt + 2);
                record->typeWords[0] = TypeWord(line, first, firstTimecode);
                size_t second = SkipLow(line, WordEnd(line, first));
                record->typeWords[1] = TypeWord(line, second, firstTimecode);
            }
            break;
        }
        case 'W': {
            record->transition = TRANSITION_WIPE;
            size_t number = SkipLow(line, letterAt + 1);
            record->typeWords[0] = TypeWord(line, number, firstTimecode);
            size_t duration = SkipLow(line, WordEnd(line, number));
            record->typeWords[1] = TypeWord(line, duration, firstTimecode);
            break;
        }
        default:
            record->transition = TRANSITION_OTHER;
            break;
    }
}

// The four runs of "," to ";" bytes, each followed by its blanks. Returns the position of
// the first non-blank byte after the fourth.
size_t ReadTimecodes(const EventLine& line, size_t firstTimecode, EventRecord* record) {
    size_t at = firstTimecode;
    for (LineSpan& run : record->timecodes) {
        size_t start = at;
        while (IsTimecodeByte(ByteAt(line, at))) {
            ++at;
        }
        run = SpanOf(line, start, at);
        at = SkipBlanks(line, at);
    }
    return at;
}

// The channels of an audio word made of "A3" and "A4" only ("A3", "A4", "A3A4", "A4A3"); 0
// for any other word, which is a mark the export cannot place.
uint8_t AudioWordChannels(const EventLine& line, LineSpan word) {
    if (word.length == 0 || word.length % 2 != 0) {
        return 0;
    }
    uint8_t channels = 0;
    for (size_t at = word.start; at < size_t{word.start} + word.length; at += 2) {
        int digit = ByteAt(line, at + 1);
        if (ByteAt(line, at) != 'A' || (digit != '3' && digit != '4')) {
            return 0;
        }
        channels |= digit == '3' ? CHANNEL_A3 : CHANNEL_A4;
    }
    return channels;
}

// An "A" word: its run of bytes that are not low. Once an "A" of the line has been followed
// by "4", the repaired line's slot takes every later word at its offset 2. Returns where the
// scan goes on.
size_t ReadAudioWord(const EventLine& line, size_t at, EventRecord* record) {
    size_t end = at;
    while (!IsLow(ByteAt(line, end))) {
        ++end;
    }
    if (ByteAt(line, at + 1) == '4') {
        record->audioAfterFour = true;
    }
    record->audioWord = SpanOf(line, at, end);
    uint8_t channels = AudioWordChannels(line, record->audioWord);
    record->channels |= channels;
    record->marksUnmapped = record->marksUnmapped || channels == 0;
    return end;
}

// The trailing marks after the fourth timecode: the audio words, the D-word and the F-text.
void ReadMarks(const EventLine& line, size_t firstMark, EventRecord* record) {
    size_t marksStart = record->timecodes[3].start + size_t{record->timecodes[3].length};
    size_t marksEnd = line.length;
    while (marksEnd > marksStart &&
           (ByteAt(line, marksEnd - 1) == '\r' || ByteAt(line, marksEnd - 1) == '\n')) {
        --marksEnd;
    }
    record->marks = SpanOf(line, marksStart, marksEnd);

    size_t at = firstMark > 0 ? firstMark - 1 : 0;
    if (at >= line.length || line.length - at <= SHORTEST_REMAINDER) {
        // Too short to be scanned: anything visible there is a mark the export cannot place.
        for (size_t k = marksStart; k < marksEnd; ++k) {
            record->marksUnmapped = record->marksUnmapped || ByteAt(line, k) != ' ';
        }
        return;
    }
    while (at < line.length) {
        int byte = ByteAt(line, at);
        if (byte == 'A') {
            at = ReadAudioWord(line, at, record);
        } else if (byte == 'D') {
            record->dWord = SpanOf(line, at, at + D_WORD_LENGTH);
            record->marksUnmapped = record->marksUnmapped || !IsDmSpeedMark(line, record->dWord);
            at += D_WORD_LENGTH;
        } else if (byte == 'F') {
            size_t end = at;
            while (end < line.length && ByteAt(line, end) != '\r') {
                ++end;
            }
            record->fText = SpanOf(line, at, end);
            record->marksUnmapped = true;
            at = end;
        } else {
            if (at >= marksStart && byte != ' ' && byte != '\r' && byte != '\n') {
                record->marksUnmapped = true;
            }
            ++at;
        }
    }
}

}  // namespace

EventLine EventLineOf(const LinePiece& piece) {
    return EventLine{piece.bytes,
                     piece.length < LONGEST_EVENT_LINE ? piece.length : LONGEST_EVENT_LINE};
}

void ReadEventLine(const LinePiece& piece, EventRecord* record) {
    EventLine line = EventLineOf(piece);
    *record = EventRecord{};
    record->dmRecord = -1;
    size_t numberEnd = ReadNumber(line, record);
    size_t reelStart = SkipSpaces(line, numberEnd);
    size_t modeSearch = ReadReel(line, numberEnd, reelStart, record);
    size_t firstTimecode = FindFirstTimecode(line, modeSearch);
    size_t typeSearch = ReadMode(line, modeSearch, firstTimecode, record);
    ReadType(line, typeSearch, firstTimecode, record);
    size_t firstMark = ReadTimecodes(line, firstTimecode, record);
    ReadMarks(line, firstMark, record);
    if (IsDmSpeedMark(line, record->dWord)) {
        std::memcpy(record->speed, line.bytes + record->dWord.start + 2, SPEED_MARK_SIZE - 1);
    }
}

void JoinTimecodes(const EventLine& line, const EventRecord& record,
                   char (&field)[TIMECODE_FIELD_SIZE]) {
    std::memset(field, ' ', TIMECODE_WIDTH);
    size_t position = 0;
    for (int run = 0; run < 4; ++run) {
        const LineSpan& span = record.timecodes[run];
        // A run lies within the line; what fits of it is copied at once.
        size_t room = position < FIELD_LAST ? FIELD_LAST - position : 0;
        size_t copied = span.length < room ? span.length : room;
        if (copied > 0) {
            std::memcpy(field + position, line.bytes + span.start, copied);
        }
        position += span.length;
        // Long timecodes push separators past the blank-filled width: write them out, so the
        // field never ends early.
        if (run < 3 && position < FIELD_LAST) {
            field[position] = ' ';
        }
        if (run < 3 || position < TIMECODE_WIDTH) {
            ++position;
        }
    }
    field[position < FIELD_LAST ? position : FIELD_LAST] = 0;
}

bool IsDmSpeedMark(const EventLine& line, LineSpan span) {
    if (span.length != D_WORD_LENGTH || !TextAt(line, span.start, "DM")) {
        return false;
    }
    int sign = ByteAt(line, span.start + 2u);
    return (sign == '+' || sign == '-') && IsDigit(ByteAt(line, span.start + 3u)) &&
           IsDigit(ByteAt(line, span.start + 4u)) && IsDigit(ByteAt(line, span.start + 5u));
}
