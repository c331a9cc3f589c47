// A subscriber that records every message it receives, for tests against a real broker.
// It keeps its session (clean start off, QoS 1) and reconnects on its own, so with a broker
// that persists sessions it also receives what was published while the broker was away.
// Waits poll the record until a condition holds or a deadline passes; nothing sleeps for a
// fixed time.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace morvik::test {

struct MqttMessage {
    std::string topic;
    std::string payload;
    bool retained = false;
};

class MqttRecorder {
public:
    using Messages = std::vector<MqttMessage>;

    // Connects to 127.0.0.1:port as clientId and subscribes to filter; Ready() tells whether
    // the subscription was acknowledged in time.
    MqttRecorder(int port, const std::string& filter, const std::string& clientId = "recorder");
    ~MqttRecorder();
    MqttRecorder(const MqttRecorder&) = delete;
    MqttRecorder& operator=(const MqttRecorder&) = delete;

    bool Ready() const { return ready_; }
    // True as soon as the condition holds for the messages so far; false at the deadline.
    bool WaitFor(const std::function<bool(const Messages&)>& condition,
                 std::chrono::milliseconds timeout = std::chrono::seconds(15));
    // Waits for a message on the topic with exactly this payload.
    bool WaitForPayload(const std::string& topic, const std::string& payload,
                        std::chrono::milliseconds timeout = std::chrono::seconds(15));
    Messages All() const;
    std::vector<std::string> Payloads(const std::string& topic) const;

private:
    static void OnMessage(mosquitto*, void* self, const mosquitto_message* message);
    static void OnConnect(mosquitto*, void* self, int rc);
    static void OnSubscribe(mosquitto*, void* self, int, int, const int*);

    mosquitto* mosq_ = nullptr;
    std::string filter_;
    bool ready_ = false;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Messages messages_;
    bool subscribed_ = false;
};

} // namespace morvik::test
