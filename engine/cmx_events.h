// How the CMX export holds each event line of a list: as an event, when its four timecodes are
// valid at the export's rate and its record out does not come before its record in, or else as
// a comment; with its dissolve, its BVE event number and the text of its channels. The export
// and every list written beside it take their events from here, so they never disagree.
#pragma once

#include <cstddef>
#include <cstdint>

#include "line_items.h"
#include "timecode.h"

// The longest dissolve a CMX event line holds, in frames.
constexpr int CMX_LONGEST_DISSOLVE = 999;

struct CmxEvent {
    bool held;              // written as an event; else kept as a comment
    Timecode timecodes[4];  // source in and out, record in and out (when held)
    int dissolveFrames;     // a dissolve written as one: its length, 1 to 999; else 0
    uint32_t bveNumber;     // the value of the line's leading digits
};

// Reads the event line of an ITEM_EVENT item at `rate`.
CmxEvent ReadCmxEvent(const LineItems& items, const LineItem& item, FrameRate rate);

// The value of the leading digits (after blanks) of a line, at most nine of them.
uint32_t BveEventNumber(const uint8_t* text, size_t length);

// The channel field of the event line for V, A1 and A2 ("V", "AA/V", "NONE" for none of them);
// A3 and A4 go on an AUD line.
const char* CmxChannelText(uint8_t channels);
