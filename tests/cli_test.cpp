// tamsel-cli, run as a real process on files in a temporary folder: outputs, messages, exit
// statuses, duplicate names, the fixed stamp, Ctrl+C.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "test_util.h"

namespace {

namespace fs = std::filesystem;

const char EVENT[] =
    "001  001    V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00\r\n";

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

// `text` as one shell word, whatever it holds (a TMPDIR with a ' in it too).
std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Runs the converter in `folder` with `arguments` (shell words) and the environment prefix
// `environment`, in UTC so that stamps do not depend on the machine, errors to stderr.txt.
std::string CliCommand(const TestFolder& folder, const std::string& arguments,
                       const std::string& environment = "SOURCE_DATE_EPOCH=0") {
    return "cd " + Quoted(folder.path.string()) + " && exec env " + environment + " TZ=UTC " +
           Quoted(TAMSEL_CLI) + " " + arguments + " 2> stderr.txt";
}

// Runs the converter (see CliCommand). `input` redirects its standard input; `output` is where
// its standard output goes (read back when it is stdout.txt).
CliRun RunCli(const TestFolder& folder, const std::string& arguments,
              const std::string& environment = "SOURCE_DATE_EPOCH=1551863107",
              const std::string& input = "/dev/null", const std::string& output = "stdout.txt") {
    std::string command =
        CliCommand(folder, arguments, environment) + " < " + input + " > " + output;
    int status = std::system(command.c_str());
    CliRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, folder.Read("stdout.txt"),
               folder.Read("stderr.txt")};
    fs::remove(folder.path / "stdout.txt");
    fs::remove(folder.path / "stderr.txt");
    return run;
}

