// The card's time: the steady clock, or a manual clock that only moves when a test says so.
// Either way it counts milliseconds from the moment it was (re)started, so switching clocks
// starts the card's time again at 0.
#pragma once

#include <cstdint>

namespace morvik {

class CCardClock {
public:
    CCardClock();
    std::uint64_t NowMs() const;
    bool IsManual() const { return manual_; }
    void UseManual(bool on);
    void Advance(std::uint32_t ms) { manualMs_ += ms; }

private:
    std::uint64_t SteadyMs() const;

    bool manual_ = false;
    std::uint64_t manualMs_ = 0;
    std::uint64_t origin_ = 0;
};

} // namespace morvik
