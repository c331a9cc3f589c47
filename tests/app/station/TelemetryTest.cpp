// The whole station on the simulated card publishing to a real mosquitto broker on loopback,
// as a shop's monitoring sees it: "online", a state in Home mode, the events of homing and of a
// short program run with positions that match the card; the tick running on while the broker
// is gone and the station back online when it returns; "offline" on an orderly exit. The
// status bar's label follows the link. The station is told where the broker is the way a shop
// tells it: MORVIK_MQTT_BROKER or the [Telemetry] section of morvik.ini.
#include "app/StationTelemetry.h"
#include "app/TelemetryObserver.h"
#include "app/station/StationFixture.h"
#include "controller/ControllerCodes.h"
#include "telemetry/BrokerProcess.h"
#include "telemetry/MqttRecorder.h"
#include "telemetry/TelemetryPublisher.h"

#include <QLabel>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace morvik {
namespace {

using test::BrokerProcess;
using test::MqttRecorder;
using namespace std::chrono_literals;

const std::string kPrefix = "morvik/mill.mch"; // the default prefix: the machine's title
const std::string kState = kPrefix + "/state";
const std::string kEvent = kPrefix + "/event";
const std::string kStatus = kPrefix + "/status";

// The number after "key": in a JSON text (the first occurrence), NaN when absent.
double JsonNumber(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos)
        return std::nan("");
    return std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

bool Has(const std::string& json, const std::string& text) {
    return json.find(text) != std::string::npos;
}

int Occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The name of each event, in the order received.
std::vector<std::string> EventNames(const MqttRecorder& watcher) {
    std::vector<std::string> names;
    for (const std::string& payload : watcher.Payloads(kEvent)) {
        const std::size_t start = payload.find("\"event\":\"") + 9;
        names.push_back(payload.substr(start, payload.find('"', start) - start));
    }
    return names;
}

class StationOnBroker : public test::StationOnCard {
protected:
    void SetUp() override {
        StationOnCard::SetUp();
        ASSERT_TRUE(broker.Start()) << "cannot start " << test::kMosquittoBroker;
        watcher = std::make_unique<MqttRecorder>(broker.Port(), kPrefix + "/#");
        ASSERT_TRUE(watcher->Ready());
        ::setenv(kTelemetryBrokerVariable, broker.Address().c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv(kTelemetryBrokerVariable);
        StationOnCard::TearDown();
        watcher.reset();
    }

    // The sample mill, copied into the working folder (its title names its topics), with
    // each key=value of changes replaced.
    bool StartMill(const std::vector<std::pair<std::string, std::string>>& changes = {}) {
        std::string text =
            test::ReadBytes(std::string(MORVIK_TEST_DATA_DIR) + "/../examples/mill.mch");
        for (const auto& [from, to] : changes)
            text.replace(text.find(from), from.size(), to);
        const std::string copy = work.File("mill.mch");
        test::WriteBytes(copy, text);
        return Start(copy);
    }

    StationTelemetry& Telemetry() { return *app->Telemetry(); }

    // Waits (bounded, in real time: the link is the network's) for the label's text.
    bool WaitForLabel(const QString& text, std::chrono::seconds timeout = 20s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            Telemetry().Refresh();
            if (Telemetry().LinkLabel()->text() == text)
                return true;
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(5ms);
        }
    }

    // Runs the ticks, then waits (bounded, in real time: delivery is the network's) for one
    // more event of the name than there was before them.
    bool TickThenWaitForEvent(const std::string& name, int ticks) {
        const auto count = [&name](const MqttRecorder::Messages& all) {
            return std::count_if(all.begin(), all.end(), [&name](const auto& m) {
                return m.topic == kEvent && Has(m.payload, "\"event\":\"" + name + "\"");
            });
        };
        const auto before = count(watcher->All());
        Ticks(ticks);
        return watcher->WaitFor(
            [&](const MqttRecorder::Messages& all) { return count(all) > before; });
    }

    // The card's commanded position of a controller axis.
    static double CardOptimal(int axis) {
        double optimal = 0;
        EXPECT_EQ(KelvSimAxisState(axis, &optimal, nullptr, nullptr), 0);
        return optimal;
    }

