// Entering Jog mode sets up the cutter and the axes only while no jog motion is pending;
// leaving it raises the cutter, stops every moving axis and waits for each stopping one, with
// the wait cursor, for as long as the machine's jog rate and deceleration need: an axis that
// never reports finished may still be moving, so its stopping bit stays and the operator gets
// one message saying so.
#include "controller/StringTable.h"
#include "operation/ModeControl.h"
#include "operation/jogging/JogFixture.h"

namespace morvik::test {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

using JogEntryTest = JogOnFakeCard;

TEST_F(JogEntryTest, SetsUpCutterAndAxesInTheDefaultUnitsAndTakesTheCutterAngle) {
    FitCutter();
    Cutter& cutter = machine->GetCutter();
    cutter.Speed().Set(unit::Revolution, timeunit::Second, 2.0);
    cutter.Accel().Set(unit::Revolution, timeunit::Second, 5.0);
    cutter.Decel().Set(unit::Revolution, timeunit::Second, 5.0);
    machine->Jogging().jogAccel.Set(unit::Inch, timeunit::Second, 10.0);
    machine->Jogging().jogDecel.Set(unit::Inch, timeunit::Second, 10.0);
    fake.targets[kCutterAxis] = 3.5;
    SetMachineMode(*machine, MachineEvents::None(), MachineMode::Home);

    jogging->Enter();

    std::vector<std::string> expected = {
        MacroCall(kRaiseMacro),
        "KelvSetVelocityOverride(B, 4, 1)",
        "KelvSetVelocity(B, 4, 120)", // rev/min
        "KelvSetAcceleration(B, 4, 18000)",
        "KelvSetDeceleration(B, 4, 18000)",
        "KelvSetOperatingMode(B, 4, 0, 2)",
        "KelvEnableAxis(B, 4, 1)",
        "KelvGetTargetEx(B, 4)",
    };
    for (int axis = 1; axis <= 3; ++axis) {
        const std::string a = std::to_string(axis);
        for (const std::string& call :
             {"KelvSetVelocityOverride(B, " + a + ", 1)", "KelvSetVelocity(B, " + a + ", 60)",
              "KelvSetAcceleration(B, " + a + ", 36000)",
              "KelvSetDeceleration(B, " + a + ", 36000)",
              "KelvSetOperatingMode(B, " + a + ", 0, 4)", "KelvEnableAxis(B, " + a + ", 1)"})
            expected.push_back(call);
    }
    EXPECT_THAT(fake.calls, ElementsAreArray(expected));
    EXPECT_EQ(cutter.LastPosition(), 3.5);
    EXPECT_EQ(cutter.RaisedState(), Cutter::kRaised);
    EXPECT_EQ(machine->State().Mode(), MachineMode::Jog);
}

TEST_F(JogEntryTest, PendingMotionKeepsTheAxesAsTheyAre) {
    machine->State().jogState = 0x0020;
    SetMachineMode(*machine, MachineEvents::None(), MachineMode::Run);
    jogging->Enter();
    EXPECT_THAT(fake.calls, IsEmpty());
    EXPECT_EQ(machine->State().Mode(), MachineMode::Jog);
}

struct ExitCase {
    const char* name;
    std::uint16_t jogState;
    std::vector<std::int16_t> stuck; // axes that never report finished
    std::vector<std::string> stops;
    bool result;
    int waits; // how many bounded waits ran out
    std::uint16_t jogStateAfter;
};

TEST_F(JogEntryTest, ExitStopsMovingAxesAndWaitsBoundedForEachStoppingOne) {
    const ExitCase cases[] = {
        {"nothing pending", 0, {}, {}, true, 0, 0},
        {"X+ moving", 0x0010, {}, {StopCall(kAxisX)}, true, 0, 0},
        {"Y- stopping only", 0x0800, {}, {}, true, 0, 0},
        {"X- and Z+ moving", 0x0040 | 0x1000, {}, {StopCall(kAxisX), StopCall(kAxisZ)}, true, 0, 0},
        // An axis that never confirmed keeps its stopping bit: it may still be moving.
        {"Y+ stuck", 0x0100, {kAxisY}, {StopCall(kAxisY)}, false, 1, 0x0200},
        {"X and Z stuck",
         0x0020 | 0x4000,
         {kAxisX, kAxisZ},
         {StopCall(kAxisZ)},
         false,
         2,
         0x0020 | 0x2000},
    };
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::int16_t axis : {kAxisX, kAxisY, kAxisZ})
            Finish(axis);
        for (std::int16_t axis : c.stuck)
            Finish(axis, false);
        machine->State().jogState = c.jogState;
        ui.messages.clear();
        fake.ClearCalls();
        const std::uint64_t before = clock.NowMs();
        const int cursorsBefore = ui.waitCursorShown;

        EXPECT_EQ(jogging->ExitAndWait(), c.result);

        EXPECT_THAT(MotionCalls(), ElementsAreArray(c.stops));
        EXPECT_EQ(JogState(), c.jogStateAfter);
        EXPECT_EQ(clock.NowMs() - before, c.waits * std::uint64_t{machine->JogStopWaitMs()});
        EXPECT_EQ(ui.messages,
                  c.result ? std::vector<int>{} : std::vector<int>{msg::JogStopNotConfirmed});
        EXPECT_EQ(ui.waitDepth, 0);
        EXPECT_EQ(ui.waitCursorShown > cursorsBefore, c.jogState != 0);
    }
}

TEST_F(JogEntryTest, AStopNotConfirmedKeepsTheMachineInJogMode) {
    // As with an abort the card does not confirm in Run mode: the axis may still be moving, so
    // the mode change is abandoned and the stopping bit stays for the jog update to watch.
    ModeControl modes(*machine, *jogging);
    machine->State().jogState = 0x0010; // X+ moving
    Finish(kAxisX, false);

    modes.SelectHome();

    EXPECT_EQ(machine->State().Mode(), MachineMode::Jog);
    EXPECT_EQ(JogState(), 0x0020);
    EXPECT_EQ(ui.messages, std::vector<int>{msg::JogStopNotConfirmed});
    EXPECT_NE(MessageText(msg::JogStopNotConfirmed).find("may still be moving"), std::string::npos);
    EXPECT_TRUE(ui.openViews.empty()) << "nothing of Home mode was entered";

    // Once the axis reports its stop, the mode can be left.
    Finish(kAxisX);
    ui.messages.clear();
    modes.SelectHome();
    EXPECT_EQ(machine->State().Mode(), MachineMode::Home);
    EXPECT_EQ(JogState(), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(JogEntryTest, ExitRaisesTheCutterBeforeStopping) {
    FitCutter();
    machine->State().jogState = 0x0010;
    Finish(kAxisX);
    jogging->ExitAndWait();
    EXPECT_THAT(MotionCalls(),
                ElementsAre("KelvBlockBegin(B, 1, 7)", "KelvBlockEnd(B, 0)", StopCall(kAxisX)));
}

} // namespace
} // namespace morvik::test
