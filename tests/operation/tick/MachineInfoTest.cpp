// What the station says it knows, on the simulated card: the homed mark following a homing
// macro to its end, a part error's reason with no view open, a soft limit in Jog naming its
// axis, a running program's line, line count, time since Start and commanded spindle speed,
// and touch-off with the readouts in work and machine coordinates.
#include "operation/OperationFixture.h"

#include "machine/ControllerFiles.h"
#include "settings/UnitTables.h"

#include <cmath>

namespace morvik {
namespace {

using test::OperationOnCard;
using Calls = std::vector<std::string>;

class InfoOnCard : public OperationOnCard {
protected:
    const MachineInfoTexts& Info() const { return op->InfoTexts(); }

    // Ticks until pred holds, at most limit ticks; whether it held.
    template <class Pred> bool TickUntil(Pred pred, int limit) {
        for (int i = 0; i < limit && !pred(); ++i)
            Ticks(1);
        return pred();
    }

    // Homed, Run mode, the program sent and selected on the card.
    void LoadInRun(const std::vector<std::string>& lines) {
        HomeMachine();
        Ticks(1);
        op->SelectRun();
        ASSERT_EQ(op->LoadFromLines(lines, "part.prt"), LoadResult::Started);
        Ticks(1);
    }

    std::string AxisText(std::size_t axis, double value) const {
        return FormatReadout(machine->Axes()[axis].DisplayFormat(), value);
    }

    // X jogged in the positive direction for about the given number of ticks, then stopped.
    void JogX(int ticks) {
        op->ActionPressed(PanelAction::JogXPlus);
        Ticks(ticks);
        op->ActionReleased(PanelAction::JogXPlus, false);
        Ticks(15);
    }
};

// ---- Homed ----

TEST_F(InfoOnCard, TheHomedMarkFollowsTheHomingMacroToItsEnd) {
    // Machine zero two inches out on X, so the macro has a way to go.
    machine->AxisX().MachineOffset().Set(unit::Inch, 2.0);
    machine->Homing().homingMacro.Set(5);
    ASSERT_TRUE(machine->DownloadConfiguration());
    op->SelectHome();
    Ticks(1);
    EXPECT_EQ(Info().homed, HomedLamp::NotHomed);
    EXPECT_EQ(Info().homedText, "Not homed");

    op->Start();
    Ticks(1);
    EXPECT_EQ(Info().homed, HomedLamp::Homing);
    EXPECT_TRUE(op->Snapshot().homing);
    const std::string homed = "append HomingView: \r" + Text(msg::MachineHomed) + "\r";
    EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), homed), 0);

    ASSERT_TRUE(TickUntil([&] { return Info().homed == HomedLamp::Homed; }, 100));
    EXPECT_NEAR(*op->Snapshot().Axis(SnapshotAxis::X).optimal, 2.0, 1e-9) << "at machine zero";
    Ticks(3);
    // Said once, as the last line of the homing view.
    EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), homed), 1);
    EXPECT_EQ(ui.calls.back(), homed);
}

// Homing that did not run to its end leaves the machine not homed, whether Home mode was left
// or Stop pressed while the macro moved; the macro does not run on unwatched.
TEST_F(InfoOnCard, HomingLeftOrStoppedMidMacroLeavesTheMachineNotHomed) {
    machine->AxisX().MachineOffset().Set(unit::Inch, 2.0);
    machine->Homing().homingMacro.Set(5);
    ASSERT_TRUE(machine->DownloadConfiguration());
    for (const bool leave : {true, false}) {
        SCOPED_TRACE(leave ? "Home mode left" : "Stop pressed");
        op->SelectHome();
        op->Start();
        Ticks(1);
        ASSERT_EQ(Info().homed, HomedLamp::Homing);
        if (leave)
            op->SelectJog();
        else
            op->StopAll();
        Ticks(30);
        EXPECT_EQ(Info().homed, HomedLamp::NotHomed);
        EXPECT_FALSE(machine->State().homed);
        EXPECT_FALSE(op->Snapshot().homing);
        const double x = *op->Snapshot().Axis(SnapshotAxis::X).optimal;
        EXPECT_LT(x, 1.9) << "stopped short of machine zero";
        ui.messages.clear();
        op->SelectRun();
        EXPECT_EQ(machine->State().Mode(), leave ? MachineMode::Jog : MachineMode::Home);
        EXPECT_EQ(ui.messages, std::vector<int>{msg::MustHomeBeforeRun});
    }
    // Run to its end, the macro homes the machine.
    op->SelectHome();
    op->Start();
    ASSERT_TRUE(TickUntil([&] { return Info().homed == HomedLamp::Homed; }, 200));
    EXPECT_TRUE(machine->State().homed);
}

