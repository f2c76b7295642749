// Effect, speed and note lines over whole files: source bytes in, the output after the banner
// out.
#include "convert_util.h"

namespace {

// Event lines as the controller lays them out, by event number, type and first timecode.
Bytes Event(const char* number, const char* typeArea, const char* firstTimecode = "00:00:00:00") {
    return Bytes(number) + "  001    V     " + typeArea + firstTimecode +
           " 00:00:05:00 01:00:00:00 01:00:05:00\r\n";
}
Bytes Cut(const char* number, const char* tc = "00:00:00:00") {
    return Event(number, "C        ", tc);
}
Bytes Dissolve(const char* number) {
    return Event(number, "D    030 ");
}

// The same lines rewritten.
Bytes CutOut(const char* number, const char* tc = "00:00:00:00", const char* marks = "") {
    return Bytes(number) + " 001    V     C             " + tc +
           " 00:00:05:00 01:00:00:00 01:00:05:00" + marks + "\r\n";
}
Bytes DissolveOut(const char* number) {
    return Bytes(number) +
           " 001    V     D       030   00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n";
}
const Bytes EFFECT = "          * EFFECT NAME: DISSOLVE\r\n";

struct FileVector {
    const char* rule;
    Bytes source;
    Bytes expected;
    uint32_t options;
};

TEST(NoteLines, WholeFiles) {
    const FileVector vectors[] = {
        {"short notes and the three drop patterns go; the rest stays",
         Cut("001") + "* FROM CLIP NAME: ABC\r\n" + "\r\n" + "ab\r\n" + "   \r\n" +
             "* EFFECT NAME: WIPE\r\n" + "AUDIO DISSOLVE 030\r\n" +
             "          >> EDL File: [X]\r\n" + "TITLE: X\r\n" + "x\r\n",
         CutOut("0001") + "* FROM CLIP NAME: ABC\r\n" + "ab\r\n" + "   \r\n" + "TITLE: X\r\n", 0},
        {"internal data lines stay with the option off",
         Cut("001") + "12 34 56\r\n" + "1234\r\n" + "99:99\r\n" + "12 AUDIO DISSOLVE\r\n",
         CutOut("0001") + "12 34 56\r\n" + "1234\r\n" + "99:99\r\n" + "12 AUDIO DISSOLVE\r\n", 0},
        {"and go with it on; the drop patterns are for notes only",
         Cut("001") + "12 34 56\r\n" + "1234\r\n" + "99:99\r\n" + "12 AUDIO DISSOLVE\r\n" +
             "* NOTE\r\n",
         CutOut("0001") + "* NOTE\r\n", 2},
        {"the effect line goes before the dissolving event's first line",
         Cut("001") + Cut("002") + Dissolve("002") + Cut("003"),
         CutOut("0001") + EFFECT + CutOut("0002") + DissolveOut("0002") + CutOut("0003"), 0},
        {"a note between the event's lines ends the run",
         Cut("001") + Cut("002") + "* NOTE\r\n" + Dissolve("002") + Cut("003"),
         CutOut("0001") + CutOut("0002") + "* NOTE\r\n" + EFFECT + DissolveOut("0002") +
             CutOut("0003"),
         0},
        {"two dissolves of one event stack their effect lines before the first",
         Cut("001") + Dissolve("002") + Dissolve("002"),
         CutOut("0001") + EFFECT + EFFECT + DissolveOut("0002") + DissolveOut("0002"), 0},
        {"a dissolve record line of the source is replaced by the converter's own",
         Cut("001") + Dissolve("002") + "* EFFECT NAME: CROSS DISSOLVE\r\n" +
             "AUDIO DISSOLVE 030\r\n",
         CutOut("0001") + EFFECT + DissolveOut("0002"), 0},
    };
    for (const FileVector& vector : vectors) {
        EXPECT_TRUE(SameBytes(vector.expected, AfterBanner(vector.source, vector.options)))
            << vector.rule;
    }
}

TEST(NoteLines, DmSpeedMarksOverWholeFiles) {
    const Bytes dm50 = "DM 001 Speed:+050 00:00:10.00\r\n";
    const Bytes dm25at20 = "DM 001 Speed:-025 00:00:20.00\r\n";
    const Bytes dm25at10 = "DM 001 Speed:-025 00:00:10.00\r\n";
    const char* mark50 = "      DM+050";
    const char* mark25 = "      DM-025";
    const FileVector vectors[] = {
        {"one record marks the matching line; the DM line itself stays",
         Cut("001") + dm50 + Cut("002", "00:00:00:00") + Cut("003", "00:00:10.00") +
             Cut("004", "00:00:10.00"),
         CutOut("0001") + dm50 + CutOut("0002") + CutOut("0003", "00:00:10.00", mark50) +
             CutOut("0004", "00:00:10.00"),
         0},
        {"two misses first: no mark",
         Cut("001") + dm50 + Cut("002") + Cut("003", "00:00:01:00") + Cut("004", "00:00:10.00"),
         CutOut("0001") + dm50 + CutOut("0002") + CutOut("0003", "00:00:01:00") +
             CutOut("0004", "00:00:10.00"),
         0},
        {"two records in order",
         Cut("001") + dm50 + dm25at20 + Cut("002", "00:00:10.00") + Cut("003", "00:00:20.00") +
             Cut("004", "00:00:20.00"),
         CutOut("0001") + dm50 + dm25at20 + CutOut("0002", "00:00:10.00", mark50) +
             CutOut("0003", "00:00:20.00", mark25) + CutOut("0004", "00:00:20.00"),
         0},
        {"two records, the first one missed",
         Cut("001") + dm50 + dm25at20 + Cut("002") + Cut("003", "00:00:20.00") +
             Cut("004", "00:00:20.00"),
         CutOut("0001") + dm50 + dm25at20 + CutOut("0002") + CutOut("0003", "00:00:20.00", mark25) +
             CutOut("0004", "00:00:20.00"),
         0},
        {"two records of one timecode mark the match and the line after it",
         Cut("001") + dm50 + dm25at10 + Cut("002", "00:00:10.00") + Cut("003", "00:00:20.00") +
             Cut("004", "00:00:20.00"),
         CutOut("0001") + dm50 + dm25at10 + CutOut("0002", "00:00:10.00", mark50) +
             CutOut("0003", "00:00:20.00", mark25) + CutOut("0004", "00:00:20.00"),
         0},
        {"a speed of two digits adds no record",
         Cut("001") + "DM 001 Speed:+05 00:00:10.00\r\n" + Cut("002", "00:00:10.00"),
         CutOut("0001") + "DM 001 Speed:+05 00:00:10.00\r\n" + CutOut("0002", "00:00:10.00"), 0},
        {"a speed of four digits gives its first three",
         Cut("001") + "DM 001 Speed:+0500 00:00:10.00\r\n" + Cut("002", "00:00:10.00"),
         CutOut("0001") + "DM 001 Speed:+0500 00:00:10.00\r\n" +
             CutOut("0002", "00:00:10.00", mark50),
         0},
        {"an event line's own DM mark stays",
         Cut("001") + dm50 +
             "002  001    V     C        00:00:10.00 00:00:05:00 01:00:00:00 01:00:05:00 "
             "DM-010\r\n",
         CutOut("0001") + dm50 + CutOut("0002", "00:00:10.00", "      DM-010"), 0},
        {"a DM inside the F-text keeps the record's mark out",
         Cut("001") + dm50 +
             "002  001    V     C        00:00:10.00 00:00:05:00 01:00:00:00 01:00:05:00 "
             "FDM\r\n",
         CutOut("0001") + dm50 +
             CutOut("0002", "00:00:10.00", "                                                  FDM"),
         0},
        {"a DM inside the audio slot keeps the record's mark out",
         Cut("001") + dm50 +
             "002  001    V     C        00:00:10.00 00:00:05:00 01:00:00:00 01:00:05:00 "
             "ADM\r\n",
         CutOut("0001") + dm50 +
             "0002 001    VA    C             00:00:10.00 00:00:05:00 01:00:00:00 01:00:05:00"
             "               ADM \r\n",
         0},
        {"the mark goes beside the audio slot and the F-text",
         Cut("001") + dm50 +
             "002  001    V     C        00:00:10.00 00:00:05:00 01:00:00:00 01:00:05:00 A4 "
             "F12\r\n",
         CutOut("0001") + dm50 +
             "0002 001    VA    C             00:00:10.00 00:00:05:00 01:00:00:00 01:00:05:00"
             "      DM+050     A4                               F12\r\n",
         0},
    };
    for (const FileVector& vector : vectors) {
        EXPECT_TRUE(SameBytes(vector.expected, AfterBanner(vector.source, vector.options)))
            << vector.rule;
    }
}

TEST(NoteLines, ControllerDmLineSplitAcrossLinesIsJoinedThenRead) {
    // "DM 001 Speed:" and "+050 00:00:10.00" on two controller lines, bit 7 on the digits.
    Bytes plain = Cut("001") + "DM 001 Speed:\r\n+050 00:00:10.00\r\n" + Cut("002", "00:00:10.00");
    Bytes coded;
    for (size_t k = 0; k < plain.size(); ++k) {
        char c = plain[k];
        if (c == '\r') {
            coded += '\x8D';
            ++k;
        } else {
            coded += (c >= '0' && c <= '9') || c == ' ' ? static_cast<char>(c | 0x80) : c;
        }
    }
    EXPECT_TRUE(SameBytes(CutOut("0001") + "DM 001 Speed:+050 00:00:10.00\r\n" +
                              CutOut("0002", "00:00:10.00", "      DM+050"),
                          AfterBanner(coded)));
}

}  // namespace
