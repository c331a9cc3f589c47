// How long the station waits for the card to brake: the machine's own rate over its
// deceleration, with a margin, never less than 5 s; an abort waits for the slowest of the
// program's feed (at the highest feed override) and each fitted axis's rapid.
#include "machine/document/MachineFixture.h"

#include <functional>

namespace morvik::test {
namespace {

using WaitSize = MachineOnFakeCard;

TEST_F(WaitSize, TheBoundIsWhatTheSettingsNeedPlusAMarginAndNeverBelowFiveSeconds) {
    struct Case {
        const char* name;
        std::function<void(CMachine&)> set;
        std::uint32_t jogAtLeast, jogAtMost;
        std::uint32_t abortAtLeast, abortAtMost;
    };
    const Case cases[] = {
        {"nothing set", [](CMachine&) {}, 5000, 5000, 5000, 5000},
        {"a quick jog stop",
         [](CMachine& m) {
             m.Jogging().maxJogRate.Set(unit::Inch, timeunit::Minute, 60.0);
             m.Jogging().jogDecel.Set(unit::Inch, timeunit::Second, 100.0);
         },
         5000, 5000, 5000, 5000},
        {"5000 mm/min at 10 mm/s/s (8.3 s)",
         [](CMachine& m) {
             m.Jogging().maxJogRate.Set(unit::Millimeter, timeunit::Minute, 5000.0);
             m.Jogging().jogDecel.Set(unit::Millimeter, timeunit::Second, 10.0);
         },
         9334, 12000, 5000, 5000},
        {"feed at 150 % braked slowly (12.5 s)",
         [](CMachine& m) {
             m.Feed().maxFeedRate.Set(unit::Millimeter, timeunit::Minute, 5000.0);
             m.Feed().feedDecel.Set(unit::Millimeter, timeunit::Second, 10.0);
         },
         5000, 5000, 13500, 17000},
        {"a fitted axis's slow rapid (20 s)",
         [](CMachine& m) {
             m.AxisY().SetControllerAxis(2);
             m.AxisY().RapidRate().Set(unit::Inch, timeunit::Second, 2.0);
             m.AxisY().RapidDecel().Set(unit::Inch, timeunit::Second, 0.1);
         },
         5000, 5000, 21000, 27000},
        {"an axis not on the card does not count",
         [](CMachine& m) {
             m.AxisY().SetControllerAxis(0);
             m.AxisY().RapidRate().Set(unit::Inch, timeunit::Second, 2.0);
             m.AxisY().RapidDecel().Set(unit::Inch, timeunit::Second, 0.1);
         },
         5000, 5000, 5000, 5000},
        {"a deceleration of 0 or below gives the minimum",
         [](CMachine& m) {
             m.Jogging().maxJogRate.Set(unit::Inch, timeunit::Minute, 60.0);
             m.Jogging().jogDecel.Set(unit::Inch, timeunit::Second, -1.0);
         },
         5000, 5000, 5000, 5000},
        {"a deceleration near 0 stays a bound",
         [](CMachine& m) {
             m.Jogging().maxJogRate.Set(unit::Inch, timeunit::Minute, 600.0);
             m.Jogging().jogDecel.Set(unit::Inch, timeunit::Second, 1e-9);
         },
         600000, 600000, 5000, 5000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        machine = std::make_unique<CMachine>(fake.Table(), clock, ui);
        for (Axis& axis : machine->Axes())
            axis.SetControllerAxis(0);
        c.set(*machine);
        EXPECT_GE(machine->JogStopWaitMs(), c.jogAtLeast);
        EXPECT_LE(machine->JogStopWaitMs(), c.jogAtMost);
        EXPECT_GE(machine->AbortWaitMs(), c.abortAtLeast);
        EXPECT_LE(machine->AbortWaitMs(), c.abortAtMost);
    }
}

} // namespace
} // namespace morvik::test
