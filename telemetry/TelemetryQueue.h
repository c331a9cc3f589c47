// The messages waiting for the broker. The user-interface thread adds to it and never waits;
// the network thread takes from it as the link allows. It is bounded: when it is full, the
// oldest waiting state goes first (a newer state says everything an older one did). Events
// and the status word are never dropped for a state; only when events alone outgrow their own
// much larger limit (an outage of hours) does the oldest event go, and it is counted.
// Not thread-safe by itself: the publisher guards it with its lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace morvik {

enum class TelemetryKind { State, Event, Status };

struct TelemetryMessage {
    TelemetryKind kind = TelemetryKind::State;
    std::string topic;
    std::string payload;
    int qos = 0;
    bool retain = false;
};

class TelemetryQueue {
public:
    TelemetryQueue(std::size_t limit, std::size_t eventLimit);

    void Push(TelemetryMessage message);
    bool Empty() const { return messages_.empty(); }
    std::size_t Size() const { return messages_.size(); }
    const TelemetryMessage& Front() const { return messages_.front(); }
    void Pop();
    bool HoldsState() const { return states_ > 0; }

    std::uint64_t StatesDropped() const { return statesDropped_; }
    std::uint64_t EventsDropped() const { return eventsDropped_; }

private:
    bool DropOldest(TelemetryKind kind);

    std::deque<TelemetryMessage> messages_;
    std::size_t limit_;
    std::size_t eventLimit_;
    std::size_t states_ = 0;
    std::size_t events_ = 0;
    std::uint64_t statesDropped_ = 0;
    std::uint64_t eventsDropped_ = 0;
};

} // namespace morvik
