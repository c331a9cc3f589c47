// The control panel's widget ids and the action each one sends to the core. The ids are the
// form's (PanelTemplate.cpp) and name the widgets ("ctl" + id); the core knows only actions.
#pragma once

#include "operation/PanelAction.h"

#include <optional>

namespace morvik {

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
inline constexpr int kStop = 1320;
inline constexpr int kJogIncrement = 1321;
inline constexpr int kJogSpeed = 1322;
// The MDI panel's command line (MdiCommandLine.h).
inline constexpr int kMdiCommandLine = 1300;
inline constexpr int kMdiCompose = 1301;
inline constexpr int kMdiFeedback = 1302;
inline constexpr int kMdiHistory = 1303;
inline constexpr int kMdiModes = 1304; // the card's modes in force
// The information strip (MachineInfoStrip.h): the work / machine coordinates switch and
// touch-off.
inline constexpr int kWorkReadouts = 1340;
inline constexpr int kWorkZeroX = 1341;
inline constexpr int kWorkZeroY = 1342;
inline constexpr int kWorkZeroZ = 1343;
} // namespace control

class MachineOperation;

// The action of a control; nullopt for an id that has none (lamps, readouts, labels).
std::optional<PanelAction> ActionOfControl(int id);
// True for the six jog buttons.
bool IsJogControl(int id);
// The update pass's rule for a control: its action's enable rule; without a machine (null)
// only the Cut box and the override fields and arrows stay enabled. A control without an
// action is enabled.
bool ControlEnabled(const MachineOperation* operation, int id);

} // namespace morvik
