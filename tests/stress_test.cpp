// Cancel under stress: a job of MAX_JOB_FILES files stopped at random points, over and over
// (seeded), then a new job right after each stop. Run under ThreadSanitizer by the test
// command. The number of rounds is bounded by time: TAMSEL_STRESS_SECONDS (default 3) and
// TAMSEL_STRESS_ROUNDS (default 300); tools/stress.sh runs a longer mode.
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
};

void IgnoreName(ConversionJob*, int) {}
void IgnoreCount(ConversionJob*, int, const char16_t*) {}
void Step(ConversionJob*, int) {}
void Report(ConversionJob* job, int, JobResult code) {
    auto* tally = static_cast<Tally*>(job->display.context);
    if (code == RESULT_JOB_DONE) {
        tally->done = true;
    } else {
        ++tally->reports;
    }
    // A stopped job's reports are not waited for; signalling anyway must do no harm.
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
    stressJob.display = JobDisplay{IgnoreName, IgnoreCount, Step, Report, Close, tally};
    return StartJobWorker(&stressJob);
}

TEST(Stress, CancelAtRandomPointsThenStartAgain) {
    TestFolder folder;
    for (int k = 0; k < MAX_JOB_FILES; ++k) {
        folder.Write("in/" + Name(k), SOURCE);
    }
    std::mt19937 random(20261207);
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::seconds(Setting("TAMSEL_STRESS_SECONDS", 3));
    const long maxRounds = Setting("TAMSEL_STRESS_ROUNDS", 300);
    size_t completeSize = 0;
    long rounds = 0;
    for (; rounds < maxRounds && std::chrono::steady_clock::now() < deadline; ++rounds) {
        fs::remove_all(folder.path / "out");
        fs::create_directories(folder.path / "out");
        Tally tally;
        PlatformThread* worker = Start(folder, MAX_JOB_FILES, &tally);
        ASSERT_NE(nullptr, worker);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        StopJob(&stressJob);
        JoinThread(worker);
        ReleaseJobObjects(&stressJob);

        EXPECT_EQ(0, tally.reports.load()) << "round " << rounds;
        EXPECT_EQ(tally.done.load(), tally.closed.load()) << "round " << rounds;
        // The outputs are those of the files started: a leading run, each one complete.
        int written = 0;
        for (int k = 0; k < MAX_JOB_FILES; ++k) {
            fs::path output = folder.path / "out" / ("C_" + Name(k));
            if (!fs::exists(output)) {
                break;
            }
            size_t size = fs::file_size(output);
            if (completeSize == 0) {
                completeSize = size;
            }
            ASSERT_EQ(completeSize, size) << "round " << rounds << ", file " << k;
            ++written;
        }
        size_t files = static_cast<size_t>(
            std::distance(fs::directory_iterator(folder.path / "out"), fs::directory_iterator()));
        ASSERT_EQ(static_cast<size_t>(written), files)
            << "round " << rounds << ": no gap, no partial or temporary file";
        EXPECT_EQ(tally.done.load(), written == MAX_JOB_FILES) << "round " << rounds;

        // A job started right after the stop runs normally to its tally.
        Tally next;
        worker = Start(folder, 3, &next);
        ASSERT_NE(nullptr, worker);
        JoinThread(worker);
        ReleaseJobObjects(&stressJob);
        ASSERT_TRUE(next.done.load()) << "round " << rounds;
        ASSERT_EQ(0, stressJob.failedCount);
    }
    RecordProperty("rounds", static_cast<int>(rounds));
    std::printf("%ld rounds\n", rounds);
    EXPECT_GE(rounds, 1);
}

}  // namespace
