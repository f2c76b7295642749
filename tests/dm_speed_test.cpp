// DM speed records: how a "DM " note line becomes a record, and which event lines get the mark.
#include <cstring>

#include "dm_speed.h"
#include "test_util.h"

namespace {

LinePiece PieceOf(const Bytes& text) {
    LinePiece piece{};
    std::memcpy(piece.bytes, text.data(), text.size());
    piece.length = text.size();
    return piece;
}

struct RecordVector {
    const char* rule;
    const char* line;
    int records;        // records held afterwards
    const char* speed;  // of the record, when one was added
    const char* timecode;
};

TEST(DmSpeed, RecordsFromDmLines) {
    const RecordVector vectors[] = {
        {"sign, three digits and the timecode around its frame separator",
         "DM 001 Speed:+050 00:00:10.00\r\n", 1, "+050", "00:00:10.00"},
        {"a comma as frame separator", "DM 001 Speed:-025 01:02:03,04\r\n", 1, "-025",
         "01:02:03,04"},
        {"the mark may stand anywhere in the note", "* X DM 001 Speed:+100 00:00:20.00\r\n", 1,
         "+100", "00:00:20.00"},
        {"only three digits are taken", "DM 001 Speed:+0500 00:00:10.00\r\n", 1, "+050",
         "00:00:10.00"},
        {"fewer than three digits add nothing", "DM 001 Speed:+05 00:00:10.00\r\n", 0, "", ""},
        {"no sign after Speed: adds nothing", "DM 001 Speed: 050 00:00:10.00\r\n", 0, "", ""},
        {"a sign before Speed: does not count", "DM +050 Speed: 00:00:10.00\r\n", 0, "", ""},
        {"the label is case-sensitive", "DM 001 SPEED:+050 00:00:10.00\r\n", 0, "", ""},
        {"a separator fewer than 8 bytes after the mark gives an empty timecode",
         "DM 1.5 Speed:+050 00:00:10.00\r\n", 1, "+050", ""},
        {"no separator at all gives an empty timecode", "DM 001 Speed:+050 00:00:10\r\n", 1, "+050",
         ""},
        {"a line ending sooner gives a short timecode", "DM 001 Speed:+050 00:00:10.0", 1, "+050",
         "00:00:10.0"},
    };
    for (const RecordVector& vector : vectors) {
        LineState state{};
        CollectDmSpeedRecord(PieceOf(vector.line), &state);
        EXPECT_EQ(vector.records, state.dmRecordCount) << vector.rule;
        if (state.dmRecordCount == 1) {
            EXPECT_STREQ(vector.speed, state.dmRecords[0].speed) << vector.rule;
            EXPECT_STREQ(vector.timecode, state.dmRecords[0].timecode) << vector.rule;
        }
    }
}

TEST(DmSpeed, OnlyThe127BytesFromTheMarkAreRead) {
    // "Speed:" begins at byte 122 of the copy; its digits lie past byte 127.
    Bytes line = "DM " + Bytes(119, 'x') + "Speed:+050 00:00:10.00\r\n";
    LineState state{};
    CollectDmSpeedRecord(PieceOf(line), &state);
    EXPECT_EQ(0, state.dmRecordCount);
    Bytes fits = "DM " + Bytes(100, 'x') + "Speed:+050 00:00:10.00\r\n";
    CollectDmSpeedRecord(PieceOf(fits), &state);
    EXPECT_EQ(1, state.dmRecordCount);
}

// Runs a sequence: "DM ..." items are note lines, anything else is an event line's first
// timecode. Returns the speed each event line takes ("" for none).
std::vector<std::string> RunSequence(const std::vector<std::string>& items) {
    LineState state{};
    std::vector<std::string> speeds;
    for (const std::string& item : items) {
        if (item.rfind("DM ", 0) == 0) {
            CollectDmSpeedRecord(PieceOf(item + "\r\n"), &state);
            continue;
        }
        char timecode[260] = {};
        std::snprintf(timecode, sizeof timecode, "%s 00:00:05:00 01:00:00:00 01:00:05:00",
                      item.c_str());
        char speed[5] = {};
        int record = TakeDmSpeed(timecode, &state, speed, sizeof speed);
        EXPECT_EQ(record < 0, speed[0] == 0) << item;
        speeds.push_back(speed);
    }
    return speeds;
}

using Marks = std::vector<std::string>;

TEST(DmSpeed, WhichEventLinesAreMarked) {
    EXPECT_EQ((Marks{"", "+050", ""}), RunSequence({"DM 001 Speed:+050 00:00:10.00", "00:00:00:00",
                                                    "00:00:10.00", "00:00:10.00"}))
        << "a single record marks the first match among the next two, then is discarded";
    EXPECT_EQ((Marks{"", "", ""}), RunSequence({"DM 001 Speed:+050 00:00:10.00", "00:00:00:00",
                                                "00:00:01:00", "00:00:10.00"}))
        << "two misses discard a single record";
    EXPECT_EQ((Marks{"+050", "-025", ""}),
              RunSequence({"DM 001 Speed:+050 00:00:10.00", "DM 001 Speed:-025 00:00:20.00",
                           "00:00:10.00", "00:00:20.00", "00:00:20.00"}))
        << "two records, one each, in order";
    EXPECT_EQ((Marks{"", "-025", ""}),
              RunSequence({"DM 001 Speed:+050 00:00:10.00", "DM 001 Speed:-025 00:00:20.00",
                           "00:00:00:00", "00:00:20.00", "00:00:20.00"}))
        << "a miss on the first record moves on to the second";
    EXPECT_EQ((Marks{"+050", "-025", ""}),
              RunSequence({"DM 001 Speed:+050 00:00:10.00", "DM 001 Speed:-025 00:00:10.00",
                           "00:00:10.00", "00:00:20.00", "00:00:20.00"}))
        << "same timecode: the line after the match takes the second speed";
    EXPECT_EQ(
        (Marks{"+050", "-025", ""}),
        RunSequence({"DM 001 Speed:+050 00:00:10.00", "DM 001 Speed:-025 00:00:10.00",
                     "DM 001 Speed:+999 00:00:10.00", "00:00:10.00", "00:00:20.00", "00:00:20.00"}))
        << "a third DM line adds nothing";
    EXPECT_EQ((Marks{"", ""}), RunSequence({"DM 1.5 Speed:+050 00:00:10.00", "00:00:10.00", "0.5"}))
        << "an empty timecode matches no line";
}

TEST(DmSpeed, ANewDmLineRestartsAtTheFirstRecord) {
    // The first record's miss is forgotten by the second DM line, so the first record still
    // gets two chances.
    EXPECT_EQ((Marks{"", "", "+050"}),
              RunSequence({"DM 001 Speed:+050 00:00:10.00", "00:00:00:00",
                           "DM 002 Speed:+05 00:00:30.00", "00:00:01:00", "00:00:10.00"}));
}

TEST(DmSpeed, TheMatchedRecordIsNamed) {
    LineState state{};
    CollectDmSpeedRecord(PieceOf("DM 001 Speed:+050 00:00:10.00\r\n"), &state);
    CollectDmSpeedRecord(PieceOf("DM 001 Speed:-025 00:00:20.00\r\n"), &state);
    char speed[5] = {};
    EXPECT_EQ(-1, TakeDmSpeed("00:00:00:00 00:00:05:00", &state, speed, sizeof speed));
    EXPECT_EQ(1, TakeDmSpeed("00:00:20.00 00:00:05:00", &state, speed, sizeof speed));
    EXPECT_STREQ("-025", speed);
}

}  // namespace
