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
constexpr size_t TYPE_WIDTH = 14;
constexpr size_t REMAINDER_WIDTH = 53;

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

// The rewritten line: six fields of at most FIELD_LAST bytes, their separators and CR LF.
constexpr size_t LINE_BUFFER_SIZE = 6 * FIELD_SIZE + 8;

struct EventFields {
    char eventNumber[FIELD_SIZE];
    char reel[FIELD_SIZE];
    char mode[FIELD_SIZE];
    char type[FIELD_SIZE];
    char timecode[TIMECODE_FIELD_SIZE];
    char remainder[FIELD_SIZE];
    char dWord[FIELD_SIZE];
    char audioSlot[FIELD_SIZE];
    char fText[FIELD_SIZE];
};

void FillBytes(char* field, size_t count, char byte) {
    std::memset(field, byte, count);
}

// Writes the line's bytes [from, to) at `offset`, without a terminator, never at or past
// `fieldEnd`. Past the line's end the bytes are NUL, which ends the field there.
void PutFieldBytes(char* field, size_t fieldEnd, size_t offset, const EventLine& line, size_t from,
                   size_t to) {
    for (size_t at = from; at < to && offset < fieldEnd; ++at, ++offset) {
        field[offset] = static_cast<char>(ByteAt(line, at));
    }
}

void PutFieldSpan(char* field, size_t fieldEnd, size_t offset, const EventLine& line,
                  LineSpan span) {
    PutFieldBytes(field, fieldEnd, offset, line, span.start, size_t{span.start} + span.length);
}

// Writes `text` up to its NUL at `offset`, without a terminator, never at or past `fieldEnd`.
void PutFieldText(char* field, size_t fieldEnd, size_t offset, const char* text) {
    for (; *text != 0 && offset < fieldEnd; ++text, ++offset) {
        field[offset] = *text;
    }
}

// The run of digits, right-aligned and zero-filled in four characters.
void FillEventNumber(const EventLine& line, const EventRecord& record, char* field) {
    // The line loop passes only runs of 2 to 4 digits; a longer run shows its first four.
    size_t count =
        record.number.length < EVENT_NUMBER_WIDTH ? record.number.length : EVENT_NUMBER_WIDTH;
    FillBytes(field, EVENT_NUMBER_WIDTH, '0');
    PutFieldBytes(field, EVENT_NUMBER_WIDTH, EVENT_NUMBER_WIDTH - count, line, record.number.start,
                  record.number.start + count);
}

// The reel word cut to six characters, padded to six except on a pre-read line.
void FillReel(const EventLine& line, const EventRecord& record, char* field) {
    size_t kept = record.reel.length < REEL_WIDTH ? record.reel.length : REEL_WIDTH;
    PutFieldBytes(field, REEL_WIDTH, 0, line, record.reel.start, record.reel.start + kept);
    if (!record.prereadLine) {
        FillBytes(field + kept, REEL_WIDTH - kept, ' ');
    }
}

// The five bytes of the channel window, or five blanks.
void FillMode(const EventLine& line, const EventRecord& record, char* field) {
    FillBytes(field, MODE_WIDTH, ' ');
    if (record.modeWindow != NO_POSITION) {
        PutFieldBytes(field, MODE_WIDTH, 0, line, record.modeWindow,
                      size_t{record.modeWindow} + MODE_WIDTH);
    }
}

// "W": the wipe number replaces "0000" only when four digits follow; the duration always
// shows as " 00:00 ".
void FillWipeType(const EventLine& line, const EventRecord& record, char* type) {
    PutFieldText(type, TYPE_WIDTH, WIPE_NUMBER_OFFSET, "0000");
    PutFieldText(type, TYPE_WIDTH, WIPE_DURATION_OFFSET, " 00:00 ");
    size_t number = record.typeWords[0].start;
    for (size_t k = 0; k < WIPE_NUMBER_LENGTH; ++k) {
        if (!IsDigit(ByteAt(line, number + k))) {
            return;
        }
    }
    PutFieldBytes(type, TYPE_WIDTH, WIPE_NUMBER_OFFSET, line, number, number + WIPE_NUMBER_LENGTH);
}

