// Block execution of the card's program runner: each line goes through the G-code library's
// reader and planner (set up with the card's configuration, work offsets and tool tables),
// and the segments it plans are checked against the card's limits and queued as moves.
// What the card cannot run is a part error that names the reason.
#include "cardsim/CardRunner.h"

#include "cardsim/CardNumber.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace morvik {

namespace {

constexpr int kMaxBlocksPerStep = 10000; // blocks without motion run in one millisecond
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr int kZ = 2;

std::string AxisName(int index) {
    return std::string(1, kCardAxisLetters[index]);
}

} // namespace

// The planner's view of the card: lengths in card units, rates per second, the work offsets,
// tool lengths and H offsets of the default unit system.
gcode::CPlannerSetup CCardRunner::Setup() const {
    const CCardConfig& config = state_.config;
    const int d = config.defaultSystem;
    gcode::CPlannerSetup setup;
    for (int s = 0; s < kCardUnitSystems; ++s) {
        setup.lengthPerUnit[s] = config.lengthFactor[s];
        setup.feedPerUnit[s] = config.lengthFactor[s] / config.rateConv[s];
    }
    setup.units = d == kCardMetric ? gcode::CUnits::Mm : gcode::CUnits::Inch;
    setup.initialFeed = config.feedRate;
    setup.fittedAxes = 0;
    for (int i = 0; i < kCardLetterAxes; ++i) {
        if (config.axes[i].number != 0) {
            setup.fittedAxes |= static_cast<std::uint8_t>(1u << i);
        }
        setup.machineOrigin[i] = config.axes[i].machineOffset;
        for (int w = 0; w < kCardWorkCoords; ++w) {
            setup.workOrigins[w][i] = config.axes[i].programOffset + state_.work.values[w][d][i];
        }
    }
    setup.toolLengths.assign(kCardTools + 1, 0.0);
    for (int t = 1; t <= kCardTools; ++t) {
        setup.toolLengths[t] = state_.tools.tools[t - 1].lengths[d][kZ];
    }
    const CCardOffsetTable& h = state_.tools.h;
    setup.hOffsets.resize(kCardOffsetEntries);
    for (int n = 0; n < kCardOffsetEntries; ++n) {
        setup.hOffsets[n] = h.geometry[d][n] + h.wear[d][n];
    }
    setup.initialTool = tool_;
    return setup;
}

void CCardRunner::RunBlocks() {
    for (int count = 0; count < kMaxBlocksPerStep; ++count) {
        if (!program_ || next_ >= program_->LineCount()) {
            // Running off the end of the text ends the program like M2.
            after_ = After::End;
            FinishBlock();
            return;
        }
        line_ = static_cast<int>(++next_);
        ExecuteLine(program_->Line(next_ - 1));
        if (programState_ != CCardProgramState::Running || move_ || dwell_ > 0 ||
            !queued_.empty()) {
            return;
        }
        FinishBlock();
        if (programState_ != CCardProgramState::Running) {
            return;
        }
    }
}

void CCardRunner::ExecuteLine(std::string_view text) {
    const bool read = gcode::ReadBlock(text, static_cast<std::uint32_t>(line_), block_);
    if (block_.deleted && state_.options.blockSkip) {
        return;
    }
    if (state_.options.echoBlocks && !TrimCardText(text).empty()) {
        state_.ascii.QueueLine(text);
    }
    if (!read) {
        PartError(block_.error);
        return;
    }
    if (block_.hasMessage && state_.options.messages) {
        state_.ascii.QueueLine(block_.message);
    }
    if (block_.empty) {
        return;
    }
    if (const auto why = RunBlock(); !why.empty()) {
        PartError(why);
        return;
    }
    if (singleBlock_ && after_ == After::Continue && !block_.OnlyNumbers()) {
        after_ = After::Pause;
    }
}

// Plans the block from where the axes stand, checks every segment, then queues them all:
// a block the card refuses moves nothing.
std::string CCardRunner::RunBlock() {
    planner_.SetPosition(AxisPositions());
    segments_.clear();
    gcode::CSinkFunction sink([this](const gcode::CSegment& s) { segments_.push_back(s); });
    std::string why = planner_.Apply(block_, sink);
    modalTouched_ = true;
    TakeModalState();
    for (const gcode::CSegment& segment : segments_) {
        if (why.empty()) {
            why = Queue(segment);
        }
    }
    if (!why.empty()) {
        queued_.clear();
        return why;
    }
    switch (planner_.Modal().stop) {
    case gcode::CStop::Pause:
    case gcode::CStop::OptionalPause: // the card has no optional-stop switch: M1 always stops
        after_ = after_ == After::End ? After::End : After::Pause;
        break;
    case gcode::CStop::End:
        after_ = After::End;
        break;
    case gcode::CStop::None:
        break;
    }
    StartNextMove();
    return {};
}

