#include "operation/HomingEnd.h"

#include "controller/StringTable.h"
#include "machine/Machine.h"
#include "operation/MachineSnapshot.h"

#include <utility>

namespace morvik {

HomingEnd::HomingEnd(CMachine& machine) : machine_(machine) {}

bool HomingEnd::Watching(const MachineSnapshot& snapshot) const {
    return snapshot.mode == MachineMode::Home && snapshot.homing &&
           machine_.Homing().homingMacro.Get() != 0;
}

void HomingEnd::AxesRead(const MachineSnapshot& snapshot) {
    arrived_ = snapshot.homing && atRest_;
}

void HomingEnd::Publish(MachineSnapshot& snapshot) {
    if (!std::exchange(arrived_, false))
        return;
    machine_.State().homingUnderWay = false;
    snapshot.homing = false;
    if (snapshot.AnyAxisError())
        return;
    machine_.State().homed = true;
    snapshot.homed = true;
    if (machine_.State().views.Has(ViewKind::HomingView))
        // On a line of its own, whether or not the card's text ended one.
        machine_.Operator().AppendToView(ViewKind::HomingView,
                                         "\r" + MessageText(msg::MachineHomed) + "\r");
}

} // namespace morvik
