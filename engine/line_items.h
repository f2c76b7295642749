// What the line loop handled, kept for the writers that come after it: one item per piece of
// the rewrite stream, in order, with its kind and where its bytes are, and for each event line
// its reading with the DM speed line whose record it took. The CMX export (and every list
// written beside it) is a second pass over these items: it reads nothing else of the list.
#pragma once

#include <cstddef>
#include <cstdint>

#include "event_record.h"
#include "memory.h"

enum LineItemKind : uint8_t {
    ITEM_HEADER_NOTE,      // a note of the header that the repaired list keeps
    ITEM_NOTE,             // a note of the body that the repaired list keeps
    ITEM_DM_LINE,          // a kept note that made a DM speed record
    ITEM_DROPPED_NOTE,     // a note the repaired list leaves out (too short, or one it writes)
    ITEM_INTERNAL_DATA,    // an internal data line
    ITEM_MALFORMED_EVENT,  // an event number of 1 or of 5 and more digits: left out
    ITEM_EVENT,            // an event line; its reading is in `events`
};

// No item: an event that took no DM speed record.
constexpr uint32_t NO_ITEM = UINT32_MAX;

// Offsets are 32-bit, as item numbers are: the items of a rewrite stream longer than this
// cannot be held (a list of gigabytes, far beyond any edit controller's).
constexpr size_t LONGEST_ITEM_TEXT = UINT32_MAX;

struct LineItem {
    uint32_t offset;  // where the piece starts in the rewrite stream
    uint32_t event;   // ITEM_EVENT: its index in `events`
    uint8_t length;
    LineItemKind kind;
    // ITEM_DM_LINE: an event line took its record (so the line belongs after that event).
    bool speedTaken;
};

struct LineEvent {
    EventRecord reading;
    // The ITEM_DM_LINE whose record gave the line its speed mark (or matched it, when the line
    // keeps a "DM" of its own), or NO_ITEM. A DM line is given to one event line at most.
    uint32_t speedLine;
};

struct LineItems {
    const uint8_t* text;  // the rewrite stream's bytes, which the offsets point into
    LineItem* items;
    size_t itemCount;
    size_t itemCapacity;
    LineEvent* events;
    size_t eventCount;
    size_t eventCapacity;
    // Event lines whose reel word is not a plain tape name (1 to 8 of "A"-"Z", "0"-"9" and
    // "_"): when there is none, no writer need look at the reel words for a new name.
    size_t unplainReels;
};

// Makes room for the items of a rewrite stream of `length` bytes holding `lineFeeds` line feeds:
// a piece ends at a line feed or after 159 bytes, so there are at most `lineFeeds` + `length` /
// 159 + 1 of them. The arrays are made once, with large pages where they are large. False when
// memory runs out, or the stream is longer than LONGEST_ITEM_TEXT.
bool ReserveLineItems(LineItems* items, size_t length, size_t lineFeeds);

// Appends an item of a piece; for ITEM_EVENT also its reading. False when the reservation holds
// no more.
bool AddLineItem(LineItems* items, LineItemKind kind, size_t offset, size_t length);
bool AddEventItem(LineItems* items, size_t offset, size_t length, const EventRecord& reading,
                  uint32_t speedLine);

// The bytes of an item, as a line of the rules.
inline EventLine ItemLine(const LineItems& items, const LineItem& item) {
    return EventLine{items.text + item.offset, item.length};
}

void ReleaseLineItems(LineItems* items);
