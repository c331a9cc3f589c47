#include "operation/JogPad.h"

#include "machine/Machine.h"
#include "machine/MachineTables.h"

namespace morvik {

namespace {

using A = PanelAction;
using P = JogPadPlace;

struct PadEntry {
    P place;
    A action;
};

// Each + before -: the column's top and the pad's top and right are the positive directions.
constexpr PadEntry kMillPad[] = {
    {P::ColumnUp, A::JogZPlus}, {P::ColumnDown, A::JogZMinus}, {P::Up, A::JogYPlus},
    {P::Left, A::JogXMinus},    {P::Right, A::JogXPlus},       {P::Down, A::JogYMinus},
};
constexpr PadEntry kLathePad[] = {
    {P::ColumnUp, A::JogYPlus}, {P::ColumnDown, A::JogYMinus}, {P::Up, A::JogXPlus},
    {P::Left, A::JogZMinus},    {P::Right, A::JogZPlus},       {P::Down, A::JogXMinus},
};

bool Fitted(std::int32_t controllerAxis) {
    return controllerAxis != 0;
}

} // namespace

bool JogHasUse(const CMachine& machine, PanelAction action) {
    const Cutter& cutter = machine.GetCutter();
    const auto onCard = [&machine](std::size_t axis) {
        return Fitted(machine.Axes()[axis].ControllerAxis());
    };
    switch (action) {
    case A::JogXPlus:
    case A::JogXMinus:
        return onCard(0);
    case A::JogYPlus:
    case A::JogYMinus:
        return onCard(1);
    case A::JogZPlus:
        return onCard(2) || (Fitted(cutter.ControllerAxis()) && cutter.RaiseMacro() != 0);
    case A::JogZMinus:
        return onCard(2) || (Fitted(cutter.ControllerAxis()) && cutter.LowerMacro() != 0);
    default:
        return false;
    }
}

std::optional<JogPadPlace> JogPad::PlaceOf(PanelAction action) const {
    for (std::size_t i = 0; i < at.size(); ++i) {
        if (at[i] == action)
            return static_cast<JogPadPlace>(i);
    }
    return std::nullopt;
}

JogPad MillJogPad() {
    JogPad pad;
    for (const PadEntry& entry : kMillPad)
        pad.at[static_cast<std::size_t>(entry.place)] = entry.action;
    return pad;
}

JogPad JogPadOf(const CMachine& machine) {
    if (machine.General().machineType.Get() != kLatheMachineType)
        return MillJogPad();
    JogPad pad;
    for (const PadEntry& entry : kLathePad) {
        if (JogHasUse(machine, entry.action))
            pad.at[static_cast<std::size_t>(entry.place)] = entry.action;
    }
    return pad;
}

} // namespace morvik
