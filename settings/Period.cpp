#include "settings/Period.h"

#include "settings/QuantityImpl.h"
#include "settings/UnitTables.h"

namespace morvik {

double PeriodTraits::ToBase(double value, int unit) {
    return value / TimeUnitFactor(unit);
}

double PeriodTraits::FromBase(double base, int unit) {
    return base * TimeUnitFactor(unit);
}

std::string PeriodTraits::UnitText(int unit) {
    return TimeUnitSymbol(unit);
}

int PeriodTraits::ParseUnit(std::string_view text) {
    return FindUnit(UnitTable::Time, UnitName::Symbol, text).index;
}

template class CQuantity<PeriodTraits>;

} // namespace morvik
