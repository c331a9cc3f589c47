// The motion operations of axes, spindle and cutter: each goes to the current machine's
// connection with the component's controller axis number, and a component that is not fitted
// (or a station without a machine) makes no library call and reads 0.
#include "machine/Axis.h"
#include "machine/Cutter.h"
#include "machine/Spindle.h"
#include "machine/components/TestCurrentController.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace morvik {
namespace {

using Lines = std::vector<std::string>;

// One operation, the library call it makes on controller axis 3 and what it returns there
// (the fake answers 5 to every setter, and the values set up in Answer for the queries).
template <class Component> struct MotionCase {
    const char* what;
    std::function<double(Component&)> run;
    const char* call;
    double fittedResult;
};

template <class Component> std::vector<MotionCase<Component>> SharedCases() {
    using C = Component;
    return {
        {"Enable", [](C& c) { return c.Enable(1); }, "KelvEnableAxis(B, 3, 1)", 5},
        {"MoveAbsolute", [](C& c) { return c.MoveAbsolute(2.5); }, "KelvMoveAbsolute(B, 3, 2.5)",
         5},
        {"MoveRelative", [](C& c) { return c.MoveRelative(-0.5); }, "KelvMoveRelative(B, 3, -0.5)",
         5},
        {"SetAcceleration", [](C& c) { return c.SetAcceleration(10); },
         "KelvSetAcceleration(B, 3, 10)", 5},
        {"SetDeceleration", [](C& c) { return c.SetDeceleration(20); },
         "KelvSetDeceleration(B, 3, 20)", 5},
        {"SetOperatingMode", [](C& c) { return c.SetOperatingMode(0, 4); },
         "KelvSetOperatingMode(B, 3, 0, 4)", 5},
        {"SetVelocity", [](C& c) { return c.SetVelocity(-1.25); }, "KelvSetVelocity(B, 3, -1.25)",
         5},
        {"SetVelocityOverride", [](C& c) { return c.SetVelocityOverride(0.5); },
         "KelvSetVelocityOverride(B, 3, 0.5)", 5},
        {"Stop", [](C& c) { return c.Stop(); }, "KelvStop(B, 3)", 5},
        {"GetStatus", [](C& c) { return c.GetStatus(); }, "KelvGetStatus(B, 3)", 0x88},
        {"DecodeStatus", [](C& c) { return c.DecodeStatus(0x88, 3); },
         "KelvDecodeStatus(B, 136, 3)", 1},
        {"GetPosition", [](C& c) { return c.GetPosition(); }, "KelvGetPositionEx(B, 3)", 1.5},
        {"GetOptimal", [](C& c) { return c.GetOptimal(); }, "KelvGetOptimalEx(B, 3)", 2.5},
        {"GetTarget", [](C& c) { return c.GetTarget(); }, "KelvGetTargetEx(B, 3)", 3.5},
    };
}

std::vector<MotionCase<Axis>> AxisCases() {
    auto cases = SharedCases<Axis>();
    cases.push_back(
        {"SetDirection", [](Axis& a) { return a.SetDirection(2); }, "KelvDirection(B, 3, 2)", 5});
    cases.push_back({"Go", [](Axis& a) { return a.Go(); }, "KelvGo(B, 3)", 5});
    return cases;
}

class ComponentMotion : public test::WithFakeCard {
protected:
    void SetUp() override {
        WithFakeCard::SetUp();
        fake.callResult = 5;
        fake.statuses[3] = 0x88;
        fake.positions[3] = 1.5;
        fake.optimals[3] = 2.5;
        fake.targets[3] = 3.5;
    }

    template <class Component>
    void ExpectForwarded(Component& component, const std::vector<MotionCase<Component>>& cases) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            fake.ClearCalls();
            EXPECT_EQ(c.run(component), c.fittedResult);
            EXPECT_EQ(fake.calls, Lines{c.call});
        }
    }

    template <class Component>
    void ExpectSilent(Component& component, const std::vector<MotionCase<Component>>& cases) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            fake.ClearCalls();
            EXPECT_EQ(c.run(component), 0.0);
            EXPECT_TRUE(fake.calls.empty()) << fake.calls.front();
        }
    }
};

