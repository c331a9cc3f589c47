#include "operation/ProgramFollow.h"

#include "controller/ControllerCodes.h"
#include "machine/Machine.h"
#include "operation/MachineSnapshot.h"

#include <algorithm>
#include <cstddef>

namespace morvik {

// The line the card runs now, or the last one seen since the program was (re)started.
void ProgramFollow::Follow(MachineSnapshot& snapshot, const CMachine& machine) {
    const MachineState& state = machine.State();
    if (followedLoads_ != state.partLoads) {
        followedLoads_ = state.partLoads;
        lastLine_ = 0;
    }
    if (snapshot.runningLine)
        lastLine_ = std::max(*snapshot.runningLine, 0);
    // A finished program ran to its end (M2, M30 or its last line), whatever the card's last
    // line was when it was last seen running. In MDI mode the word is the block's.
    if (snapshot.mode == MachineMode::Run && snapshot.programStatus &&
        (*snapshot.programStatus & psw::Finished))
        lastLine_ = static_cast<std::int32_t>(state.partLines.size());
    snapshot.lastLine = lastLine_;
    if (!snapshot.cardModes) {
        FromTheText(snapshot, machine);
        return;
    }
    const CardModes& card = *snapshot.cardModes;
    snapshot.commandedSpeed = card.speed;
    snapshot.spindleDirection = card.spindle == 1 ? 1 : card.spindle == 2 ? -1 : 0;
    snapshot.workSystem = card.workSystem;
    snapshot.toolLength = card.toolLength;
}

// A card that does not answer its modes: the loaded program's, as the G-code reader follows it.
void ProgramFollow::FromTheText(MachineSnapshot& snapshot, const CMachine& machine) {
    if (!machine.State().partLoaded)
        return;
    const gcode::CModalState& modal = modal_.At(machine, static_cast<std::size_t>(lastLine_));
    snapshot.commandedSpeed = modal.speed;
    snapshot.spindleDirection = modal.spindle == gcode::CSpindle::Clockwise          ? 1
                                : modal.spindle == gcode::CSpindle::CounterClockwise ? -1
                                                                                     : 0;
    snapshot.workSystem = modal.coordSystem;
    snapshot.toolLength = modal.toolLengthOn ? modal.toolLength : 0.0;
}

} // namespace morvik
