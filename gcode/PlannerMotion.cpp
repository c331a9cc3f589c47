// The motion of a block: its dwell, then G28, G53 or the motion mode's lines, arcs and
// drilling cycles, from the planner's position to the block's end point.
#include "gcode/Codes.h"
#include "gcode/Planner.h"

namespace morvik::gcode {

namespace {

constexpr int kZ = 2;
constexpr double kMaxDwellSeconds = 1e6;

std::string AxisName(int index) {
    return std::string(1, kAxisLetters[index]);
}

} // namespace

double CPlanner::Factor() const {
    return setup_.lengthPerUnit[static_cast<int>(modal_.units)];
}

double CPlanner::Origin(int axis) const {
    const double origin = setup_.workOrigins[modal_.coordSystem][axis];
    return axis == kZ ? origin + modal_.toolLength : origin;
}

std::string CPlanner::Target(const CBlock& block, CAxes& target) const {
    target = position_;
    const double factor = Factor();
    const bool incremental = modal_.distance == CDistance::Incremental;
    for (int i = 0; i < kAxes; ++i) {
        if (!block.Has(kAxisLetters[i])) {
            continue;
        }
        if ((setup_.fittedAxes & (1u << i)) == 0) {
            return "axis " + AxisName(i) + " is not fitted";
        }
        const double value = block.Value(kAxisLetters[i]) * factor;
        target[i] = incremental ? target[i] + value : Origin(i) + value;
    }
    return {};
}

// A move to `end`; one that goes nowhere is left out.
void CPlanner::Emit(CSegmentKind kind, const CAxes& end, CSegmentSink& sink) {
    if (end == position_) {
        return;
    }
    CSegment segment;
    segment.kind = kind;
    segment.line = line_;
    segment.start = position_;
    segment.end = end;
    segment.feed = kind == CSegmentKind::Rapid ? 0 : Feed();
    sink.Add(segment);
    position_ = end;
}

std::string CPlanner::Motion(const CBlock& block, const CBlockCodes& codes, CSegmentSink& sink) {
    if (codes.GIs(CGGroup::NonModal, CNonModal::Dwell)) {
        if (auto why = Dwell(block, sink); !why.empty()) {
            return why;
        }
    }
    if (codes.G(CGGroup::CycleCancel)) {
        modal_.motion = CMotion::None;
    }
    if (const CCode* motion = codes.G(CGGroup::Motion)) {
        const auto next = static_cast<CMotion>(motion->value);
        if (IsCycle(next) && next != modal_.motion) {
            // A cycle that starts anew needs its words again, as a machinist would expect.
            modal_.cycle = CModalState::Cycle{};
            modal_.cycle.initialLevel = position_[PlaneAxes(modal_.plane).normal];
        }
        modal_.motion = next;
    }
    if (codes.GIs(CGGroup::NonModal, CNonModal::Home)) {
        return Home(block, sink);
    }
    if (codes.GIs(CGGroup::NonModal, CNonModal::Machine)) {
        return MachineMove(block, sink);
    }
    const bool axisWords = block.HasAxisWords();
    switch (modal_.motion) {
    case CMotion::None:
        return axisWords ? "axis words without a motion code" : std::string();
    case CMotion::Rapid:
    case CMotion::Feed: {
        if (!axisWords) {
            return {};
        }
        CAxes target;
        if (auto why = Target(block, target); !why.empty()) {
            return why;
        }
        Emit(modal_.motion == CMotion::Rapid ? CSegmentKind::Rapid : CSegmentKind::Feed, target,
             sink);
        return {};
    }
    case CMotion::ArcCw:
    case CMotion::ArcCcw:
        if (!axisWords && (block.words & (LetterBit('I') | LetterBit('J') | LetterBit('K') |
                                          LetterBit('R'))) == 0) {
            return {};
        }
        return Arc(block, sink);
    default:
        if (!block.Has('X') && !block.Has('Y') && !block.Has('Z')) {
            return CycleWords(block, false);
        }
        return Cycle(block, sink);
    }
}

std::string CPlanner::Dwell(const CBlock& block, CSegmentSink& sink) {
    if (!block.Has('P') || block.Value('P') < 0 || block.Value('P') > kMaxDwellSeconds) {
        return "G4 needs P with the dwell in seconds";
    }
    CSegment segment;
    segment.kind = CSegmentKind::Dwell;
    segment.line = line_;
    segment.start = position_;
    segment.end = position_;
    segment.seconds = block.Value('P');
    sink.Add(segment);
    return {};
}

// G28: at rapid to the point given (if any), then the named axes (every fitted axis when
// none is named) to machine zero.
std::string CPlanner::Home(const CBlock& block, CSegmentSink& sink) {
    CAxes middle = position_;
    if (block.HasAxisWords()) {
        if (auto why = Target(block, middle); !why.empty()) {
            return why;
        }
    }
    CAxes end = middle;
    for (int i = 0; i < kAxes; ++i) {
        const bool fitted = (setup_.fittedAxes & (1u << i)) != 0;
        if (fitted && (!block.HasAxisWords() || block.Has(kAxisLetters[i]))) {
            end[i] = setup_.machineOrigin[i];
        }
    }
    Emit(CSegmentKind::Rapid, middle, sink);
    Emit(CSegmentKind::Rapid, end, sink);
    return {};
}

// G53: this block's axis words are machine coordinates, at rapid (G0) or feed (G1).
std::string CPlanner::MachineMove(const CBlock& block, CSegmentSink& sink) {
    if (modal_.motion != CMotion::Rapid && modal_.motion != CMotion::Feed) {
        return "G53 needs G0 or G1";
    }
    if (modal_.distance == CDistance::Incremental) {
        return "G53 with incremental distance (G91)";
    }
    CAxes target = position_;
    for (int i = 0; i < kAxes; ++i) {
        if (!block.Has(kAxisLetters[i])) {
            continue;
        }
        if ((setup_.fittedAxes & (1u << i)) == 0) {
            return "axis " + AxisName(i) + " is not fitted";
        }
        target[i] = setup_.machineOrigin[i] + block.Value(kAxisLetters[i]) * Factor();
    }
    Emit(modal_.motion == CMotion::Rapid ? CSegmentKind::Rapid : CSegmentKind::Feed, target, sink);
    return {};
}

} // namespace morvik::gcode