// Starts the converter on the names of `input`; the process is the converter itself.
pid_t StartCli(const TestFolder& folder, int input) {
    std::string command = CliCommand(folder, "- > stdout.txt");
    pid_t child = fork();
    if (child == 0) {
        dup2(input, STDIN_FILENO);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

TEST(Cli, ConvertsIntoTheOutputFolderAndListsWhatItWrote) {
    TestFolder folder;
    folder.Write("in/a.edl", "SHOW\r\n\r\n" + std::string(EVENT));
    folder.Write("in/B.EDL", EVENT);
    fs::create_directories(folder.path / "out");
    CliRun run = RunCli(folder, "-o out in/a.edl in/B.EDL");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ("out/C_a.EDL\nout/C_B.EDL\n", run.out);
    EXPECT_EQ("2個中2個の変換が終了しました。\n", run.err);
    std::string expected =
        "\r\n@SHOW\r\n\r\n" + std::string(79, '-') +
        "\r\n          >> EDL File: [a.EDL]\r\n"
        "          >> Rewroted by TAMSEL Ver 3.0.1  [2019/03/06  09:05:07]\r\n\r\n"
        "EDT   REL   MODE  TYP P S  T     P-VTR IN    P-VTR OUT   R-VTR IN    R-VTR OUT\r\n"
        "MASTER RECORDER REEL MAST\r\nBLOCK 001\r\n";
    std::string output = folder.Read("out/C_a.EDL");
    EXPECT_TRUE(SameBytes(expected, output.substr(0, expected.size())));
    EXPECT_EQ(folder.Read("in/a.edl"), "SHOW\r\n\r\n" + std::string(EVENT)) << "source unchanged";
}

TEST(Cli, DefaultOutputFolderIsTheCurrentOne) {
    TestFolder folder;
    folder.Write("x.edl", EVENT);
    CliRun run = RunCli(folder, "x.edl");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ("C_x.EDL\n", run.out);
    EXPECT_TRUE(folder.Has("C_x.EDL"));
}

TEST(Cli, FailuresAreNamedAndTheRunGoesOn) {
    TestFolder folder;
    folder.Write("cmx.edl", "FCM: NON-DROP FRAME\r\n" + std::string(EVENT));
    folder.Write("none.edl", "NOTHING HERE\r\n");
    folder.Write("good.edl", EVENT);
    CliRun run = RunCli(folder, "missing.edl cmx.edl none.edl good.edl");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("C_good.EDL\n", run.out);
    EXPECT_EQ(
        "ファイル名:<missing.EDL>\n\nこのファイルを開くことができませんでした。\n"
        "パス・ファイル名、デバイスの状態をご確認下さい。\n"
        "ファイル名:<cmx.EDL>\nこのファイルはＣＭＸフォーマットです。\n"
        "ファイル名:<none.EDL>\n不明なフォーマットです。\n"
        "4個中1個の変換が終了しました。\n",
        run.err);
    EXPECT_FALSE(folder.Has("C_cmx.EDL"));
    EXPECT_FALSE(folder.Has("C_none.EDL"));
}

TEST(Cli, ASecondFileOfTheSameNameIsRefused) {
    TestFolder folder;
    folder.Write("a/x.edl", EVENT);
    folder.Write("b/x.edl", EVENT);
    folder.Write("b/X.edl", EVENT);
    CliRun run = RunCli(folder, "a/x.edl b/x.edl b/X.edl");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("C_x.EDL\nC_X.EDL\n", run.out) << "x.EDL and X.EDL differ in letter case";
    EXPECT_EQ(
        "ファイル名: "
        "\"x.EDL\"\n場所:[b]\n\n名前が同じファイル(パスが違っていても)は参照できません。\n"
        "3個中2個の変換が終了しました。\n",
        run.err)
        << "the tally counts every file given, the refused one too";
}

TEST(Cli, APathTooLongForTheJobIsRefusedBeforeAnyConversion) {
    TestFolder folder;
    folder.Write("ok.edl", EVENT);
    // Longer than any path Linux opens (4095 bytes).
    std::string longFolder;
    for (int k = 0; k < 17; ++k) {
        longFolder += std::string(250, 'd') + "/";
    }
    longFolder.pop_back();
    CliRun run = RunCli(folder, longFolder + "/y.edl ok.edl");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(0u, run.err.find("ファイル名: \"y.EDL\"\n場所:[" + longFolder +
                               "]\n\nパスが長すぎるため参照できません。\n"));
    EXPECT_NE(std::string::npos, run.err.find("2個中1個の変換が終了しました。"));
}

TEST(Cli, OptionCDeletesInternalDataLines) {
    TestFolder folder;
    folder.Write("a.edl", std::string(EVENT) + "12 34 56\r\n");
    RunCli(folder, "a.edl");
    EXPECT_NE(std::string::npos, folder.Read("C_a.EDL").find("12 34 56\r\n"));
    CliRun run = RunCli(folder, "-c a.edl");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(std::string::npos, folder.Read("C_a.EDL").find("12 34 56"));
    RunCli(folder, "--delete-internal-data a.edl");
    EXPECT_EQ(std::string::npos, folder.Read("C_a.EDL").find("12 34 56"));
}

TEST(Cli, StampFollowsSourceDateEpochOrTheClock) {
    TestFolder folder;
    folder.Write("a.edl", EVENT);
    RunCli(folder, "a.edl", "SOURCE_DATE_EPOCH=0");
    EXPECT_NE(std::string::npos, folder.Read("C_a.EDL").find("[1970/01/01  00:00:00]"));
    RunCli(folder, "a.edl", "-u SOURCE_DATE_EPOCH");
    EXPECT_EQ(std::string::npos, folder.Read("C_a.EDL").find("[1970/01/01  00:00:00]"));
    CliRun bad = RunCli(folder, "a.edl", "SOURCE_DATE_EPOCH=yesterday");
    EXPECT_EQ(2, bad.status);
}

TEST(Cli, UsageErrorsHelpAndVersion) {
    TestFolder folder;
    CliRun none = RunCli(folder, "");
    EXPECT_EQ(2, none.status);
    EXPECT_NE(std::string::npos, none.err.find("使い方: tamsel-cli"));
    EXPECT_EQ(2, RunCli(folder, "--frobnicate a.edl").status);
    EXPECT_EQ(2, RunCli(folder, "-o").status) << "-o needs a folder";
    CliRun help = RunCli(folder, "--help");
    EXPECT_EQ(0, help.status);
    EXPECT_EQ(0u, help.out.find("使い方: tamsel-cli [-o DIR] [-c | --delete-internal-data] [--cmx] "
                                "[--events]\n                  [--pull [--handles SECONDS]] "
                                "[--fps 24|25|30] [--drop-frame] FILE..."));
    EXPECT_NE(std::string::npos, help.out.find("--cmx")) << "the export is documented";
    CliRun version = RunCli(folder, "--version");
    EXPECT_EQ("tamsel-cli 3.0.1\n", version.out);
}

TEST(Cli, MoreFilesThanOneJobTakesRunInSeveralJobsWithOneTally) {
    TestFolder folder;
    std::string names;
    for (int k = 0; k < 321; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "f%d.edl", k);
        folder.Write(name, EVENT);
        names += " ";
        names += name;
    }
    fs::create_directories(folder.path / "out");
    CliRun run = RunCli(folder, "-o out" + names, "SOURCE_DATE_EPOCH=0");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ("321個中321個の変換が終了しました。\n", run.err);
    EXPECT_TRUE(folder.Has("out/C_f320.EDL"));
}

// --- Stops -----------------------------------------------------------------------------------

// Runs the converter with the test hook that raises `signal` as the file at `position` starts.
CliRun RunStoppedAt(const TestFolder& folder, int signal, int position, int files) {
    std::string names;
    for (int k = 0; k < files; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "f%d.edl", k);
        folder.Write(name, EVENT);
        names += " ";
        names += name;
    }
    std::string hook = "TAMSEL_CLI_TEST_SIGNAL='" + std::to_string(signal) + " " +
                       std::to_string(position) + "' SOURCE_DATE_EPOCH=0";
    return RunCli(folder, names, hook);
}

