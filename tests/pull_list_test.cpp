// The tape pull list: each tape's source ranges, widened by handles and merged; and the frame
// arithmetic of timecodes it rests on.
#include <algorithm>
#include <filesystem>
#include <map>

#include "cmx_reader.h"
#include "convert_util.h"
#include "csv_reader.h"

namespace {

namespace fs = std::filesystem;

const FrameRate RATES[] = {{24, false}, {25, false}, {30, false}, {30, true}};

TEST(Timecode, EveryFrameOfTheDayComesBackAsItsLabel) {
    for (const FrameRate& rate : RATES) {
        int64_t day = FramesPerDay(rate);
        EXPECT_EQ(rate.dropFrame ? 2589408 : 86400 * rate.framesPerSecond, day);
        Timecode previous{};
        for (int64_t frame = 0; frame < day; ++frame) {
            Timecode timecode = TimecodeAtFrame(frame, rate);
            char text[TIMECODE_LENGTH];
            PutTimecode(text, 0, timecode);
            Timecode parsed{};
            ASSERT_TRUE(ParseTimecode(reinterpret_cast<const uint8_t*>(text), TIMECODE_LENGTH, rate,
                                      &parsed))
                << frame << " at " << rate.framesPerSecond << (rate.dropFrame ? " DF" : "");
            ASSERT_EQ(frame, TimecodeFrames(parsed, rate)) << Bytes(text, TIMECODE_LENGTH);
            ASSERT_TRUE(frame == 0 || TimecodeBefore(previous, timecode));
            previous = timecode;
        }
    }
    // Drop frame skips ;00 and ;01 of every minute but each tenth.
    EXPECT_EQ(1800, TimecodeFrames(Timecode{0, 1, 0, 2}, FrameRate{30, true}));
    EXPECT_EQ(17982, TimecodeFrames(Timecode{0, 10, 0, 0}, FrameRate{30, true}));
}

// A pull row read back: its reel and range in frames, and its events' numbers.
struct PullRow {
    std::string reel;
    long in;
    long out;
    std::vector<std::string> numbers;
};

std::vector<PullRow> ReadPullRows(const Bytes& pull, int rate, bool dropFrame) {
    CsvRead table = ReadCsv(pull);
    EXPECT_EQ("", table.problem);
    std::vector<PullRow> rows;
    for (size_t k = 1; k < table.rows.size(); ++k) {
        const std::vector<std::string>& row = table.rows[k];
        EXPECT_EQ(7u, row.size());
        long in = cmx_reader::Frames(row[2], rate, dropFrame);
        long out = cmx_reader::Frames(row[3], rate, dropFrame);
        EXPECT_EQ(out - in, cmx_reader::Frames(row[4], rate, dropFrame)) << "the length";
        std::vector<std::string> numbers;
        for (size_t at = 0; at < row[6].size(); at = row[6].find(' ', at) + 1) {
            numbers.push_back(row[6].substr(at, row[6].find(' ', at) - at));
            if (row[6].find(' ', at) == std::string::npos) {
                break;
            }
        }
        EXPECT_EQ(std::to_string(numbers.size()), row[5]) << "the count of its events";
        rows.push_back(PullRow{row[0], in, out, numbers});
    }
    return rows;
}

// The BVE number of an event of the export: its own, or the one its comment names.
std::string BveNumberOf(const CmxEvent& event) {
    for (const std::string& comment : event.comments) {
        if (comment.compare(0, 12, "* BVE EVENT ") == 0) {
            return comment.substr(12);
        }
    }
    return std::string(4 - std::min<size_t>(4, event.line.number.size()), '0') + event.line.number;
}

Exported Pulled(const Bytes& source, int handles = 2, int rate = 30) {
    return ConvertWithExport(source, "A.EDL", rate, false, false, OPTION_EXPORT_PULL, handles);
}

TEST(PullList, RangesWidenedByHandlesAndMerged) {
    const char* const header =
        "\xEF\xBB\xBF"
        "リール,元のリール,ソースIN,ソースOUT,尺,イベント数,イベント\r\n";
    auto cut = [](const char* number, const char* reel, const char* source) {
        return Bve(number, reel, "V     ", "C        ", Bytes(source) + " 01:00:00:00 01:00:05:00");
    };
    const struct {
        const char* rule;
        Bytes source;
        int handles;
        Bytes rows;
    } vectors[] = {
        {"one event, two seconds each side", cut("001", "T1", "10:00:00:00 10:00:05:00"), 2,
         "T1,T1,09:59:58:00,10:00:07:00,00:00:09:00,1,0001\r\n"},
        {"without handles", cut("001", "T1", "10:00:00:00 10:00:05:00"), 0,
         "T1,T1,10:00:00:00,10:00:05:00,00:00:05:00,1,0001\r\n"},
        {"ranges that overlap once widened are one",
         cut("001", "T1", "10:00:00:00 10:00:05:00") + cut("002", "T1", "10:00:08:00 10:00:09:00"),
         2, "T1,T1,09:59:58:00,10:00:11:00,00:00:13:00,2,0001 0002\r\n"},
        {"ranges that touch are one",
         cut("001", "T1", "10:00:00:00 10:00:05:00") + cut("002", "T1", "10:00:05:00 10:00:06:00"),
         0, "T1,T1,10:00:00:00,10:00:06:00,00:00:06:00,2,0001 0002\r\n"},
        {"a gap of a frame keeps two",
         cut("001", "T1", "10:00:00:00 10:00:05:00") + cut("002", "T1", "10:00:05:01 10:00:06:00"),
         0,
         "T1,T1,10:00:00:00,10:00:05:00,00:00:05:00,1,0001\r\n"
         "T1,T1,10:00:05:01,10:00:06:00,00:00:00:29,1,0002\r\n"},
        {"sorted by reel, then source in",
         cut("001", "T2", "02:00:00:00 02:00:01:00") + cut("002", "T1", "05:00:00:00 05:00:01:00") +
             cut("003", "T1", "01:00:00:00 01:00:01:00"),
         0,
         "T1,T1,01:00:00:00,01:00:01:00,00:00:01:00,1,0003\r\n"
         "T1,T1,05:00:00:00,05:00:01:00,00:00:01:00,1,0002\r\n"
         "T2,T2,02:00:00:00,02:00:01:00,00:00:01:00,1,0001\r\n"},
        {"never before the day's start nor past its last frame",
         cut("001", "T1", "00:00:01:00 00:00:02:00") + cut("002", "T2", "23:59:58:00 23:59:59:00"),
         2,
         "T1,T1,00:00:00:00,00:00:04:00,00:00:04:00,1,0001\r\n"
         "T2,T2,23:59:56:00,23:59:59:29,00:00:03:29,1,0002\r\n"},
        {"black, no reel word and no source range are no tapes",
         cut("001", "BLK", "10:00:00:00 10:00:05:00") +
             "002\r    V     C        10:00:00:00 10:00:05:00 01:00:00:00 01:00:05:00\r\n" +
             cut("003", "T1", "10:00:05:00 10:00:00:00") +
             cut("004", "T1", "10:00:00:4 10:00:05:00") +
             cut("005", "T3", "10:00:00:00 10:00:05:00"),
         0, "T3,T3,10:00:00:00,10:00:05:00,00:00:05:00,1,0005\r\n"},
        {"a dissolve plays the shot it comes from on for its length: a range of its own there",
         cut("001", "T1", "10:00:00:00 10:00:05:00") +
             Bve("002", "T2", "V     ", "D    045 ",
                 "20:00:00:00 20:00:05:00 01:00:05:00 01:00:10:00"),
         0,
         "T1,T1,10:00:00:00,10:00:06:15,00:00:06:15,2,0001 0002\r\n"
         "T2,T2,20:00:00:00,20:00:05:00,00:00:05:00,1,0002\r\n"},
        {"a renamed reel and its word", cut("001", "news01", "10:00:00:00 10:00:05:00"), 0,
         "NEWS01,news01,10:00:00:00,10:00:05:00,00:00:05:00,1,0001\r\n"},
    };
    for (const auto& vector : vectors) {
        Exported exported = Pulled(vector.source, vector.handles);
        ASSERT_EQ(RESULT_CONVERTED, exported.result) << vector.rule;
        EXPECT_TRUE(SameBytes(header + vector.rows, exported.pull)) << vector.rule;
    }
}

TEST(PullList, TheSummaryNamesWhatIsLeftOut) {
    Bytes source;
    for (int k = 1; k <= 10; ++k) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", k);
        source += Bve(number, k <= 9 ? "BL" : "T1", "V     ", "C        ");
    }
    Exported exported = Pulled(source);
    char line[256];
    FormatPullSummary(exported.pullReport, "PULL_A.csv", line, sizeof line);
    EXPECT_STREQ(
        "PULL_A.csv: 1 tape, 1 range, 9 events left out (0001, 0002, 0003, 0004, 0005, "
        "0006, 0007, 0008, ...)",
        line);
    PullReport none{};
    FormatPullSummary(none, nullptr, line, sizeof line);
    EXPECT_STREQ("0 tapes, 0 ranges, 0 events left out", line);
}

