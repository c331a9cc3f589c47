// The simulated card under the station's heaviest traffic: a part program of a million lines
// sent through "LOF" line by line (the fixed 500 ms wait after 0x1A is left out: the card runs
// on its manual clock and nobody sleeps), and the status query the station sends ten times a
// second while a program runs.
#include "cardsim/KelvSim.h"
#include "controller/KelvApi.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kProgramLines = 1000000;

struct OpenCard {
    KELVHANDLE binary = 0;
    KELVHANDLE ascii = 0;

    OpenCard() {
        KelvSimReset();
        KelvSimUseManualClock(1);
        binary = KelvOpen(0, KELV_MODE_BINARY, 0);
        ascii = KelvOpen(0, KELV_MODE_ASCII, 0);
    }
    ~OpenCard() { KelvSimReset(); }

    void Drain() {
        char buffer[128];
        while (dorngets(ascii, buffer, sizeof buffer) > 0) {
        }
    }
    void Configure() {
        const char* lines[] = {"XAXIS=1\n",        "YAXIS=2\n",         "ENGLISH\n",
                               "FEEDRATE=60\n",    "FEEDACCEL=36000\n", "FEEDDECEL=36000\n",
                               "MAXRATE=120\n",    "XSCALE=2000\n",     "XRATECONV=60\n",
                               "XRAPIDRATE=120\n", "YSCALE=2000\n",     "YRATECONV=60\n",
                               "YRAPIDRATE=120\n", "ENGLISH\n"};
        dornputs(ascii, "LO100\r");
        for (const char* line : lines) {
            dornputs(ascii, line);
        }
        dornputs(ascii, "\x1a");
        dornputs(ascii, "RCF100\r");
        Drain();
    }
    std::int32_t Status() {
        std::int32_t argument = 0;
        std::int32_t status = 0;
        dorncmdex(binary, 0, 460, &argument, KELV_TYPE_INT32);
        dornrpyex(binary, &status, KELV_TYPE_INT32);
        return status;
    }
    void Start(int program) {
        dornputs(ascii, ("RUF-" + std::to_string(program) + "\r").c_str());
        std::int32_t argument = 0;
        dorncmdex(binary, 0, 410, &argument, KELV_TYPE_INT32);
    }
};

// A zig-zag of short feed moves: the axes are always speeding up or braking, never cruising.
std::vector<std::string> ZigZag(int count, int number) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count) + 2);
    lines.push_back("O" + std::to_string(number) + "\n");
    char line[64];
    for (int i = 1; i < count; ++i) {
        std::snprintf(line, sizeof line, "N%d G1 X%d.%04d Y%d.%04d F60\n", i, i % 2, i % 10000,
                      (i / 2) % 2, (i * 7) % 10000);
        lines.emplace_back(line);
    }
    lines.emplace_back("M30\n");
    return lines;
}

void LoadProgram(OpenCard& card, const std::vector<std::string>& lines) {
    dornputs(card.ascii, "LOF\r");
    for (const auto& line : lines) {
        dornputs(card.ascii, line.c_str());
    }
    dornputs(card.ascii, "\x1a");
}

void BM_LoadMillionLineProgram(benchmark::State& state) {
    OpenCard card;
    const auto lines = ZigZag(kProgramLines, 1);
    for (auto _ : state) {
        LoadProgram(card, lines);
        dornputs(card.ascii, "RUF-1\r");
        card.Drain();
    }
    state.SetItemsProcessed(state.iterations() * kProgramLines);
}
BENCHMARK(BM_LoadMillionLineProgram)->Unit(benchmark::kMillisecond)->Iterations(5);

// One status query (460 and its reply). With timeMs 0 the card's clock stands still; with
// 100 the card first runs 100 ms of the program, as between two of the station's ticks.
void BM_StatusQueryWhileRunning(benchmark::State& state) {
    const auto timeMs = static_cast<std::uint32_t>(state.range(0));
    OpenCard card;
    card.Configure();
    LoadProgram(card, ZigZag(10000, 2));
    card.Start(2);
    std::int32_t status = 0;
    for (auto _ : state) {
        KelvSimAdvanceMs(timeMs);
        status = card.Status();
        if ((status & 2) == 0) {
            state.PauseTiming();
            card.Start(2);
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(status);
}
BENCHMARK(BM_StatusQueryWhileRunning)->Arg(0)->Arg(100);

} // namespace
