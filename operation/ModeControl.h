// The machine's operating modes and homing.
//
// The machine is always in one mode: None at first, then Run, MDI, Jog or Home as the operator
// selects them. Selecting a different mode first runs the exit actions of the mode it leaves,
// then the new mode's entry actions:
//
//   exit Run   abort a started program and wait for the card
//   exit MDI   close the MDI panel
//   exit Jog   raise the cutter, stop every jogging axis and wait until each has stopped
//   exit Home  close the homing view, then download the configuration file
//
//   Run   requires homed (message 34008); without a program view the card's messages option
//         (495) is switched on, so the panel's message line gets a part error's reason
//   MDI   requires homed (message 34009); opens the MDI panel, and stays put if it cannot
//   Jog   Jogging's entry actions, also when Jog is selected again
//   Home  opens the homing view and prompts with 34000 (both unless SUPPRESSHOMINGMESSAGES);
//         selecting Home again prompts again
//
// Start in Home mode homes the machine: 34001 in the homing view, "MC<macro>\r" when a homing
// macro is set, and the machine is homed from then on. Homing stays under way until the status
// cycle sees every axis at rest (or leaves Home mode); then the homing view says "Machine homed".
//
// Waits on the card are bounded by what the machine's settings need (the operator is told when
// the card does not answer, once the exit has unwound). When the abort in the Run exit is not
// answered, a program may still be running on the card, so the selection is abandoned and the
// machine stays in Run mode; likewise when a jogged axis never confirms its stop the machine
// stays in Jog mode with the axis's stopping bit kept. The Home exit goes on (the
// configuration download has told the operator).
//
// MachineOperation owns one ModeControl and forwards the Mode menu, Start in Home mode, the
// readout zero buttons and the Setup Homing dialog's OK to it.
#pragma once

#include "machine/MachineState.h"
#include "operation/MachineObserver.h"

namespace morvik {

class CMachine;
class Jogging;

class ModeControl {
public:
    ModeControl(CMachine& machine, Jogging& jogging,
                const MachineEvents& events = MachineEvents::None());

    void SelectRun();
    void SelectMdi();
    void SelectJog();
    void SelectHome();

    // Start in Home mode.
    void StartHoming();
    // The homing macro is stopped before its end (Stop, leaving Home mode): the card aborts it
    // and the machine is not homed. False when the card did not confirm the abort.
    bool StopHoming();
    // The X, Y or Z readout button (axis 0, 1, 2), in Jog mode only: the axis's program offset
    // becomes its current position in the default part-program length unit (axes on the card
    // only), then the configuration is downloaded and the document marked modified.
    void ZeroAxisReadout(int axis);
    // Setup Homing after OK: both settings stored, the document modified; in Home mode a
    // suppressing value makes the document forget its homing view (its window stays but gets
    // no more text) and a zero one opens the homing view when none is remembered.
    void ApplyHomingSettings(int macro, int suppress);

private:
    // The exit actions of the current mode; false when the selection must be abandoned.
    bool Leave();
    bool LeaveRun();
    bool LeaveMdi();
    bool LeaveJog();
    bool LeaveHome();
    // Run and MDI: true when homed, else the message is shown.
    bool RequireHomed(int messageId);
    bool HomingMessagesShown() const;
    void WriteToHomingView(int messageId);

    CMachine& machine_;
    Jogging& jogging_;
    const MachineEvents& events_;
};

} // namespace morvik
