// One-dimensional motion in fixed time steps with acceleration limits: the common core of an
// axis moved by the axis functions (velocity and position mode) and of a program move's
// progress along its path.
//
// Every step moves the velocity towards the wanted one (by at most accel*dt when speeding up,
// decel*dt when slowing down or reversing) and brakes in time to stop at the bounds. While the
// ramp cruises at the wanted velocity its position is computed from an anchor
// (anchor + v*dt*k), so that many steps and one Jump over them give the very same result:
// the card can jump over long steady stretches without depending on how often it is polled.
#pragma once

#include <cstdint>
#include <limits>

namespace morvik {

struct CCardRampLimits {
    double accel = 0; // per second squared; 0 or less = not limited
    double decel = 0;
};

class CCardRamp {
public:
    static constexpr double kNone = std::numeric_limits<double>::infinity();

    double Position() const { return position_; }
    double Velocity() const { return velocity_; }
    // Places the ramp at rest (or moving) without motion: homing reference, mirrored axes.
    void Place(double position, double velocity = 0);

    // One step of dt seconds towards `wanted`, staying within [lower, upper].
    void Step(double wanted, double lower, double upper, const CCardRampLimits& limits, double dt);
    // Steps from now during which the ramp certainly cruises at `wanted` (0: not cruising).
    std::uint64_t CruiseSteps(double wanted, double lower, double upper,
                              const CCardRampLimits& limits, double dt) const;
    // Jumps over `steps` cruising steps (at most CruiseSteps of the same arguments).
    void Jump(std::uint64_t steps, double dt);

private:
    bool Cruising(double wanted, double lower, double upper, const CCardRampLimits& limits,
                  double dt) const;
    void Integrate(double wanted, const CCardRampLimits& limits, double dt);

    double position_ = 0;
    double velocity_ = 0;
    bool anchored_ = false;
    double anchor_ = 0;
    std::uint64_t anchorSteps_ = 0;
};

// Highest speed from which `decel` stops within `distance` when the speed changes once per
// step of dt seconds (infinite when decel is not limited): v*v/(2*decel) + v*dt/2 = distance.
double CardBrakingSpeed(double distance, double decel, double dt);
// The distance that braking from `speed` takes, the inverse of CardBrakingSpeed.
double CardBrakingDistance(double speed, double decel, double dt);

} // namespace morvik
