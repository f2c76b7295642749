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
#include "output_file.h"
#include "platform.h"
#include "source_protection.h"
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
    std::vector<std::u16string> inputs;  // files, folders and "-" as given
};

// A file of the run: its path and the display name its output is named after.
struct RunFile {
    std::u16string path;
    std::u16string displayName;
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
    char16_t path[JOB_PATH_CHARS + JOB_NAME_CHARS + 8];
    FormatOutputPath(job->outputFolder, prefix, job->displayNames[index], path,
                     sizeof path / sizeof path[0]);
    if (!PrintOutput((Shown(path) + u"\n").c_str())) {
        progress->tally->outputFailed = true;
    }
}

// What the CMX export did, on standard error after the file's line:
// "CMX_NEWS0612.EDL: 9 events, 1 dissolve, 4 kept as comments".
void PrintExportSummary(ConversionJob* job, int index) {
    std::u16string name = CMX_OUTPUT_NAME_PREFIX;
    name += Shown(job->displayNames[index]);
    std::vector<char> nameBytes(Utf8Length(name.c_str()) + 1);
    Utf16ToUtf8(name.c_str(), nameBytes.data(), nameBytes.size());
    std::vector<char> summary(nameBytes.size() + 256);
    FormatCmxSummary(job->cmxReports[index], nameBytes.data(), summary.data(), summary.size());
    std::vector<char16_t> text(summary.size());
    BytesToUtf16(summary.data(), text.data(), text.size());
    PrintLine(text.data());
}

// Each output is listed as soon as it is written, so a pipeline can take it at once: "C_" +
// name, and with the export "CMX_" + name, whose summary follows on standard error. When only
// the export failed, "C_" + name was still written.
void StepProgress(ConversionJob* job, int index) {
    JobResult result = job->results[index];
    if (!IsRepairedListWritten(result)) {
        return;
    }
    CliProgress& progress = ProgressOf(job);
    ClearProgressLine(&progress);
    ListOutput(job, OUTPUT_NAME_PREFIX, index, &progress);
    if (result == RESULT_CONVERTED) {
        ++progress.tally->converted;
        if ((job->options & OPTION_EXPORT_CMX) != 0) {
            ListOutput(job, CMX_OUTPUT_NAME_PREFIX, index, &progress);
            PrintExportSummary(job, index);
        }
    }
}

