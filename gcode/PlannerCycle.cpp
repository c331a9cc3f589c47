// Drilling cycles in the XY plane: G81 drill, G82 drill with a dwell at the bottom, G83 peck
// (back to R after each peck), G73 chip break (a short retract after each peck). Each block
// with X, Y or Z drills one hole: up to R when the tool is below it, across at rapid, down to
// R at rapid, the cycle's feed moves to Z, and back at rapid to the initial level (G98: the
// higher of R and where the tool was) or to R (G99). In G91, R is measured from the initial
// level and Z from R. R, Z, Q and P are kept from hole to hole.
#include "gcode/Planner.h"

#include <algorithm>
#include <cmath>

namespace morvik::gcode {

namespace {

constexpr int kX = 0;
constexpr int kY = 1;
constexpr int kZ = 2;
// After a peck the tool comes back down at rapid to this far above the last depth.
constexpr double kPeckClearanceMm = 0.254;
constexpr double kMaxPecks = 10000;

std::string CycleName(CMotion motion) {
    switch (motion) {
    case CMotion::Drill:
        return "G81";
    case CMotion::DrillDwell:
        return "G82";
    case CMotion::Peck:
        return "G83";
    default:
        return "G73";
    }
}

} // namespace

std::string CPlanner::CycleWords(const CBlock& block, bool hole) {
    CModalState::Cycle& cycle = modal_.cycle;
    if (block.Has('R')) {
        cycle.r = block.Value('R');
        cycle.hasR = true;
    }
    if (block.Has('Z')) {
        cycle.z = block.Value('Z');
        cycle.hasZ = true;
    }
    if (block.Has('Q')) {
        cycle.q = block.Value('Q');
        cycle.hasQ = true;
    }
    if (block.Has('P')) {
        cycle.p = block.Value('P');
        cycle.hasP = true;
    }
    if (!hole) {
        return {};
    }
    const std::string name = "drilling cycle " + CycleName(modal_.motion);
    if (modal_.plane != CPlane::XY) {
        return name + " needs the XY plane (G17)";
    }
    if (block.Has('U') || block.Has('V') || block.Has('W')) {
        return name + " moves only X, Y and Z";
    }
    if (!cycle.hasR) {
        return name + " needs R";
    }
    if (!cycle.hasZ) {
        return name + " needs Z";
    }
    const bool pecks = modal_.motion == CMotion::Peck || modal_.motion == CMotion::ChipBreak;
    if (pecks && (!cycle.hasQ || cycle.q <= 0)) {
        return CycleName(modal_.motion) + " needs Q above 0";
    }
    if (modal_.motion == CMotion::DrillDwell && (!cycle.hasP || cycle.p < 0)) {
        return "G82 needs P with the dwell in seconds";
    }
    for (const int axis : {kX, kY, kZ}) {
        if ((setup_.fittedAxes & (1u << axis)) == 0) {
            return name + " needs the X, Y and Z axes";
        }
    }
    return {};
}

std::string CPlanner::Cycle(const CBlock& block, CSegmentSink& sink) {
    if (auto why = CycleWords(block, true); !why.empty()) {
        return why;
    }
    const CModalState::Cycle& cycle = modal_.cycle;
    const double factor = Factor();
    const bool incremental = modal_.distance == CDistance::Incremental;
    const double z0 = position_[kZ];
    const double r = (incremental ? z0 : Origin(kZ)) + cycle.r * factor;
    const double bottom = (incremental ? r : Origin(kZ)) + cycle.z * factor;
    if (bottom > r) {
        return "drilling cycle " + CycleName(modal_.motion) + " with Z above R";
    }
    const double q = cycle.q * factor;
    if (q > 0 && (r - bottom) / q > kMaxPecks) {
        return CycleName(modal_.motion) + " would take more than 10000 pecks";
    }
    CAxes hole = position_;
    for (const int axis : {kX, kY}) {
        const char letter = kAxisLetters[axis];
        if (block.Has(letter)) {
            const double value = block.Value(letter) * factor;
            hole[axis] = incremental ? position_[axis] + value : Origin(axis) + value;
        }
    }
    const double clear = modal_.retract == CRetract::RPlane ? r : std::max(r, z0);
    const auto at = [&hole](double z) {
        CAxes point = hole;
        point[kZ] = z;
        return point;
    };
    if (z0 < r) {
        CAxes up = position_;
        up[kZ] = r;
        Emit(CSegmentKind::Rapid, up, sink);
    }
    Emit(CSegmentKind::Rapid, at(position_[kZ]), sink);
    Emit(CSegmentKind::Rapid, at(r), sink);
    const double clearance = kPeckClearanceMm * setup_.lengthPerUnit[static_cast<int>(CUnits::Mm)];
    if (modal_.motion == CMotion::Peck || modal_.motion == CMotion::ChipBreak) {
        for (double depth = r - q; depth > bottom; depth -= q) {
            Emit(CSegmentKind::Feed, at(depth), sink);
            if (modal_.motion == CMotion::Peck) {
                Emit(CSegmentKind::Rapid, at(r), sink);
            }
            Emit(CSegmentKind::Rapid, at(std::min(r, depth + clearance)), sink);
        }
    }
    Emit(CSegmentKind::Feed, at(bottom), sink);
    if (modal_.motion == CMotion::DrillDwell) {
        CSegment dwell;
        dwell.kind = CSegmentKind::Dwell;
        dwell.line = line_;
        dwell.start = position_;
        dwell.end = position_;
        dwell.seconds = cycle.p;
        sink.Add(dwell);
    }
    Emit(CSegmentKind::Rapid, at(clear), sink);
    return {};
}

} // namespace morvik::gcode
