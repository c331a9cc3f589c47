// A program move: a straight line or an XY arc (with linear motion of the other axes: a helix
// for Z) from the axes' positions to the block's end point, travelled with a trapezoidal
// speed profile along the path. The program runner gives the wanted path speed every step
// (feed or rapid times override, 0 in feed hold) and places the axes at At(progress).
#pragma once

#include "cardsim/CardRamp.h"

#include <array>
#include <cstdint>

namespace morvik {

using CCardPoint = std::array<double, 6>; // X Y Z U V W, card units

class CCardPath {
public:
    static CCardPath Line(const CCardPoint& start, const CCardPoint& end);
    // sweep in radians: positive counter-clockwise (G3), negative clockwise (G2).
    static CCardPath Arc(const CCardPoint& start, const CCardPoint& end, double centreX,
                         double centreY, double sweep);

    double Length() const { return length_; }
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
    double centreX_ = 0;
    double centreY_ = 0;
    double radius_ = 0;
    double startAngle_ = 0;
    double sweep_ = 0;
    double length_ = 0;
    CCardRamp ramp_;
    CCardRampLimits limits_{};
};

} // namespace morvik