TEST(Cli, EachStopSignalFinishesTheFileInHandAndStartsNoOther) {
    const struct {
        int signal;
        int status;
    } cases[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}};
    for (const auto& c : cases) {
        TestFolder folder;
        CliRun run = RunStoppedAt(folder, c.signal, 3, 6);
        EXPECT_EQ(c.status, run.status) << "signal " << c.signal;
        EXPECT_EQ("C_f0.EDL\nC_f1.EDL\nC_f2.EDL\n", run.out) << "signal " << c.signal;
        EXPECT_EQ(std::string::npos, run.err.find("変換が終了しました")) << "no tally";
        std::vector<std::string> files = folder.Files();
        EXPECT_EQ(6u + 3u, files.size()) << "the sources and three complete outputs, no .tmp";
        EXPECT_FALSE(folder.Has("C_f3.EDL")) << "signal " << c.signal;
    }
}

TEST(Cli, AStopBetweenTwoJobsStartsNoFurtherJob) {
    TestFolder folder;
    // The stop comes as the last file of the first job starts.
    CliRun run = RunStoppedAt(folder, SIGINT, 320, 330);
    EXPECT_EQ(130, run.status);
    EXPECT_TRUE(folder.Has("C_f319.EDL"));
    EXPECT_FALSE(folder.Has("C_f320.EDL"));
}

// Ctrl+C, SIGTERM or SIGHUP end the reading of a list that never ends, at once.
TEST(Cli, AStopWhileNamesAreReadEndsTheRunAtOnce) {
    signal(SIGPIPE, SIG_IGN);  // should the converter end early, a write fails instead
    for (const auto& [stop, status] : {std::pair{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}}) {
        TestFolder folder;
        int list[2];
        ASSERT_EQ(0, pipe2(list, O_CLOEXEC));
        pid_t child = StartCli(folder, list[0]);
        // More than a pipe holds: once it is written, the converter is reading the list.
        std::string names(120000, '\n');
        EXPECT_EQ(static_cast<ssize_t>(names.size()), write(list[1], names.data(), names.size()));
        kill(child, stop);
        int ended = 0;
        waitpid(child, &ended, 0);
        close(list[0]);
        close(list[1]);
        EXPECT_EQ(status, WEXITSTATUS(ended)) << "signal " << stop;
    }
}

// --- Names ---------------------------------------------------------------------------------------

