#include "machine/Spindle.h"

#include "controller/ControllerCodes.h"
#include "controller/MotionController.h"
#include "machine/ConfigStream.h"
#include "settings/UnitTables.h"

#include <algorithm>
#include <functional>
#include <iterator>

namespace morvik {

Spindle::Spindle() {
    Init();
}

void Spindle::Init() {
    const char* section = kSection;
    controllerAxis_.Init(0, section, "CTRLRAXISNUM");
    mode_.Init(0, section, "MODE");
    polarity_.Init(kPolarityNormal, section, "POLARITY");
    scale_.Init(unit::Revolution, 0.0, section, "SCALE");
    constant_.Init(unit::Revolution, timeunit::Second, 0.0, section, "CONSTANT");
    speed_.Init(unit::Revolution, timeunit::Second, 0.0, section, "SPEED");
    accel_.Init(unit::Revolution, timeunit::Second, 0.0, section, "ACCEL");
    decel_.Init(unit::Revolution, timeunit::Second, 0.0, section, "DECEL");
}

void Spindle::Reset(std::int32_t controllerAxis) {
    controllerAxis_.Set(controllerAxis);
    mode_.Set(kModeServo);
    polarity_.Set(kPolarityNormal);
    scale_.Set(unit::Revolution, 1.0);
    constant_.Set(unit::Revolution, timeunit::Second, 0.0);
    speed_.Set(unit::Revolution, timeunit::Second, 0.0);
    accel_.Set(unit::Revolution, timeunit::Second, 0.0);
    decel_.Set(unit::Revolution, timeunit::Second, 0.0);
}

bool Spindle::Save(CProfileFile& file, int precision) const {
    controllerAxis_.EraseSection(file);
    // Braced lists evaluate in order: every key is written even after a refused one.
    const bool written[] = {
        controllerAxis_.Write(file),
        mode_.Write(file),
        polarity_.Write(file),
        scale_.Write(file, precision),
        constant_.Write(file, precision),
        speed_.Write(file, precision),
        accel_.Write(file, precision),
        decel_.Write(file, precision),
    };
    return std::all_of(std::begin(written), std::end(written), std::identity{});
}

void Spindle::Load(const CProfileFile& file) {
    controllerAxis_.Read(file);
    mode_.Read(file);
    polarity_.Read(file);
    scale_.Read(file);
    constant_.Read(file);
    speed_.Read(file);
    accel_.Read(file);
    decel_.Read(file);
}

void Spindle::WriteConfigBlock(std::ostream& out, const UnitSystem (&systems)[2],
                               int /*defaultSystem: the spindle's format never changes*/) const {
    ConfigStream::Line(out, ';', " Spindle configuration");
    ConfigStream::Line(out, "SPINDLEAXIS=", ControllerAxis());
    if (ControllerAxis() == 0) {
        return;
    }
    ConfigStream::Line(out, "SPINDLEMODE=", Mode());
    ConfigStream::Line(out, "SPINDLEPOLARITY=", Polarity());
    for (const UnitSystem& system : systems) {
        WriteUnitPart(out, system);
    }
}

void Spindle::WriteUnitPart(std::ostream& out, const UnitSystem& system) const {
    const int m = system.timeUnit;
    ConfigStream::Line(out, system.name);
    if (Mode() == kModeServo) {
        ConfigStream::Line(out, "SPINDLESCALE=", scale_.ValueIn(unit::Revolution));
        ConfigStream::Line(out, "SPINDLERATECONV=", 1.0 / TimeUnitFactor(m));
    } else if (Mode() == kModeDrive) {
        ConfigStream::Line(out, "SPINDLECONSTANT=", constant_.ValueIn(unit::Revolution, m));
    }
    ConfigStream::Line(out, "SPINDLESPEED=", speed_.ValueIn(unit::Revolution, m));
    ConfigStream::Line(out, "SPINDLEACCEL=", accel_.ValueIn(unit::Revolution, m));
    ConfigStream::Line(out, "SPINDLEDECEL=", decel_.ValueIn(unit::Revolution, m));
}

double Spindle::GetActualSpeed() const {
    MotionController* controller = CurrentController();
    if (controller == nullptr || ControllerAxis() == 0) {
        return 0.0;
    }
    return controller->QueryDouble(code::SpindleSpeed);
}

} // namespace morvik
