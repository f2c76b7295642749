#include "dm_speed.h"

#include <cstring>

namespace {

// The text of a "DM " line from the mark on, of which at most this much is read.
constexpr size_t DM_COPY_SIZE = 128;
constexpr size_t DM_TIMECODE_LENGTH = 11;
// The timecode is read from 8 bytes before its frame separator: "00:00:10" then ".00".
constexpr size_t DM_TIMECODE_LEAD = 8;
constexpr size_t DM_SPEED_DIGITS = 3;

bool SpanHoldsDm(const EventLine& line, LineSpan span) {
    return span.length >= 2 && ContainsText(line.bytes + span.start, span.length, "DM");
}

// True when the repaired line's remainder holds "DM" before any speed is written: in the
// D-word, in the audio slot or in the F-text. Such a line keeps its own marks.
bool MarksHoldDm(const EventLine& line, const EventRecord& record) {
    if (SpanHoldsDm(line, record.dWord) || SpanHoldsDm(line, record.fText)) {
        return true;
    }
    if (record.audioWord.length == 0) {
        return false;
    }
    char slot[AUDIO_SLOT_WIDTH + 1];
    FillAudioSlot(line, record.audioWord, record.audioAfterFour, slot);
    return std::strstr(slot, "DM") != nullptr;
}

void DiscardRecords(LineState* state) {
    state->dmRecordCount = 0;
    state->dmNextRecord = 0;
    state->dmMissCount = 0;
    state->dmSameTimecode = false;
    for (DmSpeedRecord& record : state->dmRecords) {
        record.timecode[0] = 0;
    }
}

}  // namespace

void CollectDmSpeedRecord(const LinePiece& piece, LineState* state) {
    const char* line = reinterpret_cast<const char*>(piece.bytes);
    const char* mark = reinterpret_cast<const char*>(FindText(piece.bytes, piece.length, "DM "));
    if (mark == nullptr) {
        return;
    }
    char copy[DM_COPY_SIZE] = {};
    size_t copyLength = piece.length - static_cast<size_t>(mark - line);
    if (copyLength > DM_COPY_SIZE - 1) {
        copyLength = DM_COPY_SIZE - 1;
    }
    std::memcpy(copy, mark, copyLength);

    // Every "DM " line starts the matching again at the first record.
    state->dmNextRecord = 0;
    state->dmMissCount = 0;
    if (state->dmRecordCount >= MAX_DM_RECORDS) {
        return;
    }
    const char* label = reinterpret_cast<const char*>(
        FindText(reinterpret_cast<const uint8_t*>(copy), copyLength, "Speed:"));
    if (label == nullptr) {
        return;
    }
    const char* sign = label;
    while (sign < copy + copyLength && *sign != '+' && *sign != '-') {
        ++sign;
    }
    if (sign == copy + copyLength) {
        return;
    }
    size_t digits = 0;
    while (digits < DM_SPEED_DIGITS && IsDigit(sign[1 + digits])) {
        ++digits;
    }
    if (digits < DM_SPEED_DIGITS) {
        return;
    }
    DmSpeedRecord& record = state->dmRecords[state->dmRecordCount];
    std::memset(&record, 0, sizeof record);
    std::memcpy(record.speed, sign, 1 + DM_SPEED_DIGITS);

    // The timecode: 11 bytes from 8 before the first "," or "."; none when that would start
    // before the mark, and shorter (so matching no event line) when the line ends sooner.
    size_t separator = 0;
    while (separator < copyLength && copy[separator] != ',' && copy[separator] != '.') {
        ++separator;
    }
    if (separator < copyLength && separator >= DM_TIMECODE_LEAD) {
        size_t start = separator - DM_TIMECODE_LEAD;
        size_t length =
            copyLength - start < DM_TIMECODE_LENGTH ? copyLength - start : DM_TIMECODE_LENGTH;
        std::memcpy(record.timecode, copy + start, length);
    }
    ++state->dmRecordCount;
}

int TakeDmSpeed(const char* timecodeField, LineState* state, char* speed, size_t speedSize) {
    if (state->dmRecordCount == 0) {
        return -1;
    }
    int taken = -1;
    const DmSpeedRecord& current = state->dmRecords[state->dmNextRecord];
    bool matches = state->dmSameTimecode ||
                   (std::strlen(current.timecode) == DM_TIMECODE_LENGTH &&
                    std::strncmp(timecodeField, current.timecode, DM_TIMECODE_LENGTH) == 0);
    if (matches) {
        taken = state->dmNextRecord;
        size_t length = std::strlen(current.speed);
        length = length < speedSize - 1 ? length : speedSize - 1;
        std::memcpy(speed, current.speed, length);
        speed[length] = 0;
        state->dmSameTimecode =
            state->dmRecordCount == MAX_DM_RECORDS && state->dmNextRecord == 0 &&
            std::strcmp(state->dmRecords[0].timecode, state->dmRecords[1].timecode) == 0;
        ++state->dmNextRecord;
    } else if (state->dmRecordCount == MAX_DM_RECORDS) {
        ++state->dmNextRecord;
    } else {
        ++state->dmMissCount;
    }
    if (state->dmMissCount > 1 || (state->dmRecordCount == 1 && state->dmNextRecord == 1) ||
        (state->dmRecordCount == MAX_DM_RECORDS && state->dmNextRecord == MAX_DM_RECORDS)) {
        DiscardRecords(state);
    }
    return taken;
}

void ApplyDmSpeed(const EventLine& line, LineState* state, EventRecord* record) {
    record->dmRecord = -1;
    if (state->dmRecordCount == 0) {
        return;  // nothing to match the timecodes with
    }
    char field[TIMECODE_FIELD_SIZE];
    JoinTimecodes(line, *record, field);
    char taken[SPEED_MARK_SIZE] = {};
    record->dmRecord = static_cast<int8_t>(TakeDmSpeed(field, state, taken, sizeof taken));
    if (record->dmRecord >= 0 && !MarksHoldDm(line, *record)) {
        std::memcpy(record->speed, taken, sizeof taken);
        record->speedFromRecord = true;
    }
}
