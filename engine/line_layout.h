// The layout of an event line as the rules read it and as the repaired line shows it: the line
// as signed bytes, spans of it, the widths of the channel window, the D-word and the audio slot,
// and the two rules that both the reading (event_record.h) and its writers (event_line.h,
// cmx_export.h) follow: which channels the window shows, and what the audio slot holds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "line_stream.h"

// The piece as the rules read it. Bytes are signed 8-bit values, so 0x80..0xFF (Shift-JIS
// bytes among them) are blanks and low bytes. Positions at or past the piece's end read as
// NUL, whatever an earlier, longer piece left in the buffer.
struct EventLine {
    const uint8_t* bytes;
    size_t length;  // at most LONGEST_EVENT_LINE
};

// The line loop reads pieces of at most this many bytes, so every position in a line, and
// every length, fits in a byte.
constexpr size_t LONGEST_EVENT_LINE = REWRITE_LINE_LIMIT - 1;

inline int ByteAt(const EventLine& line, size_t at) {
    return at < line.length ? static_cast<int8_t>(line.bytes[at]) : 0;
}

// A blank: the space, a control character, or any byte from 0x80 on (as a signed byte).
inline bool IsBlank(int value) {
    return value <= 0x20;
}

// A low byte: a blank, or punctuation from "!" to "/" ("+", "-", ".").
inline bool IsLow(int value) {
    return value < '0';
}

// Bytes [start, start + length) of the line, never past its end. An empty span may start at
// the line's end.
struct LineSpan {
    uint8_t start;
    uint8_t length;
};

// No position: no channel window, no transition letter.
constexpr uint8_t NO_POSITION = 0xFF;

// The channel window: five bytes, "V" in its first column, "A1" in its second and third, "A2"
// in its fourth and fifth ("VA1A2", "V  A2", "ASMBL").
constexpr size_t MODE_WIDTH = 5;
// A D-word of the trailing marks: "D" and the five bytes after it ("DM+050").
constexpr size_t D_WORD_LENGTH = 6;
// The audio slot of the repaired line: four columns.
constexpr size_t AUDIO_SLOT_WIDTH = 4;
// The four timecodes of the repaired line: 11 characters each and a blank between them.
constexpr size_t TIMECODE_WIDTH = 47;

// The channels of an event: video and audio 1 to 4.
constexpr uint8_t CHANNEL_V = 0x01;
constexpr uint8_t CHANNEL_A1 = 0x02;
constexpr uint8_t CHANNEL_A2 = 0x04;
constexpr uint8_t CHANNEL_A3 = 0x08;
constexpr uint8_t CHANNEL_A4 = 0x10;

// The channels the window at `window` shows: "V" in its first column; in the columns after it
// each "A" followed by "2" is audio 2, and each "A" followed by "1" or a blank (or standing
// last) is audio 1, whatever blanks stand between ("V A2" and "V  A2" alike). "ASMBL", the
// assemble mode, is V, A1 and A2.
uint8_t WindowChannels(const EventLine& line, size_t window);

// The audio slot: four "x" placeholders, with the audio word over them at offset 0, or at
// offset 2 once an "A" of the marks has been followed by "4" (`afterFour`); what does not fit
// is cut. `slot` receives the four columns and a terminator.
void FillAudioSlot(const EventLine& line, LineSpan audioWord, bool afterFour,
                   char (&slot)[AUDIO_SLOT_WIDTH + 1]);
