// The machine's spindle: a servo axis scaled in counts per revolution (mode 1, "SERVO") or a
// drive described by a drive constant (mode 2, "DRIVE"). Section "SPINDLE" of the machine
// file. Controller axis number 0 means no spindle on the card: its configuration block stops
// after two lines and its speed reads 0.
#pragma once

#include "machine/CurrentMachine.h"
#include "machine/UnitSystem.h"
#include "settings/Acceleration.h"
#include "settings/AppInt.h"
#include "settings/Scale.h"
#include "settings/Speed.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace morvik {

class Spindle {
public:
    static constexpr const char* kSection = "SPINDLE";
    static constexpr std::int32_t kModeServo = 1;
    static constexpr std::int32_t kModeDrive = 2;
    static constexpr std::int32_t kPolarityNormal = 1;
    static constexpr std::int32_t kPolarityReverse = -1;

    Spindle();
    virtual ~Spindle() = default;
    Spindle(const Spindle&) = default;
    Spindle& operator=(const Spindle&) = default;

    // Binds every setting to "SPINDLE" and sets the constructor defaults (polarity 1, the
    // rest 0; scale in counts/rev, rates in rev/sec).
    void Init();
    // A new machine's spindle: mode 1, polarity 1, scale 1 counts/rev, drive constant and
    // speed 0 rev/sec, acceleration and deceleration 0 rev/sec/sec, the given axis number.
    void Reset(std::int32_t controllerAxis);
    // Erases the section, then writes CTRLRAXISNUM, MODE, POLARITY, SCALE, CONSTANT, SPEED,
    // ACCEL, DECEL. False when any write was refused.
    bool Save(CProfileFile& file, int precision) const;
    void Load(const CProfileFile& file);
    // Appends the spindle block. The spindle's display format never changes.
    void WriteConfigBlock(std::ostream& out, const UnitSystem (&systems)[2],
                          int defaultSystem) const;

    const std::string& DisplayFormat() const { return displayFormat_; }

    std::int32_t ControllerAxis() const { return controllerAxis_.Get(); }
    void SetControllerAxis(std::int32_t axis) { controllerAxis_.Set(axis); }
    std::int32_t Mode() const { return mode_.Get(); }
    void SetMode(std::int32_t mode) { mode_.Set(mode); }
    std::int32_t Polarity() const { return polarity_.Get(); }
    void SetPolarity(std::int32_t polarity) { polarity_.Set(polarity); }

    CScale& Scale() { return scale_; }
    const CScale& Scale() const { return scale_; }
    CSpeed& DriveConstant() { return constant_; }
    const CSpeed& DriveConstant() const { return constant_; }
    CSpeed& Speed() { return speed_; }
    const CSpeed& Speed() const { return speed_; }
    CAcceleration& Accel() { return accel_; }
    const CAcceleration& Accel() const { return accel_; }
    CAcceleration& Decel() { return decel_; }
    const CAcceleration& Decel() const { return decel_; }

    // The spindle speed the card reports (query 467), in the card's units; 0 when the
    // spindle has no controller axis or there is no current machine.
    double GetActualSpeed() const;

private:
    void WriteUnitPart(std::ostream& out, const UnitSystem& system) const;

    CAppInt controllerAxis_;
    CAppInt mode_;
    CAppInt polarity_;
    CScale scale_;
    CSpeed constant_;
    CSpeed speed_;
    CAcceleration accel_;
    CAcceleration decel_;
    std::string displayFormat_ = "%#+ 14.1f";
};

} // namespace morvik
