// The progress dialog running real jobs: what the worker shows in it, the warning boxes and
// the tally, Escape, Cancel (also while the worker is busy or a box is on screen) and a job
// that cannot start.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "gui_test_util.h"
#include "messages.h"
#include "progress_dialog.h"
#include "resource.h"

namespace {

// A job record of its own, static like the program's.
ConversionJob testJob;

const std::wstring CAPTION = L"タムセル";

std::wstring Status(int position, int count) {
    char16_t text[64];
    FormatCountText(position, count, text, 64);
    return Wide(text);
}

std::wstring Failure(JobResult code, const wchar_t* displayName) {
    char16_t text[JOB_MESSAGE_CHARS];
    FormatFileFailure(code, reinterpret_cast<const char16_t*>(displayName), text,
                      JOB_MESSAGE_CHARS);
    return Wide(text);
}

// The tally: under the count, when files failed, how many; it warns when none was converted.
std::wstring Tally(int fileCount, int converted) {
    char16_t text[JOB_MESSAGE_CHARS];
    FormatJobTally(fileCount, converted, text, JOB_MESSAGE_CHARS);
    std::wstring tally = Wide(text);
    if (converted < fileCount) {
        tally += L"\n変換できなかったファイル: " + std::to_wstring(fileCount - converted) +
                 L" 個\n（一覧の「結果」欄をご覧ください）";
    }
    return tally;
}
UINT TallyIcon(int fileCount, int converted) {
    return fileCount > 0 && converted == 0 ? MB_ICONWARNING : MB_ICONINFORMATION;
}

SpyEvent Label(SpyEventKind kind, const std::wstring& text) {
    SpyEvent event{};
    event.kind = kind;
    event.text = text;
    return event;
}
SpyEvent FileLabel(const std::wstring& name) {
    return Label(SpyEventKind::FILE_LABEL, name);
}
SpyEvent StatusLabel(int position, int count) {
    return Label(SpyEventKind::STATUS_LABEL, Status(position, count));
}
SpyEvent Range(int count) {
    SpyEvent event{};
    event.kind = SpyEventKind::PROGRESS_RANGE;
    event.value = MAKELPARAM(0, count);
    return event;
}
SpyEvent Step() {
    SpyEvent event{};
    event.kind = SpyEventKind::PROGRESS_STEP;
    return event;
}
SpyEvent CancelClicked() {
    SpyEvent event{};
    event.kind = SpyEventKind::CANCEL_CLICKED;
    return event;
}
SpyEvent Box(UINT icon, const std::wstring& text, bool ownerVisible);
// The tally's box: it stands alone, its dialog hidden.
SpyEvent TallyBox(int fileCount, int converted) {
    return Box(TallyIcon(fileCount, converted), Tally(fileCount, converted), false);
}
SpyEvent Box(UINT icon, const std::wstring& text, bool ownerVisible) {
    SpyEvent event{};
    event.kind = SpyEventKind::MESSAGE_BOX;
    event.caption = CAPTION;
    event.text = text;
    event.icon = icon;
    event.ownerVisible = ownerVisible;
    return event;
}

bool Same(const SpyEvent& expected, const SpyEvent& seen) {
    if (expected.kind != seen.kind || expected.text != seen.text) {
        return false;
    }
    switch (expected.kind) {
        case SpyEventKind::PROGRESS_RANGE:
            return expected.value == seen.value;
        case SpyEventKind::MESSAGE_BOX:
            return expected.caption == seen.caption && expected.icon == seen.icon &&
                   expected.ownerVisible == seen.ownerVisible;
        default:
            return true;
    }
}

void ExpectEvents(const std::vector<SpyEvent>& expected, const std::vector<SpyEvent>& seen) {
    bool same = expected.size() == seen.size();
    for (size_t k = 0; same && k < expected.size(); ++k) {
        same = Same(expected[k], seen[k]);
    }
    EXPECT_TRUE(same) << "expected:\n" << Describe(expected) << "seen:\n" << Describe(seen);
}

class ProgressDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = MakeTemporaryFolder();
        ASSERT_FALSE(folder.empty());
        output = folder + L"out\\";
        ASSERT_TRUE(CreateDirectoryW(output.c_str(), nullptr));
        owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600,
                                400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, owner);
        threadsBefore = CountProcessThreads();
    }

    void TearDown() override {
        StopSpy();
        if (owner != nullptr) {
            DestroyWindow(owner);
        }
        DrainMessages();
        RemoveTemporaryFolder(output);
        RemoveTemporaryFolder(folder);
    }

    // Writes the files into the folder and puts them into the job, in this order. A file
    // given without content is not written.
    struct JobFile {
        std::wstring name;
        std::string content;
        bool write;
    };
    void FillJob(const std::vector<JobFile>& files) {
        int k = 0;
        for (const JobFile& file : files) {
            std::wstring path = folder + file.name;
            if (file.write) {
                WriteBytes(path, file.content);
            }
            ASSERT_TRUE(SetJobFile(&testJob, k, reinterpret_cast<const char16_t*>(path.c_str()),
                                   reinterpret_cast<const char16_t*>(file.name.c_str())));
            ++k;
        }
        testJob.fileCount = k;
        testJob.options = 0;
        std::u16string out(output.begin(), output.end());
        std::copy(out.c_str(), out.c_str() + out.size() + 1, testJob.outputFolder);
    }

    INT_PTR RunJob(SpyAction action = nullptr) {
        StartSpy(std::move(action));
        INT_PTR result = RunProgressDialog(owner, &testJob);
        events = StopSpy();
        return result;
    }

    bool Written(const wchar_t* name) { return FileExists(output + L"C_" + name); }

    // Everything the job held is released and its worker is gone: nothing leaks into the next
    // job, and a new job may start at once.
    void ExpectJobReleased() {
        EXPECT_EQ(JOB_IDLE, testJob.state.load()) << "ready for the next job";
        EXPECT_EQ(0, testJob.failedCount);
        EXPECT_EQ(nullptr, testJob.ackEvent);
        EXPECT_EQ(nullptr, testJob.jobLock);
        HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, L"ENVENT1");
        EXPECT_EQ(nullptr, event) << "the event ENVENT1 is still open";
        if (event != nullptr) {
            CloseHandle(event);
        }
        EXPECT_EQ(threadsBefore, CountProcessThreads()) << "the worker thread still runs";
        EXPECT_TRUE(FilesMatching(output, L"*.tmp").empty()) << "a half-written output remains";
    }

    std::wstring folder;
    std::wstring output;
    HWND owner = nullptr;
    int threadsBefore = 0;
    std::vector<SpyEvent> events;
};

