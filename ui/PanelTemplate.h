// The control panel's form: every control with its id, caption, kind and rectangle in dialog
// units, in the order the form creates them. ControlPanel builds its widgets from this table;
// tests read it to check that each control stands where the form puts it.
#pragma once

#include "ui/DialogUnits.h"

#include <span>

namespace morvik {

enum class PanelItemKind {
    AxisButton,   // X, Y, Z, S beside the readouts: ControlButton with the large font
    Readout,      // a position readout
    GroupBox,     // a frame with a title; no id
    Lamp,         // a status lamp with its caption
    RightLabel,   // static text, right-aligned; no id
    Label,        // static text, left-aligned; no id
    Arrows,       // vertical up/down arrows of an override field
    OverrideEdit, // an override percentage
    PushButton,   // a plain push button (the spindle buttons: no action)
    ActionButton, // a ControlButton push button (jog and run buttons)
    CheckButton,  // a ControlButton check box (Cut)
    Choice,       // a drop-down list of fixed choices (the jog step and speed selectors)
};

struct PanelItem {
    int id; // 0 for static items without an id
    const char* caption;
    PanelItemKind kind;
    DluRect rect;
};

// The form's size in dialog units.
inline constexpr int kPanelWidthDlu = 126;
inline constexpr int kPanelHeightDlu = 300;
// The form's font size in points.
inline constexpr int kPanelFontPoints = 8;

std::span<const PanelItem> PanelItems();

} // namespace morvik
