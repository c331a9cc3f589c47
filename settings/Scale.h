// Counts per length unit, the resolution of an axis, e.g. "2000 counts/in"; base value in
// counts per meter.
#pragma once

#include "settings/Quantity.h"

namespace morvik {

struct ScaleTraits {
    static double ToBase(double value, int unit);
    static double FromBase(double base, int unit);
    static std::string UnitText(int unit);
    static int ParseUnit(std::string_view text);
};

extern template class CQuantity<ScaleTraits>;

class CScale : public CQuantity<ScaleTraits> {
public:
    using CQuantity::CQuantity;
};

} // namespace morvik