TEST_F(ComponentMotion, FittedAxisAndCutterForwardEveryOperationWithTheirAxisNumber) {
    Axis axis(2, 'Y');
    axis.SetControllerAxis(3);
    ExpectForwarded(axis, AxisCases());

    Cutter cutter;
    cutter.SetControllerAxis(3);
    ExpectForwarded(cutter, SharedCases<Cutter>());
}

TEST_F(ComponentMotion, ComponentThatIsNotFittedMakesNoCallAndReadsZero) {
    // 0 is "not fitted"; a negative number, or one the library's 16-bit axis argument cannot
    // hold (70000 would reach axis 4464), addresses no axis either.
    for (std::int32_t number : {0, -1, 70000}) {
        SCOPED_TRACE(number);
        Axis axis(1, 'X');
        axis.SetControllerAxis(number);
        ExpectSilent(axis, AxisCases());

        Cutter cutter;
        cutter.SetControllerAxis(number);
        ExpectSilent(cutter, SharedCases<Cutter>());
    }
}

TEST_F(ComponentMotion, WithoutCurrentMachineNothingIsCalled) {
    DropMachine();
    ASSERT_EQ(currentMachine, nullptr);
    Axis axis(1, 'X');
    axis.SetControllerAxis(3);
    ExpectSilent(axis, AxisCases());
    Spindle spindle;
    spindle.SetControllerAxis(3);
    EXPECT_EQ(spindle.GetActualSpeed(), 0.0);
    Cutter cutter;
    cutter.SetRaiseMacro(7);
    cutter.Raise();
    EXPECT_EQ(cutter.RaisedState(), Cutter::kRaised);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(ComponentMotion, SpindleSpeedIsQuery467WhenTheSpindleIsFitted) {
    fake.replies[467] = 1234.5;
    Spindle spindle;
    spindle.SetControllerAxis(4);
    EXPECT_EQ(spindle.GetActualSpeed(), 1234.5);
    EXPECT_EQ(fake.calls, (Lines{"dorncmdex(B, 0, 467, 0, 2)", "dornrpyex(B, 4)"}));

    fake.ClearCalls();
    spindle.SetControllerAxis(0);
    EXPECT_EQ(spindle.GetActualSpeed(), 0.0);
    EXPECT_TRUE(fake.calls.empty());
}

struct RaiseLowerCase {
    const char* what;
    std::int32_t raiseMacro;
    std::int32_t lowerMacro;
    bool raise;
    Lines calls;
    std::int32_t state;
};

TEST_F(ComponentMotion, RaiseAndLowerRunTheirMacroWhenSetAndAlwaysChangeTheState) {
    const RaiseLowerCase cases[] = {
        {"raise with macro", 11, 12, true, {"KelvMacroCall(B, 11)"}, Cutter::kRaised},
        {"raise with macro 0", 0, 12, true, {}, Cutter::kRaised},
        {"lower with macro", 11, 12, false, {"KelvMacroCall(B, 12)"}, Cutter::kLowered},
        {"lower with macro 0", 11, 0, false, {}, Cutter::kLowered},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake.ClearCalls();
        Cutter cutter;
        cutter.SetRaiseMacro(c.raiseMacro);
        cutter.SetLowerMacro(c.lowerMacro);
        // The macros do not depend on the cutter's axis: a cutter without one is still raised.
        cutter.SetControllerAxis(0);
        cutter.SetRaisedState(c.raise ? Cutter::kLowered : Cutter::kRaised);
        c.raise ? cutter.Raise() : cutter.Lower();
        EXPECT_EQ(fake.calls, c.calls);
        EXPECT_EQ(cutter.RaisedState(), c.state);
    }
}

} // namespace
} // namespace morvik
