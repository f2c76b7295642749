#include "timecode.h"

const char TIMECODE_DIGIT_PAIRS[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

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