// The transition letter and its words at their offsets; fourteen blanks without a letter. A
// "D" marks the line for the dissolve's effect line.
void FillType(const EventLine& line, const EventRecord& record, char* type, LineState* state) {
    FillBytes(type, TYPE_WIDTH, ' ');
    if (record.transition == TRANSITION_NONE) {
        return;
    }
    type[0] = static_cast<char>(ByteAt(line, record.typeLetter));
    switch (record.transition) {
        case TRANSITION_CUT:
            PutFieldSpan(type, TYPE_WIDTH, C_WORD_OFFSET, line, record.typeWords[0]);
            break;
        case TRANSITION_DISSOLVE:
            PutFieldSpan(type, TYPE_WIDTH, D_WORD_IN_TYPE_OFFSET, line, record.typeWords[0]);
            state->dissolvePending = true;
            break;
        case TRANSITION_KEY:
            type[1] = static_cast<char>(record.keyLetter);
            if (record.keyLetter == 'B') {
                PutFieldSpan(type, TYPE_WIDTH, KB_WORD_OFFSET, line, record.typeWords[0]);
            } else if (record.keyLetter == 'I') {
                PutFieldSpan(type, TYPE_WIDTH, KI_FIRST_WORD_OFFSET, line, record.typeWords[0]);
                PutFieldSpan(type, TYPE_WIDTH, KI_SECOND_WORD_OFFSET, line, record.typeWords[1]);
            }
            break;
        case TRANSITION_WIPE:
            FillWipeType(line, record, type);
            break;
        case TRANSITION_OTHER:
        case TRANSITION_NONE:
            PutFieldBytes(type, TYPE_WIDTH, 0, line, record.typeLetter,
                          size_t{record.typeLetter} + TYPE_WIDTH);
            break;
    }
}

// The trailing marks: the audio slot with the last "A" word (FillAudioSlot); an audio word
// puts "A" into the mode when it holds none. The D-word takes six bytes whatever they are.
void FillMarks(const EventLine& line, const EventRecord& record, EventFields* fields) {
    if (record.audioWord.length > 0) {
        char slot[AUDIO_SLOT_WIDTH + 1];
        FillAudioSlot(line, record.audioWord, record.audioAfterFour, slot);
        std::memcpy(fields->audioSlot, slot, sizeof slot);
        if (std::strchr(fields->mode, 'A') == nullptr) {
            fields->mode[1] = 'A';
        }
    }
    if (record.dWord.length > 0) {
        PutFieldBytes(fields->dWord, D_WORD_LENGTH, 0, line, record.dWord.start,
                      size_t{record.dWord.start} + D_WORD_LENGTH);
    }
    if (record.fText.length > 0) {
        PutFieldSpan(fields->fText, FIELD_LAST, 0, line, record.fText);
    }
}

// The remainder: the D-word at offset 6, the audio slot at 15, the F-text at 50; a speed from
// a DM speed record as "DM" and the speed at offset 6.
void FillRemainder(const EventRecord& record, EventFields* fields) {
    FillBytes(fields->remainder, REMAINDER_WIDTH, ' ');
    PutFieldText(fields->remainder, FIELD_LAST, D_WORD_OFFSET, fields->dWord);
    PutFieldText(fields->remainder, FIELD_LAST, AUDIO_SLOT_OFFSET, fields->audioSlot);
    PutFieldText(fields->remainder, FIELD_LAST, F_TEXT_OFFSET, fields->fText);
    if (record.speedFromRecord) {
        std::memcpy(fields->remainder + D_WORD_OFFSET, "DM", 2);
        std::memcpy(fields->remainder + D_WORD_OFFSET + 2, record.speed, std::strlen(record.speed));
    }
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

bool WriteRepairedEventLine(const LinePiece& piece, const EventRecord& record, ByteBuffer* text,
                            LineState* state) {
    EventLine line = EventLineOf(piece);
    EventFields fields{};
    FillEventNumber(line, record, fields.eventNumber);
    FillReel(line, record, fields.reel);
    FillMode(line, record, fields.mode);
    FillType(line, record, fields.type, state);
    JoinTimecodes(line, record, fields.timecode);
    FillMarks(line, record, &fields);
    FillRemainder(record, &fields);
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

bool RewriteEventLine(const LinePiece& piece, ByteBuffer* text, LineState* state) {
    EventRecord record;
    ReadEventLine(piece, &record);
    ApplyDmSpeed(EventLineOf(piece), state, &record);
    return WriteRepairedEventLine(piece, record, text, state);
}
