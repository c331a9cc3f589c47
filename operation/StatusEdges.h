// The edges of the status words the tick reads, made events (MachineObserver.h). The status
// cycle owns one of each and hands each the word of its tick, in the order the cycle's
// Publish step names; none of them asks the card anything.
//   ProgramEdges   Run mode's program status word: the run started (once however often it
//                  is held and resumed), finished, and an error bit coming on;
//   MdiErrorEdges  MDI mode's word: an error bit coming on (the MDI block's, not a program's);
//   SafetyEdges    the safety bits of every tick: an emergency stop or drive fault coming on.
#pragma once

#include "operation/MachineObserver.h"

#include <cstdint>
#include <string>

namespace morvik {

// The name of the first error bit set, in the order a reason is chosen when several come on
// at once ("part error", "emergency stop", ...); empty for none.
std::string ErrorReasonOf(std::uint32_t bits);

class ProgramEdges {
public:
    // The status word of a Run-mode tick; number is the loaded program's.
    void Follow(std::uint32_t status, std::int32_t number, const MachineEvents& events);
    // A tick out of Run mode: no program runs on.
    void Leave() { runActive_ = false; }

private:
    std::uint32_t lastStatus_ = 0; // the word of the last Run-mode tick
    bool runActive_ = false; // between Running coming on and Finished, an abort or leaving Run
};

class MdiErrorEdges {
public:
    void Follow(std::uint32_t status, const MachineEvents& events);
    // An MDI block was started: its word's edges count from nothing, so an error it ends with
    // is announced even when the block before it ended with the same error.
    void BlockStarted() { lastStatus_ = 0; }

private:
    std::uint32_t lastStatus_ = 0;
};

class SafetyEdges {
public:
    // The safety bits standing on this tick (MachineSnapshot::safetyBits), in whatever mode.
    void Follow(std::uint32_t safetyBits, const MachineEvents& events);

private:
    std::uint32_t last_ = 0;
};

} // namespace morvik
