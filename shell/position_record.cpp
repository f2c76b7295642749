#include "position_record.h"

namespace {

void PutInt32(uint8_t* at, int32_t value) {
    auto bits = static_cast<uint32_t>(value);
    for (int k = 0; k < 4; ++k) {
        at[k] = static_cast<uint8_t>(bits >> (8 * k));
    }
}

int32_t GetInt32(const uint8_t* at) {
    uint32_t bits = 0;
    for (int k = 0; k < 4; ++k) {
        bits |= static_cast<uint32_t>(at[k]) << (8 * k);
    }
    return static_cast<int32_t>(bits);
}

}  // namespace

void EncodePositionRecord(int32_t left, int32_t top, int32_t right, int32_t bottom,
                          uint8_t record[POSITION_RECORD_BYTES]) {
    // Differences taken in unsigned arithmetic: a rectangle with far-apart edges wraps around
    // as the 32-bit record does, instead of overflowing.
    auto width = static_cast<int32_t>(static_cast<uint32_t>(right) - static_cast<uint32_t>(left));
    auto height = static_cast<int32_t>(static_cast<uint32_t>(bottom) - static_cast<uint32_t>(top));
    PutInt32(record + 0, left);
    PutInt32(record + 4, top);
    PutInt32(record + 8, width);
    PutInt32(record + 12, height);
}

int32_t ScaleForDpi(int32_t pixels, int dpi) {
    if (dpi <= 0) {
        return pixels;
    }
    // Rounded to the nearest pixel, as the system scales.
    return static_cast<int32_t>((static_cast<int64_t>(pixels) * dpi + STANDARD_DPI / 2) /
                                STANDARD_DPI);
}

WindowPosition DecodePositionRecord(const uint8_t* record, size_t count) {
    WindowPosition position{0, 0, MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT};
    if (record == nullptr || count > POSITION_RECORD_BYTES) {
        return position;
    }
    if (count >= 4) {
        position.left = GetInt32(record + 0);
    }
    if (count >= 8) {
        position.top = GetInt32(record + 4);
    }
    return position;
}
