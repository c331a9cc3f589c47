#include "gcode/Rs274Output.h"

#include <array>
#include <charconv>
#include <cmath>

namespace morvik::gcode::test {

namespace {

constexpr double kMmPerInch = 25.4;

// "   12 N..... STRAIGHT_FEED(1.0000, ...)": the command's name and what stands in brackets.
bool SplitCommand(std::string_view line, std::string_view& name, std::string_view& args) {
    const auto open = line.find('(');
    const auto close = line.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
        return false;
    }
    auto begin = line.find_last_of(' ', open);
    begin = begin == std::string_view::npos ? 0 : begin + 1;
    name = line.substr(begin, open - begin);
    args = line.substr(open + 1, close - open - 1);
    return true;
}

// Every number in the arguments, in order ("0.0000 0.0000 25.4000, ..." or "1, 2.5").
std::vector<double> Numbers(std::string_view args) {
    std::vector<double> numbers;
    const char* p = args.data();
    const char* end = p + args.size();
    while (p < end) {
        if ((*p >= '0' && *p <= '9') || *p == '-' || *p == '.') {
            double value = 0;
            const auto [next, ec] = std::from_chars(p, end, value);
            if (ec == std::errc()) {
                numbers.push_back(value);
                p = next;
                continue;
            }
        }
        ++p;
    }
    return numbers;
}

// The interpreter's state as far as the points it prints depend on it.
struct CCanon {
    double mmPerUnit = 1;
    CAxes g5x{};  // mm
    CAxes g92{};  // mm
    CAxes tool{}; // mm
    CPlane plane = CPlane::XY;
    double feed = 0; // mm per minute

    double Resolution() const { return 0.00005 * mmPerUnit; }
    double Machine(int axis, double printed) const {
        return printed * mmPerUnit + g5x[axis] + g92[axis] + tool[axis];
    }
    // STRAIGHT_*'s "x, y, z, a, b, c[, u, v, w]" as our axes X Y Z U V W.
    CAxes Point(const std::vector<double>& n) const {
        CAxes point{};
        for (int i = 0; i < 3 && i < static_cast<int>(n.size()); ++i) {
            point[i] = Machine(i, n[i]);
        }
        for (int i = 3; i < 6 && i + 3 < static_cast<int>(n.size()); ++i) {
            point[i] = Machine(i, n[i + 3]);
        }
        return point;
    }
    // Offsets are printed as "x, y, z, a, b, c[, u, v, w]" (after an index for G5X).
    CAxes Offset(const std::vector<double>& n, std::size_t first) const {
        CAxes offset{};
        for (int i = 0; i < 3 && first + i < n.size(); ++i) {
            offset[i] = n[first + i] * mmPerUnit;
        }
        for (int i = 3; i < 6 && first + i + 3 < n.size(); ++i) {
            offset[i] = n[first + i + 3] * mmPerUnit;
        }
        return offset;
    }
};

// ARC_FEED(first_end, second_end, first_centre, second_centre, rotation, normal_end, a, b, c
// [, u, v, w]): "first" and "second" are the plane's axes in our order (XY: X, Y; XZ: Z, X;
// YZ: Y, Z), the same order the planner's segments use.
CRefMove Arc(const CCanon& canon, const std::vector<double>& n, const CAxes& from) {
    CRefMove move;
    move.kind = CSegmentKind::Arc;
    move.plane = canon.plane;
    const CPlaneAxes axes = PlaneAxes(canon.plane);
    move.end = from;
    if (n.size() < 6) {
        return move;
    }
    move.end[axes.first] = canon.Machine(axes.first, n[0]);
    move.end[axes.second] = canon.Machine(axes.second, n[1]);
    move.centre = {canon.Machine(axes.first, n[2]), canon.Machine(axes.second, n[3])};
    move.rotation = static_cast<int>(n[4]);
    move.end[axes.normal] = canon.Machine(axes.normal, n[5]);
    for (int i = 3; i < 6 && i + 3 < static_cast<int>(n.size()); ++i) {
        move.end[i] = canon.Machine(i, n[i + 3]);
    }
    return move;
}

void ReadError(std::string_view err, CRefRun& run) {
    std::vector<std::string_view> lines;
    while (!err.empty()) {
        const auto eol = err.find('\n');
        std::string_view line = err.substr(0, eol);
        err = eol == std::string_view::npos ? std::string_view() : err.substr(eol + 1);
        if (!line.empty() && line != "executing") {
            lines.push_back(line);
        }
    }
    if (!lines.empty()) {
        run.error = lines[0];
    }
    if (lines.size() > 1) {
        run.refusedText = lines[1];
    }
}

} // namespace

CRefRun ParseRs274(std::string_view out, std::string_view err, bool exitedOk) {
    CRefRun run;
    CCanon canon;
    CAxes at{}; // rs274 starts at machine zero
    while (!out.empty()) {
        const auto eol = out.find('\n');
        const std::string_view line = out.substr(0, eol);
        out = eol == std::string_view::npos ? std::string_view() : out.substr(eol + 1);
        std::string_view name;
        std::string_view args;
        if (!SplitCommand(line, name, args)) {
            continue;
        }
        if (name == "USE_LENGTH_UNITS") {
            canon.mmPerUnit = args.find("INCHES") != std::string_view::npos ? kMmPerInch : 1.0;
            continue;
        }
        if (name == "SELECT_PLANE") {
            canon.plane = args.find("XZ") != std::string_view::npos   ? CPlane::ZX
                          : args.find("YZ") != std::string_view::npos ? CPlane::YZ
                                                                      : CPlane::XY;
            continue;
        }
        const std::vector<double> n = Numbers(args);
        CRefMove move;
        move.resolution = canon.Resolution();
        if (name == "SET_G5X_OFFSET") {
            canon.g5x = canon.Offset(n, 1);
        } else if (name == "SET_G92_OFFSET") {
            canon.g92 = canon.Offset(n, 0);
        } else if (name == "USE_TOOL_LENGTH_OFFSET") {
            canon.tool = canon.Offset(n, 0);
        } else if (name == "SET_FEED_RATE" && !n.empty()) {
            canon.feed = n[0] * canon.mmPerUnit;
        } else if (name == "STRAIGHT_TRAVERSE" || name == "STRAIGHT_FEED") {
            move.kind = name == "STRAIGHT_FEED" ? CSegmentKind::Feed : CSegmentKind::Rapid;
            move.end = canon.Point(n);
            move.feed = move.kind == CSegmentKind::Feed ? canon.feed : 0;
            run.moves.push_back(move);
            at = move.end;
        } else if (name == "ARC_FEED") {
            CRefMove arc = Arc(canon, n, at);
            arc.feed = canon.feed;
            arc.resolution = move.resolution;
            run.moves.push_back(arc);
            at = arc.end;
        } else if (name == "DWELL" && !n.empty()) {
            move.kind = CSegmentKind::Dwell;
            move.end = at;
            move.seconds = n[0];
            run.moves.push_back(move);
        }
    }
    run.refused = !exitedOk;
    if (run.refused) {
        ReadError(err, run);
    }
    return run;
}

} // namespace morvik::gcode::test
