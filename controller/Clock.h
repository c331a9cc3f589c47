// Time as the station sees it. The product uses the steady clock; tests use a manual clock
// so that no test waits for real time. Every wait on the card goes through Sleep, never a
// spinning loop.
#pragma once

#include <cstdint>

namespace morvik {

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds since an arbitrary origin; never goes backwards.
    virtual std::uint64_t NowMs() = 0;
    virtual void SleepMs(std::uint32_t ms) = 0;
};

// The real clock: std::chrono::steady_clock and std::this_thread::sleep_for.
class SteadyClock : public IClock {
public:
    std::uint64_t NowMs() override;
    void SleepMs(std::uint32_t ms) override;
};

// A clock that only moves when told to; sleeping advances it at once.
class ManualClock : public IClock {
public:
    std::uint64_t NowMs() override { return now_; }
    void SleepMs(std::uint32_t ms) override { Advance(ms); }
    virtual void Advance(std::uint64_t ms) { now_ += ms; }

private:
    std::uint64_t now_ = 0;
};

} // namespace morvik
