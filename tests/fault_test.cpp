// Failures injected through the platform layer and the engine's allocations: each gives its
// result code, leaves no partial output, keeps an earlier output of the same name, and the job
// goes on with the next file.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "conversion_job.h"
#include "engine.h"
#include "test_util.h"

namespace {

namespace fs = std::filesystem;

// A test folder with an "out" folder for the outputs; faults are switched off again at the end.
struct FaultFolder : TestFolder {
    ~FaultFolder() {
        SetFileFaults(FileFaults{});
        SetEngineAllocFailure(0);
    }
    std::u16string Source(const char* name) const { return Path(name); }
    std::u16string Out() const { return FolderPath("out"); }
    std::vector<std::string> OutFiles() const { return Files("out"); }
};

std::string SampleBytes() {
    return ReadFileBytes("../samples/NEWS0612.EDL");
}

// Every output of these tests carries the same stamp, so two conversions compare equal.
constexpr CalendarTime FIXED_TIME{2019, 3, 6, 9, 5, 7};

ConversionResult ConvertFile(const FaultFolder& folder, const char* name) {
    LineState state{};
    std::u16string source = folder.Source(name);
    std::u16string out = folder.Out();
    std::u16string display = fs::path(name).u16string();
    ConversionRequest request{source.c_str(), display.c_str(), out.c_str(), 0, FIXED_TIME};
    return ConvertEdlFile(request, &state, nullptr);
}

TEST(Faults, EveryEngineAllocationThatFailsEndsTheFileWithNoMemory) {
    FaultFolder folder;
    folder.Write("A.EDL", SampleBytes());
    folder.Write("out/C_A.EDL", "EARLIER");
    SetEngineAllocFailure(0);
    ASSERT_EQ(RESULT_CONVERTED, ConvertFile(folder, "A.EDL"));
    std::string good = folder.Read("out/C_A.EDL");
    long allocations = SetEngineAllocFailure(0);
    ASSERT_GE(allocations, 4) << "working buffer, piece, output text, path";
    for (long k = 1; k <= allocations; ++k) {
        folder.Write("out/C_A.EDL", "EARLIER");
        SetEngineAllocFailure(k);
        EXPECT_EQ(RESULT_NO_MEMORY, ConvertFile(folder, "A.EDL")) << "allocation " << k;
        SetEngineAllocFailure(0);
        EXPECT_EQ("EARLIER", folder.Read("out/C_A.EDL")) << "allocation " << k;
        EXPECT_EQ(std::vector<std::string>{"C_A.EDL"}, folder.OutFiles()) << "allocation " << k;
    }
    EXPECT_EQ(RESULT_CONVERTED, ConvertFile(folder, "A.EDL")) << "and afterwards all is well";
    EXPECT_EQ(good, folder.Read("out/C_A.EDL"));
}

TEST(Faults, ASourceWhoseReadFailsAfterItsSizeWasTaken) {
    FaultFolder folder;
    std::string sample = SampleBytes();
    folder.Write("A.EDL", sample);
    folder.Write("out/C_A.EDL", "EARLIER");
    // At once, during the mode scan, and during the second read (the mode scan of this
    // controller-coded sample reads it all).
    for (long after : {0L, 100L, static_cast<long>(sample.size()) + 10}) {
        FileFaults faults{};
        faults.failRead = true;
        faults.readBytesBeforeFailure = after;
        SetFileFaults(faults);
        EXPECT_EQ(RESULT_OPEN_FAILED, ConvertFile(folder, "A.EDL")) << "after " << after;
        SetFileFaults(FileFaults{});
        EXPECT_EQ("EARLIER", folder.Read("out/C_A.EDL"));
        EXPECT_EQ(std::vector<std::string>{"C_A.EDL"}, folder.OutFiles());
    }
}

struct Seen {
    std::vector<std::string> codes;
    int steps = 0;
    bool tally = false;
};

void NoName(ConversionJob*, int) {}
void NoCount(ConversionJob*, int, const char16_t*) {}
void Step(ConversionJob* job, int) {
    ++static_cast<Seen*>(job->display.context)->steps;
}
void Close(ConversionJob*) {}
void Report(ConversionJob* job, int index, JobResult code) {
    auto* seen = static_cast<Seen*>(job->display.context);
    if (code == RESULT_JOB_DONE) {
        seen->tally = true;
    } else {
        std::string text;
        for (const char16_t* c = job->displayNames[index]; *c != 0; ++c) {
            text += static_cast<char>(*c);
        }
        seen->codes.push_back(std::to_string(code) + " " + text);
        // The next file's write is allowed again: only this file's output was to fail.
        SetFileFaults(FileFaults{});
    }
    SignalEvent(job->ackEvent);
}

ConversionJob faultJob;

TEST(Faults, AJobGoesOnAfterEachKindOfWriteFailure) {
    struct Case {
        const char* rule;
        FileFaults faults;
    };
    const Case cases[] = {
        {"the disk fills half way", {false, 0, true, 500, false, false, false, false}},
        {"the flush fails", {false, 0, false, 0, false, true, false, false}},
        {"the close fails", {false, 0, false, 0, false, false, true, false}},
        {"the rename fails", {false, 0, false, 0, false, false, false, true}},
    };
    for (const Case& c : cases) {
        FaultFolder folder;
        std::string sample = SampleBytes();
        folder.Write("A.EDL", sample);
        folder.Write("B.EDL", sample);
        folder.Write("out/C_A.EDL", "EARLIER");
        SetJobFile(&faultJob, 0, folder.Source("A.EDL").c_str(), u"A.EDL");
        SetJobFile(&faultJob, 1, folder.Source("B.EDL").c_str(), u"B.EDL");
        std::u16string out = folder.Out();
        std::copy(out.c_str(), out.c_str() + out.size() + 1, faultJob.outputFolder);
        faultJob.fileCount = 2;
        Seen seen;
        faultJob.display = JobDisplay{NoName, NoCount, Step, Report, Close, &seen};
        SetFileFaults(c.faults);
        PlatformThread* worker = StartJobWorker(&faultJob);
        ASSERT_NE(nullptr, worker);
        JoinThread(worker);
        ReleaseJobObjects(&faultJob);
        EXPECT_EQ(std::vector<std::string>{"2 A.EDL"}, seen.codes) << c.rule;
        EXPECT_EQ(2, seen.steps) << c.rule;
        EXPECT_TRUE(seen.tally) << c.rule;
        EXPECT_EQ("EARLIER", folder.Read("out/C_A.EDL")) << c.rule;
        EXPECT_EQ(0u, folder.Read("out/C_B.EDL").find("\r\n@EVENING NEWS 0612\r\n")) << c.rule;
        EXPECT_EQ((std::vector<std::string>{"C_A.EDL", "C_B.EDL"}), folder.OutFiles()) << c.rule;
    }
}

}  // namespace
