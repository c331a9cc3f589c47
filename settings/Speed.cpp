#include "settings/Speed.h"

#include "settings/RateQuantityImpl.h"
#include "settings/UnitTables.h"

namespace morvik {

double SpeedTraits::ToBase(double value, int length, int time) {
    return value * TimeUnitFactor(time) / LengthUnitFactor(length);
}

double SpeedTraits::FromBase(double base, int length, int time) {
    return base * LengthUnitFactor(length) / TimeUnitFactor(time);
}

std::string SpeedTraits::UnitText(int length, int time) {
    return std::string(LengthUnitSymbol(length)) + "/" + TimeUnitSymbol(time);
}

template class CRateQuantity<SpeedTraits>;

} // namespace morvik