// Names as the converter reads them, from its arguments and from standard input: each one a
// file, or refused with a message that names it, or its line.
TEST(Cli, EveryNameIsTakenOrRefusedWithItsLine) {
    const std::string longName = std::string(249, 'n') + ".edl";  // 255 bytes with "C_"
    const struct {
        std::string arguments;
        Bytes list;  // standard input
        int status;
        std::string out;
        std::string err;  // a line of standard error
    } rows[] = {
        // clang-format off
        // A UTF-8 byte-order mark at the top is no part of the first name.
        {"-", "\xEF\xBB\xBF" "a.edl\n", 0, "C_a.EDL\n", "1個中1個の変換が終了しました。"},
        // A NUL refuses its line (find -print0), named by its number and counted.
        {"-", Bytes("a.edl\0b.edl\0", 12), 1, "", "標準入力の 1 行目:"},
        // So does a line longer than the longest path, which is not printed back.
        {"-", "a.edl\n" + std::string(5000, 'x') + "\nb.edl\n", 1, "C_a.EDL\nC_b.EDL\n",
         "標準入力の 2 行目:"},
        // An empty name is a usage error: opened, it would read from the root.
        {"a.edl ''", "", 2, "", "tamsel-cli: 空のファイル名は指定できません。"},
        // A long option takes its value after "=" too; a value left out is said to be missing.
        {"--output=out a.edl", "", 0, "out/C_a.EDL\n", "1個中1個の変換が終了しました。"},
        {"--cmx --fps=25 a.edl", "", 0, "C_a.EDL\nCMX_a.EDL\n", "CMX_a.EDL: 1 event, 0 dissolves"},
        {"a.edl -o", "", 2, "", "tamsel-cli: -o には値を指定してください。"},
        {"--output= a.edl", "", 2, "", "tamsel-cli: --output には値を指定してください。"},
        // A name whose export alone is too long: the message names "CMX_".
        {"--cmx " + longName, "", 1, "", "出力ファイル名 CMX_" + longName.substr(0, 250) + "EDL"},
        // clang-format on
    };
    for (const auto& row : rows) {
        TestFolder folder;
        for (const std::string& name : {std::string("a.edl"), std::string("b.edl"), longName}) {
            folder.Write(name, EVENT);
        }
        folder.Write("list", row.list);
        fs::create_directories(folder / "out");
        CliRun run = RunCli(folder, row.arguments, "SOURCE_DATE_EPOCH=0", "list");
        EXPECT_EQ(row.status, run.status) << row.arguments << " " << row.err;
        EXPECT_EQ(row.out, run.out) << row.arguments << " " << row.err;
        EXPECT_NE(std::string::npos, run.err.find(row.err)) << row.arguments << "\n" << run.err;
    }
}

// The most memory a running process has held, in kilobytes (VmHWM: since it started its
// program, so nothing of the test process that forked it counts).
long PeakKilobytes(pid_t process) {
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    std::string field;
    long kilobytes = -1;
    while (status >> field && field != "VmHWM:") {
    }
    status >> kilobytes;
    return kilobytes;
}

