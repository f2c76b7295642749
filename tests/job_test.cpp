// The worker loop: per-file outcomes, reports and their acknowledgement, progress steps, the
// tally, a stop between files, and a fresh start for every job.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "conversion_job.h"
#include "conversion_options.h"
#include "file_names.h"
#include "messages.h"
#include "test_util.h"

namespace {

namespace fs = std::filesystem;

const char GOOD_EDL[] =
    "TITLE\r\n001  001    V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n";

ConversionJob job;

// What the display saw, in order, as readable lines.
struct Recorder {
    std::vector<std::string> events;
    int stopAtFile = -1;  // stop the job when this file's name is shown
};

std::string Narrow(const char16_t* text) {
    std::string out;
    for (; *text != 0; ++text) {
        out += *text < 0x80 ? static_cast<char>(*text) : '?';
    }
    return out;
}

Recorder& RecorderOf(ConversionJob* j) {
    return *static_cast<Recorder*>(j->display.context);
}

void RecordName(ConversionJob* j, int index) {
    Recorder& recorder = RecorderOf(j);
    recorder.events.push_back("name " + Narrow(j->displayNames[index]));
    if (index == recorder.stopAtFile) {
        StopJob(j);
    }
}

void RecordCount(ConversionJob* j, int, const char16_t* count) {
    // The count text is Japanese; keep its numbers, "変換中…(" and ")" around them checked once.
    std::u16string text = count;
    EXPECT_EQ(0u, text.find(u"変換中…(")) << Narrow(count);
    RecorderOf(j).events.push_back("count " + Narrow(count + 5));
}

void RecordStep(ConversionJob* j, int) {
    RecorderOf(j).events.push_back("step");
}

// A stopped job's reports reach nobody, so nobody acknowledges them: a worker that waited
// would hang here.
void AcknowledgeUnlessStopped(ConversionJob* j) {
    if (j->state.load() != JOB_STOPPED) {
        SignalEvent(j->ackEvent);
    }
}

void RecordFailure(ConversionJob* j, int index, JobResult code) {
    char16_t message[JOB_MESSAGE_CHARS];
    const char16_t* name = j->displayNames[index];
    FormatFileFailure(code, name, message, JOB_MESSAGE_CHARS);
    RecorderOf(j).events.push_back("report " + std::to_string(code) + " " + Narrow(name) +
                                   " failed=" + std::to_string(j->failedCount));
    EXPECT_EQ(0u, std::u16string(message).find(u"ファイル名:<" + std::u16string(name) + u">"));
    AcknowledgeUnlessStopped(j);
}

void RecordTally(ConversionJob* j) {
    RecorderOf(j).events.push_back("tally " + std::to_string(j->fileCount) + " " +
                                   std::to_string(j->fileCount - j->failedCount));
    AcknowledgeUnlessStopped(j);
}

void RecordClose(ConversionJob* j) {
    RecorderOf(j).events.push_back("close");
}

// Fills the job with files of `folder` (display name = file name) and runs it to the end, the
// outputs going into its subfolder `output` ("" for the folder itself).
std::vector<std::string> RunJob(const TestFolder& folder, const std::vector<const char*>& names,
                                Recorder* recorder, const std::string& output = "out",
                                uint32_t options = 0) {
    for (size_t k = 0; k < names.size(); ++k) {
        std::u16string path = folder.Path(names[k]);
        std::u16string name = fs::path(names[k]).u16string();
        EXPECT_TRUE(SetJobFile(&job, static_cast<int>(k), path.c_str(), name.c_str()));
    }
    std::u16string out = folder.FolderPath(output);
    std::copy(out.c_str(), out.c_str() + out.size() + 1, job.outputFolder);
    job.fileCount = static_cast<int32_t>(names.size());
    job.options = options;
    job.display = JobDisplay{RecordName,  RecordCount, RecordStep, RecordFailure,
                             RecordTally, RecordClose, recorder};
    EXPECT_EQ(0, job.failedCount) << "every job starts with no failure counted";
    PlatformThread* worker = StartJobWorker(&job);
    EXPECT_NE(nullptr, worker);
    JoinThread(worker);
    ReleaseJobObjects(&job);
    return recorder->events;
}

TEST(Job, EveryOutcomeIsReportedCountedAndTallied) {
    TestFolder folder;
    folder.Write("A.EDL", GOOD_EDL);
    folder.Write("CMX.EDL", "FCM: DROP FRAME\r\n" + std::string(GOOD_EDL));
    folder.Write("UNKNOWN.EDL", "NO EVENT LINE HERE\r\n");
    folder.Write("B.EDL", GOOD_EDL);
    Recorder recorder;
    std::vector<std::string> events =
        RunJob(folder, {"A.EDL", "MISSING.EDL", "CMX.EDL", "UNKNOWN.EDL", "B.EDL"}, &recorder);
    const std::vector<std::string> expected = {
        "name A.EDL",
        "count 1/5)",
        "step",
        "name MISSING.EDL",
        "count 2/5)",
        "report 1 MISSING.EDL failed=1",  // no step: it never opened
        "name CMX.EDL",
        "count 3/5)",
        "report 4 CMX.EDL failed=2",
        "step",
        "name UNKNOWN.EDL",
        "count 4/5)",
        "report 5 UNKNOWN.EDL failed=3",
        "step",
        "name B.EDL",
        "count 5/5)",
        "step",
        "tally 5 2",
        "close",
    };
    EXPECT_EQ(expected, events);
    EXPECT_TRUE(folder.Has("out/C_A.EDL"));
    EXPECT_TRUE(folder.Has("out/C_B.EDL"));
    EXPECT_FALSE(folder.Has("out/C_CMX.EDL"));
    EXPECT_FALSE(folder.Has("out/C_UNKNOWN.EDL"));
    EXPECT_EQ(0, job.failedCount) << "cleared when the job's objects are released";
}

TEST(Job, AWriteFailureIsReportedAndTheJobGoesOn) {
    TestFolder folder;
    folder.Write("A.EDL", GOOD_EDL);
    folder.Write("B.EDL", GOOD_EDL);
    fs::create_directories(folder / "out/C_A.EDL");  // a folder where the output goes
    Recorder recorder;
    std::vector<std::string> events = RunJob(folder, {"A.EDL", "B.EDL"}, &recorder);
    const std::vector<std::string> expected = {
        "name A.EDL", "count 1/2)", "report 2 A.EDL failed=1",
        "step",       "name B.EDL", "count 2/2)",
        "step",       "tally 2 1",  "close",
    };
    EXPECT_EQ(expected, events);
}

TEST(Job, AStopBetweenFilesEndsWithoutTally) {
    TestFolder folder;
    folder.Write("A.EDL", GOOD_EDL);
    folder.Write("B.EDL", GOOD_EDL);
    folder.Write("C.EDL", GOOD_EDL);
    Recorder recorder;
    recorder.stopAtFile = 1;  // cancelled while B is converted
    std::vector<std::string> events = RunJob(folder, {"A.EDL", "B.EDL", "C.EDL"}, &recorder);
    const std::vector<std::string> expected = {
        "name A.EDL", "count 1/3)", "step", "name B.EDL", "count 2/3)", "step",
    };
    EXPECT_EQ(expected, events);
    EXPECT_TRUE(folder.Has("out/C_B.EDL")) << "the file in hand is finished";
    EXPECT_FALSE(folder.Has("out/C_C.EDL"));

    // The next job starts afresh and runs to its tally.
    Recorder next;
    std::vector<std::string> again = RunJob(folder, {"C.EDL"}, &next);
    EXPECT_EQ((std::vector<std::string>{"name C.EDL", "count 1/1)", "step", "tally 1 1", "close"}),
              again);
}

TEST(Job, AReportAfterTheStopIsNotWaitedFor) {
    TestFolder folder;
    Recorder recorder;
    recorder.stopAtFile = 0;  // the one file fails after the stop: nobody acknowledges
    std::vector<std::string> events = RunJob(folder, {"MISSING.EDL"}, &recorder);
    EXPECT_EQ((std::vector<std::string>{"name MISSING.EDL", "count 1/1)",
                                        "report 1 MISSING.EDL failed=1"}),
              events);
}

TEST(Job, LineStateStartsAtZeroForEveryFile) {
    // A's speed record is still held at its end (one miss only); B's first event line would
    // match it if the record carried over.
    TestFolder folder;
    const std::string event =
        "001  001    V     C        00:00:10.00 00:00:05:00 01:00:00:00 "
        "01:00:05:00\r\n";
    folder.Write("A.EDL",
                 "DM 001 Speed:+050 00:00:10.00\r\n"
                 "001  001    V     C        00:00:00:00 00:00:05:00 01:00:00:00 "
                 "01:00:05:00\r\n");
    folder.Write("B.EDL", event);
    Recorder recorder;
    RunJob(folder, {"A.EDL", "B.EDL"}, &recorder);
    std::string output = folder.Read("out/C_B.EDL");
    EXPECT_NE(std::string::npos, output.find("01:00:05:00\r\n"));
    EXPECT_EQ(std::string::npos, output.find("DM+050"));
}

TEST(Job, AJobOfNoFilesShowsTheTallyAtOnce) {
    TestFolder folder;
    Recorder recorder;
    EXPECT_EQ((std::vector<std::string>{"tally 0 0", "close"}), RunJob(folder, {}, &recorder));
}

TEST(Job, AnOutputThatWouldReplaceASourceIsRefusedBeforeAnyConversion) {
    TestFolder folder;
    folder.Write("A.EDL", GOOD_EDL);
    folder.Write("C_A.EDL", GOOD_EDL);
    Recorder recorder;
    std::vector<std::string> events = RunJob(folder, {"A.EDL", "C_A.EDL"}, &recorder, "");
    const std::vector<std::string> expected = {
        "name A.EDL", "count 1/2)",   "report 8 A.EDL failed=1",
        "step",       "name C_A.EDL", "count 2/2)",
        "step",       "tally 2 1",    "close",
    };
    EXPECT_EQ(expected, events);
    EXPECT_EQ(GOOD_EDL, folder.Read("C_A.EDL")) << "the source is untouched";
    EXPECT_TRUE(folder.Has("C_C_A.EDL"));
    EXPECT_EQ(FILE_OUTPUT_IS_SOURCE, job.results[0]);
    EXPECT_EQ(FILE_CONVERTED, job.results[1]);

    // The output folder spelt another way is the same folder.
    Recorder again;
    fs::create_directories(folder / "sub");
    RunJob(folder, {"A.EDL", "C_A.EDL"}, &again, "sub/..");
    EXPECT_EQ(FILE_OUTPUT_IS_SOURCE, job.results[0]);
    EXPECT_EQ(GOOD_EDL, folder.Read("C_A.EDL"));
}

#ifndef _WIN32
TEST(Job, AnOutputNameLongerThanTheFolderTakesIsRefused) {
    TestFolder folder;
    // 254 bytes of name fit; "C_" and the name do not.
    const std::string name = std::string(250, 'x') + ".EDL";
    folder.Write(name, GOOD_EDL);
    Recorder recorder;
    std::vector<std::string> events = RunJob(folder, {name.c_str()}, &recorder);
    ASSERT_EQ(6u, events.size());
    EXPECT_EQ(0u, events[2].find("report 9 ")) << events[2];
    EXPECT_EQ("tally 1 0", events[4]);
    EXPECT_TRUE(folder.Files("out").empty());
}
#endif

TEST(Job, AStopThatComesWhileTheJobStartsIsNeverLost) {
    TestFolder folder;
    folder.Write("A.EDL", GOOD_EDL);
    Recorder recorder;
    StopJob(&job);  // a Ctrl+C before the worker has started
    EXPECT_EQ(std::vector<std::string>{}, RunJob(folder, {"A.EDL"}, &recorder));
    EXPECT_FALSE(folder.Has("out/C_A.EDL"));
    EXPECT_EQ(FILE_NOT_REACHED, job.results[0]);
    // The next job runs.
    Recorder next;
    EXPECT_EQ((std::vector<std::string>{"name A.EDL", "count 1/1)", "step", "tally 1 1", "close"}),
              RunJob(folder, {"A.EDL"}, &next));
}

// Two jobs at once, each reporting many failures: each report's acknowledgement must reach its
// own worker. (An event shared by name between jobs lets one worker take the other's signal,
// and both then wait for ever.)
ConversionJob firstJob;
ConversionJob secondJob;

void Acknowledge(ConversionJob* j, int, JobResult) {
    SignalEvent(j->ackEvent);
}
void AcknowledgeTally(ConversionJob* j) {
    SignalEvent(j->ackEvent);
}
void NoName(ConversionJob*, int) {}
void NoCount(ConversionJob*, int, const char16_t*) {}
void NoStep(ConversionJob*, int) {}
void NoClose(ConversionJob*) {}

TEST(Job, TwoJobsReportingAtOnceBothFinish) {
    TestFolder folder;
    std::u16string out = folder.FolderPath("out");
    for (ConversionJob* j : {&firstJob, &secondJob}) {
        for (int k = 0; k < MAX_JOB_FILES; ++k) {
            std::u16string name = u"MISSING" + fs::path(std::to_string(k)).u16string() + u".EDL";
            SetJobFile(j, k, folder.Path("gone").c_str(), name.c_str());
        }
        std::copy(out.c_str(), out.c_str() + out.size() + 1, j->outputFolder);
        j->fileCount = MAX_JOB_FILES;
        j->display =
            JobDisplay{NoName, NoCount, NoStep, Acknowledge, AcknowledgeTally, NoClose, nullptr};
    }
    PlatformThread* first = StartJobWorker(&firstJob);
    PlatformThread* second = StartJobWorker(&secondJob);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    JoinThread(first);
    JoinThread(second);
    EXPECT_EQ(MAX_JOB_FILES, firstJob.failedCount);
    EXPECT_EQ(MAX_JOB_FILES, secondJob.failedCount);
    ReleaseJobObjects(&firstJob);
    ReleaseJobObjects(&secondJob);
}

TEST(Job, TheListsAreWrittenAndSummedOverTheConvertedFiles) {
    TestFolder folder;
    folder.Write("A.EDL", GOOD_EDL);
    folder.Write("B.EDL", std::string(GOOD_EDL) + GOOD_EDL);
    Recorder recorder;
    job.options = OPTION_EXPORT_CMX | OPTION_EXPORT_EVENTS | OPTION_EXPORT_PULL;
    job.cmxFramesPerSecond = 25;
    PullBatch batch;
    job.batch = &batch;
    job.batchEnds = true;
    std::vector<std::string> names = {"A.EDL", "MISSING.EDL", "B.EDL"};
    for (size_t k = 0; k < names.size(); ++k) {
        SetJobFile(&job, static_cast<int>(k), folder.Path(names[k]).c_str(),
                   fs::path(names[k]).u16string().c_str());
    }
    std::u16string out = folder.FolderPath("out");
    std::copy(out.c_str(), out.c_str() + out.size() + 1, job.outputFolder);
    job.fileCount = 3;
    job.display = JobDisplay{RecordName,  RecordCount, RecordStep, RecordFailure,
                             RecordTally, RecordClose, &recorder};
    PlatformThread* worker = StartJobWorker(&job);
    ASSERT_NE(nullptr, worker);
    JoinThread(worker);
    ReleaseJobObjects(&job);
    job.batch = nullptr;
    EXPECT_EQ(
        (std::vector<std::string>{"CMX_A.EDL", "CMX_B.EDL", "C_A.EDL", "C_B.EDL", "EVENTS_A.csv",
                                  "EVENTS_B.csv", "PULL_A.csv", "PULL_ALL.csv", "PULL_B.csv"}),
        folder.Files("out"));
    EXPECT_NE(std::string::npos, folder.Read("out/CMX_A.EDL").find("00:00:00:00"));
    EXPECT_EQ(1u, job.reports[0].cmx.eventsWritten);
    EXPECT_EQ(0u, job.reports[1].written) << "the missing file wrote nothing";
    ListTotals totals = SumListReports(job);
    EXPECT_EQ(2, totals.cmxFiles);
    EXPECT_EQ(job.reports[0].cmx.eventsWritten + job.reports[2].cmx.eventsWritten,
              totals.cmx.eventsWritten);
    EXPECT_EQ(2, totals.eventFiles);
    EXPECT_EQ(job.reports[0].events.rows + job.reports[2].events.rows, totals.eventRows);
    EXPECT_EQ(2, totals.pullFiles);
    // Both files' ranges are in the batch's list, which names them.
    EXPECT_TRUE(job.batchWritten);
    EXPECT_EQ(1u, job.batchReport.ranges) << folder.Read("out/PULL_ALL.csv");
    EXPECT_NE(std::string::npos, folder.Read("out/PULL_ALL.csv").find(",A.EDL / B.EDL\r\n"));
    ReleasePullBatch(&batch);
}

// Runs A.EDL of `folder` with the export into "out", every write failing once `writable`
// bytes are written (the disk full from then on); returns the file's outcome.
JobResult RunExport(const TestFolder& folder, size_t writable) {
    Recorder recorder;
    job.cmxFramesPerSecond = 30;
    job.stampFixed = true;  // each run writes the same bytes
    FileFaults faults{};
    faults.failWrite = writable > 0;
    faults.writeBytesBeforeFailure = writable;
    SetFileFaults(faults);
    RunJob(folder, {"A.EDL"}, &recorder, "out", OPTION_EXPORT_CMX);
    SetFileFaults(FileFaults{});
    job.stampFixed = false;
    job.options = 0;
    return job.results[0];
}

// When only the export cannot be written, the new "C_" file stays beside the "CMX_" file of an
// earlier run, if there is one: the outcome, and so the message, says which.
TEST(Job, AnExportThatFailsSaysWhetherAnEarlierOneStaysBesideIt) {
    TestFolder folder;
    folder.Write("A.EDL", GOOD_EDL);
    ASSERT_EQ(FILE_CONVERTED, RunExport(folder, 0));
    size_t repaired = folder.Read("out/C_A.EDL").size();  // room for it, not a byte more
    std::string earlier = folder.Read("out/CMX_A.EDL");
    EXPECT_EQ(FILE_CMX_WRITE_FAILED_EARLIER_KEPT, RunExport(folder, repaired));
    EXPECT_EQ(earlier, folder.Read("out/CMX_A.EDL"));
    fs::remove(folder.path / "out/CMX_A.EDL");
    EXPECT_EQ(FILE_CMX_WRITE_FAILED, RunExport(folder, repaired)) << "none beside it";
    char16_t text[JOB_MESSAGE_CHARS];
    FormatFileFailure(FILE_CMX_WRITE_FAILED_EARLIER_KEPT, u"A.EDL", text, JOB_MESSAGE_CHARS);
    EXPECT_NE(std::u16string::npos, std::u16string(text).find(u"CMX_A.EDL は以前の変換で"));
}

TEST(JobText, CountAndMessages) {
    char16_t text[JOB_MESSAGE_CHARS];
    FormatCountText(2, 3, text, 64);
    EXPECT_EQ(std::u16string(u"変換中…(2/3)"), text);
    const int numbers[] = {7, 2026, -5};
    FillTemplate(u"%02d|%02d|%03d|%d", nullptr, 0, numbers, 3, text, JOB_MESSAGE_CHARS);
    EXPECT_EQ(std::u16string(u"07|2026|-005|0"), text)
        << "padding never cuts; a missing number is 0";
    FormatJobTally(5, 3, text, JOB_MESSAGE_CHARS);
    EXPECT_EQ(std::u16string(u"5個中3個の変換が終了しました。"), text);
    FormatFileFailure(FILE_CMX_FORMAT, u"X.EDL", text, JOB_MESSAGE_CHARS);
    EXPECT_EQ(std::u16string(u"ファイル名:<X.EDL>\nこのファイルはＣＭＸフォーマットです。"), text);
    // Each front end ends a message itself: none ends with a line feed of its own.
    for (int code = 0; code < 64; ++code) {
        const char16_t* message = ResultMessage(static_cast<JobResult>(code));
        EXPECT_TRUE(message == nullptr || std::u16string(message).back() != u'\n') << code;
    }
    // The longest template with the longest display name is never cut.
    std::u16string longName(259, u'名');
    size_t length = FormatFileFailure(FILE_OPEN_FAILED, longName.c_str(), text, JOB_MESSAGE_CHARS);
    EXPECT_EQ(std::u16string(ResultMessage(FILE_OPEN_FAILED)).size() - 2 + 259, length);
}

TEST(FileNames, ExtensionAndDuplicates) {
    struct Case {
        const char16_t* in;
        const char16_t* out;
    };
    const Case cases[] = {
        {u"take.edl", u"take.EDL"},   {u"C:\\a.b\\x.edl", u"C:\\a.b\\x.EDL"}, {u"noext", u"noext"},
        {u"a.txt.edl", u"a.txt.EDL"}, {u"ｅｄｌ.ｅｄｌ", u"ｅｄｌ.ＥＤＬ"},
    };
    for (const Case& c : cases) {
        std::u16string text = c.in;
        UpperCaseExtension(text.data());
        EXPECT_EQ(std::u16string(c.out), text);
    }
    EXPECT_TRUE(HasEdlExtension(u"C:\\X\\A.EDL"));
    EXPECT_FALSE(HasEdlExtension(u"C:\\X.EDL\\A"));
    EXPECT_FALSE(HasEdlExtension(u"A.EDLX"));
    EXPECT_FALSE(HasEdlExtension(u"A.edl")) << "tested after upper-casing";

    NameSet taken{FoldFileName, {}};
    EXPECT_TRUE(TakeName(&taken, u"A.EDL"));
    EXPECT_FALSE(TakeName(&taken, u"A.EDL"));
}

}  // namespace
