// A real mosquitto broker on a free loopback port for one test, in a folder of its own.
// It persists sessions there, so a subscriber that keeps its session (clean start off) gets
// what was published while it was away, across a restart of the broker. The broker process
// is always ended with the object, and dies with the test program should that die first.
#pragma once

#include "settings/TempFolder.h"

#include <string>
#include <sys/types.h>

namespace morvik::test {

inline constexpr const char* kMosquittoBroker = "/usr/sbin/mosquitto";

class BrokerProcess {
public:
    BrokerProcess();
    ~BrokerProcess();
    BrokerProcess(const BrokerProcess&) = delete;
    BrokerProcess& operator=(const BrokerProcess&) = delete;

    // Starts the broker on its port and waits (bounded) until it accepts connections.
    bool Start();
    // Ends it with the signal and reaps it; SIGTERM lets it save its sessions first.
    void Stop(int signal);
    // Freezes and thaws the process: connections stay open, nothing is read or answered.
    bool Pause();
    bool Resume();
    bool Running() const { return pid_ > 0; }
    int Port() const { return port_; }
    // "127.0.0.1:PORT", as MORVIK_MQTT_BROKER takes it.
    std::string Address() const;
    // What the broker logged so far (connections, disconnections, wills).
    std::string Log() const;

private:
    TempFolder folder_;
    std::string configPath_;
    int port_ = 0;
    pid_t pid_ = -1;
};

// A free TCP port on 127.0.0.1 (the kernel's choice for a socket bound to port 0).
int FreeLoopbackPort();
// True once a TCP connection to the port succeeds; polls until the deadline.
bool WaitUntilAccepting(int port, int timeoutMs);

} // namespace morvik::test