    // Waits (bounded) for a state holding the text; the last such state, or "" at the deadline.
    // Not only the last message: a watcher that reconnects gets the retained ones again.
    std::string WaitForState(const std::string& text) {
        std::string found;
        watcher->WaitFor([&](const MqttRecorder::Messages& all) {
            for (const auto& m : all)
                if (m.topic == kState && Has(m.payload, text))
                    found = m.payload;
            return !found.empty();
        });
        return found;
    }

    // The last state the watcher received.
    std::string LastState() const {
        const std::vector<std::string> states = watcher->Payloads(kState);
        return states.empty() ? std::string() : states.back();
    }

    // Waits (bounded) until the broker has logged the line count times.
    bool WaitForLog(const std::string& line, int count) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (Occurrences(broker.Log(), line) < count) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(5ms);
        }
        return Occurrences(broker.Log(), line) == count;
    }

    int TickLines() const {
        int ticks = 0;
        for (const std::string& line : Trace())
            ticks += line.rfind("KelvGetDigitalIOEx(", 0) == 0;
        return ticks;
    }

    BrokerProcess broker;
    std::unique_ptr<MqttRecorder> watcher;
};

TEST_F(StationOnBroker, PublishesOnlineHomeStateThenHomingAndAProgramRun) {
    ASSERT_TRUE(StartMill());
    ASSERT_NE(app->Telemetry()->Publisher(), nullptr);
    EXPECT_EQ(app->Telemetry()->Publisher()->Config().clientId, "mill.mch");
    ASSERT_TRUE(WaitForLabel("MQTT: connected"));
    EXPECT_TRUE(Telemetry().LinkLabel()->isVisibleTo(&Frame()));
    ASSERT_TRUE(watcher->WaitForPayload(kStatus, "online"));

    Ticks(1);
    std::string state = WaitForState(R"("mode":"Home")");
    EXPECT_TRUE(Has(state, R"("mode":"Home","homed":false)")) << state;
    EXPECT_TRUE(Has(state, R"("units":"mm")")) << state;
    EXPECT_TRUE(Has(state, R"("program":{"path":"","number":0,"state":"none")")) << state;

    ASSERT_NO_FATAL_FAILURE(Home());
    Ticks(200); // homing goes to machine zero at rapid
    ASSERT_TRUE(Commands().Execute(Cmd::ModeRun));
    ASSERT_EQ(Operation().LoadFromLines({"O77", "G91 G01 X20 Y12.5 F3000", "M30"}, "part.prt"),
              LoadResult::Started);
    Ticks(1);
    Operation().Start();
    ASSERT_TRUE(TickThenWaitForEvent("programFinished", 100))
        << ::testing::PrintToString(EventNames(*watcher));
    Ticks(2);

    EXPECT_EQ(EventNames(*watcher),
              (std::vector<std::string>{"modeChanged", "modeChanged", "programLoaded",
                                        "programStarted", "programFinished"}));
    const std::vector<std::string> events = watcher->Payloads(kEvent);
    EXPECT_TRUE(Has(events[0], R"("seq":1,)") && Has(events[0], R"("from":"None","to":"Home")"))
        << events[0];
    EXPECT_TRUE(Has(events[1], R"("from":"Home","to":"Run")")) << events[1];
    EXPECT_TRUE(Has(events[2], R"("path":"part.prt","number":77)")) << events[2];
    EXPECT_TRUE(Has(events[4], R"("path":"part.prt","number":77)")) << events[4];

    // The latest state reaches the broker (the rate limit passes on the station's clock).
    state = WaitForState(R"("state":"finished")");
    ASSERT_NE(state, "") << LastState();
    EXPECT_TRUE(Has(state, R"("mode":"Run","homed":true)")) << state;
    EXPECT_TRUE(Has(state, R"("path":"part.prt","number":77,"state":"finished")")) << state;
    EXPECT_NEAR(JsonNumber(state, "X"), 20.0, 1e-6) << state;
    EXPECT_NEAR(JsonNumber(state, "Y"), 12.5, 1e-6) << state;
    EXPECT_NEAR(JsonNumber(state, "X"), CardOptimal(Machine().AxisX().ControllerAxis()), 1e-6);
    EXPECT_NEAR(JsonNumber(state, "Y"), CardOptimal(Machine().AxisY().ControllerAxis()), 1e-6);
    EXPECT_NEAR(JsonNumber(state, "Z"), CardOptimal(Machine().AxisZ().ControllerAxis()), 1e-6);
    EXPECT_TRUE(Has(state, R"("lamps":{"ready":)")) << state;
}