TEST(Cli, ANameLineOfAHundredMegabytesIsRefusedInBoundedMemory) {
    TestFolder folder;
    folder.Write("a.edl", EVENT);
    int list[2];
    ASSERT_EQ(0, pipe2(list, O_CLOEXEC));
    pid_t child = StartCli(folder, list[0]);
    close(list[0]);
    std::string piece(1 << 20, 'x');
    EXPECT_EQ(6, write(list[1], "a.edl\n", 6));
    for (int k = 0; k < 100; ++k) {
        EXPECT_EQ(static_cast<ssize_t>(piece.size()), write(list[1], piece.data(), piece.size()));
    }
    // All but what the pipe holds has been read: the line is as large as it gets.
    long peak = PeakKilobytes(child);
    EXPECT_EQ(1, write(list[1], "\n", 1));
    close(list[1]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(1, WEXITSTATUS(status));
    EXPECT_EQ("C_a.EDL\n", folder.Read("stdout.txt"));
    EXPECT_LT(folder.Read("stderr.txt").size(), 200u) << "named by its number, not printed back";
    EXPECT_LT(peak, 64L << 10) << "kilobytes: far less than the line alone";
    EXPECT_GT(peak, 0L);
}

// --- Sources and odd files ---------------------------------------------------------------------

TEST(Cli, AnOutputThatWouldReplaceASourceIsRefused) {
    TestFolder folder;
    folder.Write("A.EDL", EVENT);
    folder.Write("C_A.EDL", "SOURCE\r\n" + std::string(EVENT));
    CliRun run = RunCli(folder, "A.EDL C_A.EDL");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("SOURCE\r\n" + std::string(EVENT), folder.Read("C_A.EDL")) << "the source stays";
    EXPECT_EQ("C_C_A.EDL\n", run.out);
    EXPECT_EQ(
        "ファイル名:<A.EDL>\n出力ファイル C_A.EDL が変換元のファイルと同じです。\n"
        "変換元を上書きしないよう、このファイルは変換しません。\n"
        "2個中1個の変換が終了しました。\n",
        run.err);
    // The same folder reached by another path is still the same folder.
    fs::create_directories(folder.path / "sub");
    run = RunCli(folder, "-o sub/.. ./A.EDL C_A.EDL");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("SOURCE\r\n" + std::string(EVENT), folder.Read("C_A.EDL"));
    // Into another folder nothing clashes.
    run = RunCli(folder, "-o sub A.EDL C_A.EDL");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ("sub/C_A.EDL\nsub/C_C_A.EDL\n", run.out);
}

TEST(Cli, WhatIsNoRegularFileIsRefusedAtOnce) {
    TestFolder folder;
    folder.Write("good.edl", EVENT);
    ASSERT_EQ(0, mkfifo((folder.path / "fifo.edl").c_str(), 0600));
    // Without the type test the FIFO would wait for a writer, and /dev/zero would be read on
    // and on: the test would time out.
    CliRun run = RunCli(folder, "fifo.edl /dev/zero good.edl");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("C_good.EDL\n", run.out);
    EXPECT_NE(std::string::npos, run.err.find("ファイル名:<fifo.EDL>\n\nこのファイルを開く"));
    EXPECT_NE(std::string::npos, run.err.find("ファイル名:<zero>\n\nこのファイルを開く"));
    EXPECT_NE(std::string::npos, run.err.find("3個中1個の変換が終了しました。"));
    // In a folder given as FILE they are named as well, and so are a dangling link and a folder.
    fs::create_directories(folder / "d/sub.EDL");
    fs::create_symlink("nowhere", folder / "d/dangling.edl");
    fs::rename(folder / "fifo.edl", folder / "d/fifo.edl");
    EXPECT_NE(std::string::npos,
              RunCli(folder, "-o d d").err.find("3個中0個の変換が終了しました。"));
}

TEST(Cli, StandardOutputThatFailsNeverStopsTheRun) {
    TestFolder folder;
    folder.Write("a.edl", EVENT);
    folder.Write("b.edl", EVENT);
    // A full disk: every output is written, and the status says the list was not.
    CliRun full = RunCli(folder, "a.edl b.edl", "SOURCE_DATE_EPOCH=0", "/dev/null", "/dev/full");
    EXPECT_EQ(1, full.status);
    EXPECT_TRUE(folder.Has("C_a.EDL") && folder.Has("C_b.EDL"));
    EXPECT_NE(std::string::npos, full.err.find("2個中2個の変換が終了しました。"));
    fs::remove(folder.path / "C_a.EDL");
    fs::remove(folder.path / "C_b.EDL");
    // A pipe whose reader has gone before the first line (as "| head -1" leaves it after one):
    // every write fails, and the run is not killed part-way by SIGPIPE.
    int pipeEnds[2];
    ASSERT_EQ(0, pipe(pipeEnds));
    pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        dup2(pipeEnds[1], STDOUT_FILENO);
        if (chdir(folder.path.c_str()) != 0) {
            _exit(99);
        }
        freopen("/dev/null", "w", stderr);
        execl(TAMSEL_CLI, TAMSEL_CLI, "a.edl", "b.edl", static_cast<char*>(nullptr));
        _exit(98);
    }
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(1, WEXITSTATUS(status));
    EXPECT_TRUE(folder.Has("C_a.EDL") && folder.Has("C_b.EDL"));
}

TEST(Cli, NamesThatAreNotUtf8ConvertByTheirBytes) {
    TestFolder folder;
    // "テスト.edl" as a Japanese PC names it, in Shift-JIS, and a name of bytes that are no
    // character at all.
    const std::string shiftJis = "\x83\x65\x83\x58\x83\x67";
    folder.Write(shiftJis + ".edl", EVENT);
    folder.Write("\xff\xfe.edl", EVENT);
    CliRun run = RunCli(folder, "'" + shiftJis + ".edl' '\xff\xfe.edl'");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ("C_\\x83e\\x83X\\x83g.EDL\nC_\\xff\\xfe.EDL\n", run.out) << "escaped in the list";
    ASSERT_TRUE(folder.Has("C_" + shiftJis + ".EDL")) << "named after the source's bytes";
    EXPECT_NE(std::string::npos,
              folder.Read("C_" + shiftJis + ".EDL").find("[" + shiftJis + ".EDL]"))
        << "the banner shows the Shift-JIS name as it is";
    EXPECT_NE(std::string::npos, folder.Read("C_\xff\xfe.EDL").find("[??.EDL]"));
}

