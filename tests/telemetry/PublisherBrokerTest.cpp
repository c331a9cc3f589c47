// The publisher against a real mosquitto broker on loopback: what a subscriber in the shop
// sees when the station comes online, runs, is rate limited, loses its broker, stops, or dies.
// Waits on the network poll with a deadline; the rate limit runs on a manual clock.
#include "controller/Clock.h"
#include "telemetry/BrokerProcess.h"
#include "telemetry/MqttRecorder.h"
#include "telemetry/TelemetryPublisher.h"

#include <gtest/gtest.h>

#include <csignal>
#include <future>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace morvik {
namespace {

using test::BrokerProcess;
using test::MqttRecorder;
using namespace std::chrono_literals;

constexpr std::uint64_t kTime = 1796876954123; // 2026-12-10T04:29:14.123Z
const std::string kState = "morvik/mill/state";
const std::string kEvent = "morvik/mill/event";
const std::string kStatus = "morvik/mill/status";

std::uint64_t FixedTime() {
    return kTime;
}

TelemetryState StateAt(double x, std::string mode = "Jog") {
    TelemetryState state;
    state.mode = std::move(mode);
    state.homed = true;
    state.units = "mm";
    state.axes = {{"X", x}, {"Y", -2.5}, {"Z", 0.0}};
    return state;
}

std::string JsonOf(TelemetryState state) {
    state.timeMs = kTime;
    return StateJson(state);
}

bool WaitForLink(const TelemetryPublisher& publisher, TelemetryLink link,
                 std::chrono::milliseconds timeout = 15s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (publisher.LinkState() != link) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

class PublisherOnBroker : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(broker_.Start()) << "cannot start " << test::kMosquittoBroker;
    }

    TelemetryConfig Config() const {
        TelemetryConfig config;
        config.enabled = true;
        config.host = "127.0.0.1";
        config.port = broker_.Port();
        config.clientId = "mill";
        config.topicPrefix = "morvik/mill";
        config.reconnectMinSeconds = 1;
        config.reconnectMaxSeconds = 1;
        config.stopTimeoutMs = 10000;
        return config;
    }

    BrokerProcess broker_;
    ManualClock clock_;
};

TEST_F(PublisherOnBroker, GoesOnlineAndPublishesStateAndEventsInOrder) {
    MqttRecorder watcher(broker_.Port(), "morvik/mill/#");
    ASSERT_TRUE(watcher.Ready());
    TelemetryPublisher publisher(Config(), clock_, FixedTime);
    ASSERT_TRUE(publisher.Start());
    ASSERT_TRUE(WaitForLink(publisher, TelemetryLink::Connected));
    EXPECT_EQ(publisher.LastError(), "");

    publisher.OnState(StateAt(0.0, "Home"));
    publisher.OnEvent(telemetry_event::kModeChanged, {{"from", "None"}, {"to", "Home"}});
    publisher.OnEvent(telemetry_event::kProgramLoaded, {{"path", "/parts/a.prt"}, {"number", 12}});
    publisher.OnEvent(telemetry_event::kProgramStarted);
    publisher.OnEvent(telemetry_event::kPartError, {{"reason", "Axis X \"limit\""}});
    publisher.OnEvent(telemetry_event::kProgramFinished);

    ASSERT_TRUE(watcher.WaitFor([&](const MqttRecorder::Messages& all) {
        int events = 0;
        for (const auto& m : all) {
            events += m.topic == kEvent;
        }
        return events == 5;
    }));
    EXPECT_TRUE(watcher.WaitForPayload(kStatus, "online"));
    EXPECT_TRUE(watcher.WaitForPayload(kState, JsonOf(StateAt(0.0, "Home"))));
    const std::vector<std::string> events = watcher.Payloads(kEvent);
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0], R"({"event":"modeChanged","seq":1,"time":"2026-12-10T04:29:14.123Z",)"
                         R"("from":"None","to":"Home"})");
    EXPECT_EQ(events[1], R"({"event":"programLoaded","seq":2,"time":"2026-12-10T04:29:14.123Z",)"
                         R"("path":"/parts/a.prt","number":12})");
    EXPECT_EQ(events[3], R"({"event":"partError","seq":4,"time":"2026-12-10T04:29:14.123Z",)"
                         R"("reason":"Axis X \"limit\""})");
    EXPECT_NE(events[4].find(R"("event":"programFinished","seq":5)"), std::string::npos);

    // Someone who starts watching later still finds the station online and its state.
    MqttRecorder late(broker_.Port(), "morvik/mill/#", "late");
    ASSERT_TRUE(late.WaitFor([](const MqttRecorder::Messages& all) { return all.size() >= 2; }));
    for (const auto& m : late.All()) {
        EXPECT_TRUE(m.retained) << m.topic;
        EXPECT_NE(m.topic, kEvent);
    }
    EXPECT_EQ(late.Payloads(kStatus), std::vector<std::string>{"online"});
    EXPECT_EQ(late.Payloads(kState), std::vector<std::string>{JsonOf(StateAt(0.0, "Home"))});
}

