// What a setup dialog does with the text typed into a quantity field. The text must name a unit
// the tables know ("200 in/min"), or be a bare number, which keeps the field's current unit
// ("250" in a field showing "200 in/min" means 250 in/min). Any other text ("12
// furlongs/fortnight", "fast") is refused with the accepted unit names, rather than stored with
// an undefined unit that the card would take in base units.
#pragma once

#include "settings/Period.h"
#include "settings/Quantity.h"
#include "settings/RateQuantity.h"

#include <QString>

#include <optional>
#include <type_traits>

namespace morvik {

// The text is blank or a plain decimal number with nothing behind it.
bool IsBareNumber(const QString& text);
double BareNumberValue(const QString& text);

// "Enter a number and one of these units: ..." for the tables a quantity uses.
QString AcceptedUnitsMessage(bool lengthUnits, bool timeUnits);

template <class Traits> bool NamesEveryUnit(const CQuantity<Traits>& q) {
    return q.Unit() != 0;
}
template <class Traits> bool NamesEveryUnit(const CRateQuantity<Traits>& q) {
    return q.LengthUnit() != 0 && q.TimeUnit() != 0;
}

template <class Traits> void SetValueKeepingUnit(CQuantity<Traits>& q, double value) {
    q.Set(q.Unit(), value);
}
template <class Traits> void SetValueKeepingUnit(CRateQuantity<Traits>& q, double value) {
    q.Set(q.LengthUnit(), q.TimeUnit(), value);
}

template <class Traits> QString UnitsMessageFor(const CQuantity<Traits>&) {
    constexpr bool time = std::is_same_v<Traits, PeriodTraits>;
    return AcceptedUnitsMessage(!time, time);
}
template <class Traits> QString UnitsMessageFor(const CRateQuantity<Traits>&) {
    return AcceptedUnitsMessage(true, true);
}

// nullopt when the text may be stored into a copy of quantity; else the message to show.
template <class Quantity>
std::optional<QString> CheckQuantityText(const Quantity& quantity, const QString& text) {
    if (IsBareNumber(text))
        return std::nullopt;
    Quantity parsed = quantity;
    parsed.Parse(text.toStdString());
    if (NamesEveryUnit(parsed))
        return std::nullopt;
    return UnitsMessageFor(quantity);
}

// Stores text that CheckQuantityText accepted.
template <class Quantity> void StoreQuantityText(Quantity& quantity, const QString& text) {
    if (IsBareNumber(text))
        SetValueKeepingUnit(quantity, BareNumberValue(text));
    else
        quantity.Parse(text.toStdString());
}

} // namespace morvik
