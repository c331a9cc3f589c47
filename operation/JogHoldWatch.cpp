#include "operation/JogHoldWatch.h"

namespace morvik {

void JogHoldWatch::KeyPressed(std::uint16_t bits) {
    for (std::size_t i = 0; i < kJogBits; ++i) {
        if (bits & (1u << i)) {
            keyConfirmedAt_[i] = clock_.NowMs();
            keyRepeating_[i] = false;
        }
    }
}

void JogHoldWatch::KeyRepeated(std::uint16_t bits) {
    for (std::size_t i = 0; i < kJogBits; ++i) {
        if (bits & (1u << i)) {
            keyConfirmedAt_[i] = clock_.NowMs();
            keyRepeating_[i] = true;
        }
    }
}

std::uint16_t JogHoldWatch::ExpiredKeys(std::uint16_t heldKeys) {
    const std::uint64_t now = clock_.NowMs();
    std::uint16_t expired = 0;
    for (std::size_t i = 0; i < kJogBits; ++i) {
        if ((heldKeys & (1u << i)) == 0)
            continue;
        const std::uint64_t allowed = keyRepeating_[i] ? kKeyRepeatGapMs : kKeyFirstRepeatMs;
        if (now - keyConfirmedAt_[i] >= allowed)
            expired = static_cast<std::uint16_t>(expired | (1u << i));
    }
    return expired;
}

} // namespace morvik
