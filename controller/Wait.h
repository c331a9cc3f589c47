// Waiting on the card through the injected clock. Both helpers sleep; neither spins, and in
// tests (ManualClock) each sleep moves time forward at once.
#pragma once

#include "controller/Clock.h"

#include <algorithm>
#include <cstdint>

namespace morvik {

// Sleeps until the clock reads at least deadlineMs.
inline void SleepUntil(IClock& clock, std::uint64_t deadlineMs) {
    for (std::uint64_t now = clock.NowMs(); now < deadlineMs; now = clock.NowMs())
        clock.SleepMs(static_cast<std::uint32_t>(std::min<std::uint64_t>(deadlineMs - now, 1000)));
}

// Tests ready() at once and then after every pollMs of sleep, until it holds (true) or limitMs
// have passed since the call without it holding (false). ready() is tested once more at the
// limit, so a card that becomes ready in the last interval is still seen.
template <typename Ready>
bool PollUntil(IClock& clock, std::uint32_t pollMs, std::uint32_t limitMs, Ready&& ready) {
    const std::uint64_t start = clock.NowMs();
    for (;;) {
        if (ready())
            return true;
        const std::uint64_t elapsed = clock.NowMs() - start;
        if (elapsed >= limitMs)
            return false;
        clock.SleepMs(
            static_cast<std::uint32_t>(std::min<std::uint64_t>(pollMs, limitMs - elapsed)));
    }
}

} // namespace morvik
