// A stored choice of time unit, e.g. the time unit of a unit system's rates.
#pragma once

#include "settings/UnitSelector.h"

namespace morvik {

class CPerUnit : public CUnitSelector<UnitTable::Time> {
public:
    using CUnitSelector::CUnitSelector;
};

} // namespace morvik
