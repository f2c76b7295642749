// The line items: what the line loop records of every piece for the writers that come after it.
#include "engine.h"
#include "test_util.h"

namespace {

const Bytes TIMECODES = "00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00";
const Bytes DM_TIMECODES = "10:10:05.00 10:10:08.00 01:00:03:00 01:00:06:00";

struct Recorded {
    std::vector<LineItemKind> kinds;
    std::vector<Bytes> pieces;         // each item's bytes
    std::vector<uint32_t> speedLines;  // each event's
    std::vector<bool> speedTaken;      // each item's
};

// Runs the loop over a rewrite stream whose first `headerLength` bytes came from the header.
Recorded Record(const Bytes& stream, size_t headerLength) {
    LineStream rewrite{};
    EXPECT_TRUE(StreamWrite(&rewrite, stream.data(), stream.size()));
    ByteBuffer text{};
    LineState state{};
    LinePiece piece;
    LineItems items{};
    EXPECT_TRUE(RewriteLines(LineLoop{&rewrite, headerLength, &text, 0, &state, &piece, &items}));
    Recorded recorded;
    for (size_t k = 0; k < items.itemCount; ++k) {
        const LineItem& item = items.items[k];
        recorded.kinds.push_back(item.kind);
        recorded.pieces.push_back(stream.substr(item.offset, item.length));
        recorded.speedTaken.push_back(item.speedTaken);
        if (item.kind == ITEM_EVENT) {
            recorded.speedLines.push_back(items.events[item.event].speedLine);
        }
    }
    ReleaseLineItems(&items);
    BufferRelease(&text);
    StreamRelease(&rewrite);
    return recorded;
}

TEST(LineItems, EveryPieceInOrderWithItsKind) {
    const Bytes longNote = "* " + Bytes(200, 'N') + "\r\n";  // two pieces
    const struct {
        Bytes piece;
        LineItemKind kind;
    } pieces[] = {
        {"  PROGRAM OPENING\r\n", ITEM_HEADER_NOTE},
        {"001  001    V     C        " + TIMECODES + "\r\n", ITEM_EVENT},
        {"* FROM CLIP NAME: A\r\n", ITEM_NOTE},
        {"\r\n", ITEM_DROPPED_NOTE},
        {"* EFFECT NAME: WIPE\r\n", ITEM_DROPPED_NOTE},
        {"DM 002 Speed:+050 10:10:05.00\r\n", ITEM_DM_LINE},
        {"12 34 56 EDIT MEMORY\r\n", ITEM_INTERNAL_DATA},
        {"12345 001   V     C        " + TIMECODES + "\r\n", ITEM_MALFORMED_EVENT},
        {"002  002    V     C        " + DM_TIMECODES + "\r\n", ITEM_EVENT},
        {longNote.substr(0, 159), ITEM_NOTE},
        {longNote.substr(159), ITEM_NOTE},
    };
    Bytes stream;
    for (const auto& piece : pieces) {
        stream += piece.piece;
    }
    Recorded recorded = Record(stream, pieces[0].piece.size());
    ASSERT_EQ(std::size(pieces), recorded.kinds.size());
    for (size_t k = 0; k < std::size(pieces); ++k) {
        EXPECT_EQ(pieces[k].kind, recorded.kinds[k]) << k;
        EXPECT_TRUE(SameBytes(pieces[k].piece, recorded.pieces[k])) << k;
    }
    EXPECT_EQ((std::vector<uint32_t>{NO_ITEM, 5}), recorded.speedLines)
        << "the second event took the record of the DM line, item 5";
    EXPECT_TRUE(recorded.speedTaken[5]);
}

TEST(LineItems, ADmLineGoesToTheFirstEventThatTakesItsRecord) {
    // A third DM line makes no record but starts the matching again at the first record, which
    // the next event line matches once more: the line stays with the first event.
    const Bytes stream =
        "DM 002 Speed:+050 10:10:05.00\r\n"
        "DM 003 Speed:-025 20:00:00.00\r\n"
        "002  002    V     C        " +
        DM_TIMECODES +
        "\r\n"
        "DM 004 Speed:+999 30:00:00.00\r\n"
        "003  003    V     C        " +
        DM_TIMECODES + "\r\n";
    Recorded recorded = Record(stream, 0);
    EXPECT_EQ(
        (std::vector<LineItemKind>{ITEM_DM_LINE, ITEM_DM_LINE, ITEM_EVENT, ITEM_NOTE, ITEM_EVENT}),
        recorded.kinds);
    EXPECT_EQ((std::vector<uint32_t>{0, NO_ITEM}), recorded.speedLines);
}

}  // namespace
