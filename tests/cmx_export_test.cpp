// The CMX 3600 export: BVE lists in, the export's bytes out, grouped by what they exercise.
#include <cstring>
#include <filesystem>

#include "cmx_reader.h"
#include "convert_util.h"

namespace {

const Bytes TC = "00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00";

// A BVE event line: number, reel, mode area, type area, timecodes and trailing marks.
Bytes Bve(const char* number, const char* reel, const char* mode, const char* type,
          const Bytes& timecodes = TC, const char* marks = "") {
    Bytes line = Bytes(number) + "  " + reel;
    line += Bytes(reel[0] == 0 ? 0 : (std::strlen(reel) < 7 ? 7 - std::strlen(reel) : 1), ' ');
    return line + mode + type + timecodes + marks + "\r\n";
}

// An export event line: number, reel, channels, transition and duration, timecodes.
Bytes Cmx(const char* number, const char* reel, const char* channels, const char* transition,
          const Bytes& timecodes = TC) {
    char line[128];
    std::snprintf(line, sizeof line, "%s  %-8s %-4s  %-8s %s\r\n", number, reel, channels,
                  transition, timecodes.c_str());
    return line;
}

Exported Export(const Bytes& source, int rate = 30, bool dropFrame = false,
                bool deleteInternalData = false, const char* name = "A.EDL") {
    return ConvertWithExport(source, name, rate, dropFrame, deleteInternalData);
}

// The header of a list without a title line, and the comments of its default reel and block
// lines after the first event.
const Bytes HEADER = "TITLE: A.EDL\r\nFCM: NON-DROP FRAME\r\n\r\n";
const Bytes HEADER_COMMENTS = "* MASTER RECORDER REEL MAST\r\n* BLOCK 001\r\n";

// The export of `source` without the header and the default header comments, which every row
// of these tables shares.
Bytes Events(const Bytes& source, int rate = 30, bool dropFrame = false,
             bool deleteInternalData = false) {
    Exported exported = Export(source, rate, dropFrame, deleteInternalData);
    EXPECT_EQ(RESULT_CONVERTED, exported.result);
    Bytes cmx = exported.cmx;
    Bytes header = HEADER;
    if (dropFrame && rate == 30) {
        header.replace(header.find("NON-DROP"), 8, "DROP");
    }
    size_t comments = cmx.find(HEADER_COMMENTS);
    if (cmx.compare(0, header.size(), header) != 0 || comments == Bytes::npos) {
        ADD_FAILURE() << "no default header: " << cmx;
        return cmx;
    }
    cmx.erase(comments, HEADER_COMMENTS.size());
    EXPECT_TRUE(ExportHoldsRepairedList(exported.repairedBody, exported.cmx, rate,
                                        dropFrame && rate == 30));
    return cmx.substr(header.size());
}

struct ExportVector {
    const char* rule;
    Bytes source;
    Bytes expected;
};

template <size_t N>
void ExpectExports(const ExportVector (&vectors)[N], int rate = 30, bool dropFrame = false) {
    for (const ExportVector& vector : vectors) {
        EXPECT_TRUE(SameBytes(vector.expected, Events(vector.source, rate, dropFrame)))
            << vector.rule;
    }
}

TEST(CmxChannels, EveryCombinationOfTheModeAndTheAudioMarks) {
    const struct {
        const char* mode;
        const char* marks;
        const char* channels;
        const char* audLine;
    } vectors[] = {
        {"V     ", "", "V", ""},
        {"A1    ", "", "A", ""},
        {"A2    ", "", "A2", ""},
        {"A1A2  ", "", "AA", ""},
        {"VA1   ", "", "B", ""},
        {"V  A2 ", "", "A2/V", ""},
        {"VA1A2 ", "", "AA/V", ""},
        {"ASMBL ", "", "AA/V", ""},
        {"V     ", " A3", "V", "AUD  3\r\n"},
        {"V     ", " A4", "V", "AUD       4\r\n"},
        {"V     ", " A3 A4", "V", "AUD  3    4\r\n"},
        {"VA1A2 ", " A4 A3", "AA/V", "AUD  3    4\r\n"},
        {"      ", " A3", "NONE", "AUD  3\r\n"},
        {"      ", " A3 A4", "NONE", "AUD  3    4\r\n"},
        {"      ", "", "NONE", ""},
    };
    for (const auto& vector : vectors) {
        Bytes source = Bve("001", "001", vector.mode, "C        ", TC, vector.marks);
        Bytes expected = Cmx("001", "001", vector.channels, "C") + vector.audLine;
        EXPECT_TRUE(SameBytes(expected, Events(source)))
            << "mode \"" << vector.mode << "\" marks \"" << vector.marks << "\"";
    }
}

TEST(CmxChannels, OtherAudioMarksAreKeptAsComments) {
    const ExportVector vectors[] = {
        {"audio 5", Bve("001", "001", "V     ", "C        ", TC, " A5"),
         Cmx("001", "001", "V", "C") + "* BVE MARKS: A5\r\n"},
        {"audio 3 beside another word", Bve("001", "001", "V     ", "C        ", TC, " A3 AX"),
         Cmx("001", "001", "V", "C") + "AUD  3\r\n* BVE MARKS: A3 AX\r\n"},
    };
    ExpectExports(vectors);
}

const Bytes OUT_TC = "02:10:00:00 02:10:04:12 01:00:05:00 01:00:09:12";
const Bytes IN_TC = "03:00:10:00 03:00:15:00 01:00:09:12 01:00:14:12";
const Bytes THIRD_TC = "04:00:00:00 04:00:03:00 01:00:14:12 01:00:17:12";

TEST(CmxTransitions, CutsAndDissolves) {
    const ExportVector vectors[] = {
        {"a cut", Bve("001", "001", "V     ", "C        "), Cmx("001", "001", "V", "C")},
        {"a dissolve after a cut: a zero-length line of the outgoing shot, then the dissolve, "
         "renumbered",
         Bve("002", "002", "VA1A2 ", "C        ", OUT_TC) +
             Bve("002", "003", "VA1A2 ", "D    030 ", IN_TC),
         Cmx("001", "002", "AA/V", "C", OUT_TC) + "* BVE EVENT 0002\r\n" +
             Cmx("002", "002", "AA/V", "C", "02:10:04:12 02:10:04:12 01:00:09:12 01:00:09:12") +
             Cmx("002", "003", "AA/V", "D    030", IN_TC)},
        {"a chain of dissolves under one number: each from the shot before it",
         Bve("003", "012", "V     ", "C        ", OUT_TC) +
             Bve("003", "013", "V     ", "D    015 ", IN_TC) +
             Bve("003", "014", "V     ", "D    015 ", THIRD_TC),
         Cmx("001", "012", "V", "C", OUT_TC) + "* BVE EVENT 0003\r\n" +
             Cmx("002", "012", "V", "C", "02:10:04:12 02:10:04:12 01:00:09:12 01:00:09:12") +
             Cmx("002", "013", "V", "D    015", IN_TC) + "* BVE EVENT 0003\r\n" +
             Cmx("003", "013", "V", "C", "03:00:15:00 03:00:15:00 01:00:14:12 01:00:14:12") +
             Cmx("003", "014", "V", "D    015", THIRD_TC)},
        {"a dissolve as the first event comes from black", Bve("001", "001", "V     ", "D    030 "),
         Cmx("001", "BL", "V", "C", "00:00:00:00 00:00:00:00 01:00:00:00 01:00:00:00") +
             Cmx("001", "001", "V", "D    030")},
        {"a dissolve comes from the last shot on its channels",
         Bve("001", "001", "V     ", "C        ", OUT_TC) +
             Bve("002", "002", "A1    ", "C        ", IN_TC) +
             Bve("003", "003", "V     ", "D    010 ", THIRD_TC),
         Cmx("001", "001", "V", "C", OUT_TC) + Cmx("002", "002", "A", "C", IN_TC) +
             Cmx("003", "001", "V", "C", "02:10:04:12 02:10:04:12 01:00:14:12 01:00:14:12") +
             Cmx("003", "003", "V", "D    010", THIRD_TC)},
        {"a dissolve's audio 3 goes under both its lines",
         Bve("001", "001", "V     ", "C        ", OUT_TC) +
             Bve("001", "002", "V     ", "D    030 ", IN_TC, " A3"),
         Cmx("001", "001", "V", "C", OUT_TC) +
             Cmx("002", "001", "V", "C", "02:10:04:12 02:10:04:12 01:00:09:12 01:00:09:12") +
             "AUD  3\r\n" + Cmx("002", "002", "V", "D    030", IN_TC) + "AUD  3\r\n" +
             "* BVE EVENT 0001\r\n"},
    };
    ExpectExports(vectors);
}

TEST(CmxTransitions, WhatCmxCannotSayIsACutWithAComment) {
    const ExportVector vectors[] = {
        {"a wipe: its pattern number and its duration",
         Bve("001", "001", "V     ", "W 1001 01:00 "),
         Cmx("001", "001", "V", "C") + "* BVE WIPE 1001 01:00\r\n"},
        {"a wipe without a duration", Bve("001", "001", "V     ", "W 1001   "),
         Cmx("001", "001", "V", "C") + "* BVE WIPE 1001\r\n"},
        {"a key B", Bve("001", "001", "V     ", "KB   002 "),
         Cmx("001", "001", "V", "C") + "* BVE KEY KB 002\r\n"},
        {"a key I", Bve("001", "001", "V     ", "KI 002 030 "),
         Cmx("001", "001", "V", "C") + "* BVE KEY KI 002 030\r\n"},
        {"another letter", Bve("001", "001", "V     ", "X 12     "),
         Cmx("001", "001", "V", "C") + "* BVE TRANSITION X 12\r\n"},
        {"a cut with a signed word", Bve("001", "001", "V     ", "C    -12 "),
         Cmx("001", "001", "V", "C") + "* BVE TRANSITION C -12\r\n"},
        {"a dissolve over 999 frames", Bve("001", "001", "V     ", "D   1200 "),
         Cmx("001", "001", "V", "C") + "* BVE TRANSITION D 1200\r\n"},
        {"a dissolve without a duration", Bve("001", "001", "V     ", "D        "),
         Cmx("001", "001", "V", "C") + "* BVE TRANSITION D\r\n"},
        {"a dissolve of no length", Bve("001", "001", "V     ", "D    000 "),
         Cmx("001", "001", "V", "C") + "* BVE TRANSITION D 000\r\n"},
        {"a dissolve of 01:00", Bve("001", "001", "V     ", "D    01:00 "),
         Cmx("001", "001", "V", "C") + "* BVE TRANSITION D 01:00\r\n"},
        {"no transition letter: a cut, nothing to keep", Bve("001", "001", "V     ", "         "),
         Cmx("001", "001", "V", "C")},
    };
    ExpectExports(vectors);
}

TEST(CmxTransitions, MoreThan999EventsTakeFourDigits) {
    Bytes source;
    for (int k = 0; k < 1001; ++k) {
        source += Bve("002", "001", "V     ", "C        ");
    }
    Bytes events = Events(source);
    EXPECT_NE(Bytes::npos, events.find("\r\n" + Cmx("999", "001", "V", "C")));
    EXPECT_NE(Bytes::npos, events.find("\r\n" + Cmx("1000", "001", "V", "C")));
    EXPECT_NE(Bytes::npos, events.find("\r\n" + Cmx("1001", "001", "V", "C")));
}

// An event line whose first timecode has one frame digit, and the comment that keeps it.
const Bytes BAD_LINE =
    Bve("001", "001", "V     ", "C        ", "02:28:18:4 00:00:05:00 01:00:00:00 01:00:05:00");
Bytes Kept(const Bytes& line) {
    return "* BVE LINE: " + line.substr(0, line.size() - 2) + "\r\n";
}

const Bytes DM_TC = "10:10:05.00 10:10:08.00 01:00:03:00 01:00:06:00";
const Bytes DM_TC_OUT = "10:10:05:00 10:10:08:00 01:00:03:00 01:00:06:00";
const Bytes DM_LINE = "DM 002 Speed:+050 10:10:05.00\r\n";

TEST(CmxSpeed, SpeedMarksBecomeM2Lines) {
    const ExportVector vectors[] = {
        {"forward, from a DM record: the record line follows the M2 line",
         Bve("001", "010", "V     ", "C        ") + DM_LINE +
             Bve("002", "011", "V     ", "C        ", DM_TC),
         Cmx("001", "010", "V", "C") + Cmx("002", "011", "V", "C", DM_TC_OUT) +
             "M2   011            015.0                10:10:05:00\r\n" +
             "* DM 002 Speed:+050 10:10:05.00\r\n"},
        {"backwards, the line's own mark, after the AUD line",
         Bve("001", "016", "VA1   ", "C        ", TC, " A3 A4 DM-010"),
         Cmx("001", "016", "B", "C") + "AUD  3    4\r\n" +
             "M2   016           -003.0                00:00:00:00\r\n"},
        {"a DM line that marks no event stays where it is",
         Bve("001", "010", "V     ", "C        ") + DM_LINE +
             Bve("002", "011", "V     ", "C        "),
         Cmx("001", "010", "V", "C") + "* DM 002 Speed:+050 10:10:05.00\r\n" +
             Cmx("002", "011", "V", "C")},
        {"a DM line before the first event that gives it its speed follows it",
         DM_LINE + Bve("001", "011", "V     ", "C        ", DM_TC),
         Cmx("001", "011", "V", "C", DM_TC_OUT) +
             "M2   011            015.0                10:10:05:00\r\n" +
             "* DM 002 Speed:+050 10:10:05.00\r\n"},
        {"a DM line before the first event that gives no speed stays among what preceded it",
         BAD_LINE + DM_LINE + "* B\r\n" + Bve("001", "001", "V     ", "C        ") +
             Bve("002", "002", "V     ", "C        "),
         Cmx("001", "001", "V", "C") + Kept(BAD_LINE) + "* DM 002 Speed:+050 10:10:05.00\r\n" +
             "* B\r\n" + Cmx("002", "002", "V", "C")},
        {"of two DM lines, the one whose speed no event takes stays where it was",
         Bve("001", "010", "V     ", "C        ") + DM_LINE + "DM 003 Speed:-025 20:00:00.00\r\n" +
             Bve("002", "011", "V     ", "C        ", DM_TC) +
             Bve("003", "012", "V     ", "C        "),
         Cmx("001", "010", "V", "C") + "* DM 003 Speed:-025 20:00:00.00\r\n" +
             Cmx("002", "011", "V", "C", DM_TC_OUT) +
             "M2   011            015.0                10:10:05:00\r\n" +
             "* DM 002 Speed:+050 10:10:05.00\r\n" + Cmx("003", "012", "V", "C")},
        {"a D-word that is no speed mark is kept as a comment",
         Bve("001", "001", "V     ", "C        ", TC, " D+10"),
         Cmx("001", "001", "V", "C") + "* BVE MARKS: D+10\r\n"},
    };
    ExpectExports(vectors);
}

TEST(CmxSpeed, TheSpeedIsInFramesPerSecondAtTheRate) {
    const struct {
        int rate;
        const char* mark;
        const char* speed;
    } vectors[] = {
        {30, "DM+100", "       030.0"}, {30, "DM+050", "       015.0"},
        {25, "DM+050", "       012.5"}, {25, "DM-010", "      -002.5"},
        {24, "DM+033", "       007.9"}, {24, "DM+999", "       239.8"},
        {30, "DM+000", "       000.0"}, {30, "DM-000", "       000.0"},
    };
    for (const auto& vector : vectors) {
        Bytes marks = Bytes(" ") + vector.mark;
        Bytes events =
            Events(Bve("001", "001", "V     ", "C        ", TC, marks.c_str()), vector.rate);
        Bytes speedLine =
            Bytes("M2   001     ") + vector.speed + Bytes(16, ' ') + "00:00:00:00\r\n";
        EXPECT_TRUE(SameBytes(Cmx("001", "001", "V", "C") + speedLine, events))
            << vector.rate << " " << vector.mark;
    }
}

TEST(CmxReels, ReelsKeptRenamedAndBlack) {
    const ExportVector vectors[] = {
        {"plain", Bve("001", "001", "V     ", "C        "), Cmx("001", "001", "V", "C")},
        {"seven letters: the whole word, not the repaired six",
         Bve("001", "PREREAD", "V     ", "C        "), Cmx("001", "PREREAD", "V", "C")},
        {"eight letters", Bve("001", "REEL0008", "V     ", "C        "),
         Cmx("001", "REEL0008", "V", "C")},
        {"black in its three spellings and any case",
         Bve("001", "BL", "V     ", "C        ") + Bve("002", "BLK", "V     ", "C        ") +
             Bve("003", "black", "V     ", "C        "),
         Cmx("001", "BL", "V", "C") + Cmx("002", "BL", "V", "C") + Cmx("003", "BL", "V", "C")},
        {"nine letters: the first eight", Bve("001", "LONGREEL9", "V     ", "C        "),
         Cmx("001", "LONGREEL", "V", "C") + "* REEL LONGREEL = LONGREEL9\r\n"},
        {"lower case", Bve("001", "news01", "V     ", "C        "),
         Cmx("001", "NEWS01", "V", "C") + "* REEL NEWS01 = news01\r\n"},
        {"Japanese", Bve("001", "\x83\x65\x81\x5B\x83\x76", "V     ", "C        "),
         Cmx("001", "REEL", "V", "C") + "* REEL REEL = \x83\x65\x81\x5B\x83\x76\r\n"},
        {"other characters become underscores", Bve("001", "A-1.2", "V     ", "C        "),
         Cmx("001", "A_1_2", "V", "C") + "* REEL A_1_2 = A-1.2\r\n"},
        {"the same word keeps its name; a name in use is not taken again",
         Bve("001", "news01", "V     ", "C        ") + Bve("002", "NEWS01", "V     ", "C        ") +
             Bve("003", "news01", "V     ", "C        ") +
             Bve("004", "News01", "V     ", "C        "),
         Cmx("001", "NEWS01_2", "V", "C") + "* REEL NEWS01_2 = news01\r\n" +
             "* REEL NEWS01_3 = News01\r\n" + Cmx("002", "NEWS01", "V", "C") +
             Cmx("003", "NEWS01_2", "V", "C") + Cmx("004", "NEWS01_3", "V", "C")},
        {"a name cut short for its number",
         Bve("001", "LONGREEL9", "V     ", "C        ") +
             Bve("002", "LONGREEL", "V     ", "C        "),
         Cmx("001", "LONGRE_2", "V", "C") + "* REEL LONGRE_2 = LONGREEL9\r\n" +
             Cmx("002", "LONGREEL", "V", "C")},
        {"no reel word: the auxiliary source", "12\r    V     C        " + TC + "\r\n",
         Cmx("001", "AX", "V", "C") + "* BVE EVENT 0012\r\n"},
    };
    ExpectExports(vectors);
}

TEST(CmxNotes, NotesAreCommentsAfterTheirEvent) {
    const Bytes cut = Bve("001", "001", "V     ", "C        ");
    const Bytes cutOut = Cmx("001", "001", "V", "C");
    const ExportVector vectors[] = {
        {"a comment of the list stays as it is", cut + "* FROM CLIP NAME: ABC\r\n",
         cutOut + "* FROM CLIP NAME: ABC\r\n"},
        {"any other note is a comment", cut + "END OF TAPE\r\n", cutOut + "* END OF TAPE\r\n"},
        {"Shift-JIS keeps its bytes", cut + "* \x83\x56\x81\x5B\x83\x93\x82\x50\r\n",
         cutOut + "* \x83\x56\x81\x5B\x83\x93\x82\x50\r\n"},
        {"a bare CR inside a note becomes a blank", cut + "* A\rB\r\n", cutOut + "* A B\r\n"},
        {"a note OpenTimelineIO would read as a speed line", cut + "* M2 FAST\r\n",
         cutOut + "* BVE NOTE: * M2 FAST\r\n"},
        {"colour notes likewise", cut + "ASC_SOP (1 1 1)\r\n* ASC_SAT 1\r\n",
         cutOut + "* BVE NOTE: ASC_SOP (1 1 1)\r\n* BVE NOTE: * ASC_SAT 1\r\n"},
        {"notes the repaired list drops are dropped", cut + "* EFFECT NAME: WIPE\r\na\r\n", cutOut},
        {"internal data lines", cut + "12 34 56 EDIT MEMORY\r\n",
         cutOut + "* BVE DATA: 12 34 56 EDIT MEMORY\r\n"},
        {"an event number of five digits", cut + "12345 001  V     C        " + TC + "\r\n",
         cutOut + "* BVE LINE: 12345 001  V     C        " + TC + "\r\n"},
        {"what stands before the first event follows it", "* OPENING\r\n" + BAD_LINE + cut,
         cutOut + "* OPENING\r\n" + Kept(BAD_LINE)},
    };
    ExpectExports(vectors);
}

TEST(CmxNotes, TheDeleteOptionLeavesInternalDataOut) {
    const Bytes source = Bve("001", "001", "V     ", "C        ") + "12 34 56 EDIT MEMORY\r\n";
    EXPECT_TRUE(SameBytes(Cmx("001", "001", "V", "C"), Events(source, 30, false, true)));
    EXPECT_TRUE(SameBytes(Cmx("001", "001", "V", "C") + "* BVE DATA: 12 34 56 EDIT MEMORY\r\n",
                          Events(source, 30, false, false)));
}

TEST(CmxHeader, TitleAndFrameCountMode) {
    const Bytes cut = Bve("001", "001", "V     ", "C        ");
    const struct {
        const char* rule;
        Bytes source;
        int rate;
        bool dropFrame;
        Bytes head;  // the export up to its first comment
    } vectors[] = {
        {"an ASCII title", "  EVENING NEWS\r\n\r\n" + cut, 30, false,
         "TITLE: EVENING NEWS\r\nFCM: NON-DROP FRAME\r\n\r\n" + Cmx("001", "001", "V", "C") +
             "* MASTER"},
        {"a title with its own @ and TITLE:", "@TITLE: DRAMA\r\n\r\n" + cut, 30, false,
         "TITLE: DRAMA\r\nFCM: NON-DROP FRAME\r\n\r\n" + Cmx("001", "001", "V", "C") + "* MASTER"},
        {"a title with Japanese: the file's name, and the title as a comment",
         "  NEWS \x83\x68\x83\x89\x83\x7D\r\n\r\n" + cut, 30, false,
         "TITLE: A.EDL\r\nFCM: NON-DROP FRAME\r\n\r\n" + Cmx("001", "001", "V", "C") +
             "* BVE TITLE: NEWS \x83\x68\x83\x89\x83\x7D\r\n* MASTER"},
        {"no title: the file's name", cut, 30, false,
         "TITLE: A.EDL\r\nFCM: NON-DROP FRAME\r\n\r\n" + Cmx("001", "001", "V", "C") + "* MASTER"},
        {"drop frame at 30", cut, 30, true,
         "TITLE: A.EDL\r\nFCM: DROP FRAME\r\n\r\n" + Cmx("001", "001", "V", "C") + "* MASTER"},
        {"no drop frame at 25", cut, 25, true,
         "TITLE: A.EDL\r\nFCM: NON-DROP FRAME\r\n\r\n" + Cmx("001", "001", "V", "C") + "* MASTER"},
        {"the header's reel and block lines as comments after the first event",
         "  SHOW\r\nMASTER RECORDER REEL NEWS01\r\nBLOCK 002\r\n\r\n" + cut, 30, false,
         "TITLE: SHOW\r\nFCM: NON-DROP FRAME\r\n\r\n" + Cmx("001", "001", "V", "C") +
             "* MASTER RECORDER REEL NEWS01\r\n* BLOCK 002\r\n"},
    };
    for (const auto& vector : vectors) {
        Exported exported = Export(vector.source, vector.rate, vector.dropFrame);
        ASSERT_EQ(RESULT_CONVERTED, exported.result) << vector.rule;
        EXPECT_TRUE(SameBytes(vector.head, exported.cmx.substr(0, vector.head.size())))
            << vector.rule;
    }
}

TEST(CmxHeader, NoByteOrderMarkAndOnlyCrLf) {
    Exported exported = Export(ReadFileBytes("../samples/ODDITIES.EDL"));
    ASSERT_EQ(RESULT_CONVERTED, exported.result);
    EXPECT_EQ(0u, exported.cmx.find("TITLE: WEB EXPORT 1\r\n"));
    for (size_t k = 0; k < exported.cmx.size(); ++k) {
        bool lineEnd = exported.cmx[k] == '\n' || exported.cmx[k] == '\r';
        if (lineEnd) {
            ASSERT_EQ(exported.cmx[k] == '\r' ? '\n' : '\r',
                      exported.cmx[exported.cmx[k] == '\r' ? k + 1 : k - 1])
                << "a lone line end at " << k;
        }
    }
}

TEST(CmxEdges, LinesTheExportCannotHoldAsEventsAreComments) {
    const Bytes cut = Bve("001", "001", "V     ", "C        ");
    const Bytes cutOut = Cmx("001", "001", "V", "C");
    const Bytes shortFrames =
        Bve("002", "002", "V     ", "C        ", "02:28:18:4 00:00:05:00 01:00:00:00 01:00:05:00");
    const Bytes longFields = Bve("002", "002", "V     ", "C        ",
                                 "09:25:00007:0013 00:00:05:00 01:00:00:00 01:00:05:00");
    const Bytes hour24 =
        Bve("002", "002", "V     ", "C        ", "24:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00");
    const Bytes frame27 =
        Bve("002", "002", "V     ", "C        ", "00:00:00:27 00:00:05:00 01:00:00:00 01:00:05:00");
    const Bytes dropped =
        Bve("002", "002", "V     ", "C        ", "00:01:00:00 00:01:05:00 01:00:00:00 01:00:05:00");
    const Bytes backwards =
        Bve("002", "002", "V     ", "C        ", "00:00:00:00 00:00:05:00 01:00:05:00 01:00:00:00");
    const struct {
        const char* rule;
        Bytes source;
        int rate;
        bool dropFrame;
        Bytes expected;
    } vectors[] = {
        {"one frame digit", cut + shortFrames, 30, false, cutOut + Kept(shortFrames)},
        {"fields too long", cut + longFields, 30, false, cutOut + Kept(longFields)},
        {"hour 24", cut + hour24, 30, false, cutOut + Kept(hour24)},
        {"frame 27 at 25", cut + frame27, 25, false, cutOut + Kept(frame27)},
        {"frame 27 at 30 is a timecode", cut + frame27, 30, false,
         cutOut + Cmx("002", "002", "V", "C", "00:00:00:27 00:00:05:00 01:00:00:00 01:00:05:00")},
        {"a label drop frame skips", cut + dropped, 30, true, cutOut + Kept(dropped)},
        {"the same label without drop frame", cut + dropped, 30, false,
         cutOut + Cmx("002", "002", "V", "C", "00:01:00:00 00:01:05:00 01:00:00:00 01:00:05:00")},
        {"a record out before the record in", cut + backwards, 30, false, cutOut + Kept(backwards)},
    };
    for (const auto& vector : vectors) {
        EXPECT_TRUE(
            SameBytes(vector.expected, Events(vector.source, vector.rate, vector.dropFrame)))
            << vector.rule;
    }
}

TEST(CmxEdges, AListWithoutAnEventItCanHoldIsStillWritten) {
    Exported exported = Export("* OPENING\r\n" + BAD_LINE);
    ASSERT_EQ(RESULT_CONVERTED, exported.result);
    EXPECT_TRUE(
        SameBytes(HEADER + HEADER_COMMENTS + "* OPENING\r\n" + Kept(BAD_LINE), exported.cmx));
    EXPECT_EQ(0u, exported.report.eventsWritten);
    EXPECT_EQ(1u, exported.report.keptAsComments);
}

TEST(CmxReport, CountsAndTheEventNumbersKeptAsComments) {
    Bytes source =
        Bve("001", "001", "V     ", "C        ", OUT_TC) +
        Bve("001", "002", "V     ", "D    030 ", IN_TC) +
        Bve("002", "003", "V     ", "W 1001 01:00 ", THIRD_TC) +
        Bve("003", "news01", "V     ", "C        ", TC, " F12") +
        Bve("004", "004", "V     ", "C        ", "02:28:18:4 00:00:05:00 01:00:00:00 01:00:05:00");
    for (int k = 0; k < 10; ++k) {
        source += Bve("100", "100", "V     ", "KB   002 ");
    }
    Exported exported = Export(source);
    ASSERT_EQ(RESULT_CONVERTED, exported.result);
    const CmxReport& report = exported.report;
    EXPECT_EQ(14u, report.eventsWritten);
    EXPECT_EQ(1u, report.dissolvesSplit);
    EXPECT_EQ(13u, report.keptAsComments);
    const uint32_t numbers[CMX_REPORT_NUMBERS] = {2, 3, 4, 100, 100, 100, 100, 100};
    for (size_t k = 0; k < CMX_REPORT_NUMBERS; ++k) {
        EXPECT_EQ(numbers[k], report.keptEventNumbers[k]) << k;
    }
    EXPECT_EQ(1u, report.reelsRenamed);
}

TEST(CmxReport, TheSummaryLine) {
    const struct {
        CmxReport report;
        const char* name;
        const char* line;
    } vectors[] = {
        {{9, 1, 4, {}, 0},
         "CMX_NEWS0612.EDL",
         "CMX_NEWS0612.EDL: 9 events, 1 dissolve, 4 kept as comments"},
        {{1, 0, 1, {}, 0}, "CMX_A.EDL", "CMX_A.EDL: 1 event, 0 dissolves, 1 kept as a comment"},
        {{0, 0, 3, {}, 0},
         "CMX_MEMO.EDL",
         "CMX_MEMO.EDL: 0 events, 0 dissolves, 3 kept as comments"},
        {{7, 2, 0, {}, 1}, "X", "X: 7 events, 2 dissolves, 0 kept as comments, 1 reel renamed"},
        {{7, 2, 0, {}, 3}, "", "7 events, 2 dissolves, 0 kept as comments, 3 reels renamed"},
        {{7, 2, 0, {}, 3}, nullptr, "7 events, 2 dissolves, 0 kept as comments, 3 reels renamed"},
    };
    for (const auto& vector : vectors) {
        char line[128];
        size_t length = FormatCmxSummary(vector.report, vector.name, line, sizeof line);
        EXPECT_STREQ(vector.line, line);
        EXPECT_EQ(std::strlen(vector.line), length);
    }
    char small[12];
    size_t length = FormatCmxSummary(vectors[0].report, vectors[0].name, small, sizeof small);
    EXPECT_STREQ("CMX_NEWS061", small) << "cut to the buffer, terminated";
    EXPECT_EQ(11u, length);
}

TEST(CmxReport, AnEventNumberSplitByADissolveCountsOnce) {
    Exported exported =
        Export(ReadFileBytes("../samples/NEWS0612.EDL"), 30, false, false, "NEWS0612.EDL");
    ASSERT_EQ(RESULT_CONVERTED, exported.result);
    char line[128];
    FormatCmxSummary(exported.report, "CMX_NEWS0612.EDL", line, sizeof line);
    EXPECT_STREQ("CMX_NEWS0612.EDL: 9 events, 1 dissolve, 4 kept as comments", line);
    const uint32_t numbers[] = {3, 4, 6, 8};
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(numbers[k], exported.report.keptEventNumbers[k]) << k;
    }
}

}  // namespace

