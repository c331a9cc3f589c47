// The axes as the axis functions move them: velocity mode (jog) against a soft limit,
// position mode with its trapezoidal profile, the following error, results that depend on
// the clock only, and the safety inputs.
#include "CardTestSupport.h"

#include "cardsim/KelvSim.h"

#include <gtest/gtest.h>

#include <cmath>

namespace morvik::test {
namespace {

class CardMotion : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        Configure();
    }
    CCardAxis* X() { return card.Axis(CCard::kBinaryHandle, 1); }
    void Jog(int direction, double perSecond) {
        X()->SetMode(4);
        X()->SetVelocity(perSecond);
        ASSERT_TRUE(X()->SetDirection(direction));
        ASSERT_TRUE(X()->Go());
    }
};

TEST_F(CardMotion, AJogStopsAtTheSoftLimitWithAnAxisError) {
    struct Case {
        int direction;
        double limit;
    };
    for (const Case c : {Case{1, 10.0}, Case{2, -10.0}}) {
        SCOPED_TRACE(c.direction);
        X()->Place(0);
        Jog(c.direction, 5);
        Advance(1000);
        EXPECT_FALSE(Axis(1).AtRest());
        EXPECT_EQ(Axis(1).Status() & kAxisErrorBit, 0u);
        Advance(5000);
        EXPECT_EQ(Position(1), c.limit);
        const std::uint32_t status = Axis(1).Status();
        EXPECT_NE(status & kAxisFinishedBit, 0u);
        EXPECT_NE(status & kAxisErrorBit, 0u) << "stopped at the soft limit";
        EXPECT_NE(Status() & kProgMotorError, 0u);

        // Jogging back inside clears the error.
        Jog(c.direction == 1 ? 2 : 1, 5);
        Advance(100);
        EXPECT_EQ(Axis(1).Status() & kAxisErrorBit, 0u);
        X()->Stop();
        Advance(1000);
    }
}

TEST_F(CardMotion, StopDeceleratesAndReportsMotionFinished) {
    Jog(1, 2);
    Advance(1000); // 0.2 s ramp (0.2 in), then 0.8 s at 2 in/s
    EXPECT_NEAR(Position(1), 1.8, 2e-3);
    X()->Stop();
    EXPECT_EQ(Axis(1).Status() & kAxisFinishedBit, 0u);
    Advance(100);
    EXPECT_EQ(Axis(1).Status() & kAxisFinishedBit, 0u) << "still braking";
    Advance(150);
    EXPECT_NE(Axis(1).Status() & kAxisFinishedBit, 0u);
    EXPECT_NEAR(Position(1), 2.0, 2e-3) << "braking from 2 in/s at 10 in/s/s takes 0.2 in";
}

TEST_F(CardMotion, APositionMoveFollowsItsTrapezoid) {
    // 2 in/s and 10 in/s/s: 0.2 s up, 0.3 s steady, 0.2 s down for one inch.
    ASSERT_TRUE(X()->MoveAbsolute(1));
    const struct {
        std::uint32_t atMs;
        double position;
        double speed;
    } samples[] = {{100, 0.05, 1}, {200, 0.2, 2}, {350, 0.5, 2}, {600, 0.95, 1}, {700, 1, 0}};
    std::uint32_t now = 0;
    for (const auto& s : samples) {
        SCOPED_TRACE(s.atMs);
        Advance(s.atMs - now);
        now = s.atMs;
        EXPECT_NEAR(Axis(1).Exact(), s.position, 3e-3);
        EXPECT_NEAR(Axis(1).Speed(), s.speed, 0.02);
    }
    EXPECT_TRUE(Axis(1).AtRest());
    EXPECT_EQ(Axis(1).Target(), 1);
}

TEST_F(CardMotion, ARelativeMoveCountsFromWhereTheAxisIsHeading) {
    ASSERT_TRUE(X()->MoveAbsolute(1));
    Advance(100);
    ASSERT_TRUE(X()->MoveRelative(-0.25)) << "taken from the target 1, not the position 0.05";
    EXPECT_EQ(Axis(1).Target(), 0.75);
    Advance(2000);
    EXPECT_TRUE(Axis(1).AtRest());
    EXPECT_EQ(Axis(1).Optimal(), 0.75);
}

