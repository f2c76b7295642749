#include "cmx_reels.h"

#include <cstring>
#include <initializer_list>

#include "cmx_events.h"
#include "memory.h"

namespace {

constexpr char FALLBACK_NAME[] = "REEL";
constexpr uint32_t TABLE_FULL = UINT32_MAX;

bool IsReelCharacter(uint8_t byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || byte == '_';
}

uint8_t UpperCase(uint8_t byte) {
    return byte >= 'a' && byte <= 'z' ? static_cast<uint8_t>(byte - 'a' + 'A') : byte;
}

bool EqualsIgnoringCase(const uint8_t* word, size_t length, const char* text) {
    if (length != std::strlen(text)) {
        return false;
    }
    for (size_t k = 0; k < length; ++k) {
        if (UpperCase(word[k]) != static_cast<uint8_t>(text[k])) {
            return false;
        }
    }
    return true;
}

bool IsShiftJisLead(uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// FNV-1a.
size_t HashOf(const uint8_t* key, size_t length) {
    uint64_t hash = 14695981039346656037ull;
    for (size_t k = 0; k < length; ++k) {
        hash = (hash ^ key[k]) * 1099511628211ull;
    }
    return static_cast<size_t>(hash ^ (hash >> 32));
}

// The slot that holds `key`, or the empty slot where it would go.
CmxReelTable::Slot* SlotFor(CmxReelTable::Slot* slots, size_t slotCount, const uint8_t* key,
                            size_t length) {
    size_t at = HashOf(key, length) & (slotCount - 1);
    while (slots[at].key != nullptr &&
           !(slots[at].length == length && std::memcmp(slots[at].key, key, length) == 0)) {
        at = (at + 1) & (slotCount - 1);
    }
    return &slots[at];
}

bool IsTaken(const CmxReelTable& table, const char* name) {
    const auto* key = reinterpret_cast<const uint8_t*>(name);
    return SlotFor(table.taken, table.slotCount, key, std::strlen(name))->key != nullptr;
}

void Take(CmxReelTable* table, const uint8_t* key, size_t length) {
    CmxReelTable::Slot* slot = SlotFor(table->taken, table->slotCount, key, length);
    if (slot->key == nullptr) {
        *slot = CmxReelTable::Slot{key, length, 0};
    }
}

// The word's letters (in upper case), digits and underscores, other ASCII characters as
// underscores, at most eight; Japanese characters leave nothing.
void BaseName(const uint8_t* word, size_t length, char* base) {
    size_t used = 0;
    for (size_t k = 0; k < length && used < CMX_REEL_WIDTH; ++k) {
        uint8_t byte = UpperCase(word[k]);
        if (IsShiftJisLead(byte)) {
            ++k;  // and its second byte
        } else if (IsReelCharacter(byte)) {
            base[used++] = static_cast<char>(byte);
        } else if (byte > 0x20 && byte < 0x7F) {
            base[used++] = '_';
        }
    }
    base[used] = 0;
    bool onlyUnderscores = true;
    for (size_t k = 0; k < used; ++k) {
        onlyUnderscores = onlyUnderscores && base[k] == '_';
    }
    if (onlyUnderscores) {
        std::memcpy(base, FALLBACK_NAME, sizeof FALLBACK_NAME);
    }
}

// `base` cut short enough for "_" and the number, then "_" and the number.
void NumberedName(const char* base, uint32_t number, char* name) {
    char digits[12];
    size_t digitCount = 0;
    for (uint32_t left = number; left > 0; left /= 10) {
        digits[digitCount++] = static_cast<char>('0' + left % 10);
    }
    size_t kept = std::strlen(base);
    if (kept > CMX_REEL_WIDTH - 1 - digitCount) {
        kept = CMX_REEL_WIDTH - 1 - digitCount;
    }
    std::memcpy(name, base, kept);
    name[kept] = '_';
    for (size_t k = 0; k < digitCount; ++k) {
        name[kept + 1 + k] = digits[digitCount - 1 - k];
    }
    name[kept + 1 + digitCount] = 0;
}

// The base name, or the first free of "_2", "_3"... after it. The base's own slot keeps the
// number to try next, so that many words of one base do not each try every number again.
void UniqueName(CmxReelTable* table, const char* base, char* name) {
    const auto* key = reinterpret_cast<const uint8_t*>(base);
    CmxReelTable::Slot* baseSlot = SlotFor(table->taken, table->slotCount, key, std::strlen(base));
    std::memcpy(name, base, std::strlen(base) + 1);
    if (baseSlot->key == nullptr) {
        return;
    }
    uint32_t number = baseSlot->value < 2 ? 2 : baseSlot->value;
    for (NumberedName(base, number, name); IsTaken(*table, name); ++number) {
        NumberedName(base, number + 1, name);
    }
    baseSlot->value = number + 1;
}

size_t SlotCountFor(size_t entries) {
    size_t count = 16;
    while (count < SIZE_MAX / 4 && count <= 2 * entries) {
        count *= 2;
    }
    return count;
}

}  // namespace

CmxReelKind ClassifyCmxReel(const uint8_t* word, size_t length) {
    if (length == 0) {
        return CMX_REEL_EMPTY;
    }
    // Black is looked for only in a word that starts with its letter.
    if (UpperCase(word[0]) == 'B' &&
        (EqualsIgnoringCase(word, length, "BL") || EqualsIgnoringCase(word, length, "BLK") ||
         EqualsIgnoringCase(word, length, "BLACK"))) {
        return CMX_REEL_BLACK;
    }
    if (length > CMX_REEL_WIDTH) {
        return CMX_REEL_RENAMED;
    }
    for (size_t k = 0; k < length; ++k) {
        if (!IsReelCharacter(word[k])) {
            return CMX_REEL_RENAMED;
        }
    }
    return CMX_REEL_KEPT;
}

bool StartCmxReelTable(CmxReelTable* table, size_t reelCount) {
    *table = CmxReelTable{};
    // The names in use: every kept word and every new name, and the two written for black
    // and for no reel.
    size_t entries = reelCount + 2;
    table->slotCount = SlotCountFor(entries);
    size_t slotBytes = table->slotCount * sizeof(CmxReelTable::Slot);
    table->taken = static_cast<CmxReelTable::Slot*>(EngineAlloc(slotBytes));
    table->renamed = static_cast<CmxReelTable::Slot*>(EngineAlloc(slotBytes));
    table->reels = static_cast<CmxRenamedReel*>(EngineAlloc(entries * sizeof(CmxRenamedReel)));
    table->reelCapacity = entries;
    if (table->taken == nullptr || table->renamed == nullptr || table->reels == nullptr) {
        ReleaseCmxReelTable(table);
        return false;
    }
    ReserveCmxReel(table, reinterpret_cast<const uint8_t*>(CMX_BLACK_REEL),
                   sizeof CMX_BLACK_REEL - 1);
    ReserveCmxReel(table, reinterpret_cast<const uint8_t*>(CMX_NO_REEL), sizeof CMX_NO_REEL - 1);
    return true;
}

void ReleaseCmxReelTable(CmxReelTable* table) {
    EngineFree(table->taken);
    EngineFree(table->renamed);
    EngineFree(table->reels);
    *table = CmxReelTable{};
}

void ReserveCmxReel(CmxReelTable* table, const uint8_t* word, size_t length) {
    Take(table, word, length);
}

uint32_t RenameCmxReel(CmxReelTable* table, const uint8_t* word, size_t length) {
    CmxReelTable::Slot* slot = SlotFor(table->renamed, table->slotCount, word, length);
    if (slot->key != nullptr) {
        return slot->value;
    }
    if (table->reelCount == table->reelCapacity) {
        return TABLE_FULL;  // never reached: the table was made for every reel word
    }
    CmxRenamedReel& reel = table->reels[table->reelCount];
    char base[CMX_REEL_NAME_SIZE];
    BaseName(word, length, base);
    UniqueName(table, base, reel.name);
    reel.original = word;
    reel.originalLength = length;
    Take(table, reinterpret_cast<const uint8_t*>(reel.name), std::strlen(reel.name));
    *slot = CmxReelTable::Slot{word, length, static_cast<uint32_t>(table->reelCount)};
    return static_cast<uint32_t>(table->reelCount++);
}

namespace {

const uint8_t* ReelWord(const EventLine& line, const EventRecord& record) {
    return line.bytes + record.reel.start;
}

}  // namespace

bool NameCmxReels(const LineItems& items, FrameRate rate, CmxReelTable* table) {
    *table = CmxReelTable{};
    // Most lists rename no reel: all their words are plain, and they are not looked at again.
    if (items.unplainReels == 0) {
        return true;
    }
    bool renaming = false;
    for (size_t k = 0; k < items.itemCount && !renaming; ++k) {
        const LineItem& item = items.items[k];
        if (item.kind == ITEM_EVENT) {
            const EventRecord& record = items.events[item.event].reading;
            renaming = ClassifyCmxReel(ReelWord(ItemLine(items, item), record),
                                       record.reel.length) == CMX_REEL_RENAMED &&
                       ReadCmxEvent(items, item, rate).held;
        }
    }
    if (!renaming) {
        return true;
    }
    size_t held = 0;
    for (size_t k = 0; k < items.itemCount; ++k) {
        const LineItem& item = items.items[k];
        held += item.kind == ITEM_EVENT && ReadCmxEvent(items, item, rate).held ? 1u : 0u;
    }
    if (!StartCmxReelTable(table, held)) {
        return false;
    }
    // Kept words first, then the new names, so that no new name takes a kept word.
    for (CmxReelKind pass : {CMX_REEL_KEPT, CMX_REEL_RENAMED}) {
        for (size_t k = 0; k < items.itemCount; ++k) {
            const LineItem& item = items.items[k];
            if (item.kind != ITEM_EVENT || !ReadCmxEvent(items, item, rate).held) {
                continue;
            }
            const EventRecord& record = items.events[item.event].reading;
            const uint8_t* word = ReelWord(ItemLine(items, item), record);
            if (ClassifyCmxReel(word, record.reel.length) != pass) {
                continue;
            }
            if (pass == CMX_REEL_KEPT) {
                ReserveCmxReel(table, word, record.reel.length);
            } else {
                RenameCmxReel(table, word, record.reel.length);
            }
        }
    }
    return true;
}

void CmxReelName(CmxReelTable* table, const EventLine& line, const EventRecord& record,
                 char (&name)[CMX_REEL_NAME_SIZE]) {
    const uint8_t* word = ReelWord(line, record);
    const char* fixed = CMX_NO_REEL;
    switch (ClassifyCmxReel(word, record.reel.length)) {
        case CMX_REEL_KEPT:
            std::memcpy(name, word, record.reel.length);
            name[record.reel.length] = 0;
            return;
        case CMX_REEL_BLACK:
            fixed = CMX_BLACK_REEL;
            break;
        case CMX_REEL_EMPTY:
            break;
        case CMX_REEL_RENAMED: {
            uint32_t index = table->taken != nullptr
                                 ? RenameCmxReel(table, word, record.reel.length)
                                 : UINT32_MAX;
            if (index != UINT32_MAX) {
                std::memcpy(name, table->reels[index].name, CMX_REEL_NAME_SIZE);
                return;
            }
            break;  // never: every held event's word was named
        }
    }
    std::memcpy(name, fixed, std::strlen(fixed) + 1);
}
