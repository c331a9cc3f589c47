// What the control panel shows, as functions of the machine snapshot: the six lamps and the
// four readout texts. The panel makes them from each snapshot it is shown; the
// formats are the components' display formats (settings, never the card).
#pragma once

#include "operation/MachineSnapshot.h"
#include "operation/PanelFields.h"

#include <array>
#include <string>

namespace morvik {

class CMachine;

// Longest readout text; a longer result is cut.
inline constexpr std::size_t kReadoutTextLimit = 40;

// A value printed with a readout's printf format ("%#+ 14.4f" and the like), in the C locale
// whatever the desktop's, cut to kReadoutTextLimit characters. The format is the component's
// own display format and takes exactly one double.
std::string FormatReadout(const std::string& format, double value);
// A cutter position in revolutions as the Z readout shows it: its angle within one revolution
// in degrees, from 0 up to but not including 360, also for negative positions.
double CutterAngleDegrees(double revolutions);

// The lamps: in Run mode from the program status word (Ready, Running, Paused, F. Hold,
// Finished, Error for any error bit), in Jog and Home mode only Error from the axis errors,
// in the other modes all dark.
std::array<bool, kIndicatorCount> IndicatorsOf(const MachineSnapshot& snapshot);
// The X, Y, Z and S readout texts; empty for a component that is not on the card. Z shows the
// cutter angle when Z is not on the card but the cutter is. With work readouts on, X, Y and Z
// show work coordinates: the position less the origin of the work coordinate system in force
// (WorkOffsets.h); the cutter angle and the spindle speed stay as they are.
std::array<std::string, kReadoutCount> ReadoutTexts(const MachineSnapshot& snapshot,
                                                    const CMachine& machine);

} // namespace morvik
