#include "timecode.h"

#include "line_stream.h"

namespace {

// "00" to "99", so that a pair is written with one copy.
constexpr char DIGIT_PAIRS[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

void PutPair(char* out, size_t at, int value) {
    out[at] = DIGIT_PAIRS[2 * value];
    out[at + 1] = DIGIT_PAIRS[2 * value + 1];
}

int PairAt(const uint8_t* text, size_t at) {
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

}  // namespace

bool ParseTimecode(const uint8_t* text, size_t length, FrameRate rate, Timecode* timecode) {
    if (length != TIMECODE_LENGTH) {
        return false;
    }
    for (size_t pair = 0; pair < 4; ++pair) {
        size_t at = pair * 3;
        if (!IsDigit(text[at]) || !IsDigit(text[at + 1])) {
            return false;
        }
        uint8_t separator = pair < 3 ? text[at + 2] : ':';
        if (separator != ':' && separator != ';' && separator != '.' && separator != ',') {
            return false;
        }
    }
    *timecode = Timecode{PairAt(text, 0), PairAt(text, 3), PairAt(text, 6), PairAt(text, 9)};
    if (timecode->hours >= 24 || timecode->minutes >= 60 || timecode->seconds >= 60 ||
        timecode->frames >= rate.framesPerSecond) {
        return false;
    }
    return !(rate.dropFrame && timecode->seconds == 0 && timecode->frames < 2 &&
             timecode->minutes % 10 != 0);
}

bool TimecodeBefore(const Timecode& a, const Timecode& b) {
    if (a.hours != b.hours) {
        return a.hours < b.hours;
    }
    if (a.minutes != b.minutes) {
        return a.minutes < b.minutes;
    }
    if (a.seconds != b.seconds) {
        return a.seconds < b.seconds;
    }
    return a.frames < b.frames;
}

size_t PutTimecode(char* out, size_t at, const Timecode& timecode) {
    PutPair(out, at, timecode.hours);
    out[at + 2] = ':';
    PutPair(out, at + 3, timecode.minutes);
    out[at + 5] = ':';
    PutPair(out, at + 6, timecode.seconds);
    out[at + 8] = ':';
    PutPair(out, at + 9, timecode.frames);
    return at + TIMECODE_LENGTH;
}
