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

// A typical text of each kind, as a machine file holds it.
const char* SampleText(const CDimension&) {
    return "25.4 mm";
}
const char* SampleText(const CScale&) {
    return "2000 counts/in";
}
const char* SampleText(const CSpeed&) {
    return "200 in/min";
}
const char* SampleText(const CAcceleration&) {
    return "10 mm/msec/msec";
}

// Parsing a quantity's text: the value, then its unit symbols (a slash for the rates).
template <class Quantity> void BM_Parse(benchmark::State& state) {
    Quantity q;
    const char* text = SampleText(q);
    for (auto _ : state) {
        q.Parse(text);
        benchmark::DoNotOptimize(q);
    }
}
BENCHMARK_TEMPLATE(BM_Parse, CDimension);
BENCHMARK_TEMPLATE(BM_Parse, CScale);
BENCHMARK_TEMPLATE(BM_Parse, CSpeed);
BENCHMARK_TEMPLATE(BM_Parse, CAcceleration);

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
