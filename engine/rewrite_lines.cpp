#include "rewrite_lines.h"

#include <cstring>

#include "dissolve.h"
#include "dm_speed.h"
#include "event_line.h"
#include "note_line.h"

LineKind ClassifyLine(const LinePiece& piece) {
    size_t start = 0;
    while (start < piece.length && piece.bytes[start] == ' ') {
        ++start;
    }
    if (start == piece.length || !IsDigit(piece.bytes[start])) {
        return LINE_NOTE;
    }
    int separators = CountTimecodeSeparators(piece.bytes, piece.length);
    if (separators != 12 && separators != 13) {
        return LINE_INTERNAL_DATA;
    }
    size_t digits = 0;
    while (start + digits < piece.length && IsDigit(piece.bytes[start + digits])) {
        ++digits;
    }
    return digits < 2 || digits > 4 ? LINE_MALFORMED_EVENT : LINE_EVENT;
}

namespace {

// The loop's own state for the items: the item of the DM line that made each record held.
struct ItemState {
    size_t offset;  // of the piece in hand
    uint32_t recordLines[MAX_DM_RECORDS];
};

bool HandleNote(const LineLoop& loop, ItemState* items) {
    int recordsBefore = loop.state->dmRecordCount;
    bool kept = false;
    if (!HandleNoteLine(*loop.piece, loop.text, loop.state, &kept)) {
        return false;
    }
    if (loop.items == nullptr) {
        return true;
    }
    LineItemKind kind = !kept                                       ? ITEM_DROPPED_NOTE
                        : loop.state->dmRecordCount > recordsBefore ? ITEM_DM_LINE
                        : items->offset < loop.headerLength         ? ITEM_HEADER_NOTE
                                                                    : ITEM_NOTE;
    if (kind == ITEM_DM_LINE) {
        items->recordLines[recordsBefore] = static_cast<uint32_t>(loop.items->itemCount);
    }
    return AddLineItem(loop.items, kind, items->offset, loop.piece->length);
}

// The DM speed line an event line took: the line of the record it matched, unless an earlier
// event line took that line already.
uint32_t TakeSpeedLine(const LineLoop& loop, const ItemState& items, const EventRecord& record) {
    if (record.dmRecord < 0 || record.dmRecord >= MAX_DM_RECORDS) {
        return NO_ITEM;
    }
    uint32_t line = items.recordLines[record.dmRecord];
    if (line == NO_ITEM || loop.items->items[line].speedTaken) {
        return NO_ITEM;
    }
    loop.items->items[line].speedTaken = true;
    return line;
}

bool HandleEvent(const LineLoop& loop, ItemState* items) {
    EventRecord record;
    ReadEventLine(*loop.piece, &record);
    ApplyDmSpeed(EventLineOf(*loop.piece), loop.state, &record);
    if (!WriteRepairedEventLine(*loop.piece, record, loop.text, loop.state)) {
        return false;
    }
    return loop.items == nullptr || AddEventItem(loop.items, items->offset, loop.piece->length,
                                                 record, TakeSpeedLine(loop, *items, record));
}

bool HandlePiece(const LineLoop& loop, ItemState* items) {
    const LinePiece& piece = *loop.piece;
    switch (ClassifyLine(piece)) {
        case LINE_NOTE:
            return HandleNote(loop, items);
        case LINE_INTERNAL_DATA:
            return HandleInternalDataLine(piece, loop.text, loop.options) &&
                   (loop.items == nullptr ||
                    AddLineItem(loop.items, ITEM_INTERNAL_DATA, items->offset, piece.length));
        case LINE_MALFORMED_EVENT:
            // An event number of 1 or of 5 or more digits: the line is left out.
            return loop.items == nullptr ||
                   AddLineItem(loop.items, ITEM_MALFORMED_EVENT, items->offset, piece.length);
        case LINE_EVENT:
            return HandleEvent(loop, items);
    }
    return true;
}

}  // namespace

// The line feeds of the stream: what the items are reserved for.
size_t CountLineFeeds(const ByteBuffer& text) {
    size_t count = 0;
    const uint8_t* end = text.bytes + text.length;
    for (const uint8_t* at = text.bytes; at < end; ++count, ++at) {
        at = static_cast<const uint8_t*>(std::memchr(at, '\n', static_cast<size_t>(end - at)));
        if (at == nullptr) {
            break;
        }
    }
    return count;
}

bool RewriteLines(const LineLoop& loop) {
    ItemState items{0, {NO_ITEM, NO_ITEM}};
    if (loop.items != nullptr) {
        const ByteBuffer& text = loop.rewrite->data;
        loop.items->text = text.bytes;
        if (!ReserveLineItems(loop.items, text.length, CountLineFeeds(text))) {
            return false;
        }
    }
    loop.rewrite->position = 0;
    while (ReadLinePiece(loop.rewrite, REWRITE_LINE_LIMIT, loop.piece)) {
        items.offset = loop.rewrite->position - loop.piece->length;
        if (!HandlePiece(loop, &items)) {
            return false;
        }
    }
    return FlushDissolveEffects(loop.text, loop.state);
}
