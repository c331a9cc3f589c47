// One status tick of the station against the simulated card while a part program runs in Run
// mode with all four readouts on the card (X, Y, Z and the spindle) and the program view
// echoing the executed blocks: the work the 100 ms timer does. With argument 0 the card's
// clock stands still (the station's own cost and the card's answers); with 100 the card first
// runs the 100 ms that pass between two ticks.
//
// BM_StatusTickPublishing is the same tick (100 ms of the card's time each, every one while the
// axes move) with the station's telemetry on: the observer the application attaches turns each
// snapshot into the published state (every tick's state differs while the axes move, and
// 100 ms have passed, so every tick publishes) to a real mosquitto broker on loopback.
// telemetry:1 less telemetry:0 (the same station and broker, the observer not attached) is
// what publishing adds to one tick on the user-interface thread.
#include "app/TelemetryObserver.h"
#include "cardsim/KelvSim.h"
#include "controller/ControllerCodes.h"
#include "controller/KelvApiTable.h"
#include "machine/Machine.h"
#include "operation/MachineOperation.h"
#include "settings/TempFolder.h"
#include "settings/UnitTables.h"
#include "support/SimClock.h"
#include "telemetry/BrokerProcess.h"
#include "telemetry/TelemetryPublisher.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

namespace morvik {
namespace {

// The card library linked into this program, as the station's function table.
KelvApiTable LinkedCard() {
    KelvApiTable table;
#define MORVIK_BENCH_FILL(name) table.name = &::name;
    MORVIK_KELVAPI_FUNCTIONS(MORVIK_BENCH_FILL)
#undef MORVIK_BENCH_FILL
    return table;
}

// An operator who sees everything and answers nothing.
class SilentOperator : public IOperatorInterface {
public:
    void ShowMessageBox(int, const std::string&) override {}
    bool AskYesNo(int, const std::string&) override { return false; }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    std::optional<std::string> ChooseOpenFile(const std::string&,
                                              const std::vector<FileFilter>&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFile(const std::string&, const std::vector<FileFilter>&,
                                              const std::string&) override {
        return std::nullopt;
    }
    bool OpenView(ViewKind) override { return true; }
    void CloseView(ViewKind) override {}
    void ClearView(ViewKind) override {}
    void AppendToView(ViewKind, const std::string& text) override { shown += text.size(); }

    std::size_t shown = 0;
};

class RestingJoystick : public IJoystick {
public:
    int Read(JoystickReading&) override { return joystick::kUnplugged; }
};

// A new machine with X, Y, Z on card axes 1 to 3 (1000 counts/in) and the spindle on axis 4,
// homed, in Run mode, running a long move with the program view open.
struct RunningStation {
    test::TempFolder folder;
    std::filesystem::path saved = std::filesystem::current_path();
    KelvApiTable api = LinkedCard();
    test::SimClock clock;
    SilentOperator ui;
    RestingJoystick joystick;
    std::unique_ptr<CMachine> machine;
    std::unique_ptr<MachineOperation> op;

    RunningStation() {
        KelvSimReset();
        // The reset put the card back on the real clock: the ticks' 100 ms must move it.
        KelvSimUseManualClock(1);
        std::filesystem::current_path(folder.Path()); // the controller files land here
        machine = std::make_unique<CMachine>(api, clock, ui);
        machine->Connect();
        machine->OnNewDocument();
        for (int i = 0; i < 3; ++i) {
            Axis& axis = machine->Axes()[static_cast<std::size_t>(i)];
            axis.SetControllerAxis(i + 1);
            axis.Scale().Set(unit::Inch, 1000);
            axis.RapidRate().Set(unit::Inch, timeunit::Minute, 120);
        }
        machine->GetSpindle().SetControllerAxis(4);
        machine->DownloadConfiguration();
        op = std::make_unique<MachineOperation>(*machine, joystick);
        op->SelectHome();
        op->Start();
        op->SelectRun();
        op->ViewProgram();
        Run();
    }
    ~RunningStation() {
        op.reset();
        machine.reset();
        std::filesystem::current_path(saved);
        KelvSimReset();
    }
    void Run() {
        op->LoadFromLines({"O1", "G01 X50 Y-20 Z5 F60", "G01 X0 Y0 Z0", "M30"}, "bench.prt");
        op->Start();
    }
};

// One tick as the timer runs it, with the program started again whenever it ends.
void TickOnce(benchmark::State& state, RunningStation& station, std::uint64_t timeMs) {
    station.clock.Advance(timeMs);
    station.op->StatusTick();
    while (station.op->IdleDrain()) {
    }
    if ((station.op->Snapshot().programStatus.value_or(0) & psw::Running) == 0) {
        state.PauseTiming();
        station.Run();
        state.ResumeTiming();
    }
}

void BM_StatusTickRunning(benchmark::State& state) {
    const auto timeMs = static_cast<std::uint64_t>(state.range(0));
    RunningStation station;
    for (auto _ : state) {
        TickOnce(state, station, timeMs);
    }
    benchmark::DoNotOptimize(station.op->Snapshot());
    state.counters["text_bytes"] = static_cast<double>(station.ui.shown);
}
BENCHMARK(BM_StatusTickRunning)->Arg(0)->Arg(100);

// Ticks in which the axes are moving: fewer than the started program needs to end (540).
constexpr benchmark::IterationCount kMovingTicks = 500;

// argument 0: the same station and broker without the observer attached (the baseline);
// 1: with it, ticks back to back (the network thread competes with the ticks for the queue and
// the cores, and gives up old states); 2: with it, and between two ticks (untimed) the network
// thread is let take the queue down to nothing, as it has in the 100 ms between real ticks.
void BM_StatusTickPublishing(benchmark::State& state) {
    test::BrokerProcess broker;
    if (!broker.Start()) {
        state.SkipWithError("cannot start mosquitto");
        return;
    }
    RunningStation station;
    TelemetryConfig config;
    config.enabled = true;
    config.host = "127.0.0.1";
    config.port = broker.Port();
    config.clientId = "bench";
    config.topicPrefix = "morvik/bench";
    TelemetryPublisher publisher(config, station.clock);
    publisher.Start();
    for (int i = 0; i < 2000 && publisher.LinkState() != TelemetryLink::Connected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (publisher.LinkState() != TelemetryLink::Connected) {
        state.SkipWithError("no connection to the broker");
        return;
    }
    TelemetryObserver observer(*station.machine, publisher);
    if (state.range(0) != 0)
        station.op->Events().Attach(observer);
    for (auto _ : state) {
        station.clock.Advance(100);
        station.op->StatusTick();
        while (station.op->IdleDrain()) {
        }
        if (state.range(0) == 2) {
            state.PauseTiming();
            while (publisher.Statistics().waiting > 0) {
                std::this_thread::yield();
            }
            state.ResumeTiming();
        }
    }
    station.op->Events().Detach(observer);
    if ((station.op->Snapshot().programStatus.value_or(0) & psw::Running) == 0)
        state.SkipWithError("the program ended before the last tick");
    const TelemetryPublisher::Stats stats = publisher.Statistics();
    state.counters["states"] = static_cast<double>(stats.statesQueued);
    state.counters["dropped"] = static_cast<double>(stats.statesDropped);
    publisher.Stop();
}
BENCHMARK(BM_StatusTickPublishing)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("telemetry")
    ->Iterations(kMovingTicks)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true);

} // namespace
} // namespace morvik
