// The card's homing macro ("MC n"): every fitted letter axis moves to machine zero (the
// position its machine offset gives) at its rapid rate, and the card reports the start and
// the arrival as text on its ASCII channel.
#pragma once

#include "cardsim/CardState.h"

namespace morvik {

class CCardHoming {
public:
    explicit CCardHoming(CCardState& state) : state_(state) {}

    void Start(int macro);
    // Called every step: reports the arrival once every homing axis is at rest.
    void Step();
    // An emergency stop ends the macro without reaching zero.
    void Cancel(const char* why);
    bool Active() const { return active_; }

private:
    CCardState& state_;
    bool active_ = false;
    int macro_ = 0;
};

} // namespace morvik
