#include "cardsim/CardClock.h"

#include <chrono>

namespace morvik {

CCardClock::CCardClock() : origin_(SteadyMs()) {}

std::uint64_t CCardClock::SteadyMs() const {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::uint64_t CCardClock::NowMs() const {
    return manual_ ? manualMs_ : SteadyMs() - origin_;
}

void CCardClock::UseManual(bool on) {
    manual_ = on;
    manualMs_ = 0;
    origin_ = SteadyMs();
}

} // namespace morvik
