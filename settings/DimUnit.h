// A stored choice of length or angle unit, e.g. the part-program units of a unit system.
#pragma once

#include "settings/UnitSelector.h"

namespace morvik {

class CDimUnit : public CUnitSelector<UnitTable::Length> {
public:
    using CUnitSelector::CUnitSelector;
};

} // namespace morvik
