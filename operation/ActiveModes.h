// The card's modal state as the station reads and shows it (CardModes.h has what the card
// answers). The status cycle reads it on every tick in Run, MDI and Jog mode; touch-off reads it
// when it is given. The MDI panel shows it as one line of codes, and Start in Run mode names
// the modes an earlier MDI block (or program) left in force that a part program written for a
// machine just switched on would not expect.
#pragma once

#include "controller/CardModes.h"

#include <optional>
#include <string>

namespace morvik {

class CMachine;
class MotionController;

// The four queries, in the order modes word, F, S, tool length; empty when the card refused
// any of them (a card that does not answer its modal state).
std::optional<CardModes> ReadCardModes(MotionController& card);

// "G1 G17 G21 G90 G94 G54 G43 H1 T1 F500 S1000 M3": motion, plane, units, distance, feed mode,
// work system, tool length (G43 with its H, or G49), the tool in the spindle when there is
// one, F, S, spindle, and M7/M8 when a coolant is on.
std::string ActiveModesText(const CardModes& modes);

// The modes that differ from the state the card is in when it is switched on - incremental
// distance, units other than the machine's default, a work system other than G54, a tool
// length in force - as codes ("G91 G20 G55 G43 H1"); empty when there are none.
std::string ModesLeftInForce(const CardModes& modes, bool defaultInch);

// The tool length in force with its unit and code: "25 mm (G43 H2)", "0 mm (G49)".
std::string ToolLengthText(const CardModes& modes, const CMachine& machine);

// Whether the machine's default part-program units are inches.
bool DefaultUnitsInch(const CMachine& machine);

} // namespace morvik
