#include "telemetry/TelemetryConfig.h"

#include "settings/ProfileFile.h"
#include "telemetry/JsonWriter.h"

#include <mosquitto.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace morvik {

namespace {

constexpr std::size_t kValueLimit = 4096;

// The first problem found is the one reported.
void Fail(TelemetryConfig& config, std::string problem) {
    if (config.problem.empty()) {
        config.problem = std::move(problem);
    }
}

std::string Value(const CProfileFile& settings, const char* key) {
    return settings.GetString(kTelemetrySection, key, "", kValueLimit);
}

// A port number 1 to 65535, written with digits only; 0 for anything else.
int ParsePort(std::string_view text) {
    int port = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (ec != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535) {
        return 0;
    }
    return port;
}

struct HostPort {
    std::string host;
    std::string port; // empty when not given
};

// "host:port", "host", "[v6 address]:port" or a bare v6 address.
HostPort SplitBroker(std::string_view text) {
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close != std::string_view::npos) {
            HostPort hp{std::string(text.substr(1, close - 1)), ""};
            if (close + 1 < text.size() && text[close + 1] == ':') {
                hp.port = std::string(text.substr(close + 2));
            }
            return hp;
        }
    }
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || text.find(':', colon + 1) != std::string_view::npos) {
        return {std::string(text), ""};
    }
    return {std::string(text.substr(0, colon)), std::string(text.substr(colon + 1))};
}

std::string Resolve(std::string_view folder, const std::string& name) {
    if (name.empty() || folder.empty() || std::filesystem::path(name).is_absolute()) {
        return name;
    }
    return (std::filesystem::path(folder) / name).string();
}

void SetPort(TelemetryConfig& config, const std::string& text, const char* where) {
    if (text.empty()) {
        return;
    }
    config.port = ParsePort(text);
    if (config.port == 0) {
        Fail(config, std::string("bad broker port \"") + text + "\" in " + where);
    }
}

void ReadPassword(TelemetryConfig& config, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in || !std::getline(in, config.password)) {
        Fail(config, "cannot read the password file " + path);
        config.password.clear();
        return;
    }
    if (!config.password.empty() && config.password.back() == '\r') {
        config.password.pop_back();
    }
}

void SetTopicPrefix(TelemetryConfig& config, std::string prefix, const std::string& name) {
    while (!prefix.empty() && prefix.back() == '/') {
        prefix.pop_back();
    }
    config.topicPrefix = prefix.empty() ? "morvik/" + name : prefix;
    const std::string topic = config.StateTopic();
    if (mosquitto_pub_topic_check2(topic.c_str(), topic.size()) != MOSQ_ERR_SUCCESS ||
        mosquitto_validate_utf8(topic.c_str(), static_cast<int>(topic.size())) !=
            MOSQ_ERR_SUCCESS) {
        Fail(config, "the topic prefix \"" + config.topicPrefix + "\" is not a topic to publish");
    }
}

} // namespace

std::string TelemetryName(std::string_view machineTitle) {
    const std::size_t slash = machineTitle.find_last_of("/\\");
    if (slash != std::string_view::npos) {
        machineTitle.remove_prefix(slash + 1);
    }
    std::string name;
    std::size_t i = 0;
    while (i < machineTitle.size()) {
        const auto c = static_cast<unsigned char>(machineTitle[i]);
        if (c >= 0x80) {
            // A title from a file written on another system may not be UTF-8; the broker
            // refuses a topic that is not.
            const std::size_t length = Utf8SequenceLength(machineTitle, i);
            name += length > 0 ? machineTitle.substr(i, length) : "_";
            i += std::max<std::size_t>(length, 1);
            continue;
        }
        name += (c == '/' || c == '+' || c == '#' || c < 0x20 || c == 0x7F) ? '_' : char(c);
        ++i;
    }
    return name.empty() ? "Machine" : name;
}

TelemetryConfig LoadTelemetryConfig(const CProfileFile& settings, std::string_view settingsFolder,
                                    std::string_view machineTitle, const char* brokerVariable) {
    TelemetryConfig config;
    const std::string name = TelemetryName(machineTitle);
    config.host = Value(settings, "Host");
    config.caFile = Resolve(settingsFolder, Value(settings, "CAFile"));
    config.port = config.caFile.empty() ? kMqttPort : kMqttTlsPort;
    SetPort(config, Value(settings, "Port"), "the settings file");
    if (brokerVariable != nullptr && *brokerVariable != '\0') {
        const HostPort broker = SplitBroker(brokerVariable);
        config.host = broker.host;
        SetPort(config, broker.port, kTelemetryBrokerVariable);
    }
    config.enabled = !config.host.empty();
    const std::string clientId = Value(settings, "ClientId");
    config.clientId = clientId.empty() ? name : clientId;
    SetTopicPrefix(config, Value(settings, "TopicPrefix"), name);
    config.userName = Value(settings, "UserName");
    const std::string passwordFile = Resolve(settingsFolder, Value(settings, "PasswordFile"));
    if (!passwordFile.empty()) {
        ReadPassword(config, passwordFile);
    }
    return config;
}

TelemetryConfig LoadTelemetryConfig(const std::string& settingsPath,
                                    std::string_view machineTitle) {
    const CProfileFile settings(settingsPath);
    const std::string folder = std::filesystem::path(settingsPath).parent_path().string();
    return LoadTelemetryConfig(settings, folder, machineTitle,
                               std::getenv(kTelemetryBrokerVariable));
}

} // namespace morvik
