#include "telemetry/TelemetryPublisher.h"

#include <mosquitto.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <mutex>

namespace morvik {

namespace {

// Messages handed to the client library and not yet written (QoS 0) or acknowledged
// (QoS 1): bounds what the library holds; the rest waits in our queue.
constexpr std::size_t kWindow = 32;

void InitLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

std::string ClientError(const char* what, int rc) {
    return std::string(what) + ": " + mosquitto_strerror(rc);
}

} // namespace

std::string_view TelemetryLinkName(TelemetryLink link) {
    switch (link) {
    case TelemetryLink::Connecting:
        return "connecting";
    case TelemetryLink::Connected:
        return "connected";
    case TelemetryLink::Down:
        return "down";
    case TelemetryLink::Off:
        break;
    }
    return "off";
}

std::uint64_t SystemTimeMs() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

TelemetryPublisher::TelemetryPublisher(TelemetryConfig config, IClock& clock, WallClock wallClock)
    : config_(std::move(config)), clock_(clock), wallClock_(std::move(wallClock)),
      queue_(config_.queueLimit, config_.eventLimit) {}

TelemetryPublisher::~TelemetryPublisher() {
    Stop();
}

bool TelemetryPublisher::Start() {
    if (mosq_ != nullptr) {
        return true;
    }
    std::string refusal;
    if (!config_.enabled) {
        refusal = "telemetry is not configured";
    } else if (!config_.problem.empty()) {
        refusal = config_.problem;
    }
    if (!refusal.empty()) {
        const std::lock_guard lock(mutex_);
        lastError_ = refusal;
        return false;
    }
    InitLibraryOnce();
    if (!CreateClient()) {
        return false;
    }
    {
        const std::lock_guard lock(mutex_);
        // A start after a Stop begins afresh: what the last session could not deliver
        // (its "offline" above all) must not follow this session's "online".
        queue_ = TelemetryQueue(config_.queueLimit, config_.eventLimit);
        latestStateJson_.clear();
        stats_ = {};
        link_ = TelemetryLink::Connecting;
        stopping_ = false;
        giveUp_ = false;
        networkThread_ = false;
        lastError_.clear();
    }
    lastSent_.reset();
    pending_.reset();
    starter_ = std::thread([this] { Connect(); });
    return true;
}

// The client with its credentials, TLS, last will, backoff and callbacks; not connected yet.
bool TelemetryPublisher::CreateClient() {
    mosq_ = mosquitto_new(config_.clientId.c_str(), true, this);
    std::string error =
        mosq_ ? "" : "cannot create the MQTT client for \"" + config_.clientId + "\"";
    const std::string statusTopic = config_.StatusTopic();
    int rc = MOSQ_ERR_SUCCESS;
    if (mosq_ && !config_.userName.empty()) {
        rc = mosquitto_username_pw_set(mosq_, config_.userName.c_str(),
                                       config_.password.empty() ? nullptr
                                                                : config_.password.c_str());
        error = rc ? ClientError("user name", rc) : "";
    }
    if (mosq_ && !rc && !config_.caFile.empty()) {
        rc = mosquitto_tls_set(mosq_, config_.caFile.c_str(), nullptr, nullptr, nullptr, nullptr);
        error = rc ? ClientError(("CA file " + config_.caFile).c_str(), rc) : "";
    }
    if (mosq_ && !rc) {
        rc = mosquitto_will_set(mosq_, statusTopic.c_str(), int(kTelemetryOffline.size()),
                                kTelemetryOffline.data(), 1, true);
        error = rc ? ClientError("last will", rc) : "";
    }
    if (!error.empty()) {
        mosquitto_destroy(mosq_);
        mosq_ = nullptr;
        const std::lock_guard lock(mutex_);
        lastError_ = error;
        return false;
    }
    mosquitto_reconnect_delay_set(mosq_, config_.reconnectMinSeconds, config_.reconnectMaxSeconds,
                                  true);
    mosquitto_connect_callback_set(mosq_, &HandleConnect);
    mosquitto_disconnect_callback_set(mosq_, &HandleDisconnect);
    mosquitto_publish_callback_set(mosq_, &HandlePublish);
    return true;
}

// On the starter thread: the name lookup and the first attempt may take their time. Once an
// attempt is under way the client's network thread takes over and reconnects on its own; but
// it does not retry a first attempt that failed outright (broker not up yet, name unknown),
// so those are retried here with the same backoff until they succeed or Stop gives up.
void TelemetryPublisher::Connect() {
    unsigned delay = std::max(config_.reconnectMinSeconds, 1u);
    for (;;) {
        const int rc = mosquitto_connect_async(mosq_, config_.host.c_str(), config_.port,
                                               config_.keepAliveSeconds);
        if (rc == MOSQ_ERR_SUCCESS) {
            break;
        }
        std::unique_lock lock(mutex_);
        link_ = TelemetryLink::Down;
        lastError_ = ClientError("connecting", rc);
        if (changed_.wait_for(lock, std::chrono::seconds(delay), [this] { return giveUp_; })) {
            return;
        }
        delay = std::min(delay * 2, std::max(config_.reconnectMaxSeconds, delay));
    }
    const int loop = mosquitto_loop_start(mosq_);
    const std::lock_guard lock(mutex_);
    networkThread_ = loop == MOSQ_ERR_SUCCESS;
    if (!networkThread_) {
        link_ = TelemetryLink::Down;
        lastError_ = ClientError("network thread", loop);
    }
}

void TelemetryPublisher::OnState(const TelemetryState& state) {
    if (mosq_ == nullptr) {
        return;
    }
    if (lastSent_ && SameReading(state, *lastSent_)) {
        pending_.reset(); // back to what the broker has
        return;
    }
    pending_ = state;
    SendPendingStateIfDue();
}

void TelemetryPublisher::SendPendingStateIfDue() {
    if (!pending_) {
        return;
    }
    if (lastSent_ && clock_.NowMs() - lastSentAt_ < config_.minStateIntervalMs) {
        return;
    }
    SendState(*pending_);
    pending_.reset();
}

void TelemetryPublisher::SendState(const TelemetryState& state) {
    TelemetryState stamped = state;
    stamped.timeMs = wallClock_();
    lastSent_ = state;
    lastSentAt_ = clock_.NowMs();
    Enqueue({TelemetryKind::State, config_.StateTopic(), StateJson(stamped), 0, true});
}

void TelemetryPublisher::OnEvent(std::string_view name, std::vector<TelemetryField> fields) {
    if (mosq_ == nullptr) {
        return;
    }
    SendPendingStateIfDue();
    ++eventSequence_;
    Enqueue({TelemetryKind::Event, config_.EventTopic(),
             EventJson(name, eventSequence_, wallClock_(), fields), 1, false});
}

void TelemetryPublisher::Enqueue(TelemetryMessage message) {
    const std::lock_guard lock(mutex_);
    if (message.kind == TelemetryKind::State) {
        latestStateJson_ = message.payload;
        ++stats_.statesQueued;
    } else if (message.kind == TelemetryKind::Event) {
        ++stats_.eventsQueued;
    }
    queue_.Push(std::move(message));
    DrainLocked();
}

// Hands waiting messages to the library while the link is up and the window has room. In
// threaded mode the library only queues the packet and wakes its network thread.
void TelemetryPublisher::DrainLocked() {
    while (connected_ && !stopping_ && unconfirmed_.size() < kWindow && !queue_.Empty()) {
        if (!PublishLocked(queue_.Front())) {
            break;
        }
        queue_.Pop();
    }
}

// False when the link is not up after all (the message stays); a message the library
// refuses outright (too large) is dropped with the reason kept.
bool TelemetryPublisher::PublishLocked(const TelemetryMessage& message) {
    int mid = 0;
    const int rc =
        mosquitto_publish(mosq_, &mid, message.topic.c_str(), int(message.payload.size()),
                          message.payload.data(), message.qos, message.retain);
    if (rc == MOSQ_ERR_NO_CONN) {
        return false;
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        lastError_ = ClientError("publishing", rc);
        return true;
    }
    unconfirmed_[mid] = message.kind;
    return true;
}

void TelemetryPublisher::HandleConnect(mosquitto*, void* self, int rc) {
    auto& p = *static_cast<TelemetryPublisher*>(self);
    const std::lock_guard lock(p.mutex_);
    if (p.stopping_) {
        return;
    }
    if (rc != 0) {
        p.link_ = TelemetryLink::Down;
        p.lastError_ = mosquitto_connack_string(rc);
        return;
    }
    p.connected_ = true;
    p.link_ = TelemetryLink::Connected;
    p.lastError_.clear();
    ++p.stats_.connections;
    // What the library held from the last connection is its own to resend; the window
    // starts afresh.
    p.unconfirmed_.clear();
    const std::string statusTopic = p.config_.StatusTopic();
    p.PublishLocked({TelemetryKind::Status, statusTopic, std::string(kTelemetryOnline), 1, true});
    if (!p.latestStateJson_.empty() && !p.queue_.HoldsState()) {
        p.PublishLocked(
            {TelemetryKind::State, p.config_.StateTopic(), p.latestStateJson_, 0, true});
    }
    p.DrainLocked();
    p.changed_.notify_all();
}

void TelemetryPublisher::HandleDisconnect(mosquitto*, void* self, int rc) {
    auto& p = *static_cast<TelemetryPublisher*>(self);
    const std::lock_guard lock(p.mutex_);
    p.connected_ = false;
    if (!p.stopping_) {
        p.link_ = TelemetryLink::Down;
        if (rc != 0) {
            p.lastError_ = "the connection to the broker was lost";
        }
    }
    p.changed_.notify_all();
}

void TelemetryPublisher::HandlePublish(mosquitto*, void* self, int mid) {
    auto& p = *static_cast<TelemetryPublisher*>(self);
    const std::lock_guard lock(p.mutex_);
    p.unconfirmed_.erase(mid);
    p.DrainLocked();
    p.changed_.notify_all();
}

void TelemetryPublisher::Stop() {
    if (mosq_ == nullptr) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        giveUp_ = true; // a first connection still being retried is abandoned
        changed_.notify_all();
    }
    starter_.join();
    if (pending_) {
        SendState(*pending_);
        pending_.reset();
    }
    Enqueue(
        {TelemetryKind::Status, config_.StatusTopic(), std::string(kTelemetryOffline), 1, true});
    bool delivered = false;
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(config_.stopTimeoutMs), [this] {
            return !connected_ || (queue_.Empty() && unconfirmed_.empty());
        });
        delivered = connected_ && queue_.Empty() && unconfirmed_.empty();
        stopping_ = true;
    }
    StopClient(delivered);
}

