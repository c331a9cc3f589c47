// The choices of the panel's two jog selectors, in the order they are offered. The increment is
// a distance in the length unit of the machine's default unit system (0: continuous, the axis
// moves while the control is held); the speed is a percentage of the maximum jog rate, used by
// the jog buttons, the jog keys and the joystick at full deflection. The first choice of each
// (continuous, 100 %) is the station's behaviour without the selectors.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace morvik {

struct JogSelectors {
    static constexpr std::array<double, 5> kIncrements = {0.0, 1.0, 0.1, 0.01, 0.001};
    static constexpr std::array<int, 7> kSpeedPercents = {100, 75, 50, 25, 10, 5, 1};

    // "Continuous", "1", "0.1", "0.01", "0.001"; empty past the end.
    static std::string IncrementText(std::size_t index);
    // "100%", "75%", ...; empty past the end.
    static std::string SpeedText(std::size_t index);
};

} // namespace morvik