// ---- Message line ----

TEST_F(InfoOnCard, APartErrorShowsItsReasonWithNoViewOpen) {
    // Incremental, so that a second run moves as long as the first.
    LoadInRun({"O0100", "G20 G91 G01 X1 F60", "G01 X200", "M30"});
    ASSERT_FALSE(machine->State().views.Has(ViewKind::ProgramView));
    op->Start();
    ASSERT_TRUE(TickUntil([&] { return !Info().message.empty(); }, 50));
    Ticks(1);
    while (op->IdleDrain()) {
    }
    const std::string& message = Info().message;
    EXPECT_TRUE(message.starts_with(Text(msg::ProgramStopped) + " part error")) << message;
    // The card's own words for it, naming the line.
    EXPECT_NE(message.find("line 3"), std::string::npos) << message;
    // The next run starts with a clear line.
    op->Restart();
    op->Start();
    Ticks(2);
    EXPECT_EQ(Info().message, "");
}

// The card's reason reaches the message line whatever view is open: with View > Program the
// echo of the failing block comes before the reason and is not taken for it.
TEST_F(InfoOnCard, APartErrorShowsTheCardsReasonWhateverViewIsOpen) {
    HomeMachine();
    Ticks(1);
    op->SelectRun();
    struct Case {
        const char* view;
        void (MachineOperation::*open)();
    };
    const Case cases[] = {{"no view", nullptr},
                          {"View > Program", &MachineOperation::ViewProgram},
                          {"View > Messages", &MachineOperation::ViewMessages}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.view);
        if (c.open != nullptr)
            (op.get()->*c.open)();
        ASSERT_EQ(
            op->LoadFromLines({"O0100", "G20 G91 G01 X0.1 F60", "#1 = 1.0", "M30"}, "part.prt"),
            LoadResult::Started);
        Ticks(1);
        op->Start();
        const std::string stopped = Text(msg::ProgramStopped);
        ASSERT_TRUE(TickUntil([&] { return Info().message.starts_with(stopped); }, 50));
        Ticks(1);
        while (op->IdleDrain()) {
        }
        const std::string& message = Info().message;
        EXPECT_TRUE(message.starts_with(Text(msg::ProgramStopped) + " part error")) << message;
        EXPECT_NE(message.find("line 3"), std::string::npos) << message;
        EXPECT_EQ(message.find("- #1"), std::string::npos) << "not the echoed block: " << message;
    }
}

TEST_F(InfoOnCard, ASoftLimitReachedInJogNamesTheAxisUntilItIsLeft) {
    machine->AxisX().UpperLimit().Set(unit::Inch, 0.5);
    ASSERT_TRUE(machine->DownloadConfiguration());
    HomeMachine();
    op->SelectJog();
    op->ActionPressed(PanelAction::JogXPlus);
    ASSERT_TRUE(TickUntil([&] { return !Info().message.empty(); }, 100));
    op->ActionReleased(PanelAction::JogXPlus, false);
    EXPECT_EQ(Info().message, Text(msg::SoftLimitReached) + " X");
    EXPECT_NEAR(*op->Snapshot().Axis(SnapshotAxis::X).optimal, 0.5, 1e-3);

    Ticks(5);
    op->ActionPressed(PanelAction::JogXMinus);
    Ticks(3);
    op->ActionReleased(PanelAction::JogXMinus, false);
    Ticks(10);
    EXPECT_EQ(Info().message, "") << "the axis moved away from its limit";
}

