// tamsel-cli, run as a real process on files in a temporary folder: outputs, messages, exit
// statuses, duplicate names, the fixed stamp, Ctrl+C.
#include <signal.h>
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

// Runs the converter in `folder` with `arguments` (a shell word list) and the environment
// prefix `environment`, in UTC so that stamps do not depend on the machine.
CliRun RunCli(const TestFolder& folder, const std::string& arguments,
              const std::string& environment = "SOURCE_DATE_EPOCH=1551863107") {
    std::string command = "cd '" + folder.path.string() + "' && env " + environment +
                          " TZ=UTC '" TAMSEL_CLI "' " + arguments + " > stdout.txt 2> stderr.txt";
    int status = std::system(command.c_str());
    CliRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, folder.Read("stdout.txt"),
               folder.Read("stderr.txt")};
    fs::remove(folder.path / "stdout.txt");
    fs::remove(folder.path / "stderr.txt");
    return run;
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
        "2個中2個の変換が終了しました。\n",
        run.err);
}

TEST(Cli, APathTooLongForTheJobIsRefusedBeforeAnyConversion) {
    TestFolder folder;
    folder.Write("ok.edl", EVENT);
    std::string longPath = std::string(1030, 'd') + "/y.edl";
    CliRun run = RunCli(folder, longPath + " ok.edl");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(0u, run.err.find("ファイル名: \"y.EDL\"\n場所:[" + std::string(1030, 'd') +
                               "]\n\nパスが長すぎるため参照できません。\n"));
    EXPECT_NE(std::string::npos, run.err.find("1個中1個の変換が終了しました。"));
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
    EXPECT_EQ(0u,
              help.out.find("使い方: tamsel-cli [-o DIR] [-c | --delete-internal-data] FILE..."));
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

TEST(Cli, InterruptFinishesTheFileInHandAndStartsNoOther) {
    TestFolder folder;
    // Files large enough that the run is still busy when the signal comes.
    std::string big;
    for (int k = 0; k < 20000; ++k) {
        big += EVENT;
    }
    std::vector<std::string> arguments = {TAMSEL_CLI};
    for (int k = 0; k < 60; ++k) {
        std::string name = "big" + std::to_string(k) + ".edl";
        folder.Write(name, big);
        arguments.push_back(name);
    }
    pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.path.c_str()) != 0) {
            _exit(99);
        }
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        freopen("stderr.txt", "w", stderr);
        freopen("stdout.txt", "w", stdout);
        execv(argv[0], argv.data());
        _exit(98);
    }
    // Interrupt once the first output is in place.
    for (int k = 0; k < 2000 && !folder.Has("C_big0.EDL"); ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(130, WEXITSTATUS(status));
    EXPECT_EQ(std::string::npos, folder.Read("stderr.txt").find("変換が終了しました"))
        << "no tally after an interrupt";
    int written = 0;
    std::string first = folder.Read("C_big0.EDL");
    for (int k = 0; k < 60; ++k) {
        std::string name = "C_big" + std::to_string(k) + ".EDL";
        if (folder.Has(name)) {
            ++written;
            EXPECT_EQ(first.size(), folder.Read(name).size()) << name << " is complete";
        }
    }
    EXPECT_GE(written, 1);
    EXPECT_LT(written, 60) << "the run stopped early";
    for (const auto& entry : fs::directory_iterator(folder.path)) {
        EXPECT_EQ(std::string::npos, entry.path().string().find(".tmp")) << "no partial output";
    }
}

}  // namespace