// A state goes out when it differs from the last one sent and that one is 100 ms old; a
// change within the interval waits and the latest waiting state goes out on the first call
// after it; a return to what was sent cancels the wait.
TEST_F(PublisherOnBroker, PublishesChangesAtMostTenTimesASecond) {
    struct Step {
        std::uint64_t atMs;
        double x;
    };
    const std::vector<Step> steps = {{0, 1},    {30, 2},   {60, 3},   {100, 3},
                                     {150, 3},  {200, 4},  {250, 4},  {260, 5},
                                     {1000, 5}, {1050, 6}, {1060, 5}, {1300, 5}};
    const std::vector<double> expected = {1, 3, 4, 5};

    MqttRecorder watcher(broker_.Port(), kState);
    ASSERT_TRUE(watcher.Ready());
    TelemetryPublisher publisher(Config(), clock_, FixedTime);
    ASSERT_TRUE(publisher.Start());
    ASSERT_TRUE(WaitForLink(publisher, TelemetryLink::Connected));
    for (const Step& step : steps) {
        clock_.Advance(step.atMs - clock_.NowMs());
        publisher.OnState(StateAt(step.x));
    }
    EXPECT_EQ(publisher.Statistics().statesQueued, expected.size());
    publisher.Stop(); // nothing waits: Stop adds no state

    std::vector<std::string> want;
    for (const double x : expected) {
        want.push_back(JsonOf(StateAt(x)));
    }
    ASSERT_TRUE(watcher.WaitForPayload(kState, want.back()));
    EXPECT_EQ(watcher.Payloads(kState), want);
}

TEST_F(PublisherOnBroker, StopSendsTheHeldStateThenOffline) {
    MqttRecorder watcher(broker_.Port(), "morvik/mill/#");
    ASSERT_TRUE(watcher.Ready());
    TelemetryPublisher publisher(Config(), clock_, FixedTime);
    ASSERT_TRUE(publisher.Start());
    ASSERT_TRUE(WaitForLink(publisher, TelemetryLink::Connected));
    publisher.OnState(StateAt(1));
    clock_.Advance(10);
    publisher.OnState(StateAt(2)); // held back by the rate limit
    publisher.Stop();
    EXPECT_EQ(publisher.LinkState(), TelemetryLink::Off);

    ASSERT_TRUE(watcher.WaitForPayload(kStatus, "offline"));
    std::vector<std::string> seen;
    for (const auto& m : watcher.All()) {
        seen.push_back(m.topic == kStatus ? m.payload : m.topic == kState ? "state" : m.payload);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"online", "state", "state", "offline"}));
    EXPECT_EQ(watcher.Payloads(kState).back(), JsonOf(StateAt(2)));
    // Calls after Stop are ignored, and a second Stop does nothing.
    publisher.OnEvent(telemetry_event::kProgramStarted);
    publisher.Stop();

    MqttRecorder late(broker_.Port(), kStatus, "late");
    ASSERT_TRUE(late.WaitForPayload(kStatus, "offline"));
    EXPECT_TRUE(late.All().front().retained);
}

