// What publishing telemetry adds to the station's 100 ms tick, on the caller's thread, with a
// real mosquitto broker on loopback. Each publishing iteration is a tick whose state changed
// and whose rate limit has passed: the state is compared, written as JSON, queued and handed
// to the client library (which only queues the packet for its own network thread). Also the
// tick whose state did not change (the usual one of an idle machine) and a tick while the
// broker is down (the state goes into the bounded queue, an old one is given up). Run at full
// speed, the publishing loop outpaces the network thread and most states are given up in
// the queue (see the counters); the paced run hands every state to the library.
#include "controller/Clock.h"
#include "telemetry/BrokerProcess.h"
#include "telemetry/TelemetryPublisher.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace morvik {
namespace {

TelemetryState RunningState() {
    TelemetryState s;
    s.mode = "Run";
    s.homed = true;
    s.programPath = "/home/op/parts/flange.prt";
    s.programNumber = 1234;
    s.programState = "running";
    s.runningLine = 17;
    s.units = "mm";
    s.axes = {{"X", 12.5}, {"Y", -40.125}, {"Z", 3.0}};
    s.spindleSpeed = 1200;
    s.lamps = {false, true, false, false, false, false};
    return s;
}

TelemetryConfig ConfigFor(const test::BrokerProcess& broker) {
    TelemetryConfig config;
    config.enabled = true;
    config.host = "127.0.0.1";
    config.port = broker.Port();
    config.clientId = "bench";
    config.topicPrefix = "morvik/bench";
    return config;
}

bool WaitForLink(const TelemetryPublisher& publisher, TelemetryLink link) {
    for (int i = 0; i < 2000 && publisher.LinkState() != link; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return publisher.LinkState() == link;
}

void ReportCounters(benchmark::State& state, const TelemetryPublisher& publisher) {
    const TelemetryPublisher::Stats stats = publisher.Statistics();
    state.counters["queued"] = static_cast<double>(stats.statesQueued);
    state.counters["dropped"] = static_cast<double>(stats.statesDropped);
}

// argument 1: the broker is up; 0: it was stopped after the station connected.
void BM_PublishChangedState(benchmark::State& state) {
    test::BrokerProcess broker;
    if (!broker.Start()) {
        state.SkipWithError("cannot start mosquitto");
        return;
    }
    ManualClock clock;
    TelemetryPublisher publisher(ConfigFor(broker), clock);
    publisher.Start();
    if (!WaitForLink(publisher, TelemetryLink::Connected)) {
        state.SkipWithError("no connection to the broker");
        return;
    }
    if (state.range(0) == 0) {
        broker.Stop(SIGKILL);
        WaitForLink(publisher, TelemetryLink::Down);
    }
    TelemetryState tick = RunningState();
    for (auto _ : state) {
        clock.Advance(100);
        tick.axes[0].position += 0.001;
        publisher.OnState(tick);
    }
    ReportCounters(state, publisher);
}
BENCHMARK(BM_PublishChangedState)->Arg(1)->Arg(0)->ArgName("brokerUp");

// Every state handed to the client library: between iterations (untimed) the network thread
// is given the time to take the queue down to nothing, as it has between two real ticks.
void BM_PublishChangedStatePaced(benchmark::State& state) {
    test::BrokerProcess broker;
    if (!broker.Start()) {
        state.SkipWithError("cannot start mosquitto");
        return;
    }
    ManualClock clock;
    TelemetryPublisher publisher(ConfigFor(broker), clock);
    publisher.Start();
    if (!WaitForLink(publisher, TelemetryLink::Connected)) {
        state.SkipWithError("no connection to the broker");
        return;
    }
    TelemetryState tick = RunningState();
    for (auto _ : state) {
        clock.Advance(100);
        tick.axes[0].position += 0.001;
        publisher.OnState(tick);
        state.PauseTiming();
        while (publisher.Statistics().waiting > 0) {
            std::this_thread::yield();
        }
        state.ResumeTiming();
    }
    ReportCounters(state, publisher);
}
BENCHMARK(BM_PublishChangedStatePaced)->Iterations(20000);

void BM_UnchangedState(benchmark::State& state) {
    test::BrokerProcess broker;
    if (!broker.Start()) {
        state.SkipWithError("cannot start mosquitto");
        return;
    }
    ManualClock clock;
    TelemetryPublisher publisher(ConfigFor(broker), clock);
    publisher.Start();
    WaitForLink(publisher, TelemetryLink::Connected);
    const TelemetryState tick = RunningState();
    publisher.OnState(tick);
    for (auto _ : state) {
        clock.Advance(100);
        publisher.OnState(tick);
    }
    ReportCounters(state, publisher);
}
BENCHMARK(BM_UnchangedState);

void BM_StateJson(benchmark::State& state) {
    TelemetryState tick = RunningState();
    for (auto _ : state) {
        tick.axes[0].position += 0.001;
        benchmark::DoNotOptimize(StateJson(tick));
    }
}
BENCHMARK(BM_StateJson);

} // namespace
} // namespace morvik
