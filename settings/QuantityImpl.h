// Member definitions of CQuantity; included only by the .cpp files that instantiate it
// (Dimension.cpp, Scale.cpp, Period.cpp).
#pragma once

#include "settings/NumberText.h"
#include "settings/Quantity.h"

#include <cmath>

namespace morvik {

template <class Traits> void CQuantity<Traits>::EraseSection(CProfileFile& file) const {
    registerable::EraseSection(file, section_);
}

template <class Traits> bool CQuantity<Traits>::Write(CProfileFile& file, int precision) const {
    return registerable::WriteText(file, section_, key_, Format(precision));
}

// A text whose number is not finite ("nan", "inf", "1e999"), or whose base value overflows,
// reads as an absent key: the quantity keeps the value it had (after a reset, its initial one).
template <class Traits> void CQuantity<Traits>::Read(const CProfileFile& file) {
    const std::string text = registerable::ReadText(file, section_, key_, "", kReadLimit);
    if (text.empty()) {
        return;
    }
    CQuantity read = *this;
    read.Parse(text);
    if (std::isfinite(read.value_) && std::isfinite(read.base_)) {
        *this = read;
    }
}

template <class Traits>
void CQuantity<Traits>::Init(std::int32_t unit, double value, const char* section,
                             const char* key) {
    Set(unit, value);
    section_ = section;
    key_ = key;
}

template <class Traits> void CQuantity<Traits>::Set(std::int32_t unit, double value) {
    value_ = value;
    unit_ = unit;
    base_ = Traits::ToBase(value, unit);
    cachedValue_ = 0.0;
    cachedUnit_ = 0;
}

template <class Traits> void CQuantity<Traits>::Parse(std::string_view text) {
    Set(Traits::ParseUnit(text), ParseLeadingDouble(text));
}

template <class Traits> double CQuantity<Traits>::ValueIn(std::int32_t unit) const {
    // Unit 0 marks the empty cache, so it is never served from (or stored in) the cache.
    if (unit == 0) {
        return Traits::FromBase(base_, 0);
    }
    if (unit != cachedUnit_) {
        cachedValue_ = Traits::FromBase(base_, unit);
        cachedUnit_ = unit;
    }
    return cachedValue_;
}

template <class Traits>
std::string CQuantity<Traits>::FormatIn(std::int32_t unit, int precision) const {
    if (unit == 0) {
        return FormatG(value_, precision) + " " + Traits::UnitText(unit_);
    }
    return FormatG(ValueIn(unit), precision) + " " + Traits::UnitText(unit);
}

} // namespace morvik
