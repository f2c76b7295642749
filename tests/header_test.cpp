// Format recognition and header extraction: CMX and unknown layouts, the first event line,
// the title, reel and block lines, and the header notes of the rewrite stream.
#include "engine.h"
#include "test_util.h"

namespace {

const char EVENT[] =
    "001  001    V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n";

LineStream StreamOf(const Bytes& text) {
    LineStream stream{};
    EXPECT_TRUE(StreamWrite(&stream, text.data(), text.size()));
    return stream;
}

struct Recognised {
    bool cmx = false;
    bool found = false;
    size_t eventStart = 0;
    HeaderFields fields{};
    Bytes rewrite;
};

// Runs the recognition stages in their order on an already decoded text.
Recognised Recognise(const Bytes& decodedText) {
    Recognised result;
    LineStream decoded = StreamOf(decodedText);
    LinePiece piece;
    result.cmx = DetectCmx(&decoded, &piece);
    result.found = !result.cmx && FindEventStart(&decoded, &piece, &result.eventStart);
    if (result.found) {
        ExtractHeaderFields(&decoded, result.eventStart, &piece, &result.fields);
        LineStream rewrite{};
        BuildRewriteStream(&decoded, result.eventStart, &piece, &rewrite);
        result.rewrite.assign(reinterpret_cast<const char*>(rewrite.data.bytes),
                              rewrite.data.length);
        StreamRelease(&rewrite);
    }
    StreamRelease(&decoded);
    return result;
}

TEST(LinePieces, LongLinesArriveInPiecesOfLimitMinusOne) {
    Bytes line(300, 'x');
    line += "\r\n";
    LineStream stream = StreamOf(line + "ab\n");
    LinePiece piece;
    std::vector<size_t> lengths;
    while (ReadLinePiece(&stream, 138, &piece)) {
        lengths.push_back(piece.length);
    }
    EXPECT_EQ((std::vector<size_t>{137, 137, 28, 3}), lengths);
    stream.position = 0;
    ASSERT_TRUE(ReadLinePiece(&stream, 256, &piece));
    EXPECT_EQ(255u, piece.length);
    StreamRelease(&stream);
}

TEST(LinePieces, BytesPastTheEndOfAShortPieceAreZero) {
    LineStream stream = StreamOf(Bytes(100, 'x') + "\r\nab\r\n");
    LinePiece piece;
    ASSERT_TRUE(ReadLinePiece(&stream, 160, &piece));
    ASSERT_TRUE(ReadLinePiece(&stream, 160, &piece));
    EXPECT_EQ(4u, piece.length);
    for (size_t k = 4; k < PIECE_BUFFER_SIZE; ++k) {
        ASSERT_EQ(0, piece.bytes[k]) << "byte " << k;
    }
    StreamRelease(&stream);
}

TEST(Recognition, CmxOnlyAtTheStartOfOneOfTheFirstTenPieces) {
    Bytes nine;
    for (int k = 0; k < 9; ++k) {
        nine += "NOTE\r\n";
    }
    EXPECT_TRUE(Recognise("FCM: NON-DROP FRAME\r\n" + Bytes(EVENT)).cmx);
    EXPECT_TRUE(Recognise(nine + "FCM: DROP\r\n" + EVENT).cmx) << "tenth piece";
    Recognised eleventh = Recognise(nine + "NOTE\r\nFCM: DROP\r\n" + EVENT);
    EXPECT_FALSE(eleventh.cmx) << "eleventh piece";
    EXPECT_TRUE(eleventh.found);
    EXPECT_FALSE(Recognise(" FCM: DROP\r\n" + Bytes(EVENT)).cmx) << "after a leading blank";
    EXPECT_FALSE(Recognise("FCM:DROP\r\n" + Bytes(EVENT)).cmx) << "without the blank";
    // A long first line counts as several pieces of 137 bytes.
    Bytes longLine = Bytes(137 * 10, 'x') + "\r\n";
    EXPECT_FALSE(Recognise(longLine + "FCM: X\r\n" + EVENT).cmx);
}

TEST(Recognition, TheFirstPieceWithTwelveSeparatorsIsTheFirstEventLine) {
    EXPECT_FALSE(Recognise("12:34:56:78 12:34:56:78 12:34:56:78 12:34:56\r\n").found) << "eleven";
    Recognised twelve = Recognise("A\r\n12:34:56:78 12:34:56:78 12:34:56:78 12,34:56.78\r\n");
    EXPECT_TRUE(twelve.found);
    EXPECT_EQ(3u, twelve.eventStart);
    Recognised dots = Recognise("TITLE\r\n............\r\nB\r\n");
    EXPECT_TRUE(dots.found) << "twelve dots count like any separators";
    EXPECT_EQ(7u, dots.eventStart);
    EXPECT_FALSE(Recognise("").found) << "an empty text has no event line";
}

TEST(Recognition, EventSearchReadsPiecesOf255Bytes) {
    // The separators stand in the second 255-byte piece of a long line: the event start is
    // that piece's first byte, inside the line.
    Bytes line = Bytes(255, 'x') + "::::::::::::\r\n";
    Recognised result = Recognise(line);
    ASSERT_TRUE(result.found);
    EXPECT_EQ(255u, result.eventStart);
}

struct HeaderVector {
    const char* rule;
    const char* header;
    const char* title;
    const char* reelLine;
    const char* blockLine;
    const char* notes;  // what the rewrite stream holds before the event line
};

const HeaderVector HEADER_VECTORS[] = {
    {"a file that starts with its event line has the defaults and no notes", "",
     "@EDL SONY BVE-9100", "MASTER RECORDER REEL MAST\r\n", "BLOCK 001\r\n", ""},
    {"the line just before the event line is not read for the header, but is a note", "MY SHOW\r\n",
     "@EDL SONY BVE-9100", "MASTER RECORDER REEL MAST\r\n", "BLOCK 001\r\n", "MY SHOW\r\n"},
    {"leading blanks are skipped and an @ is put before a title without one", "  MY SHOW\r\n\r\n",
     "@MY SHOW\r\n", "MASTER RECORDER REEL MAST\r\n", "BLOCK 001\r\n", ""},
    {"without the blanks the title is also a note line", "MY SHOW\r\n\r\n", "@MY SHOW\r\n",
     "MASTER RECORDER REEL MAST\r\n", "BLOCK 001\r\n", "MY SHOW\r\n"},
    {"a title with an @ is kept as it is and is no note", "@SHOW 12\r\n\r\n", "@SHOW 12\r\n",
     "MASTER RECORDER REEL MAST\r\n", "BLOCK 001\r\n", ""},
    {"leading 8-bit bytes are lost from the title", "\x93\xfa\x96\x7b SHOW\r\n\r\n",
     "@\x7b SHOW\r\n", "MASTER RECORDER REEL MAST\r\n", "BLOCK 001\r\n", ""},
    {"blank lines and lines of blanks give no title", "\r\n   \r\nT\r\n\r\n", "@T\r\n",
     "MASTER RECORDER REEL MAST\r\n", "BLOCK 001\r\n", "T\r\n"},
    {"the later block line wins; the reel line starts at MASTER",
     "T\r\nBLOCK 001\r\nXX MASTER RECORDER REEL 0012\r\nBLOCK 007\r\n\r\n", "@T\r\n",
     "MASTER RECORDER REEL 0012\r\n", "BLOCK 007\r\n", "T\r\n"},
    {"a piece with both phrases sets the reel line only",
     "T\r\nMASTER RECORDER REEL R1 BLOCK 9\r\n\r\n", "@T\r\n",
     "MASTER RECORDER REEL R1 BLOCK 9\r\n", "BLOCK 001\r\n", "T\r\n"},
    {"MASTER RECORDER without REEL is neither reel line nor note",
     "T\r\nMASTER RECORDER TAPE\r\n\r\n", "@T\r\n", "MASTER RECORDER REEL MAST\r\n",
     "BLOCK 001\r\n", "T\r\n"},
    {"note filter: headings, dashes, block lines and indented lines dropped",
     "T\r\nEDT REEL\r\n---- ----\r\nBLOCK 2\r\n  INDENT\r\n\x81\x40X\r\n~ok\r\n\r\n", "@T\r\n",
     "MASTER RECORDER REEL MAST\r\n", "BLOCK 2\r\n", "T\r\n~ok\r\n"},
    {"ten blanks keep a note even with EDT, dashes or BLOCK, but not with an @",
     "T\r\n          EDT ---- BLOCK\r\n          @X\r\n\r\n", "@T\r\n",
     "MASTER RECORDER REEL MAST\r\n", "BLOCK 001\r\n", "T\r\n          EDT ---- BLOCK\r\n"},
    {"a title longer than 42 bytes is kept whole",
     "A TITLE THAT IS MUCH LONGER THAN FORTY-TWO BYTES OF TEXT\r\n\r\n",
     "@A TITLE THAT IS MUCH LONGER THAN FORTY-TWO BYTES OF TEXT\r\n",
     "MASTER RECORDER REEL MAST\r\n", "BLOCK 001\r\n",
     "A TITLE THAT IS MUCH LONGER THAN FORTY-TWO BYTES OF TEXT\r\n"},
};

TEST(Header, TitleReelBlockAndNotes) {
    for (const HeaderVector& vector : HEADER_VECTORS) {
        Recognised result = Recognise(Bytes(vector.header) + EVENT);
        ASSERT_TRUE(result.found) << vector.rule;
        EXPECT_TRUE(SameBytes(vector.title, result.fields.title)) << vector.rule;
        EXPECT_TRUE(SameBytes(vector.reelLine, result.fields.reelLine)) << vector.rule;
        EXPECT_TRUE(SameBytes(vector.blockLine, result.fields.blockLine)) << vector.rule;
        EXPECT_TRUE(SameBytes(Bytes(vector.notes) + EVENT, result.rewrite)) << vector.rule;
    }
}

TEST(Header, LongReelTextIsKeptWhole) {
    Bytes reel = "MASTER RECORDER REEL " + Bytes(100, 'R') + "\r\n";
    Recognised result = Recognise("T\r\n" + reel + "\r\n" + EVENT);
    EXPECT_TRUE(SameBytes(reel, result.fields.reelLine));
}

TEST(Header, BodyPiecesWithSixHyphensAreDropped) {
    Bytes body = Bytes(EVENT) + "------ DASHES\r\n" + "----- FIVE\r\n" + "X------\r\n";
    // A line of 137 + 20 bytes: only its second piece holds the hyphens.
    Bytes longLine = Bytes(137, 'a') + "------" + Bytes(14, 'b') + "\r\n";
    Recognised result = Recognise(body + longLine);
    EXPECT_TRUE(SameBytes(Bytes(EVENT) + "----- FIVE\r\n" + Bytes(137, 'a'), result.rewrite));
}

TEST(Header, AnEventStartInsideALongLineSplitsIt) {
    // The event start falls inside the line, at byte 255; the 137-byte pieces that end past
    // it are not notes, and the body starts at the event start.
    Bytes line = "HEAD" + Bytes(251, 'x') + "::::::::::::\r\n";
    Recognised result = Recognise(line);
    ASSERT_TRUE(result.found);
    EXPECT_TRUE(SameBytes("HEAD" + Bytes(133, 'x') + "::::::::::::\r\n", result.rewrite));
}

}  // namespace
