// Where and how the station publishes its telemetry. Telemetry is off unless configured:
// either a [Telemetry] section in the settings file (morvik.ini) names a broker,
//   [Telemetry]
//   Host=broker.shop.lan        ; required to switch telemetry on
//   Port=1883                   ; 8883 by default when CAFile is given, else 1883
//   ClientId=mill-3             ; default: the machine's title
//   TopicPrefix=shop/mill-3     ; default: morvik/<machine title>
//   UserName=station            ; optional
//   PasswordFile=mqtt.pw        ; optional; its first line is the password
//   CAFile=/etc/ssl/shop-ca.pem ; optional; switches TLS on
// or MORVIK_MQTT_BROKER=host:port in the environment does, for a quick start (it overrides
// Host and Port of the file; the other keys still apply). Relative file names are taken from
// the settings file's folder. The application loads this once the machine's title is known.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvik {

class CProfileFile;

inline constexpr const char* kTelemetrySection = "Telemetry";
inline constexpr const char* kTelemetryBrokerVariable = "MORVIK_MQTT_BROKER";
inline constexpr int kMqttPort = 1883;
inline constexpr int kMqttTlsPort = 8883;

struct TelemetryConfig {
    bool enabled = false; // a broker is named
    std::string host;
    int port = kMqttPort;
    std::string clientId;
    std::string topicPrefix; // without a trailing "/"
    std::string userName;
    std::string password; // read from the password file
    std::string caFile;
    // Why configured telemetry cannot start (bad port, unreadable password file, a wildcard
    // in the prefix); empty when it can. The publisher refuses to start with a problem.
    std::string problem;

    // Tuning that the settings file does not carry; tests shorten some of it.
    unsigned reconnectMinSeconds = 1;  // backoff doubles from here ...
    unsigned reconnectMaxSeconds = 30; // ... up to here
    int keepAliveSeconds = 10; // the broker declares a silent station dead after 1.5 times this
    std::uint64_t minStateIntervalMs = 100; // at most ten states a second
    std::size_t queueLimit = 256;       // messages waiting; the oldest states go first beyond it
    std::size_t eventLimit = 4096;      // events kept through an outage, whatever the queue holds
    std::uint32_t stopTimeoutMs = 2000; // how long Stop waits for "offline" to reach the broker

    std::string StateTopic() const { return topicPrefix + "/state"; }
    std::string EventTopic() const { return topicPrefix + "/event"; }
    std::string StatusTopic() const { return topicPrefix + "/status"; }
};

// The configuration from the settings file, the machine's title and the value of
// MORVIK_MQTT_BROKER (null when the variable is not set). settingsFolder resolves relative
// file names.
TelemetryConfig LoadTelemetryConfig(const CProfileFile& settings, std::string_view settingsFolder,
                                    std::string_view machineTitle, const char* brokerVariable);
// The same from the settings file at settingsPath and the process environment.
TelemetryConfig LoadTelemetryConfig(const std::string& settingsPath, std::string_view machineTitle);

// The machine's title as one topic level and client id: its last path component, with the
// characters MQTT gives a meaning in topics ("/", "+", "#") and control characters replaced
// by "_"; "Machine" when nothing is left.
std::string TelemetryName(std::string_view machineTitle);

} // namespace morvik
