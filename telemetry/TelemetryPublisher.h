// Publishes the station's telemetry to an MQTT broker, read-only (it subscribes to nothing):
//   <prefix>/state   the machine's state as JSON, retained, on every change and at most once
//                    per minStateIntervalMs (ten a second); QoS 0
//   <prefix>/event   one JSON object per event, in order, numbered; QoS 1
//   <prefix>/status  "online" (retained) on every connection; the broker's last will sets
//                    "offline" when the station dies or its link drops; Stop sends "offline"
//
// The application calls OnState from the status cycle's snapshot and OnEvent from its
// observers, on the user-interface thread. Neither waits on the network: messages go into a
// bounded queue (TelemetryQueue) that the client library's own network thread empties while
// the link is up, with a window of messages handed to the library and not yet written or
// acknowledged. The network thread reconnects with backoff; LinkState tells the status bar.
// After a reconnection "online" and the latest state go out again, then whatever waited.
// Time for the rate limit comes from the injected clock; the time stamps in the messages
// from the wall clock.
#pragma once

#include "controller/Clock.h"
#include "telemetry/TelemetryConfig.h"
#include "telemetry/TelemetryQueue.h"
#include "telemetry/TelemetryState.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

struct mosquitto;

namespace morvik {

enum class TelemetryLink {
    Off,        // not started, stopped, or refused to start
    Connecting, // started, not connected yet
    Connected,
    Down, // the link dropped or the broker refused it; retrying with backoff
};

// "off", "connecting", "connected", "down".
std::string_view TelemetryLinkName(TelemetryLink link);

// Milliseconds since 1970-01-01 UTC from the system clock.
std::uint64_t SystemTimeMs();

inline constexpr std::string_view kTelemetryOnline = "online";
inline constexpr std::string_view kTelemetryOffline = "offline";

class TelemetryPublisher {
public:
    using WallClock = std::function<std::uint64_t()>;

    // Counts since the last Start.
    struct Stats {
        std::uint64_t statesQueued = 0; // states that passed the change test and rate limit
        std::uint64_t statesDropped = 0;
        std::uint64_t eventsQueued = 0;
        std::uint64_t eventsDropped = 0;
        std::uint64_t connections = 0; // successful connections so far
        std::size_t waiting = 0;       // messages in the queue now
    };

    TelemetryPublisher(TelemetryConfig config, IClock& clock, WallClock wallClock = SystemTimeMs);
    ~TelemetryPublisher();
    TelemetryPublisher(const TelemetryPublisher&) = delete;
    TelemetryPublisher& operator=(const TelemetryPublisher&) = delete;

    // Starts connecting in the background. False, with LastError set, when the configuration
    // is off or has a problem or the client cannot be created; the station runs on without.
    bool Start();
    // Sends the latest state if the rate limit held it back, then "offline"; waits at most
    // stopTimeoutMs for both to reach the broker and disconnects. Called on every exit.
    void Stop();

    // The machine's state now; published when it differs from the last one published and
    // the last one is at least minStateIntervalMs old, else kept and sent on a later call
    // once the interval has passed (so the broker always ends up with the latest state).
    void OnState(const TelemetryState& state);
    // An event with its fields, published in the order of the calls.
    void OnEvent(std::string_view name, std::vector<TelemetryField> fields = {});

    TelemetryLink LinkState() const;
    // The reason the link is down or telemetry is off; empty when there is none.
    std::string LastError() const;
    Stats Statistics() const;
    const TelemetryConfig& Config() const { return config_; }

private:
    static void HandleConnect(mosquitto* mosq, void* self, int rc);
    static void HandleDisconnect(mosquitto* mosq, void* self, int rc);
    static void HandlePublish(mosquitto* mosq, void* self, int mid);

    bool CreateClient();
    void Connect();
    void SendState(const TelemetryState& state);
    void SendPendingStateIfDue();
    void Enqueue(TelemetryMessage message);
    void DrainLocked();
    bool PublishLocked(const TelemetryMessage& message);
    void ForgetUnconfirmedStatesLocked();
    void StopClient(bool wasConnected);

    TelemetryConfig config_;
    IClock& clock_;
    WallClock wallClock_;
    mosquitto* mosq_ = nullptr;
    std::thread starter_; // resolves the broker's name and connects, off the caller's thread

    // Used by the caller's thread only.
    std::optional<TelemetryState> lastSent_;
    std::uint64_t lastSentAt_ = 0;
    std::optional<TelemetryState> pending_;
    std::uint64_t eventSequence_ = 0;

    // Shared with the network thread.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    TelemetryQueue queue_;
    std::unordered_map<int, TelemetryKind> unconfirmed_; // message id -> kind, in the library
    std::string latestStateJson_;                        // sent again after a reconnection
    TelemetryLink link_ = TelemetryLink::Off;
    bool connected_ = false;
    bool stopping_ = false;      // Stop has given up waiting; callbacks change nothing more
    bool giveUp_ = false;        // Stop was called; the starter retries no more
    bool networkThread_ = false; // the client's network thread runs
    std::string lastError_;
    Stats stats_;
};

} // namespace morvik
