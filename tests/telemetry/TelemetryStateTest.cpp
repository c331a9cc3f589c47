#include "telemetry/TelemetryState.h"

#include <gtest/gtest.h>

namespace morvik {
namespace {

TelemetryState Running() {
    TelemetryState s;
    s.mode = "Run";
    s.homed = true;
    s.programPath = "/parts/flange \"A\".prt";
    s.programNumber = 1234;
    s.programState = "running";
    s.runningLine = 17;
    s.units = "mm";
    s.axes = {{"X", 12.5}, {"Y", -0.1}, {"Z", 0.01 + 0.05}, {"A", 1.0000004}, {"B", -2.0000006}};
    s.spindleSpeed = 1200;
    s.feedOverride = 1.1;
    s.rapidOverride = 0.5;
    s.spindleOverride = 1.0;
    s.lamps = {false, true, false, false, false, true};
    s.errorBits = 0x20000;
    s.timeMs = 1796876954123;
    return s;
}

TEST(TelemetryState, StateJsonCarriesEveryField) {
    EXPECT_EQ(
        StateJson(Running()),
        R"({"mode":"Run","homed":true,)"
        R"("program":{"path":"/parts/flange \"A\".prt","number":1234,"state":"running",)"
        R"("line":17},"units":"mm","positions":{"X":12.5,"Y":-0.1,"Z":0.06,"A":1,"B":-2.000001},)"
        R"("spindleSpeed":1200,"overrides":{"feed":110,"rapid":50,"spindle":100},)"
        R"("lamps":{"ready":false,"running":true,"paused":false,"feedHold":false,)"
        R"("finished":false,"error":true},"errorBits":131072,)"
        R"("time":"2026-12-10T04:29:14.123Z"})");
}

TEST(TelemetryState, SameReadingIgnoresOnlyTheTimeStamp) {
    const TelemetryState a = Running();
    TelemetryState later = a;
    later.timeMs += 100;
    EXPECT_TRUE(SameReading(a, later));
    TelemetryState moved = a;
    moved.axes[1].position = -0.2;
    EXPECT_FALSE(SameReading(a, moved));
    TelemetryState lamp = a;
    lamp.lamps[0] = true;
    EXPECT_FALSE(SameReading(a, lamp));
}

TEST(TelemetryState, EventJsonNumbersAndTimesEvents) {
    EXPECT_EQ(EventJson("partError", 7, 0,
                        {{"reason", "Axis X following error"},
                         {"line", 42},
                         {"x", 1.25},
                         {"fatal", true},
                         {"seq", 99},
                         {"time", "no"},
                         {"event", "no"}}),
              R"({"event":"partError","seq":7,"time":"1970-01-01T00:00:00.000Z",)"
              R"("reason":"Axis X following error","line":42,"x":1.25,"fatal":true})");
}

TEST(TelemetryState, IsoTimeUtc) {
    const struct {
        std::uint64_t ms;
        const char* text;
    } cases[] = {
        {0, "1970-01-01T00:00:00.000Z"},
        {951782400000 - 1, "2000-02-28T23:59:59.999Z"},
        {951782400000, "2000-02-29T00:00:00.000Z"}, // leap day
        {1796876954123, "2026-12-10T04:29:14.123Z"},
        {4102444800000, "2100-01-01T00:00:00.000Z"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsoTimeUtc(c.ms), c.text) << c.ms;
    }
}

} // namespace
} // namespace morvik
