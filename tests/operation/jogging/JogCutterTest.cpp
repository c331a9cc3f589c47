// Jogging on a machine with a tangential cutter: X and Y with the cutter lowered turn it to
// face the travel first (raise, move within its revolution, wait, lower), with the cutter up
// it is raised once; the Z buttons raise and lower it; the Cut box sets and clears the flag.
#include "operation/jogging/JogFixture.h"

namespace morvik::test {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

class JogCutterTest : public JogOnFakeCard {
protected:
    void SetUp() override {
        JogOnFakeCard::SetUp();
        FitCutter();
    }
    Cutter& TheCutter() { return machine->GetCutter(); }
};

struct TurnCase {
    const char* name;
    std::uint16_t button;
    std::int16_t axis;
    int direction;
    double startAngle;      // revolutions
    const char* turnTarget; // the move the cutter gets, or nullptr when it already faces
    double finalAngle;
};

const TurnCase kTurns[] = {
    {"X+ already faces", button::kXPlus, kAxisX, 1, 2.0, nullptr, 2.0},
    {"Y+ quarter", button::kYPlus, kAxisY, 1, 2.0, "2.25", 2.25},
    {"X- half", button::kXMinus, kAxisX, 2, 2.0, "2.5", 2.5},
    {"Y- three quarters", button::kYMinus, kAxisY, 2, 2.0, "2.75", 2.75},
    {"X+ stays in its revolution", button::kXPlus, kAxisX, 1, 3.75, "3", 3.0},
    {"Y+ from a negative angle", button::kYPlus, kAxisY, 1, -0.25, "-0.75", -0.75},
    {"Y- negative already faces", button::kYMinus, kAxisY, 2, -0.25, nullptr, -0.25},
};

TEST_F(JogCutterTest, CutterDownTurnsToTheTravelThenLowersAndJogs) {
    for (const TurnCase& c : kTurns) {
        SCOPED_TRACE(c.name);
        machine->State().jogState = 0;
        machine->State().cutterDown = true;
        TheCutter().SetLastPosition(c.startAngle);
        TheCutter().SetRaisedState(Cutter::kLowered);
        Finish(kCutterAxis, false);
        Press(c.button);

        const std::vector<std::string> turning = Tick();
        if (c.turnTarget) {
            EXPECT_THAT(turning,
                        ElementsAre(MacroCall(kRaiseMacro),
                                    "KelvMoveAbsolute(B, 4, " + std::string(c.turnTarget) + ")"));
        } else {
            EXPECT_THAT(turning, IsEmpty()) << "the cutter has not reported finished";
        }
        EXPECT_EQ(TheCutter().LastPosition(), c.finalAngle);
        EXPECT_EQ(JogState(), 0);
        EXPECT_THAT(Tick(), IsEmpty()) << "no second turn while the cutter is still moving";

        Finish(kCutterAxis);
        std::vector<std::string> expected;
        if (c.turnTarget)
            expected.push_back(MacroCall(kLowerMacro));
        for (const std::string& call : StartCalls(c.axis, c.direction, "60"))
            expected.push_back(call);
        EXPECT_THAT(Tick(), ElementsAreArray(expected));
        EXPECT_EQ(TheCutter().RaisedState(), Cutter::kLowered);
        Release(c.button);
    }
}

TEST_F(JogCutterTest, CutterUpIsRaisedOnceAndXJogsAtOnce) {
    machine->State().cutterDown = false;
    Press(button::kXPlus);
    std::vector<std::string> expected{MacroCall(kRaiseMacro)};
    for (const std::string& call : StartCalls(kAxisX, 1, "60"))
        expected.push_back(call);
    EXPECT_THAT(Tick(), ElementsAreArray(expected));

    Release(button::kXPlus);
    Tick();
    Finish(kAxisX);
    Tick();
    Press(button::kYPlus);
    EXPECT_THAT(Tick(), ElementsAreArray(StartCalls(kAxisY, 1, "60"))) << "already raised";
}

TEST_F(JogCutterTest, ZButtonsRaiseAndLowerTheCutterOnTheirPressOnly) {
    Press(button::kZPlus);
    std::vector<std::string> expected = StartCalls(kAxisZ, 1, "60");
    expected.push_back(MacroCall(kRaiseMacro));
    EXPECT_THAT(Tick(), ElementsAreArray(expected));
    EXPECT_THAT(Tick(), IsEmpty()) << "held, no new edge";

    Release(button::kZPlus);
    Press(button::kZMinus);
    EXPECT_THAT(Tick(), ElementsAre(StopCall(kAxisZ), MacroCall(kLowerMacro)));
}

TEST_F(JogCutterTest, ZButtonsWithoutZAxisOnlyRaiseAndLower) {
    machine->AxisZ().SetControllerAxis(0);
    UseJoystick();
    stick.Hold(32767, 32767);
    Press(button::kZMinus);
    EXPECT_THAT(Tick(), ElementsAre(MacroCall(kLowerMacro)));
    Release(button::kZMinus);
    Press(button::kZPlus);
    EXPECT_THAT(Tick(), ElementsAre(MacroCall(kRaiseMacro)));
    EXPECT_EQ(JogState(), 0);
}

struct CutBoxCase {
    bool wasChecked;
    MachineMode mode;
    bool cutterDownAfter;
    bool raised;
};

TEST_F(JogCutterTest, CutBoxActsOnTheStateItLeaves) {
    const CutBoxCase cases[] = {
        {true, MachineMode::Jog, false, true},
        {true, MachineMode::Run, false, false},
        {false, MachineMode::Jog, true, false},
        {false, MachineMode::Home, true, false},
    };
    for (const CutBoxCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode) * 10 + c.wasChecked);
        SetMachineMode(*machine, MachineEvents::None(), c.mode);
        machine->State().cutterDown = c.wasChecked;
        fake.ClearCalls();
        jogging->CutBoxReleased(c.wasChecked);
        EXPECT_EQ(machine->State().cutterDown, c.cutterDownAfter);
        EXPECT_EQ(fake.CountOf("KelvMacroCall"), c.raised ? 1 : 0);
    }
}

} // namespace
} // namespace morvik::test