namespace {

namespace fs = std::filesystem;

// The reader itself must catch what would break an import or lose an item: each of these
// changes to a good export is found.
TEST(CmxReader, CatchesEveryChangeThatBreaksOrLosesSomething) {
    Exported news = Export(ReadFileBytes("../samples/NEWS0612.EDL"), 30, false, false, "N.EDL");
    Exported promo = Export(ReadFileBytes("../samples/PROMO_B.EDL"), 30, false, false, "P.EDL");
    ASSERT_TRUE(ExportHoldsRepairedList(news.repairedBody, news.cmx, 30, false));
    ASSERT_TRUE(ExportHoldsRepairedList(promo.repairedBody, promo.cmx, 30, false));
    const struct {
        const char* rule;
        const Exported* exported;
        Bytes from;
        Bytes to;
    } changes[] = {
        {"a timecode", &news, "00:59:50:00 00:59:55:00", "00:59:50:01 00:59:55:00"},
        {"a mark after the last timecode", &news, "01:00:40:12\r\n", "01:00:40:12 F12\r\n"},
        {"a comment before the first event", &news, "FRAME\r\n\r\n", "FRAME\r\n\r\n* NOTE\r\n"},
        {"a lost note", &news, "* END OF BLOCK\r\n", ""},
        {"a lost header note", &news, "* PROGRAM OPENING\r\n", ""},
        {"a lost AUD line", &news, "AUD  3\r\n", ""},
        {"the channels", &news, "006  005      A   ", "006  005      V   "},
        {"a dissolve's length", &news, "D    030", "D    031"},
        {"an outgoing line with a length", &news, "02:10:04:12 01:00:09:12 01:00:09:12",
         "02:10:04:12 01:00:09:12 01:00:09:13"},
        {"a dissolve without its outgoing line", &news,
         "003  002      AA/V  C        02:10:04:12 02:10:04:12 01:00:09:12 01:00:09:12\r\n", ""},
        {"a reel", &news, "009  007 ", "009  008 "},
        {"a lost wipe comment", &news, "* BVE WIPE 1001 01:00\r\n", ""},
        {"a lost event", &news,
         "007  006      V     C        06:00:00:00 06:00:04:00 01:00:29:12 01:00:33:12\r\n", ""},
        {"a line end without CR", &news, "\r\n* END", "\n* END"},
        {"a speed", &promo, "015.0", "016.0"},
        {"a lost speed line", &promo, "M2   011            015.0                10:10:05:00\r\n",
         ""},
        {"a speed line out of its columns", &promo, "015.0                10:10",
         "015.0               10:10"},
        {"a lost internal data line", &promo, "* BVE DATA: 12 34 56 EDIT MEMORY\r\n", ""},
    };
    for (const auto& change : changes) {
        Bytes changed = change.exported->cmx;
        size_t at = changed.find(change.from);
        ASSERT_NE(Bytes::npos, at) << change.rule;
        changed.replace(at, change.from.size(), change.to);
        EXPECT_FALSE(ExportHoldsRepairedList(change.exported->repairedBody, changed, 30, false))
            << change.rule;
    }
}

// Every export of the samples, the golden files and the fuzz corpus, at each rate, holds its
// repaired list.
TEST(CmxReader, EveryExportOfTheGoldenSetAndTheCorpusHoldsItsRepairedList) {
    std::vector<fs::path> files;
    for (const char* folder : {"../samples", "golden", "../fuzz/corpus"}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            files.push_back(entry.path());
        }
    }
    const struct {
        int rate;
        bool dropFrame;
    } rates[] = {{30, false}, {30, true}, {25, false}, {24, false}};
    size_t events = 0;
    size_t exports = 0;
    for (const fs::path& file : files) {
        Bytes source = ReadFileBytes(file);
        for (const auto& rate : rates) {
            Exported exported = Export(source, rate.rate, rate.dropFrame);
            if (exported.result != RESULT_CONVERTED) {
                continue;
            }
            ++exports;
            events += exported.report.eventsWritten;
            EXPECT_TRUE(ExportHoldsRepairedList(exported.repairedBody, exported.cmx, rate.rate,
                                                rate.dropFrame))
                << file << " at " << rate.rate << (rate.dropFrame ? " drop frame" : "");
        }
    }
    EXPECT_GT(exports, 2000u);
    EXPECT_GT(events, 2000u);
}

}  // namespace
