// One reading of an event line: where each of its elements stands in the line and what it
// means. The repaired line (event_line.h) and the CMX export (cmx_export.h) are both written
// from this record, so the two never read a line differently. Reading a line changes nothing
// else: the DM speed records are matched to the event by the line loop (dm_speed.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "line_layout.h"
#include "line_stream.h"

EventLine EventLineOf(const LinePiece& piece);

enum TransitionType : uint8_t {
    TRANSITION_NONE,      // no upper-case letter other than "A" and "V" after the mode
    TRANSITION_CUT,       // "C", with a signed word if one follows ("C -12")
    TRANSITION_DISSOLVE,  // "D" and its duration word
    TRANSITION_KEY,       // "K" and its sub-letter: "KB" with one word, "KI" with two
    TRANSITION_WIPE,      // "W", its pattern number and its duration
    TRANSITION_OTHER,     // any other letter
};

// Room for a speed mark: sign, three digits, terminator.
constexpr size_t SPEED_MARK_SIZE = 5;

struct EventRecord {
    LineSpan number;  // the run of digits
    LineSpan reel;    // the reel word as written, whole; empty when a CR follows the number
    // Where the channel window starts, or NO_POSITION when the mode area holds no "V" or "A".
    uint8_t modeWindow;
    // CHANNEL_ bits: V, A1 and A2 from the window, A3 and A4 from the trailing audio words
    // ("A3", "A4", or the two glued together, "A3A4" and "A4A3").
    uint8_t channels;
    TransitionType transition;
    uint8_t typeLetter;  // position of the transition letter, or NO_POSITION
    uint8_t keyLetter;   // the byte after "K" (0 past the line's end)
    // The transition's words as the type field takes them, each stopped at the first timecode:
    // C its signed word; D its duration; KB its word; KI both; W its pattern number and its
    // duration (the repaired line shows only the number, the export both).
    LineSpan typeWords[2];
    LineSpan typeText;      // the transition as written, from its letter to the first timecode
    LineSpan timecodes[4];  // the four runs of "," to ";" bytes
    // The trailing marks after the fourth timecode, as the repaired line takes them: the last
    // "A" word, the last D-word (six bytes) and the last F-text.
    LineSpan audioWord;
    LineSpan dWord;
    LineSpan fText;
    LineSpan marks;       // all the text after the fourth timecode, line end excluded
    bool prereadLine;     // "PREREAD" after the reel start: the repaired reel stays unpadded
    bool assemble;        // the window reads "ASMBL", the assemble mode
    bool audioAfterFour;  // an "A" word was followed by "4": the slot takes the word at 2
    bool marksUnmapped;   // the marks hold more than "A3", "A4" and a "DM" speed mark
    // "+050": the speed the repaired line marks (the line's own D-word when it is a speed
    // mark, or the speed of the DM speed record matched to the line), or empty.
    char speed[SPEED_MARK_SIZE];
    bool speedFromRecord;  // the speed comes from a DM speed record, not the line
    int8_t dmRecord;       // the DM speed record matched to the line, or -1
};

// Reads the event line in `piece`.
void ReadEventLine(const LinePiece& piece, EventRecord* record);

// The four timecodes as the repaired line shows them: each run followed by one blank, the
// blank after the fourth only while it falls inside TIMECODE_WIDTH columns, so four
// 11-character timecodes end flush. `field` receives them, NUL-terminated, cut to its size.
constexpr size_t TIMECODE_FIELD_SIZE = 260;
void JoinTimecodes(const EventLine& line, const EventRecord& record,
                   char (&field)[TIMECODE_FIELD_SIZE]);

// "DM", a sign and three digits: a speed mark.
bool IsDmSpeedMark(const EventLine& line, LineSpan span);
