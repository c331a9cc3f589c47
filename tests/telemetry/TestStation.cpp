// A station that only publishes telemetry: a test starts it against its broker and kills it,
// to see what the broker tells the shop about a station that died.
//   telemetry_test_station PORT PREFIX
// It publishes a state with a moving X position every 20 ms until it is killed.
#include "controller/Clock.h"
#include "telemetry/TelemetryPublisher.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    morvik::TelemetryConfig config;
    config.enabled = true;
    config.host = "127.0.0.1";
    config.port = std::atoi(argv[1]);
    config.topicPrefix = argv[2];
    config.clientId = "test-station-" + std::string(argv[1]);
    morvik::SteadyClock clock;
    morvik::TelemetryPublisher publisher(config, clock);
    if (!publisher.Start()) {
        return 1;
    }
    morvik::TelemetryState state;
    state.mode = "Jog";
    state.axes = {{"X", 0.0}};
    for (;;) {
        state.axes[0].position += 0.01;
        publisher.OnState(state);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
