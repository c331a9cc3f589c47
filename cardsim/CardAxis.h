// One controller axis of the card as the axis functions and the program see it.
//
// The axis functions move it in velocity mode (operating mode 4: velocity, direction, go,
// stop) or position mode (mode 2 and the default: move absolute, or go to the target) with
// its own velocity, acceleration, deceleration and velocity override; a running program
// drives it along a path instead (FollowPath). Soft limits stop it. Positions read back are
// whole encoder counts divided by the scale, and the current position lags the commanded
// (optimal) one by a following error proportional to the speed.
#pragma once

#include "cardsim/CardConfig.h"
#include "cardsim/CardRamp.h"
#include "controller/KelvApi.h"

#include <cstdint>

namespace morvik {

// Bits of the axis status word: bit n stands for condition n of KelvDecodeStatus.
constexpr std::uint32_t kAxisEnabledBit = 1u << 0;
constexpr std::uint32_t kAxisFinishedBit = 1u << KELV_COND_MOTION_FINISHED;
constexpr std::uint32_t kAxisErrorBit = 1u << KELV_COND_AXIS_ERROR;

constexpr double kCardStepSeconds = 0.001;
constexpr double kFollowingLagSeconds = 0.004;

class CCardAxis {
public:
    enum class Motion { Idle, Velocity, Stopping, Position, Path };

    // Keeps the position; a configured axis takes its rapid rates as its velocity and ramps.
    void Configure(const CCardAxisConfig& config);
    void Unfit();
    bool Fitted() const { return config_.number != 0; }
    const CCardAxisConfig& Config() const { return config_; }

    // The axis functions, rates in card units per second. Go and MoveAbsolute answer false
    // when refused (the axis is disabled or on a program's path).
    void SetVelocity(double perSecond) { velocity_ = perSecond; }
    void SetAcceleration(double perSecond2) { limits_.accel = perSecond2; }
    void SetDeceleration(double perSecond2) { limits_.decel = perSecond2; }
    void SetOverride(double factor) { override_ = factor; }
    void SetMode(int mode) { mode_ = mode; }
    bool SetDirection(int direction);
    void Enable(bool on);
    bool Go();
    void Stop();
    bool MoveAbsolute(double position);
    // A move by distance from the commanded target (the position where the axis is heading).
    bool MoveRelative(double distance);
    // Emergency stop: at rest at once, in error.
    void Halt();
    void ClearError() { error_ = false; }

    // Time, outside a program's path.
    void Step();
    std::uint64_t QuietSteps() const;
    void Jump(std::uint64_t steps);

    // A program move places the axis on its path each step.
    void FollowPath(double position, double velocity);
    void EndPath();
    // Homing reference and mirrored (slave) axes.
    void Place(double position, double velocity = 0);

    Motion MotionState() const { return motion_; }
    bool AtRest() const { return motion_ == Motion::Idle; }
    double Optimal() const;
    double Current() const;
    double Target() const { return target_; }
    double Exact() const { return ramp_.Position(); }
    double Speed() const { return ramp_.Velocity(); }
    std::uint32_t Status() const;
    bool InError() const { return error_; }

private:
    double Wanted() const;
    double Lower() const;
    double Upper() const;
    double Quantize(double position) const;
    void Settle();

    CCardAxisConfig config_{};
    CCardRamp ramp_;
    CCardRampLimits limits_{};
    Motion motion_ = Motion::Idle;
    double velocity_ = 0;
    double override_ = 1;
    double target_ = 0;
    int mode_ = 2;
    int direction_ = 1;
    bool enabled_ = true;
    bool error_ = false;
};

} // namespace morvik
