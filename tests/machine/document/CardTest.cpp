// The machine document against the simulated card, reached as the station reaches it (the
// loader finds libkelvapi32.so beside the executable), with the card's call trace compared
// against expected files: opening a machine downloads its three files, a started program is
// aborted before a download, and closing runs the shutdown sequence in order.
#include "cardsim/KelvSim.h"
#include "controller/ControllerCodes.h"
#include "machine/document/MachineFixture.h"
#include "support/SimCardFixture.h"

namespace morvik {
namespace {

class MachineOnCard : public test::SimCardFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartCard(Trace::On));
        machine = std::make_unique<CMachine>(loader.Api(), *clock, ui);
        machine->SetDateSource(test::FixedDate);
        ASSERT_TRUE(machine->Connect());
    }

    // The trace lines since the last call, without ready polls and the text of downloaded
    // files: what the station told the card, in order.
    std::vector<std::string> TraceSinceLast() {
        std::vector<std::string> kept;
        for (const std::string& line : SimCardFixture::TraceSinceLast()) {
            const bool fileText = line.rfind("dornputs", 0) == 0 &&
                                  line.find("\\r\"") == std::string::npos &&
                                  line.find("\\x1a") == std::string::npos;
            if (line.rfind("dornrdy", 0) == 0 || fileText)
                continue;
            kept.push_back(line);
        }
        return kept;
    }

    // Loads and starts a long move in X the way the part program loader does, and marks the
    // program started as the run command does.
    void StartLongProgram() {
        MotionController& card = machine->Controller();
        card.SendAscii("LOF\r");
        ASSERT_TRUE(card.WaitAsciiReady());
        for (const char* line : {"O1234\n", "G01 X500 F60\n", "M30\n"})
            card.SendAscii(line);
        card.SendAscii(kEndOfText);
        card.SendAscii("RUF-1234\r");
        card.DrainReplies(40);
        card.CycleStart();
        clock->Advance(200);
        ASSERT_NE(card.ProgramStatus() & psw::Running, 0u) << "the program must be moving X";
        machine->State().programStarted = true;
        TraceSinceLast();
    }

    static std::vector<std::string> Expected(const std::string& name) {
        return test::Lines(test::Golden(name));
    }

    static std::string CardFile(int number) {
        std::vector<char> buffer(1 << 16);
        const int length = KelvSimControllerFile(number, buffer.data(), int(buffer.size()));
        return length < 0 ? std::string("<none>") : std::string(buffer.data());
    }

    test::RecordingOperator ui;
};

TEST_F(MachineOnCard, OpeningDownloadsTheThreeFilesInOrderWithTheirReadCommands) {
    TraceSinceLast();
    ASSERT_TRUE(machine->OnOpenDocument(test::GoldenPath("mill.mch")));
    EXPECT_EQ(TraceSinceLast(), Expected("open-mill.trace"));
    EXPECT_EQ(CardFile(100), test::ReadBytes(folder.File("mill.CFG")));
    EXPECT_EQ(CardFile(101), test::ReadBytes(folder.File("mill.WRK")));
    EXPECT_EQ(CardFile(102), test::ReadBytes(folder.File("mill.TOL")));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MachineOnCard, AStartedProgramIsAbortedBeforeTheDownloadSoTheCardReadsIt) {
    ASSERT_TRUE(machine->OnOpenDocument(test::GoldenPath("mill.mch")));
    StartLongProgram();
    ASSERT_TRUE(machine->DownloadConfiguration());
    EXPECT_EQ(TraceSinceLast(), Expected("abort-download.trace"));
    EXPECT_FALSE(machine->State().programStarted);
    EXPECT_EQ(machine->Controller().ProgramStatus() & psw::Running, 0u);
}

TEST_F(MachineOnCard, ClosingAbortsSwitchesTheOutputsAndClosesBothHandles) {
    ASSERT_TRUE(machine->OnOpenDocument(test::GoldenPath("mill.mch")));
    StartLongProgram();
    machine.reset();
    EXPECT_EQ(TraceSinceLast(), Expected("close.trace"));
    EXPECT_EQ(currentMachine, nullptr);
}

} // namespace
} // namespace morvik
