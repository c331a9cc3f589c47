#include "cardsim/CardAxis.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace morvik {

namespace {
constexpr int kVelocityMode = 4;
}

void CCardAxis::Configure(const CCardAxisConfig& config) {
    config_ = config;
    velocity_ = config.rapidRate;
    limits_ = {config.rapidAccel, config.rapidDecel};
}

void CCardAxis::Unfit() {
    config_ = CCardAxisConfig{};
    motion_ = Motion::Idle;
    ramp_.Place(ramp_.Position());
    target_ = ramp_.Position();
}

bool CCardAxis::SetDirection(int direction) {
    if (direction != 1 && direction != 2) {
        return false;
    }
    direction_ = direction;
    return true;
}

void CCardAxis::Enable(bool on) {
    enabled_ = on;
    if (!on) {
        Stop();
    }
}

bool CCardAxis::Go() {
    if (!enabled_ || motion_ == Motion::Path) {
        return false;
    }
    error_ = false;
    if (mode_ == kVelocityMode) {
        motion_ = Motion::Velocity;
        return true;
    }
    motion_ =
        ramp_.Position() == target_ && ramp_.Velocity() == 0 ? Motion::Idle : Motion::Position;
    return true;
}

void CCardAxis::Stop() {
    if (motion_ == Motion::Velocity || motion_ == Motion::Position) {
        motion_ = Motion::Stopping;
    }
}

bool CCardAxis::MoveRelative(double distance) {
    return MoveAbsolute(Target() + distance);
}

bool CCardAxis::MoveAbsolute(double position) {
    if (!enabled_ || motion_ == Motion::Path) {
        return false;
    }
    error_ = false;
    target_ = position;
    if (config_.HasLimits() && (position < config_.lowLimit || position > config_.upLimit)) {
        // The card does not leave its soft limits: it goes as far as the limit and says so.
        target_ = std::clamp(position, config_.lowLimit, config_.upLimit);
        error_ = true;
    }
    motion_ = Motion::Position;
    return true;
}

void CCardAxis::Halt() {
    ramp_.Place(ramp_.Position());
    target_ = ramp_.Position();
    motion_ = Motion::Idle;
    error_ = true;
}

double CCardAxis::Wanted() const {
    const double speed = velocity_ * override_;
    switch (motion_) {
    case Motion::Velocity:
        return direction_ == 1 ? speed : -speed;
    case Motion::Position: {
        const double pos = ramp_.Position();
        return target_ > pos ? speed : (target_ < pos ? -speed : 0.0);
    }
    default:
        return 0;
    }
}

// Position moves stop at their target; every motion stops at the soft limits. An axis that is
// already outside its limits may come back but not go further out.
double CCardAxis::Lower() const {
    double lower = -std::numeric_limits<double>::infinity();
    if (config_.HasLimits()) {
        lower = std::min(config_.lowLimit, ramp_.Position());
    }
    if (motion_ == Motion::Position && target_ <= ramp_.Position()) {
        lower = std::max(lower, target_);
    }
    return lower;
}

double CCardAxis::Upper() const {
    double upper = std::numeric_limits<double>::infinity();
    if (config_.HasLimits()) {
        upper = std::max(config_.upLimit, ramp_.Position());
    }
    if (motion_ == Motion::Position && target_ >= ramp_.Position()) {
        upper = std::min(upper, target_);
    }
    return upper;
}

void CCardAxis::Step() {
    if (motion_ == Motion::Idle || motion_ == Motion::Path) {
        return;
    }
    if (motion_ == Motion::Position && velocity_ <= 0) {
        // No rate was ever given: the move is made at once rather than never.
        ramp_.Place(target_);
        motion_ = Motion::Idle;
        return;
    }
    ramp_.Step(Wanted(), Lower(), Upper(), limits_, kCardStepSeconds);
    Settle();
}

// Ends a motion that has come to rest: a position move at its target, a stop, or a jog held
// at a soft limit (which is an axis error).
void CCardAxis::Settle() {
    if (ramp_.Velocity() != 0) {
        return;
    }
    const double pos = ramp_.Position();
    switch (motion_) {
    case Motion::Stopping:
        motion_ = Motion::Idle;
        target_ = pos;
        break;
    case Motion::Position:
        if (pos == target_) {
            motion_ = Motion::Idle;
        }
        break;
    case Motion::Velocity:
        if (Wanted() != 0 && (pos <= Lower() || pos >= Upper())) {
            motion_ = Motion::Idle;
            target_ = pos;
            error_ = true;
        }
        break;
    default:
        break;
    }
}

std::uint64_t CCardAxis::QuietSteps() const {
    switch (motion_) {
    case Motion::Idle:
    case Motion::Path:
        return std::numeric_limits<std::uint64_t>::max();
    case Motion::Velocity:
    case Motion::Position:
        return ramp_.CruiseSteps(Wanted(), Lower(), Upper(), limits_, kCardStepSeconds);
    default:
        return 0;
    }
}

void CCardAxis::Jump(std::uint64_t steps) {
    if (motion_ == Motion::Velocity || motion_ == Motion::Position) {
        ramp_.Jump(steps, kCardStepSeconds);
    }
}

void CCardAxis::FollowPath(double position, double velocity) {
    motion_ = Motion::Path;
    ramp_.Place(position, velocity);
    target_ = position;
}

void CCardAxis::EndPath() {
    if (motion_ == Motion::Path) {
        motion_ = Motion::Idle;
        ramp_.Place(ramp_.Position());
        target_ = ramp_.Position();
    }
}

void CCardAxis::Place(double position, double velocity) {
    ramp_.Place(position, velocity);
    if (motion_ == Motion::Idle) {
        target_ = position;
    }
}

double CCardAxis::Quantize(double position) const {
    const double scale = std::fabs(config_.scale);
    if (scale == 0) {
        return position;
    }
    return std::round(position * scale) / scale;
}

double CCardAxis::Optimal() const {
    return Fitted() ? Quantize(ramp_.Position()) : 0.0;
}

double CCardAxis::Current() const {
    if (!Fitted()) {
        return 0;
    }
    return Quantize(ramp_.Position() - ramp_.Velocity() * kFollowingLagSeconds);
}

std::uint32_t CCardAxis::Status() const {
    if (!Fitted()) {
        return 0;
    }
    std::uint32_t status = enabled_ ? kAxisEnabledBit : 0;
    status |= AtRest() ? kAxisFinishedBit : 0;
    status |= error_ ? kAxisErrorBit : 0;
    return status;
}

} // namespace morvik
