// The real station executable, started offscreen against the simulated card with the card's
// call trace switched on, a fresh settings folder and a fresh working folder, and ended by a
// signal as a desktop session or a terminal ends it. The start-up and shutdown sequences in the
// trace (without the periodic status polling and the text of the downloaded files) must match
// the expected file, whichever of the three signals ended it.
//
// This is the one test that waits for real time: the station is a process of its own, so the
// test polls its trace file and its exit, each with a deadline.
#include "settings/TempFolder.h"
#include "telemetry/BrokerProcess.h"
#include "telemetry/MqttRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace morvik {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartDeadline = std::chrono::seconds(60);
constexpr auto kExitDeadline = std::chrono::seconds(30);
constexpr auto kPollInterval = std::chrono::milliseconds(20);

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The periodic status polling of the 100 ms tick (inputs, axis errors, positions, the text
// poll that found nothing) and the ready polls of the waits.
bool IsPolling(const std::string& line) {
    for (const char* name : {"dornrdy(", "KelvGetDigitalIOEx(", "KelvGetStatus(",
                             "KelvDecodeStatus(", "KelvGetOptimalEx(", "KelvGetPositionEx("}) {
        if (StartsWith(line, name))
            return true;
    }
    return StartsWith(line, "dorngetc(") && line.ends_with(" = 0");
}

// A line of a downloaded file's text (its header carries the date): every text sent on the
// ASCII channel that is not a command ("...\r") or the end-of-text character.
bool IsFileText(const std::string& line) {
    return StartsWith(line, "dornputs(") && line.find("\\r\")") == std::string::npos &&
           line.find("\\x1a\")") == std::string::npos;
}

std::vector<std::string> Sequence(const std::string& tracePath) {
    std::vector<std::string> kept;
    for (const std::string& line : ReadLines(tracePath)) {
        if (!IsPolling(line) && !IsFileText(line))
            kept.push_back(line);
    }
    return kept;
}

bool TraceShowsATick(const std::string& tracePath) {
    for (const std::string& line : ReadLines(tracePath)) {
        if (StartsWith(line, "KelvGetDigitalIOEx("))
            return true;
    }
    return false;
}

// The station as a child process in its working folder, output to a file.
class Station {
public:
    Station(const test::TempFolder& root) : root_(root) {}
    ~Station() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    // extraEnv: more variables of the station's environment ("NAME=value").
    void Start(const std::vector<std::string>& extraEnv = {}) {
        std::filesystem::create_directories(root_.File("config"));
        std::filesystem::create_directories(root_.File("work"));
        std::vector<std::string> env = {
            "QT_QPA_PLATFORM=offscreen", "KELVSIM_TRACE=" + root_.File("card.trace"),
            "XDG_CONFIG_HOME=" + root_.File("config"), "XDG_STATE_HOME=" + root_.File("state")};
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text = *entry;
            if (!StartsWith(text, "QT_QPA_PLATFORM=") && !StartsWith(text, "KELVSIM_TRACE=") &&
                !StartsWith(text, "XDG_CONFIG_HOME=") && !StartsWith(text, "XDG_STATE_HOME=") &&
                !StartsWith(text, "MORVIK_"))
                env.push_back(text);
        }
        const std::string program = std::string(MORVIK_BIN_DIR) + "/morvik";
        const std::string work = root_.File("work");
        const std::string output = root_.File("output.txt");
        pid_ = ::fork();
        ASSERT_GE(pid_, 0);
        if (pid_ == 0)
            Exec(program, work, output, env);
    }

    // Polls until the predicate holds or the process has ended; false at the deadline.
    template <typename Predicate> bool WaitFor(Predicate holds, Clock::duration deadline) {
        const auto end = Clock::now() + deadline;
        while (Clock::now() < end) {
            if (holds() || Ended())
                return true;
            std::this_thread::sleep_for(kPollInterval);
        }
        return false;
    }

    bool Ended() {
        if (pid_ <= 0)
            return true;
        if (::waitpid(pid_, &status_, WNOHANG) != pid_)
            return false;
        pid_ = 0;
        return true;
    }

    void Signal(int number) { ::kill(pid_, number); }
    int Status() const { return status_; }

private:
    [[noreturn]] static void Exec(const std::string& program, const std::string& work,
                                  const std::string& output, std::vector<std::string>& env) {
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        std::vector<char*> envp;
        for (std::string& entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        if (::chdir(work.c_str()) == 0)
            ::execve(program.c_str(), argv, envp.data());
        ::_exit(127);
    }

    const test::TempFolder& root_;
    pid_t pid_ = -1;
    int status_ = 0;
};

class EndToEnd : public testing::TestWithParam<int> {};

TEST_P(EndToEnd, StartsOnTheCardAndLeavesItSafeWhenSignalled) {
    test::TempFolder root;
    Station station(root);
    ASSERT_NO_FATAL_FAILURE(station.Start());
    const std::string trace = root.File("card.trace");

    ASSERT_TRUE(station.WaitFor([&] { return TraceShowsATick(trace); }, kStartDeadline))
        << "no status tick within the deadline";
    ASSERT_FALSE(station.Ended()) << "the station ended by itself:\n"
                                  << test::ReadBytes(root.File("output.txt"));
    station.Signal(GetParam());
    ASSERT_TRUE(station.WaitFor([] { return false; }, kExitDeadline)) << "did not exit";
    ASSERT_TRUE(station.Ended());
    EXPECT_TRUE(WIFEXITED(station.Status())) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(station.Status()), 0) << test::ReadBytes(root.File("output.txt"));

    const std::string expected =
        std::string(MORVIK_TEST_DATA_DIR) + "/app/golden/start_and_signal.trace";
    EXPECT_EQ(Sequence(trace), ReadLines(expected));

    // The settings file in the XDG folder, the new machine's files in the working folder.
    const std::string ini = test::ReadBytes(root.File("config/Kelv/Morvik/morvik.ini"));
    EXPECT_NE(ini.find("[Main Window]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("ControllerID=0"), std::string::npos) << ini;
    for (const char* file : {"Machine1.CFG", "Machine1.WRK", "Machine1.TOL"})
        EXPECT_TRUE(std::filesystem::exists(root.File(std::string("work/") + file))) << file;
}

INSTANTIATE_TEST_SUITE_P(Signals, EndToEnd, testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGTERM  ? "SIGTERM"
                                                : info.param == SIGINT ? "SIGINT"
                                                                       : "SIGHUP");
                         });