TEST_F(ProgressDialogTest, ThreeFilesWithOneUnreadable) {
    FillJob({{L"A.EDL", SampleEdl("FIRST", 3), true},
             {L"B.EDL", SampleEdl("SECOND", 3), true},
             {L"C.EDL", SampleEdl("THIRD", 3), true}});
    // Held open without sharing: the worker cannot open it.
    HANDLE locked = CreateFileW((folder + L"B.EDL").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);

    INT_PTR result = RunJob();
    CloseHandle(locked);

    EXPECT_EQ(0, result);
    ExpectEvents({Range(3), FileLabel(L"A.EDL"), StatusLabel(1, 3), Step(), FileLabel(L"B.EDL"),
                  StatusLabel(2, 3), Box(MB_ICONWARNING, Failure(FILE_OPEN_FAILED, L"B.EDL"), true),
                  FileLabel(L"C.EDL"), StatusLabel(3, 3), Step(), TallyBox(3, 2)},
                 events);
    ASSERT_GE(events.size(), 7u);
    EXPECT_EQ(0u, events[6].text.rfind(L"ファイル名:<B.EDL>", 0));
    EXPECT_EQ(
        L"3個中2個の変換が終了しました。\n"
        L"変換できなかったファイル: 1 個\n（一覧の「結果」欄をご覧ください）",
        events.back().text);
    // Labels, steps and reports come from the worker, each waited for.
    for (const SpyEvent& event : events) {
        if (event.kind != SpyEventKind::PROGRESS_RANGE && event.kind != SpyEventKind::MESSAGE_BOX) {
            EXPECT_TRUE(event.fromOtherThread) << Describe(event);
        }
    }
    EXPECT_TRUE(Written(L"A.EDL"));
    EXPECT_FALSE(Written(L"B.EDL"));
    EXPECT_TRUE(Written(L"C.EDL"));
    ExpectJobReleased();
}

