// The status cycle: the order of one tick against the simulated card (golden traces), the
// indicators and readout texts for answers set on the recording fake, the routing and
// draining of card text, the external buttons fired through the tick, and a program run to
// its end with lamps and indicators following the card.
#include "operation/OperationFixture.h"

#include <clocale>
#include <filesystem>
#include <map>

namespace morvik {
namespace {

using test::OperationOnCard;
using test::OperationOnFake;
using Calls = std::vector<std::string>;
using Lamps = std::array<bool, kIndicatorCount>;

constexpr std::uint32_t Bit(int n) {
    return 1u << n;
}

// ---- One tick in each mode, call by call ----

TEST_F(OperationOnCard, OneTickReadsTheCardInItsOrderInEveryMode) {
    struct Case {
        const char* golden;
        void (*enter)(MachineOperation&);
    };
    const Case cases[] = {
        {"tick-none.trace", [](MachineOperation&) {}},
        {"tick-run.trace", [](MachineOperation& op) { op.SelectRun(); }},
        {"tick-mdi.trace", [](MachineOperation& op) { op.SelectMdi(); }},
        {"tick-home.trace", [](MachineOperation&) {}},
        {"tick-jog.trace",
         [](MachineOperation& op) {
             op.SelectJog();
             op.ActionPressed(PanelAction::JogXPlus);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        TearDown();
        SetUp();
        if (std::string(c.golden) != "tick-none.trace")
            HomeMachine();
        c.enter(*op);
        Forget();

        op->StatusTick();

        const std::string path =
            std::string(MORVIK_TEST_DATA_DIR) + "/operation/tick/golden/" + c.golden;
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        EXPECT_EQ(TraceSinceLast(), test::Lines(test::ReadBytes(path)));
    }
}

TEST_F(OperationOnCard, NothingHappensOnceTheMachineIsClosed) {
    machine->Controller().SendAscii("ZZ\r"); // text waiting on the card
    machine->Shutdown();
    Forget();
    op->StatusTick();
    EXPECT_FALSE(op->IdleDrain());
    op->SelectHome();
    op->Start();
    op->ActionPressed(PanelAction::JogXPlus);
    EXPECT_EQ(TraceSinceLast(), Calls{});
    EXPECT_EQ(ui.calls, Calls{});
    EXPECT_EQ(op->Inputs().buttonBits, 0);
    EXPECT_FALSE(op->IsActionEnabled(PanelAction::Start));
}

// ---- Indicators ----

class IndicatorsOnFake : public OperationOnFake {
protected:
    void SetUp() override {
        OperationOnFake::SetUp();
        ASSERT_TRUE(machine->OnOpenDocument(test::OperationData("xyz.mch")));
        fake.ClearCalls();
    }
};

TEST_F(IndicatorsOnFake, TheLampsFollowTheStatusWordInRunAndTheAxisErrorsInJogAndHome) {
    constexpr std::int32_t kAxisError = 1 << 7; // the fake decodes condition n as bit n
    struct Case {
        const char* name;
        MachineMode mode;
        std::uint32_t status;
        std::map<std::int16_t, std::int32_t> axisStatus;
        std::int32_t cutterAxis;
        Lamps lamps; // Ready, Running, Paused, F. Hold, Finished, Error
    };
    const Case cases[] = {
        {"ready", MachineMode::Run, Bit(0), {}, 0, {1, 0, 0, 0, 0, 0}},
        {"running", MachineMode::Run, Bit(1), {}, 0, {0, 1, 0, 0, 0, 0}},
        {"finished", MachineMode::Run, Bit(2), {}, 0, {0, 0, 0, 0, 1, 0}},
        {"paused", MachineMode::Run, Bit(3), {}, 0, {0, 0, 1, 0, 0, 0}},
        {"feed hold", MachineMode::Run, Bit(4) | Bit(1), {}, 0, {0, 1, 0, 1, 0, 0}},
        {"options and modes light nothing",
         MachineMode::Run,
         Bit(5) | Bit(6) | Bit(8) | Bit(9),
         {},
         0,
         {0, 0, 0, 0, 0, 0}},
        {"part error", MachineMode::Run, Bit(17), {}, 0, {0, 0, 0, 0, 0, 1}},
        {"e-stop", MachineMode::Run, Bit(18), {}, 0, {0, 0, 0, 0, 0, 1}},
        {"ext. e-stop", MachineMode::Run, Bit(19), {}, 0, {0, 0, 0, 0, 0, 1}},
        {"drive fault", MachineMode::Run, Bit(20), {}, 0, {0, 0, 0, 0, 0, 1}},
        {"motor error", MachineMode::Run, Bit(21) | Bit(0), {}, 0, {1, 0, 0, 0, 0, 1}},
        {"bit 22 is no error", MachineMode::Run, Bit(22), {}, 0, {0, 0, 0, 0, 0, 0}},
        {"axis error in Jog", MachineMode::Jog, Bit(0), {{3, kAxisError}}, 0, {0, 0, 0, 0, 0, 1}},
        {"axis error in Home", MachineMode::Home, 0, {{1, kAxisError}}, 0, {0, 0, 0, 0, 0, 1}},
        {"other conditions in Home",
         MachineMode::Home,
         0,
         {{1, 0x7f}, {2, 0x100}},
         0,
         {0, 0, 0, 0, 0, 0}},
        {"cutter error in Jog", MachineMode::Jog, 0, {{5, kAxisError}}, 5, {0, 0, 0, 0, 0, 1}},
        {"axis off the card in Home",
         MachineMode::Home,
         0,
         {{6, kAxisError}},
         0,
         {0, 0, 0, 0, 0, 0}},
        {"MDI", MachineMode::Mdi, Bit(0) | Bit(17), {{1, kAxisError}}, 0, {0, 0, 0, 0, 0, 0}},
        {"None", MachineMode::None, Bit(0) | Bit(17), {{1, kAxisError}}, 0, {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetMachineMode(*machine, MachineEvents::None(), c.mode);
        machine->GetCutter().SetControllerAxis(c.cutterAxis);
        fake.replies[code::ProgramStatus] = c.status;
        fake.statuses = c.axisStatus;
        fake.ClearCalls();

        op->StatusTick();

        EXPECT_EQ(test::PanelLamps(*op), c.lamps);
        const bool run = c.mode == MachineMode::Run;
        EXPECT_EQ(op->Snapshot().programStatus, run ? std::optional(c.status) : std::nullopt)
            << "in the snapshot from Run mode only";
        const auto commands = fake.CallsOf("dorncmdex");
        const bool statusRead =
            std::any_of(commands.begin(), commands.end(), [](const std::string& call) {
                return call.find(", 460, ") != std::string::npos;
            });
        EXPECT_EQ(statusRead, run) << "the status word is read in Run only";
    }
}

// ---- Readouts ----

TEST_F(IndicatorsOnFake, ReadoutsShowTheChosenPositionsWithEachComponentsFormat) {
    struct Case {
        const char* name;
        const char* file;
        int readout; // 1 current, 2 optimal, other: 0
        std::int32_t spindleAxis;
        std::array<std::string, kReadoutCount> texts;
    };
    const Case cases[] = {
        {"optimal",
         "xyz.mch",
         2,
         4,
         {"        +1.500", "        -2.250", "        +2.250", "       +1234.5"}},
        {"current",
         "xyz.mch",
         1,
         4,
         {"        +7.125", "        -0.250", "       +12.000", "       +1234.5"}},
        {"neither",
         "xyz.mch",
         0,
         4,
         {"        +0.000", "        +0.000", "        +0.000", "       +1234.5"}},
        {"no spindle", "xyz.mch", 2, 0, {"        +1.500", "        -2.250", "        +2.250", ""}},
        // The mill: metric, two decimals for X and Y, Z off the card, the cutter on axis 3.
        {"cutter angle",
         "../../machine/golden/mill.mch",
         2,
         4,
         {"         +1.50", "         -2.25", "        +90.00", "       +1234.5"}},
        {"cutter angle below 0",
         "../../machine/golden/mill.mch",
         1,
         4,
         {"         +7.12", "         -0.25", "       +270.00", "       +1234.5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(machine->OnOpenDocument(test::OperationData(c.file)));
        machine->GetSpindle().SetControllerAxis(c.spindleAxis);
        machine->State().positionReadout = static_cast<PositionReadout>(c.readout);
        fake.optimals = {{1, 1.5}, {2, -2.25}, {3, 2.25}};
        fake.positions = {{1, 7.125}, {2, -0.25}, {3, c.file[0] == 'x' ? 12.0 : -0.25}};
        fake.replies[code::SpindleSpeed] = 1234.5;

        op->StatusTick();

        EXPECT_EQ(test::PanelReadouts(*op), c.texts);
    }
}

TEST_F(IndicatorsOnFake, AComponentOffTheCardShowsAnEmptyReadoutAndIsNotRead) {
    ASSERT_TRUE(machine->OnOpenDocument(test::OperationData("xyz.mch")));
    machine->AxisY().SetControllerAxis(0);
    machine->AxisZ().SetControllerAxis(0);
    machine->GetSpindle().SetControllerAxis(0);
    fake.ClearCalls();
    op->StatusTick();
    EXPECT_EQ(test::PanelReadouts(*op),
              (std::array<std::string, kReadoutCount>{"        +0.000", "", "", ""}));
    EXPECT_EQ(fake.CallsOf("KelvGetOptimalEx"), Calls{"KelvGetOptimalEx(B, 1)"});
    EXPECT_EQ(fake.CountOf("dorncmdex"), 0) << "no spindle speed query";
}

TEST(Readouts, TheCutterAngleIsTakenWithinOneRevolution) {
    const std::pair<double, double> cases[] = {
        {2.25, 90.0},  {-0.25, 270.0}, {3.0, 0.0},          {0.5, 180.0},
        {-2.75, 90.0}, {-1e-18, 0.0},  {1e9 + 0.75, 270.0},
    };
    for (const auto& [revolutions, degrees] : cases) {
        SCOPED_TRACE(revolutions);
        const double angle = CutterAngleDegrees(revolutions);
        EXPECT_NEAR(angle, degrees, 1e-6);
        EXPECT_GE(angle, 0.0);
        EXPECT_LT(angle, 360.0);
    }
}

TEST(Readouts, FormattingIsTheCLocalesWhateverTheDesktopAndNeverLongerThan40) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const bool german = std::setlocale(LC_ALL, "de_DE.utf8") != nullptr;
    struct Case {
        const char* format;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {"%#+ 14.4f", 1.5, "       +1.5000"},
        {"%#+ 14.1f", -1234.56, "       -1234.6"},
        {"%#+ 14.0f", 2.0, "           +2."},
        {"%#+ 14f", 0.25, "     +0.250000"},
        {"%60.3f", 1.0, "                                        "}, // cut at 40
        {"%s", 1.0, ""},                                             // not a format for a number
        {"%f %f", 1.0, ""},
        {"%d", 1.0, ""},
        {"100%% %5.1f", 2.5, "100%   2.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(FormatReadout(c.format, c.value), c.text);
    }
    std::setlocale(LC_ALL, saved.c_str());
    if (!german)
        GTEST_SKIP() << "no German locale here: the C-locale cases ran only";
}

// ---- Card text ----

TEST_F(OperationOnCard, CardTextGoesToTheViewOfTheModeOnlyWhileItIsOpen) {
    struct Case {
        MachineMode mode;
        bool programView;
        bool homingView;
        const char* target; // nullptr: dropped
    };
    const Case cases[] = {
        {MachineMode::Run, true, true, "ProgramView"}, {MachineMode::Run, false, true, nullptr},
        {MachineMode::Home, true, true, "HomingView"}, {MachineMode::Home, true, false, nullptr},
        {MachineMode::Jog, true, true, nullptr},       {MachineMode::Mdi, true, true, nullptr},
        {MachineMode::None, true, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(c.mode) << " program "
                                        << c.programView << " homing " << c.homingView);
        MachineState& state = machine->State();
        SetMachineMode(*machine, MachineEvents::None(), c.mode);
        c.programView ? state.views.Remember(ViewKind::ProgramView)
                      : state.views.Forget(ViewKind::ProgramView);
        c.homingView ? state.views.Remember(ViewKind::HomingView)
                     : state.views.Forget(ViewKind::HomingView);
        machine->Controller().SendAscii("ZZ\r");
        Forget();

        Ticks(1);
        EXPECT_TRUE(op->ControllerTextPending());
        EXPECT_FALSE(op->IdleDrain()) << "the whole reply came with the tick";
        EXPECT_FALSE(op->ControllerTextPending());

        const Calls expected =
            c.target == nullptr
                ? Calls{}
                : Calls{std::string("append ") + c.target + ": ?ERR unknown command: ZZ\r"};
        EXPECT_EQ(ui.calls, expected);
    }
}

TEST_F(OperationOnCard, ABurstOfCardTextArrivesOverOneTickAndIdlePassesInOrder) {
    HomeMachine();
    op->SelectRun();
    op->ViewMessages();
    std::string expected;
    for (int i = 0; i < 8; ++i) {
        const std::string command = "BAD" + std::to_string(i) + "XXXXXXXXXXXXXXXX";
        machine->Controller().SendAscii(command + "\r");
        expected += "?ERR unknown command: " + command + "\r";
    }
    ASSERT_GT(expected.size(), 2u * 128u);
    Forget();

    EXPECT_FALSE(op->IdleDrain()) << "nothing pending before a tick saw text";
    EXPECT_EQ(TraceSinceLast(), Calls{});
    Ticks(1);
    int idlePasses = 0;
    while (op->IdleDrain())
        ++idlePasses;

    std::string arrived;
    for (const std::string& call : ui.calls) {
        ASSERT_TRUE(call.starts_with("append ProgramView: ")) << call;
        const std::string piece = call.substr(20);
        EXPECT_LE(piece.size(), 127u);
        arrived += piece;
    }
    EXPECT_EQ(arrived, expected);
    EXPECT_EQ(idlePasses + 1, static_cast<int>(ui.calls.size()));
    EXPECT_GE(idlePasses, 2);
    EXPECT_FALSE(op->ControllerTextPending());
}

// ---- External buttons through the tick ----

TEST_F(OperationOnCard, AnExternalStartHeldAcrossTicksHomesOnceAndAgainAfterItsRelease) {
    machine->ExternalControls().startButtonChannel.Set(3);
    op->SelectHome();
    const auto homingStarts = [this] {
        return std::count(ui.calls.begin(), ui.calls.end(),
                          std::string("append HomingView: Homing Machine...\r"));
    };
    const struct {
        bool pressed;
        int ticks;
        long starts; // so far
    } steps[] = {{true, 1, 1}, {true, 5, 1}, {false, 2, 1}, {true, 1, 2}, {true, 3, 2}};
    for (const auto& step : steps) {
        KelvSimSetInputs(Bit(2), step.pressed ? Bit(2) : 0);
        Ticks(step.ticks);
        EXPECT_EQ(homingStarts(), step.starts);
    }
    EXPECT_TRUE(machine->State().homed);
}

TEST_F(OperationOnCard, StartAndBlockPressedInOneTickAreGivenInThatOrder) {
    HomeMachine();
    op->SelectRun();
    ASSERT_EQ(op->LoadFromLines({"O42", "G01 X1 F60", "M30"}, "part.prt"), LoadResult::Started);
    machine->ExternalControls().startButtonChannel.Set(5);
    machine->ExternalControls().blockButtonChannel.Set(1);
    machine->ExternalControls().fholdButtonChannel.Set(2);
    Ticks(1);
    CardCommands();

    KelvSimSetInputs(Bit(4) | Bit(0) | Bit(1), Bit(4) | Bit(0) | Bit(1)); // all three at once
    Ticks(1);
    Calls cycle;
    for (const std::string& call : CardCommands()) {
        if (call == "410 0" || call == "411 0" || call == "412 0")
            cycle.push_back(call);
    }
    EXPECT_EQ(cycle, (Calls{"410 0", "411 0", "412 0"}));
}

// ---- A program run to its end ----

TEST_F(OperationOnCard, AProgramRunsToFinishedWithTheLampsAndIndicatorsFollowingTheCard) {
    ExternalControlSettings& channels = machine->ExternalControls();
    channels.startIndicatorChannel.Set(17);
    channels.blockIndicatorChannel.Set(18);
    channels.fholdIndicatorChannel.Set(19);
    HomeMachine();
    op->SelectRun();
    ASSERT_EQ(op->LoadFromLines({"O7", "G01 X0.5 F60", "M30"}, "part.prt"), LoadResult::Started);
    Forget();

    const Lamps ready = {1, 0, 0, 0, 0, 0};
    const Lamps running = {0, 1, 0, 0, 0, 0};
    const Lamps finished = {0, 0, 0, 0, 1, 0};
    constexpr std::uint32_t kLamps = Bit(16) | Bit(17) | Bit(18);

    Ticks(1);
    EXPECT_EQ(test::PanelLamps(*op), ready);
    EXPECT_EQ(KelvSimGetIoWord() & kLamps, kLamps);
    EXPECT_TRUE(op->IsActionEnabled(PanelAction::Start));

    op->ActionPressed(PanelAction::Start);
    std::vector<Lamps> seen;
    for (int i = 0; i < 30 && test::PanelLamps(*op) != finished; ++i) {
        Ticks(1);
        if (seen.empty() || seen.back() != test::PanelLamps(*op))
            seen.push_back(test::PanelLamps(*op));
    }
    EXPECT_EQ(seen, (std::vector<Lamps>{running, finished}));
    EXPECT_EQ(KelvSimGetIoWord() & kLamps, 0u);
    EXPECT_FALSE(op->IsActionEnabled(PanelAction::Start));
    EXPECT_FALSE(op->IsActionEnabled(PanelAction::Block));

    Calls lampWrites;
    for (const std::string& call : CardCommands()) {
        if (call.starts_with("KelvEnableDigitalIO"))
            lampWrites.push_back(call);
    }
    EXPECT_EQ(lampWrites, (Calls{"KelvEnableDigitalIO 17 1", "KelvEnableDigitalIO 18 1",
                                 "KelvEnableDigitalIO 19 1", "KelvEnableDigitalIO 17 0",
                                 "KelvEnableDigitalIO 18 0", "KelvEnableDigitalIO 19 0"}))
        << "each lamp is written only when it changes";

    op->ActionPressed(PanelAction::Start); // finished: the operator must restart
    EXPECT_EQ(ui.messages, std::vector<int>{msg::MustRestart});
}

} // namespace
} // namespace morvik
