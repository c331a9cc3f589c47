#include "machine/WorkCoord.h"

#include "machine/ConfigStream.h"
#include "settings/UnitTables.h"

#include <algorithm>
#include <functional>

namespace morvik {

namespace {

constexpr const char* kSections[WorkCoord::kWorkCoordCount] = {
    "WORKCOOR1", "WORKCOOR2", "WORKCOOR3", "WORKCOOR4", "WORKCOOR5", "WORKCOOR6"};

const char* SectionOf(int number) {
    return number >= 1 && number <= WorkCoord::kWorkCoordCount ? kSections[number - 1] : nullptr;
}

} // namespace

WorkCoord::WorkCoord(int number) {
    Init(number);
}

void WorkCoord::Init(int number) {
    number_ = number;
    const char* section = SectionOf(number);
    for (int axis = 0; axis < kAxisCount; ++axis) {
        values_[axis].Init(unit::Undefined, 0.0, section, kKeys[axis]);
    }
}

void WorkCoord::Reset() {
    for (CDimension& value : values_) {
        value.Set(unit::Inch, 0.0);
    }
}

bool WorkCoord::Save(CProfileFile& file, int precision) const {
    values_[0].EraseSection(file);
    bool ok = true;
    for (const CDimension& value : values_) {
        ok = value.Write(file, precision) && ok;
    }
    return ok;
}

void WorkCoord::Load(const CProfileFile& file) {
    for (CDimension& value : values_) {
        value.Read(file);
    }
}

void WorkCoord::WriteConfigBlock(std::ostream& out, const UnitSystem (&systems)[2]) const {
    ConfigStream::Line(out, "WORKCOOR=", number_);
    for (const UnitSystem& system : systems) {
        ConfigStream::Line(out, system.name);
        for (int axis = 0; axis < kAxisCount; ++axis) {
            ConfigStream::Line(out, kKeys[axis], '=', values_[axis].ValueIn(system.lengthUnit));
        }
    }
}

} // namespace morvik
