// Jogging against the simulated card, reached through the loader as the station reaches it.
// The card's clock follows the test's (SimClock), so motion and deceleration take exactly the
// time the test advances. X and Y are on axes 1 and 2 at 1000 counts/in; jogging runs at
// 60 in/min (1 in/s) with ramps of 100 in/s/s.
#include "cardsim/KelvSim.h"
#include "machine/Machine.h"
#include "operation/Jogging.h"
#include "settings/UnitTables.h"
#include "support/FakeJoystick.h"
#include "support/RecordingOperator.h"
#include "support/SimCardFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace morvik::test {
namespace {

struct AxisNow {
    double position = 0;
    double velocity = 0;
};

AxisNow CardAxis(int axis) {
    AxisNow now;
    double current = 0;
    EXPECT_EQ(KelvSimAxisState(axis, &now.position, &current, &now.velocity), 0);
    return now;
}

class JogOnCard : public SimCardFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ConnectMachine(ui));
        ASSERT_TRUE(machine->OnNewDocument());
        for (Axis* axis : {&machine->AxisX(), &machine->AxisY()})
            axis->Scale().Set(unit::Inch, 1000.0);
        JoggingSettings& jog = machine->Jogging();
        jog.maxJogRate.Set(unit::Inch, timeunit::Minute, 60.0);
        jog.jogAccel.Set(unit::Inch, timeunit::Second, 100.0);
        jog.jogDecel.Set(unit::Inch, timeunit::Second, 100.0);
        ASSERT_TRUE(machine->DownloadConfiguration());
        jogging = std::make_unique<Jogging>(*machine, stick);
        jogging->Enter();
    }
    void TearDown() override {
        jogging.reset();
        SimCardFixture::TearDown();
    }

    // One status tick's jog step, then the rest of the 100 ms period.
    void Tick() {
        jogging->Update(inputs);
        clock->Advance(100);
    }

    RecordingOperator ui;
    FakeJoystick stick;
    JogInputs inputs;
    std::unique_ptr<Jogging> jogging;
};

TEST_F(JogOnCard, AHeldButtonJogsAtTheJogRateAndReleaseBringsTheAxisToRest) {
    inputs.buttonBits = button::kXPlus;
    for (int i = 0; i < 10; ++i)
        Tick();
    EXPECT_NEAR(CardAxis(1).velocity, 1.0, 1e-9);
    EXPECT_NEAR(CardAxis(1).position, 0.995, 0.01); // 1 s less half the 10 ms ramp
    EXPECT_EQ(machine->State().jogState, 0x0010);

    inputs.buttonBits = 0;
    Tick(); // stops
    EXPECT_EQ(machine->State().jogState, 0x0020);
    Tick(); // sees the axis finished
    EXPECT_EQ(machine->State().jogState, 0);
    const double stoppedAt = CardAxis(1).position;
    clock->Advance(1000);
    EXPECT_EQ(CardAxis(1).position, stoppedAt);
    EXPECT_EQ(CardAxis(1).velocity, 0.0);
    EXPECT_EQ(CardAxis(2).position, 0.0) << "Y never moved";
}

TEST_F(JogOnCard, TheFineButtonJogsTheStickAtATenthOfTheRate) {
    machine->Jogging().usePcJoystick.Set(1);
    machine->Jogging().joystickDeadband.Set(0);
    stick.Hold(32767, 0, JoystickReading::kButton1); // fully forward: Y-
    for (int i = 0; i < 5; ++i)
        Tick();
    EXPECT_NEAR(CardAxis(2).velocity, -0.1, 1e-9); // velocities are signed
    EXPECT_LT(CardAxis(2).position, -0.04);
    stick.Hold(32767, 32767);
    Tick();
    Tick();
    EXPECT_EQ(machine->State().jogState, 0);
    EXPECT_EQ(CardAxis(2).velocity, 0.0);
}

TEST_F(JogOnCard, LeavingJogModeWaitsUntilEveryJoggedAxisHasStopped) {
    inputs.buttonBits = button::kYPlus;
    for (int i = 0; i < 5; ++i)
        Tick();
    ASSERT_GT(CardAxis(2).velocity, 0.0);
    const std::uint64_t before = clock->NowMs();
    const int cursors = ui.waitCursorShown;

    EXPECT_TRUE(jogging->ExitAndWait());

    EXPECT_EQ(CardAxis(2).velocity, 0.0);
    EXPECT_EQ(machine->State().jogState, 0);
    EXPECT_GE(clock->NowMs() - before, 10u) << "the 10 ms deceleration was waited for";
    EXPECT_LT(clock->NowMs() - before, 100u);
    EXPECT_EQ(ui.waitCursorShown, cursors + 1);
    EXPECT_EQ(ui.waitDepth, 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(JogOnCard, ACardBrakingSlowlyIsWaitedForAsLongAsItsSettingsNeed) {
    // 5000 mm/min braked at 10 mm/s/s takes about 8.3 s: a healthy card, not one that stopped
    // answering. The wait is sized from the jog rate and deceleration.
    JoggingSettings& jog = machine->Jogging();
    jog.maxJogRate.Set(unit::Millimeter, timeunit::Minute, 5000.0);
    jog.jogDecel.Set(unit::Millimeter, timeunit::Second, 10.0);
    jogging->Enter(); // the new rate and deceleration go to the card
    inputs.buttonBits = button::kXPlus;
    for (int i = 0; i < 20; ++i)
        Tick();
    ASSERT_NEAR(CardAxis(1).velocity, 5000.0 / 25.4 / 60.0, 0.01) << "in/s, at full jog rate";
    const std::uint64_t before = clock->NowMs();

    EXPECT_TRUE(jogging->ExitAndWait());

    EXPECT_GE(clock->NowMs() - before, 8000u);
    EXPECT_EQ(CardAxis(1).velocity, 0.0);
    EXPECT_EQ(machine->State().jogState, 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_GE(machine->JogStopWaitMs(), 8334u + 1000u);
}

} // namespace
} // namespace morvik::test
