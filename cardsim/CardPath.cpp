#include "cardsim/CardPath.h"

#include "cardsim/CardAxis.h"

#include <cmath>

namespace morvik {

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

CCardPath CCardPath::Arc(const CCardPoint& start, const CCardPoint& end, int first, int second,
                         double centreFirst, double centreSecond, double sweep) {
    CCardPath path;
    path.start_ = start;
    path.end_ = end;
    path.arc_ = true;
    path.first_ = first;
    path.second_ = second;
    path.centreFirst_ = centreFirst;
    path.centreSecond_ = centreSecond;
    path.radius_ = std::hypot(start[first] - centreFirst, start[second] - centreSecond);
    path.endRadius_ = std::hypot(end[first] - centreFirst, end[second] - centreSecond);
    path.startAngle_ = std::atan2(start[second] - centreSecond, start[first] - centreFirst);
    path.sweep_ = sweep;
    double others = 0;
    for (int i = 0; i < 6; ++i) {
        if (i != first && i != second) {
            others += (end[i] - start[i]) * (end[i] - start[i]);
        }
    }
    const double planar = (path.radius_ + path.endRadius_) / 2 * std::fabs(sweep);
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
        const double radius = radius_ + (endRadius_ - radius_) * f;
        point[first_] = centreFirst_ + radius * std::cos(angle);
        point[second_] = centreSecond_ + radius * std::sin(angle);
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
        // Along an arc both plane axes take the whole planar speed at some point.
        const double planar = (radius_ + endRadius_) / 2 * std::fabs(sweep_) / length_;
        share[first_] = planar;
        share[second_] = planar;
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
