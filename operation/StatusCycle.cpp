#include "operation/StatusCycle.h"

#include "controller/ControllerCodes.h"
#include "controller/KelvApi.h"
#include "machine/Machine.h"
#include "operation/ActiveModes.h"
#include "operation/ExternalControls.h"
#include "operation/Jogging.h"
#include "operation/ProgramView.h"
#include "operation/SnapshotTexts.h"

#include <utility>

namespace morvik {

namespace {

// The position the readout setting asks the card for; any other setting asks nothing.
template <class Component>
void ReadPosition(Component& component, PositionReadout readout, AxisReading& reading) {
    switch (readout) {
    case PositionReadout::Current:
        reading.current = component.GetPosition();
        return;
    case PositionReadout::Optimal:
        reading.optimal = component.GetOptimal();
        return;
    }
}

} // namespace

StatusCycle::StatusCycle(CMachine& machine, JogInputs& jogInputs, ProgramView& view,
                         Jogging& jogging, ExternalControls& external, ICycleCommands& commands,
                         const MachineEvents& events)
    : machine_(machine), jogInputs_(jogInputs), view_(view), jogging_(jogging), external_(external),
      commands_(commands), events_(events), homingEnd_(machine) {}

void StatusCycle::Tick() {
    // The machine document is closing (or gone): nothing may reach its card.
    if (currentMachine != &machine_)
        return;
    // While an operation waits on the card, or any modal window, popup or nested event loop is
    // up, this tick runs from a nested loop: it shows the machine but sends nothing that starts
    // or continues motion (no jog, no joystick, no external Start, Block or switch); Feed hold
    // goes through.
    commandsAllowed_ = !machine_.Gate().Busy();
    BeginSnapshot();
    ReadInputs();
    ReadStatus();
    ReadSafety();
    FollowProgram();
    StepJogging();
    ReadPositions();
    DrainText();
    Publish();
    StepExternalControls();
}

bool StatusCycle::IdleDrain() {
    if (!textPending_ || currentMachine != &machine_)
        return false;
    if (ReadAndRouteText())
        return true;
    textPending_ = false;
    return false;
}

// What the station itself knows of the machine, before the card is asked.
void StatusCycle::BeginSnapshot() {
    const MachineState& state = machine_.State();
    snapshot_ = MachineSnapshot{};
    snapshot_.mode = state.Mode();
    snapshot_.homed = state.homed;
    snapshot_.homing = state.homingUnderWay;
    snapshot_.positionReadout = state.positionReadout;
    snapshot_.workReadouts = state.workReadouts;
    snapshot_.partLoaded = state.partLoaded;
    snapshot_.programStarted = state.programStarted;
    snapshot_.programNumber = state.programNumber;
    snapshot_.partPath = state.partPath;
    snapshot_.partLineCount = state.partLoaded ? state.partLines.size() : 0;
    snapshot_.feedOverride = state.feedOverride;
    snapshot_.rapidOverride = state.rapidOverride;
    snapshot_.spindleOverride = state.spindleOverride;
    snapshot_.blockSkipOn = state.blockSkipOn;
    snapshot_.dryRunOn = state.dryRunOn;
    snapshot_.Axis(SnapshotAxis::X).onCard = machine_.AxisX().ControllerAxis() != 0;
    snapshot_.Axis(SnapshotAxis::Y).onCard = machine_.AxisY().ControllerAxis() != 0;
    snapshot_.Axis(SnapshotAxis::Z).onCard = machine_.AxisZ().ControllerAxis() != 0;
    snapshot_.Axis(SnapshotAxis::Cutter).onCard = machine_.GetCutter().ControllerAxis() != 0;
}

void StatusCycle::ReadInputs() {
    snapshot_.ioWord = machine_.Controller().ReadDigitalIO();
}

void StatusCycle::ReadStatus() {
    switch (snapshot_.mode) {
    case MachineMode::Run:
        snapshot_.programStatus = machine_.Controller().ProgramStatus();
        if (*snapshot_.programStatus & psw::RunUnderWay)
            snapshot_.runningLine = machine_.Controller().QueryInt(code::FilePosition);
        snapshot_.cardModes = ReadCardModes(machine_.Controller());
        return;
    case MachineMode::Jog:
        ReadAxisErrors();
        snapshot_.cardModes = ReadCardModes(machine_.Controller());
        return;
    case MachineMode::Home:
        ReadAxisErrors();
        homingEnd_.AxesRead(snapshot_);
        return;
    case MachineMode::Mdi:
        // Only while a block of the MDI command line runs or has run: a card that was never
        // given one is asked nothing, as before.
        if (machine_.State().programStarted)
            snapshot_.programStatus = machine_.Controller().ProgramStatus();
        snapshot_.cardModes = ReadCardModes(machine_.Controller());
        return;
    case MachineMode::None:
        return;
    }
}

void StatusCycle::ReadAxisErrors() {
    // While the homing macro runs, each status word is also asked whether its motion finished.
    const bool homing = homingEnd_.Watching(snapshot_);
    homingEnd_.BeginAxes();
    const auto read = [this, homing](auto& component, AxisReading& reading) {
        if (!reading.onCard)
            return;
        const std::int32_t status = component.GetStatus();
        reading.error = component.DecodeStatus(status, KELV_COND_AXIS_ERROR) != 0;
        if (homing && component.DecodeStatus(status, KELV_COND_MOTION_FINISHED) == 0)
            homingEnd_.AxisMoving();
    };
    // Every component is asked, as the card is polled for each one on every tick.
    read(machine_.AxisX(), snapshot_.Axis(SnapshotAxis::X));
    read(machine_.AxisY(), snapshot_.Axis(SnapshotAxis::Y));
    read(machine_.AxisZ(), snapshot_.Axis(SnapshotAxis::Z));
    read(machine_.GetCutter(), snapshot_.Axis(SnapshotAxis::Cutter));
}

// An emergency stop or drive fault stops the machine whatever the mode, so it is seen in every
// mode: the card's own word where this mode reads it, and the machine's safety inputs in the
// I/O word every tick reads. Nothing more is asked of the card.
void StatusCycle::ReadSafety() {
    const ExternalControlSettings& channels = machine_.ExternalControls();
    const std::pair<int, std::uint32_t> inputs[] = {
        {channels.estopInputChannel.Get(), psw::EmergencyStop},
        {channels.extEstopInputChannel.Get(), psw::ExternalEmergencyStop},
        {channels.driveFaultInputChannel.Get(), psw::DriveFault}};
    std::uint32_t bits = snapshot_.programStatus.value_or(0) & psw::SafetyBits;
    for (const auto& [channel, bit] : inputs) {
        if (IoChannelOn(snapshot_.ioWord, channel))
            bits |= bit;
    }
    snapshot_.safetyBits = bits;
}

void StatusCycle::FollowProgram() {
    follow_.Follow(snapshot_, machine_);
}

void StatusCycle::StepJogging() {
    if (snapshot_.mode == MachineMode::Jog)
        jogging_.Update(jogInputs_, commandsAllowed_);
}

// In the order X, Y, Z (or the cutter when Z is not on the card), S.
void StatusCycle::ReadPositions() {
    const PositionReadout readout = snapshot_.positionReadout;
    AxisReading& x = snapshot_.Axis(SnapshotAxis::X);
    AxisReading& y = snapshot_.Axis(SnapshotAxis::Y);
    AxisReading& z = snapshot_.Axis(SnapshotAxis::Z);
    AxisReading& cutter = snapshot_.Axis(SnapshotAxis::Cutter);
    if (x.onCard)
        ReadPosition(machine_.AxisX(), readout, x);
    if (y.onCard)
        ReadPosition(machine_.AxisY(), readout, y);
    if (z.onCard) {
        ReadPosition(machine_.AxisZ(), readout, z);
    } else if (cutter.onCard) {
        ReadPosition(machine_.GetCutter(), readout, cutter);
        snapshot_.cutterAngle = CutterAngleDegrees(cutter.Shown());
    }
    const Spindle& spindle = machine_.GetSpindle();
    if (spindle.ControllerAxis() != 0)
        snapshot_.spindleSpeed = machine_.GetSpindle().GetActualSpeed();
}

void StatusCycle::DrainText() {
    if (ReadAndRouteText())
        textPending_ = true;
}

void StatusCycle::Publish() {
    homingEnd_.Publish(snapshot_);
    if (snapshot_.programStatus && snapshot_.mode == MachineMode::Run)
        programEdges_.Follow(*snapshot_.programStatus, snapshot_.programNumber, events_);
    else
        programEdges_.Leave(); // out of Run mode no program runs on
    if (snapshot_.programStatus && snapshot_.mode == MachineMode::Mdi)
        mdiEdges_.Follow(*snapshot_.programStatus, events_);
    safetyEdges_.Follow(snapshot_.safetyBits, events_);
    events_.Snapshot(snapshot_);
}

void StatusCycle::StepExternalControls() {
    external_.Update(snapshot_, commands_, commandsAllowed_);
}

bool StatusCycle::ReadAndRouteText() {
    const std::string text = machine_.Controller().ReadOutput();
    if (text.empty())
        return false;
    events_.CardText(text);
    for (const std::string& line : cardLines_.Take(text))
        events_.CardLine(line);
    view_.Route(text);
    return true;
}

} // namespace morvik
