// What the station tells the shop about itself: one picture of the machine (published on the
// state topic) and the events between pictures (published on the event topic). These are the
// telemetry layer's own plain types; the application fills them from the status cycle's
// snapshot and observers, so this folder depends on nothing but settings/ and the MQTT client.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace morvik {

struct TelemetryAxis {
    std::string name; // "X", "Y", "Z", ...
    double position = 0.0;
    bool operator==(const TelemetryAxis&) const = default;
};

// The panel's six lamps, in the panel's order.
inline constexpr std::size_t kTelemetryLampCount = 6;
inline constexpr std::array<std::string_view, kTelemetryLampCount> kTelemetryLampNames = {
    "ready", "running", "paused", "feedHold", "finished", "error"};

struct TelemetryState {
    std::string mode; // "None", "Run", "MDI", "Jog", "Home"
    bool homed = false;
    std::string programPath; // empty when no program was loaded
    std::int32_t programNumber = 0;
    std::string programState;     // e.g. "none", "loaded", "running", "paused", "finished"
    std::int32_t runningLine = 0; // the program line the card runs now; 0 when none
    std::string units;            // the unit name of the positions ("in", "mm")
    std::vector<TelemetryAxis> axes;
    double spindleSpeed = 0.0; // as the card reports it, revolutions per minute
    // Override fractions, 1.0 meaning 100 %; published in percent.
    double feedOverride = 1.0;
    double rapidOverride = 1.0;
    double spindleOverride = 1.0;
    std::array<bool, kTelemetryLampCount> lamps{};
    std::uint32_t errorBits = 0; // the card's error bits as the snapshot carries them
    // Milliseconds since 1970-01-01 UTC; the publisher stamps it when it sends the state.
    std::uint64_t timeMs = 0;

    bool operator==(const TelemetryState&) const = default;
};

// Equal apart from the time stamp: a state that says nothing new is not sent again.
bool SameReading(const TelemetryState& a, const TelemetryState& b);

// The names of the events the station publishes.
namespace telemetry_event {
inline constexpr std::string_view kModeChanged = "modeChanged";
inline constexpr std::string_view kProgramLoaded = "programLoaded";
inline constexpr std::string_view kProgramStarted = "programStarted";
inline constexpr std::string_view kProgramFinished = "programFinished";
inline constexpr std::string_view kPartError = "partError";
inline constexpr std::string_view kEmergencyStop = "emergencyStop";
inline constexpr std::string_view kDriveFault = "driveFault";
} // namespace telemetry_event

// One member of an event beside its name, sequence number and time ("from": "Jog",
// "line": 12, "reason": "...").
struct TelemetryField {
    using Value = std::variant<std::string, double, std::int64_t, bool>;
    std::string key;
    Value value;

    TelemetryField(std::string k, std::string v) : key(std::move(k)), value(std::move(v)) {}
    TelemetryField(std::string k, const char* v) : key(std::move(k)), value(std::string(v)) {}
    TelemetryField(std::string k, std::string_view v) : key(std::move(k)), value(std::string(v)) {}
    TelemetryField(std::string k, double v) : key(std::move(k)), value(v) {}
    TelemetryField(std::string k, int v) : key(std::move(k)), value(std::int64_t{v}) {}
    TelemetryField(std::string k, std::int64_t v) : key(std::move(k)), value(v) {}
    TelemetryField(std::string k, bool v) : key(std::move(k)), value(v) {}
};

// The state as the state topic carries it:
// {"mode":"Run","homed":true,"program":{"path":..,"number":..,"state":..,"line":..},
//  "units":"mm","positions":{"X":1.5,..},"spindleSpeed":1200,   (positions to 1e-6 of the unit)
//  "overrides":{"feed":100,"rapid":100,"spindle":100},"lamps":{"ready":false,..},
//  "errorBits":0,"time":"2026-12-10T04:18:36.123Z"}
std::string StateJson(const TelemetryState& state);

// An event as the event topic carries it: {"event":name,"seq":n,"time":..,fields...}. The
// sequence number counts the station's events from 1, so a reader sees a gap or a repeat.
// A field named "event", "seq" or "time" is left out rather than written twice.
std::string EventJson(std::string_view name, std::uint64_t sequence, std::uint64_t timeMs,
                      const std::vector<TelemetryField>& fields);

// Milliseconds since 1970 as ISO 8601 UTC with milliseconds: "2026-12-10T04:18:36.123Z".
std::string IsoTimeUtc(std::uint64_t timeMs);

} // namespace morvik
