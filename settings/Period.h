// A time, e.g. "250 msec"; base value in seconds. No machine setting uses it yet; it
// completes the family for time values.
#pragma once

#include "settings/Quantity.h"

namespace morvik {

struct PeriodTraits {
    static double ToBase(double value, int unit);
    static double FromBase(double base, int unit);
    static std::string UnitText(int unit);
    static int ParseUnit(std::string_view text);
};

extern template class CQuantity<PeriodTraits>;

class CPeriod : public CQuantity<PeriodTraits> {
public:
    using CQuantity::CQuantity;
};

} // namespace morvik
