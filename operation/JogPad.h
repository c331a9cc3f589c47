// Which jog action stands at each place of the control panel's jog pad, for one machine. The
// pad is drawn the way the operator looks at the machine, so that a button moves the tool the
// way it points on the screen:
//   - a mill (vertical or horizontal) keeps its form: X-/X+ across, Y+/Y- up and down, Z+/Z-
//     in the column beside them, each button there whatever the card has (a button without an
//     axis is greyed by its enable rule);
//   - a lathe is seen as its preview shows it, Z across and X up: Z-/Z+ across, X+/X- up and
//     down, Y (a lathe with a Y axis) in the column; a button whose axis is not on the card is
//     left off the pad.
// The control panel places its buttons from this and the jog keys follow the same places
// (Left, Right, Up, Down, Page Up, Page Down), so a key always jogs what the button at its
// place jogs, and never an axis the pad leaves off.
#pragma once

#include "operation/PanelAction.h"

#include <array>
#include <cstddef>
#include <optional>

namespace morvik {

class CMachine;

enum class JogPadPlace : std::size_t { ColumnUp, ColumnDown, Up, Left, Right, Down };
inline constexpr std::size_t kJogPadPlaceCount = 6;

struct JogPad {
    std::array<std::optional<PanelAction>, kJogPadPlaceCount> at{};

    const std::optional<PanelAction>& At(JogPadPlace place) const {
        return at[static_cast<std::size_t>(place)];
    }
    // Where action stands; none when the pad leaves it off.
    std::optional<JogPadPlace> PlaceOf(PanelAction action) const;
    bool operator==(const JogPad&) const = default;
};

// Whether a press of the jog action can move anything on machine: its axis is on the card, or
// for Z+ and Z- the cutter has the raise or lower macro they run. The jog buttons' enable rules
// are this in Jog mode.
bool JogHasUse(const CMachine& machine, PanelAction action);

// The pad of a mill: the panel's form as it stands.
JogPad MillJogPad();
// The pad of machine, as it is set up now (its type and which axes are on the card).
JogPad JogPadOf(const CMachine& machine);

} // namespace morvik