// A part error comes with the card's reason: its own line, when the program's messages are on.
TEST_F(StationOnBroker, APartErrorComesWithTheCardsReason) {
    ASSERT_TRUE(StartMill());
    ASSERT_TRUE(WaitForLabel("MQTT: connected"));
    ASSERT_NO_FATAL_FAILURE(Home());
    Ticks(200);
    ASSERT_TRUE(Commands().Execute(Cmd::ModeRun));
    ASSERT_TRUE(Commands().Execute(Cmd::ViewMessages));
    ASSERT_EQ(Operation().LoadFromLines({"O79", "G91 G01 X700 F3000", "M30"}, "far.prt"),
              LoadResult::Started);
    Ticks(1);
    Operation().Start();
    ASSERT_TRUE(TickThenWaitForEvent("partError", 5))
        << ::testing::PrintToString(EventNames(*watcher));
    const std::string error = watcher->Payloads(kEvent).back();
    EXPECT_TRUE(Has(error, R"("reason":"part error")")) << error;
    EXPECT_TRUE(Has(error, R"("message":"PART ERROR line 2: axis X would pass its soft limit")"))
        << error;
    EXPECT_NE(WaitForState(R"("state":"error")"), "") << "the state says so too";
}

// An emergency stop and a drive fault from the card's inputs are events of their own, each
// beside the part error that the status word's error bit announces.
TEST_F(StationOnBroker, EmergencyStopAndDriveFaultAreEvents) {
    ASSERT_TRUE(StartMill({{"ESTOPINPUTCHANNEL=0", "ESTOPINPUTCHANNEL=5"},
                           {"DRIVEFAULTINPUTCHANNEL=0", "DRIVEFAULTINPUTCHANNEL=6"}}));
    ASSERT_TRUE(WaitForLabel("MQTT: connected"));
    ASSERT_NO_FATAL_FAILURE(Home());
    Ticks(200);
    ASSERT_TRUE(Commands().Execute(Cmd::ModeRun));
    ASSERT_TRUE(Commands().Execute(Cmd::ViewMessages));
    ASSERT_EQ(Operation().LoadFromLines({"O80", "G91 G01 X50 F300", "M30"}, "long.prt"),
              LoadResult::Started);
    Ticks(1);
    Operation().Start();
    ASSERT_TRUE(TickThenWaitForEvent("programStarted", 2));
    KelvSimSetInputs(1u << 4, 1u << 4); // channel 5
    ASSERT_TRUE(TickThenWaitForEvent("emergencyStop", 2))
        << ::testing::PrintToString(EventNames(*watcher));
    KelvSimSetInputs(1u << 5, 1u << 5); // channel 6
    ASSERT_TRUE(TickThenWaitForEvent("driveFault", 2))
        << ::testing::PrintToString(EventNames(*watcher));

    std::vector<std::string> names = EventNames(*watcher);
    names.erase(names.begin(), std::find(names.begin(), names.end(), "programStarted") + 1);
    EXPECT_EQ(names,
              (std::vector<std::string>{"partError", "emergencyStop", "partError", "driveFault"}));
    const std::vector<std::string> events = watcher->Payloads(kEvent);
    const std::string& estopError = events[events.size() - 4];
    EXPECT_TRUE(Has(events[events.size() - 3], R"("external":false)")) << events[events.size() - 3];
    EXPECT_TRUE(Has(events[events.size() - 2], R"("reason":"drive fault")"))
        << events[events.size() - 2];
    EXPECT_TRUE(Has(estopError, R"("reason":"emergency stop")")) << estopError;
}