// Two lists of a batch: a range both use is one row, naming both files.
TEST(PullList, ABatchNamesTheFilesOfEachRange) {
    PullRanges ranges{};
    const Bytes lists[] = {
        Bve("001", "T1", "V     ", "C        ", "10:00:00:00 10:00:05:00 01:00:00:00 01:00:05:00"),
        Bve("007", "T1", "V     ", "C        ", "10:00:04:00 10:00:09:00 01:00:00:00 01:00:05:00") +
            Bve("008", "T2", "V     ", "C        ", TC)};
    for (uint32_t file = 0; file < 2; ++file) {
        ConvertedTexts out{};
        MemorySource memory{reinterpret_cast<const uint8_t*>(lists[file].data()),
                            lists[file].size(), 0};
        ByteSource input = MakeMemorySource(&memory);
        SourceConversion conversion{&input,
                                    static_cast<uint32_t>(lists[file].size()),
                                    "A.EDL",
                                    TEST_STAMP,
                                    OPTION_EXPORT_PULL,
                                    30,
                                    0};
        ASSERT_EQ(RESULT_CONVERTED, ConvertEdlSource(conversion, &out));
        ASSERT_TRUE(AppendPullRanges(&ranges, out.pullRanges, file));
        ReleaseConvertedTexts(&out);
    }
    const char* const names[] = {"A.EDL", "B.EDL"};
    ByteBuffer text{};
    PullReport report{};
    ASSERT_TRUE(WritePullList(&ranges, 0, names, &text, &report));
    EXPECT_TRUE(
        SameBytes("\xEF\xBB\xBF"
                  "リール,元のリール,ソースIN,ソースOUT,尺,イベント数,イベント,ファイル\r\n"
                  "T1,T1,10:00:00:00,10:00:09:00,00:00:09:00,2,0001 / 0007,A.EDL / B.EDL\r\n"
                  "T2,T2,00:00:00:00,00:00:05:00,00:00:05:00,1,0008,B.EDL\r\n",
                  TextOf(text)));
    EXPECT_EQ(2u, report.tapes);
    EXPECT_EQ(2u, report.ranges);
    BufferRelease(&text);
    ReleasePullRanges(&ranges);
}

