#include "cli.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "conversion_job.h"
#include "conversion_options.h"
#include "file_names.h"
#include "messages.h"
#include "output_file.h"
#include "platform.h"
#include "tamsel_version.h"
#include "terminal.h"

namespace {

constexpr char16_t VERSION_TEXT[] = u"tamsel-cli " TAMSEL_VERSION_TEXT "\n";

// The one job record of the process, static as the job loop expects.
ConversionJob cliJob;

struct CliFile {
    std::u16string path;
    std::u16string displayName;
};

struct CliOptions {
    std::u16string outputFolder;
    uint32_t options = 0;
    std::vector<std::u16string> paths;
};

// What the display records of the job in hand.
struct CliProgress {
    const char16_t* fileName = u"";
    bool lineShown = false;
};

void PrintLine(const char16_t* text) {
    PrintError(text);
    PrintError(u"\n");
}

void PrintRefusal(MessageId pattern, const std::u16string& name, const std::u16string& folder) {
    const char16_t* texts[2] = {name.c_str(), folder.empty() ? u"." : folder.c_str()};
    std::vector<char16_t> message(JOB_MESSAGE_CHARS + name.size() + folder.size());
    FillTemplate(MessageText(pattern), texts, 2, nullptr, 0, message.data(), message.size());
    PrintLine(message.data());
}

void ClearProgressLine(CliProgress* progress) {
    if (progress->lineShown) {
        PrintError(u"\r\x1b[K");
        progress->lineShown = false;
    }
}

void ShowFileName(ConversionJob* job, int index) {
    static_cast<CliProgress*>(job->display.context)->fileName = job->displayNames[index];
}

// The progress line is for a person watching; a pipeline's standard error gets none.
void ShowCount(ConversionJob* job, int, const char16_t* countText) {
    auto* progress = static_cast<CliProgress*>(job->display.context);
    if (ErrorIsTerminal()) {
        PrintError(u"\r\x1b[K");
        PrintError(progress->fileName);
        PrintError(u" ");
        PrintError(countText);
        progress->lineShown = true;
    }
}

void StepProgress(ConversionJob*, int) {}

void Report(ConversionJob* job, int index, JobResult code) {
    auto* progress = static_cast<CliProgress*>(job->display.context);
    ClearProgressLine(progress);
    if (code != RESULT_JOB_DONE && index >= 0) {
        char16_t message[JOB_MESSAGE_CHARS];
        FormatFileFailure(code, job->displayNames[index], message, JOB_MESSAGE_CHARS);
        PrintLine(message);
    }
    // The tally of the whole run is printed once, after its last job.
    SignalEvent(job->ackEvent);
}

void CloseDisplay(ConversionJob* job) {
    ClearProgressLine(static_cast<CliProgress*>(job->display.context));
}

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
            options->paths.push_back(argument);
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
        } else if ((argument == u"-o" || argument == u"--output") && k + 1 < argc) {
            options->outputFolder = argv[++k];
        } else {
            const char16_t* texts[1] = {argument.c_str()};
            std::vector<char16_t> message(JOB_MESSAGE_CHARS + argument.size());
            FillTemplate(MessageText(MESSAGE_CLI_UNKNOWN_OPTION), texts, 1, nullptr, 0,
                         message.data(), message.size());
            PrintLine(message.data());
            return false;
        }
    }
    if (options->paths.empty()) {
        PrintLine(MessageText(MESSAGE_CLI_NO_FILES));
        return false;
    }
    return true;
}

// Gives each file its display name; a name given earlier in the run and a path too long for
// the job are refused with a message naming the file. Returns the files accepted.
std::vector<CliFile> AcceptFiles(const std::vector<std::u16string>& paths, bool* anyRefused) {
    std::vector<CliFile> files;
    std::vector<const char16_t*> names;
    for (const std::u16string& path : paths) {
        std::vector<char16_t> folder(path.size() + 1);
        std::vector<char16_t> name(path.size() + 1);
        SplitPath(path.c_str(), u"/\\", folder.data(), folder.size(), name.data(), name.size());
        UpperCaseExtension(name.data());
        std::u16string displayName = name.data();
        if (path.size() >= JOB_PATH_CHARS || displayName.size() >= JOB_NAME_CHARS) {
            PrintRefusal(MESSAGE_PATH_TOO_LONG, displayName, folder.data());
            *anyRefused = true;
        } else if (IsDuplicateName(displayName.c_str(), names.data(), names.size())) {
            PrintRefusal(MESSAGE_DUPLICATE_NAME, displayName, folder.data());
            *anyRefused = true;
        } else {
            files.push_back(CliFile{path, displayName});
            names.clear();
            for (const CliFile& file : files) {
                names.push_back(file.displayName.c_str());
            }
        }
    }
    return files;
}

void PrintProduced(int fileCount) {
    for (int k = 0; k < fileCount; ++k) {
        if (cliJob.results[k] == RESULT_CONVERTED) {
            PrintOutput(cliJob.outputFolder);
            PrintOutput(OUTPUT_NAME_PREFIX);
            PrintOutput(cliJob.displayNames[k]);
            PrintOutput(u"\n");
        }
    }
}

// Runs one job of at most MAX_JOB_FILES files; returns false when it was interrupted.
bool RunJob(const CliFile* files, int count, uint32_t options, int* failed) {
    CliProgress progress;
    for (int k = 0; k < count; ++k) {
        SetJobFile(&cliJob, k, files[k].path.c_str(), files[k].displayName.c_str());
    }
    cliJob.fileCount = count;
    cliJob.options = options;
    cliJob.display =
        JobDisplay{ShowFileName, ShowCount, StepProgress, Report, CloseDisplay, &progress};
    PlatformThread* worker = StartJobWorker(&cliJob);
    if (worker == nullptr) {
        PrintLine(MessageText(MESSAGE_JOB_NOT_STARTED));
        *failed += count;
        return true;
    }
    JoinThread(worker);
    bool stopped = cliJob.state.load() == JOB_STOPPED;
    *failed += cliJob.failedCount;
    ClearProgressLine(&progress);
    PrintProduced(count);
    ReleaseJobObjects(&cliJob);
    return !stopped;
}

void StopCliJob() {
    StopJob(&cliJob);
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
    bool anyRefused = false;
    std::vector<CliFile> files = AcceptFiles(options.paths, &anyRefused);

    InstallInterruptHandler(StopCliJob);
    int total = static_cast<int>(files.size());
    int failed = 0;
    for (int first = 0; first < total; first += MAX_JOB_FILES) {
        int count = total - first < MAX_JOB_FILES ? total - first : MAX_JOB_FILES;
        if (!RunJob(files.data() + first, count, options.options, &failed)) {
            return EXIT_INTERRUPTED;
        }
    }
    char16_t tally[JOB_MESSAGE_CHARS];
    FormatJobTally(total, total - failed, tally, JOB_MESSAGE_CHARS);
    PrintLine(tally);
    return failed == 0 && !anyRefused ? EXIT_ALL_CONVERTED : EXIT_SOME_FAILED;
}