// The bar shows how many files are done: read when each file starts and at the tally. A file
// that cannot be opened leaves it where it was; every other outcome moves it on by one.
TEST_F(ProgressDialogTest, TheBarAdvancesOncePerFileItFinishes) {
    FillJob({{L"A.EDL", SampleEdl("FIRST", 2), true},
             {L"MISSING.EDL", "", false},
             {L"CMX.EDL", CmxEdl(), true},
             {L"D.EDL", SampleEdl("FOURTH", 2), true}});
    std::vector<int> positions;
    LONG barStyle = 0;
    INT_PTR result = RunJob([&](const SpyEvent& event) {
        HWND bar = GetDlgItem(event.dialog, IDC_PROGRESS_BAR);
        bool tally = event.kind == SpyEventKind::MESSAGE_BOX && event.text == Tally(4, 2);
        if (event.kind == SpyEventKind::FILE_LABEL || tally) {
            positions.push_back(static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)));
            barStyle = GetWindowLongW(bar, GWL_STYLE);
        }
    });

    EXPECT_EQ(0, result);
    EXPECT_EQ((std::vector<int>{0, 1, 1, 2, 3}), positions) << Describe(events);
    // Under the marquee style the bar draws no position at all.
    EXPECT_EQ(0, barStyle & PBS_MARQUEE);
    ExpectJobReleased();
}

TEST_F(ProgressDialogTest, EachRefusedLayoutIsReportedAndStepsTheBar) {
    FillJob({{L"CMX.EDL", CmxEdl(), true},
             {L"NOTES.EDL", EdlWithoutEvents(), true},
             {L"GOOD.EDL", SampleEdl("GOOD", 2), true}});

    EXPECT_EQ(0, RunJob());
    ExpectEvents({Range(3), FileLabel(L"CMX.EDL"), StatusLabel(1, 3),
                  Box(MB_ICONWARNING, Failure(FILE_CMX_FORMAT, L"CMX.EDL"), true), Step(),
                  FileLabel(L"NOTES.EDL"), StatusLabel(2, 3),
                  Box(MB_ICONWARNING, Failure(FILE_UNKNOWN_FORMAT, L"NOTES.EDL"), true), Step(),
                  FileLabel(L"GOOD.EDL"), StatusLabel(3, 3), Step(), TallyBox(3, 1)},
                 events);
    EXPECT_FALSE(Written(L"CMX.EDL"));
    EXPECT_FALSE(Written(L"NOTES.EDL"));
    EXPECT_TRUE(Written(L"GOOD.EDL"));
    ExpectJobReleased();
}

TEST_F(ProgressDialogTest, TheTallyCountsTheFailedFilesAndWarnsWhenNoneWasConverted) {
    FillJob({{L"CMX.EDL", CmxEdl(), true}, {L"GONE.EDL", "", false}});
    EXPECT_EQ(0, RunJob());
    ASSERT_FALSE(events.empty());
    const SpyEvent& tally = events.back();
    EXPECT_EQ(
        L"2個中0個の変換が終了しました。\n"
        L"変換できなかったファイル: 2 個\n（一覧の「結果」欄をご覧ください）",
        tally.text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), tally.icon);
    ExpectJobReleased();

    // With every file converted the tally is its one line, with the information icon.
    FillJob({{L"A.EDL", SampleEdl("FIRST", 2), true}});
    EXPECT_EQ(0, RunJob());
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(L"1個中1個の変換が終了しました。", events.back().text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), events.back().icon);
    ExpectJobReleased();
}