// With "offline" delivered the station says goodbye properly. Otherwise, if a link is up,
// it is cut without a goodbye, so the broker publishes the last will ("offline") instead.
void TelemetryPublisher::StopClient(bool delivered) {
    bool linkUp = false;
    {
        const std::lock_guard lock(mutex_);
        linkUp = connected_;
    }
    if (!delivered && linkUp && mosquitto_socket(mosq_) >= 0) {
        ::shutdown(mosquitto_socket(mosq_), SHUT_RDWR);
    }
    mosquitto_disconnect(mosq_);
    if (networkThread_) {
        mosquitto_loop_stop(mosq_, false);
    }
    mosquitto_destroy(mosq_);
    mosq_ = nullptr;
    const std::lock_guard lock(mutex_);
    link_ = TelemetryLink::Off;
    connected_ = false;
    unconfirmed_.clear();
    stats_.statesDropped = queue_.StatesDropped();
    stats_.eventsDropped = queue_.EventsDropped();
}

TelemetryLink TelemetryPublisher::LinkState() const {
    const std::lock_guard lock(mutex_);
    return link_;
}

std::string TelemetryPublisher::LastError() const {
    const std::lock_guard lock(mutex_);
    return lastError_;
}

TelemetryPublisher::Stats TelemetryPublisher::Statistics() const {
    const std::lock_guard lock(mutex_);
    Stats stats = stats_;
    stats.statesDropped = queue_.StatesDropped();
    stats.eventsDropped = queue_.EventsDropped();
    stats.waiting = queue_.Size();
    return stats;
}

} // namespace morvik
