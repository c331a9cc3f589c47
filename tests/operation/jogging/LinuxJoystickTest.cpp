// The Linux joystick device read from files that stand in for it: a regular file or a FIFO
// holding js_event records, a path that does not exist, one that cannot be opened, and one
// that fails while being read.
#include "operation/LinuxJoystick.h"
#include "settings/TempFolder.h"

#include <gtest/gtest.h>

#include <linux/joystick.h>

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace morvik::test {
namespace {

js_event Event(std::uint8_t type, std::uint8_t number, std::int16_t value) {
    js_event e{};
    e.time = 1234;
    e.type = type;
    e.number = number;
    e.value = value;
    return e;
}

std::string Bytes(const std::vector<js_event>& events) {
    return std::string(reinterpret_cast<const char*>(events.data()),
                       events.size() * sizeof(js_event));
}

void Append(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

// The ends, both sides of the centre and the values next to the ends: every deflection above
// centre once overflowed a 32-bit product, which an unoptimised build showed as a wild value.
TEST(LinuxJoystickTest, AxisValuesMapOntoTheRawRange) {
    const struct {
        std::int16_t value;
        std::uint32_t raw;
    } cases[] = {{-32768, 0}, {-32767, 0}, {-32766, 1},    {-1, 32766},    {0, 32767},
                 {1, 32768},  {2, 32769},  {16384, 49151}, {32766, 65533}, {32767, 65535}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(LinuxJoystick::RawFromAxisValue(c.value), c.raw);
    }
}

TEST(LinuxJoystickTest, QueuedEventsGiveTheLatestStateOfTheTwoAxesAndButtons) {
    TempFolder folder;
    const std::string path = folder.File("js0");
    Append(path, Bytes({
                     Event(JS_EVENT_AXIS | JS_EVENT_INIT, 0, 0),
                     Event(JS_EVENT_AXIS | JS_EVENT_INIT, 1, 0),
                     Event(JS_EVENT_BUTTON | JS_EVENT_INIT, 0, 0), Event(JS_EVENT_AXIS, 0, -32767),
                     Event(JS_EVENT_AXIS, 1, 32767), Event(JS_EVENT_BUTTON, 0, 1),
                     Event(JS_EVENT_BUTTON, 1, 1),
                     Event(JS_EVENT_BUTTON, 2, 1),   // a third button is not ours
                     Event(JS_EVENT_AXIS, 2, 12345), // nor a third axis
                 }));
    LinuxJoystick stick(path);
    JoystickReading reading;
    ASSERT_EQ(stick.Read(reading), joystick::kOk);
    EXPECT_EQ(reading.rawX, 0u);
    EXPECT_EQ(reading.rawY, 65535u);
    EXPECT_EQ(reading.buttons, JoystickReading::kButton1 | JoystickReading::kButton2);

    // Nothing new: the same state again.
    ASSERT_EQ(stick.Read(reading), joystick::kOk);
    EXPECT_EQ(reading.rawX, 0u);

    Append(path, Bytes({Event(JS_EVENT_BUTTON, 0, 0), Event(JS_EVENT_AXIS, 0, 0)}));
    ASSERT_EQ(stick.Read(reading), joystick::kOk);
    EXPECT_EQ(reading.rawX, 32767u);
    EXPECT_EQ(reading.rawY, 65535u);
    EXPECT_EQ(reading.buttons, JoystickReading::kButton2);
}

TEST(LinuxJoystickTest, AnEventSplitAcrossReadsIsAppliedWhenComplete) {
    TempFolder folder;
    const std::string path = folder.File("js0");
    const std::string bytes =
        Bytes({Event(JS_EVENT_AXIS, 0, 32767), Event(JS_EVENT_AXIS, 1, -32767)});
    Append(path, bytes.substr(0, 12));
    LinuxJoystick stick(path);
    JoystickReading reading;
    ASSERT_EQ(stick.Read(reading), joystick::kOk);
    EXPECT_EQ(reading.rawX, 65535u);
    EXPECT_EQ(reading.rawY, 32767u) << "half an event changes nothing";

    Append(path, bytes.substr(12));
    ASSERT_EQ(stick.Read(reading), joystick::kOk);
    EXPECT_EQ(reading.rawY, 0u);
}

TEST(LinuxJoystickTest, AnEmptyFifoReadsAsAStickAtRest) {
    TempFolder folder;
    const std::string path = folder.File("js0");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    // A writer keeps the FIFO open so the reader sees "nothing queued" rather than its end.
    LinuxJoystick stick(path);
    JoystickReading reading{1, 2, 3};
    ASSERT_EQ(stick.Read(reading), joystick::kOk);
    const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(stick.Read(reading), joystick::kOk);
    EXPECT_EQ(reading.rawX, 32767u);
    EXPECT_EQ(reading.rawY, 32767u);
    EXPECT_EQ(reading.buttons, 0u);

    const std::string bytes = Bytes({Event(JS_EVENT_BUTTON, 1, 1)});
    ASSERT_EQ(::write(writer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ASSERT_EQ(stick.Read(reading), joystick::kOk);
    EXPECT_EQ(reading.buttons, JoystickReading::kButton2);
    ::close(writer);
}

TEST(LinuxJoystickTest, OpenAndReadFailuresGiveTheJoystickStatusCodes) {
    TempFolder folder;
    const std::string file = folder.File("plain");
    Append(file, "");
    const struct {
        const char* name;
        std::string path;
        int status;
    } cases[] = {
        {"missing device", folder.File("js0"), joystick::kUnplugged},
        {"not openable", file + "/js0", joystick::kNoDriver},
        {"fails while read", folder.Path().string(), joystick::kUnplugged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinuxJoystick stick(c.path);
        JoystickReading reading{1, 2, 3};
        EXPECT_EQ(stick.Read(reading), c.status);
        EXPECT_EQ(reading.rawX, 1u) << "left as it was";
        EXPECT_EQ(stick.Read(reading), c.status) << "and again on the next tick";
    }
}

TEST(LinuxJoystickTest, ADeviceThisUserMayNotOpenHasItsOwnStatus) {
    // Tests run as any user, root included, so the open's errno is given directly.
    const struct {
        int error;
        int status;
    } cases[] = {{EACCES, joystick::kNoPermission}, {EPERM, joystick::kNoPermission},
                 {ENOENT, joystick::kUnplugged},    {ENODEV, joystick::kUnplugged},
                 {EIO, joystick::kNoDriver},        {EMFILE, joystick::kNoDriver}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(LinuxJoystick::StatusOfOpenError(c.error), c.status);
    }
}

TEST(LinuxJoystickTest, AStickPluggedInLaterIsFoundOnTheNextRead) {
    TempFolder folder;
    const std::string path = folder.File("js0");
    LinuxJoystick stick(path);
    JoystickReading reading;
    EXPECT_EQ(stick.Read(reading), joystick::kUnplugged);
    Append(path, Bytes({Event(JS_EVENT_AXIS | JS_EVENT_INIT, 0, 32767)}));
    ASSERT_EQ(stick.Read(reading), joystick::kOk);
    EXPECT_EQ(reading.rawX, 65535u);
}

} // namespace
} // namespace morvik::test
