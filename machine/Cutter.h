// The cutter: a rotary axis measured in revolutions whose tool can be raised and lowered by
// controller macros. Section "CUTTER" of the machine file. Besides its settings it keeps two
// pieces of run-time state for the machine document's cutter logic, never stored: whether it
// was last raised or lowered, and the last position commanded to it.
#pragma once

#include "machine/Axis.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace morvik {

class Cutter : public AxisMotion<Cutter> {
public:
    static constexpr const char* kSection = "CUTTER";
    // Raised state.
    static constexpr std::int32_t kStateUnset = 0;
    static constexpr std::int32_t kRaised = 1;
    static constexpr std::int32_t kLowered = 2;

    Cutter();
    virtual ~Cutter() = default;
    Cutter(const Cutter&) = default;
    Cutter& operator=(const Cutter&) = default;

    // Binds every setting to "CUTTER" and sets the constructor defaults (all 0; scale in
    // counts/rev, offset in rev, rates in rev/sec). Leaves the run-time state alone.
    void Init();
    // A new machine's cutter: scale 1 counts/rev, offset 0 rev, speed 0 rev/sec, acceleration
    // and deceleration 0 rev/sec/sec, M-codes and macros 0, the given axis number.
    void Reset(std::int32_t controllerAxis);
    // Erases the section, then writes CTRLRAXISNUM, SCALE, OFFSET, RAISEMCODE, LOWERMCODE,
    // RAISEMACRO, LOWERMACRO, SPEED, ACCEL, DECEL. False when any write was refused.
    bool Save(CProfileFile& file, int precision) const;
    void Load(const CProfileFile& file);
    // Appends the cutter block (both parts in the English time unit) and, in the default
    // system's part, sets the display format from the scale in counts per English length unit.
    void WriteConfigBlock(std::ostream& out, const UnitSystem (&systems)[2], int defaultSystem);

    const std::string& DisplayFormat() const { return displayFormat_; }
    // As Axis::RestoreDisplayFormat.
    void RestoreDisplayFormat(std::string format) { displayFormat_ = std::move(format); }

    std::int32_t ControllerAxis() const { return controllerAxis_.Get(); }
    void SetControllerAxis(std::int32_t axis) { controllerAxis_.Set(axis); }
    std::int32_t RaiseMCode() const { return raiseMCode_.Get(); }
    void SetRaiseMCode(std::int32_t code) { raiseMCode_.Set(code); }
    std::int32_t LowerMCode() const { return lowerMCode_.Get(); }
    void SetLowerMCode(std::int32_t code) { lowerMCode_.Set(code); }
    std::int32_t RaiseMacro() const { return raiseMacro_.Get(); }
    void SetRaiseMacro(std::int32_t macro) { raiseMacro_.Set(macro); }
    std::int32_t LowerMacro() const { return lowerMacro_.Get(); }
    void SetLowerMacro(std::int32_t macro) { lowerMacro_.Set(macro); }

    CScale& Scale() { return scale_; }
    const CScale& Scale() const { return scale_; }
    CDimension& Offset() { return offset_; }
    const CDimension& Offset() const { return offset_; }
    CSpeed& Speed() { return speed_; }
    const CSpeed& Speed() const { return speed_; }
    CAcceleration& Accel() { return accel_; }
    const CAcceleration& Accel() const { return accel_; }
    CAcceleration& Decel() { return decel_; }
    const CAcceleration& Decel() const { return decel_; }

    // Run-time state.
    std::int32_t RaisedState() const { return raisedState_; }
    void SetRaisedState(std::int32_t state) { raisedState_ = state; }
    double LastPosition() const { return lastPosition_; } // revolutions
    void SetLastPosition(double position) { lastPosition_ = position; }

    // Runs the raise (lower) macro on the card when its number is non-zero; the state becomes
    // raised (lowered) in every case.
    void Raise();
    void Lower();

private:
    // Macro 0 means none: no call.
    static void RunMacro(std::int32_t macro);
    void WriteUnitPart(std::ostream& out, const UnitSystem& system, int timeUnit) const;

    CScale scale_;
    CDimension offset_;
    CAppInt raiseMCode_;
    CAppInt lowerMCode_;
    CAppInt raiseMacro_;
    CAppInt lowerMacro_;
    CSpeed speed_;
    CAcceleration accel_;
    CAcceleration decel_;
    CAppInt controllerAxis_;
    std::string displayFormat_ = kInitialDisplayFormat;
    std::int32_t raisedState_ = kStateUnset;
    double lastPosition_ = 0.0;
};

} // namespace morvik
