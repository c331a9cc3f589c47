#include "cardsim/CardRamp.h"

#include <algorithm>
#include <cmath>

namespace morvik {

double CardBrakingSpeed(double distance, double decel, double dt) {
    if (distance <= 0) {
        return 0;
    }
    if (decel <= 0 || std::isinf(distance)) {
        return CCardRamp::kNone;
    }
    const double half = decel * dt / 2;
    return std::sqrt(half * half + 2 * decel * distance) - half;
}

double CardBrakingDistance(double speed, double decel, double dt) {
    if (decel <= 0) {
        return 0;
    }
    const double v = std::fabs(speed);
    return v * v / (2 * decel) + v * dt / 2;
}

namespace {

double Approach(double from, double to, double maxChange) {
    if (std::isinf(maxChange) || std::fabs(to - from) <= maxChange) {
        return to;
    }
    return from + (to > from ? maxChange : -maxChange);
}

double RateFor(double v, double wanted, const CCardRampLimits& limits) {
    const bool speedingUp = (v == 0) || (v * wanted > 0 && std::fabs(wanted) > std::fabs(v));
    const double rate = speedingUp ? limits.accel : limits.decel;
    return rate > 0 ? rate : CCardRamp::kNone;
}

} // namespace

void CCardRamp::Place(double position, double velocity) {
    position_ = position;
    velocity_ = velocity;
    anchored_ = false;
}

bool CCardRamp::Cruising(double wanted, double lower, double upper, const CCardRampLimits& limits,
                         double dt) const {
    if (velocity_ == 0 || velocity_ != wanted) {
        return false;
    }
    const double room = velocity_ > 0 ? upper - position_ : position_ - lower;
    return CardBrakingSpeed(room, limits.decel, dt) >= std::fabs(velocity_);
}

void CCardRamp::Integrate(double wanted, const CCardRampLimits& limits, double dt) {
    const double rate = RateFor(velocity_, wanted, limits);
    velocity_ = Approach(velocity_, wanted, rate * dt);
    position_ += velocity_ * dt;
}

void CCardRamp::Step(double wanted, double lower, double upper, const CCardRampLimits& limits,
                     double dt) {
    const double up = CardBrakingSpeed(upper - position_, limits.decel, dt);
    const double down = CardBrakingSpeed(position_ - lower, limits.decel, dt);
    const double bounded = std::clamp(wanted, -down, up);
    if (Cruising(bounded, lower, upper, limits, dt) && bounded == wanted) {
        if (!anchored_) {
            anchored_ = true;
            anchor_ = position_;
            anchorSteps_ = 0;
        }
        ++anchorSteps_;
        position_ = anchor_ + velocity_ * dt * static_cast<double>(anchorSteps_);
    } else {
        anchored_ = false;
        Integrate(bounded, limits, dt);
    }
    if (position_ >= upper && velocity_ >= 0) {
        position_ = upper;
        velocity_ = 0;
        anchored_ = false;
    } else if (position_ <= lower && velocity_ <= 0) {
        position_ = lower;
        velocity_ = 0;
        anchored_ = false;
    }
}

std::uint64_t CCardRamp::CruiseSteps(double wanted, double lower, double upper,
                                     const CCardRampLimits& limits, double dt) const {
    if (!Cruising(wanted, lower, upper, limits, dt)) {
        return 0;
    }
    const double room = velocity_ > 0 ? upper - position_ : position_ - lower;
    if (std::isinf(room)) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    const double braking = CardBrakingDistance(velocity_, limits.decel, dt);
    const double steps = std::floor((room - braking) / (std::fabs(velocity_) * dt)) - 2;
    if (!(steps > 0)) {
        return 0;
    }
    return steps > 1e15 ? static_cast<std::uint64_t>(1e15) : static_cast<std::uint64_t>(steps);
}

void CCardRamp::Jump(std::uint64_t steps, double dt) {
    if (steps == 0) {
        return;
    }
    if (!anchored_) {
        anchored_ = true;
        anchor_ = position_;
        anchorSteps_ = 0;
    }
    anchorSteps_ += steps;
    position_ = anchor_ + velocity_ * dt * static_cast<double>(anchorSteps_);
}

} // namespace morvik
