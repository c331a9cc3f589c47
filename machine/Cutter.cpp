#include "machine/Cutter.h"

#include "machine/ConfigStream.h"
#include "settings/UnitTables.h"

#include <algorithm>
#include <functional>
#include <iterator>

namespace morvik {

Cutter::Cutter() {
    Init();
}

void Cutter::Init() {
    const char* section = kSection;
    scale_.Init(unit::Revolution, 0.0, section, "SCALE");
    offset_.Init(unit::Revolution, 0.0, section, "OFFSET");
    raiseMCode_.Init(0, section, "RAISEMCODE");
    lowerMCode_.Init(0, section, "LOWERMCODE");
    raiseMacro_.Init(0, section, "RAISEMACRO");
    lowerMacro_.Init(0, section, "LOWERMACRO");
    speed_.Init(unit::Revolution, timeunit::Second, 0.0, section, "SPEED");
    accel_.Init(unit::Revolution, timeunit::Second, 0.0, section, "ACCEL");
    decel_.Init(unit::Revolution, timeunit::Second, 0.0, section, "DECEL");
    controllerAxis_.Init(0, section, "CTRLRAXISNUM");
    displayFormat_ = kInitialDisplayFormat;
}

void Cutter::Reset(std::int32_t controllerAxis) {
    controllerAxis_.Set(controllerAxis);
    raiseMCode_.Set(0);
    lowerMCode_.Set(0);
    raiseMacro_.Set(0);
    lowerMacro_.Set(0);
    scale_.Set(unit::Revolution, 1.0);
    offset_.Set(unit::Revolution, 0.0);
    speed_.Set(unit::Revolution, timeunit::Second, 0.0);
    accel_.Set(unit::Revolution, timeunit::Second, 0.0);
    decel_.Set(unit::Revolution, timeunit::Second, 0.0);
}

bool Cutter::Save(CProfileFile& file, int precision) const {
    controllerAxis_.EraseSection(file);
    // Braced lists evaluate in order: every key is written even after a refused one.
    const bool written[] = {
        controllerAxis_.Write(file),    scale_.Write(file, precision),
        offset_.Write(file, precision), raiseMCode_.Write(file),
        lowerMCode_.Write(file),        raiseMacro_.Write(file),
        lowerMacro_.Write(file),        speed_.Write(file, precision),
        accel_.Write(file, precision),  decel_.Write(file, precision),
    };
    return std::all_of(std::begin(written), std::end(written), std::identity{});
}

void Cutter::Load(const CProfileFile& file) {
    controllerAxis_.Read(file);
    scale_.Read(file);
    offset_.Read(file);
    raiseMCode_.Read(file);
    lowerMCode_.Read(file);
    raiseMacro_.Read(file);
    lowerMacro_.Read(file);
    speed_.Read(file);
    accel_.Read(file);
    decel_.Read(file);
}

void Cutter::WriteConfigBlock(std::ostream& out, const UnitSystem (&systems)[2],
                              int defaultSystem) {
    ConfigStream::Line(out, ';', " Cutter configuration");
    ConfigStream::Line(out, "CUTTERAXIS=", ControllerAxis());
    if (ControllerAxis() == 0) {
        return;
    }
    ConfigStream::Line(out, "CUTTERRAISEMCODE=", RaiseMCode());
    ConfigStream::Line(out, "CUTTERLOWERMCODE=", LowerMCode());
    // The card takes the cutter's rates in the English time unit in both parts.
    const int englishTime = systems[kEnglishUnits].timeUnit;
    for (int u = 0; u < kUnitSystemCount; ++u) {
        WriteUnitPart(out, systems[u], englishTime);
        if (u == defaultSystem) {
            displayFormat_ = DisplayFormatFor(scale_.ValueIn(systems[kEnglishUnits].lengthUnit));
        }
    }
}

void Cutter::WriteUnitPart(std::ostream& out, const UnitSystem& system, int timeUnit) const {
    const int rev = unit::Revolution;
    ConfigStream::Line(out, system.name);
    ConfigStream::Line(out, "CUTTERSCALE=", scale_.ValueIn(rev));
    ConfigStream::Line(out, "CUTTEROFFSET=", offset_.ValueIn(rev));
    ConfigStream::Line(out, "CUTTERRATECONV=", 1.0 / TimeUnitFactor(timeUnit));
    ConfigStream::Line(out, "CUTTERSPEED=", speed_.ValueIn(rev, timeUnit));
    ConfigStream::Line(out, "CUTTERACCEL=", accel_.ValueIn(rev, timeUnit));
    ConfigStream::Line(out, "CUTTERDECEL=", decel_.ValueIn(rev, timeUnit));
}

void Cutter::Raise() {
    RunMacro(RaiseMacro());
    raisedState_ = kRaised;
}

void Cutter::Lower() {
    RunMacro(LowerMacro());
    raisedState_ = kLowered;
}

void Cutter::RunMacro(std::int32_t macro) {
    MotionController* controller = CurrentController();
    if (controller != nullptr && macro != 0) {
        controller->MacroCall(macro);
    }
}

} // namespace morvik
