#include "telemetry/BrokerProcess.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace morvik::test {

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool Accepting(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = Loopback(port);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

} // namespace

int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

bool WaitUntilAccepting(int port, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!Accepting(port)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

BrokerProcess::BrokerProcess()
    : configPath_(folder_.File("mosquitto.conf")), port_(FreeLoopbackPort()) {
    std::ofstream(configPath_) << "listener " << port_ << " 127.0.0.1\n"
                               << "allow_anonymous true\n"
                               << "persistence true\n"
                               << "persistence_location " << folder_.Path().string() << "/\n"
                               << "queue_qos0_messages true\n"
                               << "user root\n"; // as root: keep access to the test's folder
}

BrokerProcess::~BrokerProcess() {
    Stop(SIGKILL);
}

bool BrokerProcess::Start() {
    if (pid_ > 0) {
        return true;
    }
    const std::string log = folder_.File("mosquitto.log");
    pid_ = ::fork();
    if (pid_ == 0) {
        // Only async-signal-safe calls between fork and exec.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        ::execl(kMosquittoBroker, "mosquitto", "-c", configPath_.c_str(), nullptr);
        ::_exit(127);
    }
    if (pid_ < 0 || !WaitUntilAccepting(port_, 10000)) {
        Stop(SIGKILL);
        return false;
    }
    return true;
}

void BrokerProcess::Stop(int signal) {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, signal);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

std::string BrokerProcess::Log() const {
    return ReadBytes(folder_.File("mosquitto.log"));
}

bool BrokerProcess::Pause() {
    return pid_ > 0 && ::kill(pid_, SIGSTOP) == 0;
}

bool BrokerProcess::Resume() {
    return pid_ > 0 && ::kill(pid_, SIGCONT) == 0;
}

std::string BrokerProcess::Address() const {
    return "127.0.0.1:" + std::to_string(port_);
}

} // namespace morvik::test