// A broker too slow to take "offline" before Stop gives up must still end up saying the
// station is offline (through the last will: the station leaves without a goodbye that would
// cancel it). The broker is frozen (SIGSTOP), so it acknowledges nothing and Stop times out
// with events and "offline" still waiting.
TEST_F(PublisherOnBroker, AStopThatCannotDeliverOfflineLeavesItToTheLastWill) {
    MqttRecorder watcher(broker_.Port(), "morvik/mill/#");
    ASSERT_TRUE(watcher.Ready());
    TelemetryConfig config = Config();
    config.stopTimeoutMs = 300;
    TelemetryPublisher publisher(config, clock_, FixedTime);
    ASSERT_TRUE(publisher.Start());
    ASSERT_TRUE(WaitForLink(publisher, TelemetryLink::Connected));
    ASSERT_TRUE(watcher.WaitForPayload(kStatus, "online"));

    ASSERT_TRUE(broker_.Pause());
    for (int i = 0; i < 40; ++i) {
        publisher.OnEvent(telemetry_event::kProgramStarted);
    }
    publisher.Stop();
    ASSERT_TRUE(broker_.Resume());
    EXPECT_TRUE(watcher.WaitForPayload(kStatus, "offline")) << broker_.Log();

    // Started again, the station is online, and the "offline" that never went out stays
    // behind instead of following it.
    ASSERT_TRUE(publisher.Start());
    EXPECT_EQ(publisher.Statistics().waiting, 0u);
    ASSERT_TRUE(WaitForLink(publisher, TelemetryLink::Connected));
    publisher.OnEvent(telemetry_event::kModeChanged, {{"from", "None"}, {"to", "Home"}});
    ASSERT_TRUE(watcher.WaitFor([](const MqttRecorder::Messages& all) {
        return !all.empty() && all.back().payload.find("modeChanged") != std::string::npos;
    }));
    EXPECT_EQ(watcher.Payloads(kStatus).back(), "online");
}

// The broker goes away mid-run: publishing keeps returning at once with a bounded queue that
// gives up old states and keeps every event; when the broker is back the station reconnects,
// says it is online and delivers the events in order and its latest state.
TEST_F(PublisherOnBroker, SurvivesTheBrokerGoingAwayAndReconnects) {
    MqttRecorder watcher(broker_.Port(), "morvik/mill/#");
    ASSERT_TRUE(watcher.Ready());
    TelemetryConfig config = Config();
    config.queueLimit = 16;
    TelemetryPublisher publisher(config, clock_, FixedTime);
    ASSERT_TRUE(publisher.Start());
    ASSERT_TRUE(WaitForLink(publisher, TelemetryLink::Connected));
    publisher.OnState(StateAt(0));
    ASSERT_TRUE(watcher.WaitForPayload(kState, JsonOf(StateAt(0))));

    broker_.Stop(SIGTERM); // it keeps the watcher's session for when it returns
    ASSERT_TRUE(WaitForLink(publisher, TelemetryLink::Down));
    EXPECT_NE(publisher.LastError(), "");
    for (int i = 1; i <= 200; ++i) {
        clock_.Advance(100);
        publisher.OnState(StateAt(i));
        if (i % 40 == 0) {
            publisher.OnEvent(telemetry_event::kPartError, {{"reason", "r" + std::to_string(i)}});
        }
    }
    const TelemetryPublisher::Stats stats = publisher.Statistics();
    EXPECT_EQ(stats.waiting, config.queueLimit);
    EXPECT_EQ(stats.eventsQueued, 5u);
    EXPECT_EQ(stats.eventsDropped, 0u);
    EXPECT_EQ(stats.statesDropped, 200u - (config.queueLimit - 5));

    ASSERT_TRUE(broker_.Start());
    ASSERT_TRUE(WaitForLink(publisher, TelemetryLink::Connected));
    ASSERT_TRUE(watcher.WaitFor([](const MqttRecorder::Messages& all) {
        int events = 0;
        for (const auto& m : all) {
            events += m.topic == kEvent;
        }
        return events == 5;
    }));
    ASSERT_TRUE(watcher.WaitForPayload(kState, JsonOf(StateAt(200))));
    const std::vector<std::string> events = watcher.Payloads(kEvent);
    for (int k = 0; k < 5; ++k) {
        const std::string reason = "\"reason\":\"r" + std::to_string((k + 1) * 40) + "\"";
        EXPECT_NE(events[k].find("\"seq\":" + std::to_string(k + 1) + ","), std::string::npos);
        EXPECT_NE(events[k].find(reason), std::string::npos) << events[k];
    }
    // Live, not the retained copy the watcher gets again when it subscribes anew.
    const auto all = watcher.All();
    EXPECT_EQ(std::count_if(all.begin(), all.end(),
                            [](const auto& m) {
                                return m.topic == kStatus && m.payload == "online" && !m.retained;
                            }),
              2)
        << "once per connection";
    EXPECT_EQ(publisher.Statistics().connections, 2u);
}

