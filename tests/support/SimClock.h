// A manual clock that also drives the simulated card's clock: every sleep of the station (a
// ready poll, the 500 ms after a download) moves the card's time by the same amount, so motion
// and program execution progress exactly as far as the station has waited. Tests that use it
// link the card library (target kelvapi32).
#pragma once

#include "cardsim/KelvSim.h"
#include "controller/Clock.h"

#include <algorithm>
#include <cstdint>

namespace morvik::test {

class SimClock : public ManualClock {
public:
    // Switches the card to manual time; its clock starts at 0 like this one.
    SimClock() { KelvSimUseManualClock(1); }
    ~SimClock() override { KelvSimUseManualClock(0); }
    SimClock(const SimClock&) = delete;
    SimClock& operator=(const SimClock&) = delete;

    void Advance(std::uint64_t ms) override {
        ManualClock::Advance(ms);
        while (ms > 0) {
            const auto step = static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, UINT32_MAX));
            KelvSimAdvanceMs(step);
            ms -= step;
        }
    }
};

} // namespace morvik::test
