// Part programs and external controls against the simulated card, reached the way the station
// reaches it (the loader finds libkelvapi32.so beside the executable). The card's time follows
// the station's sleeps and the test's ticks (SimClock), so a program runs to its end without
// any real waiting. The load is compared with an expected card trace.
#include "cardsim/KelvSim.h"
#include "controller/ControllerCodes.h"
#include "controller/StringTable.h"
#include "machine/Machine.h"
#include "operation/CycleCommands.h"
#include "operation/ExternalControls.h"
#include "operation/PartProgram.h"
#include "support/RecordingOperator.h"
#include "support/SimCardFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace morvik {
namespace {

constexpr int kStartButton = 1;
constexpr int kBlockSkipSwitch = 8;
constexpr int kStartLamp = 4;
constexpr int kBlockLamp = 5;
constexpr int kHoldLamp = 6;

constexpr std::uint32_t Bit(int channel) {
    return 1u << (channel - 1);
}
constexpr std::uint32_t kLamps = Bit(kStartLamp) | Bit(kBlockLamp) | Bit(kHoldLamp);

std::string TestFile(const std::string& name) {
    return std::string(MORVIK_TEST_DATA_DIR) + "/" + name;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Run-mode cycle commands as MachineOperation dispatches them.
class RunCycle : public ICycleCommands {
public:
    explicit RunCycle(PartProgram& program) : program_(program) {}
    void Start() override { program_.RunStart(); }
    void Block() override { program_.RunBlock(); }
    void FeedHold() override { program_.RunFeedHold(); }

private:
    PartProgram& program_;
};

class ProgramOnCard : public test::SimCardFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ConnectMachine(ui));
        ASSERT_TRUE(machine->OnOpenDocument(TestFile("machine/golden/mill.mch")));
        ExternalControlSettings& channels = machine->ExternalControls();
        channels.startButtonChannel.Set(kStartButton);
        channels.startIndicatorChannel.Set(kStartLamp);
        channels.blockIndicatorChannel.Set(kBlockLamp);
        channels.fholdIndicatorChannel.Set(kHoldLamp);
        channels.blockSkipSwitchChannel.Set(kBlockSkipSwitch);
        SetMachineMode(*machine, MachineEvents::None(), MachineMode::Run);
        program = std::make_unique<PartProgram>(*machine);
        external = std::make_unique<ExternalControls>(*machine);
        cycle = std::make_unique<RunCycle>(*program);
        ui.messages.clear();
    }
    void TearDown() override {
        cycle.reset();
        external.reset();
        program.reset();
        SimCardFixture::TearDown();
    }

    // The status cycle's part of a tick: inputs and program status read, external controls
    // updated; then 100 ms pass.
    void Tick() {
        MotionController& card = machine->Controller();
        snapshot.ioWord = card.ReadDigitalIO();
        snapshot.programStatus = card.ProgramStatus();
        external->Update(snapshot, *cycle);
        clock->Advance(100);
    }

    // Ticks until the status word shows one of bits, at most limit ticks; the word seen.
    std::uint32_t TickUntil(std::uint32_t bits, int limit) {
        for (int i = 0; i < limit && (snapshot.programStatus.value_or(0) & bits) == 0; ++i)
            Tick();
        return snapshot.programStatus.value_or(0);
    }

    std::string WriteProgram(const std::string& text) {
        const std::string path = folder.File("part.prt");
        test::WriteBytes(path, text);
        ui.fileAnswers.push_back(path);
        return path;
    }

    test::RecordingOperator ui;
    std::unique_ptr<PartProgram> program;
    std::unique_ptr<ExternalControls> external;
    std::unique_ptr<RunCycle> cycle;
    MachineSnapshot snapshot; // what the status cycle read of the tick
};

