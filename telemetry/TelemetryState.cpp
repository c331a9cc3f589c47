#include "telemetry/TelemetryState.h"

#include "telemetry/JsonWriter.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace morvik {

namespace {

// Percent with at most two decimals: 1.1 is 110, not 110.00000000000001.
double Percent(double fraction) {
    return std::round(fraction * 10000.0) / 100.0;
}

// Positions to a millionth of their unit (25 nm in inches): finer digits are the noise of
// unit conversions and sums ("0.060000000000000005"), not the machine's.
double Position(double value) {
    return std::round(value * 1e6) / 1e6;
}

void WriteProgram(JsonWriter& json, const TelemetryState& state) {
    json.Key("program").BeginObject();
    json.Key("path").String(state.programPath);
    json.Key("number").Integer(state.programNumber);
    json.Key("state").String(state.programState);
    json.Key("line").Integer(state.runningLine);
    json.EndObject();
}

void WritePositions(JsonWriter& json, const TelemetryState& state) {
    json.Key("units").String(state.units);
    json.Key("positions").BeginObject();
    for (const TelemetryAxis& axis : state.axes) {
        json.Key(axis.name).Number(Position(axis.position));
    }
    json.EndObject();
}

void WriteOverridesAndLamps(JsonWriter& json, const TelemetryState& state) {
    json.Key("overrides").BeginObject();
    json.Key("feed").Number(Percent(state.feedOverride));
    json.Key("rapid").Number(Percent(state.rapidOverride));
    json.Key("spindle").Number(Percent(state.spindleOverride));
    json.EndObject();
    json.Key("lamps").BeginObject();
    for (std::size_t i = 0; i < kTelemetryLampCount; ++i) {
        json.Key(kTelemetryLampNames[i]).Bool(state.lamps[i]);
    }
    json.EndObject();
}

bool Reserved(std::string_view key) {
    return key == "event" || key == "seq" || key == "time";
}

void WriteField(JsonWriter& json, const TelemetryField& field) {
    json.Key(field.key);
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>) {
                json.String(v);
            } else if constexpr (std::is_same_v<T, double>) {
                json.Number(v);
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                json.Integer(v);
            } else {
                json.Bool(v);
            }
        },
        field.value);
}

} // namespace

bool SameReading(const TelemetryState& a, const TelemetryState& b) {
    TelemetryState copy = a;
    copy.timeMs = b.timeMs;
    return copy == b;
}

std::string StateJson(const TelemetryState& state) {
    JsonWriter json;
    json.BeginObject();
    json.Key("mode").String(state.mode);
    json.Key("homed").Bool(state.homed);
    WriteProgram(json, state);
    WritePositions(json, state);
    json.Key("spindleSpeed").Number(state.spindleSpeed);
    WriteOverridesAndLamps(json, state);
    json.Key("errorBits").Unsigned(state.errorBits);
    json.Key("time").String(IsoTimeUtc(state.timeMs));
    json.EndObject();
    return json.Take();
}

std::string EventJson(std::string_view name, std::uint64_t sequence, std::uint64_t timeMs,
                      const std::vector<TelemetryField>& fields) {
    JsonWriter json;
    json.BeginObject();
    json.Key("event").String(name);
    json.Key("seq").Unsigned(sequence);
    json.Key("time").String(IsoTimeUtc(timeMs));
    for (const TelemetryField& field : fields) {
        if (!Reserved(field.key)) {
            WriteField(json, field);
        }
    }
    json.EndObject();
    return json.Take();
}

std::string IsoTimeUtc(std::uint64_t timeMs) {
    using namespace std::chrono;
    const sys_days day = floor<days>(sys_time<milliseconds>(milliseconds(timeMs)));
    const year_month_day date(day);
    const std::uint64_t msOfDay = timeMs % (24ull * 3600 * 1000);
    const auto h = static_cast<unsigned>(msOfDay / 3600000);
    const auto m = static_cast<unsigned>(msOfDay / 60000 % 60);
    const auto s = static_cast<unsigned>(msOfDay / 1000 % 60);
    const auto ms = static_cast<unsigned>(msOfDay % 1000);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02u:%02u:%02u.%03uZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), h, m, s, ms);
    return text;
}

} // namespace morvik
