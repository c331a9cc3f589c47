#include "settings/Acceleration.h"

#include "settings/RateQuantityImpl.h"
#include "settings/UnitTables.h"

namespace morvik {

double AccelerationTraits::ToBase(double value, int length, int time) {
    return value * TimeUnitFactor(time) * TimeUnitFactor(time) / LengthUnitFactor(length);
}

double AccelerationTraits::FromBase(double base, int length, int time) {
    return base * LengthUnitFactor(length) / (TimeUnitFactor(time) * TimeUnitFactor(time));
}

// The time symbol twice: "in/sec/sec".
std::string AccelerationTraits::UnitText(int length, int time) {
    const std::string perTime = std::string("/") + TimeUnitSymbol(time);
    return LengthUnitSymbol(length) + perTime + perTime;
}

template class CRateQuantity<AccelerationTraits>;

} // namespace morvik
