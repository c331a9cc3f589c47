// Reading and planning a part program of a million lines, as a toolpath preview would: a
// serpentine over a grid (long feed moves along X, a half-circle arc at each row's end),
// generated in memory. BM_ReadBlocks reads every line into a block (the words only);
// BM_PlanStream plans the whole program into a sink that only counts; BM_PlanVector plans it
// into a vector reserved once.
#include "gcode/Program.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

using namespace morvik::gcode;

constexpr int kProgramLines = 1000000;

std::string Serpentine() {
    std::string text = "%\nO2000 (SERPENTINE)\nG21 G90 G17 G94 G40 G49 G80\nG0 X0 Y0 Z5\n";
    text += "G1 Z-1 F1200\n";
    char line[80];
    int n = 5;
    for (int row = 0; n < kProgramLines - 2; ++row, n += 2) {
        const double y = row * 0.2;
        const bool east = row % 2 == 0;
        std::snprintf(line, sizeof line, "N%d G1 X%.3f Y%.3f\n", n, east ? 200.0 : 0.0, y);
        text += line;
        std::snprintf(line, sizeof line, "N%d G%d X%.3f Y%.3f R0.1\n", n + 1, east ? 3 : 2,
                      east ? 200.0 : 0.0, y + 0.2);
        text += line;
    }
    text += "M30\n%\n";
    return text;
}

const std::string& Program() {
    static const std::string program = Serpentine();
    return program;
}

void BM_ReadBlocks(benchmark::State& state) {
    const std::string_view text = Program();
    std::uint64_t lines = 0;
    for (auto _ : state) {
        CBlock block;
        std::uint32_t number = 0;
        std::size_t pos = 0;
        while (pos < text.size()) {
            auto end = text.find('\n', pos);
            end = end == std::string_view::npos ? text.size() : end;
            ReadBlock(text.substr(pos, end - pos), ++number, block);
            benchmark::DoNotOptimize(block.words);
            pos = end + 1;
        }
        lines += number;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(lines));
}
BENCHMARK(BM_ReadBlocks)->Unit(benchmark::kMillisecond);

void BM_PlanStream(benchmark::State& state) {
    std::uint64_t lines = 0;
    std::uint64_t segments = 0;
    for (auto _ : state) {
        CPlanner planner;
        CSinkFunction sink([&segments](const CSegment& s) {
            ++segments;
            benchmark::DoNotOptimize(s.end);
        });
        const CProgramResult result = PlanProgram(Program(), planner, sink);
        if (!result.Ok() || !result.ended) {
            state.SkipWithError(result.Message().c_str());
            return;
        }
        lines += result.lines;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(lines));
    state.counters["segments"] =
        benchmark::Counter(static_cast<double>(segments) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_PlanStream)->Unit(benchmark::kMillisecond);

void BM_PlanVector(benchmark::State& state) {
    std::uint64_t lines = 0;
    for (auto _ : state) {
        CPlanner planner;
        CProgramResult result;
        const auto segments = PlanProgramSegments(Program(), planner, result);
        benchmark::DoNotOptimize(segments.data());
        lines += result.lines;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(lines));
}
BENCHMARK(BM_PlanVector)->Unit(benchmark::kMillisecond);

} // namespace
