#include "settings/RateQuantity.h"

#include "settings/UnitTables.h"

namespace morvik {

RateUnits ParseRateUnits(std::string_view text) {
    const std::size_t slash = text.find('/');
    const bool hasSlash = slash != std::string_view::npos;
    const bool hasLengthSymbol = FindUnit(UnitTable::Length, UnitName::Symbol, text).index != 0;

    RateUnits units;
    if (hasSlash) {
        units.length = FindUnit(UnitTable::Length, UnitName::Symbol, text, [&](std::size_t at) {
                           return at < slash;
                       }).index;
    }
    // Where a time symbol may begin: after the slash, after the first character, or anywhere.
    const bool anywhere = hasLengthSymbol && !hasSlash;
    const std::size_t mark = hasLengthSymbol ? slash : 0;
    units.time = FindUnit(UnitTable::Time, UnitName::Symbol, text, [&](std::size_t at) {
                     return anywhere || at > mark;
                 }).index;
    return units;
}

} // namespace morvik