TEST(Cli, ControlCharactersInANameInjectNothing) {
    TestFolder folder;
    folder.Write("a\nb.edl", EVENT);
    folder.Write("\x1b[31mred.edl", "NOTHING HERE\r\n");
    CliRun run = RunCli(folder, "'a\nb.edl' '\x1b[31mred.edl'");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("C_a\\nb.EDL\n", run.out);
    EXPECT_NE(std::string::npos, run.err.find("ファイル名:<\\x1b[31mred.EDL>")) << run.err;
    EXPECT_EQ(std::string::npos, run.err.find('\x1b')) << "no escape reaches the terminal";
    EXPECT_NE(std::string::npos, folder.Read("C_a\nb.EDL").find("[a?b.EDL]\r\n"))
        << "no line break in the banner";
}

TEST(Cli, LongNamesAndPathsConvertUpToWhatTheSystemTakes) {
    TestFolder folder;
    // "C_" and 253 bytes make the longest name a folder takes; the temporary file beside it
    // must not need more.
    std::string longest = std::string(249, 'n') + ".edl";
    std::string tooLong = std::string(250, 'm') + ".edl";
    folder.Write(longest, EVENT);
    folder.Write(tooLong, EVENT);
    CliRun run = RunCli(folder, longest + " " + tooLong);
    EXPECT_EQ(1, run.status);
    EXPECT_TRUE(folder.Has("C_" + std::string(249, 'n') + ".EDL"));
    std::string tooLongName = std::string(250, 'm') + ".EDL";
    EXPECT_NE(std::string::npos,
              run.err.find("ファイル名:<" + tooLongName + ">\n出力ファイル名 C_" + tooLongName +
                           " が長すぎるため"));
    // A path of about 3000 bytes, in and out.
    std::string deep;
    for (int k = 0; k < 12; ++k) {
        deep += std::string(240, 'a' + k) + "/";
    }
    folder.Write(deep + "x.edl", EVENT);
    run = RunCli(folder, "-o " + deep + " " + deep + "x.edl");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_TRUE(folder.Has(deep + "C_x.EDL"));
}

TEST(Cli, AnUnusableOutputFolderIsOneErrorBeforeAnyWork) {
    TestFolder folder;
    folder.Write("a.edl", EVENT);
    folder.Write("somefile", "not a folder");
    for (const char* output : {"missing", "somefile"}) {
        CliRun run = RunCli(folder, std::string("-o ") + output + " a.edl");
        EXPECT_EQ(2, run.status) << output;
        EXPECT_EQ("tamsel-cli: 出力フォルダ \"" + std::string(output) +
                      "\" がないか、フォルダではないか、書き込めません。\n",
                  run.err);
    }
    EXPECT_FALSE(folder.Has("C_a.EDL"));
}

TEST(Cli, FoldersAndStandardInputNameMoreFiles) {
    TestFolder folder;
    folder.Write("dir/b.edl", EVENT);
    folder.Write("dir/a.EDL", EVENT);
    folder.Write("dir/notes.txt", "no EDL");
    folder.Write("dir/sub/deeper.edl", EVENT);
    fs::create_directories(folder.path / "out");
    CliRun run = RunCli(folder, "-o out dir");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ("out/C_a.EDL\nout/C_b.EDL\n", run.out) << "sorted by name, not recursive";

    folder.Write("x.edl", EVENT);
    folder.Write("y.edl", EVENT);
    folder.Write("list.txt", "x.edl\n\ny.edl\r\n");
    run = RunCli(folder, "-o out -", "SOURCE_DATE_EPOCH=0", "list.txt");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ("out/C_x.EDL\nout/C_y.EDL\n", run.out);
    EXPECT_NE(std::string::npos, run.err.find("2個中2個の変換が終了しました。"));
}

