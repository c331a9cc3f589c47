// Arcs (G2 clockwise, G3 counter-clockwise) in the active plane, by centre words or by R,
// with a helix on the plane's normal. Real posts round their arcs, and the allowances are
// LinuxCNC's, in the program's units: an end point off its circle by up to 0.028 mm
// (0.0028 in), or by up to 0.1 % of the radius while under a hundred times that, runs, the
// radius blending from the start's to the end's; an R arc whose half chord exceeds R by up to
// 0.00127 mm (0.00005 in) is a half circle; an end point that close to the start closes a
// full circle. Larger errors are refused with the error in the program's units.
#include "gcode/Planner.h"

#include "gcode/Number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace morvik::gcode {

namespace {

// How far an arc's end may be off its circle: absolute, relative to the radius, and the
// ceiling of the relative allowance in multiples of the absolute one.
constexpr double kEndToleranceMm = 0.02 * std::numbers::sqrt2;
constexpr double kEndToleranceInch = 0.002 * std::numbers::sqrt2;
constexpr double kEndToleranceShare = 0.001;
constexpr double kEndToleranceCeiling = 100;
// Rounding of a point: an R arc's half chord over R, an end point on its start.
constexpr double kPointToleranceMm = 0.00127;
constexpr double kPointToleranceInch = 0.00005;
constexpr double kTurn = 2 * std::numbers::pi;
// The limits are meant as written: 10.002 - 10 must not fail "0.002" by a rounding bit.
constexpr double kSlack = 1 + 1e-9;

// The centre word of each axis: I for X, J for Y, K for Z.
constexpr char kCentreLetters[] = "IJK";

// "I, J" for XY, "I, K" for ZX, "J, K" for YZ: the plane's centre words in order.
std::string CentreWords(const CPlaneAxes& axes) {
    char a = kCentreLetters[axes.first];
    char b = kCentreLetters[axes.second];
    if (a > b) {
        std::swap(a, b);
    }
    return std::string(1, a) + ", " + std::string(1, b);
}

std::string PlaneAxisNames(const CPlaneAxes& axes) {
    return std::string(1, kAxisLetters[axes.first]) + " and " +
           std::string(1, kAxisLetters[axes.second]);
}

double NormalisedSweep(double from, double to, bool clockwise, bool fullCircle) {
    if (fullCircle) {
        return clockwise ? -kTurn : kTurn;
    }
    double sweep = clockwise ? from - to : to - from;
    while (sweep <= 0) {
        sweep += kTurn;
    }
    while (sweep > kTurn) {
        sweep -= kTurn;
    }
    return clockwise ? -sweep : sweep;
}

std::string Short(double value) {
    char buffer[32];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 5);
    return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

} // namespace

// "(off by 0.012 mm)": an output length as the program writes lengths.
std::string CPlanner::Mismatch(double outputLength) const {
    const bool inch = modal_.units == CUnits::Inch;
    return "(off by " + Short(outputLength / Factor()) + (inch ? " in)" : " mm)");
}

// A length given in mm and in inches, in the output frame for the program's units.
double CPlanner::ProgramLength(double mm, double inch) const {
    return (modal_.units == CUnits::Inch ? inch : mm) * Factor();
}

