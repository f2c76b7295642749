// Timecodes at a frame rate, as the lists written from a repaired list take them: read from the
// four runs of an event line ("01:00:00:00", with ":", ";", "." or "," between the pairs),
// compared, and written with colons.
#pragma once

#include <cstddef>
#include <cstdint>

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

// Reads the `length` bytes of `text` as a timecode valid at `rate`: eleven characters, pairs of
// digits with ":", ";", "." or "," between them, hours under 24, minutes and seconds under 60,
// frames under the rate, and at drop frame no label that drop-frame counting skips.
bool ParseTimecode(const uint8_t* text, size_t length, FrameRate rate, Timecode* timecode);

bool TimecodeBefore(const Timecode& a, const Timecode& b);

// Writes "HH:MM:SS:FF" at `out` (TIMECODE_LENGTH bytes, no terminator); returns the position
// after it.
size_t PutTimecode(char* out, size_t at, const Timecode& timecode);