TEST_F(ProgressDialogTest, ZeroFilesShowsTheTallyAtOnce) {
    FillJob({});
    EXPECT_EQ(0, RunJob());
    ExpectEvents({Range(0), TallyBox(0, 0)}, events);
    ExpectJobReleased();
}

TEST_F(ProgressDialogTest, ALongNameIsReportedInFull) {
    // The longest display name a job holds: "C_" and the name are more than a file system takes,
    // and the message names the file twice.
    std::wstring name(JOB_NAME_CHARS - 1 - 4, L'長');
    name += L".EDL";
    FillJob({{name, "", false}});

    EXPECT_EQ(0, RunJob());
    std::wstring expected = L"ファイル名:<" + name + L">\n出力ファイル名 C_" + name +
                            L" が長すぎるため、出力フォルダに書き出すことができません。";
    ExpectEvents({Range(1), FileLabel(name), StatusLabel(1, 1), Box(MB_ICONWARNING, expected, true),
                  Step(), TallyBox(1, 0)},
                 events);
    ExpectJobReleased();
}

TEST_F(ProgressDialogTest, EscapeEnterAndOtherCommandsChangeNothing) {
    FillJob({{L"A.EDL", SampleEdl("FIRST", 2), true}, {L"B.EDL", SampleEdl("SECOND", 2), true}});
    bool stillOpen = false;
    INT_PTR result = RunJob([&](const SpyEvent& event) {
        if (event.kind != SpyEventKind::STATUS_LABEL || event.text != Status(1, 2)) {
            return;
        }
        // Escape and Enter as the dialog's keyboard handling sees them, then their commands.
        for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
            MSG down{event.dialog, WM_KEYDOWN, key, 0, 0, {0, 0}};
            IsDialogMessageW(event.dialog, &down);
        }
        SendMessageW(event.dialog, WM_COMMAND, IDCANCEL, 0);
        SendMessageW(event.dialog, WM_COMMAND, IDOK, 0);
        SendMessageW(event.dialog, WM_COMMAND, IDC_PROGRESS_BAR, 0);
        stillOpen = IsWindow(event.dialog) && testJob.state.load() == JOB_RUNNING;
    });

    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(0, result);
    ExpectEvents({Range(2), FileLabel(L"A.EDL"), StatusLabel(1, 2), Step(), FileLabel(L"B.EDL"),
                  StatusLabel(2, 2), Step(), TallyBox(2, 2)},
                 events);
    EXPECT_TRUE(Written(L"A.EDL"));
    EXPECT_TRUE(Written(L"B.EDL"));
    ExpectJobReleased();
}

// The worker is blocked in its send of the count "2/3" when Cancel is pressed: the dialog must
// answer that send, let the worker finish the file in hand, and only then end.
TEST_F(ProgressDialogTest, CancelWhileTheWorkerWaitsInASend) {
    FillJob({{L"A.EDL", SampleEdl("FIRST", 2), true},
             {L"B.EDL", SampleEdl("SECOND", 2), true},
             {L"C.EDL", SampleEdl("THIRD", 2), true}});
    INT_PTR result = RunJob([&](const SpyEvent& event) {
        if (event.kind == SpyEventKind::STATUS_LABEL && event.text == Status(2, 3)) {
            SendMessageW(GetDlgItem(event.dialog, IDC_PROGRESS_CANCEL), BM_CLICK, 0, 0);
        }
    });

    EXPECT_EQ(IDC_PROGRESS_CANCEL, result);
    ExpectEvents({Range(3), FileLabel(L"A.EDL"), StatusLabel(1, 3), Step(), FileLabel(L"B.EDL"),
                  StatusLabel(2, 3), CancelClicked(), Step()},
                 events);
    EXPECT_TRUE(Written(L"A.EDL"));
    EXPECT_TRUE(Written(L"B.EDL")) << "the file in hand is finished before the dialog ends";
    EXPECT_FALSE(Written(L"C.EDL"));
    ExpectJobReleased();

    // A new job right after: it starts from zero and runs to its tally.
    DeleteFileW((output + L"C_A.EDL").c_str());
    DeleteFileW((output + L"C_B.EDL").c_str());
    EXPECT_EQ(0, RunJob());
    ExpectEvents(
        {Range(3), FileLabel(L"A.EDL"), StatusLabel(1, 3), Step(), FileLabel(L"B.EDL"),
         StatusLabel(2, 3), Step(), FileLabel(L"C.EDL"), StatusLabel(3, 3), Step(), TallyBox(3, 3)},
        events);
    EXPECT_TRUE(Written(L"A.EDL"));
    EXPECT_TRUE(Written(L"B.EDL"));
    EXPECT_TRUE(Written(L"C.EDL"));
    ExpectJobReleased();
}

