// Member definitions of CRateQuantity; included only by Speed.cpp and Acceleration.cpp.
#pragma once

#include "settings/NumberText.h"
#include "settings/RateQuantity.h"

#include <cmath>

namespace morvik {

template <class Traits> void CRateQuantity<Traits>::EraseSection(CProfileFile& file) const {
    registerable::EraseSection(file, section_);
}

template <class Traits> bool CRateQuantity<Traits>::Write(CProfileFile& file, int precision) const {
    return registerable::WriteText(file, section_, key_, Format(precision));
}

// A text whose number is not finite ("nan", "inf", "1e999"), or whose base value overflows,
// reads as an absent key: the quantity keeps the value it had (after a reset, its initial one).
template <class Traits> void CRateQuantity<Traits>::Read(const CProfileFile& file) {
    const std::string text = registerable::ReadText(file, section_, key_, "", kReadLimit);
    if (text.empty()) {
        return;
    }
    CRateQuantity read = *this;
    read.Parse(text);
    if (std::isfinite(read.value_) && std::isfinite(read.base_)) {
        *this = read;
    }
}

template <class Traits>
void CRateQuantity<Traits>::Init(std::int32_t lengthUnit, std::int32_t timeUnit, double value,
                                 const char* section, const char* key) {
    Set(lengthUnit, timeUnit, value);
    section_ = section;
    key_ = key;
}

template <class Traits>
void CRateQuantity<Traits>::Set(std::int32_t lengthUnit, std::int32_t timeUnit, double value) {
    value_ = value;
    lengthUnit_ = lengthUnit;
    timeUnit_ = timeUnit;
    base_ = Traits::ToBase(value, lengthUnit, timeUnit);
    cachedValue_ = 0.0;
    cachedLengthUnit_ = 0;
    cachedTimeUnit_ = 0;
}

template <class Traits> void CRateQuantity<Traits>::Parse(std::string_view text) {
    // Only a speed may be written in rpm (SpeedTraits::kRpm).
    constexpr bool rpm = requires {
        Traits::kRpm;
    };
    const RateUnits units = ParseRateUnits(text, rpm);
    Set(units.length, units.time, ParseLeadingDouble(text));
}

template <class Traits>
double CRateQuantity<Traits>::ValueIn(std::int32_t lengthUnit, std::int32_t timeUnit) const {
    // The pair 0, 0 marks the empty cache, so it is never served from (or stored in) it.
    if (lengthUnit == 0 && timeUnit == 0) {
        return Traits::FromBase(base_, 0, 0);
    }
    if (lengthUnit != cachedLengthUnit_ || timeUnit != cachedTimeUnit_) {
        cachedValue_ = Traits::FromBase(base_, lengthUnit, timeUnit);
        cachedLengthUnit_ = lengthUnit;
        cachedTimeUnit_ = timeUnit;
    }
    return cachedValue_;
}

template <class Traits>
std::string CRateQuantity<Traits>::FormatIn(std::int32_t lengthUnit, std::int32_t timeUnit,
                                            int precision) const {
    if (lengthUnit == 0 || timeUnit == 0) {
        return FormatG(value_, precision) + " " + Traits::UnitText(lengthUnit_, timeUnit_);
    }
    return FormatG(ValueIn(lengthUnit, timeUnit), precision) + " " +
           Traits::UnitText(lengthUnit, timeUnit);
}

} // namespace morvik
