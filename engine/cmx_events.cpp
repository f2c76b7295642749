#include "cmx_events.h"

#include <cstring>

#include "list_text.h"

namespace {

constexpr size_t MAX_BVE_DIGITS = 9;

// The channel field by video (1), audio 1 (2) and audio 2 (4).
const char* const CHANNEL_TEXTS[] = {"NONE", "V", "A", "B", "A2", "A2/V", "AA", "AA/V"};

const uint8_t* SpanBytes(const EventLine& line, LineSpan span) {
    return line.bytes + (span.length > 0 ? span.start : 0);
}

// The dissolve's length in frames, 1 to 999; 0 when the line is no dissolve the export can
// write as one (no duration of 1 to 3 digits, or a duration of 0).
int DissolveFrames(const EventLine& line, const EventRecord& record) {
    LineSpan word = record.typeWords[0];
    if (record.transition != TRANSITION_DISSOLVE || word.length < 1 || word.length > 3) {
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
    return frames <= CMX_LONGEST_DISSOLVE ? frames : 0;
}

}  // namespace

CmxEvent ReadCmxEvent(const LineItems& items, const LineItem& item, FrameRate rate) {
    const EventLine line = ItemLine(items, item);
    const EventRecord& record = items.events[item.event].reading;
    CmxEvent event{};
    // An event line's number is its run of 2 to 4 digits.
    event.bveNumber = BveEventNumber(line.bytes + record.number.start, record.number.length);
    event.held = true;
    for (int k = 0; k < 4 && event.held; ++k) {
        event.held = ParseTimecode(SpanBytes(line, record.timecodes[k]), record.timecodes[k].length,
                                   rate, &event.timecodes[k]);
    }
    event.held = event.held && !TimecodeBefore(event.timecodes[3], event.timecodes[2]);
    event.dissolveFrames = event.held ? DissolveFrames(line, record) : 0;
    return event;
}

uint32_t BveEventNumber(const uint8_t* text, size_t length) {
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

const char* CmxChannelText(uint8_t channels) {
    size_t index = ((channels & CHANNEL_V) != 0 ? 1u : 0u) |
                   ((channels & CHANNEL_A1) != 0 ? 2u : 0u) |
                   ((channels & CHANNEL_A2) != 0 ? 4u : 0u);
    return CHANNEL_TEXTS[index];
}

size_t CmxTransitionText(const EventLine& line, const EventRecord& record, int dissolveFrames,
                         char (&text)[CMX_TRANSITION_TEXT_SIZE]) {
    const uint8_t* typeText = SpanBytes(line, record.typeText);
    size_t at = 0;
    switch (record.transition) {
        case TRANSITION_NONE:
            break;
        case TRANSITION_CUT:
        case TRANSITION_DISSOLVE: {
            // A cut is a cut, and a dissolve of 1 to 999 frames a dissolve; a word after the
            // "C" ("C -12") or a dissolve CMX cannot hold is kept.
            const uint8_t* trimmed = typeText;
            size_t length = record.typeText.length;
            TrimBytes(&trimmed, &length);
            bool plainCut = record.transition == TRANSITION_CUT && length <= 1;
            if (!plainCut && dissolveFrames == 0) {
                at = PutWords(text, PutText(text, 0, "TRANSITION "), typeText,
                              record.typeText.length);
            }
            break;
        }
        case TRANSITION_WIPE:
            at = PutText(text, 0, "WIPE");
            for (LineSpan word : record.typeWords) {
                if (word.length > 0) {
                    text[at++] = ' ';
                    at = PutWords(text, at, SpanBytes(line, word), word.length);
                }
            }
            break;
        case TRANSITION_KEY:
            at = PutWords(text, PutText(text, 0, "KEY "), typeText, record.typeText.length);
            break;
        case TRANSITION_OTHER:
            at = PutText(text, 0, "TRANSITION ");
            if (record.typeText.length > 0) {
                at = PutWords(text, at, typeText, record.typeText.length);
            } else {
                text[at++] = static_cast<char>(line.bytes[record.typeLetter]);
            }
            break;
    }
    text[at] = 0;
    return at;
}
