#include "operation/MachineSnapshot.h"

#include "controller/ControllerCodes.h"
#include "controller/MotionController.h"

#include <algorithm>

namespace morvik {

ProgramCounters ReadProgramCounters(MotionController& card) {
    ProgramCounters counters;
    counters.status = card.ProgramStatus();
    counters.programNumber = card.QueryInt(code::ProgramNumber);
    counters.sequenceNumber = card.QueryInt(code::SequenceNumber);
    counters.repeatCount = card.QueryInt(code::RepeatCount);
    counters.filePosition = card.QueryInt(code::FilePosition);
    counters.toolNumber = card.QueryInt(code::ToolNumber);
    return counters;
}

std::uint32_t MachineSnapshot::ErrorBits() const {
    return programStatus.value_or(0) & psw::ErrorBits;
}

bool MachineSnapshot::AnyAxisError() const {
    return std::any_of(axes.begin(), axes.end(),
                       [](const AxisReading& axis) { return axis.error.value_or(false); });
}

} // namespace morvik
