// Work coordinates on the panel: where the origin of the active work coordinate system lies
// in the card's positions, and touch-off ("Set work zero").
//
// The card runs a program in the work coordinate system G54 ... G59 its modal state selects;
// that system's origin on an axis is the axis's program offset plus the system's value for the
// axis (both in the default part-program unit, in which the card reports positions), and on Z
// the tool length in force (G43) is added. A work coordinate is the position less that origin.
// Which system and tool length are in force comes from the loaded program's modal state
// (ProgramModal); with no program run yet it is G54 without a tool length.
#pragma once

#include <array>
#include <cstddef>

namespace morvik {

class CMachine;

// X, Y and Z.
inline constexpr std::size_t kWorkAxisCount = 3;

// The origin of work coordinate system workSystem (0 = G54 ... 5 = G59; another number is
// taken as G54) on X, Y and Z.
std::array<double, kWorkAxisCount> WorkOriginOf(const CMachine& machine, int workSystem,
                                                double toolLength);

// Touch-off: the value of work coordinate system workSystem for axis (0 X, 1 Y, 2 Z) is set so
// that position, the axis's position as the readout shows it, becomes that axis's work zero.
// The value is stored in the default part-program unit; the caller downloads the work
// coordinate file and marks the document modified.
void StoreWorkZero(CMachine& machine, std::size_t axis, double position, int workSystem,
                   double toolLength);

} // namespace morvik
