// The joystick arithmetic: deflection with its dead band (a band wider than the travel never
// moves a stick at rest), the three jog values with the buttons and the lathe rotation, and
// the calibration through the operator's three prompts.
#include "controller/StringTable.h"
#include "operation/jogging/JogFixture.h"

#include <cmath>

namespace morvik::test {
namespace {

using JoystickTest = JogOnFakeCard;

struct DeflectionCase {
    const char* name;
    std::int32_t deadband;
    double centre, lower, upper;
    bool invert;
    double raw;
    double expected;
    double tolerance;
};

TEST_F(JoystickTest, DeflectionFollowsCentreExtremesBandAndInvert) {
    constexpr double kBand10 = 3276.7; // 10 % of 32767
    const DeflectionCase cases[] = {
        {"full right", 10, 32767, 0, 65535, false, 65535, 1.0, 0},
        {"full left", 10, 32767, 0, 65535, false, 0, -1.0, 0},
        {"just past the band", 10, 32767, 0, 65535, false, 32767 + kBand10 + 1, 3.4e-5, 1e-5},
        {"just past the band, left", 10, 32767, 0, 65535, false, 32767 - kBand10 - 1, -3.4e-5,
         1e-5},
        {"inside the band, right", 10, 32767, 0, 65535, false, 32767 + 3000, 0, 0},
        {"inside the band, left", 10, 32767, 0, 65535, false, 32767 - 3000, 0, 0},
        {"at rest", 10, 32767, 0, 65535, false, 32767, 0, 0},
        {"half right, no band", 0, 32767, 0, 65535, false, 49151, 0.5, 0},
        {"beyond the extreme", 0, 30000, 1000, 60000, false, 65535, 1.0, 0},
        {"inverted", 0, 32767, 0, 65535, true, 49151, -0.5, 0},
        {"inverted left", 10, 32767, 0, 65535, true, 0, 1.0, 0},
        {"band 100: rest", 100, 32767, 0, 65535, false, 32767, 0, 0},
        {"band 150: rest", 150, 32767, 0, 65535, false, 32767, 0, 0},
        {"band 150: right", 150, 32767, 0, 65535, false, 65535, 0, 0},
        {"band 150: left", 150, 32767, 0, 65535, false, 0, 0, 0},
        {"band 150: near rest", 150, 32767, 0, 65535, false, 32800, 0, 0},
        {"negative band: rest", -20, 32767, 0, 65535, false, 32767, 0, 0},
        {"no travel left of the centre", 0, 0, 0, 65535, false, 0, 0, 0},
    };
    JoggingSettings& jog = machine->Jogging();
    for (const DeflectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        jog.joystickDeadband.Set(c.deadband);
        jog.joystickXCenter.Set(c.centre);
        jog.joystickXLower.Set(c.lower);
        jog.joystickXUpper.Set(c.upper);
        jog.joystickXInvert.Set(c.invert ? 1 : 0);
        const double value = jogging->Deflection(JoystickAxis::X, c.raw);
        EXPECT_TRUE(std::isfinite(value));
        EXPECT_NEAR(value, c.expected, c.tolerance);
        if (c.expected != 0) {
            EXPECT_EQ(value > 0, c.expected > 0) << "sign";
        }
    }
}

TEST_F(JoystickTest, YUsesItsOwnCalibration) {
    JoggingSettings& jog = machine->Jogging();
    jog.joystickDeadband.Set(0);
    jog.joystickYCenter.Set(1000);
    jog.joystickYUpper.Set(3000);
    jog.joystickYLower.Set(0);
    jog.joystickYInvert.Set(1);
    EXPECT_DOUBLE_EQ(jogging->Deflection(JoystickAxis::Y, 2000), -0.5);
    EXPECT_DOUBLE_EQ(jogging->Deflection(JoystickAxis::X, 2000), (2000 - 32767) / 32767.0);
}

struct ReadingCase {
    const char* name;
    std::uint32_t rawX, rawY, buttons;
    int machineType;
    JogValues expected;
};

TEST_F(JoystickTest, ButtonsChooseTheAxesAndTheLatheRotatesThem) {
    UseJoystick();
    const ReadingCase cases[] = {
        {"right and back", 65535, 49151, 0, 0, {1.0, 0.5, 0}},
        {"fine", 65535, 49151, JoystickReading::kButton1, 0, {0.1, 0.05, 0}},
        {"button 2: Y jogs Z", 65535, 49151, JoystickReading::kButton2, 0, {0, 0, 0.5}},
        {"button 2 fine",
         0,
         65535,
         JoystickReading::kButton1 | JoystickReading::kButton2,
         0,
         {0, 0, 0.1}},
        {"horizontal mill as a mill", 65535, 32767, 0, 1, {1.0, 0, 0}},
        {"lathe: right jogs Z", 65535, 32767, 0, 2, {0, 0, 1.0}},
        {"lathe: back jogs X", 32767, 65535, 0, 2, {1.0, 0, 0}},
        {"lathe: button 2 jogs Y", 32767, 65535, JoystickReading::kButton2, 2, {0, 1.0, 0}},
    };
    for (const ReadingCase& c : cases) {
        SCOPED_TRACE(c.name);
        machine->General().machineType.Set(c.machineType);
        stick.Hold(c.rawX, c.rawY, c.buttons);
        const JogValues v = jogging->ReadJoystick();
        EXPECT_DOUBLE_EQ(v.x, c.expected.x);
        EXPECT_DOUBLE_EQ(v.y, c.expected.y);
        EXPECT_DOUBLE_EQ(v.z, c.expected.z);
    }
}

TEST_F(JoystickTest, UnusedCalibratingOrFailingStickReadsZero) {
    struct Case {
        const char* name;
        int use;
        bool calibrating;
        int status;
    };
    const Case cases[] = {
        {"not used", 0, false, joystick::kOk},
        {"calibrating", 1, true, joystick::kOk},
        {"no driver", 1, false, joystick::kNoDriver},
        {"unplugged", 1, false, joystick::kUnplugged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        machine->Jogging().usePcJoystick.Set(c.use);
        machine->State().calibrating = c.calibrating;
        stick.Hold(65535, 0, JoystickReading::kButton2);
        stick.status = c.status;
        const JogValues v = jogging->ReadJoystick();
        EXPECT_EQ(v.x, 0.0);
        EXPECT_EQ(v.y, 0.0);
        EXPECT_EQ(v.z, 0.0);
    }
}

// ---- Calibration ----

// An operator that notes, at each prompt, whether the jog update would ignore the stick.
class PromptWatcher : public RecordingOperator {
public:
    MachineState* state = nullptr;
    std::vector<bool> calibratingAtPrompt;
    void ShowMessageBox(int id, const std::string& detail) override {
        calibratingAtPrompt.push_back(state != nullptr && state->calibrating);
        RecordingOperator::ShowMessageBox(id, detail);
    }
};

// One joystick axis's calibration as stored in the machine's settings.
struct Stored {
    double centre, lower, upper;
    int invert;
};

class CalibrationTest : public JogOnFakeCard {
protected:
    void SetUp() override {
        JogOnFakeCard::SetUp();
        // The calibration talks to the watcher; the rest of the fixture is the same.
        jogging.reset();
        machine.reset();
        machine = std::make_unique<CMachine>(fake.Table(), clock, watcher);
        ASSERT_TRUE(machine->Connect());
        watcher.state = &machine->State();
        jogging = std::make_unique<Jogging>(*machine, stick);
        machine->Jogging().usePcJoystick.Set(1);
        machine->SetModifiedFlag(false);
    }

    void Answer(int status, std::uint32_t x = 0, std::uint32_t y = 0) {
        stick.queue.push_back({status, JoystickReading{x, y, 0}});
    }

    Stored X() const {
        const JoggingSettings& j = machine->Jogging();
        return {j.joystickXCenter.Get(), j.joystickXLower.Get(), j.joystickXUpper.Get(),
                j.joystickXInvert.Get()};
    }
    Stored Y() const {
        const JoggingSettings& j = machine->Jogging();
        return {j.joystickYCenter.Get(), j.joystickYLower.Get(), j.joystickYUpper.Get(),
                j.joystickYInvert.Get()};
    }

    PromptWatcher watcher;
};

void ExpectAxis(const Stored& actual, double centre, double lower, double upper, int invert) {
    EXPECT_EQ(actual.centre, centre);
    EXPECT_EQ(actual.lower, lower);
    EXPECT_EQ(actual.upper, upper);
    EXPECT_EQ(actual.invert, invert);
}

struct CalibrationCase {
    const char* name;
    std::uint32_t centre[2], upperLeft[2], lowerRight[2];
    double x[4]; // centre, lower, upper, invert
    double y[4];
};

TEST_F(CalibrationTest, ThreePromptsSetCentreExtremesAndInvert) {
    const CalibrationCase cases[] = {
        // The usual stick reads Y 0 at the top, so its Y comes out inverted.
        {"usual stick",
         {32000, 33000},
         {1000, 2000},
         {64000, 63000},
         {32000, 1000, 64000, 0},
         {33000, 2000, 63000, 1}},
        {"reversed X",
         {32000, 33000},
         {64000, 63000},
         {1000, 2000},
         {32000, 1000, 64000, 1},
         {33000, 2000, 63000, 0}},
        {"centre outside the extremes",
         {100, 65000},
         {1000, 2000},
         {64000, 63000},
         {32500, 1000, 64000, 0},
         {32500, 2000, 63000, 1}},
        {"no travel at all",
         {500, 500},
         {500, 500},
         {500, 500},
         {500, 500, 500, 1},
         {500, 500, 500, 1}},
    };
    for (const CalibrationCase& c : cases) {
        SCOPED_TRACE(c.name);
        watcher.messages.clear();
        watcher.calibratingAtPrompt.clear();
        machine->SetModifiedFlag(false);
        Answer(joystick::kOk, 1, 1); // the first reading only checks the stick
        Answer(joystick::kOk, c.centre[0], c.centre[1]);
        Answer(joystick::kOk, c.upperLeft[0], c.upperLeft[1]);
        Answer(joystick::kOk, c.lowerRight[0], c.lowerRight[1]);

        jogging->Calibrate();

        EXPECT_EQ(watcher.messages, (std::vector<int>{msg::JoystickCenter, msg::JoystickUpperLeft,
                                                      msg::JoystickLowerRight}));
        EXPECT_EQ(watcher.calibratingAtPrompt, (std::vector<bool>{true, true, true}));
        EXPECT_TRUE(stick.queue.empty());
        ExpectAxis(X(), c.x[0], c.x[1], c.x[2], int(c.x[3]));
        ExpectAxis(Y(), c.y[0], c.y[1], c.y[2], int(c.y[3]));
        EXPECT_TRUE(machine->IsModified());
        EXPECT_FALSE(machine->State().calibrating);
    }
}

struct FailureCase {
    const char* name;
    int failingRead; // 0: the first check, 1..3: after that prompt
    int status;
    std::vector<int> messages;
};

TEST_F(CalibrationTest, AFailedReadingShowsItsMessageAndChangesNothing) {
    const FailureCase cases[] = {
        {"no driver", 0, joystick::kNoDriver, {msg::JoystickDriverMissing}},
        {"invalid id", 0, joystick::kInvalidDevice, {msg::JoystickIdInvalid}},
        {"not connected", 0, joystick::kUnplugged, {msg::JoystickNotConnected}},
        {"no permission", 0, joystick::kNoPermission, {msg::JoystickNoPermission}},
        {"other code", 0, 5, {}},
        {"pulled out after centring",
         2,
         joystick::kUnplugged,
         {msg::JoystickCenter, msg::JoystickUpperLeft, msg::JoystickNotConnected}},
        {"pulled out at the end",
         3,
         joystick::kUnplugged,
         {msg::JoystickCenter, msg::JoystickUpperLeft, msg::JoystickLowerRight,
          msg::JoystickNotConnected}},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        watcher.messages.clear();
        stick.queue.clear();
        machine->SetModifiedFlag(false);
        for (int read = 0; read < c.failingRead; ++read)
            Answer(joystick::kOk, 100, 60000);
        Answer(c.status);

        jogging->Calibrate();

        EXPECT_EQ(watcher.messages, c.messages);
        ExpectAxis(X(), 32767, 0, 65535, 0);
        ExpectAxis(Y(), 32767, 0, 65535, 0);
        EXPECT_FALSE(machine->IsModified());
        EXPECT_FALSE(machine->State().calibrating);
    }
}

TEST_F(CalibrationTest, DoesNothingWhileTheJoystickIsNotUsed) {
    machine->Jogging().usePcJoystick.Set(0);
    jogging->Calibrate();
    EXPECT_EQ(stick.reads, 0);
    EXPECT_TRUE(watcher.messages.empty());
    EXPECT_FALSE(machine->IsModified());
}

} // namespace
} // namespace morvik::test
