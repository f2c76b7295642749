// How the CMX export holds each event line of a list: as an event, when its four timecodes are
// valid at the export's rate and its record out does not come before its record in, or else as
// a comment; with its dissolve, its BVE event number and the text of its channels. The export
// and every list written beside it take their events from here, so they never disagree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "cmx_reels.h"
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

// Room for the text of a transition (CmxTransitionText): a word and a piece of the list.
constexpr size_t CMX_TRANSITION_TEXT_SIZE = 192;

// What the transition of a held event says beyond a cut or a dissolve of 1 to 999 frames, which
// the export writes as a cut: "WIPE 1001 01:00" (a wipe's pattern number is a switcher's, not a
// SMPTE wipe code), "KEY KB 002", "TRANSITION X 12", "TRANSITION C -12", "TRANSITION D 1200".
// Writes the text, terminated, into `text`; returns its length, 0 when there is none.
size_t CmxTransitionText(const EventLine& line, const EventRecord& record, int dissolveFrames,
                         char (&text)[CMX_TRANSITION_TEXT_SIZE]);

// The shots written so far, by channel: where a dissolve comes from.
struct CmxShot {
    bool present;
    uint64_t order;
    char reel[CMX_REEL_NAME_SIZE];
    Timecode sourceOut;
    uint32_t tag;  // the writer's own mark of the shot
};

// Video and audio 1 to 4.
constexpr int CMX_SHOT_CHANNELS = 5;

struct CmxShots {
    CmxShot channels[CMX_SHOT_CHANNELS];
    CmxShot last;
    uint64_t written;
};

// Where a dissolve on `channels` comes from: the latest shot on one of them; for a dissolve
// without channels, the latest shot of all; a shot not present (black) when there is none.
inline const CmxShot& OutgoingCmxShot(const CmxShots& shots, uint8_t channels) {
    static constexpr CmxShot NO_SHOT{};
    if (channels == 0) {
        return shots.last;
    }
    const CmxShot* latest = &NO_SHOT;
    for (int k = 0; k < CMX_SHOT_CHANNELS; ++k) {
        const CmxShot& shot = shots.channels[k];
        if ((channels & (1u << k)) != 0 && shot.present && shot.order > latest->order) {
            latest = &shot;
        }
    }
    return *latest;
}

// A shot written on `channels`.
inline void RememberCmxShot(CmxShots* shots, const char* reel, uint8_t channels,
                            const Timecode& sourceOut, uint32_t tag) {
    CmxShot shot{true, ++shots->written, {}, sourceOut, tag};
    std::memcpy(shot.reel, reel, CMX_REEL_NAME_SIZE);
    for (int k = 0; k < CMX_SHOT_CHANNELS; ++k) {
        if ((channels & (1u << k)) != 0) {
            shots->channels[k] = shot;
        }
    }
    shots->last = shot;
}

// The channel field of the event line for V, A1 and A2 ("V", "AA/V", "NONE" for none of them);
// A3 and A4 go on an AUD line.
const char* CmxChannelText(uint8_t channels);