// Over the samples, the golden files and the fuzz corpus: each event the export holds on a
// tape, widened by the handles, lies in exactly one row of its reel; rows of one reel neither
// overlap nor touch; their events add up, and so do their lengths.
TEST(PullList, EveryTapeEventOfTheCorpusLiesInOneRowOfItsReel) {
    size_t events = 0;
    for (const char* folder : {"../samples", "golden", "../fuzz/corpus"}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            const int handles = entry.path().filename().string().size() % 3;  // 0, 1 or 2
            Exported exported = Pulled(ReadFileBytes(entry.path()), handles);
            if (exported.result != RESULT_CONVERTED) {
                continue;
            }
            std::vector<PullRow> rows = ReadPullRows(exported.pull, 30, false);
            std::map<std::string, std::vector<std::pair<long, long>>> widened;
            const long handle = handles * 30L;
            const long lastFrame = 24L * 3600 * 30 - 1;
            auto widen = [&](const std::string& reel, long in, long out) {
                widened[reel].push_back(
                    {std::max(0L, in - handle), std::min(lastFrame, out + handle)});
            };
            for (const CmxEvent& event : ReadCmxList(exported.cmx).events) {
                const CmxEventLine& line = event.line;
                long in = cmx_reader::Frames(line.timecodes[0], 30, false);
                long out = cmx_reader::Frames(line.timecodes[1], 30, false);
                if (line.reel != "BL" && line.reel != "AX" && out >= in) {
                    widen(line.reel, in, out);
                    size_t holding = 0;
                    for (const PullRow& row : rows) {
                        bool holds = row.reel == line.reel && row.in <= std::max(0L, in - handle) &&
                                     std::min(lastFrame, out + handle) <= row.out;
                        holding += holds ? 1 : 0;
                        EXPECT_TRUE(!holds || std::find(row.numbers.begin(), row.numbers.end(),
                                                        BveNumberOf(event)) != row.numbers.end())
                            << entry.path() << " event " << line.number << " is named in its row";
                    }
                    EXPECT_EQ(1u, holding) << entry.path() << " event " << line.number;
                    ++events;
                }
                // A dissolve plays on the tape it comes from, past the outgoing line's point.
                const CmxEventLine& from = event.outgoing;
                if (event.hasOutgoing && from.reel != "BL" && from.reel != "AX") {
                    long point = cmx_reader::Frames(from.timecodes[1], 30, false);
                    widen(from.reel, point, point + std::stol(line.duration));
                }
            }
            long rowFrames = 0;
            for (size_t k = 0; k < rows.size(); ++k) {
                rowFrames += rows[k].out - rows[k].in;
                bool sameReel = k > 0 && rows[k - 1].reel == rows[k].reel;
                EXPECT_TRUE(!sameReel || rows[k - 1].out < rows[k].in)
                    << entry.path() << " rows " << k - 1 << " and " << k;
            }
            long unionFrames = 0;
            for (auto& reel : widened) {
                std::sort(reel.second.begin(), reel.second.end());
                long end = -1;
                for (const auto& range : reel.second) {
                    unionFrames += std::max(0L, range.second - std::max(range.first, end));
                    end = std::max(end, range.second);
                }
            }
            EXPECT_EQ(exported.pullReport.ranges, rows.size()) << entry.path();
            EXPECT_EQ(unionFrames, rowFrames) << entry.path();
            EXPECT_EQ(widened.size(), exported.pullReport.tapes) << entry.path();
        }
    }
    EXPECT_GT(events, 1000u);
}

}  // namespace
