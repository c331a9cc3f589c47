// Downloading a controller file against the recording fake: the exact text on the ASCII channel,
// the ready wait before the first line and the 500 ms after the end-of-text character.
#include "controller/MotionController.h"
#include "controller/StringTable.h"
#include "support/FakeKelvApi.h"
#include "support/RecordingOperator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace morvik {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class Download : public testing::Test {
protected:
    void SetUp() override {
        fake.clock = &clock;
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        // Parameterised test names hold '/', which must not make a sub-folder here.
        std::string name =
            std::string("morvik_download_") + info->test_suite_name() + "_" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        folder = fs::path(testing::TempDir()) / name;
        fs::remove_all(folder);
        fs::create_directories(folder);
        ASSERT_TRUE(mc.OpenController());
        fake.ClearCalls();
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Write(const std::string& name, const std::string& content) {
        const auto path = folder / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    // What went out on the ASCII channel, one entry per dornputs.
    Lines Sent() const {
        Lines sent;
        for (const auto& line : fake.CallsOf("dornputs"))
            sent.push_back(line.substr(std::string("dornputs(A, ").size(),
                                       line.size() - std::string("dornputs(A, ").size() - 1));
        return sent;
    }

    test::FakeKelvApi fake;
    ManualClock clock;
    test::RecordingOperator ui;
    MotionController mc{fake.Table(), clock, ui};
    fs::path folder;
};

struct FileCase {
    const char* what;
    std::string content;
    Lines sent; // escaped as the fake records them
};

void PrintTo(const FileCase& c, std::ostream* os) {
    *os << c.what;
}

class DownloadContent : public Download, public testing::WithParamInterface<FileCase> {};

TEST_P(DownloadContent, SendsLoThenEveryLineWithALineFeedThenEndOfText) {
    const auto& c = GetParam();
    SCOPED_TRACE(c.what);
    const auto path = Write("mill.CFG", c.content);

    EXPECT_EQ(mc.DownloadFile(path, 100), DownloadResult::Sent);
    EXPECT_EQ(Sent(), c.sent);
    // The ready test comes between the "LO" command and the first line.
    ASSERT_GE(fake.calls.size(), 2u);
    EXPECT_EQ(fake.calls[1], "dornrdy(A)");
    EXPECT_EQ(clock.NowMs(), MotionController::kAfterDownloadMs);
    EXPECT_EQ(fake.CountOf("dorngets") + fake.CountOf("dorngetc"), 0) << "the caller drains";
    EXPECT_TRUE(ui.messages.empty());
}

const std::string kLong(300, 'L');

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadContent,
    testing::Values(FileCase{"empty file: no line at all", "", {"\"LO100\\r\"", "\"\\x1a\""}},
                    FileCase{"lines ending in LF",
                             "MACHINETYPE=VMILL\nFEEDRATE=100\n",
                             {"\"LO100\\r\"", "\"MACHINETYPE=VMILL\\n\"", "\"FEEDRATE=100\\n\"",
                              "\"\\x1a\""}},
                    FileCase{"lines ending in CR LF as written on disk",
                             ";mill Configuration file\r\nENGLISH\r\n",
                             {"\"LO100\\r\"", "\";mill Configuration file\\n\"", "\"ENGLISH\\n\"",
                              "\"\\x1a\""}},
                    FileCase{"a last line without a line feed is sent too",
                             "A=1\nDEFAULT=METRIC",
                             {"\"LO100\\r\"", "\"A=1\\n\"", "\"DEFAULT=METRIC\\n\"", "\"\\x1a\""}},
                    FileCase{"empty lines are lines",
                             "\n\r\nX\n",
                             {"\"LO100\\r\"", "\"\\n\"", "\"\\n\"", "\"X\\n\"", "\"\\x1a\""}},
                    FileCase{"a line longer than 255 characters goes whole",
                             kLong + "\nB\n",
                             {"\"LO100\\r\"", "\"" + kLong + "\\n\"", "\"B\\n\"", "\"\\x1a\""}}));

TEST_F(Download, WaitsForReadyIn25MsSleepsAndThen500MsAfterTheEnd) {
    const auto path = Write("mill.WRK", "G54 X0\n");
    fake.asciiBusyPolls = 2;

    EXPECT_EQ(mc.DownloadFile(path, 101), DownloadResult::Sent);
    EXPECT_EQ(fake.calls,
              (Lines{"dornputs(A, \"LO101\\r\")", "dornrdy(A)", "dornrdy(A)", "dornrdy(A)",
                     "dornputs(A, \"G54 X0\\n\")", "dornputs(A, \"\\x1a\")"}));
    EXPECT_EQ(fake.callTimes, (std::vector<std::uint64_t>{0, 0, 25, 50, 50, 50}));
    EXPECT_EQ(clock.NowMs(), 550u);
}

TEST_F(Download, TypeTenCardIsNotAskedForReady) {
    fake.controllerType = MotionController::kTypeNoReadyTest;
    mc.CloseController();
    ASSERT_TRUE(mc.OpenController());
    fake.ClearCalls();
    const auto path = Write("mill.TOL", "T1\n");

    EXPECT_EQ(mc.DownloadFile(path, 102), DownloadResult::Sent);
    EXPECT_EQ(Sent(), (Lines{"\"LO102\\r\"", "\"T1\\n\"", "\"\\x1a\""}));
    EXPECT_EQ(fake.CountOf("dornrdy"), 0);
    EXPECT_EQ(clock.NowMs(), 510u);
}

TEST_F(Download, AFileThatCannotBeOpenedSendsNothing) {
    const std::string paths[] = {(folder / "absent.CFG").string(), folder.string()};
    for (const auto& path : paths) {
        EXPECT_EQ(mc.DownloadFile(path, 100), DownloadResult::FileNotOpened) << path;
        EXPECT_TRUE(fake.calls.empty()) << path;
    }
    EXPECT_EQ(clock.NowMs(), 0u);
    EXPECT_TRUE(ui.messages.empty()) << "the caller decides what to say";
}

TEST_F(Download, ACardThatNeverBecomesReadyAbandonsTheDownloadWithOneMessage) {
    const auto path = Write("mill.CFG", "A=1\nB=2\n");
    fake.asciiNeverReady = true;

    EXPECT_EQ(mc.DownloadFile(path, 100), DownloadResult::CardNotReady);
    // No line; the end-of-text character closes the load the card was told to start.
    EXPECT_EQ(Sent(), (Lines{"\"LO100\\r\"", "\"\\x1a\""}));
    EXPECT_EQ(clock.NowMs(), MotionController::kAsciiReadyLimitMs);
    EXPECT_EQ(ui.messages, (std::vector<int>{msg::CardNotAnswering}));

    // The station stays usable: the next download goes through once the card answers.
    fake.asciiNeverReady = false;
    fake.ClearCalls();
    EXPECT_EQ(mc.DownloadFile(path, 100), DownloadResult::Sent);
    EXPECT_EQ(Sent().size(), 4u);
    EXPECT_EQ(ui.messages.size(), 1u);
}

} // namespace
} // namespace morvik
