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

namespace {

// Drop-frame counting at 30 frames per second skips two labels in every minute but each tenth.
constexpr int64_t DROPPED_PER_MINUTE = 2;
constexpr int64_t FRAMES_PER_DROP_MINUTE = 60 * 30 - DROPPED_PER_MINUTE;
constexpr int64_t FRAMES_PER_TEN_DROP_MINUTES = 10 * 60 * 30 - 9 * DROPPED_PER_MINUTE;

}  // namespace

int64_t TimecodeFrames(const Timecode& timecode, FrameRate rate) {
    int64_t minutes = int64_t{timecode.hours} * 60 + timecode.minutes;
    int64_t frames = (minutes * 60 + timecode.seconds) * rate.framesPerSecond + timecode.frames;
    return rate.dropFrame ? frames - DROPPED_PER_MINUTE * (minutes - minutes / 10) : frames;
}

Timecode TimecodeAtFrame(int64_t frames, FrameRate rate) {
    if (rate.dropFrame) {
        // Back to labels: put the skipped ones in again, 18 for each whole ten minutes and two
        // for each minute after the first of the ten begun.
        int64_t tens = frames / FRAMES_PER_TEN_DROP_MINUTES;
        int64_t rest = frames % FRAMES_PER_TEN_DROP_MINUTES;
        frames += 9 * DROPPED_PER_MINUTE * tens;
        if (rest > DROPPED_PER_MINUTE) {
            frames += DROPPED_PER_MINUTE * ((rest - DROPPED_PER_MINUTE) / FRAMES_PER_DROP_MINUTE);
        }
    }
    int64_t perSecond = rate.framesPerSecond;
    int64_t seconds = frames / perSecond;
    return Timecode{static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                    static_cast<int>(seconds % 60), static_cast<int>(frames % perSecond)};
}

int64_t FramesPerDay(FrameRate rate) {
    return TimecodeFrames(Timecode{23, 59, 59, rate.framesPerSecond - 1}, rate) + 1;
}
