#include "telemetry/TelemetryQueue.h"

#include <algorithm>

namespace morvik {

TelemetryQueue::TelemetryQueue(std::size_t limit, std::size_t eventLimit)
    : limit_(std::max<std::size_t>(limit, 1)), eventLimit_(std::max<std::size_t>(eventLimit, 1)) {}

bool TelemetryQueue::DropOldest(TelemetryKind kind) {
    const auto it = std::find_if(messages_.begin(), messages_.end(),
                                 [kind](const TelemetryMessage& m) { return m.kind == kind; });
    if (it == messages_.end()) {
        return false;
    }
    messages_.erase(it);
    if (kind == TelemetryKind::State) {
        --states_;
        ++statesDropped_;
    } else {
        --events_;
        ++eventsDropped_;
    }
    return true;
}

void TelemetryQueue::Push(TelemetryMessage message) {
    if (messages_.size() >= limit_ && !DropOldest(TelemetryKind::State) &&
        message.kind == TelemetryKind::State) {
        ++statesDropped_; // full of events: the new state is the one that cannot wait
        return;
    }
    if (message.kind == TelemetryKind::State) {
        ++states_;
    } else if (message.kind == TelemetryKind::Event) {
        ++events_;
        if (events_ > eventLimit_) {
            DropOldest(TelemetryKind::Event);
        }
    }
    messages_.push_back(std::move(message));
}

void TelemetryQueue::Pop() {
    if (messages_.front().kind == TelemetryKind::State) {
        --states_;
    } else if (messages_.front().kind == TelemetryKind::Event) {
        --events_;
    }
    messages_.pop_front();
}

} // namespace morvik
