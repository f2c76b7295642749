#include "line_layout.h"

#include <cstring>

uint8_t WindowChannels(const EventLine& line, size_t window) {
    if (window + 5 <= line.length && std::memcmp(line.bytes + window, "ASMBL", 5) == 0) {
        return CHANNEL_V | CHANNEL_A1 | CHANNEL_A2;
    }
    uint8_t channels = ByteAt(line, window) == 'V' ? CHANNEL_V : 0;
    for (size_t column = 1; column < MODE_WIDTH; ++column) {
        if (ByteAt(line, window + column) != 'A') {
            continue;
        }
        int after = ByteAt(line, window + column + 1);
        if (after == '2') {
            channels |= CHANNEL_A2;
            ++column;
        } else if (after == '1' || after <= ' ') {
            channels |= CHANNEL_A1;
            ++column;
        }
    }
    return channels;
}

void FillAudioSlot(const EventLine& line, LineSpan audioWord, bool afterFour,
                   char (&slot)[AUDIO_SLOT_WIDTH + 1]) {
    std::memset(slot, 'x', AUDIO_SLOT_WIDTH);
    slot[AUDIO_SLOT_WIDTH] = 0;
    for (size_t k = 0, at = afterFour ? 2 : 0; k < audioWord.length && at < AUDIO_SLOT_WIDTH;
         ++k, ++at) {
        slot[at] = static_cast<char>(ByteAt(line, audioWord.start + k));
    }
}
