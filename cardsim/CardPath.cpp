#include "cardsim/CardPath.h"

#include "cardsim/CardAxis.h"

#include <cmath>

namespace morvik {

namespace {
constexpr int kX = 0;
constexpr int kY = 1;
} // namespace

CCardPath CCardPath::Line(const CCardPoint& start, const CCardPoint& end) {
    CCardPath path;
    path.start_ = start;
    path.end_ = end;
    double sum = 0;
    for (int i = 0; i < 6; ++i) {
        sum += (end[i] - start[i]) * (end[i] - start[i]);
    }
    path.length_ = std::sqrt(sum);
    return path;
}

CCardPath CCardPath::Arc(const CCardPoint& start, const CCardPoint& end, double centreX,
                         double centreY, double sweep) {
    CCardPath path;
    path.start_ = start;
    path.end_ = end;
    path.arc_ = true;
    path.centreX_ = centreX;
    path.centreY_ = centreY;
    path.radius_ = std::hypot(start[kX] - centreX, start[kY] - centreY);
    path.startAngle_ = std::atan2(start[kY] - centreY, start[kX] - centreX);
    path.sweep_ = sweep;
    double others = 0;
    for (int i = 2; i < 6; ++i) {
        others += (end[i] - start[i]) * (end[i] - start[i]);
    }
    const double planar = path.radius_ * std::fabs(sweep);
    path.length_ = std::sqrt(planar * planar + others);
    return path;
}

CCardPoint CCardPath::At(double progress) const {
    if (length_ <= 0 || progress >= length_) {
        return end_;
    }
    const double f = progress / length_;
    CCardPoint point;
    for (int i = 0; i < 6; ++i) {
        point[i] = start_[i] + (end_[i] - start_[i]) * f;
    }
    if (arc_) {
        const double angle = startAngle_ + sweep_ * f;
        point[kX] = centreX_ + radius_ * std::cos(angle);
        point[kY] = centreY_ + radius_ * std::sin(angle);
    }
    return point;
}

CCardPoint CCardPath::AxisShare() const {
    CCardPoint share{};
    if (length_ <= 0) {
        return share;
    }
    for (int i = 0; i < 6; ++i) {
        share[i] = std::fabs(end_[i] - start_[i]) / length_;
    }
    if (arc_) {
        // Along an arc X and Y each take the whole planar speed at some point.
        const double planar = radius_ * std::fabs(sweep_) / length_;
        share[kX] = planar;
        share[kY] = planar;
    }
    return share;
}

void CCardPath::Step(double wantedSpeed) {
    ramp_.Step(wantedSpeed, 0, length_, limits_, kCardStepSeconds);
}

std::uint64_t CCardPath::QuietSteps(double wantedSpeed) const {
    return ramp_.CruiseSteps(wantedSpeed, 0, length_, limits_, kCardStepSeconds);
}

void CCardPath::Jump(std::uint64_t steps) {
    ramp_.Jump(steps, kCardStepSeconds);
}

} // namespace morvik