TEST_F(CardMotion, TheCutterTurnsInRevolutionsAtItsOwnRate) {
    TestMachine machine;
    machine.cutterAxis = 4;
    Configure(machine);
    CCardAxis* cutter = card.Axis(CCard::kBinaryHandle, 4);
    ASSERT_NE(cutter, nullptr);
    cutter->SetMode(2);
    ASSERT_TRUE(cutter->MoveAbsolute(2.25));
    Advance(2300); // 1 rev/s after a 0.1 s ramp: 2.25 rev take 2.35 s
    EXPECT_FALSE(cutter->AtRest());
    Advance(100);
    EXPECT_TRUE(cutter->AtRest());
    EXPECT_EQ(cutter->Optimal(), 2.25);
    EXPECT_EQ(card.Axis(CCard::kBinaryHandle, 5), nullptr) << "no spindle fitted";
}

TEST_F(CardMotion, CurrentPositionLagsTheCommandedOneWhileMoving) {
    ASSERT_TRUE(X()->MoveAbsolute(2));
    Advance(400);
    const double optimal = Axis(1).Optimal();
    const double current = Axis(1).Current();
    EXPECT_LT(current, optimal);
    EXPECT_NEAR(optimal - current, 2 * kFollowingLagSeconds, 1e-3);
    EXPECT_EQ(optimal * 2000, std::round(optimal * 2000)) << "whole counts";
    Advance(2000);
    EXPECT_EQ(Axis(1).Current(), Axis(1).Optimal());
    EXPECT_EQ(Axis(1).Optimal(), 2);
}

// The same motion polled every millisecond and polled once gives the very same positions:
// the card's state depends on its clock only.
TEST_F(CardMotion, PositionsDependOnTheClockNotOnHowOftenTheCardIsPolled) {
    CCard second;
    second.UseManualClock(true);
    ASSERT_EQ(second.Open(0, KELV_MODE_BINARY), CCard::kBinaryHandle);
    ASSERT_EQ(second.Open(0, KELV_MODE_ASCII), CCard::kAsciiHandle);
    const std::string config = ConfigText(TestMachine{});
    for (CCard* c : {&card, &second}) {
        const std::string text = "LO100\r" + config + "\x1aRCF100\r";
        ASSERT_EQ(c->Puts(CCard::kAsciiHandle, text.c_str()), 0);
        CCardAxis* x = c->Axis(CCard::kBinaryHandle, 1);
        x->SetMode(4);
        x->SetVelocity(1.7);
        x->Go();
    }
    for (int ms = 0; ms < 3000; ++ms) {
        Advance(1);
    }
    second.AdvanceMs(3000);
    EXPECT_EQ(card.State().axes[0].Exact(), second.State().axes[0].Exact());
    for (CCard* c : {&card, &second}) {
        c->Axis(CCard::kBinaryHandle, 1)->Stop();
    }
    for (int ms = 0; ms < 500; ++ms) {
        Advance(1);
    }
    second.AdvanceMs(500);
    EXPECT_EQ(card.State().axes[0].Exact(), second.State().axes[0].Exact());
    EXPECT_TRUE(second.State().axes[0].AtRest());
}

TEST_F(CardMotion, AnActiveSafetyInputHaltsTheAxesUntilReleased) {
    struct Case {
        const char* what;
        std::uint32_t input; // channel 1, 2, 3 of the configuration
        std::uint32_t statusBit;
    };
    const Case cases[] = {{"emergency stop", 1u << 0, kProgEStop},
                          {"external emergency stop", 1u << 1, kProgExtEStop},
                          {"drive fault", 1u << 2, kProgDriveFault}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Jog(1, 2);
        Advance(300);
        card.SetInputs(0x7, c.input);
        const double stoppedAt = Position(1);
        Advance(500);
        EXPECT_EQ(Position(1), stoppedAt) << "halted at once";
        EXPECT_NE(Axis(1).Status() & kAxisErrorBit, 0u);
        EXPECT_EQ(Status() & (kProgEStop | kProgExtEStop | kProgDriveFault), c.statusBit);
        EXPECT_FALSE(card.MotionAllowed()) << "motion is refused while active";

        card.SetInputs(0x7, 0);
        EXPECT_EQ(Status() & (kProgEStop | kProgExtEStop | kProgDriveFault), 0u);
        EXPECT_TRUE(card.MotionAllowed());
        X()->Place(0);
    }
    // An input on a channel the configuration does not name is just an input.
    card.SetInputs(1u << 7, 1u << 7);
    EXPECT_EQ(Status() & (kProgEStop | kProgExtEStop | kProgDriveFault), 0u);
    EXPECT_EQ(card.IoWord(), 1u << 7);
}

} // namespace
} // namespace morvik::test
