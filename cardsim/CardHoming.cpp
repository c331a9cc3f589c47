#include "cardsim/CardHoming.h"

#include <string>

namespace morvik {

namespace {
std::string Prefix(int macro) {
    return "HOMING (macro " + std::to_string(macro) + "): ";
}
} // namespace

void CCardHoming::Start(int macro) {
    macro_ = macro;
    active_ = true;
    std::string axes;
    for (int i = 0; i < kCardLetterAxes; ++i) {
        CCardAxis* axis = state_.LetterAxis(i);
        if (axis == nullptr) {
            continue;
        }
        const CCardAxisConfig& config = state_.config.axes[i];
        axis->SetVelocity(config.rapidRate);
        axis->SetAcceleration(config.rapidAccel);
        axis->SetDeceleration(config.rapidDecel);
        axis->SetOverride(1);
        axis->MoveAbsolute(config.machineOffset);
        axes += ' ';
        axes += kCardAxisLetters[i];
    }
    state_.ascii.QueueLine(Prefix(macro) + "moving" + (axes.empty() ? " no axes" : axes) +
                           " to machine zero");
}

void CCardHoming::Step() {
    if (!active_) {
        return;
    }
    for (int i = 0; i < kCardLetterAxes; ++i) {
        if (const CCardAxis* axis = state_.LetterAxis(i); axis != nullptr && !axis->AtRest()) {
            return;
        }
    }
    active_ = false;
    state_.ascii.QueueLine(Prefix(macro_) + "machine at zero");
}

void CCardHoming::Cancel(const char* why) {
    if (active_) {
        active_ = false;
        state_.ascii.QueueLine(Prefix(macro_) + "stopped: " + why);
    }
}

} // namespace morvik
