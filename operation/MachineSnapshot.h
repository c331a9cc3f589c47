// One numeric picture of the machine, filled by the status cycle on every tick (StatusCycle)
// and handed to the observers (MachineObserver). Values the tick did not ask the card for are
// empty optionals: the tick asks only what the panel needs in the mode the machine is in (the
// program status word in Run mode, the axis errors in Jog and Home mode, one position per axis
// as the readout setting chooses), and the card must see the same questions it always saw.
//
// The status display asks its own six questions on its own timer; what it reads is a
// ProgramCounters, the snapshot's type for the part program's counters.
#pragma once

#include "controller/CardModes.h"
#include "machine/MachineState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace morvik {

class MotionController;

// The part program's counters and status word as the status display reads them.
struct ProgramCounters {
    std::uint32_t status = 0; // the program status word
    std::int32_t programNumber = 0;
    std::int32_t sequenceNumber = 0;
    std::int32_t repeatCount = 0;
    std::int32_t filePosition = 0;
    std::int32_t toolNumber = 0;
};

// The status display's six queries: program status, then program number, sequence number,
// repeat count, file position and tool number.
ProgramCounters ReadProgramCounters(MotionController& card);

// One component (axis X, Y, Z or the cutter) as the tick saw it.
struct AxisReading {
    bool onCard = false;           // it has a controller axis
    std::optional<bool> error;     // the axis error condition (Jog and Home mode)
    std::optional<double> current; // current position (readout setting Current)
    std::optional<double> optimal; // optimal position (readout setting Optimal)
    // The position the readout shows: current or optimal as it was read, else 0.
    double Shown() const { return current ? *current : optimal ? *optimal : 0.0; }
};

enum class SnapshotAxis : std::size_t { X, Y, Z, Cutter };
inline constexpr std::size_t kSnapshotAxisCount = 4;

struct MachineSnapshot {
    MachineMode mode = MachineMode::None;
    bool homed = false;
    bool homing = false; // the homing macro runs: some axis has not yet come to rest
    PositionReadout positionReadout = PositionReadout::Optimal;
    bool workReadouts = false; // the readouts show work coordinates (WorkOffsets.h)
    // The card's digital I/O word, inputs and outputs alike (channel n is bit n-1).
    std::uint32_t ioWord = 0;
    std::optional<std::uint32_t> programStatus; // read in Run mode only
    // Emergency stop, external emergency stop and drive fault standing on this tick, as status
    // word bits, in every mode: from the program status word when it was read, and from the
    // machine's safety input channels in the I/O word (no further question to the card).
    std::uint32_t safetyBits = 0;
    std::array<AxisReading, kSnapshotAxisCount> axes{};
    std::optional<double> spindleSpeed; // actual speed, when the spindle is on the card
    std::optional<double> cutterAngle;  // degrees 0..360, when Z is off the card but the cutter on
    // The loaded part program as the station knows it.
    bool partLoaded = false;
    bool programStarted = false;
    std::int32_t programNumber = 0;
    std::string partPath;
    std::size_t partLineCount = 0;
    // The card's line of the block running now (query 461, read in Run mode while a run is
    // under way), and the last line seen running since the program was loaded (0: none yet).
    std::optional<std::int32_t> runningLine;
    std::int32_t lastLine = 0;
    // The card's modal state (ActiveModes.h), read in Run, MDI and Jog mode; empty in the other
    // modes and when the card does not answer it.
    std::optional<CardModes> cardModes;
    // The S word and spindle direction in force, the work coordinate system (0 = G54 ...
    // 5 = G59) and the tool length in force (0 without G43): the card's (cardModes) when it
    // answered, else the loaded program's at lastLine as the station's G-code reader follows it.
    double commandedSpeed = 0;
    int spindleDirection = 0; // 1 M3, -1 M4, 0 M5
    int workSystem = 0;
    double toolLength = 0;
    // Override fractions, 1.0 = 100 %.
    double feedOverride = 1.0;
    double rapidOverride = 1.0;
    double spindleOverride = 1.0;
    bool blockSkipOn = false;
    bool dryRunOn = false;

    const AxisReading& Axis(SnapshotAxis which) const {
        return axes[static_cast<std::size_t>(which)];
    }
    AxisReading& Axis(SnapshotAxis which) { return axes[static_cast<std::size_t>(which)]; }
    // The error bits of the program status word (0 when it was not read).
    std::uint32_t ErrorBits() const;
    // Any of the four components reported its axis error condition.
    bool AnyAxisError() const;
};

} // namespace morvik
