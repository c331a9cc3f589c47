// One of the machine's six linear or rotary axes (X, Y, Z, U, V, W).
//
// The machine document owns the axes by value and constructs them as (1, 'X') ... (6, 'W');
// the index chooses the machine file section ("XAXIS" ... "WAXIS"). An axis holds its settings
// as registerable quantities, saves and loads its section, writes its block of the
// configuration file and forwards motion requests to the card. Controller axis number 0 means
// the axis is not fitted: motion requests do nothing, queries read 0, and its configuration
// block stops after two lines.
//
// Also here, because the cutter shares them: the display format rule and the forwarding of
// motion operations to the current machine's connection.
#pragma once

#include "controller/MotionController.h"
#include "machine/CurrentMachine.h"
#include "machine/UnitSystem.h"
#include "settings/Acceleration.h"
#include "settings/AppInt.h"
#include "settings/Dimension.h"
#include "settings/Scale.h"
#include "settings/Speed.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace morvik {

// The printf format of a position readout for a resolution of countsPerUnit: "%#+ 14.Nf"
// with N the number of decimals one count needs (strict comparisons: 1000 gives 3, 1001 gives
// 4; 1 or less gives 0). The axis passes the absolute scale, the cutter its signed scale.
std::string DisplayFormatFor(double countsPerUnit);

// The format an axis or cutter shows until its first configuration block is written.
inline constexpr const char* kInitialDisplayFormat = "%#+ 14f";

// Motion operations shared by Axis and Cutter: each forwards to the current machine's
// connection with the component's controller axis number and returns what the library
// returns. Nothing is called, and 0 is returned, when the component is not fitted (number 0,
// or a number that is not a valid 16-bit axis) or when there is no current machine.
// Component provides ControllerAxis().
template <class Component> class AxisMotion {
public:
    std::int32_t Enable(std::int16_t state);
    std::int32_t MoveAbsolute(double position);
    std::int32_t MoveRelative(double distance);
    std::int32_t SetAcceleration(double value);
    std::int32_t SetDeceleration(double value);
    std::int32_t SetOperatingMode(std::int16_t master, std::int16_t mode);
    std::int32_t SetVelocity(double value);
    std::int32_t SetVelocityOverride(double factor);
    std::int32_t Stop();
    std::int32_t GetStatus();
    // Non-zero when the condition (3 motion finished, 7 axis error) is set in status.
    std::int32_t DecodeStatus(std::int32_t status, std::int16_t condition);
    double GetPosition();
    double GetOptimal();
    double GetTarget();

protected:
    // Calls op on the connection with the axis number and args, or returns R{}.
    template <class R, class... Params, class... Args>
    R Forward(R (MotionController::*op)(std::int16_t, Params...), Args... args);
};

class Axis : public AxisMotion<Axis> {
public:
    static constexpr int kAxisCount = 6;

    explicit Axis(int index = 1, char letter = 'X');
    virtual ~Axis() = default;
    Axis(const Axis&) = default;
    Axis& operator=(const Axis&) = default;

    // Binds every setting to the section of index (1..6; another index binds none) and sets
    // the constructor defaults.
    void Init(int index, char letter);
    // A new machine's axis: scale 1 counts/in, offsets, limits and rates 0 in (in/sec,
    // in/sec/sec), slave axis 0, the given controller axis number.
    void Reset(std::int32_t controllerAxis);
    // Erases the section, then writes CTRLRAXISNUM, SLAVEAXISNUM, SCALE, MACHINEOFFSET,
    // PROGRAMOFFSET, RAPIDRATE, RAPIDACCEL, RAPIDDECEL, LOWERLIMIT, UPPERLIMIT. False when
    // any write was refused.
    bool Save(CProfileFile& file, int precision) const;
    void Load(const CProfileFile& file);
    // Appends the axis block to a configuration stream (ConfigStream.h) and, in the default
    // system's part, sets the display format from the scale.
    void WriteConfigBlock(std::ostream& out, const UnitSystem (&systems)[2], int defaultSystem);

    int Index() const { return index_; } // 1..6
    char Letter() const { return letter_; }
    const char* Section() const { return controllerAxis_.Section(); }
    const std::string& DisplayFormat() const { return displayFormat_; }
    // Puts a format back: the machine does so when the configuration file whose block set a
    // new one could not be written, so the readouts keep the scale the card still has.
    void RestoreDisplayFormat(std::string format) { displayFormat_ = std::move(format); }

    std::int32_t ControllerAxis() const { return controllerAxis_.Get(); }
    void SetControllerAxis(std::int32_t axis) { controllerAxis_.Set(axis); }
    std::int32_t SlaveAxis() const { return slaveAxis_.Get(); }
    void SetSlaveAxis(std::int32_t axis) { slaveAxis_.Set(axis); }

