// Modes, homing, the readout zero buttons and the Setup Homing apply, on the simulated card:
// what the operator sees (the recording operator's calls) and what the card is told (its
// trace, in short), for every row of the transition table.
#include "operation/OperationFixture.h"

#include <array>
#include <cmath>

namespace morvik {
namespace {

using test::OperationOnCard;
using Calls = std::vector<std::string>;

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Calls kNone;
const Calls kHomeEntry = {"open HomingView", "clear HomingView",
                          "append HomingView: Press START button to home machine...\r"};
const Calls kHomePrompt = {"clear HomingView",
                           "append HomingView: Press START button to home machine...\r"};
const Calls kDownloadCfg = {"LO100", "EOT", "RCF100"};
const Calls kAbort = {"401 0"};
const Calls kStopX = {"KelvStop 1"};
// Jog entry on xyz.mch: 60 in/min and 10 in/sec/sec in the default units (in/min).
const Calls kJogSetup = {
    "KelvSetVelocityOverride 1 1", "KelvSetVelocity 1 60",       "KelvSetAcceleration 1 36000",
    "KelvSetDeceleration 1 36000", "KelvSetOperatingMode 1 0 4", "KelvEnableAxis 1 1",
    "KelvSetVelocityOverride 2 1", "KelvSetVelocity 2 60",       "KelvSetAcceleration 2 36000",
    "KelvSetDeceleration 2 36000", "KelvSetOperatingMode 2 0 4", "KelvEnableAxis 2 1",
    "KelvSetVelocityOverride 3 1", "KelvSetVelocity 3 60",       "KelvSetAcceleration 3 36000",
    "KelvSetDeceleration 3 36000", "KelvSetOperatingMode 3 0 4", "KelvEnableAxis 3 1"};

// Where a row starts. JogMoving: Jog mode with X jogging (the X+ button held for one tick).
enum class From { None, Run, Mdi, JogAtRest, JogMoving, Home };

struct Transition {
    From from;
    MachineMode command;
    MachineMode mode; // afterwards
    Calls ui;         // operator calls, in order
    Calls card;       // commands to the card, in order
};

class ModeTransitions : public OperationOnCard {
protected:
    void StartIn(From from) {
        if (from == From::None) {
            machine->State().homed = true; // None cannot be selected again once left
            return;
        }
        HomeMachine();
        switch (from) {
        case From::Run:
            op->SelectRun();
            machine->State().programStarted = true; // so that the Run exit has work to do
            break;
        case From::Mdi:
            op->SelectMdi();
            break;
        case From::JogAtRest:
            op->SelectJog();
            break;
        case From::JogMoving:
            op->SelectJog();
            op->ActionPressed(PanelAction::JogXPlus);
            Ticks(1);
            ASSERT_NE(machine->State().jogState & 0x0010, 0) << "X+ must be jogging";
            break;
        default:
            break;
        }
    }

