#include "operation/ModeControl.h"

#include "controller/ControllerCodes.h"
#include "controller/StringTable.h"
#include "machine/Machine.h"
#include "operation/Jogging.h"
#include "operation/ProgramView.h"

#include <array>
#include <cstddef>

namespace morvik {

ModeControl::ModeControl(CMachine& machine, Jogging& jogging, const MachineEvents& events)
    : machine_(machine), jogging_(jogging), events_(events) {}

void ModeControl::SelectRun() {
    if (!RequireHomed(msg::MustHomeBeforeRun))
        return;
    MachineState& state = machine_.State();
    if (state.Mode() == MachineMode::Run || !Leave())
        return;
    SetMachineMode(machine_, events_, MachineMode::Run);
    // The card's messages reach the panel's message line whatever window is open (beside the
    // echoed blocks of View > Program too), so a part error's reason is always seen.
    if (!state.views.Has(ViewKind::ProgramView) ||
        state.programViewKind != ProgramViewKind::Messages)
        machine_.Controller().SetOutputOption(code::OutputMessages, true);
}

void ModeControl::SelectMdi() {
    if (!RequireHomed(msg::MustHomeBeforeMdi))
        return;
    MachineState& state = machine_.State();
    if (state.Mode() == MachineMode::Mdi || !Leave())
        return;
    // A panel that cannot be created leaves the mode value as it was, its exit actions done.
    if (OpenMachineView(machine_, ViewKind::MdiPanel))
        SetMachineMode(machine_, events_, MachineMode::Mdi);
}

void ModeControl::SelectJog() {
    if (machine_.State().Mode() != MachineMode::Jog && !Leave())
        return;
    jogging_.Enter(); // the mode becomes Jog there
}

void ModeControl::SelectHome() {
    MachineState& state = machine_.State();
    if (state.Mode() != MachineMode::Home) {
        if (!Leave())
            return;
        if (HomingMessagesShown())
            OpenMachineView(machine_, ViewKind::HomingView);
        SetMachineMode(machine_, events_, MachineMode::Home);
    }
    if (HomingMessagesShown())
        WriteToHomingView(msg::PressStartToHome);
}

void ModeControl::StartHoming() {
    WriteToHomingView(msg::HomingMachine);
    const int macro = machine_.Homing().homingMacro.Get();
    MachineState& state = machine_.State();
    if (macro != 0)
        machine_.Controller().SendAscii(AsciiCommand("MC", macro));
    // Without a macro there is nothing to wait for: homed at once. With one, the machine is
    // homed only once the macro has run to its end - every axis at rest without an error and
    // nobody having stopped it (StatusCycle::EndHoming); until then it is not, even if it was
    // homed before, since the macro moves the axes away from where they were homed.
    state.homed = macro == 0;
    state.homingUnderWay = true;
}

// Leaving Home mode or Stop while the macro still moves: the card stops it, and the machine
// is not homed.
bool ModeControl::StopHoming() {
    MachineState& state = machine_.State();
    if (!state.homingUnderWay)
        return true;
    state.homingUnderWay = false;
    if (machine_.Homing().homingMacro.Get() == 0)
        return true;
    state.homed = false;
    return machine_.Controller().AbortProgramAndWait(machine_.AbortWaitMs());
}

void ModeControl::ZeroAxisReadout(int axis) {
    if (machine_.State().Mode() != MachineMode::Jog || axis < 0 || axis > 2)
        return;
    Axis& which = machine_.Axes()[static_cast<std::size_t>(axis)];
    if (which.ControllerAxis() != 0)
        which.ProgramOffset().Set(machine_.DefaultUnitSystem().lengthUnit, which.GetPosition());
    machine_.DownloadConfiguration();
    machine_.SetModifiedFlag();
}

void ModeControl::ApplyHomingSettings(int macro, int suppress) {
    machine_.Homing().homingMacro.Set(macro);
    machine_.Homing().suppressHomingMessages.Set(suppress);
    machine_.SetModifiedFlag();
    if (machine_.State().Mode() != MachineMode::Home)
        return;
    if (suppress != 0)
        machine_.State().views.Forget(ViewKind::HomingView);
    else
        OpenMachineView(machine_, ViewKind::HomingView);
}

bool ModeControl::Leave() {
    // Leaving a mode may wait on the card: one operation, its messages shown once it unwound.
    CardOperation operation(machine_.Gate());
    using Exit = bool (ModeControl::*)();
    // Indexed by MachineMode: None, Run, Mdi, Jog, Home.
    static constexpr std::array<Exit, 5> kExits = {nullptr, &ModeControl::LeaveRun,
                                                   &ModeControl::LeaveMdi, &ModeControl::LeaveJog,
                                                   &ModeControl::LeaveHome};
    const auto index = static_cast<std::size_t>(machine_.State().Mode());
    if (index >= kExits.size() || kExits[index] == nullptr)
        return true;
    return (this->*kExits[index])();
}

bool ModeControl::LeaveRun() {
    return machine_.AbortStartedProgram();
}

bool ModeControl::LeaveMdi() {
    // A block still running stops with the mode, as a part program stops when Run is left;
    // when the card does not confirm it, the machine stays in MDI mode.
    if (!machine_.AbortStartedProgram())
        return false;
    CloseMachineView(machine_, ViewKind::MdiPanel);
    return true;
}

bool ModeControl::LeaveJog() {
    // An axis that never confirmed its stop may still be moving: the machine stays in Jog
    // mode with its stopping bits, as it stays in Run mode when an abort is not confirmed.
    return jogging_.ExitAndWait();
}

bool ModeControl::LeaveHome() {
    // Out of Home mode nobody watches the axes come to rest any more: a macro still moving is
    // stopped, not left to run on unwatched.
    StopHoming();
    CloseMachineView(machine_, ViewKind::HomingView);
    // A failed download has told the operator; the station stays usable in the new mode.
    machine_.DownloadConfiguration();
    return true;
}

bool ModeControl::RequireHomed(int messageId) {
    if (machine_.State().homed)
        return true;
    machine_.Operator().ShowMessage(messageId);
    return false;
}

bool ModeControl::HomingMessagesShown() const {
    return machine_.Homing().suppressHomingMessages.Get() == 0;
}

void ModeControl::WriteToHomingView(int messageId) {
    if (!machine_.State().views.Has(ViewKind::HomingView))
        return;
    IOperatorInterface& ui = machine_.Operator();
    ui.ClearView(ViewKind::HomingView);
    // A line of its own: what the card says next (the macro's messages) starts below it.
    ui.AppendToView(ViewKind::HomingView, MessageText(messageId) + "\r");
}

} // namespace morvik
