// Length per time per time, e.g. "10 in/sec/sec"; base value in meters per second squared.
#pragma once

#include "settings/RateQuantity.h"

namespace morvik {

struct AccelerationTraits {
    static double ToBase(double value, int length, int time);
    static double FromBase(double base, int length, int time);
    static std::string UnitText(int length, int time);
};

extern template class CRateQuantity<AccelerationTraits>;

class CAcceleration : public CRateQuantity<AccelerationTraits> {
public:
    using CRateQuantity::CRateQuantity;
};

} // namespace morvik
