#include "telemetry/TelemetryQueue.h"

#include <gtest/gtest.h>

namespace morvik {
namespace {

TelemetryMessage State(std::string payload) {
    return {TelemetryKind::State, "p/state", std::move(payload), 0, true};
}
TelemetryMessage Event(std::string payload) {
    return {TelemetryKind::Event, "p/event", std::move(payload), 1, false};
}
TelemetryMessage Status(std::string payload) {
    return {TelemetryKind::Status, "p/status", std::move(payload), 1, true};
}

std::string Contents(TelemetryQueue queue) {
    std::string text;
    while (!queue.Empty()) {
        text += queue.Front().payload + " ";
        queue.Pop();
    }
    return text;
}

// Each case: the messages pushed in order ('s' state, 'e' event, 'o' status, with a digit),
// what the queue then holds, and how many states and events it gave up.
TEST(TelemetryQueue, GivesUpTheOldestStatesFirstAndNeverAnEventForAState) {
    const struct {
        std::size_t limit;
        std::size_t eventLimit;
        std::vector<std::string> pushed;
        std::string held;
        std::uint64_t statesDropped;
        std::uint64_t eventsDropped;
    } cases[] = {
        {3, 10, {"s1", "s2", "s3"}, "s1 s2 s3 ", 0, 0},
        {3, 10, {"s1", "s2", "s3", "s4"}, "s2 s3 s4 ", 1, 0},
        {3, 10, {"s1", "e1", "s2", "s3"}, "e1 s2 s3 ", 1, 0},
        {3, 10, {"e1", "s1", "e2", "e3"}, "e1 e2 e3 ", 1, 0},
        {3, 10, {"e1", "e2", "e3", "s1"}, "e1 e2 e3 ", 1, 0},             // full of events
        {3, 10, {"e1", "e2", "e3", "e4", "o1"}, "e1 e2 e3 e4 o1 ", 0, 0}, // past the limit
        {3, 10, {"s1", "s2", "o1", "e1", "s3"}, "o1 e1 s3 ", 2, 0},
        {10, 2, {"e1", "s1", "e2", "e3"}, "s1 e2 e3 ", 0, 1},
    };
    for (const auto& c : cases) {
        TelemetryQueue queue(c.limit, c.eventLimit);
        for (const std::string& p : c.pushed) {
            queue.Push(p[0] == 's' ? State(p) : p[0] == 'e' ? Event(p) : Status(p));
        }
        EXPECT_EQ(Contents(queue), c.held) << c.pushed.size() << " " << c.held;
        EXPECT_EQ(queue.StatesDropped(), c.statesDropped) << c.held;
        EXPECT_EQ(queue.EventsDropped(), c.eventsDropped) << c.held;
    }
}

TEST(TelemetryQueue, KnowsWhetherAStateWaits) {
    TelemetryQueue queue(4, 4);
    EXPECT_FALSE(queue.HoldsState());
    queue.Push(Event("e1"));
    EXPECT_FALSE(queue.HoldsState());
    queue.Push(State("s1"));
    EXPECT_TRUE(queue.HoldsState());
    queue.Pop();
    queue.Pop();
    EXPECT_FALSE(queue.HoldsState());
    EXPECT_TRUE(queue.Empty());
}

} // namespace
} // namespace morvik
