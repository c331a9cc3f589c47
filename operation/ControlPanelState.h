// What the control panel shows and what its buttons hold, free of any widget. The status cycle
// (StatusCycle) fills the input word, the program status, the indicators and the readouts on
// every tick and the external button bits; the jog buttons set and clear their bits through
// MachineOperation; the Qt panel mirrors this struct into its lamps, readouts and fields after
// each tick and after each command.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace morvik {

// Bits of the panel's button word: the six jog buttons while held, and the external Start,
// Block and Feed hold buttons as the last tick read them from the card's inputs.
namespace button {
inline constexpr std::uint16_t kXPlus = 0x01;
inline constexpr std::uint16_t kXMinus = 0x02;
inline constexpr std::uint16_t kYPlus = 0x04;
inline constexpr std::uint16_t kYMinus = 0x08;
inline constexpr std::uint16_t kZPlus = 0x10;
inline constexpr std::uint16_t kZMinus = 0x20;
inline constexpr std::uint16_t kJogMask = 0x3f;
inline constexpr std::uint16_t kStart = 0x100;
inline constexpr std::uint16_t kBlock = 0x200;
inline constexpr std::uint16_t kFeedHold = 0x400;
inline constexpr std::uint16_t kExternalMask = kStart | kBlock | kFeedHold;
} // namespace button

// The panel's controls as the user interface names them to MachineOperation (button press and
// release, enable rules).
namespace control {
inline constexpr int kStart = 1000;
inline constexpr int kBlock = 1002;
inline constexpr int kFeedHold = 1004;
inline constexpr int kJogXPlus = 1005;
inline constexpr int kJogXMinus = 1006;
inline constexpr int kJogYPlus = 1007;
inline constexpr int kJogYMinus = 1008;
inline constexpr int kJogZPlus = 1009;
inline constexpr int kJogZMinus = 1010;
inline constexpr int kRapidOverride = 1074;
inline constexpr int kFeedOverride = 1075;
inline constexpr int kSpindleOverride = 1076;
inline constexpr int kRapidArrows = 1077;
inline constexpr int kFeedArrows = 1078;
inline constexpr int kSpindleArrows = 1079;
inline constexpr int kSpindleCcw = 1159;
inline constexpr int kSpindleStop = 1160;
inline constexpr int kSpindleCw = 1161;
inline constexpr int kAxisX = 1162; // the readout zero buttons
inline constexpr int kAxisY = 1163;
inline constexpr int kAxisZ = 1164;
inline constexpr int kAxisS = 1165;
inline constexpr int kCutBox = 1180;
// The information strip (MachineInfo.h): the work / machine coordinates switch and touch-off.
inline constexpr int kWorkReadouts = 1340;
inline constexpr int kWorkZeroX = 1341;
inline constexpr int kWorkZeroY = 1342;
inline constexpr int kWorkZeroZ = 1343;
} // namespace control

// The six status lamps, in the panel's order from top to bottom.
enum class Indicator : std::size_t { Ready, Running, Paused, FHold, Finished, Error };
inline constexpr std::size_t kIndicatorCount = 6;

// The four readouts beside the axis buttons.
enum class Readout : std::size_t { X, Y, Z, S };
inline constexpr std::size_t kReadoutCount = 4;

// The three override fields.
enum class OverrideField : std::size_t { Feed, Rapid, Spindle };
inline constexpr std::size_t kOverrideCount = 3;

struct ControlPanelState {
    std::uint32_t inputWord = 0;     // the card's digital inputs as the last tick read them
    std::uint32_t programStatus = 0; // the last program status word read in Run mode
    std::array<bool, kIndicatorCount> indicators{};
    std::array<std::string, kReadoutCount> readouts;
    std::uint16_t buttonBits = 0;         // button:: bits held now
    std::uint16_t previousButtonBits = 0; // the button word at the end of the previous tick
    // Set by the tick before the panel mirrors it: that mirror leaves the override fields
    // alone (the operator may be typing in one) and clears the flag.
    bool skipOverridesOnce = false;
    std::array<std::string, kOverrideCount> overrideTexts;

    bool IndicatorOn(Indicator which) const { return indicators[static_cast<std::size_t>(which)]; }
    const std::string& ReadoutText(Readout which) const {
        return readouts[static_cast<std::size_t>(which)];
    }
    const std::string& OverrideText(OverrideField which) const {
        return overrideTexts[static_cast<std::size_t>(which)];
    }
};

} // namespace morvik
