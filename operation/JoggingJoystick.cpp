// The joystick side of jogging: deflection of a joystick axis, the three jog values of one
// update, and the calibration that Calibrate > Joystick runs.
#include "controller/StringTable.h"
#include "machine/Machine.h"
#include "machine/MachineTables.h"
#include "operation/Jogging.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace morvik {

namespace {

constexpr double kFullScale = 32767.0; // the dead band is a percentage of this
constexpr double kFineDivisor = 10.0;  // button 1 held

struct AxisCalibration {
    const CAppDouble& centre;
    const CAppDouble& upper;
    const CAppDouble& lower;
    const CAppInt& invert;
};

AxisCalibration CalibrationOf(const JoggingSettings& jog, JoystickAxis axis) {
    if (axis == JoystickAxis::X)
        return {jog.joystickXCenter, jog.joystickXUpper, jog.joystickXLower, jog.joystickXInvert};
    return {jog.joystickYCenter, jog.joystickYUpper, jog.joystickYLower, jog.joystickYInvert};
}

// (d - band) / travel clamped to 0..1; a side whose travel is used up entirely by the band
// (or that has none) never deflects.
double OneSide(double beyondBand, double travel) {
    if (!(travel > 0.0))
        return 0.0;
    const double c = beyondBand / travel;
    return std::isfinite(c) ? std::clamp(c, 0.0, 1.0) : 0.0;
}

struct FailureMessage {
    int status;
    int message;
};

constexpr FailureMessage kFailureMessages[] = {
    {joystick::kNoDriver, msg::JoystickDriverMissing},
    {joystick::kInvalidDevice, msg::JoystickIdInvalid},
    {joystick::kUnplugged, msg::JoystickNotConnected},
    {joystick::kNoPermission, msg::JoystickNoPermission},
};

// One joystick axis from its two extreme readings: the larger becomes upper and the invert
// flag says whether they came the other way round; a centre outside them is replaced by the
// middle.
void StoreAxis(CAppDouble& centre, CAppDouble& upper, CAppDouble& lower, CAppInt& invert,
               double centreRaw, double lowerRaw, double upperRaw) {
    const bool reversed = !(upperRaw > lowerRaw);
    if (reversed)
        std::swap(lowerRaw, upperRaw);
    if (centreRaw < lowerRaw || centreRaw > upperRaw)
        centreRaw = (upperRaw + lowerRaw) / 2.0;
    centre.Set(centreRaw);
    upper.Set(upperRaw);
    lower.Set(lowerRaw);
    invert.Set(reversed ? 1 : 0);
}

} // namespace

double Jogging::Deflection(JoystickAxis axis, double raw) const {
    const AxisCalibration cal = CalibrationOf(machine_.Jogging(), axis);
    // A negative band would move a stick at rest; one wider than a side's travel is clamped
    // to it by OneSide, which then reads 0 for that whole side.
    const double band =
        std::max(0.0, machine_.Jogging().joystickDeadband.Get() / 100.0 * kFullScale);
    const double centre = cal.centre.Get();
    const double d = raw - centre;
    double c = 0.0;
    if (d > 0.0)
        c = OneSide(d - band, cal.upper.Get() - centre - band);
    else
        c = -OneSide(-(d + band), centre - cal.lower.Get() - band);
    if (cal.invert.Get() != 0)
        c = -c;
    return c == 0.0 ? 0.0 : c; // never -0
}

JogValues Jogging::ReadJoystick() {
    JogValues values;
    JoystickReading reading;
    if (machine_.Jogging().usePcJoystick.Get() == 0 || machine_.State().calibrating ||
        joystick_.Read(reading) != joystick::kOk)
        return values;

    const bool fine = (reading.buttons & JoystickReading::kButton1) != 0;
    const double divisor = fine ? kFineDivisor : 1.0;
    if (reading.buttons & JoystickReading::kButton2) {
        values.z = Deflection(JoystickAxis::Y, reading.rawY) / divisor;
    } else {
        values.x = Deflection(JoystickAxis::X, reading.rawX) / divisor;
        values.y = Deflection(JoystickAxis::Y, reading.rawY) / divisor;
    }
    // On a lathe the stick's right jogs Z and its forward jogs X.
    if (machine_.General().machineType.Get() == kLatheMachineType)
        values = JogValues{values.y, values.z, values.x};
    return values;
}

bool Jogging::ReadForCalibration(JoystickReading& reading) {
    const int status = joystick_.Read(reading);
    if (status == joystick::kOk)
        return true;
    for (const FailureMessage& failure : kFailureMessages) {
        if (failure.status == status)
            machine_.Operator().ShowMessage(failure.message);
    }
    return false;
}

void Jogging::Calibrate() {
    JoggingSettings& jog = machine_.Jogging();
    JoystickReading centre, upperLeft, lowerRight;
    if (jog.usePcJoystick.Get() == 0 || !ReadForCalibration(centre))
        return;

    MachineState& state = machine_.State();
    IOperatorInterface& ui = machine_.Operator();
    state.calibrating = true;
    // A stick that goes away between the prompts leaves the old calibration in place, as a
    // failed first reading does.
    auto prompt = [&](int message, JoystickReading& reading) {
        ui.ShowMessage(message); // returns when the operator clicked OK
        return ReadForCalibration(reading);
    };
    const bool read = prompt(msg::JoystickCenter, centre) &&
                      prompt(msg::JoystickUpperLeft, upperLeft) &&
                      prompt(msg::JoystickLowerRight, lowerRight);
    if (read) {
        StoreAxis(jog.joystickXCenter, jog.joystickXUpper, jog.joystickXLower, jog.joystickXInvert,
                  centre.rawX, upperLeft.rawX, lowerRight.rawX);
        StoreAxis(jog.joystickYCenter, jog.joystickYUpper, jog.joystickYLower, jog.joystickYInvert,
                  centre.rawY, lowerRight.rawY, upperLeft.rawY);
        machine_.SetModifiedFlag();
    }
    state.calibrating = false;
}

} // namespace morvik
