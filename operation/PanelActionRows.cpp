// The control panel's actions as one table: what a press, a release and the update pass do with
// each (MachineOperation::ActionPressed, ActionReleased, IsActionEnabled). A new action is one
// row here; the table must hold every action of PanelAction, in its order, or the build fails.
#include "operation/MachineOperation.h"

#include "machine/Machine.h"
#include "operation/JogPad.h"

#include <array>

namespace morvik {

struct MachineOperation::ActionRow {
    PanelAction action;
    void (*press)(MachineOperation& operation, PanelAction action);
    void (*release)(MachineOperation& operation, PanelAction action, bool wasChecked);
    bool (*enabled)(const MachineOperation& operation, PanelAction action);
    // Enabled while there is no machine document (and so no operation to ask).
    bool withoutMachine;
};

// The presses, releases and enable rules the rows name. A nested class, so that the rules may
// read the operation's private state as its own members do.
struct MachineOperation::ActionRules {
    using Op = MachineOperation;
    using A = PanelAction;

    // ---- Presses ----
    static void Start(Op& op, A) { op.Start(); }
    static void Block(Op& op, A) { op.Block(); }
    static void FeedHold(Op& op, A) { op.FeedHold(); }
    static void JogDown(Op& op, A action) { op.JogButtonPressed(JogBitOf(action)); }
    static void ZeroReadout(Op& op, A action) {
        op.ZeroAxisReadout(static_cast<int>(action) - static_cast<int>(A::ZeroX));
    }
    static void Stop(Op& op, A) { op.StopAll(); }
    static void WorkReadouts(Op& op, A) { op.ToggleWorkReadouts(); }
    static void WorkZero(Op& op, A action) { op.SetWorkZero(WorkZeroAxis(action)); }
    static void NoPress(Op&, A) {}

    // ---- Releases ----
    static void JogUp(Op& op, A action, bool) { op.JogButtonReleased(JogBitOf(action)); }
    static void CutBoxUp(Op& op, A, bool wasChecked) { op.CutBoxReleased(wasChecked); }
    static void NoRelease(Op&, A, bool) {}

    // ---- Enable rules ----
    // Start also starts homing in Home mode; Block and Feed hold only drive a program.
    static bool StartRule(const Op& op, A) {
        return op.Live() && (op.ModeChecked(MachineMode::Home) || op.CycleButtonsEnabled());
    }
    static bool CycleRule(const Op& op, A) { return op.Live() && op.CycleButtonsEnabled(); }
    static bool InMdi(const Op& op, A) { return op.Live() && op.ModeChecked(MachineMode::Mdi); }
    static bool Live(const Op& op, A) { return op.Live(); }
    static bool WorkZeroRule(const Op& op, A action) {
        return op.WorkZeroEnabled(WorkZeroAxis(action));
    }
    static bool Always(const Op&, A) { return true; }
    static bool Never(const Op&, A) { return false; } // nothing to do for them

    // The readout zero and jog buttons: in Jog mode, for an axis on the card; Z+ and Z- also
    // for a cutter whose raise or lower macro they run (JogPad.h).
    static bool Fitted(const auto& component) { return component.ControllerAxis() != 0; }
    static bool InJog(const Op& op, bool onCard) {
        return op.Live() && op.ModeChecked(MachineMode::Jog) && onCard;
    }
    static bool XInJog(const Op& op, A) { return InJog(op, Fitted(op.machine_.AxisX())); }
    static bool YInJog(const Op& op, A) { return InJog(op, Fitted(op.machine_.AxisY())); }
    static bool ZInJog(const Op& op, A) { return InJog(op, Fitted(op.machine_.AxisZ())); }
    static bool JogRule(const Op& op, A action) {
        return InJog(op, JogHasUse(op.machine_, action));
    }
};

namespace {

template <class Rows> constexpr bool InActionOrder(const Rows& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].action != static_cast<PanelAction>(i))
            return false;
    }
    return true;
}

} // namespace

const MachineOperation::ActionRow& MachineOperation::RowOf(PanelAction action) {
    using A = PanelAction;
    using R = ActionRules;
    static constexpr auto kRows = std::to_array<ActionRow>({
        // action, press, release, enable rule, enabled without a machine
        {A::Start, R::Start, R::NoRelease, R::StartRule, false},
        {A::Block, R::Block, R::NoRelease, R::CycleRule, false},
        {A::FeedHold, R::FeedHold, R::NoRelease, R::CycleRule, false},
        {A::JogXPlus, R::JogDown, R::JogUp, R::JogRule, false},
        {A::JogXMinus, R::JogDown, R::JogUp, R::JogRule, false},
        {A::JogYPlus, R::JogDown, R::JogUp, R::JogRule, false},
        {A::JogYMinus, R::JogDown, R::JogUp, R::JogRule, false},
        {A::JogZPlus, R::JogDown, R::JogUp, R::JogRule, false},
        {A::JogZMinus, R::JogDown, R::JogUp, R::JogRule, false},
        {A::ZeroX, R::ZeroReadout, R::NoRelease, R::XInJog, false},
        {A::ZeroY, R::ZeroReadout, R::NoRelease, R::YInJog, false},
        {A::ZeroZ, R::ZeroReadout, R::NoRelease, R::ZInJog, false},
        {A::ZeroS, R::NoPress, R::NoRelease, R::Never, false},
        {A::SpindleCw, R::NoPress, R::NoRelease, R::Never, false},
        {A::SpindleCcw, R::NoPress, R::NoRelease, R::Never, false},
        {A::SpindleStop, R::NoPress, R::NoRelease, R::Never, false},
        {A::CutBox, R::NoPress, R::CutBoxUp, R::Always, true},
        {A::FeedOverride, R::NoPress, R::NoRelease, R::Always, true},
        {A::RapidOverride, R::NoPress, R::NoRelease, R::Always, true},
        {A::SpindleOverride, R::NoPress, R::NoRelease, R::Always, true},
        {A::Stop, R::Stop, R::NoRelease, R::Live, false},
        {A::JogIncrement, R::NoPress, R::NoRelease, R::Always, false},
        {A::JogSpeed, R::NoPress, R::NoRelease, R::Always, false},
        {A::WorkReadouts, R::WorkReadouts, R::NoRelease, R::Live, false},
        {A::WorkZeroX, R::WorkZero, R::NoRelease, R::WorkZeroRule, false},
        {A::WorkZeroY, R::WorkZero, R::NoRelease, R::WorkZeroRule, false},
        {A::WorkZeroZ, R::WorkZero, R::NoRelease, R::WorkZeroRule, false},
        {A::MdiBlock, R::NoPress, R::NoRelease, R::InMdi, false},
    });
    static_assert(kRows.size() == kPanelActionCount, "one row per panel action");
    static_assert(InActionOrder(kRows), "the rows in the order of PanelAction");
    // A value outside the actions (a cast) does nothing and is never enabled.
    static constexpr ActionRow kNone{A::Count, R::NoPress, R::NoRelease, R::Never, false};
    const auto index = static_cast<std::size_t>(action);
    return index < kRows.size() ? kRows[index] : kNone;
}

void MachineOperation::ActionPressed(PanelAction action) {
    RowOf(action).press(*this, action);
}

void MachineOperation::ActionReleased(PanelAction action, bool wasChecked) {
    RowOf(action).release(*this, action, wasChecked);
}

bool MachineOperation::IsActionEnabled(PanelAction action) const {
    return RowOf(action).enabled(*this, action);
}

bool MachineOperation::EnabledWithoutMachine(PanelAction action) {
    return RowOf(action).withoutMachine;
}

} // namespace morvik
