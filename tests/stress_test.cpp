// Cancel under stress: a job of MAX_JOB_FILES files stopped at chosen points, over and over,
// then a new job right after each stop. The points come from a fixed seed and the number of
// rounds is fixed (TAMSEL_STRESS_ROUNDS, default 24), so every run covers the same stops:
// half the rounds stop the job from the worker's own display as a chosen file starts, the
// other half from this thread after a chosen pause, racing the worker (the test command runs
// this under ThreadSanitizer). tools/stress.sh runs many more rounds.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "conversion_job.h"
#include "test_util.h"

namespace {

namespace fs = std::filesystem;

const char SOURCE[] =
    "  STRESS\r\n\r\n"
    "001  001    V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n"
    "002  001    V     D    030 00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n";

ConversionJob stressJob;

struct Tally {
    std::atomic<int> reports{0};
    std::atomic<bool> done{false};
    std::atomic<bool> closed{false};
    int stopAtFile = -1;  // the display stops the job as this file starts
};

void StopAtChosenFile(ConversionJob* job, int index) {
    if (index == static_cast<Tally*>(job->display.context)->stopAtFile) {
        StopJob(job);
    }
}
void IgnoreCount(ConversionJob*, int, const char16_t*) {}
void Step(ConversionJob*, int) {}
// A stopped job's reports are not waited for; signalling anyway must do no harm.
void Report(ConversionJob* job, int, JobResult) {
    ++static_cast<Tally*>(job->display.context)->reports;
    SignalEvent(job->ackEvent);
}
void ShowDone(ConversionJob* job) {
    static_cast<Tally*>(job->display.context)->done = true;
    SignalEvent(job->ackEvent);
}
void Close(ConversionJob* job) {
    static_cast<Tally*>(job->display.context)->closed = true;
}

std::string Name(int k) {
    char name[16];
    std::snprintf(name, sizeof name, "F%03d.EDL", k);
    return name;
}

long Setting(const char* name, long fallback) {
    const char* text = std::getenv(name);
    return text != nullptr ? std::atol(text) : fallback;
}

// Fills the job with files 0 to count - 1 and starts it.
PlatformThread* Start(const TestFolder& folder, int count, Tally* tally) {
    for (int k = 0; k < count; ++k) {
        std::u16string source = folder.Path("in/" + Name(k));
        std::u16string name = fs::path(Name(k)).u16string();
        SetJobFile(&stressJob, k, source.c_str(), name.c_str());
    }
    std::u16string out = folder.FolderPath("out");
    std::copy(out.c_str(), out.c_str() + out.size() + 1, stressJob.outputFolder);
    stressJob.fileCount = count;
    stressJob.display =
        JobDisplay{StopAtChosenFile, IgnoreCount, Step, Report, ShowDone, Close, tally};
    return StartJobWorker(&stressJob);
}

// The outputs of a stopped job are those of the files started: a leading run, each complete,
// and nothing else in the folder. Returns how many there are.
int CheckLeadingRun(const TestFolder& folder, size_t* completeSize, long round) {
    int written = 0;
    for (int k = 0; k < MAX_JOB_FILES; ++k) {
        fs::path output = folder.path / "out" / ("C_" + Name(k));
        if (!fs::exists(output)) {
            break;
        }
        size_t size = fs::file_size(output);
        if (*completeSize == 0) {
            *completeSize = size;
        }
        EXPECT_EQ(*completeSize, size) << "round " << round << ", file " << k;
        ++written;
    }
    size_t files = static_cast<size_t>(
        std::distance(fs::directory_iterator(folder.path / "out"), fs::directory_iterator()));
    EXPECT_EQ(static_cast<size_t>(written), files)
        << "round " << round << ": no gap, no partial or temporary file";
    return written;
}

TEST(Stress, CancelAtChosenPointsThenStartAgain) {
    TestFolder folder;
    for (int k = 0; k < MAX_JOB_FILES; ++k) {
        folder.Write("in/" + Name(k), SOURCE);
    }
    std::mt19937 random(20261207);
    const long rounds = Setting("TAMSEL_STRESS_ROUNDS", 24);
    size_t completeSize = 0;
    for (long round = 0; round < rounds; ++round) {
        fs::remove_all(folder.path / "out");
        fs::create_directories(folder.path / "out");
        Tally tally;
        bool fromDisplay = round % 2 == 0;
        // Every file can be the one the stop comes in, the last one included.
        tally.stopAtFile = fromDisplay ? static_cast<int>(random() % MAX_JOB_FILES) : -1;
        PlatformThread* worker = Start(folder, MAX_JOB_FILES, &tally);
        ASSERT_NE(nullptr, worker);
        if (!fromDisplay) {
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
            StopJob(&stressJob);
        }
        JoinThread(worker);
        ReleaseJobObjects(&stressJob);

        EXPECT_EQ(0, tally.reports.load()) << "round " << round;
        EXPECT_EQ(tally.done.load(), tally.closed.load()) << "round " << round;
        int written = CheckLeadingRun(folder, &completeSize, round);
        if (fromDisplay) {
            // The file in hand when the stop came is finished; no other is started.
            EXPECT_EQ(tally.stopAtFile + 1, written) << "round " << round;
        }
        // The tally comes only after every file; a stop during the last one still gives none.
        if (tally.done.load()) {
            EXPECT_EQ(MAX_JOB_FILES, written) << "round " << round;
        }
        if (written < MAX_JOB_FILES || fromDisplay) {
            EXPECT_FALSE(tally.done.load()) << "round " << round;
        }

        // A job started right after the stop runs normally to its tally.
        Tally next;
        worker = Start(folder, 3, &next);
        ASSERT_NE(nullptr, worker);
        JoinThread(worker);
        ReleaseJobObjects(&stressJob);
        ASSERT_TRUE(next.done.load()) << "round " << round;
        ASSERT_EQ(0, stressJob.failedCount);
    }
}

}  // namespace