// The broker dies while a program runs: every tick still runs (the card sees each one) and the
// label says the link is down; when the broker is back the station reconnects on its own, says
// it is online again and delivers what happened meanwhile, the events in order.
TEST_F(StationOnBroker, TheTickRunsOnWithoutTheBrokerAndTheStationReconnects) {
    ASSERT_TRUE(StartMill());
    ASSERT_TRUE(WaitForLabel("MQTT: connected"));
    ASSERT_NO_FATAL_FAILURE(Home());
    Ticks(200);
    ASSERT_TRUE(Commands().Execute(Cmd::ModeRun));
    ASSERT_EQ(Operation().LoadFromLines({"O78", "G91 G01 X50 F300", "M30"}, "long.prt"),
              LoadResult::Started);
    Ticks(1);
    Operation().Start();
    ASSERT_TRUE(TickThenWaitForEvent("programStarted", 2));

    // Ended with SIGTERM so that it keeps the watcher's session for when it returns; to the
    // station it is the same as SIGKILL: its connection is gone.
    broker.Stop(SIGTERM);
    ASSERT_TRUE(WaitForLabel("MQTT: down"));
    const int before = TickLines();
    constexpr int kOutage = 150; // past the program's end, 10 s of the card's time
    Ticks(kOutage);
    EXPECT_EQ(TickLines() - before, kOutage) << "one status read per tick";
    EXPECT_EQ(Telemetry().LinkLabel()->text(), "MQTT: down");
    EXPECT_NE(Telemetry().LinkLabel()->toolTip(), "") << "the reason is a hover away";
    ASSERT_GE(Telemetry().Publisher()->Statistics().waiting, 1u);

    ASSERT_TRUE(broker.Start());
    ASSERT_TRUE(WaitForLabel("MQTT: connected", 60s));
    ASSERT_TRUE(watcher->WaitFor([](const MqttRecorder::Messages& all) {
        for (const auto& m : all)
            if (m.topic == kEvent && Has(m.payload, "programFinished"))
                return true;
        return false;
    })) << ::testing::PrintToString(EventNames(*watcher));
    Ticks(1);
    const std::string finished = WaitForState(R"("state":"finished")");
    EXPECT_NEAR(JsonNumber(finished, "X"), 50.0, 1e-6) << LastState();
    const std::vector<std::string> names = EventNames(*watcher);
    EXPECT_EQ(std::vector<std::string>(names.end() - 2, names.end()),
              (std::vector<std::string>{"programStarted", "programFinished"}));
    const auto all = watcher->All();
    EXPECT_EQ(std::count_if(all.begin(), all.end(),
                            [](const auto& m) {
                                return m.topic == kStatus && m.payload == "online" && !m.retained;
                            }),
              2)
        << "online again after the outage";
}

// Every orderly exit says "offline" itself (the broker logs a proper goodbye, not a lost
// client whose last will it publishes), and the label goes away.
TEST_F(StationOnBroker, EveryOrderlyExitPublishesOffline) {
    struct Case {
        const char* name;
        std::function<void()> exit;
    };
    const Case cases[] = {
        {"signal", [this] { app->RequestTerminate(); }},
        {"File > Exit", [this] { Commands().Execute(Cmd::Exit); }},
        {"window closed", [this] { Frame().close(); }},
    };
    int exits = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(StartMill());
        ASSERT_TRUE(WaitForLabel("MQTT: connected"));
        Ticks(1);
        c.exit();
        ++exits;
        EXPECT_EQ(app->Machine(), nullptr);
        EXPECT_EQ(Telemetry().Publisher(), nullptr);
        EXPECT_TRUE(Telemetry().LinkLabel()->isHidden());
        ASSERT_TRUE(watcher->WaitFor([&](const MqttRecorder::Messages& all) {
            return std::count_if(all.begin(), all.end(), [](const auto& m) {
                       return m.topic == kStatus && m.payload == "offline";
                   }) == exits;
        }));
        EXPECT_EQ(watcher->All().back().payload, "offline") << "nothing after it";
        EXPECT_TRUE(WaitForLog("Client mill.mch disconnected.\n", exits)) << broker.Log();
    }
}

// Setup > Open puts another machine in its place: the new one publishes under its own title,
// the old title is left offline; a file that cannot be opened changes nothing.
TEST_F(StationOnBroker, AReplacedMachinePublishesUnderItsOwnTitle) {
    MqttRecorder lathe(broker.Port(), "morvik/lathe.mch/#", "lathe-watcher");
    ASSERT_TRUE(lathe.Ready());
    ASSERT_TRUE(StartMill());
    ASSERT_TRUE(WaitForLabel("MQTT: connected"));
    const std::string copy = work.File("lathe.mch");
    std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/../examples/lathe.mch", copy);
    ASSERT_TRUE(app->ReplaceMachine(copy));
    EXPECT_TRUE(watcher->WaitForPayload(kStatus, "offline"));
    EXPECT_EQ(Telemetry().Publisher()->Config().topicPrefix, "morvik/lathe.mch");
    ASSERT_TRUE(lathe.WaitForPayload("morvik/lathe.mch/status", "online"));
    Ticks(1);
    EXPECT_TRUE(lathe.WaitFor([](const MqttRecorder::Messages& all) {
        for (const auto& m : all)
            if (m.topic == "morvik/lathe.mch/state" && Has(m.payload, R"("mode":"Home")"))
                return true;
        return false;
    }));

    // A file that cannot be opened leaves the lathe as it was, publishing under its title.
    EXPECT_FALSE(app->ReplaceMachine(work.File("missing.mch")));
    ASSERT_NE(Telemetry().Publisher(), nullptr);
    EXPECT_EQ(Telemetry().Publisher()->Config().topicPrefix, "morvik/lathe.mch");
    EXPECT_FALSE(Telemetry().LinkLabel()->isHidden());
}

