#include "operation/ProgramModal.h"

#include "machine/Machine.h"
#include "settings/UnitTables.h"

#include <algorithm>

namespace morvik {

namespace {

// One length in the given unit, in the unit the card reports positions in.
double LengthIn(const CDimension& value, int unit) {
    return value.ValueIn(unit);
}

} // namespace

gcode::CPlannerSetup PlannerSetupOf(const CMachine& machine) {
    const int unit = machine.DefaultUnitSystem().lengthUnit;
    gcode::CPlannerSetup setup;
    CDimension one;
    one.Set(unit::Inch, 1.0);
    setup.lengthPerUnit[0] = one.ValueIn(unit);
    one.Set(unit::Millimeter, 1.0);
    setup.lengthPerUnit[1] = one.ValueIn(unit);
    setup.feedPerUnit = setup.lengthPerUnit;
    // A program's units before any G20 or G21 are the machine's default ones.
    const bool english = machine.General().defaultUnits.Get() == kEnglishUnits;
    setup.units = english ? gcode::CUnits::Inch : gcode::CUnits::Mm;
    setup.toolLengths.assign(Tool::kToolCount + 1, 0.0);
    for (const Tool& tool : machine.Tools())
        setup.toolLengths[static_cast<std::size_t>(tool.Number())] = LengthIn(tool.Z(), unit);
    const OffsetTable& h = machine.OffsetTables()[1];
    setup.hOffsets.resize(OffsetTable::kEntryCount);
    for (int n = 0; n < OffsetTable::kEntryCount; ++n) {
        setup.hOffsets[static_cast<std::size_t>(n)] =
            LengthIn(h.Geometry(n), unit) + LengthIn(h.Wear(n), unit);
    }
    return setup;
}

const gcode::CModalState& ProgramModal::At(const CMachine& machine, std::size_t line) {
    const MachineState& state = machine.State();
    if (!started_ || loads_ != state.partLoads || line < done_)
        Restart(machine);
    const std::size_t end = std::min(line, state.partLines.size());
    gcode::CSinkFunction ignore([](const gcode::CSegment&) {});
    for (; done_ < end; ++done_) {
        // The card runs nothing after M2 or M30.
        if (planner_.Modal().stop == gcode::CStop::End)
            continue;
        const std::string& text = state.partLines[done_];
        const bool read = gcode::ReadBlock(text, static_cast<std::uint32_t>(done_ + 1), block_);
        if (block_.deleted && state.blockSkipOn)
            continue;
        if (read && !block_.empty)
            planner_.Apply(block_, ignore);
    }
    return planner_.Modal();
}

void ProgramModal::Restart(const CMachine& machine) {
    planner_ = gcode::CPlanner(PlannerSetupOf(machine));
    loads_ = machine.State().partLoads;
    done_ = 0;
    started_ = true;
}

} // namespace morvik