// --- The CMX 3600 export -------------------------------------------------------------------------

TEST(Cli, TheExportIsWrittenBesideTheRepairedListAndSummed) {
    TestFolder folder;
    folder.Write("news.edl", "  NEWS\r\n\r\n" + std::string(EVENT));
    CliRun run = RunCli(folder, "--cmx news.edl");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ("C_news.EDL\nCMX_news.EDL\n", run.out);
    EXPECT_EQ(
        "CMX_news.EDL: 1 event, 0 dissolves, 0 kept as comments\n"
        "1個中1個の変換が終了しました。\n",
        run.err);
    std::string exported = folder.Read("CMX_news.EDL");
    EXPECT_EQ(0u, exported.find("TITLE: NEWS\r\nFCM: NON-DROP FRAME\r\n")) << exported;

    run = RunCli(folder, "--cmx --fps 30 --drop-frame news.edl");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(std::string::npos, folder.Read("CMX_news.EDL").find("FCM: DROP FRAME\r\n"));
    // Without --cmx nothing more is written.
    fs::remove(folder.path / "CMX_news.EDL");
    EXPECT_EQ("C_news.EDL\n", RunCli(folder, "news.edl").out);
    EXPECT_FALSE(folder.Has("CMX_news.EDL"));
}

TEST(Cli, ExportSettingsOutOfPlaceAreUsageErrors) {
    TestFolder folder;
    folder.Write("a.edl", EVENT);
    const char* const wrong[] = {"--cmx --fps 29 a.edl", "--cmx --fps a.edl", "--fps 25 a.edl",
                                 "--drop-frame a.edl", "--cmx --fps 25 --drop-frame a.edl"};
    for (const char* arguments : wrong) {
        CliRun run = RunCli(folder, arguments);
        EXPECT_EQ(2, run.status) << arguments;
        EXPECT_NE(std::string::npos, run.err.find("使い方:")) << arguments;
    }
    EXPECT_FALSE(folder.Has("C_a.EDL")) << "nothing converted";
}

TEST(Cli, AnExportThatCannotBeWrittenIsNamedAndTheRepairedListStays) {
    TestFolder folder;
    folder.Write("a.edl", EVENT);
    fs::create_directories(folder.path / "CMX_a.EDL");  // a folder where the export goes
    CliRun run = RunCli(folder, "--cmx a.edl");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("C_a.EDL\n", run.out) << "the repaired list was written";
    EXPECT_EQ(
        "ファイル名:<a.EDL>\nC_a.EDL は書き出しましたが、CMX 3600 形式の CMX_a.EDL を"
        "書込む事ができません。\nパス・ファイル名、デバイスの状態を確認して下さい。\n"
        "1個中0個の変換が終了しました。\n",
        run.err);
}

// --- The event table and the tape pull list ----------------------------------------------------

const char SECOND_EVENT[] =
    "002  002    V     C        00:00:10:00 00:00:12:00 01:00:05:00 01:00:07:00\r\n";