    void Select(MachineMode mode) {
        switch (mode) {
        case MachineMode::Run:
            op->SelectRun();
            break;
        case MachineMode::Mdi:
            op->SelectMdi();
            break;
        case MachineMode::Jog:
            op->SelectJog();
            break;
        case MachineMode::Home:
            op->SelectHome();
            break;
        case MachineMode::None:
            break;
        }
    }
};

TEST_F(ModeTransitions, EveryRowOfTheTableRunsTheExitActionsBeforeTheEntryActions) {
    using M = MachineMode;
    // Entering Run mode without a program view: the card's messages for the message line.
    const Calls kMessagesOn = {"495 1"};
    const Transition table[] = {
        {From::None, M::Run, M::Run, kNone, kMessagesOn},
        {From::None, M::Mdi, M::Mdi, {"open MdiPanel"}, kNone},
        {From::None, M::Jog, M::Jog, kNone, kJogSetup},
        {From::None, M::Home, M::Home, kHomeEntry, kNone},

        {From::Run, M::Run, M::Run, kNone, kNone},
        {From::Run, M::Mdi, M::Mdi, {"open MdiPanel"}, kAbort},
        {From::Run, M::Jog, M::Jog, kNone, Join({kAbort, kJogSetup})},
        {From::Run, M::Home, M::Home, kHomeEntry, kAbort},

        {From::Mdi, M::Run, M::Run, {"close MdiPanel"}, kMessagesOn},
        {From::Mdi, M::Mdi, M::Mdi, kNone, kNone},
        {From::Mdi, M::Jog, M::Jog, {"close MdiPanel"}, kJogSetup},
        {From::Mdi, M::Home, M::Home, Join({{"close MdiPanel"}, kHomeEntry}), kNone},

        {From::JogMoving, M::Run, M::Run, kNone, Join({kStopX, kMessagesOn})},
        {From::JogMoving, M::Mdi, M::Mdi, {"open MdiPanel"}, kStopX},
        {From::JogMoving, M::Jog, M::Jog, kNone, kNone}, // a jog is pending: no new setup
        {From::JogAtRest, M::Jog, M::Jog, kNone, kJogSetup},
        {From::JogMoving, M::Home, M::Home, kHomeEntry, kStopX},

        {From::Home, M::Run, M::Run, {"close HomingView"}, Join({kDownloadCfg, kMessagesOn})},
        {From::Home, M::Mdi, M::Mdi, {"close HomingView", "open MdiPanel"}, kDownloadCfg},
        {From::Home, M::Jog, M::Jog, {"close HomingView"}, Join({kDownloadCfg, kJogSetup})},
        {From::Home, M::Home, M::Home, kHomePrompt, kNone},
    };
    for (const Transition& row : table) {
        SCOPED_TRACE(testing::Message() << "from " << static_cast<int>(row.from) << " select "
                                        << static_cast<int>(row.command));
        TearDown();
        SetUp();
        StartIn(row.from);
        Forget();

        Select(row.command);

        EXPECT_EQ(machine->State().Mode(), row.mode);
        EXPECT_EQ(ui.calls, row.ui);
        EXPECT_EQ(CardCommands(), row.card);
        EXPECT_EQ(ui.waitDepth, 0);
        if (row.from == From::Run && row.command != MachineMode::Run) {
            EXPECT_FALSE(machine->State().programStarted);
        }
        if (row.from == From::JogMoving && row.command != MachineMode::Jog) {
            EXPECT_EQ(machine->State().jogState, 0) << "every jogging axis waited for";
            EXPECT_EQ(op->Inputs().buttonBits & button::kJogMask, 0) << "the held button let go";
            double velocity = 1;
            KelvSimAxisState(1, nullptr, nullptr, &velocity);
            EXPECT_EQ(velocity, 0.0);
        }
    }
}

TEST_F(OperationOnCard, RunAndMdiBeforeHomingShowTheirMessageAndChangeNothing) {
    struct Case {
        MachineMode from;
        bool run; // else MDI
        int message;
    };
    const Case cases[] = {
        {MachineMode::None, true, msg::MustHomeBeforeRun},
        {MachineMode::None, false, msg::MustHomeBeforeMdi},
        {MachineMode::Home, true, msg::MustHomeBeforeRun},
        {MachineMode::Home, false, msg::MustHomeBeforeMdi},
        {MachineMode::Jog, true, msg::MustHomeBeforeRun},
        {MachineMode::Jog, false, msg::MustHomeBeforeMdi},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << static_cast<int>(c.from) << " run " << c.run);
        TearDown();
        SetUp();
        if (c.from == MachineMode::Home)
            op->SelectHome();
        if (c.from == MachineMode::Jog)
            op->SelectJog();
        Forget();

        c.run ? op->SelectRun() : op->SelectMdi();

        EXPECT_EQ(machine->State().Mode(), c.from);
        EXPECT_EQ(ui.calls, Calls{"message " + std::to_string(c.message)});
        EXPECT_EQ(CardCommands(), kNone);
    }
}

TEST_F(OperationOnCard, StartInHomeModeHomesWithOrWithoutAMacroAndShowsWhatTheCardSays) {
    struct Case {
        int macro;
        int suppress;
        Calls ui;   // from Home selected to the homing text drained
        Calls card; // commands of Start
    };
    const Calls prompts =
        Join({kHomeEntry, {"clear HomingView", "append HomingView: Homing Machine...\r"}});
    // Once every axis is at rest (at once without a macro) the view says the machine is homed.
    const Case cases[] = {
        {0, 0, Join({prompts, {"append HomingView: \rMachine homed\r"}}), kNone},
        {5,
         0,
         Join({prompts,
               {"append HomingView: HOMING (macro 5): moving X Y Z to machine zero\r"
                "HOMING (macro 5): machine at zero\r",
                "append HomingView: \rMachine homed\r"}}),
         {"MC5"}},
        {5, 1, kNone, {"MC5"}}, // the card's homing text is read and dropped
        {0, 1, kNone, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "macro " << c.macro << " suppress " << c.suppress);
        TearDown();
        SetUp();
        machine->Homing().homingMacro.Set(c.macro);
        machine->Homing().suppressHomingMessages.Set(c.suppress);

        op->SelectHome();
        EXPECT_FALSE(machine->State().homed);
        CardCommands();
        op->Start();
        EXPECT_EQ(CardCommands(), c.card);
        Ticks(2);
        while (op->IdleDrain()) {
        }

        EXPECT_TRUE(machine->State().homed);
        EXPECT_EQ(ui.calls, c.ui);
        EXPECT_FALSE(op->ControllerTextPending());
    }
}

TEST_F(OperationOnCard, HomedStaysSetAndStartOutsideHomeAndRunDoesNothing) {
    HomeMachine();
    op->SelectJog();
    Forget();
    op->Start();
    op->Block();
    op->FeedHold();
    op->SelectMdi();
    op->Start();
    op->Block();
    op->FeedHold();
    EXPECT_TRUE(machine->State().homed);
    EXPECT_EQ(ui.calls, Calls{"open MdiPanel"});
    EXPECT_EQ(CardCommands(), kNone);
}

TEST_F(OperationOnCard, AnMdiPanelThatCannotBeCreatedLeavesTheModeAfterTheExitActions) {
    HomeMachine();
    Forget();
    ui.refuseToOpen.insert(ViewKind::MdiPanel);
    op->SelectMdi();
    EXPECT_EQ(machine->State().Mode(), MachineMode::Home);
    EXPECT_EQ(ui.calls, (Calls{"close HomingView", "open MdiPanel"}));
    EXPECT_EQ(CardCommands(), kDownloadCfg);
    EXPECT_FALSE(machine->State().views.Has(ViewKind::MdiPanel));
}

TEST_F(OperationOnCard, AnMdiPanelClosedByHandIsNotClosedAgainWhenMdiIsLeft) {
    HomeMachine();
    op->SelectMdi();
    machine->OnViewDestroyed(ViewKind::MdiPanel);
    Forget();
    op->SelectJog();
    EXPECT_EQ(machine->State().Mode(), MachineMode::Jog);
    EXPECT_EQ(ui.calls, kNone);
}

TEST_F(OperationOnCard, AnAbortTheCardNeverAnswersKeepsTheMachineInRunMode) {
    HomeMachine();
    op->SelectRun();
    machine->State().programStarted = true;
    Forget();
    KelvSimSetFault(KELVSIM_FAULT_NEVER_READY, 1);
    op->SelectJog();
    KelvSimSetFault(KELVSIM_FAULT_NEVER_READY, 0);

    EXPECT_EQ(ui.messages, std::vector<int>{msg::CardNotAnswering});
    EXPECT_EQ(machine->State().Mode(), MachineMode::Run);
    EXPECT_TRUE(machine->State().programStarted);
    EXPECT_EQ(CardCommands(), kAbort) << "no jog setup while a program may still run";

    Forget();
    op->SelectJog(); // the card answers again: the abort is repeated and Jog entered
    EXPECT_EQ(machine->State().Mode(), MachineMode::Jog);
    EXPECT_EQ(CardCommands(), Join({kAbort, kJogSetup}));
}

TEST_F(OperationOnCard, SetupHomingApplyFollowsTheModeAndTheSuppressValue) {
    struct Case {
        MachineMode mode;
        int suppressBefore;
        int suppress;
        Calls ui;
        bool viewRemembered;
    };
    const Case cases[] = {
        // In Home mode a suppressing value forgets the view: its window stays, gets no text.
        {MachineMode::Home, 0, 1, kNone, false},
        // In Home mode without a homing view a zero value opens one.
        {MachineMode::Home, 1, 0, {"open HomingView"}, true},
        // Already open: nothing more.
        {MachineMode::Home, 0, 0, kNone, true},
        // Outside Home mode only the settings change.
        {MachineMode::Jog, 1, 0, kNone, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(c.mode) << " suppress "
                                        << c.suppressBefore << " -> " << c.suppress);
        TearDown();
        SetUp();
        machine->Homing().suppressHomingMessages.Set(c.suppressBefore);
        op->SelectHome();
        if (c.mode == MachineMode::Jog)
            op->SelectJog();
        Forget();
        machine->SetModifiedFlag(false);

        op->ApplyHomingSettings(12, c.suppress);

        EXPECT_EQ(machine->Homing().homingMacro.Get(), 12);
        EXPECT_EQ(machine->Homing().suppressHomingMessages.Get(), c.suppress);
        EXPECT_TRUE(machine->IsModified());
        EXPECT_EQ(ui.calls, c.ui);
        EXPECT_EQ(machine->State().views.Has(ViewKind::HomingView), c.viewRemembered);

        // Card text in Home mode reaches the homing view only while it is remembered.
        Forget();
        machine->Controller().SendAscii("ZZ\r");
        Ticks(1);
        const bool appended = !ui.calls.empty();
        EXPECT_EQ(appended, c.viewRemembered && c.mode == MachineMode::Home);
    }
}

// The readout zero buttons, on a machine in inches (xyz.mch) and one in millimetres with the
// Z axis off the card (the mill of the machine tests).
class ReadoutZero : public OperationOnCard {
protected:
    std::string MachineFile() const override { return file; }
    std::string file = "xyz.mch";
};

TEST_F(ReadoutZero, InJogModeTheProgramOffsetBecomesThePositionAndTheConfigurationFollows) {
    struct Case {
        const char* file;
        int axis;
        bool jog;
        int unit;         // expected unit of the new offset
        bool offsetTaken; // the axis is on the card
    };
    const Case cases[] = {
        {"xyz.mch", 0, true, unit::Inch, true},
        {"xyz.mch", 1, true, unit::Inch, true},
        {"xyz.mch", 0, false, unit::Inch, false},
        {"../../machine/golden/mill.mch", 0, true, unit::Millimeter, true},
        {"../../machine/golden/mill.mch", 2, true, unit::Millimeter, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << " axis " << c.axis << " jog " << c.jog);
        file = c.file;
        TearDown();
        SetUp();
        HomeMachine();
        if (c.jog)
            op->SelectJog();
        Axis& axis = machine->Axes()[static_cast<std::size_t>(c.axis)];
        axis.ProgramOffset().Set(unit::Inch, 9.0);
        // Move the axis a little so that its position is not 0.
        if (axis.ControllerAxis() != 0 && c.jog) {
            const std::uint16_t plus = c.axis == 0 ? button::kXPlus : button::kYPlus;
            op->JogButtonPressed(plus);
            Ticks(3);
            op->JogButtonReleased(plus);
            Ticks(10);
        }
        double position = 0;
        KelvSimAxisState(axis.ControllerAxis(), nullptr, &position, nullptr);
        machine->SetModifiedFlag(false);
        Forget();

        op->ActionPressed(
            std::array{PanelAction::ZeroX, PanelAction::ZeroY, PanelAction::ZeroZ}[c.axis]);

        if (!c.jog) {
            EXPECT_EQ(CardCommands(), kNone);
            EXPECT_FALSE(machine->IsModified());
            EXPECT_DOUBLE_EQ(axis.ProgramOffset().Value(), 9.0);
            continue;
        }
        EXPECT_EQ(CardCommands(), kDownloadCfg);
        EXPECT_TRUE(machine->IsModified());
        if (c.offsetTaken) {
            EXPECT_NE(position, 0.0);
            EXPECT_EQ(axis.ProgramOffset().Unit(), c.unit);
            EXPECT_DOUBLE_EQ(axis.ProgramOffset().Value(), position);
        } else {
            EXPECT_DOUBLE_EQ(axis.ProgramOffset().Value(), 9.0);
        }
    }
}

TEST_F(OperationOnCard, AJogWhoseButtonReleaseIsLostStopsOnTheNextTick) {
    HomeMachine();
    op->SelectJog();
    op->ActionPressed(PanelAction::JogYMinus);
    Ticks(2);
    ASSERT_NE(machine->State().jogState & 0x0400, 0) << "Y- must be jogging";
    CardCommands();

    op->ReleaseAllJogButtons(); // the window lost the focus with the button held
    Ticks(1);
    EXPECT_EQ(CardCommands(), Calls{"KelvStop 2"});
    Ticks(20);
    EXPECT_EQ(machine->State().jogState, 0);
    double velocity = 1;
    KelvSimAxisState(2, nullptr, nullptr, &velocity);
    EXPECT_EQ(velocity, 0.0);
}

TEST_F(OperationOnCard, AJogButtonHeldWhileTheModeChangesDoesNotStartItsAxisLater) {
    HomeMachine();
    op->SelectJog();
    op->ActionPressed(PanelAction::JogXPlus);
    Ticks(1);
    op->SelectHome(); // by the keyboard, with the mouse still down on X+
    op->SelectJog();
    CardCommands();
    Ticks(3);
    for (const std::string& call : CardCommands())
        EXPECT_NE(call, "KelvGo 1");
    EXPECT_EQ(machine->State().jogState, 0);
}

} // namespace
} // namespace morvik
