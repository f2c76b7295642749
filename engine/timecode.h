// Timecodes at a frame rate, as the lists written from a repaired list take them: read from the
// four runs of an event line ("01:00:00:00", with ":", ";", "." or "," between the pairs),
// compared, and written with colons. Reading and writing are inline: every event line of a
// list comes this way four times.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "line_stream.h"

struct FrameRate {
    int framesPerSecond;  // 24, 25 or 30
    // Drop-frame counting, at 30 frames per second only: the labels it skips are no timecodes.
    bool dropFrame;
};

struct Timecode {
    int hours;
    int minutes;
    int seconds;
    int frames;
};

// "HH:MM:SS:FF"
constexpr size_t TIMECODE_LENGTH = 11;

inline bool IsTimecodeSeparator(uint8_t value) {
    return value == ':' || value == ';' || value == '.' || value == ',';
}

inline int TimecodePairAt(const uint8_t* text, size_t at) {
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

// Reads the `length` bytes of `text` as a timecode valid at `rate`: eleven characters, pairs of
// digits with ":", ";", "." or "," between them, hours under 24, minutes and seconds under 60,
// frames under the rate, and at drop frame no label that drop-frame counting skips.
inline bool ParseTimecode(const uint8_t* text, size_t length, FrameRate rate, Timecode* timecode) {
    if (length != TIMECODE_LENGTH) {
        return false;
    }
    // Each digit as an unsigned value, which is over 9 for any other byte.
    unsigned largest = 0;
    for (size_t at : {0u, 1u, 3u, 4u, 6u, 7u, 9u, 10u}) {
        unsigned digit = static_cast<unsigned>(text[at]) - '0';
        largest = digit > largest ? digit : largest;
    }
    if (largest > 9 || !IsTimecodeSeparator(text[2]) || !IsTimecodeSeparator(text[5]) ||
        !IsTimecodeSeparator(text[8])) {
        return false;
    }
    *timecode = Timecode{TimecodePairAt(text, 0), TimecodePairAt(text, 3), TimecodePairAt(text, 6),
                         TimecodePairAt(text, 9)};
    if (timecode->hours >= 24 || timecode->minutes >= 60 || timecode->seconds >= 60 ||
        timecode->frames >= rate.framesPerSecond) {
        return false;
    }
    return !(rate.dropFrame && timecode->seconds == 0 && timecode->frames < 2 &&
             timecode->minutes % 10 != 0);
}

bool TimecodeBefore(const Timecode& a, const Timecode& b);

// Frames from 00:00:00:00 to the timecode at `rate`: at drop frame, the labels drop-frame
// counting skips (frames 0 and 1 of every minute but each tenth) are not counted.
int64_t TimecodeFrames(const Timecode& timecode, FrameRate rate);

// The timecode of a frame count from 00:00:00:00 at `rate` (0 to a day's frames less one).
Timecode TimecodeAtFrame(int64_t frames, FrameRate rate);

// The frames of a day at `rate`: 00:00:00:00 to 23:59:59 and its last frame.
int64_t FramesPerDay(FrameRate rate);

// "00" to "99", so that a pair is written with one copy.
extern const char TIMECODE_DIGIT_PAIRS[];

// Writes "HH:MM:SS:FF" at `out` + `at` (TIMECODE_LENGTH bytes, no terminator); returns the
// position after it.
inline size_t PutTimecode(char* out, size_t at, const Timecode& timecode) {
    const int pairs[4] = {timecode.hours, timecode.minutes, timecode.seconds, timecode.frames};
    for (int k = 0; k < 4; ++k) {
        const char* digits = TIMECODE_DIGIT_PAIRS + 2 * pairs[k];
        if (k > 0) {
            out[at++] = ':';
        }
        out[at] = digits[0];
        out[at + 1] = digits[1];
        at += 2;
    }
    return at;
}