// An emergency stop or a drive fault stops the machine in every mode, so it reaches the message
// line and the observers (telemetry among them) in every mode, once as it comes on; outside a
// program it says "Machine stopped:" and goes with the input. The machine's safety inputs are
// read from the I/O word every tick reads anyway.
TEST_F(InfoOnCard, AnEmergencyStopOrDriveFaultIsToldInEveryMode) {
    struct SafetyEvents : MachineObserver {
        void OnSafetyStop(std::uint32_t active, std::uint32_t rising,
                          const std::string& reason) override {
            events.push_back(reason + " " + std::to_string(active) + "/" + std::to_string(rising));
        }
        std::vector<std::string> events;
    } observer;
    op->Events().Attach(observer);
    ExternalControlSettings& channels = machine->ExternalControls();
    channels.estopInputChannel.Set(5);
    channels.extEstopInputChannel.Set(7);
    channels.driveFaultInputChannel.Set(6);
    ASSERT_TRUE(machine->DownloadConfiguration());
    struct Case {
        MachineMode mode;
        int channel;
        std::uint32_t bit;
        std::string message;
    };
    const std::string estop = "emergency stop", drive = "drive fault";
    const Case cases[] = {
        {MachineMode::None, 5, psw::EmergencyStop, Text(msg::MachineStopped) + " " + estop},
        {MachineMode::Home, 6, psw::DriveFault, Text(msg::MachineStopped) + " " + drive},
        {MachineMode::Jog, 7, psw::ExternalEmergencyStop,
         Text(msg::MachineStopped) + " external emergency stop"},
        {MachineMode::Mdi, 5, psw::EmergencyStop, Text(msg::MachineStopped) + " " + estop},
        // The program's status word says it too: its part error speaks for the program.
        {MachineMode::Run, 6, psw::DriveFault, Text(msg::ProgramStopped) + " " + drive},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        switch (c.mode) {
        case MachineMode::None:
            break;
        case MachineMode::Home:
            HomeMachine();
            break;
        case MachineMode::Jog:
            op->SelectJog();
            break;
        case MachineMode::Mdi:
            op->SelectMdi();
            break;
        case MachineMode::Run:
            op->SelectRun();
            break;
        }
        ASSERT_EQ(machine->State().Mode(), c.mode);
        Ticks(2);
        observer.events.clear();
        const std::uint32_t input = 1u << (c.channel - 1);

        KelvSimSetInputs(input, input);
        Ticks(1);
        EXPECT_EQ(Info().message, c.message);
        EXPECT_EQ(op->Snapshot().safetyBits, c.bit);
        const std::string reason = c.message.substr(c.message.find(':') + 2);
        const std::string bits = std::to_string(c.bit);
        EXPECT_EQ(observer.events, std::vector<std::string>{reason + " " + bits + "/" + bits});
        Ticks(3);
        EXPECT_EQ(observer.events.size(), 1u) << "told once while it stands";

        KelvSimSetInputs(input, 0);
        Ticks(1);
        EXPECT_EQ(op->Snapshot().safetyBits, 0u);
        if (c.mode != MachineMode::Run) {
            EXPECT_EQ(Info().message, "") << "it goes with the input";
        }
    }
    op->Events().Detach(observer);
}

// ---- Progress and spindle ----

TEST_F(InfoOnCard, ProgressShowsTheRunningLineTheCountAndTheTimeSinceStart) {
    const std::vector<std::string> lines = {"O0100",  "G20 G90 G54", "S1200 M3", "G01 X1 F60",
                                            "G01 X2", "G01 X3",      "M5",       "M30"};
    LoadInRun(lines);
    EXPECT_EQ(Info().progress, "O100: 8 lines");
    EXPECT_EQ(Info().spindle.rfind("S 0 off", 0), 0u) << Info().spindle;

    op->Start();
    Ticks(1);
    const std::uint64_t started = clock->NowMs();
    ASSERT_TRUE(TickUntil([&] { return op->Snapshot().lastLine == 5; }, 100));
    ASSERT_TRUE(op->Snapshot().runningLine);
    const std::uint64_t seconds = (clock->NowMs() - started) / 1000;
    EXPECT_EQ(Info().progress,
              "Line 5 of 8  " + MachineInfo::ElapsedText(clock->NowMs() - started));
    EXPECT_GE(seconds, 1u) << "X1 at 60 in/min took about a second";
    // The S word in force, beside the speed the card measures.
    EXPECT_EQ(Info().spindle.rfind("S 1200 CW  actual ", 0), 0u) << Info().spindle;

    ASSERT_TRUE(
        TickUntil([&] { return (*op->Snapshot().programStatus & psw::Finished) != 0; }, 100));
    const std::string done = Info().progress;
    EXPECT_TRUE(done.starts_with("Line ")) << done;
    Ticks(30);
    EXPECT_EQ(Info().progress, done) << "the time stops with the run";
    EXPECT_EQ(Info().spindle.rfind("S 1200 off", 0), 0u) << Info().spindle;
}

