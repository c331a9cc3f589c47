// Drilling cycles in the active plane, along its normal (Z in G17, Y in G18, X in G19): G81
// drill, G82 drill with a dwell at the bottom, G83 peck (back to R after each peck), G73 chip
// break (a short retract after each peck). Each block with a word of the plane's axes or the
// depth word drills a hole, L times (in G91 each repeat moves on by the block's offsets): up
// to the level it approaches at when the tool is below it, across at rapid, down to R at
// rapid, the cycle's feed moves to the depth, and back at rapid to the initial level (G98:
// the higher of R and where the tool stood before the cycle's first block) or to R (G99). In
// G91, R is measured from the initial level and the depth from R, for every hole. R, the
// depth, Q and P are kept from hole to hole.
#include "gcode/Planner.h"

#include <algorithm>
#include <cmath>

namespace morvik::gcode {

namespace {

// After a peck the tool comes back down at rapid to this far above the last depth.
constexpr double kPeckClearanceMm = 0.254;
constexpr double kMaxPecks = 10000;
constexpr int kMaxRepeats = 10000;

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
    const CPlaneAxes axes = PlaneAxes(modal_.plane);
    const char depth = kAxisLetters[axes.normal];
    CModalState::Cycle& cycle = modal_.cycle;
    if (block.Has('R')) {
        cycle.r = block.Value('R');
        cycle.hasR = true;
    }
    if (block.Has(depth)) {
        cycle.z = block.Value(depth);
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
    if (block.Has('U') || block.Has('V') || block.Has('W')) {
        return name + " moves only X, Y and Z";
    }
    if (!cycle.hasR) {
        return name + " needs R";
    }
    if (!cycle.hasZ) {
        return name + " needs " + std::string(1, depth);
    }
    if (block.Has('L') && block.Whole('L') < 1) {
        return name + " needs L of 1 or more repeats";
    }
    if (block.Has('L') && block.Whole('L') > kMaxRepeats) {
        return name + " with more than 10000 repeats";
    }
    const bool pecks = modal_.motion == CMotion::Peck || modal_.motion == CMotion::ChipBreak;
    if (pecks && (!cycle.hasQ || cycle.q <= 0)) {
        return CycleName(modal_.motion) + " needs Q above 0";
    }
    if (modal_.motion == CMotion::DrillDwell && (!cycle.hasP || cycle.p < 0)) {
        return "G82 needs P with the dwell in seconds";
    }
    if ((setup_.fittedAxes & 0x07u) != 0x07u) {
        return name + " needs the X, Y and Z axes";
    }
    return {};
}

std::string CPlanner::Cycle(const CBlock& block, CSegmentSink& sink) {
    if (auto why = CycleWords(block, true); !why.empty()) {
        return why;
    }
    const CPlaneAxes axes = PlaneAxes(modal_.plane);
    const int normal = axes.normal;
    const CModalState::Cycle& cycle = modal_.cycle;
    const double factor = Factor();
    const bool incremental = modal_.distance == CDistance::Incremental;
    const double r = (incremental ? cycle.initialLevel : Origin(normal)) + cycle.r * factor;
    const double bottom = (incremental ? r : Origin(normal)) + cycle.z * factor;
    if (bottom > r) {
        return "drilling cycle " + CycleName(modal_.motion) + " with " +
               std::string(1, kAxisLetters[normal]) + " above R";
    }
    const double q = cycle.q * factor;
    if (q > 0 && (r - bottom) / q > kMaxPecks) {
        return CycleName(modal_.motion) + " would take more than 10000 pecks";
    }
    const int repeats = block.Has('L') ? block.Whole('L') : 1;
    for (int n = 0; n < repeats; ++n) {
        CAxes hole = position_;
        for (const int axis : {axes.first, axes.second}) {
            const char letter = kAxisLetters[axis];
            if (block.Has(letter)) {
                const double value = block.Value(letter) * factor;
                hole[axis] = incremental ? position_[axis] + value : Origin(axis) + value;
            }
        }
        Hole(hole, r, bottom, sink);
    }
    return {};
}

// One hole at `hole` (its normal coordinate aside), from R down to `bottom` and back.
void CPlanner::Hole(const CAxes& hole, double r, double bottom, CSegmentSink& sink) {
    const int normal = PlaneAxes(modal_.plane).normal;
    const double initial = std::max(r, modal_.cycle.initialLevel);
    // Across at the level the tool stands at, never below R; in G98 at the initial level,
    // which the tool first rises to straight up when a G99 hole left it at R.
    double approach = std::max(r, position_[normal]);
    if (modal_.retract == CRetract::Initial) {
        approach = std::max(approach, initial);
    }
    const double clear = modal_.retract == CRetract::RPlane ? r : initial;
    const auto at = [&hole, normal](double level) {
        CAxes point = hole;
        point[normal] = level;
        return point;
    };
    CAxes up = position_;
    up[normal] = approach;
    Emit(CSegmentKind::Rapid, up, sink);
    Emit(CSegmentKind::Rapid, at(approach), sink);
    Emit(CSegmentKind::Rapid, at(r), sink);
    const double clearance = kPeckClearanceMm * setup_.lengthPerUnit[static_cast<int>(CUnits::Mm)];
    const double q = modal_.cycle.q * Factor();
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
        dwell.seconds = modal_.cycle.p;
        sink.Add(dwell);
    }
    Emit(CSegmentKind::Rapid, at(clear), sink);
}

} // namespace morvik::gcode
