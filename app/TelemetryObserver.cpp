#include "app/TelemetryObserver.h"

#include "controller/ControllerCodes.h"
#include "machine/Machine.h"
#include "operation/SnapshotTexts.h"
#include "settings/UnitTables.h"
#include "telemetry/TelemetryPublisher.h"

namespace morvik {

namespace {

void AddAxis(TelemetryState& state, const char* name, const AxisReading& reading) {
    if (reading.onCard)
        state.axes.push_back({name, reading.Shown()});
}

} // namespace

std::string_view TelemetryProgramState(const MachineSnapshot& snapshot) {
    if (!snapshot.partLoaded)
        return "none";
    if (!snapshot.programStatus)
        return "loaded";
    const std::uint32_t status = *snapshot.programStatus;
    if (status & psw::ErrorBits)
        return "error";
    if (status & psw::FeedHold)
        return "feedHold";
    if (status & psw::Paused)
        return "paused";
    if (status & psw::Running)
        return "running";
    if (status & psw::Finished)
        return "finished";
    return "loaded";
}

TelemetryState TelemetryStateOf(const MachineSnapshot& snapshot, const CMachine& machine) {
    TelemetryState state;
    state.mode = MachineModeName(snapshot.mode);
    state.homed = snapshot.homed;
    state.programPath = snapshot.partPath;
    state.programNumber = snapshot.partLoaded ? snapshot.programNumber : 0;
    state.programState = TelemetryProgramState(snapshot);
    state.runningLine = snapshot.runningLine.value_or(0);
    state.units = LengthUnitSymbol(machine.DefaultUnitSystem().lengthUnit);
    AddAxis(state, "X", snapshot.Axis(SnapshotAxis::X));
    AddAxis(state, "Y", snapshot.Axis(SnapshotAxis::Y));
    AddAxis(state, "Z", snapshot.Axis(SnapshotAxis::Z));
    if (snapshot.cutterAngle)
        state.axes.push_back({"C", *snapshot.cutterAngle});
    state.spindleSpeed = snapshot.spindleSpeed.value_or(0.0);
    state.feedOverride = snapshot.feedOverride;
    state.rapidOverride = snapshot.rapidOverride;
    state.spindleOverride = snapshot.spindleOverride;
    state.lamps = IndicatorsOf(snapshot);
    state.errorBits = snapshot.ErrorBits() | snapshot.safetyBits;
    return state;
}

TelemetryObserver::TelemetryObserver(const CMachine& machine, TelemetryPublisher& publisher)
    : machine_(machine), publisher_(publisher) {}

void TelemetryObserver::OnSnapshot(const MachineSnapshot& snapshot) {
    partPath_ = snapshot.partPath;
    publisher_.OnState(TelemetryStateOf(snapshot, machine_));
}

void TelemetryObserver::OnModeChanged(MachineMode from, MachineMode to) {
    publisher_.OnEvent(telemetry_event::kModeChanged,
                       {{"from", MachineModeName(from)}, {"to", MachineModeName(to)}});
}

void TelemetryObserver::OnProgramLoaded(const std::string& path, std::int32_t number) {
    partPath_ = path;
    publisher_.OnEvent(telemetry_event::kProgramLoaded, {{"path", path}, {"number", number}});
}

void TelemetryObserver::OnProgramStarted(std::int32_t number) {
    cardErrorLine_.clear(); // a line of an earlier run says nothing about this one
    ProgramEvent(telemetry_event::kProgramStarted, number);
}

void TelemetryObserver::OnProgramFinished(std::int32_t number) {
    ProgramEvent(telemetry_event::kProgramFinished, number);
}

void TelemetryObserver::ProgramEvent(std::string_view name, std::int32_t number) {
    publisher_.OnEvent(name, {{"path", partPath_}, {"number", number}});
}

void TelemetryObserver::OnPartError(std::uint32_t errorBits, const std::string& reason) {
    const auto bits = static_cast<std::int64_t>(errorBits);
    std::vector<TelemetryField> fields = {{"reason", reason}, {"errorBits", bits}};
    if (!cardErrorLine_.empty())
        fields.emplace_back("message", cardErrorLine_);
    cardErrorLine_.clear();
    publisher_.OnEvent(telemetry_event::kPartError, std::move(fields));
}

// In every mode (a machine at rest in Jog or Home mode is stopped too); after the part error
// of the same tick, so that a program's stop reads in the order it happened.
void TelemetryObserver::OnSafetyStop(std::uint32_t active, std::uint32_t rising,
                                     const std::string& /*reason*/) {
    const auto bits = static_cast<std::int64_t>(active);
    if (rising & (psw::EmergencyStop | psw::ExternalEmergencyStop)) {
        const bool external = (active & psw::ExternalEmergencyStop) != 0;
        publisher_.OnEvent(telemetry_event::kEmergencyStop,
                           {{"external", external}, {"errorBits", bits}});
    }
    if (rising & psw::DriveFault)
        publisher_.OnEvent(telemetry_event::kDriveFault, {{"errorBits", bits}});
}

void TelemetryObserver::OnCardLine(const std::string& line) {
    if (line.starts_with(code::PartErrorLine))
        cardErrorLine_ = line;
}

} // namespace morvik
