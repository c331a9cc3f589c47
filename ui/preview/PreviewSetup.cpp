#include "ui/preview/PreviewSetup.h"

#include "machine/Machine.h"
#include "machine/MachineTables.h"
#include "settings/UnitTables.h"

namespace morvik::preview {

namespace {

// Program units of the two systems per the card's length unit (the default system's).
void SetUnits(const CMachine& machine, CPreviewSetup& setup) {
    const GeneralSettings& general = machine.General();
    const int defaultUnit = machine.DefaultUnitSystem().lengthUnit;
    const double perMetre = LengthUnitFactor(defaultUnit);
    const int systems[2] = {kEnglishUnits, kMetricUnits}; // G20, G21
    for (int i = 0; i < 2; ++i) {
        const double factor = perMetre / LengthUnitFactor(general.System(systems[i]).lengthUnit);
        setup.planner.lengthPerUnit[i] = factor;
        setup.planner.feedPerUnit[i] = factor;
    }
    const bool english = general.defaultUnits.Get() == kEnglishUnits;
    setup.planner.units = english ? gcode::CUnits::Inch : gcode::CUnits::Mm;
    setup.unitSymbol = LengthUnitSymbol(defaultUnit);
}

void SetOrigins(const CMachine& machine, int unit, CPreviewSetup& setup) {
    const auto& axes = machine.Axes();
    for (int a = 0; a < gcode::kAxes; ++a) {
        const double program = axes[a].ProgramOffset().ValueIn(unit);
        setup.planner.machineOrigin[a] = axes[a].MachineOffset().ValueIn(unit);
        for (int w = 0; w < WorkCoord::kWorkCoordCount; ++w)
            setup.planner.workOrigins[w][a] =
                program + machine.WorkCoords()[w].Value(a).ValueIn(unit);
        if (axes[a].ControllerAxis() == 0)
            setup.planner.fittedAxes &= static_cast<std::uint8_t>(~(1u << a));
        const double lower = axes[a].LowerLimit().ValueIn(unit);
        const double upper = axes[a].UpperLimit().ValueIn(unit);
        setup.limits.set[a] = axes[a].ControllerAxis() != 0 && upper > lower;
        setup.limits.lower[a] = lower;
        setup.limits.upper[a] = upper;
    }
    setup.workZero = setup.planner.workOrigins[0];
}

void SetToolLengths(const CMachine& machine, int unit, CPreviewSetup& setup) {
    setup.planner.toolLengths.assign(Tool::kToolCount + 1, 0.0);
    for (const Tool& tool : machine.Tools())
        setup.planner.toolLengths[tool.Number()] = tool.Z().ValueIn(unit);
    for (const OffsetTable& table : machine.OffsetTables()) {
        if (table.Letter() != 'H')
            continue;
        setup.planner.hOffsets.assign(OffsetTable::kEntryCount, 0.0);
        for (int h = 0; h < OffsetTable::kEntryCount; ++h)
            setup.planner.hOffsets[h] =
                table.Geometry(h).ValueIn(unit) + table.Wear(h).ValueIn(unit);
    }
}

} // namespace

CPreviewSetup PreviewSetupOf(const CMachine& machine) {
    CPreviewSetup setup;
    const int unit = machine.DefaultUnitSystem().lengthUnit;
    SetUnits(machine, setup);
    SetOrigins(machine, unit, setup);
    SetToolLengths(machine, unit, setup);
    setup.blockDelete = machine.State().blockSkipOn;
    setup.lathe = machine.General().machineType.Get() == kLatheMachineType;
    return setup;
}

bool SameMachineSetup(const CPreviewSetup& a, const CPreviewSetup& b) {
    const gcode::CPlannerSetup& p = a.planner;
    const gcode::CPlannerSetup& q = b.planner;
    return p.lengthPerUnit == q.lengthPerUnit && p.feedPerUnit == q.feedPerUnit &&
           p.units == q.units && p.initialFeed == q.initialFeed && p.workOrigins == q.workOrigins &&
           p.machineOrigin == q.machineOrigin && p.toolLengths == q.toolLengths &&
           p.hOffsets == q.hOffsets && p.fittedAxes == q.fittedAxes &&
           a.limits.set == b.limits.set && a.limits.lower == b.limits.lower &&
           a.limits.upper == b.limits.upper && a.workZero == b.workZero &&
           a.unitSymbol == b.unitSymbol && a.blockDelete == b.blockDelete && a.lathe == b.lathe;
}

} // namespace morvik::preview

namespace morvik::preview {

gcode::CModalState ModalOf(const CardModes& modes, const gcode::CPlannerSetup& planner) {
    gcode::CModalState modal = gcode::CPlanner(planner).Modal();
    if (modes.motion >= 0 && modes.motion <= static_cast<int>(gcode::CMotion::ChipBreak))
        modal.motion = static_cast<gcode::CMotion>(modes.motion);
    if (modes.plane >= 0 && modes.plane <= static_cast<int>(gcode::CPlane::YZ))
        modal.plane = static_cast<gcode::CPlane>(modes.plane);
    modal.units = modes.inch ? gcode::CUnits::Inch : gcode::CUnits::Mm;
    modal.distance = modes.incremental ? gcode::CDistance::Incremental : gcode::CDistance::Absolute;
    modal.coordSystem = modes.workSystem >= 0 && modes.workSystem < 6 ? modes.workSystem : 0;
    modal.toolLengthOn = modes.toolLengthOn;
    modal.toolLength = modes.toolLengthOn ? modes.toolLength : 0.0;
    modal.toolLengthH = modes.toolLengthOn && modes.h != CardModes::kNoH ? modes.h : -1;
    modal.spindle = modes.spindle == 1   ? gcode::CSpindle::Clockwise
                    : modes.spindle == 2 ? gcode::CSpindle::CounterClockwise
                                         : gcode::CSpindle::Off;
    modal.mist = modes.mist;
    modal.flood = modes.flood;
    modal.retract = modes.retractR ? gcode::CRetract::RPlane : gcode::CRetract::Initial;
    modal.feedGiven = modes.feedGiven;
    modal.feedWord = modes.feedGiven ? modes.feed : 0.0;
    modal.speed = modes.speed;
    modal.selectedTool = modes.tool;
    modal.spindleTool = modes.tool;
    return modal;
}

void StartAtTheMachine(CPreviewSetup& setup, const CToolpathFeed& feed) {
    setup.start = setup.workZero;
    if (feed.toolKnown) {
        for (std::size_t a = 0; a < feed.tool.size(); ++a)
            setup.start[a] = feed.tool[a];
    }
    if (feed.modes) {
        setup.planner.initialTool = feed.modes->tool;
        setup.modal = ModalOf(*feed.modes, setup.planner);
    }
}

} // namespace morvik::preview
