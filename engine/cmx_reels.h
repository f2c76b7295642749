// Reel names of the CMX export. The parsers that read speed lines need a reel of word
// characters, at most eight of them; a reel word of the list that is not one is renamed
// through the reel table, whose entries the export lists as comments.
#pragma once

#include <cstddef>
#include <cstdint>

#include "line_items.h"
#include "timecode.h"

constexpr size_t CMX_REEL_WIDTH = 8;
constexpr size_t CMX_REEL_NAME_SIZE = CMX_REEL_WIDTH + 1;

constexpr char CMX_BLACK_REEL[] = "BL";
// The reel of an event line whose reel word is empty (a CR right after the event number): the
// auxiliary source.
constexpr char CMX_NO_REEL[] = "AX";

enum CmxReelKind {
    CMX_REEL_KEPT,     // [A-Z0-9_]{1,8}, other than black: written as it is
    CMX_REEL_BLACK,    // BL, BLK or BLACK in any letter case: written as BL
    CMX_REEL_EMPTY,    // no reel word: written as AX
    CMX_REEL_RENAMED,  // anything else: a name from the reel table
};

CmxReelKind ClassifyCmxReel(const uint8_t* word, size_t length);

// A reel word renamed, and its new name.
struct CmxRenamedReel {
    char name[CMX_REEL_NAME_SIZE];
    const uint8_t* original;
    size_t originalLength;
};

// The reel table: every reel word kept as it is, so that no new name takes one of them, and
// the new name of each word that is renamed, in the order the words first appear.
struct CmxReelTable {
    struct Slot {
        const uint8_t* key;  // null: an empty slot
        size_t length;
        uint32_t value;  // in `renamed`: the index of the new name
    };
    Slot* taken;            // names in use: kept reel words and new names
    Slot* renamed;          // original words, to their new names
    size_t slotCount;       // of each: a power of two, more than twice the entries it may hold
    CmxRenamedReel* reels;  // the new names, in the order the words first appear
    size_t reelCount;
    size_t reelCapacity;
};

// Makes room for `reelCount` reel words. False when memory runs out.
bool StartCmxReelTable(CmxReelTable* table, size_t reelCount);
void ReleaseCmxReelTable(CmxReelTable* table);

// A reel word kept as it is: no new name may take it.
void ReserveCmxReel(CmxReelTable* table, const uint8_t* word, size_t length);

// The new name of a word to be renamed: the one it already has, or a new one made of its
// letters, digits and underscores (upper case, at most eight, "REEL" when none remain) and
// made unique with "_2", "_3"... Returns the name's index in `reels`, or
// UINT32_MAX when the table is full (never: it is made for every reel word).
uint32_t RenameCmxReel(CmxReelTable* table, const uint8_t* word, size_t length);

// Names the reels of the events the export holds at `rate`, before any event is written, so
// that the reel table is known up front: every reel word kept as it is is reserved, then each
// word to be renamed gets its name, in the order the words first appear. No table is made when
// no reel is renamed. False when memory runs out.
bool NameCmxReels(const LineItems& items, FrameRate rate, CmxReelTable* table);

// The reel an event the export holds is written with: its word as it is, black, the auxiliary
// source for no word, or its name from the table NameCmxReels made.
void CmxReelName(CmxReelTable* table, const EventLine& line, const EventRecord& record,
                 char (&name)[CMX_REEL_NAME_SIZE]);
