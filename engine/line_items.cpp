#include "line_items.h"

namespace {

// Grows `*array` (of `*capacity` elements of `size` bytes) to hold one more; false when
// memory runs out.
bool MakeRoom(void** array, size_t* capacity, size_t count, size_t size) {
    if (count < *capacity) {
        return true;
    }
    size_t grown = *capacity < 1024 ? 1024 : *capacity * 2;
    void* bigger = EngineRealloc(*array, grown * size);
    if (bigger == nullptr) {
        return false;
    }
    *array = bigger;
    *capacity = grown;
    return true;
}

}  // namespace

bool AddLineItem(LineItems* items, LineItemKind kind, size_t offset, size_t length) {
    if (items->itemCount >= NO_ITEM) {
        return false;  // item numbers are 32-bit: a list this long cannot be held
    }
    void* array = items->items;
    if (!MakeRoom(&array, &items->itemCapacity, items->itemCount, sizeof(LineItem))) {
        return false;
    }
    items->items = static_cast<LineItem*>(array);
    items->items[items->itemCount++] =
        LineItem{offset, NO_ITEM, static_cast<uint8_t>(length), kind, false};
    return true;
}

bool AddEventItem(LineItems* items, size_t offset, size_t length, const EventRecord& reading,
                  uint32_t speedLine) {
    void* array = items->events;
    if (!MakeRoom(&array, &items->eventCapacity, items->eventCount, sizeof(LineEvent))) {
        return false;
    }
    items->events = static_cast<LineEvent*>(array);
    if (!AddLineItem(items, ITEM_EVENT, offset, length)) {
        return false;
    }
    items->items[items->itemCount - 1].event = static_cast<uint32_t>(items->eventCount);
    items->events[items->eventCount++] = LineEvent{reading, speedLine};
    return true;
}

EventLine ItemLine(const LineItems& items, const LineItem& item) {
    return EventLine{items.text + item.offset, item.length};
}

void ReleaseLineItems(LineItems* items) {
    EngineFree(items->items);
    EngineFree(items->events);
    *items = LineItems{};
}
