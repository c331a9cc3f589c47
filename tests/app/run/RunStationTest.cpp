// `make run`'s start-up step (scripts/run-station.sh) run as `make run` runs it. Without a
// display it says so in one line, with the ways to run the station anyway, and fails without
// starting anything. With one, it copies the samples into the build's working folder on the
// first run and opens the copy of the sample mill there; later runs keep the copy. A stand-in
// station records how it was started, so no window is needed.
#include "settings/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>

namespace morvik {
namespace {

const std::string kRepo = std::string(MORVIK_TEST_DATA_DIR) + "/..";
const std::string kScript = kRepo + "/scripts/run-station.sh";

struct Outcome {
    std::string output; // stdout and stderr together
    bool exited = false;
    int code = -1;
};

// Runs the script on build with the environment changed by envArgs (as env(1) takes them).
Outcome RunScript(const std::string& envArgs, const std::string& build,
                  const std::string& extra = "") {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + envArgs +
                                " '" + kScript + "' '" + build + "' " + extra + " 2>&1";
    Outcome outcome;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return outcome;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        outcome.output += buffer;
    const int status = ::pclose(pipe);
    outcome.exited = WIFEXITED(status);
    outcome.code = outcome.exited ? WEXITSTATUS(status) : -1;
    return outcome;
}

TEST(RunStation, WithoutADisplayItSaysHowToRunInOneLineAndFails) {
    test::TempFolder build;
    const Outcome run = RunScript("", build.Path().string());
    ASSERT_TRUE(run.exited) << "ended by a signal: " << run.output;
    EXPECT_NE(run.code, 0);
    ASSERT_FALSE(run.output.empty());
    EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << "one line:\n" << run.output;
    for (const char* says : {"no display", "xvfb-run", "QT_QPA_PLATFORM=vnc", "5900"})
        EXPECT_NE(run.output.find(says), std::string::npos) << says << " in: " << run.output;
    EXPECT_EQ(run.output.find("abort"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(build.File("run"))) << "nothing prepared";
}

// A stand-in for the station: it writes its working folder and arguments to started.txt.
void InstallStandIn(const test::TempFolder& build) {
    std::filesystem::create_directories(build.File("bin"));
    const std::string station = build.File("bin/morvik");
    test::WriteBytes(station,
                     "#!/bin/sh\n{ pwd; echo \"$@\"; } > \"$(dirname \"$0\")/../started.txt\"\n");
    ::chmod(station.c_str(), 0755);
}

TEST(RunStation, TheFirstRunCopiesTheSamplesAndLaterRunsKeepTheCopy) {
    test::TempFolder build;
    InstallStandIn(build);
    const std::string work = std::filesystem::canonical(build.Path()).string() + "/run";

    Outcome run = RunScript("QT_QPA_PLATFORM=offscreen", build.Path().string());
    ASSERT_TRUE(run.exited);
    ASSERT_EQ(run.code, 0) << run.output;
    EXPECT_EQ(test::ReadBytes(build.File("started.txt")), work + "\nmill.mch\n");
    const std::string sample = test::ReadBytes(kRepo + "/examples/mill.mch");
    EXPECT_EQ(test::ReadBytes(build.File("run/mill.mch")), sample);
    for (const char* copied : {"lathe.mch", "mill-facing.prt", "mill-pocket.prt",
                               "mill-drilling.prt", "lathe-turning.prt"})
        EXPECT_TRUE(std::filesystem::exists(build.File(std::string("run/") + copied))) << copied;

    // The operator's changes to the copy survive the next start, with a display of any kind.
    test::WriteBytes(build.File("run/mill.mch"), sample + "; changed\n");
    run = RunScript("DISPLAY=:99", build.Path().string());
    ASSERT_EQ(run.code, 0) << run.output;
    EXPECT_EQ(test::ReadBytes(build.File("run/mill.mch")), sample + "; changed\n");
    EXPECT_EQ(test::ReadBytes(kRepo + "/examples/mill.mch"), sample) << "the checkout stays";

    // Another machine file by name.
    run = RunScript("WAYLAND_DISPLAY=wayland-0", build.Path().string(), "lathe.mch");
    ASSERT_EQ(run.code, 0) << run.output;
    EXPECT_EQ(test::ReadBytes(build.File("started.txt")), work + "\nlathe.mch\n");
}

} // namespace
} // namespace morvik