TEST(Cli, TablesAreWrittenBesideTheRepairedListAndABatchPullsEveryFile) {
    TestFolder folder;
    folder.Write("a.edl", EVENT);
    folder.Write("b.edl", std::string(EVENT) + SECOND_EVENT);
    struct Case {
        const char* arguments;
        const char* out;
        const char* pullA;  // the one row of PULL_a.csv, or "" for none
    } cases[] = {
        {"--events a.edl", "C_a.EDL\nEVENTS_a.csv\n", ""},
        {"--pull a.edl", "C_a.EDL\nPULL_a.csv\n",
         "001,001,00:00:00:00,00:00:07:00,00:00:07:00,1,0001"},
        {"--pull --handles 0 --fps 25 a.edl", "C_a.EDL\nPULL_a.csv\n",
         "001,001,00:00:00:00,00:00:05:00,00:00:05:00,1,0001"},
        {"--pull --handles=60 a.edl", "C_a.EDL\nPULL_a.csv\n",
         "001,001,00:00:00:00,00:01:05:00,00:01:05:00,1,0001"},
        {"--cmx --events --pull a.edl b.edl",
         "C_a.EDL\nCMX_a.EDL\nEVENTS_a.csv\nPULL_a.csv\n"
         "C_b.EDL\nCMX_b.EDL\nEVENTS_b.csv\nPULL_b.csv\nPULL_ALL.csv\n",
         "001,001,00:00:00:00,00:00:07:00,00:00:07:00,1,0001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        for (const char* name : {"EVENTS_a.csv", "PULL_a.csv", "PULL_ALL.csv"}) {
            fs::remove(folder.path / name);
        }
        CliRun run = RunCli(folder, c.arguments);
        EXPECT_EQ(0, run.status) << run.err;
        EXPECT_EQ(c.out, run.out);
        EXPECT_EQ(*c.pullA != '\0', folder.Has("PULL_a.csv"));
        if (*c.pullA != '\0') {
            EXPECT_EQ(
                "\xEF\xBB\xBFリール,元のリール,ソースIN,ソースOUT,尺,イベント数,イベント\r\n" +
                    std::string(c.pullA) + "\r\n",
                folder.Read("PULL_a.csv"));
        }
    }
    // The last run: each file's table, and the batch's pull list naming the files of each range.
    EXPECT_EQ(0u, folder.Read("EVENTS_b.csv")
                      .find("\xEF\xBB\xBF"
                            "BVEイベント,CMXイベント,"));
    EXPECT_NE(std::string::npos, folder.Read("EVENTS_b.csv").find("\r\n0002,002,002,002,V,C,"));
    EXPECT_NE(
        std::string::npos,
        folder.Read("PULL_ALL.csv")
            .find("001,001,00:00:00:00,00:00:07:00,00:00:07:00,2,0001 / 0001,a.EDL / b.EDL\r\n"));
    CliRun both = RunCli(folder, "--pull a.edl b.edl");
    EXPECT_NE(std::string::npos,
              both.err.find("PULL_ALL.csv: 2 tapes, 2 ranges, 0 events left out\n"))
        << both.err;
}

TEST(Cli, TableSettingsOutOfPlaceAreUsageErrorsAndClashingNamesAreRefused) {
    TestFolder folder;
    folder.Write("a.edl", EVENT);
    const char* const wrong[] = {"--pull --handles 61 a.edl",  "--pull --handles -1 a.edl",
                                 "--pull --handles two a.edl", "--pull --handles a.edl",
                                 "--handles 5 a.edl",          "--events --handles 5 a.edl"};
    for (const char* arguments : wrong) {
        CliRun run = RunCli(folder, arguments);
        EXPECT_EQ(2, run.status) << arguments;
        EXPECT_NE(std::string::npos, run.err.find("--handles")) << arguments << run.err;
    }
    EXPECT_FALSE(folder.Has("C_a.EDL")) << "nothing converted";
    EXPECT_EQ(0, RunCli(folder, "--events --fps 24 a.edl").status) << "a table takes a rate";

    // a.TXT has the tables of a.edl; ALL.EDL would have the batch's pull list as its own.
    folder.Write("a.TXT", EVENT);
    folder.Write("ALL.EDL", EVENT);
    CliRun run = RunCli(folder, "--events --pull a.edl a.TXT ALL.EDL");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("C_a.EDL\nEVENTS_a.csv\nPULL_a.csv\n", run.out) << "one file has no batch list";
    EXPECT_NE(std::string::npos,
              run.err.find("ファイル名:<a.TXT>\n出力ファイル EVENTS_a.csv は、一緒に変換する"))
        << run.err;
    EXPECT_NE(std::string::npos, run.err.find("ファイル名:<ALL.EDL>\n出力ファイル PULL_ALL.csv"));
    EXPECT_FALSE(folder.Has("C_a.TXT") || folder.Has("C_ALL.EDL"));
}

TEST(Cli, ATableThatCannotBeWrittenIsNamedAndTheOtherListsStay) {
    TestFolder folder;
    folder.Write("a.edl", EVENT);
    fs::create_directories(folder.path / "EVENTS_a.csv");  // a folder where the table goes
    CliRun run = RunCli(folder, "--events --pull a.edl");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("C_a.EDL\nPULL_a.csv\n", run.out) << "the list after the failed one is written";
    EXPECT_EQ(0u, run.err.find("ファイル名:<a.EDL>\n変換したファイルは書き出しましたが、イベント表 "
                               "EVENTS_a.csv を書込む事ができません。"))
        << run.err;
}

}  // namespace
