#include "settings/RateQuantity.h"

#include "settings/UnitTables.h"

namespace morvik {

namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// "rpm" (any case) as a word of its own: the name machinists give a spindle speed.
bool NamesRpm(std::string_view text) {
    for (std::size_t at = 0; at + 3 <= text.size(); ++at) {
        const bool word = (at == 0 || !IsLetter(text[at - 1])) &&
                          (at + 3 == text.size() || !IsLetter(text[at + 3]));
        const auto lower = [&](std::size_t i) { return static_cast<char>(text[at + i] | 0x20); };
        if (word && lower(0) == 'r' && lower(1) == 'p' && lower(2) == 'm')
            return true;
    }
    return false;
}

} // namespace

RateUnits ParseRateUnits(std::string_view text, bool rpm) {
    if (rpm && NamesRpm(text))
        return {unit::Revolution, timeunit::Minute};
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
