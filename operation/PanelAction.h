// What the control panel's controls do, as the core knows them: the user interface maps its
// widgets to these actions (ui/PanelControls.h) and MachineOperation presses, releases and
// enables them by action, never by widget. Each action is one row of MachineOperation's action
// table (PanelActionRows.cpp); the build fails while an action has no row there.
#pragma once

#include <cstddef>
#include <cstdint>

namespace morvik {

enum class PanelAction {
    Start,
    Block,
    FeedHold,
    JogXPlus,
    JogXMinus,
    JogYPlus,
    JogYMinus,
    JogZPlus,
    JogZMinus,
    ZeroX, // the readout buttons beside the positions
    ZeroY,
    ZeroZ,
    ZeroS,
    SpindleCw,
    SpindleCcw,
    SpindleStop,
    CutBox,
    FeedOverride, // an override's field and its arrows
    RapidOverride,
    SpindleOverride,
    Stop,         // aborts the program and stops every axis, in every mode
    JogIncrement, // the jog step selector
    JogSpeed,     // the jog speed selector
    WorkReadouts, // the readouts in work or machine coordinates
    WorkZeroX,    // touch-off: the axis's zero of the active work coordinate system here
    WorkZeroY,
    WorkZeroZ,
    MdiBlock, // the MDI panel's command line and its Compose button
    // Not an action: the number of them. A new action goes above, and its row at the same place in
    // PanelActionRows.cpp.
    Count
};

inline constexpr std::size_t kPanelActionCount = static_cast<std::size_t>(PanelAction::Count);

// The jog button bit (button:: in ButtonBits.h) of a jog action; 0 for any other.
std::uint16_t JogBitOf(PanelAction action);
// The axis (0 X, 1 Y, 2 Z) of a touch-off action.
inline std::size_t WorkZeroAxis(PanelAction action) {
    return static_cast<std::size_t>(static_cast<int>(action) -
                                    static_cast<int>(PanelAction::WorkZeroX));
}

} // namespace morvik
