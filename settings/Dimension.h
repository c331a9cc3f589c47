// A length or an angle (offsets, limits, positions), e.g. "2.5 in"; base value in meters
// (or revolutions for angles: both kinds share the one table and base value).
#pragma once

#include "settings/Quantity.h"

namespace morvik {

struct DimensionTraits {
    static double ToBase(double value, int unit);
    static double FromBase(double base, int unit);
    static std::string UnitText(int unit);
    static int ParseUnit(std::string_view text);
};

extern template class CQuantity<DimensionTraits>;

class CDimension : public CQuantity<DimensionTraits> {
public:
    using CQuantity::CQuantity;
};

} // namespace morvik
