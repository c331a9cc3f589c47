#include "operation/StatusEdges.h"

#include "controller/ControllerCodes.h"

namespace morvik {

namespace {

struct ErrorName {
    std::uint32_t bit;
    const char* name;
};
constexpr ErrorName kErrorNames[] = {
    {psw::PartError, "part error"},
    {psw::EmergencyStop, "emergency stop"},
    {psw::ExternalEmergencyStop, "external emergency stop"},
    {psw::DriveFault, "drive fault"},
    {psw::MotorError, "motor error"},
};

} // namespace

std::string ErrorReasonOf(std::uint32_t bits) {
    for (const ErrorName& error : kErrorNames) {
        if (bits & error.bit)
            return error.name;
    }
    return std::string();
}

void ProgramEdges::Follow(std::uint32_t status, std::int32_t number, const MachineEvents& events) {
    const std::uint32_t rising = status & ~lastStatus_;
    lastStatus_ = status;
    if (!runActive_ && (status & psw::Running)) {
        runActive_ = true;
        events.ProgramStarted(number);
    }
    if (rising & psw::Finished) {
        // A program short enough to run between two ticks was never seen running.
        if (!runActive_)
            events.ProgramStarted(number);
        runActive_ = false;
        events.ProgramFinished(number);
    } else if ((status & psw::RunUnderWay) == 0) {
        runActive_ = false; // aborted, or selected again
    }
    if (rising & psw::ErrorBits)
        events.PartError(status & psw::ErrorBits, ErrorReasonOf(rising & psw::ErrorBits));
}

void MdiErrorEdges::Follow(std::uint32_t status, const MachineEvents& events) {
    const std::uint32_t rising = status & ~lastStatus_;
    lastStatus_ = status;
    if (rising & psw::ErrorBits)
        events.PartError(status & psw::ErrorBits, ErrorReasonOf(rising & psw::ErrorBits));
}

void SafetyEdges::Follow(std::uint32_t safetyBits, const MachineEvents& events) {
    const std::uint32_t rising = safetyBits & ~last_;
    last_ = safetyBits;
    if (rising != 0)
        events.SafetyStop(safetyBits, rising, ErrorReasonOf(rising));
}

} // namespace morvik
