#include "line_items.h"

#include "platform.h"

namespace {

// From this size on an array is filled over megabytes, as the buffers of the engine are: the
// system is asked to back it with large pages.
constexpr size_t LARGE_ARRAY = size_t{4} << 20;

template <typename T>
bool Reserve(T** array, size_t* capacity, size_t count) {
    if (count > SIZE_MAX / sizeof(T)) {
        return false;
    }
    void* block = EngineRealloc(*array, count * sizeof(T));
    if (block == nullptr) {
        return false;
    }
    if (count * sizeof(T) >= LARGE_ARRAY) {
        AdviseLargeBlock(block, count * sizeof(T));
    }
    *array = static_cast<T*>(block);
    *capacity = count;
    return true;
}

bool IsPlainReelWord(const uint8_t* word, size_t length) {
    if (length == 0 || length > 8) {
        return false;
    }
    for (size_t k = 0; k < length; ++k) {
        uint8_t byte = word[k];
        if (!((byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || byte == '_')) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReserveLineItems(LineItems* items, size_t length, size_t lineFeeds) {
    if (length > LONGEST_ITEM_TEXT) {
        return false;
    }
    size_t pieces = lineFeeds + length / (REWRITE_LINE_LIMIT - 1) + 1;
    return Reserve(&items->items, &items->itemCapacity, pieces) &&
           Reserve(&items->events, &items->eventCapacity, pieces);
}

bool AddLineItem(LineItems* items, LineItemKind kind, size_t offset, size_t length) {
    // Item numbers are 32-bit: a list of more pieces cannot be held.
    if (items->itemCount >= items->itemCapacity || items->itemCount >= NO_ITEM) {
        return false;
    }
    items->items[items->itemCount++] =
        LineItem{static_cast<uint32_t>(offset), NO_ITEM, static_cast<uint8_t>(length), kind, false};
    return true;
}

bool AddEventItem(LineItems* items, size_t offset, size_t length, const EventRecord& reading,
                  uint32_t speedLine) {
    if (items->eventCount >= items->eventCapacity ||
        !AddLineItem(items, ITEM_EVENT, offset, length)) {
        return false;
    }
    items->items[items->itemCount - 1].event = static_cast<uint32_t>(items->eventCount);
    LineEvent& event = items->events[items->eventCount++];
    event.reading = reading;
    event.speedLine = speedLine;
    if (!IsPlainReelWord(items->text + offset + reading.reel.start, reading.reel.length)) {
        ++items->unplainReels;
    }
    return true;
}

void ReleaseLineItems(LineItems* items) {
    EngineFree(items->items);
    EngineFree(items->events);
    *items = LineItems{};
}
