#include "settings/Dimension.h"

#include "settings/QuantityImpl.h"
#include "settings/UnitTables.h"

namespace morvik {

double DimensionTraits::ToBase(double value, int unit) {
    return value / LengthUnitFactor(unit);
}

double DimensionTraits::FromBase(double base, int unit) {
    return base * LengthUnitFactor(unit);
}

std::string DimensionTraits::UnitText(int unit) {
    return LengthUnitSymbol(unit);
}

int DimensionTraits::ParseUnit(std::string_view text) {
    return FindUnit(UnitTable::Length, UnitName::Symbol, text).index;
}

template class CQuantity<DimensionTraits>;

} // namespace morvik
