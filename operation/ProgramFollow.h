// The loaded program as the tick follows it: the last line seen running since it was loaded,
// and the S word, spindle direction, work system and tool length in force. The status cycle
// owns one and calls Follow once the status and the card's modes were read; it takes them from
// the card's modes where the card answered them, else from the loaded program's modal state
// at that line (ProgramModal), and asks the card nothing.
#pragma once

#include "operation/ProgramModal.h"

#include <cstdint>

namespace morvik {

class CMachine;
struct MachineSnapshot;

class ProgramFollow {
public:
    // Fills the snapshot's lastLine, commandedSpeed, spindleDirection, workSystem and
    // toolLength.
    void Follow(MachineSnapshot& snapshot, const CMachine& machine);

private:
    void FromTheText(MachineSnapshot& snapshot, const CMachine& machine);

    std::int32_t lastLine_ = 0;
    std::uint32_t followedLoads_ = 0; // the load lastLine_ belongs to (MachineState::partLoads)
    ProgramModal modal_;
};

} // namespace morvik
