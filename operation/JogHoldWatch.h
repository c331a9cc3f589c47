// How long a held jog control counts as held without a fresh sign of the operator's hand.
//
// A jog moves only while the operator holds its control. A release event is the usual end,
// but releases get lost (a VNC viewer that drops, another program taking the pointer or the
// keyboard, a window system that delivers the release elsewhere), so every tick also asks
// whether the hand is still there:
//   - a jog button: where the window system can be asked for the pointer's buttons (X11),
//     the control panel asks it on every tick and lets go once the left button is up. Where
//     it cannot be asked (VNC, Wayland, offscreen), a press holds for kMouseHoldLimitMs at
//     most: then the jog stops and the operator is told why (a dead-man rule: press again to
//     jog on);
//   - a jog key: held only while the keyboard's auto-repeat keeps confirming it. The first
//     repeat comes after the keyboard's repeat delay (kKeyFirstRepeatMs covers the usual
//     desktop delays, 660 ms the longest of them, the X server's own), every later one after
//     the repeat interval (a few tens of ms); once kKeyRepeatGapMs pass without a repeat, the
//     repeats have stopped without a release and the jog stops.
// Times come from the station's clock. MachineOperation owns one and asks it on every tick
// (MachineOperation::CheckJogHolds), before the status cycle.
#pragma once

#include "controller/Clock.h"

#include <array>
#include <cstdint>

namespace morvik {

class JogHoldWatch {
public:
    static constexpr std::uint64_t kMouseHoldLimitMs = 5000;
    static constexpr std::uint64_t kKeyFirstRepeatMs = 750;
    static constexpr std::uint64_t kKeyRepeatGapMs = 300;

    explicit JogHoldWatch(IClock& clock) : clock_(clock) {}

    // A jog button went down (the held time counts from the latest press).
    void ButtonPressed() { buttonPressedAt_ = clock_.NowMs(); }
    // True when a jog button has been held for the whole limit.
    bool ButtonHoldExpired() { return clock_.NowMs() - buttonPressedAt_ >= kMouseHoldLimitMs; }

    // A jog key's press, and each auto-repeat of a held one, by jog bit.
    void KeyPressed(std::uint16_t bits);
    void KeyRepeated(std::uint16_t bits);
    // Of the held key bits, those whose repeats have stopped.
    std::uint16_t ExpiredKeys(std::uint16_t heldKeys);

private:
    static constexpr std::size_t kJogBits = 6;

    IClock& clock_;
    std::uint64_t buttonPressedAt_ = 0;
    std::array<std::uint64_t, kJogBits> keyConfirmedAt_{};
    std::array<bool, kJogBits> keyRepeating_{};
};

} // namespace morvik
