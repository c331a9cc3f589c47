// The control panel's lamps, readouts and override fields by name, free of any widget: the
// snapshot's texts (SnapshotTexts.h) and the override commands (MachineOperation) index them.
#pragma once

#include <cstddef>

namespace morvik {

// The six status lamps, in the panel's order from top to bottom.
enum class Indicator : std::size_t { Ready, Running, Paused, FHold, Finished, Error };
inline constexpr std::size_t kIndicatorCount = 6;

// The four readouts beside the axis buttons.
enum class Readout : std::size_t { X, Y, Z, S };
inline constexpr std::size_t kReadoutCount = 4;

// The three override fields.
enum class OverrideField : std::size_t { Feed, Rapid, Spindle };
inline constexpr std::size_t kOverrideCount = 3;

} // namespace morvik
