#include "operation/WorkOffsets.h"

#include "machine/Machine.h"

namespace morvik {

namespace {

std::size_t SystemIndex(int workSystem) {
    return workSystem >= 0 && workSystem < WorkCoord::kWorkCoordCount
               ? static_cast<std::size_t>(workSystem)
               : 0;
}

// The origin less the work coordinate system's own value: program offset and tool length.
double FixedPart(const CMachine& machine, std::size_t axis, int unit, double toolLength) {
    const double programOffset = machine.Axes()[axis].ProgramOffset().ValueIn(unit);
    return programOffset + (axis == 2 ? toolLength : 0.0);
}

} // namespace

std::array<double, kWorkAxisCount> WorkOriginOf(const CMachine& machine, int workSystem,
                                                double toolLength) {
    const int unit = machine.DefaultUnitSystem().lengthUnit;
    const WorkCoord& work = machine.WorkCoords()[SystemIndex(workSystem)];
    std::array<double, kWorkAxisCount> origin{};
    for (std::size_t axis = 0; axis < kWorkAxisCount; ++axis) {
        origin[axis] = FixedPart(machine, axis, unit, toolLength) +
                       work.Value(static_cast<int>(axis)).ValueIn(unit);
    }
    return origin;
}

void StoreWorkZero(CMachine& machine, std::size_t axis, double position, int workSystem,
                   double toolLength) {
    if (axis >= kWorkAxisCount)
        return;
    const int unit = machine.DefaultUnitSystem().lengthUnit;
    WorkCoord& work = machine.WorkCoords()[SystemIndex(workSystem)];
    work.Value(static_cast<int>(axis))
        .Set(unit, position - FixedPart(machine, axis, unit, toolLength));
}

} // namespace morvik
