#include "operation/StatusCycle.h"

#include "controller/ControllerCodes.h"
#include "controller/KelvApi.h"
#include "controller/StringTable.h"
#include "machine/Machine.h"
#include "operation/ActiveModes.h"
#include "operation/ExternalControls.h"
#include "operation/Jogging.h"
#include "operation/ProgramView.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace morvik {

namespace {

// The names of the error bits, in the order a reason is chosen when several come on at once.
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

std::string ReasonOf(std::uint32_t bits) {
    for (const ErrorName& error : kErrorNames) {
        if (bits & error.bit)
            return error.name;
    }
    return std::string();
}

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

StatusCycle::StatusCycle(CMachine& machine, ControlPanelState& panel, ProgramView& view,
                         Jogging& jogging, ExternalControls& external, ICycleCommands& commands,
                         const MachineEvents& events)
    : machine_(machine), panel_(panel), view_(view), jogging_(jogging), external_(external),
      commands_(commands), events_(events) {}

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
    ShowOnPanel();
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
    panel_.inputWord = snapshot_.ioWord;
}

void StatusCycle::ReadStatus() {
    switch (snapshot_.mode) {
    case MachineMode::Run:
        snapshot_.programStatus = machine_.Controller().ProgramStatus();
        // Kept between ticks: the cycle buttons' enable rule reads the last word of Run mode.
        panel_.programStatus = *snapshot_.programStatus;
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
        homingArrived_ = snapshot_.homing && homingAtRest_;
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
    const bool homing = snapshot_.mode == MachineMode::Home && snapshot_.homing &&
                        machine_.Homing().homingMacro.Get() != 0;
    homingAtRest_ = true;
    const auto read = [this, homing](auto& component, AxisReading& reading) {
        if (!reading.onCard)
            return;
        const std::int32_t status = component.GetStatus();
        reading.error = component.DecodeStatus(status, KELV_COND_AXIS_ERROR) != 0;
        if (homing && component.DecodeStatus(status, KELV_COND_MOTION_FINISHED) == 0)
            homingAtRest_ = false;
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

// The loaded program's line and modal state: the line the card runs now, or the last one seen
// since the program was (re)started.
void StatusCycle::FollowProgram() {
    const MachineState& state = machine_.State();
    if (followedLoads_ != state.partLoads) {
        followedLoads_ = state.partLoads;
        lastLine_ = 0;
    }
    if (snapshot_.runningLine)
        lastLine_ = std::max(*snapshot_.runningLine, 0);
    // A finished program ran to its end (M2, M30 or its last line), whatever the card's last
    // line was when it was last seen running. In MDI mode the word is the block's.
    if (snapshot_.mode == MachineMode::Run && snapshot_.programStatus &&
        (*snapshot_.programStatus & psw::Finished))
        lastLine_ = static_cast<std::int32_t>(state.partLines.size());
    snapshot_.lastLine = lastLine_;
    if (snapshot_.cardModes) {
        const CardModes& card = *snapshot_.cardModes;
        snapshot_.commandedSpeed = card.speed;
        snapshot_.spindleDirection = card.spindle == 1 ? 1 : card.spindle == 2 ? -1 : 0;
        snapshot_.workSystem = card.workSystem;
        snapshot_.toolLength = card.toolLength;
        return;
    }
    if (!state.partLoaded)
        return;
    const gcode::CModalState& modal = modal_.At(machine_, static_cast<std::size_t>(lastLine_));
    snapshot_.commandedSpeed = modal.speed;
    snapshot_.spindleDirection = modal.spindle == gcode::CSpindle::Clockwise          ? 1
                                 : modal.spindle == gcode::CSpindle::CounterClockwise ? -1
                                                                                      : 0;
    snapshot_.workSystem = modal.coordSystem;
    snapshot_.toolLength = modal.toolLengthOn ? modal.toolLength : 0.0;
}

void StatusCycle::StepJogging() {
    if (snapshot_.mode == MachineMode::Jog)
        jogging_.Update(panel_, commandsAllowed_);
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

void StatusCycle::ShowOnPanel() {
    panel_.indicators = IndicatorsOf(snapshot_);
    panel_.readouts = ReadoutTexts(snapshot_, machine_);
    panel_.skipOverridesOnce = true;
}

void StatusCycle::DrainText() {
    if (ReadAndRouteText())
        textPending_ = true;
}

void StatusCycle::Publish() {
    if (std::exchange(homingArrived_, false))
        EndHoming();
    if (snapshot_.programStatus && snapshot_.mode == MachineMode::Run)
        AnnounceProgramEdges(*snapshot_.programStatus);
    else
        runActive_ = false; // out of Run mode no program runs on
    if (snapshot_.programStatus && snapshot_.mode == MachineMode::Mdi)
        AnnounceMdiErrors(*snapshot_.programStatus);
    AnnounceSafetyStop();
    events_.Snapshot(snapshot_);
}

void StatusCycle::AnnounceSafetyStop() {
    const std::uint32_t rising = snapshot_.safetyBits & ~lastSafety_;
    lastSafety_ = snapshot_.safetyBits;
    if (rising != 0)
        events_.SafetyStop(snapshot_.safetyBits, rising, ReasonOf(rising));
}

void StatusCycle::AnnounceMdiErrors(std::uint32_t status) {
    const std::uint32_t rising = status & ~mdiLastStatus_;
    mdiLastStatus_ = status;
    if (rising & psw::ErrorBits)
        events_.PartError(status & psw::ErrorBits, ReasonOf(rising & psw::ErrorBits));
}

void StatusCycle::AnnounceProgramEdges(std::uint32_t status) {
    const std::uint32_t rising = status & ~lastStatus_;
    lastStatus_ = status;
    const std::int32_t number = snapshot_.programNumber;
    if (!runActive_ && (status & psw::Running)) {
        runActive_ = true;
        events_.ProgramStarted(number);
    }
    if (rising & psw::Finished) {
        // A program short enough to run between two ticks was never seen running.
        if (!runActive_)
            events_.ProgramStarted(number);
        runActive_ = false;
        events_.ProgramFinished(number);
    } else if ((status & psw::RunUnderWay) == 0) {
        runActive_ = false; // aborted, or selected again
    }
    if (rising & psw::ErrorBits)
        events_.PartError(status & psw::ErrorBits, ReasonOf(rising & psw::ErrorBits));
}

// Every axis has come to rest after the homing macro (or there was none to wait for): the
// homing view, which said "Homing Machine...", now says so.
void StatusCycle::EndHoming() {
    machine_.State().homingUnderWay = false;
    snapshot_.homing = false;
    // At rest in error (an emergency stop ended the macro) is not at the macro's end.
    if (snapshot_.AnyAxisError())
        return;
    machine_.State().homed = true;
    snapshot_.homed = true;
    if (machine_.State().views.Has(ViewKind::HomingView))
        // On a line of its own, whether or not the card's text ended one.
        machine_.Operator().AppendToView(ViewKind::HomingView,
                                         "\r" + MessageText(msg::MachineHomed) + "\r");
}

void StatusCycle::StepExternalControls() {
    external_.Update(panel_, commands_, commandsAllowed_);
}

bool StatusCycle::ReadAndRouteText() {
    const std::string text = machine_.Controller().ReadOutput();
    if (text.empty())
        return false;
    events_.CardText(text);
    view_.Route(text);
    return true;
}

} // namespace morvik