// What the strip shows belongs to what is loaded now: a run the operator stopped, or left in
// Run mode, and another program loaded go back to the loaded program's number and count; a
// load takes away the part error of the program before. A failed run keeps its line.
TEST_F(InfoOnCard, TheStripForgetsARunThatIsOverForWhatIsLoadedNow) {
    const std::vector<std::string> lines = {"O0100", "G20 G91 G01 X1 F60", "G01 X1", "G01 X1",
                                            "M30"};
    LoadInRun(lines);
    const std::string loaded = "O100: 5 lines";
    const auto runToLine3 = [&] {
        op->Start();
        return TickUntil([&] { return Info().progress.starts_with("Line 3 of 5"); }, 100);
    };
    ASSERT_TRUE(runToLine3());
    op->StopAll();
    Ticks(2);
    EXPECT_EQ(Info().progress, loaded) << "stopped by the operator";

    op->Restart(); // the stopped program selected again
    ASSERT_TRUE(runToLine3());
    op->SelectJog();
    Ticks(2);
    EXPECT_EQ(Info().progress, loaded) << "Run mode left";

    op->SelectRun();
    ASSERT_EQ(op->LoadFromLines({"O0101", "G20 G91 G01 X1 F60", "G01 X200", "M30"}, "bad.prt"),
              LoadResult::Started);
    Ticks(1);
    op->Start();
    const std::string stopped = Text(msg::ProgramStopped);
    ASSERT_TRUE(TickUntil([&] { return Info().message.starts_with(stopped); }, 100));
    Ticks(1);
    EXPECT_TRUE(Info().progress.starts_with("Line ")) << "a failed run keeps its line";

    ASSERT_EQ(op->LoadFromLines(lines, "part.prt"), LoadResult::Started);
    Ticks(1);
    EXPECT_EQ(Info().message, "") << "the part error was the other program's";
    EXPECT_EQ(Info().progress, loaded);
}

// The strip names the mode, and the options that make a run do less than its text says while
// they are on.
TEST_F(InfoOnCard, TheModeLineNamesTheModeAndDryRunAndBlockSkip) {
    HomeMachine();
    Ticks(1);
    EXPECT_EQ(Info().mode, "Home mode");
    op->SelectRun();
    Ticks(1);
    EXPECT_EQ(Info().mode, "Run mode");
    op->ToggleDryRun();
    op->ToggleBlockSkip();
    Ticks(1);
    EXPECT_EQ(Info().mode, "Run mode  Dry run  Block skip");
    op->ToggleDryRun();
    Ticks(1);
    EXPECT_EQ(Info().mode, "Run mode  Block skip");
    op->SelectJog();
    Ticks(1);
    EXPECT_TRUE(Info().mode.starts_with("Jog mode")) << Info().mode;
}

