#include "settings/Scale.h"

#include "settings/QuantityImpl.h"
#include "settings/UnitTables.h"

namespace morvik {

double ScaleTraits::ToBase(double value, int unit) {
    return value * LengthUnitFactor(unit);
}

double ScaleTraits::FromBase(double base, int unit) {
    return base / LengthUnitFactor(unit);
}

std::string ScaleTraits::UnitText(int unit) {
    return std::string("counts/") + LengthUnitSymbol(unit);
}

int ScaleTraits::ParseUnit(std::string_view text) {
    return FindUnit(UnitTable::Length, UnitName::Symbol, text).index;
}

template class CQuantity<ScaleTraits>;

} // namespace morvik
