// What the control panel's controls do, as the core knows them: the user interface maps its
// widgets to these actions (ui/PanelControls.h) and MachineOperation presses, releases and
// enables them by action, never by widget.
#pragma once

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
};

// The jog button bit (button:: in ControlPanelState.h) of a jog action; 0 for any other.
std::uint16_t JogBitOf(PanelAction action);

} // namespace morvik
