#include "cli.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cmx_export.h"
#include "conversion_job.h"
#include "conversion_options.h"
#include "file_names.h"
#include "messages.h"
#include "name_list.h"
#include "output_file.h"
#include "platform.h"
#include "run_files.h"
#include "tamsel_version.h"
#include "terminal.h"

namespace {

constexpr char16_t VERSION_TEXT[] = u"tamsel-cli " TAMSEL_VERSION_TEXT "\n";

// The exit status after a stop by a signal: 128 + its number, as shells report it (130 for
// Ctrl+C).
constexpr int EXIT_SIGNAL_BASE = 128;

// The one job record of the process, static as the job loop expects.
ConversionJob cliJob;

// The first signal that asked the run to stop, 0 while none has.
std::atomic<int> stopSignal{0};

struct CliOptions {
    std::u16string outputFolder;
    uint32_t options = 0;
    int framesPerSecond = CMX_DEFAULT_FRAMES_PER_SECOND;
    bool framesPerSecondGiven = false;
    int handleSeconds = DEFAULT_HANDLE_SECONDS;
    bool handlesGiven = false;
    std::vector<std::u16string> inputs;  // files, folders and "-" as given
};

// What the whole run has seen, across its jobs.
struct RunTally {
    int given = 0;      // every file given, refused ones included
    int converted = 0;  // files written
    bool anyFailed = false;
    bool outputFailed = false;  // standard output could not be written
};

// What the display knows of the job in hand.
struct CliProgress {
    RunTally* tally;
    int firstPosition;  // the run position of the job's first file, from 1
    bool lineShown;
    int testSignal;          // a signal the test hook raises as a chosen file starts
    int testSignalPosition;  // that file's run position
};

// The text with control characters and raw bytes shown as escapes (see EscapeControls).
std::u16string Shown(const char16_t* text) {
    std::vector<char16_t> shown(Utf16Length(text) * 6 + 1);
    EscapeControls(text, shown.data(), shown.size());
    return shown.data();
}

void PrintLine(const char16_t* text) {
    PrintError(text);
    PrintError(u"\n");
}

// A message from the table, each "%s" taking the next of `texts` shown with escapes.
void PrintMessage(const char16_t* pattern, std::initializer_list<const char16_t*> texts) {
    std::vector<std::u16string> shown;
    size_t capacity = JOB_MESSAGE_CHARS;
    for (const char16_t* text : texts) {
        shown.push_back(Shown(text));
        capacity += shown.back().size();
    }
    std::vector<const char16_t*> pointers;
    for (const std::u16string& text : shown) {
        pointers.push_back(text.c_str());
    }
    std::vector<char16_t> message(capacity);
    FillTemplate(pattern, pointers.data(), pointers.size(), nullptr, 0, message.data(),
                 message.size());
    PrintLine(message.data());
}

void PrintFileFailure(JobResult code, const char16_t* displayName) {
    std::u16string name = Shown(displayName);
    // Room for the name in each of a message's places.
    std::vector<char16_t> message(JOB_MESSAGE_CHARS + 4 * name.size());
    FormatFileFailure(code, name.c_str(), message.data(), message.size());
    PrintLine(message.data());
}

void ClearProgressLine(CliProgress* progress) {
    if (progress->lineShown) {
        PrintError(u"\r\x1b[K");
        progress->lineShown = false;
    }
}

// --- The job's display -----------------------------------------------------------------------

CliProgress& ProgressOf(ConversionJob* job) {
    return *static_cast<CliProgress*>(job->display.context);
}

void ShowFileName(ConversionJob* job, int index) {
    CliProgress& progress = ProgressOf(job);
    if (progress.testSignal != 0 && progress.firstPosition + index == progress.testSignalPosition) {
        RaiseSignal(progress.testSignal);
    }
}

// The progress line is for a person watching; a pipeline's standard error gets none. It counts
// the files of the whole run.
void ShowCount(ConversionJob* job, int index, const char16_t*) {
    CliProgress& progress = ProgressOf(job);
    if (ErrorIsTerminal()) {
        char16_t count[64];
        FormatCountText(progress.firstPosition + index, progress.tally->given, count, 64);
        PrintError(u"\r\x1b[K");
        PrintError(Shown(job->displayNames[index]).c_str());
        PrintError(u" ");
        PrintError(count);
        progress.lineShown = true;
    }
}

// Lists an output the job wrote.
void ListOutput(ConversionJob* job, const char16_t* prefix, int index, CliProgress* progress) {
    char16_t path[JOB_PATH_CHARS + JOB_NAME_CHARS + OUTPUT_NAME_EXTRA];
    FormatOutputPath(job->outputFolder, prefix, job->displayNames[index], path,
                     sizeof path / sizeof path[0]);
    if (!PrintOutput((Shown(path) + u"\n").c_str())) {
        progress->tally->outputFailed = true;
    }
}

// What a list (its OPTION_EXPORT_ bit) did, on standard error after the file's line:
// "CMX_NEWS0612.EDL: 9 events, 1 dissolve, 4 kept as comments".
void PrintListSummary(const char16_t* name, const ConversionReport& report, uint32_t list) {
    std::u16string shown = Shown(name);
    std::vector<char> nameBytes(Utf8Length(shown.c_str()) + 1);
    Utf16ToUtf8(shown.c_str(), nameBytes.data(), nameBytes.size());
    std::vector<char> summary(nameBytes.size() + 256);
    if (list == OPTION_EXPORT_CMX) {
        FormatCmxSummary(report.cmx, nameBytes.data(), summary.data(), summary.size());
    } else if (list == OPTION_EXPORT_EVENTS) {
        FormatEventTableSummary(report.events, nameBytes.data(), summary.data(), summary.size());
    } else {
        FormatPullSummary(report.pull, nameBytes.data(), summary.data(), summary.size());
    }
    std::vector<char16_t> text(summary.size());
    BytesToUtf16(summary.data(), text.data(), text.size());
    PrintLine(text.data());
}

// Each output is listed as soon as it is written, so a pipeline can take it at once: "C_" +
// name, and each list written, whose summary follows on standard error. When a list failed,
// "C_" + name and the other lists were still written.
void StepProgress(ConversionJob* job, int index) {
    JobResult result = job->results[index];
    if (!IsRepairedListWritten(result)) {
        return;
    }
    CliProgress& progress = ProgressOf(job);
    ClearProgressLine(&progress);
    ListOutput(job, OUTPUT_NAME_PREFIX, index, &progress);
    if (result == FILE_CONVERTED) {
        ++progress.tally->converted;
    }
    const struct {
        uint32_t option;
        const char16_t* prefix;
    } lists[] = {{OPTION_EXPORT_CMX, CMX_OUTPUT_NAME_PREFIX},
                 {OPTION_EXPORT_EVENTS, EVENTS_OUTPUT_NAME_PREFIX},
                 {OPTION_EXPORT_PULL, PULL_OUTPUT_NAME_PREFIX}};
    for (const auto& list : lists) {
        if ((job->reports[index].written & list.option) != 0) {
            char16_t name[JOB_NAME_CHARS + OUTPUT_NAME_EXTRA];
            FormatOutputPath(u"", list.prefix, job->displayNames[index], name,
                             JOB_NAME_CHARS + OUTPUT_NAME_EXTRA);
            ListOutput(job, list.prefix, index, &progress);
            PrintListSummary(name, job->reports[index], list.option);
        }
    }
}

// A file's failure, or the batch's pull list's (index -1).
void ReportFailure(ConversionJob* job, int index, JobResult code) {
    CliProgress& progress = ProgressOf(job);
    ClearProgressLine(&progress);
    PrintFileFailure(code, index >= 0 ? job->displayNames[index] : BATCH_PULL_LIST_NAME);
    progress.tally->anyFailed = true;
    SignalEvent(job->ackEvent);
}

// The tally of the whole run is printed once, after its last job.
void ShowTally(ConversionJob* job) {
    SignalEvent(job->ackEvent);
}

void CloseDisplay(ConversionJob* job) {
    ClearProgressLine(&ProgressOf(job));
}

// --- Arguments ---------------------------------------------------------------------------------

bool ParseEpoch(const char* text, int64_t* epoch) {
    if (text == nullptr || *text == 0) {
        return false;
    }
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (*end != 0 || value < 0) {
        return false;
    }
    *epoch = value;
    return true;
}

// The options, each with its short and long form; those that take a value take it as the next
// argument ("-o DIR", "--fps 25") or, in the long form, after "=" ("--fps=25").
enum OptionId {
    OPTION_ID_OUTPUT,
    OPTION_ID_FPS,
    OPTION_ID_DELETE_INTERNAL_DATA,
    OPTION_ID_CMX,
    OPTION_ID_DROP_FRAME,
    OPTION_ID_EVENTS,
    OPTION_ID_PULL,
    OPTION_ID_HANDLES,
    OPTION_ID_HELP,
    OPTION_ID_VERSION,
};

struct OptionSpec {
    const char16_t* shortForm;  // null when there is none
    const char16_t* longForm;
    bool takesValue;
    OptionId id;
};

constexpr OptionSpec OPTION_SPECS[] = {
    {u"-o", u"--output", true, OPTION_ID_OUTPUT},
    {nullptr, u"--fps", true, OPTION_ID_FPS},
    {u"-c", u"--delete-internal-data", false, OPTION_ID_DELETE_INTERNAL_DATA},
    {nullptr, u"--cmx", false, OPTION_ID_CMX},
    {nullptr, u"--drop-frame", false, OPTION_ID_DROP_FRAME},
    {nullptr, u"--events", false, OPTION_ID_EVENTS},
    {nullptr, u"--pull", false, OPTION_ID_PULL},
    {nullptr, u"--handles", true, OPTION_ID_HANDLES},
    {u"-h", u"--help", false, OPTION_ID_HELP},
    {nullptr, u"--version", false, OPTION_ID_VERSION},
};

// One option as written: which, and its value when the argument carries it ("--fps=25").
struct OptionUse {
    const OptionSpec* spec;  // null: no such option
    bool valueAttached;
    std::u16string value;
};

OptionUse ReadOption(const std::u16string& argument) {
    size_t equals = argument.find(u'=');
    bool longForm = argument.compare(0, 2, u"--") == 0;
    std::u16string name =
        longForm && equals != std::u16string::npos ? argument.substr(0, equals) : argument;
    for (const OptionSpec& spec : OPTION_SPECS) {
        if ((spec.shortForm != nullptr && name == spec.shortForm) || name == spec.longForm) {
            bool attached = name.size() != argument.size();
            // A value after "=" belongs only to an option that takes one.
            if (attached && !spec.takesValue) {
                break;
            }
            return OptionUse{&spec, attached, attached ? argument.substr(equals + 1) : u""};
        }
    }
    return OptionUse{nullptr, false, u""};
}

// The handles of the pull list: whole seconds, 0 to LONGEST_HANDLE_SECONDS.
bool ReadHandles(const std::u16string& value, CliOptions* options) {
    int seconds = 0;
    bool valid = !value.empty() && value.size() <= 2;
    for (char16_t unit : value) {
        valid = valid && unit >= u'0' && unit <= u'9';
        seconds = seconds * 10 + (unit - u'0');
    }
    if (!valid || seconds > LONGEST_HANDLE_SECONDS) {
        PrintMessage(MessageText(MESSAGE_CLI_BAD_HANDLES), {value.c_str()});
        return false;
    }
    options->handleSeconds = seconds;
    options->handlesGiven = true;
    return true;
}

// Applies an option and its value; false on a usage error, which it has reported.
bool ApplyOption(OptionId id, const std::u16string& value, CliOptions* options) {
    switch (id) {
        case OPTION_ID_OUTPUT:
            options->outputFolder = value;
            return true;
        case OPTION_ID_FPS:
            options->framesPerSecond = value == u"24"   ? 24
                                       : value == u"25" ? 25
                                       : value == u"30" ? 30
                                                        : 0;
            options->framesPerSecondGiven = true;
            if (options->framesPerSecond == 0) {
                PrintMessage(MessageText(MESSAGE_CLI_BAD_FRAME_RATE), {value.c_str()});
                return false;
            }
            return true;
        case OPTION_ID_DELETE_INTERNAL_DATA:
            options->options |= OPTION_DELETE_INTERNAL_DATA;
            return true;
        case OPTION_ID_CMX:
            options->options |= OPTION_EXPORT_CMX;
            return true;
        case OPTION_ID_DROP_FRAME:
            options->options |= OPTION_CMX_DROP_FRAME;
            return true;
        case OPTION_ID_EVENTS:
            options->options |= OPTION_EXPORT_EVENTS;
            return true;
        case OPTION_ID_PULL:
            options->options |= OPTION_EXPORT_PULL;
            return true;
        case OPTION_ID_HANDLES:
            return ReadHandles(value, options);
        case OPTION_ID_HELP:
        case OPTION_ID_VERSION:
            return true;
    }
    return true;
}

// The settings that only go together: the rate and drop frame need a list that counts frames
// (the export, the event table or the pull list), drop frame needs 30 frames a second, and the
// handles need the pull list.
bool CheckExportSettings(const CliOptions& options) {
    bool listing = (options.options & OPTIONS_EXPORTING) != 0;
    bool dropFrame = (options.options & OPTION_CMX_DROP_FRAME) != 0;
    if ((options.framesPerSecondGiven || dropFrame) && !listing) {
        PrintLine(MessageText(MESSAGE_CLI_CMX_SETTING_ALONE));
        return false;
    }
    if (options.handlesGiven && (options.options & OPTION_EXPORT_PULL) == 0) {
        PrintLine(MessageText(MESSAGE_CLI_HANDLES_ALONE));
        return false;
    }
    if (dropFrame && options.framesPerSecond != 30) {
        PrintLine(MessageText(MESSAGE_CLI_DROP_FRAME_AT_30));
        return false;
    }
    return true;
}

// A FILE as given: an empty one names no file (opened, it would read from the root).
bool TakeInput(const std::u16string& argument, CliOptions* options) {
    if (argument.empty()) {
        PrintLine(MessageText(MESSAGE_CLI_EMPTY_NAME));
        return false;
    }
    options->inputs.push_back(argument);
    return true;
}

// Reads the arguments; false on a usage error. `done` is set after --help and --version.
bool ParseArguments(int argc, char16_t** argv, CliOptions* options, bool* done) {
    bool onlyFiles = false;
    for (int k = 1; k < argc; ++k) {
        std::u16string argument = argv[k];
        if (onlyFiles || argument.empty() || argument[0] != u'-' || argument == u"-") {
            if (!TakeInput(argument, options)) {
                return false;
            }
            continue;
        }
        if (argument == u"--") {
            onlyFiles = true;
            continue;
        }
        OptionUse use = ReadOption(argument);
        if (use.spec == nullptr) {
            PrintMessage(MessageText(MESSAGE_CLI_UNKNOWN_OPTION), {argument.c_str()});
            return false;
        }
        if (use.spec->id == OPTION_ID_HELP || use.spec->id == OPTION_ID_VERSION) {
            PrintOutput(use.spec->id == OPTION_ID_HELP ? MessageText(MESSAGE_CLI_USAGE)
                                                       : VERSION_TEXT);
            *done = true;
            return true;
        }
        if (use.spec->takesValue && !use.valueAttached && k + 1 < argc) {
            use.value = argv[++k];
        }
        // A missing value and an empty one alike: "-o" with nothing after it, "--output=".
        if (use.spec->takesValue && use.value.empty()) {
            std::u16string written = argument.substr(0, argument.find(u'='));
            PrintMessage(MessageText(MESSAGE_CLI_OPTION_NEEDS_VALUE), {written.c_str()});
            return false;
        }
        if (!ApplyOption(use.spec->id, use.value, options)) {
            return false;
        }
    }
    if (options->inputs.empty()) {
        PrintLine(MessageText(MESSAGE_CLI_NO_FILES));
        return false;
    }
    return CheckExportSettings(*options);
}

// --- The files of the run ------------------------------------------------------------------------

bool RunStopped() {
    return stopSignal.load() != 0;
}

bool NameListStopped(void*) {
    return RunStopped();
}

long ReadNameInput(void*, uint8_t* into, size_t count) {
    long got = ReadStandardInput(into, count);
    return got == INPUT_INTERRUPTED ? NAME_INPUT_INTERRUPTED : got;
}

void PrintRefusal(const Refusal& refusal) {
    std::u16string line;
    for (char digit : std::to_string(refusal.line)) {
        line += static_cast<char16_t>(digit);
    }
    switch (refusal.kind) {
        case REFUSED_LINE_TOO_LONG:
            PrintMessage(MessageText(MESSAGE_CLI_LINE_TOO_LONG), {line.c_str()});
            break;
        case REFUSED_LINE_HAS_NUL:
            PrintMessage(MessageText(MESSAGE_CLI_LINE_HAS_NUL), {line.c_str()});
            break;
        case REFUSED_PATH_TOO_LONG:
            PrintMessage(MessageText(MESSAGE_PATH_TOO_LONG),
                         {refusal.name.c_str(), refusal.folder.c_str()});
            break;
        case REFUSED_DUPLICATE_NAME:
            PrintMessage(MessageText(MESSAGE_DUPLICATE_NAME),
                         {refusal.name.c_str(), refusal.folder.c_str()});
            break;
        case REFUSED_WITH_CODE:
            PrintFileFailure(refusal.code, refusal.name.c_str());
            break;
    }
}

void PrintRefusals(const std::vector<Refusal>& refusals, RunTally* tally) {
    for (const Refusal& refusal : refusals) {
        PrintRefusal(refusal);
        tally->anyFailed = true;
    }
}

// The files of the run, every refusal before any conversion printed and counted. False when a
// stop came while they were gathered: the run then ends before its first file.
bool PrepareRunFiles(const CliOptions& options, std::vector<RunFile>* files, RunTally* tally) {
    NameListInput names{ReadNameInput, NameListStopped, nullptr};
    GatheredFiles gathered = GatherRunFiles(options.inputs, names, FoldFileName);
    if (gathered.stopped) {
        return false;
    }
    // Every line refused counts as a file given that was not converted.
    tally->given = static_cast<int>(gathered.paths.size() + gathered.refusals.size());
    PrintRefusals(gathered.refusals, tally);
    if (gathered.listUnreadable) {
        PrintLine(MessageText(MESSAGE_CLI_NAME_LIST_UNREADABLE));
        tally->anyFailed = true;
    }
    AcceptedFiles accepted = AcceptRunFiles(gathered.paths, cliJob.outputFolder, cliJob.options,
                                            FoldFileName, RunStopped);
    if (accepted.stopped) {
        return false;
    }
    PrintRefusals(accepted.refusals, tally);
    *files = std::move(accepted.files);
    return true;
}

// --- Jobs ------------------------------------------------------------------------------------

void OnStopSignal(int signal) {
    int none = 0;
    stopSignal.compare_exchange_strong(none, signal);
    StopJob(&cliJob);
}

// The test hook "TAMSEL_CLI_TEST_SIGNAL=<signal> <position>": the run raises that signal at
// itself as the file at that run position starts, so a test can stop it at a chosen point.
void ReadTestSignal(CliProgress* progress) {
    const char* setting = std::getenv("TAMSEL_CLI_TEST_SIGNAL");
    if (setting != nullptr) {
        std::sscanf(setting, "%d %d", &progress->testSignal, &progress->testSignalPosition);
    }
}

// Runs one job of at most MAX_JOB_FILES files, the run's files from `first` on.
void RunJob(const std::vector<RunFile>& files, size_t first, size_t count, RunTally* tally) {
    cliJob.batchEnds = first + count == files.size();
    CliProgress progress{tally, static_cast<int>(first) + 1, false, 0, 0};
    ReadTestSignal(&progress);
    for (size_t k = 0; k < count; ++k) {
        SetJobFile(&cliJob, static_cast<int>(k), files[first + k].path.c_str(),
                   files[first + k].displayName.c_str());
    }
    cliJob.fileCount = static_cast<int32_t>(count);
    cliJob.display = JobDisplay{ShowFileName, ShowCount,    StepProgress, ReportFailure,
                                ShowTally,    CloseDisplay, &progress};
    PlatformThread* worker = StartJobWorker(&cliJob);
    if (worker == nullptr) {
        PrintLine(MessageText(MESSAGE_JOB_NOT_STARTED));
        tally->anyFailed = true;
        return;
    }
    JoinThread(worker);
    ClearProgressLine(&progress);
    ReleaseJobObjects(&cliJob);
    if (cliJob.batchWritten) {
        char16_t path[JOB_PATH_CHARS + OUTPUT_NAME_EXTRA];
        FormatOutputPath(cliJob.outputFolder, u"", BATCH_PULL_LIST_NAME, path,
                         JOB_PATH_CHARS + OUTPUT_NAME_EXTRA);
        tally->outputFailed = !PrintOutput((Shown(path) + u"\n").c_str()) || tally->outputFailed;
        ConversionReport report{};
        report.pull = cliJob.batchReport;
        PrintListSummary(BATCH_PULL_LIST_NAME, report, OPTION_EXPORT_PULL);
    }
}

}  // namespace