// What the queries and the spindle read: sequence number, tool, spindle speed and direction.
void CCardRunner::TakeModalState() {
    const gcode::CModalState& modal = planner_.Modal();
    sequence_ = modal.sequence;
    tool_ = modal.ActiveTool();
    spindle_ = modal.speed;
    spindleDirection_ = modal.spindle == gcode::CSpindle::Clockwise          ? 1
                        : modal.spindle == gcode::CSpindle::CounterClockwise ? -1
                                                                             : 0;
}

CardModes CCardRunner::Modes() const {
    const gcode::CModalState& modal = planner_.Modal();
    CardModes modes;
    modes.motion = static_cast<int>(modal.motion);
    modes.plane = static_cast<int>(modal.plane);
    modes.inch = modal.units == gcode::CUnits::Inch;
    modes.incremental = modal.distance == gcode::CDistance::Incremental;
    modes.workSystem = modal.coordSystem;
    modes.toolLengthOn = modal.toolLengthOn;
    modes.h = modal.toolLengthOn && modal.toolLengthH >= 0 ? modal.toolLengthH : CardModes::kNoH;
    modes.spindle = static_cast<int>(modal.spindle);
    modes.mist = modal.mist;
    modes.flood = modal.flood;
    modes.retractR = modal.retract == gcode::CRetract::RPlane;
    modes.feedGiven = modal.feedGiven;
    modes.tool = modal.ActiveTool();
    modes.feed = modal.feedGiven ? modal.feedWord : 0.0;
    modes.speed = modal.speed;
    modes.toolLength = modal.toolLengthOn ? modal.toolLength : 0.0;
    return modes;
}

void CCardRunner::PartError(const std::string& why) {
    programState_ = CCardProgramState::Error;
    after_ = After::Continue;
    queued_.clear();
    dwell_ = 0;
    spindleDirection_ = 0;
    if (state_.options.messages) {
        state_.ascii.QueueLine("PART ERROR line " + std::to_string(line_) + ": " + why);
    }
}

std::string CCardRunner::CheckLimits(const CCardPath& path) const {
    constexpr int kSamples = 64;
    for (int i = 0; i < kCardLetterAxes; ++i) {
        const CCardAxisConfig& axis = state_.config.axes[i];
        if (axis.number == 0 || !axis.HasLimits()) {
            continue;
        }
        const double tolerance = 1e-9 * std::max(1.0, axis.upLimit - axis.lowLimit);
        for (int k = 0; k <= kSamples; ++k) {
            const double p = path.At(path.Length() * k / kSamples)[i];
            if (p < axis.lowLimit - tolerance || p > axis.upLimit + tolerance) {
                return "axis " + AxisName(i) + " would pass its soft limit";
            }
        }
    }
    return {};
}

std::string CCardRunner::Queue(const gcode::CSegment& segment) {
    const int line = static_cast<int>(segment.line);
    if (segment.kind == gcode::CSegmentKind::Dwell) {
        Move dwell;
        dwell.line = line;
        dwell.dwell = true;
        dwell.seconds = segment.seconds;
        queued_.push_back(dwell);
        return {};
    }
    const bool rapid = segment.kind == gcode::CSegmentKind::Rapid;
    CCardPath path = CCardPath::Line(segment.start, segment.end);
    if (segment.kind == gcode::CSegmentKind::Arc) {
        const gcode::CPlaneAxes axes = gcode::PlaneAxes(segment.plane);
        path = CCardPath::Arc(segment.start, segment.end, axes.first, axes.second,
                              segment.centre[0], segment.centre[1], segment.sweep);
    }
    if (path.Length() <= 0) {
        return {};
    }
    if (auto why = CheckLimits(path); !why.empty()) {
        return why;
    }
    const CCardConfig& config = state_.config;
    if (!rapid && segment.feed <= 0 && !(state_.options.dryRun && config.maxRate > 0)) {
        return "no feed rate";
    }
    const CCardPoint share = path.AxisShare();
    Move move{path, rapid, segment.feed, kInfinity, line};
    double accel = kInfinity;
    double decel = kInfinity;
    for (int i = 0; i < kCardLetterAxes; ++i) {
        const CCardAxisConfig& axis = config.axes[i];
        if (axis.number == 0 || share[i] <= 0) {
            continue;
        }
        if (axis.rapidRate > 0) {
            move.axisCap = std::min(move.axisCap, axis.rapidRate / share[i]);
        }
        if (axis.rapidAccel > 0) {
            accel = std::min(accel, axis.rapidAccel / share[i]);
        }
        if (axis.rapidDecel > 0) {
            decel = std::min(decel, axis.rapidDecel / share[i]);
        }
    }
    const auto orNone = [](double v) { return std::isinf(v) ? 0.0 : v; };
    move.path.SetLimits(rapid ? CCardRampLimits{orNone(accel), orNone(decel)}
                              : CCardRampLimits{config.feedAccel, config.feedDecel});
    queued_.push_back(std::move(move));
    return {};
}

} // namespace morvik
