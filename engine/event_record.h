// One reading of an event line: where each of its elements stands in the line and what it
// means. The repaired line (event_line.h) and the CMX export (cmx_export.h) are both written
// from this record, so the two never read a line differently.
#pragma once

#include <cstddef>
#include <cstdint>

#include "line_state.h"
#include "line_stream.h"

// The piece as the rules read it. Bytes are signed 8-bit values, so 0x80..0xFF (Shift-JIS
// bytes among them) are blanks and low bytes. Positions at or past the piece's end read as
// NUL, whatever an earlier, longer piece left in the buffer.
struct EventLine {
    const uint8_t* bytes;
    size_t length;
};

EventLine EventLineOf(const LinePiece& piece);

inline int ByteAt(const EventLine& line, size_t at) {
    return at < line.length ? static_cast<int8_t>(line.bytes[at]) : 0;
}

// Bytes [start, start + length) of the line. A position may lie past the line's end (the
// rules read on over NUL bytes there); a span never reaches past it.
struct LineSpan {
    uint16_t start;
    uint16_t length;
};

constexpr uint16_t NO_POSITION = 0xFFFF;

enum TransitionType : uint8_t {
    TRANSITION_NONE,      // no upper-case letter other than "A" and "V" after the mode
    TRANSITION_CUT,       // "C", with a signed word if one follows ("C -12")
    TRANSITION_DISSOLVE,  // "D" and its duration word
    TRANSITION_KEY,       // "K" and its sub-letter: "KB" with one word, "KI" with two
    TRANSITION_WIPE,      // "W", its pattern number and its duration
    TRANSITION_OTHER,     // any other letter
};

// The channels of an event: video and audio 1 to 4.
constexpr uint8_t CHANNEL_V = 0x01;
constexpr uint8_t CHANNEL_A1 = 0x02;
constexpr uint8_t CHANNEL_A2 = 0x04;
constexpr uint8_t CHANNEL_A3 = 0x08;
constexpr uint8_t CHANNEL_A4 = 0x10;

// Room for a speed mark: sign, three digits, terminator.
constexpr size_t SPEED_MARK_SIZE = 5;

struct EventRecord {
    LineSpan number;   // the run of digits
    LineSpan reel;     // the reel word as written, whole; empty when a CR follows the number
    bool prereadLine;  // "PREREAD" after the reel start: the repaired reel stays unpadded
    // Where the five-byte channel window starts ("V" in its first column, "A1" in its second
    // and third, "A2" in its fourth and fifth), or NO_POSITION when the mode area holds no "V"
    // or "A".
    uint16_t modeWindow;
    // CHANNEL_ bits: V, A1 and A2 from the window ("ASMBL", the assemble mode, is all three),
    // A3 and A4 from the words "A3" and "A4" among the trailing marks.
    uint8_t channels;
    TransitionType transition;
    uint16_t typeLetter;  // position of the transition letter, or NO_POSITION
    uint8_t keyLetter;    // the byte after "K" (0 past the line's end)
    // The transition's words as the type field takes them, each stopped at the first timecode:
    // C its signed word; D its duration; KB its word; KI both; W its pattern number and its
    // duration (the repaired line shows only the number, the export both).
    LineSpan typeWords[2];
    LineSpan typeText;      // the transition as written, from its letter to the first timecode
    LineSpan timecodes[4];  // the four runs of "," to ";" bytes
    // The trailing marks after the fourth timecode, as the repaired line takes them: the last
    // "A" word, the last D-word (six bytes) and the last F-text.
    LineSpan audioWord;
    bool audioAfterFour;  // an "A" word was followed by "4": the slot takes the word at 2
    LineSpan dWord;
    LineSpan fText;
    LineSpan marks;               // all the text after the fourth timecode, line end excluded
    bool marksUnmapped;           // the marks hold more than "A3", "A4" and a "DM" speed mark
    char speed[SPEED_MARK_SIZE];  // "+050": the speed the repaired line marks, or empty
    bool speedFromRecord;         // the speed comes from a DM speed record, not the line
    int8_t dmRecord;              // the DM speed record the line matched, or -1
};

// Reads the event line in `piece`. The DM speed records of `state` are compared with the line
// and advanced, as once per event line.
void ReadEventLine(const LinePiece& piece, LineState* state, EventRecord* record);

// The four timecodes as the repaired line shows them: each run followed by one blank, the
// blank after the fourth only while it falls inside 47 columns, so four 11-character
// timecodes end flush. `field` receives them, NUL-terminated, cut to its size.
constexpr size_t TIMECODE_FIELD_SIZE = 260;
void JoinTimecodes(const EventLine& line, const EventRecord& record,
                   char (&field)[TIMECODE_FIELD_SIZE]);