// The station told where the shop's broker is: it comes online; ended by SIGTERM it says
// "offline" itself on its way out, killed outright the broker's last will says it for it.
class EndToEndTelemetry : public testing::TestWithParam<int> {};

TEST_P(EndToEndTelemetry, TheShopSeesTheStationGoOffline) {
    test::BrokerProcess broker;
    ASSERT_TRUE(broker.Start());
    const std::string status = "morvik/Machine1/status";
    test::MqttRecorder watcher(broker.Port(), "morvik/Machine1/#");
    ASSERT_TRUE(watcher.Ready());
    test::TempFolder root;
    Station station(root);
    ASSERT_NO_FATAL_FAILURE(station.Start({"MORVIK_MQTT_BROKER=" + broker.Address()}));
    ASSERT_TRUE(watcher.WaitForPayload(status, "online", kStartDeadline));
    ASSERT_TRUE(watcher.WaitFor([](const test::MqttRecorder::Messages& all) {
        for (const auto& m : all)
            if (m.topic == "morvik/Machine1/state" &&
                m.payload.find("\"mode\":\"Home\"") != std::string::npos)
                return true;
        return false;
    }));
    station.Signal(GetParam());
    ASSERT_TRUE(station.WaitFor([] { return false; }, kExitDeadline)) << "did not exit";
    EXPECT_TRUE(watcher.WaitForPayload(status, "offline"));
    EXPECT_EQ(watcher.Payloads(status).back(), "offline");
    // A proper goodbye after SIGTERM; a lost client, whose will the broker sends, after SIGKILL.
    const std::string goodbye = "Client Machine1 disconnected.\n";
    const std::string lost = "Client Machine1 closed its connection.\n";
    const auto logged = [&] {
        const std::string log = broker.Log();
        return log.find(goodbye) != std::string::npos || log.find(lost) != std::string::npos;
    };
    const auto deadline = Clock::now() + kExitDeadline;
    while (!logged() && Clock::now() < deadline)
        std::this_thread::sleep_for(kPollInterval);
    ASSERT_TRUE(logged()) << broker.Log();
    EXPECT_NE(broker.Log().find(GetParam() == SIGTERM ? goodbye : lost), std::string::npos)
        << broker.Log();
    if (GetParam() == SIGTERM) {
        EXPECT_TRUE(WIFEXITED(station.Status()));
        EXPECT_EQ(WEXITSTATUS(station.Status()), 0) << test::ReadBytes(root.File("output.txt"));
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, EndToEndTelemetry, testing::Values(SIGTERM, SIGKILL),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGTERM ? "SIGTERM" : "SIGKILL");
                         });

} // namespace
} // namespace morvik
