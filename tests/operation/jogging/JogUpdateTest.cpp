// The jog update on the recording fake: buttons start one full-speed motion at a time, a
// released button stops its axis and the stopping bit clears once the axis reports finished;
// a deflected joystick steers its axes on every update; the cutter is raised, turned and
// lowered around X and Y jogs; a lost button release never leaves an axis running.
#include "operation/jogging/JogFixture.h"

namespace morvik::test {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

struct ButtonCase {
    const char* name;
    std::uint16_t button;
    std::int16_t axis;
    int direction;
    std::uint16_t moving;
    std::uint16_t stopping;
};

const ButtonCase kButtons[] = {
    {"X+", button::kXPlus, kAxisX, 1, 0x0010, 0x0020},
    {"X-", button::kXMinus, kAxisX, 2, 0x0040, 0x0080},
    {"Y+", button::kYPlus, kAxisY, 1, 0x0100, 0x0200},
    {"Y-", button::kYMinus, kAxisY, 2, 0x0400, 0x0800},
    {"Z+", button::kZPlus, kAxisZ, 1, 0x1000, 0x2000},
    {"Z-", button::kZMinus, kAxisZ, 2, 0x4000, 0x8000},
};

using JogButtonTest = JogOnFakeCard;

TEST_F(JogButtonTest, HeldButtonJogsOnceAtFullRateAndReleaseStopsUntilFinished) {
    for (const ButtonCase& c : kButtons) {
        SCOPED_TRACE(c.name);
        Press(c.button);
        EXPECT_THAT(Tick(), ElementsAreArray(StartCalls(c.axis, c.direction, "60")));
        EXPECT_EQ(JogState(), c.moving);
        EXPECT_THAT(Tick(), IsEmpty()) << "a held button starts one motion only";

        Release(c.button);
        EXPECT_THAT(Tick(), ElementsAre(StopCall(c.axis)));
        EXPECT_EQ(JogState(), c.stopping);
        EXPECT_THAT(Tick(), IsEmpty());
        EXPECT_EQ(JogState(), c.stopping) << "still decelerating";

        Finish(c.axis);
        Tick();
        EXPECT_EQ(JogState(), 0);
        Finish(c.axis, false);
    }
}

TEST_F(JogButtonTest, ASecondButtonWaitsUntilTheFirstMotionHasEnded) {
    Press(button::kYMinus);
    Tick();
    Press(button::kXPlus);
    EXPECT_THAT(Tick(), IsEmpty()) << "X+ held while Y- moves";
    EXPECT_EQ(JogState(), 0x0400);

    Release(button::kYMinus);
    EXPECT_THAT(Tick(), ElementsAre(StopCall(kAxisY)));
    Finish(kAxisY);
    EXPECT_THAT(Tick(), IsEmpty()) << "the update that clears Y's stopping bit still saw it";
    EXPECT_EQ(JogState(), 0);
    EXPECT_THAT(Tick(), ElementsAreArray(StartCalls(kAxisX, 1, "60")));
}

TEST_F(JogButtonTest, PressingAgainWhileTheSameDirectionStopsRestartsIt) {
    Press(button::kXPlus);
    Tick();
    Release(button::kXPlus);
    Tick();
    ASSERT_EQ(JogState(), 0x0020);
    Press(button::kXPlus);
    EXPECT_THAT(Tick(), ElementsAreArray(StartCalls(kAxisX, 1, "60")));
    EXPECT_EQ(JogState(), 0x0010);

    Release(button::kXPlus);
    Tick();
    Press(button::kXMinus);
    EXPECT_THAT(Tick(), IsEmpty()) << "the other direction waits for the stop";
}

TEST_F(JogButtonTest, AxesWithoutControllerAxisAreNeverMoved) {
    machine->AxisZ().SetControllerAxis(0);
    Press(button::kZPlus | button::kZMinus);
    EXPECT_THAT(Tick(), IsEmpty());
    EXPECT_EQ(JogState(), 0);
}

TEST_F(JogButtonTest, ReleaseAllStopsAHeldJogWhoseReleaseWasLost) {
    Press(button::kXPlus);
    inputs.buttonBits |= button::kStart; // a bit of no jog button is not the jog's
    Tick();
    jogging->ReleaseAll(inputs);
    EXPECT_EQ(inputs.buttonBits, button::kStart);
    EXPECT_THAT(Tick(), ElementsAre(StopCall(kAxisX)));
    EXPECT_EQ(JogState(), 0x0020);
}

using JogStickTest = JogOnFakeCard;

TEST_F(JogStickTest, DeflectionSteersTheSpeedOnEveryUpdateAndCentreStops) {
    UseJoystick();
    stick.Hold(49151, 32767); // half right
    EXPECT_THAT(Tick(), ElementsAreArray(StartCalls(kAxisX, 1, "30")));
    stick.Hold(65535, 32767);
    EXPECT_THAT(Tick(), ElementsAreArray(StartCalls(kAxisX, 1, "60")));
    EXPECT_EQ(JogState(), 0x0010);
    stick.Hold(32767, 32767);
    EXPECT_THAT(Tick(), ElementsAre(StopCall(kAxisX)));
    EXPECT_EQ(JogState(), 0x0020);
}

TEST_F(JogStickTest, XAndYMoveTogetherButZWaitsForThem) {
    UseJoystick();
    stick.Hold(65535, 0); // right and forward
    std::vector<std::string> expected = StartCalls(kAxisX, 1, "60");
    for (const std::string& call : StartCalls(kAxisY, 2, "60"))
        expected.push_back(call);
    EXPECT_THAT(Tick(), ElementsAreArray(expected));
    EXPECT_EQ(JogState(), 0x0010 | 0x0400);

    // Button 2 turns the stick's Y into Z; X and Y are not deflected any more and stop, but
    // Z does not start in the same update because the snapshot still shows them moving.
    stick.Hold(32767, 65535, JoystickReading::kButton2);
    EXPECT_THAT(Tick(), ElementsAre(StopCall(kAxisX), StopCall(kAxisY)));
    Finish(kAxisX);
    Finish(kAxisY);
    EXPECT_THAT(Tick(), IsEmpty()) << "the snapshot still shows X and Y stopping";
    EXPECT_EQ(JogState(), 0);
    EXPECT_THAT(Tick(), ElementsAreArray(StartCalls(kAxisZ, 1, "60")));
}

TEST_F(JogStickTest, FineButtonJogsAtATenthOfTheRate) {
    UseJoystick();
    stick.Hold(65535, 32767, JoystickReading::kButton1);
    EXPECT_THAT(Tick(), ElementsAreArray(StartCalls(kAxisX, 1, "6")));
}

TEST_F(JogStickTest, AStickAtRestNeverMovesWhateverTheDeadBand) {
    for (std::int32_t band : {0, 10, 100, 101, 150, 1000, -20}) {
        SCOPED_TRACE(band);
        UseJoystick(band);
        stick.Hold(32767, 32767);
        EXPECT_THAT(Tick(), IsEmpty());
        stick.Hold(32767, 32767, JoystickReading::kButton2);
        EXPECT_THAT(Tick(), IsEmpty());
        EXPECT_EQ(JogState(), 0);
    }
}

TEST_F(JogStickTest, AJoystickThatStopsAnsweringStopsTheJog) {
    UseJoystick();
    stick.Hold(65535, 32767);
    Tick();
    stick.status = joystick::kUnplugged;
    EXPECT_THAT(Tick(), ElementsAre(StopCall(kAxisX)));
}

TEST_F(JogStickTest, OnALatheTheStickRightJogsZAndForwardJogsX) {
    UseJoystick();
    machine->General().machineType.Set(2);
    stick.Hold(65535, 32767);
    EXPECT_THAT(Tick(), ElementsAreArray(StartCalls(kAxisZ, 1, "60")));
    stick.Hold(32767, 0);
    std::vector<std::string> expected = StartCalls(kAxisX, 2, "60");
    expected.push_back(StopCall(kAxisZ));
    EXPECT_THAT(Tick(), ElementsAreArray(expected));
}

} // namespace
} // namespace morvik::test
