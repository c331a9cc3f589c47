// CMachine: how long the card may take to brake, from the machine's own rates and
// decelerations. Every bounded wait on a stop or an abort uses these.
#include "machine/Machine.h"

#include <algorithm>
#include <cmath>

namespace morvik {

namespace {

// On top of the braking time: a quarter more, and one second for the card's own latency.
constexpr double kMarginFactor = 1.25;
constexpr double kMarginMs = 1000.0;
// A hand-edited file may hold a deceleration near 0; the wait stays a bound all the same.
constexpr double kLongestWaitMs = 10.0 * 60.0 * 1000.0;
// The feed override can raise a programmed feed up to this factor.
constexpr double kFeedOverrideLimit = 1.5;

// Seconds to brake from rate to standstill at decel (both per second, same length unit); 0
// when either is not a usable positive number.
double BrakingSeconds(double rate, double decel) {
    if (!(rate > 0.0) || !(decel > 0.0) || !std::isfinite(rate) || !std::isfinite(decel))
        return 0.0;
    return rate / decel;
}

std::uint32_t WaitFor(double seconds) {
    const double ms = std::min(seconds * 1000.0 * kMarginFactor + kMarginMs, kLongestWaitMs);
    return std::max(CMachine::kMinimumWaitMs, static_cast<std::uint32_t>(std::ceil(ms)));
}

double PerSecond(const CSpeed& speed) {
    return speed.ValueIn(unit::Inch, timeunit::Second);
}

double PerSecondSquared(const CAcceleration& accel) {
    return accel.ValueIn(unit::Inch, timeunit::Second);
}

} // namespace

std::uint32_t CMachine::JogStopWaitMs() const {
    return WaitFor(
        BrakingSeconds(PerSecond(jogging_.maxJogRate), PerSecondSquared(jogging_.jogDecel)));
}

std::uint32_t CMachine::AbortWaitMs() const {
    const double feed = std::max(PerSecond(feed_.feedRate), PerSecond(feed_.maxFeedRate));
    double seconds = BrakingSeconds(feed * kFeedOverrideLimit, PerSecondSquared(feed_.feedDecel));
    for (const Axis& axis : axes_) {
        if (axis.ControllerAxis() != 0)
            seconds = std::max(seconds, BrakingSeconds(PerSecond(axis.RapidRate()),
                                                       PerSecondSquared(axis.RapidDecel())));
    }
    return WaitFor(seconds);
}

} // namespace morvik
