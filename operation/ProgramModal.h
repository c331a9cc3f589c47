// The loaded part program's modal state at the line the card runs, as the station's own G-code
// reader and planner (gcode/) follow the program: the S word and spindle direction in force,
// the work coordinate system and the tool length. The card answers only which line it runs;
// what that line leaves in force is read here from the lines the card was sent, with the
// machine's tools and H offsets, so the panel can show the commanded speed and work
// coordinates without asking the card anything more.
//
// The status cycle owns one and asks At() on every tick. It follows the program forward block
// by block; a new load or run (MachineState::partLoads) or a line before the last one asked
// starts it again from the first line. A line the reader refuses is passed over, as a preview
// would: the card stops there with a part error, which the panel reports on its own.
#pragma once

#include "gcode/Block.h"
#include "gcode/ModalState.h"
#include "gcode/Planner.h"

#include <cstddef>
#include <cstdint>

namespace morvik {

class CMachine;

// The planner's setup for the machine as it stands: lengths in the default part-program unit
// (the unit the card reports positions in), tool lengths and H offsets from its tables.
gcode::CPlannerSetup PlannerSetupOf(const CMachine& machine);

class ProgramModal {
public:
    // The modal state after the blocks of lines 1 to line (1-based) of the machine's loaded
    // program; line 0, or no program loaded, gives the state a program starts with.
    const gcode::CModalState& At(const CMachine& machine, std::size_t line);

private:
    void Restart(const CMachine& machine);

    gcode::CPlanner planner_;
    gcode::CBlock block_;
    std::uint32_t loads_ = 0; // MachineState::partLoads when the planner started over
    std::size_t done_ = 0;    // lines applied so far
    bool started_ = false;
};

} // namespace morvik
