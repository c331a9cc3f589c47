#include "operation/LinuxJoystick.h"

#include <linux/joystick.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>
#include <utility>

namespace morvik {

namespace {

static_assert(sizeof(js_event) == 8, "js_event records are 8 bytes");

constexpr std::uint8_t kAxisX = 0;
constexpr std::uint8_t kAxisY = 1;

// The button bit of each device button the station uses.
constexpr std::uint32_t kButtonBits[] = {JoystickReading::kButton1, JoystickReading::kButton2};

int OpenFailureStatus(int error) {
    // No such device node, or a node without a device behind it: the stick is not plugged in.
    if (error == ENOENT || error == ENODEV || error == ENXIO)
        return joystick::kUnplugged;
    // The device is there but belongs to a group this user is not in.
    if (error == EACCES || error == EPERM)
        return joystick::kNoPermission;
    return joystick::kNoDriver;
}

} // namespace

LinuxJoystick::LinuxJoystick(std::string devicePath) : path_(std::move(devicePath)) {}

LinuxJoystick::~LinuxJoystick() {
    Close();
}

std::uint32_t LinuxJoystick::RawFromAxisValue(std::int16_t value) {
    const std::int32_t v = std::max<std::int32_t>(value, -32767);
    // -32767 -> 0, 0 -> 32767, 32767 -> 65535. The product reaches 65534 * 65535, past what a
    // 32-bit int holds, so it is formed in 64 bits.
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(v + 32767) * 65535 / 65534);
}

int LinuxJoystick::Open() {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        return OpenFailureStatus(errno);
    // A stick plugged in again starts centred; the driver's initial events then set its state.
    state_ = JoystickReading{};
    partialSize_ = 0;
    return joystick::kOk;
}

int LinuxJoystick::StatusOfOpenError(int error) {
    return OpenFailureStatus(error);
}

void LinuxJoystick::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

int LinuxJoystick::Read(JoystickReading& reading) {
    if (fd_ < 0) {
        const int status = Open();
        if (status != joystick::kOk)
            return status;
    }
    if (!Drain()) {
        Close();
        return joystick::kUnplugged;
    }
    reading = state_;
    return joystick::kOk;
}

bool LinuxJoystick::Drain() {
    unsigned char buffer[64 * sizeof(js_event)];
    for (;;) {
        std::memcpy(buffer, partial_, partialSize_);
        const ssize_t n = ::read(fd_, buffer + partialSize_, sizeof buffer - partialSize_);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK; // nothing queued, or the device failed
        if (n == 0)
            return true; // end of a file or a pipe whose writer is gone: nothing more now
        const std::size_t total = partialSize_ + static_cast<std::size_t>(n);
        std::size_t at = 0;
        for (; at + sizeof(js_event) <= total; at += sizeof(js_event)) {
            js_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            Apply(event.type, event.number, event.value);
        }
        partialSize_ = total - at;
        std::memcpy(partial_, buffer + at, partialSize_);
    }
}

void LinuxJoystick::Apply(std::uint8_t type, std::uint8_t number, std::int16_t value) {
    // The driver's initial-state events carry JS_EVENT_INIT besides their kind.
    const auto kind = static_cast<std::uint8_t>(type & ~JS_EVENT_INIT);
    if (kind == JS_EVENT_AXIS && number == kAxisX)
        state_.rawX = RawFromAxisValue(value);
    else if (kind == JS_EVENT_AXIS && number == kAxisY)
        state_.rawY = RawFromAxisValue(value);
    else if (kind == JS_EVENT_BUTTON && number < std::size(kButtonBits)) {
        const std::uint32_t bit = kButtonBits[number];
        state_.buttons = value != 0 ? (state_.buttons | bit) : (state_.buttons & ~bit);
    }
}

} // namespace morvik
