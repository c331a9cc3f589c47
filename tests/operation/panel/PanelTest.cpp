// What the control panel and the menus ask of MachineOperation: the enable rules of the
// panel's controls, the button dispatch, the override fields, the program view toggles with
// their output options, and the menu check marks.
#include "operation/OperationFixture.h"

#include <map>

namespace morvik {
namespace {

using test::OperationOnCard;
using test::OperationOnFake;
using Calls = std::vector<std::string>;

class PanelOnFake : public OperationOnFake {
protected:
    void SetUp() override {
        OperationOnFake::SetUp();
        ASSERT_TRUE(machine->OnOpenDocument(test::OperationData("xyz.mch")));
        fake.ClearCalls();
    }
};

TEST_F(PanelOnFake, EachControlIsEnabledByItsRule) {
    using M = MachineMode;
    struct Case {
        const char* name;
        MachineMode mode;
        std::uint32_t status;
        std::int32_t zAxis;
        std::int32_t cutterAxis;
        std::int32_t raiseMacro;
        std::int32_t lowerMacro;
        std::map<PanelAction, bool> enabled;
    };
    const std::map<PanelAction, bool> neverEnabled = {{PanelAction::ZeroS, false},
                                                      {PanelAction::SpindleCw, false},
                                                      {PanelAction::SpindleCcw, false},
                                                      {PanelAction::SpindleStop, false}};
    const Case cases[] = {
        {"jog without Z",
         M::Jog,
         0,
         0,
         0,
         0,
         0,
         {{PanelAction::ZeroX, true},
          {PanelAction::JogXPlus, true},
          {PanelAction::JogXMinus, true},
          {PanelAction::ZeroY, true},
          {PanelAction::JogYPlus, true},
          {PanelAction::JogYMinus, true},
          {PanelAction::ZeroZ, false},
          {PanelAction::JogZPlus, false},
          {PanelAction::JogZMinus, false},
          {PanelAction::Start, false},
          {PanelAction::Block, false},
          {PanelAction::FeedHold, false},
          {PanelAction::CutBox, true},
          {PanelAction::FeedOverride, true},
          {PanelAction::FeedOverride, true}}},
        {"jog with Z",
         M::Jog,
         0,
         3,
         0,
         0,
         0,
         {{PanelAction::ZeroZ, true},
          {PanelAction::JogZPlus, true},
          {PanelAction::JogZMinus, true}}},
        {"jog with a cutter that only raises",
         M::Jog,
         0,
         0,
         5,
         7,
         0,
         {{PanelAction::ZeroZ, false},
          {PanelAction::JogZPlus, true},
          {PanelAction::JogZMinus, false}}},
        {"jog with a cutter that only lowers",
         M::Jog,
         0,
         0,
         5,
         0,
         8,
         {{PanelAction::JogZPlus, false}, {PanelAction::JogZMinus, true}}},
        {"jog with macros but no cutter axis",
         M::Jog,
         0,
         0,
         0,
         7,
         8,
         {{PanelAction::JogZPlus, false}, {PanelAction::JogZMinus, false}}},
        {"run, ready",
         M::Run,
         psw::Ready,
         3,
         0,
         0,
         0,
         {{PanelAction::Start, true},
          {PanelAction::Block, true},
          {PanelAction::FeedHold, true},
          {PanelAction::ZeroX, false},
          {PanelAction::JogXPlus, false},
          {PanelAction::JogZPlus, false}}},
        {"run, running",
         M::Run,
         psw::Running,
         3,
         0,
         0,
         0,
         {{PanelAction::Start, true}, {PanelAction::Block, true}, {PanelAction::FeedHold, true}}},
        {"run, finished",
         M::Run,
         psw::Finished | psw::Paused,
         3,
         0,
         0,
         0,
         {{PanelAction::Start, false},
          {PanelAction::Block, false},
          {PanelAction::FeedHold, false}}},
        {"home",
         M::Home,
         0,
         3,
         0,
         0,
         0,
         {{PanelAction::Start, true},
          {PanelAction::Block, false},
          {PanelAction::FeedHold, false},
          {PanelAction::JogXPlus, false}}},
        {"mdi",
         M::Mdi,
         psw::Startable,
         3,
         0,
         0,
         0,
         {{PanelAction::Start, false},
          {PanelAction::Block, false},
          {PanelAction::FeedHold, false},
          {PanelAction::ZeroX, false}}},
        {"none",
         M::None,
         psw::Startable,
         3,
         0,
         0,
         0,
         {{PanelAction::Start, false}, {PanelAction::Block, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetMachineMode(*machine, MachineEvents::None(), c.mode);
        fake.replies[code::ProgramStatus] = c.status;
        op->StatusTick(); // the cycle buttons follow the status word as a Run-mode tick read it
        machine->AxisZ().SetControllerAxis(c.zAxis);
        machine->GetCutter().SetControllerAxis(c.cutterAxis);
        machine->GetCutter().SetRaiseMacro(c.raiseMacro);
        machine->GetCutter().SetLowerMacro(c.lowerMacro);
        for (const auto& rules : {c.enabled, neverEnabled}) {
            for (const auto& [id, enabled] : rules)
                EXPECT_EQ(op->IsActionEnabled(id), enabled) << "action " << static_cast<int>(id);
        }
    }
    // Without a machine the run and jog buttons are disabled, the rest stays as it is.
    SetMachineMode(*machine, MachineEvents::None(), MachineMode::Home);
    machine->Shutdown();
    EXPECT_FALSE(op->IsActionEnabled(PanelAction::Start));
    SetMachineMode(*machine, MachineEvents::None(), MachineMode::Jog);
    EXPECT_FALSE(op->IsActionEnabled(PanelAction::JogXPlus));
    EXPECT_FALSE(op->IsActionEnabled(PanelAction::ZeroX));
    EXPECT_TRUE(op->IsActionEnabled(PanelAction::CutBox));
}

TEST_F(PanelOnFake, ButtonsActAsTheMouseGoesDownAndTheJogBitsLiveWhileHeld) {
    SetMachineMode(*machine, MachineEvents::None(), MachineMode::Jog);
    const std::pair<PanelAction, std::uint16_t> jogButtons[] = {
        {PanelAction::JogXPlus, button::kXPlus}, {PanelAction::JogXMinus, button::kXMinus},
        {PanelAction::JogYPlus, button::kYPlus}, {PanelAction::JogYMinus, button::kYMinus},
        {PanelAction::JogZPlus, button::kZPlus}, {PanelAction::JogZMinus, button::kZMinus},
    };
    for (const auto& [id, bit] : jogButtons) {
        SCOPED_TRACE(static_cast<int>(id));
        op->Inputs().buttonBits = button::kStart; // a bit of no jog button is never touched
        op->ActionPressed(id);
        EXPECT_EQ(op->Inputs().buttonBits, bit | button::kStart);
        op->ActionReleased(id);
        EXPECT_EQ(op->Inputs().buttonBits, button::kStart);
    }
    // Buttons without an action change nothing, on the panel or on the card.
    for (PanelAction id : {PanelAction::ZeroS, PanelAction::SpindleCw, PanelAction::SpindleCcw,
                           PanelAction::SpindleStop}) {
        SCOPED_TRACE(static_cast<int>(id));
        op->ActionPressed(id);
        op->ActionReleased(id);
    }
    EXPECT_EQ(op->Inputs().buttonBits, button::kStart);
    EXPECT_EQ(fake.calls, Calls{});

    // The Cut box acts on the state it leaves.
    op->ActionReleased(PanelAction::CutBox, false);
    EXPECT_TRUE(machine->State().cutterDown);
    op->ActionReleased(PanelAction::CutBox, true);
    EXPECT_FALSE(machine->State().cutterDown);
}

TEST_F(PanelOnFake, OverridesAreClampedShownAndSent) {
    enum class Action { Set, Text, Step };
    struct Case {
        OverrideField field;
        double before; // the machine's stored override
        Action action;
        double value;     // Set: the fraction; Step: the clicks
        const char* text; // Text: what the operator typed
        const char* shown;
        double sent;
        int code;
    };
    using F = OverrideField;
    const Case cases[] = {
        {F::Feed, 1.0, Action::Set, 1.0, "", "100", 1.0, 440},
        {F::Feed, 1.0, Action::Set, 0.5, "", " 50", 0.5, 440},
        {F::Feed, 1.0, Action::Text, 0, "150", "150", 1.5, 440},
        {F::Rapid, 0.5, Action::Text, 0, "100", "100", 1.0, 441},
        {F::Spindle, 1.0, Action::Text, 0, "0", "  0", 0.0, 442},
        {F::Feed, 1.0, Action::Text, 0, " 75.4%", " 75", 0.754, 440},
        {F::Spindle, 1.0, Action::Text, 0, "1.5e2", "150", 1.5, 442},
        {F::Rapid, 1.0, Action::Text, 0, "-0", "  0", 0.0, 441},
        {F::Feed, 1.49, Action::Step, 1, "", "150", 1.5, 440},
        {F::Feed, 1.5, Action::Step, 1, "", "150", 1.5, 440},
        {F::Spindle, 1.0, Action::Step, 1, "", "101", 1.01, 442},
        {F::Rapid, 0.0, Action::Step, -1, "", "  0", 0.0, 441},
        {F::Rapid, 0.5, Action::Step, -1, "", " 49", 0.49, 441},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "field " << static_cast<int>(c.field) << " before " << c.before << " text '"
                     << c.text << "' value " << c.value);
        MachineState& state = machine->State();
        double& stored = c.field == F::Feed    ? state.feedOverride
                         : c.field == F::Rapid ? state.rapidOverride
                                               : state.spindleOverride;
        stored = c.before;
        fake.ClearCalls();

        switch (c.action) {
        case Action::Set:
            op->SetOverride(c.field, c.value);
            break;
        case Action::Text:
            op->OverrideTextEntered(c.field, c.text);
            break;
        case Action::Step:
            op->StepOverride(c.field, static_cast<int>(c.value));
            break;
        }

        EXPECT_EQ(op->OverrideText(c.field), c.shown);
        EXPECT_NEAR(stored, c.sent, 1e-12);
        const Calls sent = fake.CallsOf("dorncmdex");
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_TRUE(sent[0].starts_with("dorncmdex(B, 0, " + std::to_string(c.code) + ", "))
            << sent[0];
        EXPECT_NEAR(std::stod(sent[0].substr(21)), c.sent, 1e-12) << sent[0];
    }
}

TEST_F(PanelOnFake, AnOverrideTextOutOfRangeOrNotANumberIsRefusedAndTheValueInForceShown) {
    // A letter or a minus sign typed into a field must never stall the feed at 0 %, and a
    // value beyond the field's range (what its arrows reach: feed and spindle 0 to 150 %,
    // rapid 0 to 100 %) is not turned into another one the operator did not type.
    struct Case {
        OverrideField field;
        double before;
        const char* text;
        const char* shown;
    };
    using F = OverrideField;
    const Case cases[] = {
        {F::Feed, 1.0, "abc", "100"},      {F::Feed, 0.5, "", " 50"},
        {F::Rapid, 0.75, "-", " 75"},      {F::Spindle, 1.2, ".", "120"},
        {F::Feed, 1.0, "inf", "100"},      {F::Rapid, 0.3, "nan", " 30"},
        {F::Spindle, 1.0, "  x5", "100"},  {F::Feed, 1.1, "%100", "110"},
        {F::Feed, 1.0, "-5", "100"},       {F::Spindle, 0.8, "-5", " 80"},
        {F::Rapid, 0.6, "-0.5", " 60"},    {F::Feed, 1.0, "200", "100"},
        {F::Feed, 0.9, "150.5", " 90"},    {F::Rapid, 1.0, "101", "100"},
        {F::Spindle, 1.0, "1e999", "100"}, {F::Rapid, 0.4, "-1e999", " 40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        MachineState& state = machine->State();
        double& stored = c.field == F::Feed    ? state.feedOverride
                         : c.field == F::Rapid ? state.rapidOverride
                                               : state.spindleOverride;
        stored = c.before;
        fake.ClearCalls();
        EXPECT_FALSE(op->OverrideTextEntered(c.field, c.text));
        EXPECT_EQ(op->OverrideText(c.field), c.shown);
        EXPECT_EQ(stored, c.before);
        EXPECT_EQ(fake.calls, Calls{}) << "nothing is sent";
    }
    // A text that starts with a number is taken (the rest is ignored).
    EXPECT_TRUE(op->OverrideTextEntered(F::Feed, " .5e2x"));
    EXPECT_DOUBLE_EQ(machine->State().feedOverride, 0.5);
}

TEST_F(PanelOnFake, TheFirstFillShowsTheStoredOverrides) {
    machine->State().feedOverride = 1.0;
    machine->State().rapidOverride = 0.5;
    machine->State().spindleOverride = 1.5;
    std::array<std::string, kOverrideCount> shown;
    for (std::size_t i = 0; i < kOverrideCount; ++i)
        shown[i] = op->OverrideText(static_cast<OverrideField>(i));
    EXPECT_EQ(shown, (std::array<std::string, kOverrideCount>{"100", " 50", "150"}));
    EXPECT_EQ(fake.calls, Calls{}) << "nothing is sent";
}

TEST_F(PanelOnFake, MenuChecksFollowTheMachine) {
    const MachineMode modes[] = {MachineMode::Run, MachineMode::Mdi, MachineMode::Jog,
                                 MachineMode::Home, MachineMode::None};
    for (MachineMode mode : modes) {
        SetMachineMode(*machine, MachineEvents::None(), mode);
        for (MachineMode other : modes)
            EXPECT_EQ(op->ModeChecked(other), other == mode);
    }

    EXPECT_TRUE(op->ReadoutChecked(PositionReadout::Optimal)) << "a new machine shows optimal";
    op->SetPositionReadout(PositionReadout::Current);
    EXPECT_TRUE(op->ReadoutChecked(PositionReadout::Current));
    EXPECT_FALSE(op->ReadoutChecked(PositionReadout::Optimal));

    for (int use : {0, 1}) {
        machine->Jogging().usePcJoystick.Set(use);
        EXPECT_EQ(op->CalibrateEnabled(), use != 0);
    }

    EXPECT_FALSE(op->StatusDisplayOpen());
    op->ToggleStatusDisplay();
    EXPECT_TRUE(op->StatusDisplayOpen());
    op->ToggleStatusDisplay();
    EXPECT_FALSE(op->StatusDisplayOpen());
    op->ToggleStatusDisplay();
    machine->OnViewDestroyed(ViewKind::StatusDisplay); // its close box
    EXPECT_FALSE(op->StatusDisplayOpen());
    EXPECT_EQ(ui.calls, (Calls{"open StatusDisplay", "close StatusDisplay", "open StatusDisplay"}));

    // Block skip: the menu command while no switch owns the flag.
    EXPECT_TRUE(op->BlockSkipEnabled());
    op->ToggleBlockSkip();
    EXPECT_TRUE(op->BlockSkipChecked());
    EXPECT_EQ(fake.CallsOf("dorncmdex"), Calls{"dorncmdex(B, 0, 424, 0, 2)"});
}

// ---- The program view ----

TEST_F(OperationOnCard, ViewProgramAndViewMessagesToggleTheViewAndTheOutputOptions) {
    enum Step { Program, Messages, WindowClosed };
    const Calls off = {"490 -1", "491 -1", "494 -1", "495 -1"};
    const auto join = [](std::initializer_list<Calls> parts) {
        Calls all;
        for (const Calls& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    struct Case {
        std::vector<Step> steps;
        Calls ui;
        Calls card;
        bool programChecked;
        bool messagesChecked;
        bool refuseWindow = false;
    };
    const Case cases[] = {
        {{Program}, {"open ProgramView"}, join({off, {"494 1"}}), true, false},
        {{Program, Program},
         {"open ProgramView", "close ProgramView"},
         join({off, {"494 1"}, off}),
         false,
         false},
        {{Program, Messages},
         {"open ProgramView"},
         join({off, {"494 1"}, off, {"495 1"}}),
         false,
         true},
        {{Messages, Messages, Program},
         {"open ProgramView", "close ProgramView", "open ProgramView"},
         join({off, {"495 1"}, off, off, {"494 1"}}),
         true,
         false},
        {{Program, WindowClosed, Program},
         {"open ProgramView", "open ProgramView"},
         join({off, {"494 1"}, off, off, {"494 1"}}),
         true,
         false},
        {{Messages}, {"open ProgramView"}, {}, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "steps " << c.steps.size() << " first " << c.steps[0]);
        TearDown();
        SetUp();
        if (c.refuseWindow)
            ui.refuseToOpen.insert(ViewKind::ProgramView);
        for (Step step : c.steps) {
            if (step == Program)
                op->ViewProgram();
            else if (step == Messages)
                op->ViewMessages();
            else
                machine->OnViewDestroyed(ViewKind::ProgramView);
        }
        EXPECT_EQ(ui.calls, c.ui);
        EXPECT_EQ(CardCommands(), c.card);
        EXPECT_EQ(op->ProgramViewChecked(), c.programChecked);
        EXPECT_EQ(op->MessagesViewChecked(), c.messagesChecked);
    }
}

TEST_F(OperationOnCard, TheProgramViewShowsWhatItsOptionMakesTheCardSend) {
    HomeMachine();
    op->SelectRun();
    op->ViewProgram();
    ASSERT_EQ(op->LoadFromLines({"O5", "G01 X0.1 F60", "M30"}, "part.prt"), LoadResult::Started);
    op->Start();
    Ticks(10);
    while (op->IdleDrain()) {
    }
    ASSERT_FALSE(ui.calls.empty());
    std::string shown;
    for (const std::string& call : ui.calls) {
        if (call.starts_with("append ProgramView: "))
            shown += call.substr(20);
    }
    // The first line stands alone, then the blocks the card echoes as it runs them.
    EXPECT_TRUE(shown.starts_with("O5\r")) << shown;
    EXPECT_NE(shown.find("G01 X0.1 F60"), std::string::npos) << shown;
}

} // namespace
} // namespace morvik