void Report(ConversionJob* job, int index, JobResult code) {
    CliProgress& progress = ProgressOf(job);
    ClearProgressLine(&progress);
    if (index >= 0) {
        PrintFileFailure(code, job->displayNames[index]);
        progress.tally->anyFailed = true;
    }
    // The tally of the whole run is printed once, after its last job.
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

// Reads the arguments; false on a usage error. `done` is set after --help and --version.
bool ParseArguments(int argc, char16_t** argv, CliOptions* options, bool* done) {
    bool onlyFiles = false;
    for (int k = 1; k < argc; ++k) {
        std::u16string argument = argv[k];
        if (onlyFiles || argument.empty() || argument[0] != u'-' || argument == u"-") {
            options->inputs.push_back(argument);
        } else if (argument == u"--") {
            onlyFiles = true;
        } else if (argument == u"-h" || argument == u"--help") {
            PrintOutput(MessageText(MESSAGE_CLI_USAGE));
            *done = true;
            return true;
        } else if (argument == u"--version") {
            PrintOutput(VERSION_TEXT);
            *done = true;
            return true;
        } else if (argument == u"-c" || argument == u"--delete-internal-data") {
            options->options |= OPTION_DELETE_INTERNAL_DATA;
        } else if (argument == u"--cmx") {
            options->options |= OPTION_EXPORT_CMX;
        } else if (argument == u"--drop-frame") {
            options->options |= OPTION_CMX_DROP_FRAME;
        } else if (argument == u"--fps" && k + 1 < argc) {
            std::u16string rate = argv[++k];
            options->framesPerSecond = rate == u"24"   ? 24
                                       : rate == u"25" ? 25
                                       : rate == u"30" ? 30
                                                       : 0;
            options->framesPerSecondGiven = true;
            if (options->framesPerSecond == 0) {
                PrintMessage(MessageText(MESSAGE_CLI_BAD_FRAME_RATE), {rate.c_str()});
                return false;
            }
        } else if ((argument == u"-o" || argument == u"--output") && k + 1 < argc) {
            options->outputFolder = argv[++k];
        } else {
            PrintMessage(MessageText(MESSAGE_CLI_UNKNOWN_OPTION), {argument.c_str()});
            return false;
        }
    }
    if (options->inputs.empty()) {
        PrintLine(MessageText(MESSAGE_CLI_NO_FILES));
        return false;
    }
    bool exportCmx = (options->options & OPTION_EXPORT_CMX) != 0;
    bool dropFrame = (options->options & OPTION_CMX_DROP_FRAME) != 0;
    if ((options->framesPerSecondGiven || dropFrame) && !exportCmx) {
        PrintLine(MessageText(MESSAGE_CLI_CMX_SETTING_ALONE));
        return false;
    }
    if (dropFrame && options->framesPerSecond != 30) {
        PrintLine(MessageText(MESSAGE_CLI_DROP_FRAME_AT_30));
        return false;
    }
    return true;
}

// --- The files of the run ------------------------------------------------------------------------

// Names read from standard input, one a line ("find ... | tamsel-cli -"); empty lines are
// skipped and a CR before the line end is no part of the name.
void ReadNamesFromInput(std::vector<std::u16string>* paths) {
    std::string line;
    for (int c = std::getchar();; c = std::getchar()) {
        if (c == '\n' || c == EOF) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (!line.empty() && line.find('\0') == std::string::npos) {
                std::vector<char16_t> path(line.size() + 1);
                BytesToUtf16(line.c_str(), path.data(), path.size());
                paths->emplace_back(path.data());
            }
            line.clear();
            if (c == EOF) {
                return;
            }
        } else {
            line += static_cast<char>(c);
        }
    }
}

void AddName(void* context, const char16_t* name) {
    static_cast<std::vector<std::u16string>*>(context)->emplace_back(name);
}

// The EDL files directly in a folder given as a FILE, sorted by name.
void AddFolderFiles(const std::u16string& folder, std::vector<std::u16string>* paths) {
    std::vector<std::u16string> names;
    ListFolderNames(folder.c_str(), AddName, &names);
    std::vector<std::u16string> edlNames;
    for (const std::u16string& name : names) {
        std::u16string upper = name;
        UpperCaseExtension(upper.data());
        if (HasEdlExtension(upper.c_str())) {
            edlNames.push_back(name);
        }
    }
    std::sort(edlNames.begin(), edlNames.end());
    bool endsWithSeparator =
        !folder.empty() &&
        std::u16string(PATH_SEPARATORS).find(folder.back()) != std::u16string::npos;
    for (const std::u16string& name : edlNames) {
        paths->push_back(endsWithSeparator ? folder + name : folder + PATH_SEPARATOR + name);
    }
}

// Every file the inputs name: files as they stand, the EDL files of folders, the names read
// from standard input for "-".
std::vector<std::u16string> GatherPaths(const std::vector<std::u16string>& inputs) {
    std::vector<std::u16string> paths;
    for (const std::u16string& input : inputs) {
        FileIdentity folder{};
        if (input == u"-") {
            ReadNamesFromInput(&paths);
        } else if (GetFolderIdentity(input.c_str(), &folder)) {
            AddFolderFiles(input, &paths);
        } else {
            paths.push_back(input);
        }
    }
    return paths;
}