TEST_F(InfoOnCard, ElapsedTimeReadsHoursMinutesSeconds) {
    EXPECT_EQ(MachineInfo::ElapsedText(0), "0:00:00");
    EXPECT_EQ(MachineInfo::ElapsedText(59'999), "0:00:59");
    EXPECT_EQ(MachineInfo::ElapsedText(3'723'000), "1:02:03");
}

// ---- Work coordinates and touch-off ----

TEST_F(InfoOnCard, TouchOffStoresTheWorkZeroDownloadsItAndTheReadoutShowsZero) {
    HomeMachine();
    op->SelectJog();
    JogX(10);
    Ticks(1);
    const double x = *op->Snapshot().Axis(SnapshotAxis::X).optimal;
    ASSERT_GT(x, 0.05);
    EXPECT_EQ(test::PanelReadouts(*op)[0], AxisText(0, x));
    machine->SetModifiedFlag(false);
    CardCommands();

    ASSERT_TRUE(op->SetWorkZero(0));
    EXPECT_TRUE(machine->IsModified());
    EXPECT_NEAR(machine->WorkCoords()[0].X().ValueIn(unit::Inch), x, 1e-12);
    // The .WRK was written and the card told to read it.
    const Calls sent = CardCommands();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "RWF101"), sent.end());
    const std::string wrk =
        test::ReadBytes(ControllerFileName(machine->GetTitle(), ControllerFile::WorkCoordinates));
    EXPECT_NE(wrk.find("X=" + FormatReadout("%.9g", x)), std::string::npos) << wrk;

    // Machine coordinates until switched; then work coordinates, X at zero.
    Ticks(1);
    EXPECT_EQ(test::PanelReadouts(*op)[0], AxisText(0, x));
    op->ToggleWorkReadouts();
    Ticks(1);
    EXPECT_EQ(test::PanelReadouts(*op)[0], AxisText(0, 0.0));
    EXPECT_EQ(test::PanelReadouts(*op)[1], AxisText(1, 0.0));
    EXPECT_EQ(op->InfoTexts().coordinates, "Work G54");
    JogX(5);
    const double moved = *op->Snapshot().Axis(SnapshotAxis::X).optimal;
    EXPECT_EQ(test::PanelReadouts(*op)[0], AxisText(0, moved - x));
    op->ToggleWorkReadouts();
    Ticks(1);
    EXPECT_EQ(test::PanelReadouts(*op)[0], AxisText(0, moved));
    EXPECT_EQ(op->InfoTexts().coordinates, "Machine");
}

TEST_F(InfoOnCard, WorkCoordinatesSubtractProgramOffsetWorkOffsetAndToolLength) {
    machine->AxisZ().ProgramOffset().Set(unit::Inch, -1.0);
    machine->WorkCoords()[1].Z().Set(unit::Inch, -2.0); // G55
    machine->Tools()[2].Z().Set(unit::Inch, 0.5);       // T3
    ASSERT_TRUE(machine->DownloadAll());
    // G55 and the length of tool 3 in force, Z ends at work 0.25. No M30: the end of a program
    // would set G54 again (the tool length stays).
    LoadInRun({"O0100", "G20 G90 G55", "T3 M6", "G43 G00 Z0.25"});
    op->ToggleWorkReadouts();
    op->Start();
    ASSERT_TRUE(
        TickUntil([&] { return (*op->Snapshot().programStatus & psw::Finished) != 0; }, 100));
    Ticks(1);
    const MachineSnapshot& now = op->Snapshot();
    EXPECT_EQ(now.workSystem, 1);
    EXPECT_DOUBLE_EQ(now.toolLength, 0.5);
    const double z = *now.Axis(SnapshotAxis::Z).optimal;
    EXPECT_NEAR(z, 0.25 - 1.0 - 2.0 + 0.5, 1e-3) << "the card's machine position";
    EXPECT_EQ(test::PanelReadouts(*op)[2], AxisText(2, z - (-1.0 - 2.0 + 0.5)));
    EXPECT_EQ(op->InfoTexts().coordinates, "Work G55");
}

TEST_F(InfoOnCard, TouchOffIsRefusedOutsideJogAndWhileTheStationIsBusy) {
    HomeMachine();
    Forget();
    EXPECT_FALSE(op->IsActionEnabled(PanelAction::WorkZeroX));
    EXPECT_FALSE(op->SetWorkZero(0)) << "Home mode";
    op->SelectJog();
    Forget();
    {
        CardOperation busy(machine->Gate());
        EXPECT_FALSE(op->IsActionEnabled(PanelAction::WorkZeroX));
        EXPECT_FALSE(op->SetWorkZero(0));
    }
    EXPECT_FALSE(op->SetWorkZero(3)) << "no such axis";
    EXPECT_EQ(TraceSinceLast(), Calls{});
    EXPECT_FALSE(machine->IsModified());
    EXPECT_TRUE(op->IsActionEnabled(PanelAction::WorkZeroX));
}

} // namespace
} // namespace morvik
