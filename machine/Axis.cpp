#include "machine/Axis.h"

#include "machine/ConfigStream.h"
#include "settings/UnitTables.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>

namespace morvik {

namespace {

constexpr const char* kSections[Axis::kAxisCount] = {"XAXIS", "YAXIS", "ZAXIS",
                                                     "UAXIS", "VAXIS", "WAXIS"};

// Decimals for a resolution: the first row whose bound the counts per unit exceed.
struct DecimalsRow {
    double above;
    int decimals;
};
constexpr DecimalsRow kDecimals[] = {
    {100000000.0, 9}, {10000000.0, 8}, {1000000.0, 7}, {100000.0, 6}, {10000.0, 5},
    {1000.0, 4},      {100.0, 3},      {10.0, 2},      {1.0, 1},
};

const char* SectionOf(int index) {
    return index >= 1 && index <= Axis::kAxisCount ? kSections[index - 1] : nullptr;
}

} // namespace

std::string DisplayFormatFor(double countsPerUnit) {
    const auto row = std::find_if(std::begin(kDecimals), std::end(kDecimals),
                                  [&](const DecimalsRow& r) { return countsPerUnit > r.above; });
    const int decimals = row == std::end(kDecimals) ? 0 : row->decimals;
    return "%#+ 14." + std::to_string(decimals) + "f";
}

Axis::Axis(int index, char letter) {
    Init(index, letter);
}

void Axis::Init(int index, char letter) {
    index_ = index;
    letter_ = letter;
    const char* section = SectionOf(index);
    scale_.Init(unit::Undefined, 0.0, section, "SCALE");
    machineOffset_.Init(unit::Inch, 0.0, section, "MACHINEOFFSET");
    programOffset_.Init(unit::Inch, 0.0, section, "PROGRAMOFFSET");
    rapidRate_.Init(unit::Inch, timeunit::Second, 0.0, section, "RAPIDRATE");
    rapidAccel_.Init(unit::Inch, timeunit::Second, 0.0, section, "RAPIDACCEL");
    rapidDecel_.Init(unit::Inch, timeunit::Second, 0.0, section, "RAPIDDECEL");
    lowerLimit_.Init(unit::Inch, 0.0, section, "LOWERLIMIT");
    upperLimit_.Init(unit::Inch, 0.0, section, "UPPERLIMIT");
    displayFormat_ = kInitialDisplayFormat;
    controllerAxis_.Init(0, section, "CTRLRAXISNUM");
    slaveAxis_.Init(0, section, "SLAVEAXISNUM");
}

void Axis::Reset(std::int32_t controllerAxis) {
    slaveAxis_.Set(0);
    controllerAxis_.Set(controllerAxis);
    scale_.Set(unit::Inch, 1.0);
    machineOffset_.Set(unit::Inch, 0.0);
    programOffset_.Set(unit::Inch, 0.0);
    rapidRate_.Set(unit::Inch, timeunit::Second, 0.0);
    rapidAccel_.Set(unit::Inch, timeunit::Second, 0.0);
    rapidDecel_.Set(unit::Inch, timeunit::Second, 0.0);
    upperLimit_.Set(unit::Inch, 0.0);
    lowerLimit_.Set(unit::Inch, 0.0);
}

bool Axis::Save(CProfileFile& file, int precision) const {
    controllerAxis_.EraseSection(file);
    // Braced lists evaluate in order: every key is written even after a refused one.
    const bool written[] = {
        controllerAxis_.Write(file),           slaveAxis_.Write(file),
        scale_.Write(file, precision),         machineOffset_.Write(file, precision),
        programOffset_.Write(file, precision), rapidRate_.Write(file, precision),
        rapidAccel_.Write(file, precision),    rapidDecel_.Write(file, precision),
        lowerLimit_.Write(file, precision),    upperLimit_.Write(file, precision),
    };
    return std::all_of(std::begin(written), std::end(written), std::identity{});
}

void Axis::Load(const CProfileFile& file) {
    controllerAxis_.Read(file);
    slaveAxis_.Read(file);
    scale_.Read(file);
    machineOffset_.Read(file);
    programOffset_.Read(file);
    rapidRate_.Read(file);
    rapidAccel_.Read(file);
    rapidDecel_.Read(file);
    lowerLimit_.Read(file);
    upperLimit_.Read(file);
}

void Axis::WriteConfigBlock(std::ostream& out, const UnitSystem (&systems)[2], int defaultSystem) {
    ConfigStream::Line(out, ';', letter_, " axis configuration");
    ConfigStream::Line(out, letter_, "AXIS=", ControllerAxis());
    if (ControllerAxis() == 0) {
        return;
    }
    ConfigStream::Line(out, letter_, "SLAVE=", SlaveAxis());
    for (int u = 0; u < kUnitSystemCount; ++u) {
        WriteUnitPart(out, systems[u]);
        if (u == defaultSystem) {
            displayFormat_ = DisplayFormatFor(std::fabs(scale_.ValueIn(systems[u].lengthUnit)));
        }
    }
}

void Axis::WriteUnitPart(std::ostream& out, const UnitSystem& system) const {
    const int k = system.lengthUnit;
    const int m = system.timeUnit;
    const char L = letter_;
    ConfigStream::Line(out, system.name);
    ConfigStream::Line(out, L, "SCALE=", scale_.ValueIn(k));
    ConfigStream::Line(out, L, "MACHINEOFFSET=", machineOffset_.ValueIn(k));
    ConfigStream::Line(out, L, "PROGRAMOFFSET=", programOffset_.ValueIn(k));
    ConfigStream::Line(out, L, "RATECONV=", 1.0 / TimeUnitFactor(m));
    ConfigStream::Line(out, L, "RAPIDRATE=", rapidRate_.ValueIn(k, m));
    ConfigStream::Line(out, L, "RAPIDACCEL=", rapidAccel_.ValueIn(k, m));
    ConfigStream::Line(out, L, "RAPIDDECEL=", rapidDecel_.ValueIn(k, m));
    ConfigStream::Line(out, L, "LOWLIMIT=", lowerLimit_.ValueIn(k));
    ConfigStream::Line(out, L, "UPLIMIT=", upperLimit_.ValueIn(k));
}

std::int32_t Axis::SetDirection(std::int16_t direction) {
    return Forward(&MotionController::SetDirection, direction);
}

std::int32_t Axis::Go() {
    return Forward(&MotionController::Go);
}

} // namespace morvik
