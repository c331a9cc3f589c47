// Joystick 0 of the station on Linux: the joystick device (/dev/input/js0 unless told
// otherwise) read through <linux/joystick.h>. The device is opened non-blocking at the first
// read and again after it went away, so a stick plugged in later is found on the next status
// tick. Each Read drains the queued events and reports the latest state:
//   - axis 0 is X, axis 1 is Y; the device's -32767..32767 becomes 0..65535 (centre 32767);
//   - button 0 is button 1 (0x1), button 1 is button 2 (0x2); further axes and buttons are
//     ignored;
//   - a device that does not exist reads as joystick::kUnplugged (167), one this user may not
//     open as joystick::kNoPermission, one that cannot be opened for another reason as
//     joystick::kNoDriver (6), and a device that fails while
//     being read (pulled out) as kUnplugged until it can be opened again.
// Tests give the path of a regular file or a FIFO holding js_event records.
#pragma once

#include "operation/Joystick.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace morvik {

class LinuxJoystick : public IJoystick {
public:
    static constexpr const char* kDefaultDevice = "/dev/input/js0";
    // The status of a device that could not be opened, by the errno of the open.
    static int StatusOfOpenError(int error);

    explicit LinuxJoystick(std::string devicePath = kDefaultDevice);
    ~LinuxJoystick() override;
    LinuxJoystick(const LinuxJoystick&) = delete;
    LinuxJoystick& operator=(const LinuxJoystick&) = delete;

    int Read(JoystickReading& reading) override;

    // The device's axis value (-32767..32767; -32768 counts as -32767) as a raw position.
    static std::uint32_t RawFromAxisValue(std::int16_t value);

private:
    int Open();
    void Close();
    // Reads every queued event; false when the device failed (it is closed then).
    bool Drain();
    void Apply(std::uint8_t type, std::uint8_t number, std::int16_t value);

    std::string path_;
    int fd_ = -1;
    JoystickReading state_;
    // Bytes of an event whose rest has not arrived yet.
    unsigned char partial_[8] = {};
    std::size_t partialSize_ = 0;
};

} // namespace morvik