TEST_F(ProgramOnCard, TheLoadReachesTheCardAsTheExpectedTrace) {
    trace = folder.File("card.trace");
    KelvSimSetTraceFile(trace.c_str());
    // CR LF line ends, a line of 127 characters (the longest the card takes) and a last line
    // without a line end.
    WriteProgram("%\r\nO0012 (BRACKET)\r\nG90 G01 X0.1 F60\r\nN40 (" + std::string(122, 'X') +
                 "\r\nM30");

    ASSERT_EQ(program->LoadFromFile(), LoadResult::Started);
    KelvSimSetTraceFile(nullptr);

    // Ready polls depend on the card's timing, not on the station's protocol.
    std::vector<std::string> calls;
    for (const std::string& line : Lines(test::ReadBytes(trace)))
        if (!line.starts_with("dornrdy"))
            calls.push_back(line);
    EXPECT_EQ(calls, Lines(test::ReadBytes(TestFile("operation/programs/golden/load.trace"))));
    EXPECT_NE(machine->Controller().ProgramStatus() & psw::Ready, 0u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ProgramOnCard, AProgramRunsToFinishedWithTheLampsFollowingTheStatusWord) {
    WriteProgram("O1234\nG90 G01 X0.2 F60\nM30\n");
    ASSERT_EQ(program->LoadFromFile(), LoadResult::Started);

    Tick();
    EXPECT_NE(snapshot.programStatus.value_or(0) & psw::Ready, 0u);
    EXPECT_EQ(KelvSimGetIoWord() & kLamps, kLamps);

    // The external Start button, held for many ticks, starts the program once.
    KelvSimSetInputs(Bit(kStartButton), Bit(kStartButton));
    Tick();
    Tick();
    EXPECT_NE(machine->Controller().ProgramStatus() & psw::Running, 0u);
    KelvSimSetInputs(Bit(kStartButton), 0);
    const std::uint32_t running = TickUntil(psw::Running, 5);
    EXPECT_NE(running & psw::Running, 0u);
    EXPECT_EQ(KelvSimGetIoWord() & kLamps, kLamps);

    const std::uint32_t finished = TickUntil(psw::Finished, 600);
    ASSERT_NE(finished & psw::Finished, 0u) << "status word " << finished;
    Tick();
    EXPECT_EQ(KelvSimGetIoWord() & kLamps, 0u);
    EXPECT_TRUE(ui.messages.empty());

    // A finished program must be restarted: Start is refused, Restart makes it ready again.
    KelvSimSetInputs(Bit(kStartButton), Bit(kStartButton));
    Tick();
    EXPECT_EQ(ui.messages, std::vector<int>{msg::MustRestart});
    KelvSimSetInputs(Bit(kStartButton), 0);
    ASSERT_EQ(program->Restart(), LoadResult::Started);
    Tick();
    EXPECT_NE(snapshot.programStatus.value_or(0) & psw::Ready, 0u);
    EXPECT_EQ(KelvSimGetIoWord() & kLamps, kLamps);
}

TEST_F(ProgramOnCard, TheBlockSkipSwitchSwitchesTheCardOnceAndFollowsTheSwitch) {
    KelvSimSetInputs(Bit(kBlockSkipSwitch), Bit(kBlockSkipSwitch));
    trace = folder.File("card.trace");
    KelvSimSetTraceFile(trace.c_str());
    for (int i = 0; i < 5; ++i)
        Tick();
    KelvSimSetTraceFile(nullptr);

    int sent = 0;
    for (const std::string& line : Lines(test::ReadBytes(trace)))
        sent += line.find(", 424, ") != std::string::npos;
    EXPECT_EQ(sent, 1);
    EXPECT_TRUE(machine->State().blockSkipOn);
    EXPECT_NE(machine->Controller().ProgramStatus() & psw::BlockSkip, 0u);

    KelvSimSetInputs(Bit(kBlockSkipSwitch), 0);
    Tick();
    EXPECT_FALSE(machine->State().blockSkipOn);
    EXPECT_EQ(machine->Controller().ProgramStatus() & psw::BlockSkip, 0u);
}

} // namespace
} // namespace morvik