// The file in hand at the cancel fails: its report reaches nobody, and the worker does not wait
// for an acknowledgement that would never come.
TEST_F(ProgressDialogTest, AReportAfterCancelShowsNothing) {
    FillJob({{L"A.EDL", SampleEdl("FIRST", 2), true},
             {L"CMX.EDL", CmxEdl(), true},
             {L"C.EDL", SampleEdl("THIRD", 2), true}});
    INT_PTR result = RunJob([&](const SpyEvent& event) {
        if (event.kind == SpyEventKind::STATUS_LABEL && event.text == Status(2, 3)) {
            SendMessageW(GetDlgItem(event.dialog, IDC_PROGRESS_CANCEL), BM_CLICK, 0, 0);
        }
    });

    EXPECT_EQ(IDC_PROGRESS_CANCEL, result);
    ExpectEvents({Range(3), FileLabel(L"A.EDL"), StatusLabel(1, 3), Step(), FileLabel(L"CMX.EDL"),
                  StatusLabel(2, 3), CancelClicked(), Step()},
                 events);
    EXPECT_TRUE(Written(L"A.EDL"));
    EXPECT_FALSE(Written(L"C.EDL"));
    ExpectJobReleased();
}

// Cancel pressed while the worker converts a big file: the click is handled at once, the dialog
// ends only when that file is done, and no further file is started.
TEST_F(ProgressDialogTest, CancelWhileTheWorkerConvertsABigFile) {
    FillJob({{L"BIG.EDL", SampleEdl("BIG", 120000), true},
             {L"B.EDL", SampleEdl("SECOND", 2), true},
             {L"C.EDL", SampleEdl("THIRD", 2), true}});
    INT_PTR result = RunJob([&](const SpyEvent& event) {
        if (event.kind == SpyEventKind::STATUS_LABEL && event.text == Status(1, 3)) {
            PostMessageW(GetDlgItem(event.dialog, IDC_PROGRESS_CANCEL), BM_CLICK, 0, 0);
        }
    });

    EXPECT_EQ(IDC_PROGRESS_CANCEL, result);
    // The click comes before the big file's step: it was handled while the worker converted.
    ExpectEvents({Range(3), FileLabel(L"BIG.EDL"), StatusLabel(1, 3), CancelClicked(), Step()},
                 events);
    EXPECT_TRUE(Written(L"BIG.EDL"));
    EXPECT_FALSE(Written(L"B.EDL"));
    EXPECT_FALSE(Written(L"C.EDL"));
    ExpectJobReleased();

    FillJob({{L"B.EDL", SampleEdl("SECOND", 2), true}});
    EXPECT_EQ(0, RunJob());
    EXPECT_TRUE(Written(L"B.EDL"));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(Tally(1, 1), events.back().text);
    ExpectJobReleased();
}