int RunCli(int argc, char16_t** argv) {
    CliOptions options;
    bool done = false;
    if (!ParseArguments(argc, argv, &options, &done)) {
        PrintError(MessageText(MESSAGE_CLI_USAGE));
        return EXIT_USAGE;
    }
    if (done) {
        return EXIT_ALL_CONVERTED;
    }
    if (const char* epochText = std::getenv("SOURCE_DATE_EPOCH")) {
        int64_t epoch = 0;
        if (!ParseEpoch(epochText, &epoch)) {
            PrintLine(MessageText(MESSAGE_CLI_BAD_EPOCH));
            return EXIT_USAGE;
        }
        cliJob.stampFixed = true;
        cliJob.stampEpoch = epoch;
    }
    if (!SetOutputFolder(cliJob.outputFolder, JOB_PATH_CHARS, options.outputFolder.c_str(),
                         PATH_SEPARATORS)) {
        PrintLine(MessageText(MESSAGE_CLI_FOLDER_TOO_LONG));
        return EXIT_USAGE;
    }
    // One message before any work, not one failure for every file.
    if (!IsUsableFolder(cliJob.outputFolder)) {
        PrintMessage(MessageText(MESSAGE_CLI_FOLDER_UNUSABLE),
                     {options.outputFolder.empty() ? u"." : options.outputFolder.c_str()});
        return EXIT_USAGE;
    }
    cliJob.options = options.options;
    cliJob.cmxFramesPerSecond = options.framesPerSecond;
    cliJob.handleSeconds = options.handleSeconds;
    // The whole run is one batch for the pull list, however many jobs it takes.
    PullBatch batch;
    cliJob.batch = &batch;
    InstallStopHandlers(OnStopSignal);

    RunTally tally;
    std::vector<RunFile> files;
    if (!PrepareRunFiles(options, &files, &tally)) {
        return EXIT_SIGNAL_BASE + stopSignal.load();
    }
    for (size_t first = 0; first < files.size() && !RunStopped(); first += MAX_JOB_FILES) {
        size_t left = files.size() - first;
        RunJob(files, first, left < MAX_JOB_FILES ? left : MAX_JOB_FILES, &tally);
    }
    cliJob.batch = nullptr;
    ReleasePullBatch(&batch);
    if (stopSignal.load() != 0) {
        return EXIT_SIGNAL_BASE + stopSignal.load();
    }
    char16_t text[JOB_MESSAGE_CHARS];
    FormatJobTally(tally.given, tally.converted, text, JOB_MESSAGE_CHARS);
    PrintLine(text);
    bool allConverted = tally.converted == tally.given && !tally.anyFailed;
    return allConverted && !tally.outputFailed ? EXIT_ALL_CONVERTED : EXIT_SOME_FAILED;
}
