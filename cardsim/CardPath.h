// A program move: a straight line or an arc in one plane of two axes (with linear motion of
// the other axes: a helix for the third) from the axes' positions to the block's end point,
// travelled with a trapezoidal speed profile along the path. The program runner gives the wanted
// path speed every step (feed or rapid times override, 0 in feed hold) and places the axes at
// At(progress).
#pragma once

#include "cardsim/CardRamp.h"

#include <array>
#include <cstdint>

namespace morvik {

using CCardPoint = std::array<double, 6>; // X Y Z U V W, card units

class CCardPath {
public:
    static CCardPath Line(const CCardPoint& start, const CCardPoint& end);
    // An arc from the first plane axis towards the second (X, Y for G17): sweep in radians,
    // positive counter-clockwise (G3), negative clockwise (G2). The radius runs evenly from
    // the start's to the end's, so that a rounded end point is met exactly.
    static CCardPath Arc(const CCardPoint& start, const CCardPoint& end, int first, int second,
                         double centreFirst, double centreSecond, double sweep);

    double Length() const { return length_; }
    bool IsArc() const { return arc_; }
    CCardPoint At(double progress) const;
    const CCardPoint& Start() const { return start_; }
    const CCardPoint& End() const { return end_; }
    // Largest share of the path speed that falls on each axis (for per-axis rate limits).
    CCardPoint AxisShare() const;

    void SetLimits(const CCardRampLimits& limits) { limits_ = limits; }
    const CCardRampLimits& Limits() const { return limits_; }
    void Step(double wantedSpeed);
    std::uint64_t QuietSteps(double wantedSpeed) const;
    void Jump(std::uint64_t steps);
    double Progress() const { return ramp_.Position(); }
    double Speed() const { return ramp_.Velocity(); }
    bool Done() const { return ramp_.Position() >= length_; }

private:
    CCardPoint start_{};
    CCardPoint end_{};
    bool arc_ = false;
    int first_ = 0;
    int second_ = 1;
    double centreFirst_ = 0;
    double centreSecond_ = 0;
    double radius_ = 0;
    double endRadius_ = 0;
    double startAngle_ = 0;
    double sweep_ = 0;
    double length_ = 0;
    CCardRamp ramp_;
    CCardRampLimits limits_{};
};

} // namespace morvik