TEST_F(ProgressDialogTest, AJobThatCannotStartSaysSoAndCloses) {
    // The worker thread cannot be started.
    SetThreadStartFailure(true);
    FillJob({{L"A.EDL", SampleEdl("FIRST", 2), true}});

    INT_PTR result = RunJob();
    SetThreadStartFailure(false);

    EXPECT_EQ(IDC_PROGRESS_CANCEL, result);
    ExpectEvents({Range(1), Box(MB_ICONWARNING, L"変換処理を開始できませんでした。", false)},
                 events);
    EXPECT_FALSE(Written(L"A.EDL"));
    ExpectJobReleased();

    EXPECT_EQ(0, RunJob());
    EXPECT_TRUE(Written(L"A.EDL"));
    ExpectJobReleased();
}

// The owner's procedure in one test. WM_STALL, posted before the dialog's modal loop starts,
// returns only once the worker's first message has been handled or waits to be: either way
// that message is handled before the loop ever finds its queue empty.
constexpr UINT WM_STALL = WM_APP + 1;
WNDPROC originalOwnerProcedure = nullptr;
bool firstLabelSeen = false;
bool firstSendBeforeIdle = false;

LRESULT CALLBACK StallingOwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_STALL) {
        // Woken by the worker's message itself as it comes in.
        firstSendBeforeIdle = WaitUntil([] {
            return firstLabelSeen || (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0;
        });
        return 0;
    }
    return CallWindowProcW(originalOwnerProcedure, window, message, wParam, lParam);
}

// The worker's first message comes before the dialog's modal loop has shown the dialog: the
// dialog is on screen all the same, and a first file's warning stands in front of it.
TEST_F(ProgressDialogTest, TheDialogIsOnScreenBeforeTheWorkersFirstMessage) {
    originalOwnerProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StallingOwnerProcedure)));
    firstLabelSeen = false;
    firstSendBeforeIdle = false;
    FillJob({{L"MISSING.EDL", "", false}});
    bool visibleAtFirstLabel = false;
    INT_PTR result = RunJob([&](const SpyEvent& event) {
        if (event.kind == SpyEventKind::PROGRESS_RANGE) {
            PostMessageW(owner, WM_STALL, 0, 0);  // before the worker starts
        } else if (event.kind == SpyEventKind::FILE_LABEL) {
            firstLabelSeen = true;
            visibleAtFirstLabel = IsWindowVisible(event.dialog) != FALSE;
        }
    });

    ASSERT_TRUE(firstSendBeforeIdle) << "the worker's first message never came";
    EXPECT_TRUE(visibleAtFirstLabel);
    EXPECT_EQ(0, result);
    ExpectEvents(
        {Range(1), FileLabel(L"MISSING.EDL"), StatusLabel(1, 1),
         Box(MB_ICONWARNING, Failure(FILE_OPEN_FAILED, L"MISSING.EDL"), true), TallyBox(1, 0)},
        events);
    ExpectJobReleased();
}

// A close that reaches the dialog while one of its message boxes is on screen: as the system
// sends it (wParam 0) or as the Cancel button passes it on. The dialog ends with the close's
// low word.
class ProgressDialogCloseTest : public ProgressDialogTest,
                                public ::testing::WithParamInterface<WPARAM> {
  protected:
    // Runs the job and closes the dialog when the box showing `boxText` comes up: the close is
    // sent before the spy dismisses the box, and what it did is noted at once.
    INT_PTR RunJobClosingAt(const std::wstring& boxText) {
        atClose = {};
        return RunJob([&](const SpyEvent& event) {
            if (event.kind != SpyEventKind::MESSAGE_BOX || event.text != boxText) {
                return;
            }
            SendMessageW(event.dialog, WM_CLOSE, GetParam(), 0);
            ++atClose.closes;
            atClose.dialogHidden = !IsWindowVisible(event.dialog);
            atClose.jobStopped = testJob.state.load() == JOB_STOPPED;
            atClose.jobHeld = testJob.ackEvent != nullptr && testJob.jobLock != nullptr;
        });
    }

    // The close stopped the job and hid the dialog at once, but the dialog went on waiting for
    // its box: nothing was released under it.
    void ExpectClosedWhileTheBoxWasUp() {
        ASSERT_EQ(1, atClose.closes) << "the box never came up";
        EXPECT_TRUE(atClose.dialogHidden);
        EXPECT_TRUE(atClose.jobStopped);
        EXPECT_TRUE(atClose.jobHeld) << "the dialog finished closing with its box still up";
    }

    struct {
        int closes;
        bool dialogHidden;
        bool jobStopped;
        bool jobHeld;
    } atClose{};
};

