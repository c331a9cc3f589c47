// Length per time (feed, rapid and jog rates), e.g. "200 in/min"; base value in meters
// per second.
#pragma once

#include "settings/RateQuantity.h"

namespace morvik {

struct SpeedTraits {
    static constexpr bool kRpm = true; // "3000 rpm" is 3000 rev/min
    static double ToBase(double value, int length, int time);
    static double FromBase(double base, int length, int time);
    static std::string UnitText(int length, int time);
};

extern template class CRateQuantity<SpeedTraits>;

class CSpeed : public CRateQuantity<SpeedTraits> {
public:
    using CRateQuantity::CRateQuantity;
};

} // namespace morvik
