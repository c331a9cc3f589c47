// What the parts of the card share: its configuration and tables as last read, the options
// the station switches with binary commands, the axes and the ASCII output. The card (CCard)
// owns one; the program runner and the homing macro work on it.
#pragma once

#include "cardsim/CardAxis.h"
#include "cardsim/CardChannel.h"
#include "cardsim/CardConfig.h"
#include "cardsim/CardWorkTools.h"

#include <array>
#include <cstdint>

namespace morvik {

struct CCardOptions {
    bool dryRun = false;        // 420 / 421
    bool blockSkip = false;     // 424 / 425
    double feedOverride = 1;    // 440
    double rapidOverride = 1;   // 441
    double spindleOverride = 1; // 442
    bool option490 = false;     // accepted and kept; no output of their own
    bool option491 = false;
    bool echoBlocks = false; // 494: each block's text as it starts
    bool messages = false;   // 495: "(MSG, ...)" texts and part errors
};

struct CCardState {
    CCardConfig config;
    CCardWorkOffsets work;
    CCardToolData tools;
    CCardOptions options;
    std::array<CCardAxis, kCardAxisCount> axes; // controller axes 1..8 at index 0..7
    CCardChannel ascii;

    // The letter axis (0 X .. 5 W) when it is fitted, else nullptr.
    CCardAxis* LetterAxis(int index) {
        const int number = config.axes[index].number;
        return number > 0 && number <= kCardAxisCount ? &axes[number - 1] : nullptr;
    }
    // Controller axis `number` when a component is fitted on it, else nullptr.
    CCardAxis* Axis(int number) {
        if (number < 1 || number > kCardAxisCount || !axes[number - 1].Fitted()) {
            return nullptr;
        }
        return &axes[number - 1];
    }
};

} // namespace morvik
