#include "telemetry/MqttRecorder.h"

#include <mosquitto.h>

namespace morvik::test {

MqttRecorder::MqttRecorder(int port, const std::string& filter, const std::string& clientId)
    : filter_(filter) {
    mosquitto_lib_init();
    mosq_ = mosquitto_new(clientId.c_str(), false, this);
    mosquitto_reconnect_delay_set(mosq_, 1, 1, false);
    mosquitto_connect_callback_set(mosq_, &OnConnect);
    mosquitto_subscribe_callback_set(mosq_, &OnSubscribe);
    mosquitto_message_callback_set(mosq_, &OnMessage);
    if (mosquitto_connect(mosq_, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS ||
        mosquitto_loop_start(mosq_) != MOSQ_ERR_SUCCESS) {
        return;
    }
    std::unique_lock lock(mutex_);
    ready_ = changed_.wait_for(lock, std::chrono::seconds(10), [this] { return subscribed_; });
}

MqttRecorder::~MqttRecorder() {
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, false);
    mosquitto_destroy(mosq_);
}

void MqttRecorder::OnConnect(mosquitto* mosq, void* self, int rc) {
    auto& r = *static_cast<MqttRecorder*>(self);
    if (rc == 0) {
        mosquitto_subscribe(mosq, nullptr, r.filter_.c_str(), 1);
    }
}

void MqttRecorder::OnSubscribe(mosquitto*, void* self, int, int, const int*) {
    auto& r = *static_cast<MqttRecorder*>(self);
    const std::lock_guard lock(r.mutex_);
    r.subscribed_ = true;
    r.changed_.notify_all();
}

void MqttRecorder::OnMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto& r = *static_cast<MqttRecorder*>(self);
    const std::lock_guard lock(r.mutex_);
    r.messages_.push_back({message->topic,
                           std::string(static_cast<const char*>(message->payload),
                                       static_cast<std::size_t>(message->payloadlen)),
                           message->retain});
    r.changed_.notify_all();
}

bool MqttRecorder::WaitFor(const std::function<bool(const Messages&)>& condition,
                           std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return condition(messages_); });
}

bool MqttRecorder::WaitForPayload(const std::string& topic, const std::string& payload,
                                  std::chrono::milliseconds timeout) {
    return WaitFor(
        [&](const Messages& all) {
            for (const MqttMessage& m : all) {
                if (m.topic == topic && m.payload == payload) {
                    return true;
                }
            }
            return false;
        },
        timeout);
}

MqttRecorder::Messages MqttRecorder::All() const {
    const std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<std::string> MqttRecorder::Payloads(const std::string& topic) const {
    std::vector<std::string> payloads;
    for (const MqttMessage& m : All()) {
        if (m.topic == topic) {
            payloads.push_back(m.payload);
        }
    }
    return payloads;
}

} // namespace morvik::test
