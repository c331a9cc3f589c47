// Block execution of the card's program runner: the words of one block, the G- and M-codes
// of the card's subset, and the moves a block plans. What the card cannot run is a part
// error that names the reason.
#include "cardsim/CardRunner.h"

#include "cardsim/CardNumber.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

namespace morvik {

namespace {

constexpr int kMaxBlocksPerStep = 10000; // blocks without motion run in one millisecond
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr int kX = 0;
constexpr int kY = 1;
constexpr int kZ = 2;

std::string AxisName(int index) {
    return std::string(1, kCardAxisLetters[index]);
}

double NormalisedSweep(double from, double to, bool clockwise, bool fullCircle) {
    const double turn = 2 * std::numbers::pi;
    if (fullCircle) {
        return clockwise ? -turn : turn;
    }
    double sweep = clockwise ? from - to : to - from;
    while (sweep <= 0) {
        sweep += turn;
    }
    while (sweep > turn) {
        sweep -= turn;
    }
    return clockwise ? -sweep : sweep;
}

} // namespace

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
        if (programState_ != CCardProgramState::Running || move_ || dwell_ > 0) {
            return;
        }
        FinishBlock();
        if (programState_ != CCardProgramState::Running) {
            return;
        }
    }
}

void CCardRunner::ExecuteLine(std::string_view text) {
    const CCardBlock block = ParseCardBlock(text);
    if (block.deleted && state_.options.blockSkip) {
        return;
    }
    if (state_.options.echoBlocks && !TrimCardText(text).empty()) {
        state_.ascii.QueueLine(text);
    }
    if (!block.error.empty()) {
        PartError(block.error);
        return;
    }
    if (block.message && state_.options.messages) {
        state_.ascii.QueueLine(*block.message);
    }
    if (block.empty) {
        return;
    }
    if (const auto why = ApplyBlock(block); !why.empty()) {
        PartError(why);
        return;
    }
    if (singleBlock_ && after_ == After::Continue && !block.OnlyNumbers()) {
        after_ = After::Pause;
    }
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

std::string CCardRunner::ApplyBlock(const CCardBlock& block) {
    int motionCode = motion_;
    bool home = false;
    std::string why = ApplyWords(block);
    if (why.empty()) {
        why = ApplyGCodes(block, motionCode, home);
    }
    if (why.empty() && block.f) {
        if (*block.f < 0) {
            return "negative feed rate";
        }
        feed_ = *block.f * state_.config.lengthFactor[units_] / state_.config.rateConv[units_];
    }
    if (why.empty()) {
        why = ApplyMCodes(block);
    }
    if (why.empty()) {
        why = PlanMotion(block, motionCode, home);
    }
    return why;
}

std::string CCardRunner::ApplyWords(const CCardBlock& block) {
    if (block.n) {
        sequence_ = *block.n;
    }
    if (block.s) {
        if (*block.s < 0) {
            return "negative spindle speed";
        }
        spindle_ = *block.s;
    }
    if (block.t) {
        if (*block.t < 0) {
            return "negative tool number";
        }
        tool_ = *block.t;
    }
    return {};
}

std::string CCardRunner::ApplyGCodes(const CCardBlock& block, int& motionCode, bool& home) {
    using Apply = std::function<std::string(CCardRunner&, const CCardBlock&)>;
    struct Rule {
        int code;
        int group;
        Apply apply;
    };
    auto motion = [&motionCode](int code) {
        return [&motionCode, code](CCardRunner&, const CCardBlock&) {
            motionCode = code;
            return std::string();
        };
    };
    auto work = [](int index) {
        return [index](CCardRunner& r, const CCardBlock&) {
            r.work_ = index;
            return std::string();
        };
    };
    const Rule rules[] = {
        {0, 1, motion(0)},
        {1, 1, motion(1)},
        {2, 1, motion(2)},
        {3, 1, motion(3)},
        {4, 0,
         [](CCardRunner& r, const CCardBlock& b) {
             if (!b.p || *b.p < 0 || *b.p > 1e6) {
                 return std::string("G4 needs P with the dwell in seconds");
             }
             r.dwell_ = r.state_.options.dryRun ? 0 : std::llround(*b.p * 1000);
             return std::string();
         }},
        {17, 2, [](CCardRunner&, const CCardBlock&) { return std::string(); }},
        {20, 6,
         [](CCardRunner& r, const CCardBlock&) {
             r.units_ = kCardEnglish;
             return std::string();
         }},
        {21, 6,
         [](CCardRunner& r, const CCardBlock&) {
             r.units_ = kCardMetric;
             return std::string();
         }},
        {28, 0,
         [&home](CCardRunner&, const CCardBlock&) {
             home = true;
             return std::string();
         }},
        {43, 8,
         [](CCardRunner& r, const CCardBlock& b) {
             const int d = r.state_.config.defaultSystem;
             if (b.h) {
                 if (*b.h < 0 || *b.h >= kCardOffsetEntries) {
                     return std::string("H offset number out of range");
                 }
                 const auto& table = r.state_.tools.h;
                 r.toolLength_ = table.geometry[d][*b.h] + table.wear[d][*b.h];
                 return std::string();
             }
             if (r.tool_ < 1 || r.tool_ > kCardTools) {
                 return std::string("G43 without H needs a tool 1 to 9");
             }
             r.toolLength_ = r.state_.tools.tools[r.tool_ - 1].lengths[d][kZ];
             return std::string();
         }},
        {49, 8,
         [](CCardRunner& r, const CCardBlock&) {
             r.toolLength_ = 0;
             return std::string();
         }},
        {54, 12, work(0)},
        {55, 12, work(1)},
        {56, 12, work(2)},
        {57, 12, work(3)},
        {58, 12, work(4)},
        {59, 12, work(5)},
        {90, 3,
         [](CCardRunner& r, const CCardBlock&) {
             r.incremental_ = false;
             return std::string();
         }},
        {91, 3,
         [](CCardRunner& r, const CCardBlock&) {
             r.incremental_ = true;
             return std::string();
         }},
    };
    std::vector<int> groups;
    for (const int code : block.gCodes) {
        const auto rule = std::find_if(std::begin(rules), std::end(rules),
                                       [code](const Rule& r) { return r.code == code; });
        if (rule == std::end(rules)) {
            return "unsupported G-code G" + std::to_string(code);
        }
        if (rule->group != 0 &&
            std::find(groups.begin(), groups.end(), rule->group) != groups.end()) {
            return "conflicting G-codes in one block";
        }
        groups.push_back(rule->group);
        if (auto why = rule->apply(*this, block); !why.empty()) {
            return why;
        }
    }
    if (home && std::find(groups.begin(), groups.end(), 1) != groups.end()) {
        return "G28 together with a motion code";
    }
    return {};
}

std::string CCardRunner::ApplyMCodes(const CCardBlock& block) {
    for (const int code : block.mCodes) {
        switch (code) {
        case 0:
        case 1: // the card has no optional-stop switch: M1 always stops
            after_ = after_ == After::End ? After::End : After::Pause;
            break;
        case 2:
        case 30:
            after_ = After::End;
            break;
        case 3:
        case 4:
        case 5:
            spindleDirection_ = code == 3 ? 1 : (code == 4 ? -1 : 0);
            break;
        default:
            return "unsupported M-code M" + std::to_string(code);
        }
    }
    return {};
}

// ---- motion ----

double CCardRunner::Origin(int axis) const {
    const int d = state_.config.defaultSystem;
    double origin = state_.config.axes[axis].programOffset + state_.work.values[work_][d][axis];
    return axis == kZ ? origin + toolLength_ : origin;
}

std::string CCardRunner::BlockTarget(const CCardBlock& block, CCardPoint& target) const {
    target = AxisPositions();
    const double factor = state_.config.lengthFactor[units_];
    for (int i = 0; i < kCardLetterAxes; ++i) {
        if (!block.axes[i]) {
            continue;
        }
        if (state_.config.axes[i].number == 0) {
            return "axis " + AxisName(i) + " is not fitted";
        }
        const double value = *block.axes[i] * factor;
        target[i] = incremental_ ? target[i] + value : Origin(i) + value;
    }
    return {};
}

std::string CCardRunner::PlanMotion(const CCardBlock& block, int motionCode, bool home) {
    motion_ = motionCode;
    if (home) {
        return PlanHome(block);
    }
    const bool arcWords = block.i || block.j || block.k || block.r;
    if (!block.HasAxisWords() && !arcWords) {
        return {};
    }
    if (motion_ < 0) {
        return "axis words without a motion code";
    }
    if (arcWords && motion_ < 2) {
        return "I, J, K or R outside an arc";
    }
    if (motion_ >= 2) {
        return PlanArc(block, motion_ == 2);
    }
    return PlanLine(block, motion_ == 0);
}

std::string CCardRunner::PlanLine(const CCardBlock& block, bool rapid) {
    CCardPoint target;
    if (auto why = BlockTarget(block, target); !why.empty()) {
        return why;
    }
    return Queue(CCardPath::Line(AxisPositions(), target), rapid);
}

std::string CCardRunner::PlanArc(const CCardBlock& block, bool clockwise) {
    if (block.k) {
        return "K is not used in the XY plane";
    }
    if (block.axes[3] || block.axes[4] || block.axes[5]) {
        return "arcs move only X, Y and Z";
    }
    if (state_.config.axes[kX].number == 0 || state_.config.axes[kY].number == 0) {
        return "arcs need the X and Y axes";
    }
    CCardPoint target;
    if (auto why = BlockTarget(block, target); !why.empty()) {
        return why;
    }
    const CCardPoint start = AxisPositions();
    const double factor = state_.config.lengthFactor[units_];
    const double chord = std::hypot(target[kX] - start[kX], target[kY] - start[kY]);
    double cx = 0;
    double cy = 0;
    if (block.r) {
        if (block.i || block.j) {
            return "R together with I or J";
        }
        const double radius = *block.r * factor;
        if (chord == 0) {
            return "an R arc needs an end point apart from its start";
        }
        const double half = chord / 2;
        if (std::fabs(radius) < half * (1 - 1e-9)) {
            return "arc radius too small for its end point";
        }
        const double h = std::sqrt(std::max(0.0, radius * radius - half * half));
        const double ux = (target[kX] - start[kX]) / chord;
        const double uy = (target[kY] - start[kY]) / chord;
        // Short arc (R > 0): the centre lies left of the chord for G3, right for G2.
        const double side = (clockwise ? -1.0 : 1.0) * (radius > 0 ? 1.0 : -1.0);
        cx = (start[kX] + target[kX]) / 2 - uy * h * side;
        cy = (start[kY] + target[kY]) / 2 + ux * h * side;
    } else {
        if (!block.i && !block.j) {
            return "arc without I, J or R";
        }
        cx = start[kX] + block.i.value_or(0) * factor;
        cy = start[kY] + block.j.value_or(0) * factor;
    }
    const double r0 = std::hypot(start[kX] - cx, start[kY] - cy);
    const double r1 = std::hypot(target[kX] - cx, target[kY] - cy);
    if (r0 == 0) {
        return "arc of radius 0";
    }
    if (std::fabs(r0 - r1) > std::max(5e-4, 1e-3 * r0)) {
        return "arc end point is not on the circle";
    }
    const double a0 = std::atan2(start[kY] - cy, start[kX] - cx);
    const double a1 = std::atan2(target[kY] - cy, target[kX] - cx);
    const double sweep = NormalisedSweep(a0, a1, clockwise, chord == 0);
    return Queue(CCardPath::Arc(start, target, cx, cy, sweep), false);
}

// G28: to the point given (if any) at rapid, then the named axes (all when none is named) to
// machine zero, the position given by each axis's machine offset.
std::string CCardRunner::PlanHome(const CCardBlock& block) {
    CCardPoint middle = AxisPositions();
    if (block.HasAxisWords()) {
        if (auto why = BlockTarget(block, middle); !why.empty()) {
            return why;
        }
    }
    CCardPoint end = middle;
    for (int i = 0; i < kCardLetterAxes; ++i) {
        if (state_.config.axes[i].number != 0 && (!block.HasAxisWords() || block.axes[i])) {
            end[i] = state_.config.axes[i].machineOffset;
        }
    }
    if (auto why = Queue(CCardPath::Line(AxisPositions(), middle), true); !why.empty()) {
        return why;
    }
    return Queue(CCardPath::Line(middle, end), true);
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

std::string CCardRunner::Queue(CCardPath path, bool rapid) {
    if (path.Length() <= 0) {
        return {};
    }
    if (auto why = CheckLimits(path); !why.empty()) {
        return why;
    }
    const CCardConfig& config = state_.config;
    if (!rapid && feed_ <= 0 && !(state_.options.dryRun && config.maxRate > 0)) {
        return "no feed rate";
    }
    const CCardPoint share = path.AxisShare();
    Move move{path, rapid, feed_, kInfinity};
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
    if (move_) {
        queued_.push_back(std::move(move));
    } else {
        move_ = std::move(move);
    }
    return {};
}

} // namespace morvik
