// Loading a part program of a million lines from its file, the way File > Load does it: the
// file read as text line by line, each line cut to its limit, scanned for the program number
// and sent with "LOF", then 0x1A, the settle time, the drain and "RUF". The 500 ms settle
// time passes on a manual clock, so it costs nothing here.
//
// BM_LoadFileToCard sends to the simulated card (which stores the text); BM_LoadFileStationOnly
// replaces the card's text call by one that only counts bytes, leaving the station's own share:
// reading, cutting, scanning and formatting the lines.
#include "cardsim/KelvSim.h"
#include "controller/KelvApi.h"
#include "controller/KelvApiTable.h"
#include "machine/Machine.h"
#include "operation/PartProgram.h"
#include "support/RecordingOperator.h"
#include "support/SimClock.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace morvik;

constexpr int kProgramLines = 1000000;

// The card's library functions as linked into this program, in the station's table.
KelvApiTable LinkedCard() {
    KelvApiTable api;
#define MORVIK_FILL_FROM_CARD(name) api.name = &::name;
    MORVIK_KELVAPI_FUNCTIONS(MORVIK_FILL_FROM_CARD)
#undef MORVIK_FILL_FROM_CARD
    return api;
}

// A zig-zag of short feed moves after the program number, ending with M30; about 30 MB.
class ProgramFile {
public:
    ProgramFile() : path_(std::filesystem::temp_directory_path() / "morvik-bench-million.prt") {
        std::ofstream out(path_, std::ios::binary);
        out << "%\nO1234 (ONE MILLION LINES)\n";
        char line[64];
        for (int i = 2; i < kProgramLines - 1; ++i) {
            std::snprintf(line, sizeof line, "N%d G1 X%d.%04d Y%d.%04d F60\n", i, i % 2, i % 10000,
                          (i / 2) % 2, (i * 7) % 10000);
            out << line;
        }
        out << "M30\n";
    }
    ~ProgramFile() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    std::string Path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

const ProgramFile& TheFile() {
    static const ProgramFile file;
    return file;
}

std::size_t countedBytes = 0;

void RunLoads(benchmark::State& state, const KelvApiTable& api) {
    const std::string path = TheFile().Path();
    KelvSimReset();
    test::SimClock clock;
    test::RecordingOperator ui;
    auto machine = std::make_unique<CMachine>(api, clock, ui);
    if (!machine->Connect()) {
        state.SkipWithError("the card did not open");
        return;
    }
    SetMachineMode(*machine, MachineEvents::None(), MachineMode::Run);
    PartProgram program(*machine);
    for (auto _ : state) {
        ui.fileAnswers.push_back(path);
        if (program.LoadFromFile() != LoadResult::Started) {
            state.SkipWithError("the program was not started");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kProgramLines);
    machine.reset();
    KelvSimReset();
}

void BM_LoadFileToCard(benchmark::State& state) {
    RunLoads(state, LinkedCard());
}
BENCHMARK(BM_LoadFileToCard)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadFileStationOnly(benchmark::State& state) {
    KelvApiTable api = LinkedCard();
    api.dornputs = [](KELVHANDLE, const char* text) -> std::int32_t {
        countedBytes += std::char_traits<char>::length(text);
        return 0;
    };
    RunLoads(state, api);
    benchmark::DoNotOptimize(countedBytes);
}
BENCHMARK(BM_LoadFileStationOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
