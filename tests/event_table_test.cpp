// The event table: one row per event line of a list, as the CMX export holds it.
#include <filesystem>

#include "cmx_reader.h"
#include "convert_util.h"
#include "csv_reader.h"

namespace {

namespace fs = std::filesystem;

const Bytes HEADER_ROW =
    "\xEF\xBB\xBF"
    "BVEイベント,CMXイベント,リール,元のリール,チャンネル,トランジション,長さ(フレーム),"
    "ソースIN,ソースOUT,レコードIN,レコードOUT,尺,スピード(%),ノート\r\n";

// The cut of TC, written as a row: its number, reel and channels and what follows.
Bytes Row(const char* head, const char* tail = ",,") {
    return Bytes(head) + ",C,,00:00:00:00,00:00:05:00,01:00:00:00,01:00:05:00,00:00:05:00" + tail +
           "\r\n";
}

Exported Tabled(const Bytes& source, int rate = 30, bool dropFrame = false) {
    return ConvertWithExport(source, "A.EDL", rate, dropFrame, false, OPTION_EXPORT_EVENTS);
}

TEST(EventTable, EachRowAsTheExportHoldsItsEvent) {
    const Bytes cut = Bve("001", "001", "V     ", "C        ");
    const Bytes badLine =
        Bve("002", "002", "V     ", "C        ", "02:28:18:4 00:00:05:00 01:00:00:00 01:00:05:00");
    const struct {
        const char* rule;
        Bytes source;
        Bytes rows;
    } vectors[] = {
        {"a cut and the notes after it", cut + "* FROM CLIP NAME: A\r\nEND OF TAPE\r\n",
         Row("0001,001,001,001,V", ",,* FROM CLIP NAME: A / END OF TAPE")},
        {"a dissolve: its length", Bve("001", "001", "VA1A2 ", "D    030 "),
         "0001,001,001,001,AA/V,D,30,00:00:00:00,00:00:05:00,01:00:00:00,01:00:05:00,"
         "00:00:05:00,,\r\n"},
        {"audio 3 and 4 after the channels, or alone",
         Bve("001", "001", "VA1A2 ", "C        ", TC, " A3 A4") +
             Bve("002", "002", "      ", "C        ", TC, " A3"),
         Row("0001,001,001,001,AA/V A3 A4") + Row("0002,002,002,002,A3")},
        {"a speed of its own, backwards", Bve("001", "001", "V     ", "C        ", TC, " DM-010"),
         Row("0001,001,001,001,V", ",-10,")},
        {"a speed from a DM line, which is the event's note",
         cut + "DM 002 Speed:+050 00:00:00.00\r\n" +
             Bve("002", "002", "V     ", "C        ",
                 "00:00:00.00 00:00:05:00 01:00:00:00 01:00:05:00"),
         Row("0001,001,001,001,V") +
             Row("0002,002,002,002,V", ",50,DM 002 Speed:+050 00:00:00.00")},
        {"what the export keeps of a wipe, an assembled event and marks",
         Bve("001", "001", "ASMBL ", "W 1001 01:00 ", TC, " F12"),
         Row("0001,001,001,001,AA/V", ",,WIPE 1001 01:00 / ASMBL / F12")},
        {"a renamed reel, and the reel as written", Bve("001", "news01", "V     ", "C        "),
         Row("0001,001,NEWS01,news01,V")},
        {"a line the export keeps as a comment: its line is its note", cut + badLine,
         Row("0001,001,001,001,V") + "0002,,,002,,,,,,,,,," +
             badLine.substr(0, badLine.size() - 2) + "\r\n"},
        {"an event number of five digits", "12345 001   V     C        " + TC + "\r\n",
         "12345,,,,,,,,,,,,,12345 001   V     C        " + TC + "\r\n"},
        {"a note with a comma and quotes, quoted", cut + "* SAY \"HI\", THEN GO\r\n",
         Row("0001,001,001,001,V", ",,\"* SAY \"\"HI\"\", THEN GO\"")},
        {"Shift-JIS notes and reels in UTF-8",
         Bve("001", "\x83\x65\x81\x5B\x83\x76", "V     ", "C        ") + "* \x89\xb9\x8a\x79\r\n",
         Row("0001,001,REEL,テープ,V", ",,* 音楽")},
        {"a note longer than a piece is one note", cut + "* " + Bytes(200, 'N') + "\r\n",
         Row("0001,001,001,001,V", (",,* " + Bytes(200, 'N')).c_str())},
        {"notes before the first event belong to no row", "* OPENING\r\n" + cut,
         Row("0001,001,001,001,V")},
    };
    for (const auto& vector : vectors) {
        Exported exported = Tabled(vector.source);
        ASSERT_EQ(RESULT_CONVERTED, exported.result) << vector.rule;
        EXPECT_TRUE(SameBytes(HEADER_ROW + vector.rows, exported.events)) << vector.rule;
    }
}

TEST(EventTable, LengthsAtDropFrameCountRealFrames) {
    // 00:00:59;28 to 00:01:00;02 is two frames: the labels ;00 and ;01 do not exist.
    Exported exported = Tabled(
        Bve("001", "001", "V     ", "C        ", "00:00:00:00 00:00:05:00 00:00:59:28 00:01:00:02"),
        30, true);
    ASSERT_EQ(RESULT_CONVERTED, exported.result);
    EXPECT_NE(Bytes::npos, exported.events.find(",00:00:59:28,00:01:00:02,00:00:00:02,"));
}

TEST(EventTable, AListWithoutEventLinesHasItsHeaderRowOnly) {
    // Twelve dots make the first event line, but the loop finds no event line in it.
    Exported exported = ConvertWithExport("............\r\n* NOTE\r\n", "A.EDL", 30, false, false,
                                          OPTION_EXPORT_EVENTS | OPTION_EXPORT_PULL);
    ASSERT_EQ(RESULT_CONVERTED, exported.result);
    EXPECT_TRUE(SameBytes(HEADER_ROW, exported.events));
    EXPECT_EQ(0u, exported.eventsReport.rows);
    EXPECT_EQ(1u, ReadCsv(exported.pull).rows.size()) << "the pull list's header row";
}

// Every event line of the samples, the golden files and the fuzz corpus is a row: the export's
// events in order, each with the export's number, reel, channels, transition and timecodes,
// and a row without timecodes for each line the export keeps as a comment.
TEST(EventTable, EveryEventOfTheCorpusIsARowAsTheExportHoldsIt) {
    size_t rows = 0;
    for (const char* folder : {"../samples", "golden", "../fuzz/corpus"}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            for (int rate : {30, 25}) {
                Exported exported = Tabled(ReadFileBytes(entry.path()), rate);
                if (exported.result != RESULT_CONVERTED) {
                    continue;
                }
                CsvRead table = ReadCsv(exported.events);
                ASSERT_EQ("", table.problem) << entry.path();
                CmxList list = ReadCmxList(exported.cmx);
                size_t next = 0;
                size_t kept = 0;
                for (size_t k = 1; k < table.rows.size(); ++k) {
                    const std::vector<std::string>& row = table.rows[k];
                    ASSERT_EQ(14u, row.size()) << entry.path();
                    if (row[1].empty()) {
                        ++kept;
                        continue;
                    }
                    ASSERT_LT(next, list.events.size()) << entry.path();
                    const CmxEventLine& line = list.events[next++].line;
                    std::string channels = line.channels == "NONE" ? "" : line.channels;
                    for (const char* audio : {line.audio3 ? "A3" : "", line.audio4 ? "A4" : ""}) {
                        channels += *audio == 0 ? "" : (channels.empty() ? "" : " ") + Bytes(audio);
                    }
                    std::string expected[] = {
                        line.number,
                        line.reel,
                        channels.empty() ? "NONE" : channels,
                        line.transition,
                        line.duration == "" ? "" : std::to_string(std::stoi(line.duration)),
                        line.timecodes[0],
                        line.timecodes[1],
                        line.timecodes[2],
                        line.timecodes[3]};
                    std::string actual[] = {row[1], row[2], row[4], row[5], row[6],
                                            row[7], row[8], row[9], row[10]};
                    for (size_t f = 0; f < 9; ++f) {
                        EXPECT_EQ(expected[f], actual[f]) << entry.path() << " row " << k;
                    }
                }
                EXPECT_EQ(list.events.size(), next) << entry.path();
                size_t keptLines = 0;
                for (const std::string& comment : list.comments) {
                    keptLines += comment.compare(0, 12, "* BVE LINE: ") == 0 ? 1 : 0;
                }
                EXPECT_EQ(keptLines, kept) << entry.path();
                EXPECT_EQ(table.rows.size() - 1, exported.eventsReport.rows) << entry.path();
                rows += table.rows.size() - 1;
            }
        }
    }
    EXPECT_GT(rows, 2000u);
}

}  // namespace