TEST_P(ProgressDialogCloseTest, CloseWhileAFailureIsOnScreen) {
    FillJob({{L"MISSING.EDL", "", false},
             {L"B.EDL", SampleEdl("SECOND", 2), true},
             {L"C.EDL", SampleEdl("THIRD", 2), true}});
    const std::wstring failure = Failure(FILE_OPEN_FAILED, L"MISSING.EDL");

    INT_PTR result = RunJobClosingAt(failure);

    ExpectClosedWhileTheBoxWasUp();
    EXPECT_EQ(LOWORD(GetParam()), result);
    // The worker, held in its report until the box went, started no other file and sent no
    // tally.
    ExpectEvents({Range(3), FileLabel(L"MISSING.EDL"), StatusLabel(1, 3),
                  Box(MB_ICONWARNING, failure, true)},
                 events);
    EXPECT_TRUE(FilesMatching(output, L"*").empty()) << "a file after the close was converted";
    ExpectJobReleased();

    // The same job again: its failure count starts from zero and it runs to its tally.
    EXPECT_EQ(0, RunJob());
    ExpectEvents({Range(3), FileLabel(L"MISSING.EDL"), StatusLabel(1, 3),
                  Box(MB_ICONWARNING, failure, true), FileLabel(L"B.EDL"), StatusLabel(2, 3),
                  Step(), FileLabel(L"C.EDL"), StatusLabel(3, 3), Step(), TallyBox(3, 2)},
                 events);
    EXPECT_TRUE(Written(L"B.EDL"));
    EXPECT_TRUE(Written(L"C.EDL"));
    ExpectJobReleased();
}

// The worker sends its own close once the tally is dismissed; the dialog, already closing,
// must end once only, with the first close's result.
TEST_P(ProgressDialogCloseTest, CloseWhileTheTallyIsOnScreen) {
    FillJob({{L"A.EDL", SampleEdl("FIRST", 2), true}, {L"B.EDL", SampleEdl("SECOND", 2), true}});
    const std::wstring tally = Tally(2, 2);

    INT_PTR result = RunJobClosingAt(tally);

    ExpectClosedWhileTheBoxWasUp();
    EXPECT_EQ(LOWORD(GetParam()), result);
    ExpectEvents({Range(2), FileLabel(L"A.EDL"), StatusLabel(1, 2), Step(), FileLabel(L"B.EDL"),
                  StatusLabel(2, 2), Step(), Box(MB_ICONINFORMATION, tally, false)},
                 events);
    EXPECT_TRUE(Written(L"A.EDL"));
    EXPECT_TRUE(Written(L"B.EDL"));
    ExpectJobReleased();

    DeleteFileW((output + L"C_A.EDL").c_str());
    DeleteFileW((output + L"C_B.EDL").c_str());
    EXPECT_EQ(0, RunJob());
    ExpectEvents({Range(2), FileLabel(L"A.EDL"), StatusLabel(1, 2), Step(), FileLabel(L"B.EDL"),
                  StatusLabel(2, 2), Step(), Box(MB_ICONINFORMATION, tally, false)},
                 events);
    EXPECT_TRUE(Written(L"A.EDL"));
    EXPECT_TRUE(Written(L"B.EDL"));
    ExpectJobReleased();
}

std::string CloseKindName(const ::testing::TestParamInfo<WPARAM>& close) {
    return close.param == 0 ? "FromTheSystem" : "FromCancel";
}

INSTANTIATE_TEST_SUITE_P(CloseKinds, ProgressDialogCloseTest,
                         ::testing::Values(WPARAM{0}, MAKEWPARAM(IDC_PROGRESS_CANCEL, BN_CLICKED)),
                         CloseKindName);

}  // namespace
