// Parsing and formatting quantities, as loading and saving a machine file and writing the
// controller configuration do for every axis, rate and offset.
#include "settings/Acceleration.h"
#include "settings/Dimension.h"
#include "settings/NumberText.h"
#include "settings/Scale.h"
#include "settings/Speed.h"

#include <benchmark/benchmark.h>

namespace {

using namespace morvik;

void BM_ParseDimension(benchmark::State& state) {
    CDimension q;
    for (auto _ : state) {
        q.Parse("25.4 mm");
        benchmark::DoNotOptimize(q);
    }
}
BENCHMARK(BM_ParseDimension);

void BM_ParseScale(benchmark::State& state) {
    CScale q;
    for (auto _ : state) {
        q.Parse("2000 counts/in");
        benchmark::DoNotOptimize(q);
    }
}
BENCHMARK(BM_ParseScale);

void BM_ParseSpeed(benchmark::State& state) {
    CSpeed q;
    for (auto _ : state) {
        q.Parse("200 in/min");
        benchmark::DoNotOptimize(q);
    }
}
BENCHMARK(BM_ParseSpeed);

void BM_ParseAcceleration(benchmark::State& state) {
    CAcceleration q;
    for (auto _ : state) {
        q.Parse("10 mm/msec/msec");
        benchmark::DoNotOptimize(q);
    }
}
BENCHMARK(BM_ParseAcceleration);

void BM_FormatDimension(benchmark::State& state) {
    const CDimension q(unit::Millimeter, 25.4, "S", "K");
    for (auto _ : state) {
        benchmark::DoNotOptimize(q.Format(9));
    }
}
BENCHMARK(BM_FormatDimension);

void BM_FormatSpeedInOtherUnits(benchmark::State& state) {
    const CSpeed q(unit::Inch, timeunit::Minute, 200, "S", "K");
    for (auto _ : state) {
        benchmark::DoNotOptimize(q.FormatIn(unit::Millimeter, timeunit::Second, 9));
    }
}
BENCHMARK(BM_FormatSpeedInOtherUnits);

void BM_FormatAcceleration(benchmark::State& state) {
    const CAcceleration q(unit::Inch, timeunit::Second, 10, "S", "K");
    for (auto _ : state) {
        benchmark::DoNotOptimize(q.Format(9));
    }
}
BENCHMARK(BM_FormatAcceleration);

// The same unit asked for again is served from the cache; alternating units recompute.
void BM_ValueInCached(benchmark::State& state) {
    const CSpeed q(unit::Inch, timeunit::Minute, 200, "S", "K");
    for (auto _ : state) {
        benchmark::DoNotOptimize(q.ValueIn(unit::Millimeter, timeunit::Second));
    }
}
BENCHMARK(BM_ValueInCached);

void BM_ValueInAlternating(benchmark::State& state) {
    const CSpeed q(unit::Inch, timeunit::Minute, 200, "S", "K");
    int i = 0;
    for (auto _ : state) {
        const int length = (++i & 1) ? unit::Millimeter : unit::Inch;
        benchmark::DoNotOptimize(q.ValueIn(length, timeunit::Second));
    }
}
BENCHMARK(BM_ValueInAlternating);

void BM_FormatG(benchmark::State& state) {
    double v = 1234.5678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatG(v, 9));
    }
}
BENCHMARK(BM_FormatG);

void BM_ParseLeadingDouble(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseLeadingDouble("  1234.5678 in/min"));
    }
}
BENCHMARK(BM_ParseLeadingDouble);

} // namespace