std::string CPlanner::Arc(const CBlock& block, CSegmentSink& sink) {
    const CPlaneAxes axes = PlaneAxes(modal_.plane);
    if (block.Has('U') || block.Has('V') || block.Has('W')) {
        return "arcs move only X, Y and Z";
    }
    // The centre word of the plane's normal has no meaning on the arc; a non-zero one says the
    // program meant another plane.
    if (const char normal = kCentreLetters[axes.normal];
        block.Has(normal) && block.Value(normal) != 0) {
        static const char* planes[] = {"XY plane (G17)", "ZX plane (G18)", "YZ plane (G19)"};
        return "word " + std::string(1, normal) + " on an arc in the " +
               planes[static_cast<int>(modal_.plane)];
    }
    if ((setup_.fittedAxes & (1u << axes.first)) == 0 ||
        (setup_.fittedAxes & (1u << axes.second)) == 0) {
        return "arcs need the " + PlaneAxisNames(axes) + " axes";
    }
    CAxes end;
    if (auto why = Target(block, end); !why.empty()) {
        return why;
    }
    std::array<double, 2> centre{};
    if (auto why = ArcCentre(block, end, centre); !why.empty()) {
        return why;
    }
    const double sa = position_[axes.first] - centre[0];
    const double sb = position_[axes.second] - centre[1];
    const double ea = end[axes.first] - centre[0];
    const double eb = end[axes.second] - centre[1];
    const double r0 = std::hypot(sa, sb);
    const double r1 = std::hypot(ea, eb);
    if (r0 == 0) {
        return "arc of radius 0";
    }
    const double error = std::fabs(r1 - r0);
    const double absolute = ProgramLength(kEndToleranceMm, kEndToleranceInch) * kSlack;
    const bool offCircle =
        error > absolute && (error > kEndToleranceShare * std::max(r0, r1) * kSlack ||
                             error > kEndToleranceCeiling * absolute);
    if (offCircle) {
        return "arc end point is not on the circle " + Mismatch(error);
    }
    const bool clockwise = modal_.motion == CMotion::ArcCw;
    // An end on the start, to rounding, is a full circle, never an arc of nothing.
    const bool full = std::hypot(end[axes.first] - position_[axes.first],
                                 end[axes.second] - position_[axes.second]) <=
                      ProgramLength(kPointToleranceMm, kPointToleranceInch);
    double sweep = NormalisedSweep(std::atan2(sb, sa), std::atan2(eb, ea), clockwise, full);
    if (block.Has('P')) {
        const double turns = block.Value('P');
        if (turns < 1 || turns != std::floor(turns)) {
            return "P on an arc needs a whole number of turns";
        }
        sweep += (clockwise ? -kTurn : kTurn) * (turns - 1);
    }
    CSegment segment;
    segment.kind = CSegmentKind::Arc;
    segment.plane = modal_.plane;
    segment.line = line_;
    segment.start = position_;
    segment.end = end;
    segment.centre = centre;
    segment.sweep = sweep;
    segment.feed = Feed();
    sink.Add(segment);
    position_ = end;
    return {};
}

std::string CPlanner::ArcCentre(const CBlock& block, const CAxes& end,
                                std::array<double, 2>& centre) {
    const CPlaneAxes axes = PlaneAxes(modal_.plane);
    const char letterA = kCentreLetters[axes.first];
    const char letterB = kCentreLetters[axes.second];
    const bool hasA = block.Has(letterA);
    const bool hasB = block.Has(letterB);
    const double factor = Factor();
    const double startA = position_[axes.first];
    const double startB = position_[axes.second];
    if (!block.Has('R')) {
        if (!hasA && !hasB) {
            return "arc without " + CentreWords(axes) + " or R";
        }
        const double offA = hasA ? block.Value(letterA) * factor : 0;
        const double offB = hasB ? block.Value(letterB) * factor : 0;
        centre = modal_.arcCentreAbsolute
                     ? std::array<double, 2>{Origin(axes.first) + offA, Origin(axes.second) + offB}
                     : std::array<double, 2>{startA + offA, startB + offB};
        return {};
    }
    if (hasA || hasB) {
        return "R together with " + std::string(1, std::min(letterA, letterB)) + " or " +
               std::string(1, std::max(letterA, letterB));
    }
    const double radius = block.Value('R') * factor;
    const double da = end[axes.first] - startA;
    const double db = end[axes.second] - startB;
    const double chord = std::hypot(da, db);
    if (chord == 0) {
        return "an R arc needs an end point apart from its start";
    }
    const double excess = chord - 2 * std::fabs(radius);
    if (excess / 2 > ProgramLength(kPointToleranceMm, kPointToleranceInch) * kSlack) {
        return "arc radius too small for its end point " + Mismatch(excess);
    }
    const double half = chord / 2;
    const double h = excess >= 0 ? 0.0 : std::sqrt(std::max(0.0, radius * radius - half * half));
    const double ua = da / chord;
    const double ub = db / chord;
    // The short arc (R > 0) has its centre left of the chord for G3, right for G2.
    const double side = (modal_.motion == CMotion::ArcCw ? -1.0 : 1.0) * (radius > 0 ? 1.0 : -1.0);
    centre = {(startA + end[axes.first]) / 2 - ub * h * side,
              (startB + end[axes.second]) / 2 + ua * h * side};
    return {};
}

} // namespace morvik::gcode