    CScale& Scale() { return scale_; }
    const CScale& Scale() const { return scale_; }
    CDimension& MachineOffset() { return machineOffset_; }
    const CDimension& MachineOffset() const { return machineOffset_; }
    CDimension& ProgramOffset() { return programOffset_; }
    const CDimension& ProgramOffset() const { return programOffset_; }
    CSpeed& RapidRate() { return rapidRate_; }
    const CSpeed& RapidRate() const { return rapidRate_; }
    CAcceleration& RapidAccel() { return rapidAccel_; }
    const CAcceleration& RapidAccel() const { return rapidAccel_; }
    CAcceleration& RapidDecel() { return rapidDecel_; }
    const CAcceleration& RapidDecel() const { return rapidDecel_; }
    CDimension& LowerLimit() { return lowerLimit_; }
    const CDimension& LowerLimit() const { return lowerLimit_; }
    CDimension& UpperLimit() { return upperLimit_; }
    const CDimension& UpperLimit() const { return upperLimit_; }

    // Axis-only motion operations (the others come from AxisMotion).
    std::int32_t SetDirection(std::int16_t direction); // 1 positive, 2 negative
    std::int32_t Go();

private:
    void WriteUnitPart(std::ostream& out, const UnitSystem& system) const;

    CScale scale_;
    CDimension machineOffset_;
    CDimension programOffset_;
    CSpeed rapidRate_;
    CAcceleration rapidAccel_;
    CAcceleration rapidDecel_;
    CDimension lowerLimit_;
    CDimension upperLimit_;
    std::string displayFormat_ = kInitialDisplayFormat;
    CAppInt controllerAxis_;
    int index_ = 1;
    char letter_ = 'X';
    CAppInt slaveAxis_;
};

} // namespace morvik

// --- AxisMotion, shared by Axis and Cutter ---

namespace morvik {

template <class Component>
template <class R, class... Params, class... Args>
R AxisMotion<Component>::Forward(R (MotionController::*op)(std::int16_t, Params...), Args... args) {
    const std::int32_t axis = static_cast<const Component&>(*this).ControllerAxis();
    MotionController* controller = CurrentController();
    // A number that does not fit the library's 16-bit axis argument would address another
    // axis once narrowed; it is treated like 0.
    if (controller == nullptr || axis < 1 || axis > INT16_MAX) {
        return R{};
    }
    return (controller->*op)(static_cast<std::int16_t>(axis), args...);
}

template <class C> std::int32_t AxisMotion<C>::Enable(std::int16_t state) {
    return Forward(&MotionController::EnableAxis, state);
}
template <class C> std::int32_t AxisMotion<C>::MoveAbsolute(double position) {
    return Forward(&MotionController::MoveAbsolute, position);
}

template <class C> std::int32_t AxisMotion<C>::MoveRelative(double distance) {
    return Forward(&MotionController::MoveRelative, distance);
}
template <class C> std::int32_t AxisMotion<C>::SetAcceleration(double value) {
    return Forward(&MotionController::SetAcceleration, value);
}
template <class C> std::int32_t AxisMotion<C>::SetDeceleration(double value) {
    return Forward(&MotionController::SetDeceleration, value);
}
template <class C>
std::int32_t AxisMotion<C>::SetOperatingMode(std::int16_t master, std::int16_t mode) {
    return Forward(&MotionController::SetOperatingMode, master, mode);
}
template <class C> std::int32_t AxisMotion<C>::SetVelocity(double value) {
    return Forward(&MotionController::SetVelocity, value);
}
template <class C> std::int32_t AxisMotion<C>::SetVelocityOverride(double factor) {
    return Forward(&MotionController::SetVelocityOverride, factor);
}
template <class C> std::int32_t AxisMotion<C>::Stop() {
    return Forward(&MotionController::Stop);
}
template <class C> std::int32_t AxisMotion<C>::GetStatus() {
    return Forward(&MotionController::GetStatus);
}
template <class C>
std::int32_t AxisMotion<C>::DecodeStatus(std::int32_t status, std::int16_t condition) {
    return Forward(&MotionController::DecodeStatus, status, condition);
}
template <class C> double AxisMotion<C>::GetPosition() {
    return Forward(&MotionController::GetPosition);
}
template <class C> double AxisMotion<C>::GetOptimal() {
    return Forward(&MotionController::GetOptimal);
}
template <class C> double AxisMotion<C>::GetTarget() {
    return Forward(&MotionController::GetTarget);
}

} // namespace morvik