TEST_F(PublisherOnBroker, StartsBeforeTheBrokerAndConnectsWhenItComes) {
    broker_.Stop(SIGKILL);
    TelemetryPublisher publisher(Config(), clock_, FixedTime);
    ASSERT_TRUE(publisher.Start());
    ASSERT_TRUE(WaitForLink(publisher, TelemetryLink::Down));
    publisher.OnEvent(telemetry_event::kModeChanged, {{"from", "None"}, {"to", "Home"}});

    ASSERT_TRUE(broker_.Start());
    ASSERT_TRUE(WaitForLink(publisher, TelemetryLink::Connected));
    MqttRecorder late(broker_.Port(), kStatus, "late");
    EXPECT_TRUE(late.WaitForPayload(kStatus, "online"));
    EXPECT_EQ(publisher.Statistics().waiting, 0u) << "the event went out";
}

// Stop on every exit must not sit out a long backoff, whether the first connection is still
// being retried or the network thread waits to reconnect after losing the broker. Stop runs
// on another thread here so that a hang fails the test instead of blocking it.
TEST_F(PublisherOnBroker, StopsPromptlyWhileWaitingToReconnect) {
    for (const bool brokerAtStart : {false, true}) {
        if (!brokerAtStart) {
            broker_.Stop(SIGKILL);
        } else {
            ASSERT_TRUE(broker_.Start());
        }
        TelemetryConfig config = Config();
        config.reconnectMinSeconds = 60;
        config.reconnectMaxSeconds = 60;
        TelemetryPublisher publisher(config, clock_, FixedTime);
        ASSERT_TRUE(publisher.Start());
        if (brokerAtStart) {
            ASSERT_TRUE(WaitForLink(publisher, TelemetryLink::Connected));
            broker_.Stop(SIGKILL);
        }
        ASSERT_TRUE(WaitForLink(publisher, TelemetryLink::Down));
        publisher.OnState(StateAt(1));
        auto stopped = std::async(std::launch::async, [&] { publisher.Stop(); });
        ASSERT_EQ(stopped.wait_for(20s), std::future_status::ready) << brokerAtStart;
        EXPECT_EQ(publisher.LinkState(), TelemetryLink::Off);
    }
}

// A station killed outright cannot say goodbye: the broker's last will says it for it.
TEST_F(PublisherOnBroker, AKilledStationIsReportedOfflineByTheLastWill) {
    const std::string prefix = "morvik/killed";
    MqttRecorder watcher(broker_.Port(), prefix + "/#");
    ASSERT_TRUE(watcher.Ready());
    const std::string program = std::string(MORVIK_BIN_DIR) + "/telemetry_test_station";
    const std::string port = std::to_string(broker_.Port());
    const pid_t child = ::fork();
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::execl(program.c_str(), program.c_str(), port.c_str(), prefix.c_str(), nullptr);
        ::_exit(127);
    }
    ASSERT_GT(child, 0);
    const bool online = watcher.WaitForPayload(prefix + "/status", "online");
    const bool publishing = watcher.WaitFor([&](const MqttRecorder::Messages& all) {
        return std::count_if(all.begin(), all.end(),
                             [&](const auto& m) { return m.topic == prefix + "/state"; }) >= 3;
    });
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(online);
    EXPECT_TRUE(publishing);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_TRUE(watcher.WaitForPayload(prefix + "/status", "offline"));
}

TEST(TelemetryPublisher, RefusesToStartWhenOffOrMisconfigured) {
    ManualClock clock;
    TelemetryPublisher off(TelemetryConfig{}, clock);
    EXPECT_FALSE(off.Start());
    EXPECT_EQ(off.LinkState(), TelemetryLink::Off);
    EXPECT_EQ(off.LastError(), "telemetry is not configured");
    off.OnState(StateAt(1)); // ignored, harmless
    off.OnEvent(telemetry_event::kEmergencyStop);
    EXPECT_EQ(off.Statistics().statesQueued, 0u);

    TelemetryConfig bad;
    bad.enabled = true;
    bad.host = "127.0.0.1";
    bad.problem = "bad broker port \"x\" in the settings file";
    TelemetryPublisher misconfigured(bad, clock);
    EXPECT_FALSE(misconfigured.Start());
    EXPECT_EQ(misconfigured.LastError(), bad.problem);

    TelemetryConfig noCa = bad;
    noCa.problem.clear();
    noCa.clientId = "mill";
    noCa.topicPrefix = "morvik/mill";
    noCa.caFile = "/nonexistent/ca.pem";
    TelemetryPublisher tls(noCa, clock);
    EXPECT_FALSE(tls.Start());
    EXPECT_NE(tls.LastError().find("/nonexistent/ca.pem"), std::string::npos);
}

} // namespace
} // namespace morvik