// The [Telemetry] section of morvik.ini names the broker and the topics; without it (and
// without the variable) nothing is started and the label stays away.
TEST_F(StationOnBroker, TheSettingsFileSwitchesItOnAndItIsOffWithoutIt) {
    ::unsetenv(kTelemetryBrokerVariable);
    ASSERT_TRUE(StartMill());
    EXPECT_EQ(Telemetry().Publisher(), nullptr);
    EXPECT_EQ(Telemetry().LinkText(), "");
    EXPECT_TRUE(Telemetry().LinkLabel()->isHidden());
    app.reset();

    MqttRecorder shop(broker.Port(), "shop/#", "shop-watcher");
    ASSERT_TRUE(shop.Ready());
    std::ofstream(config.SettingsFile(), std::ios::app)
        << "[Telemetry]\nHost=127.0.0.1\nPort=" << broker.Port() << "\nTopicPrefix=shop/mill-3\n";
    ASSERT_TRUE(StartMill());
    ASSERT_NE(Telemetry().Publisher(), nullptr);
    EXPECT_TRUE(shop.WaitForPayload("shop/mill-3/status", "online"));
    app.reset(); // the destructor's exit is orderly too
    EXPECT_TRUE(shop.WaitForPayload("shop/mill-3/status", "offline"));
    EXPECT_NE(test::ReadBytes(config.SettingsFile()).find("TopicPrefix=shop/mill-3"),
              std::string::npos)
        << "saving the window's placement keeps the section";
}

TEST_F(StationOnBroker, AMisconfiguredBrokerIsShownAndTheStationRunsOn) {
    ::setenv(kTelemetryBrokerVariable, "127.0.0.1:99999", 1);
    ASSERT_TRUE(StartMill());
    EXPECT_EQ(Telemetry().Publisher(), nullptr);
    EXPECT_EQ(Telemetry().LinkLabel()->text(), "MQTT: not started");
    EXPECT_NE(Telemetry().LinkLabel()->toolTip().indexOf("99999"), -1);
    ASSERT_NO_FATAL_FAILURE(Home());
    Ticks(2);
    EXPECT_TRUE(Machine().State().homed);
}

// The program's state word of the state topic, from what the snapshot holds: the status word's
// bits in Run mode, the station's own knowledge elsewhere. An error outranks everything; a
// feed hold and a pause are told apart from running (the card keeps Running set under both).
TEST(TelemetryProgramState, FollowsTheStatusWordInRunModeOnly) {
    struct Case {
        bool loaded;
        std::optional<std::uint32_t> status;
        const char* expected;
    };
    const Case cases[] = {
        {false, std::nullopt, "none"},
        {false, psw::Ready, "none"},
        {true, std::nullopt, "loaded"},
        {true, psw::Ready, "loaded"},
        {true, psw::Ready | psw::Running, "running"},
        {true, psw::Running | psw::Paused, "paused"},
        {true, psw::Running | psw::FeedHold, "feedHold"},
        {true, psw::Ready | psw::Finished, "finished"},
        {true, psw::Running | psw::DriveFault, "error"},
        {true, psw::Finished | psw::PartError, "error"},
    };
    for (const Case& c : cases) {
        MachineSnapshot snapshot;
        snapshot.partLoaded = c.loaded;
        snapshot.programStatus = c.status;
        EXPECT_EQ(TelemetryProgramState(snapshot), c.expected)
            << c.loaded << " " << c.status.value_or(0);
    }
}

} // namespace
} // namespace morvik
