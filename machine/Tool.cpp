#include "machine/Tool.h"

#include "machine/ConfigStream.h"
#include "settings/UnitTables.h"

#include <algorithm>
#include <functional>
#include <iterator>

namespace morvik {

namespace {

constexpr const char* kSections[Tool::kToolCount] = {"TOOL1", "TOOL2", "TOOL3", "TOOL4", "TOOL5",
                                                     "TOOL6", "TOOL7", "TOOL8", "TOOL9"};

const char* SectionOf(int number) {
    return number >= 1 && number <= Tool::kToolCount ? kSections[number - 1] : nullptr;
}

} // namespace

Tool::Tool(int number) {
    Init(number);
}

void Tool::Init(int number) {
    number_ = number;
    const char* section = SectionOf(number);
    x_.Init(unit::Undefined, 0.0, section, "X");
    y_.Init(unit::Undefined, 0.0, section, "Y");
    z_.Init(unit::Undefined, 0.0, section, "Z");
    r_.Init(unit::Undefined, 0.0, section, "R");
    w_.Init(unit::Undefined, 0.0, section, "W");
    f_.Init(0.0, section, "F");
    q_.Init(0, section, "Q");
    description_.Init("", section, "DESCRIPTION");
}

void Tool::Reset() {
    for (CDimension* length : {&x_, &y_, &z_, &r_, &w_}) {
        length->Set(unit::Inch, 0.0);
    }
    f_.Set(0.0);
    q_.Set(0);
    description_.Set("");
}

bool Tool::Save(CProfileFile& file, int precision) const {
    description_.EraseSection(file);
    // Braced lists evaluate in order: every key is written even after a refused one.
    const bool written[] = {
        description_.Write(file),  x_.Write(file, precision),
        y_.Write(file, precision), z_.Write(file, precision),
        r_.Write(file, precision), w_.Write(file, precision),
        f_.Write(file, precision), q_.Write(file),
    };
    return std::all_of(std::begin(written), std::end(written), std::identity{});
}

void Tool::Load(const CProfileFile& file) {
    description_.Read(file);
    x_.Read(file);
    y_.Read(file);
    z_.Read(file);
    r_.Read(file);
    w_.Read(file);
    f_.Read(file);
    q_.Read(file);
}

void Tool::WriteConfigBlock(std::ostream& out, const UnitSystem (&systems)[2]) const {
    ConfigStream::Line(out, "TOOL=", number_);
    for (const UnitSystem& system : systems) {
        const int k = system.lengthUnit;
        ConfigStream::Line(out, system.name);
        ConfigStream::Line(out, "X=", x_.ValueIn(k));
        ConfigStream::Line(out, "Y=", y_.ValueIn(k));
        ConfigStream::Line(out, "Z=", z_.ValueIn(k));
        ConfigStream::Line(out, "R=", r_.ValueIn(k));
        ConfigStream::Line(out, "W=", w_.ValueIn(k));
    }
    ConfigStream::Line(out, "F=", WearFactor());
    ConfigStream::Line(out, "Q=", Orientation());
}

} // namespace morvik
