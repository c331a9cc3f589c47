// The PC joystick as the jog update and the calibration see it: one reading of joystick 0 with
// the raw X and Y positions, the two buttons and a status code. The product reads the Linux
// joystick device (LinuxJoystick.h); tests use a fake (tests/support/FakeJoystick.h).
#pragma once

#include <cstdint>

namespace morvik {

struct JoystickReading {
    static constexpr std::uint32_t kButton1 = 0x1; // fine jog: values divided by 10
    static constexpr std::uint32_t kButton2 = 0x2; // the stick's Y axis jogs Z

    std::uint32_t rawX = 32767; // 0 (left) .. 65535 (right)
    std::uint32_t rawY = 32767; // 0 (forward) .. 65535 (back)
    std::uint32_t buttons = 0;
};

// Status codes of a failed read (the values the operator's messages are chosen by).
namespace joystick {
inline constexpr int kOk = 0;
inline constexpr int kNoDriver = 6;        // message 34100
inline constexpr int kInvalidDevice = 165; // message 34101
inline constexpr int kUnplugged = 167;     // message 34102
// The device exists but this user may not read it; not a code of the original interface, so
// it is chosen beyond its range.
inline constexpr int kNoPermission = 1013; // message 34209
} // namespace joystick

class IJoystick {
public:
    virtual ~IJoystick() = default;
    // Fills reading with the stick's present state. Returns joystick::kOk, or one of the
    // failure codes above (reading is then left as it was).
    virtual int Read(JoystickReading& reading) = 0;
};

} // namespace morvik
