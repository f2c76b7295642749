// Event lines: the classification of pieces, and the rewriting of an event line into the fixed
// column layout (event number, reel, mode, type, four timecodes, trailing marks).
#include <cstring>

#include "engine.h"
#include "event_line.h"
#include "test_util.h"

namespace {

const Bytes TIMECODES = "00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00";
// The head of a plain cut line, before and after: event 001 on reel 001, video.
const Bytes CUT_IN = "001  001    V     C        ";
const Bytes CUT_OUT = "0001 001    V     C             ";
// The same with an audio mark found in the remainder: "A" joins the mode.
const Bytes CUT_AUDIO_OUT = "0001 001    VA    C             ";
// Dotted timecodes hold no colon, so the first timecode position is the line's length and the
// mode search runs to the line's end: a letter there is read at the last bytes of the piece.
const Bytes DOTTED_IN = "12 00.00.00.00 00.00.05.00 01.00.00.00 01.00.05.00 ";
const Bytes DOTTED_OUT = "0012 00.00. ";
// Four empty timecode runs: three separators and the blank after the fourth.
const Bytes EMPTY_TIMECODES = "    ";

Bytes Blanks(size_t count) {
    return Bytes(count, ' ');
}

struct EventVector {
    const char* rule;
    Bytes piece;
    Bytes expected;
};

// What an earlier, longer piece might have left past the end of this one: digits, channel
// letters, a colon and a key letter.
constexpr char JUNK[] = "9999AV:B";

// Rewrites one piece into an empty output text with a zero line state; with `junk`, the piece
// buffer holds junk past the piece's end instead of zeros.
Bytes RewriteOne(const Bytes& bytes, bool junk) {
    LinePiece piece{};
    for (size_t k = 0; k < PIECE_BUFFER_SIZE; ++k) {
        piece.bytes[k] = junk ? static_cast<uint8_t>(JUNK[k % 8]) : 0;
    }
    std::memcpy(piece.bytes, bytes.data(), bytes.size());
    piece.length = bytes.size();
    ByteBuffer text{};
    LineState state{};
    EXPECT_TRUE(RewriteEventLine(piece, &text, &state));
    Bytes out(reinterpret_cast<const char*>(text.bytes), text.length);
    BufferRelease(&text);
    return out;
}

LineKind KindOf(const Bytes& bytes) {
    LinePiece piece{};
    std::memcpy(piece.bytes, bytes.data(), bytes.size());
    piece.length = bytes.size();
    return ClassifyLine(piece);
}

template <size_t N>
void ExpectRewrites(const EventVector (&vectors)[N]) {
    for (const EventVector& v : vectors) {
        ASSERT_LT(v.piece.size(), REWRITE_LINE_LIMIT) << v.rule;
        EXPECT_EQ(LINE_EVENT, KindOf(v.piece)) << v.rule;
        EXPECT_TRUE(SameBytes(v.expected, RewriteOne(v.piece, false))) << v.rule;
        EXPECT_TRUE(SameBytes(v.expected, RewriteOne(v.piece, true)))
            << v.rule << " (junk past the piece's end)";
    }
}

// Runs the line loop over `stream` into an empty output text.
Bytes RewriteStream(const Bytes& stream, uint32_t options = 0) {
    LineStream rewrite{};
    EXPECT_TRUE(StreamWrite(&rewrite, stream.data(), stream.size()));
    ByteBuffer text{};
    EXPECT_TRUE(ObtainOutputText(&text, stream.size()));
    LineState state{};
    LinePiece piece;
    EXPECT_TRUE(RewriteLines(LineLoop{&rewrite, 0, &text, options, &state, &piece, nullptr}));
    Bytes out(reinterpret_cast<const char*>(text.bytes), text.length);
    BufferRelease(&text);
    StreamRelease(&rewrite);
    return out;
}

TEST(EventLine, EachFieldLandsInItsColumns) {
    const EventVector vectors[] = {
        {"cut", "001  001    V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0001 001    V     C             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"},
        {"leading blanks and a two-digit number",
         "  12 AX     V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0012 AX     V     C             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"},
        {"channel A1: window one byte before the A",
         "0012 AX     A1    C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0012 AX      A1   C             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"},
        {"channel A2: window three bytes before the A",
         "002  BX       A2  C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0002 BX        A2 C             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"},
        {"channels VA1A2",
         "002  BX     VA1A2 C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0002 BX     VA1A2 C             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"},
        {"assemble mode",
         "007  001    ASMBL C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0007 001    ASMBL C             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"},
        {"pre-read reel cut to six, unpadded",
         "006  PREREAD V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0006 PREREA V     C             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"},
        {"dissolve duration at type offset 8",
         "003  001    V     D    030 00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0003 001    V     D       030   00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"},
        {"wipe number kept, duration shown as 00:00",
         "004  001    V     W 1001 01:00 00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0004 001    V     W  1001 00:00 00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"},
        {"key B word at type offset 4",
         "005  001    V     KB   002 00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0005 001    V     KB  002       00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"},
        {"key I words at type offsets 3 and 8",
         "005  001    V     KI 002 030 00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0005 001    V     KI 002  030   00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"},
        {"cut with a signed value at type offset 7",
         "008  001    V     C    -12 00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0008 001    V     C      -12    00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"},
        {"audio mark: slot keeps its placeholders as blanks, mode gains A",
         "010  001    V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00 A3\r\n",
         "0010 001    VA    C             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00       "
         "        A3  \r\n"},
        {"a later audio mark replaces the earlier; A4 goes to slot offset 2",
         "010  001    V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00 A3 A4\r\n",
         "0010 001    VA    C             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00       "
         "          A4\r\n"},
        {"D-word, audio slot and F-text in their columns",
         "013  001    V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00 DM+050 A4 "
         "F12\r\n",
         "0013 001    VA    C             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00      "
         "DM+050     A4                               F12\r\n"},
        {"long F-text keeps four characters",
         "012  001    V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00 FREEZEx\r\n",
         "0012 001    V     C             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00       "
         "                                           FREE\r\n"},
    };
    ExpectRewrites(vectors);
}

TEST(EventLine, EdgeCases) {
    const EventVector vectors[] = {
        {"LF alone becomes CR LF", CUT_IN + TIMECODES + "\n", CUT_OUT + TIMECODES + "\r\n"},
        {"the D-word takes six bytes whatever they are and swallows the A",
         CUT_IN + TIMECODES + " D+10 A3 F77\r\n",
         CUT_OUT + TIMECODES + Blanks(6) + "D+10 A" + Blanks(38) + "F77\r\n"},
        {"13 separators: dissolve duration 01:00",
         "003  001    V     D    01:00 " + TIMECODES + "\r\n",
         "0003 001    V     D       01:00 " + TIMECODES + "\r\n"},
        {"no V or A in the mode column: type search right after the reel",
         "011  001    B     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0011 001          B     C       00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"},
        {"PREREAD after the reel selects the unpadded reel and starts an audio word",
         "006  AB     V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00 PREREAD\r\n",
         "0006 AB VA    C             00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00          "
         "     AD  \r\n"},
        {"type letter A leaves the type blank", "001  001    V     A        " + TIMECODES,
         "0001 001    V     " + Blanks(14) + TIMECODES + "\r\n"},
        {"type letter V leaves the type blank", "001  001    A1    V        " + TIMECODES,
         "0001 001     A1   " + Blanks(14) + TIMECODES + "\r\n"},
        {"lower-case type letter leaves the type blank", "001  001    V     c        " + TIMECODES,
         "0001 001    V     " + Blanks(14) + TIMECODES + "\r\n"},
        {"reel of six kept whole", "001  ABCDEF V     C        " + TIMECODES + "\r\n",
         "0001 ABCDEF V     C             " + TIMECODES + "\r\n"},
        {"reel of seven loses its last character",
         "001  ABCDEFG V     C        " + TIMECODES + "\r\n",
         "0001 ABCDEF V     C             " + TIMECODES + "\r\n"},
        {"x inside an F-text becomes a blank", CUT_IN + TIMECODES + " Fx12\r\n",
         CUT_OUT + TIMECODES + Blanks(50) + "F 12\r\n"},
        {"x inside a D-word becomes a blank", CUT_IN + TIMECODES + " Dx1234\r\n",
         CUT_OUT + TIMECODES + Blanks(6) + "D 1234\r\n"},
        {"trailing blanks leave no remainder", CUT_IN + TIMECODES + "   \r\n",
         CUT_OUT + TIMECODES + "\r\n"},
        {"a trailing word without A, D or F leaves no remainder", CUT_IN + TIMECODES + " ZZ\r\n",
         CUT_OUT + TIMECODES + "\r\n"},
    };
    ExpectRewrites(vectors);
}

TEST(EventLine, EventNumberReelAndMode) {
    const EventVector vectors[] = {
        {"four digits stay as they are", "1234 001    V     C        " + TIMECODES + "\r\n",
         "1234 001    V     C             " + TIMECODES + "\r\n"},
        {"a lone A: window one byte before it", "001  001    A     C        " + TIMECODES,
         "0001 001     A    C             " + TIMECODES + "\r\n"},
        {"A followed by another letter: window at the A",
         "001  001    AX    C        " + TIMECODES + " A3\r\n",
         "0001 001    AX    C             " + TIMECODES + Blanks(15) + "A3  \r\n"},
        {"pre-read: the mode search starts at the reel word's last character, here its A",
         "006  A      V     C        " + TIMECODES + " PREREAD\r\n",
         "0006 A  A    " + Blanks(14) + TIMECODES + Blanks(15) + "AD  \r\n"},
        {"pre-read: the last character is that of the whole word, not of the six kept",
         "006  PREREADAV     C       " + TIMECODES + "\r\n",
         "0006 PREREA V     C             " + TIMECODES + "\r\n"},
        {"a blank right after the second colon: the first timecode is the next word",
         "001  001    V     C   0:0: 00:00:00:00 00:00:05:00 01:00:00:00 01:00:05\r\n",
         CUT_OUT + "00:00:00:00 00:00:05:00 01:00:00:00 01:00:05 \r\n"},
    };
    ExpectRewrites(vectors);
}

TEST(EventLine, TypeField) {
    const EventVector vectors[] = {
        {"C with an unsigned word keeps only the letter",
         "008  001    V     C    12  " + TIMECODES + "\r\n",
         "0008 001    V     C             " + TIMECODES + "\r\n"},
        {"CX: the byte before the stop is the C, so CX is written at offset 7",
         "001  001    V     CX       " + TIMECODES + "\r\n",
         "0001 001    V     C      CX     " + TIMECODES + "\r\n"},
        {"C12: the word from the C at offset 7", "001  001    V     C12      " + TIMECODES + "\r\n",
         "0001 001    V     C      C12    " + TIMECODES + "\r\n"},
        {"D without a word takes no timecode characters",
         "003  001    V     D        " + TIMECODES + "\r\n",
         "0003 001    V     D             " + TIMECODES + "\r\n"},
        {"KB without a word takes no timecode characters",
         "005  001    V     KB       " + TIMECODES + "\r\n",
         "0005 001    V     KB            " + TIMECODES + "\r\n"},
        {"KI without words takes no timecode characters",
         "005  001    V     KI       " + TIMECODES + "\r\n",
         "0005 001    V     KI            " + TIMECODES + "\r\n"},
        {"KI with one word: the second stops at the first timecode",
         "005  001    V     KI 002   " + TIMECODES + "\r\n",
         "0005 001    V     KI 002        " + TIMECODES + "\r\n"},
        {"K with another sub-letter: the two letters only",
         "005  001    V     KX 002   " + TIMECODES + "\r\n",
         "0005 001    V     KX            " + TIMECODES + "\r\n"},
        {"the wipe's duration is not carried",
         "004  001    V     W 1001 02:15 " + TIMECODES + "\r\n",
         "0004 001    V     W  1001 00:00 " + TIMECODES + "\r\n"},
        {"a wipe number of fewer than four digits leaves 0000",
         "004  001    V     W 12 01:00 " + TIMECODES + "\r\n",
         "0004 001    V     W  0000 00:00 " + TIMECODES + "\r\n"},
        {"any other letter: fourteen bytes of the line from the letter",
         "001  001    V     B 12345678901234 " + TIMECODES + "\r\n",
         "0001 001    V     B 123456789012" + TIMECODES + "\r\n"},
    };
    ExpectRewrites(vectors);
}

TEST(EventLine, TimecodeField) {
    const Bytes longTimecodes =
        "00:00:00:0000000 00:00:05:0000000 01:00:00:0000000 01:00:05:0000000";
    const EventVector vectors[] = {
        {"four of 10 characters: 44 characters ending in one blank",
         CUT_IN + "00:00:00:0 00:00:05:0 01:00:00:0 01:00:05:0\r\n",
         CUT_OUT + "00:00:00:0 00:00:05:0 01:00:00:0 01:00:05:0 \r\n"},
        {"four of 12 characters: 51 characters, no blank after the last",
         CUT_IN + "00:00:00:000 00:00:05:000 01:00:00:000 01:00:05:000\r\n",
         CUT_OUT + "00:00:00:000 00:00:05:000 01:00:00:000 01:00:05:000\r\n"},
        {"four of 16 characters: the separator at 50 is a blank, the field does not end",
         CUT_IN + longTimecodes + "\r\n", CUT_OUT + longTimecodes + "\r\n"},
        {"long timecodes followed by an audio mark", CUT_IN + longTimecodes + " A3\r\n",
         CUT_AUDIO_OUT + longTimecodes + Blanks(15) + "A3  \r\n"},
    };
    ExpectRewrites(vectors);
}

TEST(EventLine, Remainder) {
    const EventVector vectors[] = {
        {"AA4: only the A the scan reaches counts for the 4 rule", CUT_IN + TIMECODES + " AA4\r\n",
         CUT_AUDIO_OUT + TIMECODES + Blanks(15) + "AA4 \r\n"},
        {"A4A3: the word goes to slot offset 2 and is cut to the slot",
         CUT_IN + TIMECODES + " A4A3\r\n", CUT_AUDIO_OUT + TIMECODES + Blanks(15) + "  A4\r\n"},
        {"an earlier A4 sends a later word to offset 2 as well", CUT_IN + TIMECODES + " A4 A3\r\n",
         CUT_AUDIO_OUT + TIMECODES + Blanks(15) + "  A3\r\n"},
        {"four bytes from the remainder start are scanned", CUT_IN + TIMECODES + " A\r\n",
         CUT_AUDIO_OUT + TIMECODES + Blanks(15) + "A   \r\n"},
        {"three bytes from the remainder start are not", CUT_IN + TIMECODES + " A\n",
         CUT_OUT + TIMECODES + "\r\n"},
        {"the F-text runs to the CR, so its A and D are no marks",
         CUT_IN + TIMECODES + " F1A2D3\r\n", CUT_OUT + TIMECODES + Blanks(50) + "F1A2\r\n"},
        {"a later F-text replaces an earlier, longer one whole",
         CUT_IN + TIMECODES + " F12345\rF9\r\n", CUT_OUT + TIMECODES + Blanks(50) + "F9\r\n"},
        {"a D-word that takes the line end loses it in the trim", CUT_IN + TIMECODES + " D12\r\n",
         CUT_OUT + TIMECODES + Blanks(6) + "D12\r\n"},
        {"no line end: three bytes, no remainder", CUT_IN + TIMECODES + " A3",
         CUT_OUT + TIMECODES + "\r\n"},
        {"no line end: the F-text is the rest of the line", CUT_IN + TIMECODES + " FREEZE",
         CUT_OUT + TIMECODES + Blanks(50) + "FREE\r\n"},
        {"no line end at all", CUT_IN + TIMECODES, CUT_OUT + TIMECODES + "\r\n"},
    };
    ExpectRewrites(vectors);
}

// Bytes 0x80 to 0xFF are blanks and low bytes; a trail byte may be an ASCII letter.
TEST(EventLine, ShiftJisBytesFollowTheByteRules) {
    const EventVector vectors[] = {
        {"reel of three double-byte characters kept whole",
         "001  \x83\x65\x83\x58\x83\x67 V     C        " + TIMECODES + "\r\n",
         "0001 \x83\x65\x83\x58\x83\x67 V     C             " + TIMECODES + "\r\n"},
        {"reel cut after six bytes, splitting a character",
         "001  \xB1\x83\x65\x83\x58\x83\x67 V     C        " + TIMECODES + "\r\n",
         "0001 \xB1\x83\x65\x83\x58\x83 V     C             " + TIMECODES + "\r\n"},
        {"mode area: the trail byte A of 0x83 0x41 places the window",
         "001  001    \x83"
         "A    C        " +
             TIMECODES + "\r\n",
         "0001 001    \x83"
         "A    C             " +
             TIMECODES + "\r\n"},
        {"mode area without V or A: its bytes are blanks to the type search",
         "001  001    \x82\xA0   C        " + TIMECODES + "\r\n",
         "0001 001          C             " + TIMECODES + "\r\n"},
        {"type: the lead byte is skipped as a blank, the trail byte J is the letter",
         "001  001    V     \x83"
         "J       " +
             TIMECODES + "\r\n",
         "0001 001    V     J       00:00:" + TIMECODES + "\r\n"},
        {"type: the trail byte C makes a cut",
         "001  001    V     \x83"
         "C       " +
             TIMECODES,
         CUT_OUT + TIMECODES + "\r\n"},
        {"timecodes: two 8-bit bytes between timecodes act as a blank",
         CUT_IN + "00:00:00:00 00:00:05:00\x82\xA0"
                  "01:00:00:00 01:00:05:00\r\n",
         CUT_OUT + TIMECODES + "\r\n"},
        {"timecodes: the trail byte @ of a full-width space stops the timecodes",
         CUT_IN + "00:00:00:00 00:00:05:00\x81@01:00:00:00 01:00:05:00\r\n",
         CUT_OUT + "00:00:00:00 00:00:05:00   \r\n"},
        {"remainder: the trail byte A starts an audio word that ends at the next lead byte",
         CUT_IN + TIMECODES +
             " \x83"
             "A\x83"
             "C\r\n",
         CUT_AUDIO_OUT + TIMECODES + Blanks(15) + "A   \r\n"},
        {"remainder: an F-text loses its trailing 8-bit bytes in the trim",
         CUT_IN + TIMECODES + " F\x83\x65\x83\x58\x83\x67\r\n",
         CUT_OUT + TIMECODES + Blanks(50) + "F\x83\x65\r\n"},
        {"remainder: a D-word takes six bytes and loses its trailing 8-bit byte",
         CUT_IN + TIMECODES + " D\x83\x65\x83\x58\x83\x67\r\n",
         CUT_OUT + TIMECODES + Blanks(6) + "D\x83\x65\x83\x58\r\n"},
    };
    ExpectRewrites(vectors);
}

// A letter in the last bytes of a piece makes the rules read past it; those bytes are NUL, and
// fields are printed up to their first NUL. Every row also runs over a junk-filled buffer.
TEST(EventLine, BytesPastThePieceEndReadAsNul) {
    const Bytes afterMode = Blanks(1 + 14) + EMPTY_TIMECODES + "\r\n";
    const EventVector vectors[] = {
        {"the mode window takes the line's CR LF", DOTTED_IN + "V\r\n",
         DOTTED_OUT + "V\r\n" + afterMode},
        {"the mode window past the end of a piece without a line end", DOTTED_IN + "V",
         DOTTED_OUT + "V" + afterMode},
        {"the fourteen-byte copy takes the line's CR LF", DOTTED_IN + "V     X\r\n",
         DOTTED_OUT + "V     X\r\n" + EMPTY_TIMECODES + "\r\n"},
        {"the fourteen-byte copy past the end", DOTTED_IN + "V     X",
         DOTTED_OUT + "V     X" + EMPTY_TIMECODES + "\r\n"},
        {"the key sub-letter past the end is NUL", DOTTED_IN + "V     K",
         DOTTED_OUT + "V     K" + EMPTY_TIMECODES + "\r\n"},
        {"KB at the end: the word past the end is empty", DOTTED_IN + "V     KB",
         DOTTED_OUT + "V     KB" + Blanks(12) + EMPTY_TIMECODES + "\r\n"},
        {"C at the end: no word", DOTTED_IN + "V     C",
         DOTTED_OUT + "V     C" + Blanks(13) + EMPTY_TIMECODES + "\r\n"},
        {"D at the end: no duration", DOTTED_IN + "V     D",
         DOTTED_OUT + "V     D" + Blanks(13) + EMPTY_TIMECODES + "\r\n"},
        {"W at the end: no number", DOTTED_IN + "V     W",
         DOTTED_OUT + "V     W  0000 00:00 " + EMPTY_TIMECODES + "\r\n"},
    };
    ExpectRewrites(vectors);
}

// Found against the rules: a "C" with text glued to it copied the first timecode's leading
// characters into the type field ("C      C00:00:"); its word now stops at the first timecode
// like those of "D", "KB" and "KI".
TEST(EventLine, CutWordGluedToTheFirstTimecodeStopsThere) {
    const EventVector vectors[] = {
        {"the literal line of the report",
         "12 AB C00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0012 AB           C                 \r\n"},
        {"a signed word before the timecodes is still kept",
         "12 AB C-12 00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0012 AB           C      -12    " + TIMECODES + "\r\n"},
    };
    ExpectRewrites(vectors);
}

// Found against the rules: with a CR right after the event number (CR-only files, or the
// controller's 0x0D 0x0A line ends) the reel word is empty, and the mode search began at the
// CR, taking the next line's text into the type field. It now begins at the event number's
// last digit, so the type field stays blank.
TEST(EventLine, EmptyReelWordKeepsTheTextAfterTheCrOutOfTheType) {
    const EventVector vectors[] = {
        {"the literal line of the report: pre-read, unpadded empty reel",
         "12\rX 00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00 PREREAD\r\n",
         "0012   A    " + Blanks(14) + TIMECODES + Blanks(15) + "AD  \r\n"},
        {"without PREREAD: the empty reel is padded",
         "12\rX 00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0012" + Blanks(1 + 6 + 1 + 5 + 1 + 14) + TIMECODES + "\r\n"},
        {"leading spaces before the number",
         "  12\rKB 002 00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n",
         "0012" + Blanks(1 + 6 + 1 + 5 + 1 + 14) + TIMECODES + "\r\n"},
    };
    ExpectRewrites(vectors);
}

TEST(EventLine, ShortPieceAfterLongOneTakesNothingFromIt) {
    const Bytes longLine = CUT_IN + TIMECODES + " F" + Bytes(60, 'Q') + "\r\n";
    const Bytes expected = CUT_OUT + TIMECODES + Blanks(50) + "FQQQ\r\n" + DOTTED_OUT + "V     K" +
                           EMPTY_TIMECODES + "\r\n";
    EXPECT_TRUE(SameBytes(expected, RewriteStream(longLine + DOTTED_IN + "V     K")));
}

TEST(EventLine, LongLinesArriveAsPiecesOf159Bytes) {
    // 27 + 47 + 1 + 82 + 2 = 159 bytes: one piece, line end included.
    const Bytes exact = CUT_IN + TIMECODES + " FREEZE" + Bytes(76, 'Z') + "\r\n";
    ASSERT_EQ(159u, exact.size());
    EXPECT_TRUE(
        SameBytes(CUT_OUT + TIMECODES + Blanks(50) + "FREE\r\n" + CUT_OUT + TIMECODES + "\r\n",
                  RewriteStream(exact + CUT_IN + TIMECODES + "\r\n")));

    // A longer line: its first 159 bytes are rewritten as a line without a line end, the rest
    // goes on as a note line.
    const Bytes rest = Bytes(40, 'Y') + "\r\n";
    const Bytes longer = CUT_IN + TIMECODES + " FLONG" + Bytes(79, 'Y') + rest;
    EXPECT_TRUE(
        SameBytes(CUT_OUT + TIMECODES + Blanks(50) + "FLON\r\n" + rest, RewriteStream(longer)));
}

// The channels the reading takes from the window, which the export writes: "V" first, then "A2"
// and "A1" wherever they stand after it.
TEST(EventLine, ChannelsAsTheWindowShowsThem) {
    const struct {
        const char* mode;
        uint8_t channels;
        bool assemble;
    } vectors[] = {
        {"V     ", CHANNEL_V, false},
        {"VA1A2 ", CHANNEL_V | CHANNEL_A1 | CHANNEL_A2, false},
        {"V A2  ", CHANNEL_V | CHANNEL_A2, false},
        {"V  A2 ", CHANNEL_V | CHANNEL_A2, false},
        {"V A1  ", CHANNEL_V | CHANNEL_A1, false},
        {"VA    ", CHANNEL_V | CHANNEL_A1, false},
        {"A1A2  ", CHANNEL_A1 | CHANNEL_A2, false},
        {"  A2  ", CHANNEL_A2, false},
        {"VAX   ", CHANNEL_V, false},
        {"ASMBL ", CHANNEL_V | CHANNEL_A1 | CHANNEL_A2, true},
        {"      ", 0, false},
    };
    for (const auto& v : vectors) {
        const Bytes line = "001  001    " + Bytes(v.mode) + "C        " + TIMECODES + "\r\n";
        LinePiece piece{};
        std::memcpy(piece.bytes, line.data(), line.size());
        piece.length = line.size();
        EventRecord record;
        ReadEventLine(piece, &record);
        EXPECT_EQ(v.channels, record.channels) << v.mode;
        EXPECT_EQ(v.assemble, record.assemble) << v.mode;
    }
}

TEST(LineKind, ClassifiesInItsOrder) {
    const Bytes threeTimecodes = "00:00:00:00 00:00:05:00 01:00:00:00";
    const struct {
        const char* rule;
        Bytes piece;
        LineKind kind;
    } vectors[] = {
        {"first byte not a digit", "* FROM CLIP NAME: " + TIMECODES + "\r\n", LINE_NOTE},
        {"leading spaces, then not a digit", "   ABC\r\n", LINE_NOTE},
        {"an empty line", "\r\n", LINE_NOTE},
        {"spaces only", "    ", LINE_NOTE},
        {"a tab is not a space", "\t" + CUT_IN + TIMECODES + "\r\n", LINE_NOTE},
        {"12 separators", CUT_IN + TIMECODES + "\r\n", LINE_EVENT},
        {"13 separators", "003  001    V     D    01:00 " + TIMECODES + "\r\n", LINE_EVENT},
        {"dots and commas count", "12 00.00.00.00 00,00,05,00 01.00.00.00 01.00.05.00\r\n",
         LINE_EVENT},
        {"11 separators", CUT_IN + "00:00:00:00 00:00:05:00 01:00:00:00 01:00:0500\r\n",
         LINE_INTERNAL_DATA},
        {"14 separators", CUT_IN + TIMECODES + " 1:2:3\r\n", LINE_INTERNAL_DATA},
        {"three timecodes", CUT_IN + threeTimecodes + "\r\n", LINE_INTERNAL_DATA},
        {"digits without separators", "12 34 56\r\n", LINE_INTERNAL_DATA},
        {"a run of one digit", "1    001    V     C        " + TIMECODES + "\r\n",
         LINE_MALFORMED_EVENT},
        {"a run of five digits", "12345 001   V     C        " + TIMECODES + "\r\n",
         LINE_MALFORMED_EVENT},
        {"a run of one digit with 11 separators is internal data first",
         "1    001    V     C        " + threeTimecodes + " 01:00:05\r\n", LINE_INTERNAL_DATA},
        {"a run of two digits", "12   001    V     C        " + TIMECODES + "\r\n", LINE_EVENT},
        {"a run of four digits after spaces", "   1234 001 V     C        " + TIMECODES + "\r\n",
         LINE_EVENT},
        {"the run ends at the first byte that is not a digit", "12AB 001    V     C " + TIMECODES,
         LINE_EVENT},
    };
    for (const auto& v : vectors) {
        EXPECT_EQ(v.kind, KindOf(v.piece)) << v.rule;
    }
}

TEST(EventLine, LoopDropsMalformedLinesAndPassesTheOthersOn) {
    const Bytes note = "* FROM CLIP NAME: ABC\r\n";
    const Bytes internalData = "12 34 56\r\n";
    const Bytes stream = note + "1    001    V     C        " + TIMECODES + "\r\n" +
                         "12345 001   V     C        " + TIMECODES + "\r\n" + internalData +
                         CUT_IN + TIMECODES + "\n" + "12 AX     A1    C        " + TIMECODES;
    const Bytes expected = note + internalData + CUT_OUT + TIMECODES + "\r\n" +
                           "0012 AX      A1   C             " + TIMECODES + "\r\n";
    EXPECT_TRUE(SameBytes(expected, RewriteStream(stream)));
}

TEST(EventLine, LineLoopAllocatesNothingPerLine) {
    const Bytes kinds[] = {
        CUT_IN + TIMECODES + " DM+050 A4 F12\r\n",
        "005  001    V     KI 002 030 " + TIMECODES + "\r\n",
        "004  001    V     W 1001 01:00 " + TIMECODES + "\r\n",
        "002  BX     VA1A2 C        " + TIMECODES + "\r\n",
    };
    Bytes source;
    for (int k = 0; k < 1000; ++k) {
        source += kinds[k % 4];
    }
    LineStream rewrite{};
    ASSERT_TRUE(StreamWrite(&rewrite, source.data(), source.size()));
    ByteBuffer text{};
    ASSERT_TRUE(ObtainOutputText(&text, source.size()));
    LineState state{};
    LinePiece piece;
    SetEngineAllocFailure(0);
    EXPECT_TRUE(RewriteLines(LineLoop{&rewrite, 0, &text, 0, &state, &piece, nullptr}));
    EXPECT_EQ(0L, SetEngineAllocFailure(0));
    const Bytes first = CUT_AUDIO_OUT + TIMECODES + "      DM+050     A4" + Blanks(31) + "F12\r\n";
    ASSERT_GE(text.length, first.size());
    EXPECT_TRUE(SameBytes(first, Bytes(reinterpret_cast<const char*>(text.bytes), first.size())));
    BufferRelease(&text);
    StreamRelease(&rewrite);
}

}  // namespace