// Gives each file its display name. A file whose path is too long for the job, whose name a
// file given earlier in the run already has (the two outputs would be one), or whose output would
// replace a source of the run is refused with a message naming it; the others are returned.
std::vector<RunFile> AcceptFiles(const std::vector<std::u16string>& paths, RunTally* tally) {
    // Room for every file at once, so that the names of those taken stay where they are.
    std::vector<RunFile> named;
    named.reserve(paths.size());
    std::vector<const char16_t*> names;
    NameSet taken{FoldFileName, {}};
    for (const std::u16string& path : paths) {
        std::vector<char16_t> folder(path.size() + 1);
        std::vector<char16_t> name(path.size() + 1);
        SplitPath(path.c_str(), PATH_SEPARATORS, folder.data(), folder.size(), name.data(),
                  name.size());
        UpperCaseExtension(name.data());
        const char16_t* shownFolder = folder[0] == 0 ? u"." : folder.data();
        if (path.size() >= JOB_PATH_CHARS || Utf16Length(name.data()) >= JOB_NAME_CHARS) {
            PrintMessage(MessageText(MESSAGE_PATH_TOO_LONG), {name.data(), shownFolder});
            tally->anyFailed = true;
        } else if (!TakeName(&taken, name.data())) {
            PrintMessage(MessageText(MESSAGE_DUPLICATE_NAME), {name.data(), shownFolder});
            tally->anyFailed = true;
        } else {
            named.push_back(RunFile{path, name.data()});
            names.push_back(named.back().displayName.c_str());
        }
    }
    // One rule for the whole run, which may take several jobs.
    std::vector<const char16_t*> sourcePaths;
    for (const RunFile& file : named) {
        sourcePaths.push_back(file.path.c_str());
    }
    std::vector<JobResult> overSource(named.size(), RESULT_CONVERTED);
    OutputKind kinds[MAX_OUTPUT_KINDS];
    size_t kindCount = OutputKinds(cliJob.options, kinds);
    FindOutputsOverSources(cliJob.outputFolder, kinds, kindCount, sourcePaths.data(), names.data(),
                           named.size(), FoldFileName, overSource.data());
    std::vector<RunFile> accepted;
    for (size_t k = 0; k < named.size(); ++k) {
        if (overSource[k] != RESULT_CONVERTED) {
            PrintFileFailure(overSource[k], named[k].displayName.c_str());
            tally->anyFailed = true;
        } else {
            accepted.push_back(named[k]);
        }
    }
    return accepted;
}

// --- Jobs
// ------------------------------------------------------------------------------------------

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
    CliProgress progress{tally, static_cast<int>(first) + 1, false, 0, 0};
    ReadTestSignal(&progress);
    for (size_t k = 0; k < count; ++k) {
        SetJobFile(&cliJob, static_cast<int>(k), files[first + k].path.c_str(),
                   files[first + k].displayName.c_str());
    }
    cliJob.fileCount = static_cast<int32_t>(count);
    cliJob.display =
        JobDisplay{ShowFileName, ShowCount, StepProgress, Report, CloseDisplay, &progress};
    PlatformThread* worker = StartJobWorker(&cliJob);
    if (worker == nullptr) {
        PrintLine(MessageText(MESSAGE_JOB_NOT_STARTED));
        tally->anyFailed = true;
        return;
    }
    JoinThread(worker);
    ClearProgressLine(&progress);
    ReleaseJobObjects(&cliJob);
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
    InstallStopHandlers(OnStopSignal);

    RunTally tally;
    std::vector<std::u16string> paths = GatherPaths(options.inputs);
    tally.given = static_cast<int>(paths.size());
    std::vector<RunFile> files = AcceptFiles(paths, &tally);
    for (size_t first = 0; first < files.size() && stopSignal.load() == 0; first += MAX_JOB_FILES) {
        size_t left = files.size() - first;
        RunJob(files, first, left < MAX_JOB_FILES ? left : MAX_JOB_FILES, &tally);
    }
    if (stopSignal.load() != 0) {
        return EXIT_SIGNAL_BASE + stopSignal.load();
    }
    char16_t text[JOB_MESSAGE_CHARS];
    FormatJobTally(tally.given, tally.converted, text, JOB_MESSAGE_CHARS);
    PrintLine(text);
    bool allConverted = tally.converted == tally.given && !tally.anyFailed;
    return allConverted && !tally.outputFailed ? EXIT_ALL_CONVERTED : EXIT_SOME_FAILED;
}
