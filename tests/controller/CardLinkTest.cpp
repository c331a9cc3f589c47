// The connection against the simulated card, reached the way the station reaches it: the loader
// finds libkelvapi32.so beside the executable and MotionController calls through the table. The
// card's time follows the station's sleeps (SimClock), so no test waits for real time.
#include "cardsim/KelvSim.h"
#include "controller/ApiLoader.h"
#include "controller/ControllerCodes.h"
#include "controller/MotionController.h"
#include "controller/StringTable.h"
#include "support/RecordingOperator.h"
#include "support/SimClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace morvik {
namespace {

namespace fs = std::filesystem;

class CardLink : public testing::Test {
protected:
    void SetUp() override {
        KelvSimReset();
        clock = std::make_unique<test::SimClock>();
        ASSERT_EQ(loader.LoadController(MORVIK_BIN_DIR), kLoadOk) << loader.LoadError();
        mc = std::make_unique<MotionController>(loader.Api(), *clock, ui);

        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name =
            std::string("morvik_cardlink_") + info->test_suite_name() + "_" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        folder = fs::path(testing::TempDir()) / name;
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        mc.reset();
        clock.reset();
        fs::remove_all(folder);
        KelvSimReset();
    }

    std::string Write(const std::string& name, const std::string& content) {
        const auto path = folder / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    // The card's copy of controller file number, or "<none>" when it has no such file.
    static std::string CardFile(int number) {
        std::vector<char> buffer(1 << 16);
        const int length = KelvSimControllerFile(number, buffer.data(), int(buffer.size()));
        return length < 0 ? std::string("<none>") : std::string(buffer.data());
    }

    static std::vector<std::string> ReadLines(const fs::path& path) {
        std::vector<std::string> lines;
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    ApiLoader loader;
    std::unique_ptr<test::SimClock> clock;
    test::RecordingOperator ui;
    std::unique_ptr<MotionController> mc;
    fs::path folder;
};

TEST_F(CardLink, OpensBothHandlesOfCardZeroAndClosesThem) {
    ASSERT_TRUE(mc->OpenController());
    EXPECT_GT(mc->BinaryHandle(), 0);
    EXPECT_GT(mc->AsciiHandle(), 0);
    EXPECT_NE(mc->BinaryHandle(), mc->AsciiHandle());
    EXPECT_EQ(mc->ControllerType(), 1);
    EXPECT_TRUE(ui.messages.empty());

    mc->CloseController();
    EXPECT_FALSE(mc->IsOpen());
    EXPECT_TRUE(mc->OpenController()) << "the card can be opened again after a close";
}

TEST_F(CardLink, OpenFailuresAreReportedAndLeaveTheConnectionClosed) {
    struct Case {
        const char* what;
        int fault; // 0: none
        std::int16_t controllerId;
        int message;
    };
    const Case cases[] = {
        {"card refuses both modes", KELVSIM_FAULT_REFUSE_OPEN, 0, msg::UnableToOpenBinary},
        {"card refuses ASCII mode", KELVSIM_FAULT_REFUSE_ASCII, 0, msg::UnableToOpenAscii},
        {"no such card", 0, 1, msg::UnableToOpenBinary},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        KelvSimReset();
        if (c.fault)
            KelvSimSetFault(c.fault, 1);
        ui.messages.clear();
        MotionController link(loader.Api(), *clock, ui, c.controllerId);
        EXPECT_FALSE(link.OpenController());
        EXPECT_EQ(ui.messages, std::vector<int>{c.message});
        EXPECT_FALSE(link.IsOpen());
    }
}

TEST_F(CardLink, DownloadedFilesAreStoredByTheCardLineForLine) {
    struct Case {
        const char* what;
        std::string content;
        std::string stored;
    };
    const Case cases[] = {
        {"empty file", "", ""},
        {"normal file", ";mill Configuration file\r\nMACHINETYPE=VMILL\r\nENGLISH\r\n",
         ";mill Configuration file\nMACHINETYPE=VMILL\nENGLISH\n"},
        {"last line without a line feed", "T1\nT2", "T1\nT2\n"},
    };
    ASSERT_TRUE(mc->OpenController());
    int number = 100;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = clock->NowMs();
        EXPECT_EQ(mc->DownloadFile(Write("file" + std::to_string(number), c.content), number),
                  DownloadResult::Sent);
        EXPECT_GE(clock->NowMs() - start, MotionController::kAfterDownloadMs);
        EXPECT_EQ(CardFile(number), c.stored);
        ++number;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CardLink, DrainLeavesNoReplyBehind) {
    ASSERT_TRUE(mc->OpenController());
    mc->SendAscii("NOSUCHCOMMAND\r");
    mc->SendAscii("NOSUCHCOMMAND\r");
    const std::string first = mc->ReadOutput();
    EXPECT_FALSE(first.empty()) << "an unknown command is answered";
    mc->DrainReplies(80);
    EXPECT_EQ(mc->ReadOutput(), "");
}

TEST_F(CardLink, ALoadedProgramIsReadyAfterItsRunCommandAndNotAfterAnAbort) {
    ASSERT_TRUE(mc->OpenController());
    EXPECT_EQ(mc->ProgramStatus() & psw::Startable, 0u) << "nothing loaded yet";

    mc->SendAscii("LOF\r");
    ASSERT_TRUE(mc->WaitAsciiReady());
    for (const char* line : {"O1234\n", "G90 G0 X0 Y0\n", "M30\n"})
        mc->SendAscii(line);
    mc->SendAscii(kEndOfText);
    clock->Advance(MotionController::kAfterDownloadMs);
    mc->DrainReplies(40);
    mc->SendAscii(AsciiCommand("RUF", -1234));

    EXPECT_NE(mc->ProgramStatus() & psw::Ready, 0u);
    EXPECT_TRUE(mc->AbortProgramAndWait());
    EXPECT_EQ(mc->ProgramStatus() & psw::Startable, 0u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CardLink, ACardThatNeverGetsReadyEndsEachWaitAfterItsLimit) {
    ASSERT_TRUE(mc->OpenController());
    KelvSimSetFault(KELVSIM_FAULT_NEVER_READY, 1);
    const auto path = Write("mill.CFG", "A=1\n");

    auto start = clock->NowMs();
    EXPECT_EQ(mc->DownloadFile(path, 100), DownloadResult::CardNotReady);
    EXPECT_EQ(clock->NowMs() - start, MotionController::kAsciiReadyLimitMs);

    start = clock->NowMs();
    EXPECT_FALSE(mc->AbortProgramAndWait());
    EXPECT_EQ(clock->NowMs() - start, MotionController::kBinaryReadyLimitMs);
    EXPECT_EQ(ui.messages, (std::vector<int>{msg::CardNotAnswering, msg::CardNotAnswering}));

    // Once the card answers again the same connection works.
    KelvSimSetFault(KELVSIM_FAULT_NEVER_READY, 0);
    EXPECT_EQ(mc->DownloadFile(path, 100), DownloadResult::Sent);
    EXPECT_EQ(CardFile(100), "A=1\n");
}

TEST_F(CardLink, TheLoaderFindsTheDialogLibraryBesideTheExecutableToo) {
    ASSERT_EQ(loader.LoadDialog(MORVIK_BIN_DIR), kLoadOk) << loader.LoadError();
    ASSERT_NE(loader.Dialog().KELVDLG_AboutText, nullptr);
    EXPECT_NE(std::string(loader.Dialog().KELVDLG_AboutText()).find("Morvik"), std::string::npos);
}

// The station's everyday sequences, as the card saw them. Axis 0 never reaches the card.
TEST_F(CardLink, ConnectionSequencesMatchTheGoldenTrace) {
    const auto trace = folder / "connection.trace";
    KelvSimSetTraceFile(trace.string().c_str());
    ASSERT_TRUE(mc->OpenController());
    mc->DownloadFile(Write("mill.CFG", ";mill Configuration file\r\nENGLISH"), 100);
    mc->DrainReplies(80);
    EXPECT_EQ(mc->ReadOutput(), "");
    mc->SetOutputOption(code::OutputEchoBlocks, true);
    mc->SetFeedOverride(0.5);
    EXPECT_TRUE(mc->AbortProgramAndWait());
    mc->ProgramStatus();
    EXPECT_EQ(mc->MoveAbsolute(0, 1.0), 0);
    EXPECT_EQ(mc->GetPosition(0), 0.0);
    mc->CloseController();
    KelvSimSetTraceFile(nullptr);

    const auto expected = ReadLines(MORVIK_TEST_DATA_DIR "/controller/golden/connection.trace");
    ASSERT_FALSE(expected.empty()) << "golden file missing";
    EXPECT_EQ(ReadLines(trace), expected);
}

} // namespace
} // namespace morvik
