// The control panel's periodic update and the draining of the card's text output.
//
// Tick() runs every 100 ms from the main window's timer (through MachineOperation::StatusTick)
// and does, in this order:
//   1. nothing at all when there is no current machine;
//   2. the card's digital inputs into the panel's input word;
//   3. the indicators: in Run mode from the program status word (kept in the panel), in Jog and
//      Home mode only Error, from the axis error condition of X, Y, Z and the cutter; in Jog
//      mode the jog step follows; in the other modes all dark;
//   4. the four readout texts (ReadoutTexts below);
//   5. the panel is told to leave its override fields alone on this mirror;
//   6. one batch of card text, routed (ProgramView::Route), and the pending flag set;
//   7. the external controls step, which may fire Start, Block and Feed hold.
// While the station is busy (an operation waits on the card, or a message or dialog is open
// and this tick runs in its nested event loop) steps 3 and 7 send nothing that moves the
// machine: the jog step runs as if every jog input were let go, the external edges are
// consumed without firing and the switches wait; inputs, lamps and readouts still update.
//
// IdleDrain() is the idle handler's step: while text is pending it routes one more batch per
// call and asks for more idle time, and clears the flag once a read brings nothing.
#pragma once

#include "machine/MachineState.h"
#include "operation/ControlPanelState.h"

#include <array>
#include <string>

namespace morvik {

class CMachine;
class ExternalControls;
class ICycleCommands;
class Jogging;
class ProgramView;

// Longest readout text; a longer result is cut.
inline constexpr std::size_t kReadoutTextLimit = 40;

// A value printed with a readout's printf format ("%#+ 14.4f" and the like), in the C locale
// whatever the desktop's, cut to kReadoutTextLimit characters. The format is the component's
// own display format and takes exactly one double.
std::string FormatReadout(const std::string& format, double value);
// A cutter position in revolutions as the Z readout shows it: its angle within one revolution
// in degrees, from 0 up to but not including 360, also for negative positions.
double CutterAngleDegrees(double revolutions);
// The X, Y, Z and S readout texts of the machine now, positions as the readout setting
// chooses (current, optimal, or 0 for any other value); empty for a component that is not on
// the card. Z shows the cutter angle when Z is not on the card but the cutter is.
std::array<std::string, kReadoutCount> ReadoutTexts(CMachine& machine);

class StatusCycle {
public:
    StatusCycle(CMachine& machine, ControlPanelState& panel, ProgramView& view, Jogging& jogging,
                ExternalControls& external, ICycleCommands& commands);

    void Tick();
    bool IdleDrain();
    // The card sent text on this tick or an idle pass and may have more.
    bool TextPending() const { return textPending_; }

private:
    void UpdateIndicators(bool commandsAllowed);
    void ShowProgramStatus();
    void ShowAxisErrors();
    bool ReadAndRouteText();

    CMachine& machine_;
    ControlPanelState& panel_;
    ProgramView& view_;
    Jogging& jogging_;
    ExternalControls& external_;
    ICycleCommands& commands_;
    bool textPending_ = false;
};

} // namespace morvik
