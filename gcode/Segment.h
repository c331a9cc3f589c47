// What the planner makes of a part program: straight moves at rapid or feed, arcs in one of
// the three planes (with a helix on the plane's normal and linear motion of any other axis),
// and dwells, each tagged with the source line of its block. Points are in the planner's
// output frame (CPlannerSetup): work offsets, units and tool length already applied.
//
// A segment is a plain value of fixed size, handed to a sink as it is made, so that a
// program of a million lines can be drawn or run without a container of its own.
#pragma once

#include "gcode/Block.h"

#include <array>
#include <cstdint>
#include <utility>

namespace morvik::gcode {

using CAxes = std::array<double, kAxes>; // X Y Z U V W

enum class CSegmentKind : unsigned char { Rapid, Feed, Arc, Dwell };
enum class CPlane : unsigned char { XY, ZX, YZ }; // G17, G18, G19

// The plane's first and second axis (counter-clockwise runs from first to second) and its
// normal: XY is X, Y about Z; ZX is Z, X about Y; YZ is Y, Z about X.
struct CPlaneAxes {
    int first;
    int second;
    int normal;
};
constexpr CPlaneAxes PlaneAxes(CPlane plane) {
    return plane == CPlane::XY   ? CPlaneAxes{0, 1, 2}
           : plane == CPlane::ZX ? CPlaneAxes{2, 0, 1}
                                 : CPlaneAxes{1, 2, 0};
}

struct CSegment {
    CSegmentKind kind = CSegmentKind::Rapid;
    CPlane plane = CPlane::XY; // arcs
    std::uint32_t line = 0;    // source line of the block that made it
    CAxes start{};
    CAxes end{};
    // Arcs: the centre on the plane's first and second axis, and the angle swept in radians,
    // positive counter-clockwise seen from the plane's normal; beyond 2 pi for extra turns.
    // The radius runs evenly from the start's to the end's (they differ by rounding only).
    std::array<double, 2> centre{};
    double sweep = 0;
    double feed = 0;    // Feed and Arc: output length per the setup's feed time unit
    double seconds = 0; // Dwell
};

class CSegmentSink {
public:
    virtual ~CSegmentSink() = default;
    virtual void Add(const CSegment& segment) = 0;
};

// A sink from any callable taking a segment: CSinkFunction sink([&](const CSegment& s) {...});
template <class F> class CSinkFunction : public CSegmentSink {
public:
    explicit CSinkFunction(F f) : f_(std::move(f)) {}
    void Add(const CSegment& segment) override { f_(segment); }

private:
    F f_;
};

} // namespace morvik::gcode
