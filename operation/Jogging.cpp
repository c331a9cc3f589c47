// The jog step, Jog mode entry and exit. The joystick arithmetic and the calibration are in
// JoggingJoystick.cpp.
#include "operation/Jogging.h"

#include "controller/KelvApi.h"
#include "controller/StringTable.h"
#include "controller/Wait.h"
#include "machine/Machine.h"
#include "operation/JogSelectors.h"

#include <cmath>
#include <cstdint>

namespace morvik {

// One axis and sign: its jog button, its two bits of the jog state word and, for X and Y, the
// angle (revolutions) the cutter faces while travelling that way.
struct JogDirection {
    int axis; // 0 X, 1 Y, 2 Z
    bool positive;
    std::uint16_t button;
    std::uint16_t moving;
    std::uint16_t stopping;
    double cutterAngle;

    std::uint16_t Own() const { return static_cast<std::uint16_t>(moving | stopping); }
    std::int16_t DirectionCode() const { return positive ? 1 : 2; }
};

namespace {

// X, Y, Z, each + before -: the order in which one update looks at them.
constexpr JogDirection kDirections[] = {
    {0, true, button::kXPlus, 0x0010, 0x0020, 0.0},
    {0, false, button::kXMinus, 0x0040, 0x0080, 0.5},
    {1, true, button::kYPlus, 0x0100, 0x0200, 0.25},
    {1, false, button::kYMinus, 0x0400, 0x0800, 0.75},
    {2, true, button::kZPlus, 0x1000, 0x2000, 0.0},
    {2, false, button::kZMinus, 0x4000, 0x8000, 0.0},
};

constexpr std::int16_t kEnabled = 1;
constexpr std::int16_t kNoMaster = 0;
constexpr std::int16_t kVelocityMode = 4; // a jogged axis
constexpr std::int16_t kPositionMode = 2; // the cutter

// Within an axis's four bits of the jog state word.
constexpr unsigned kNibbleMovingPlus = 0x1;
constexpr unsigned kNibbleStoppingPlus = 0x2;
constexpr unsigned kNibbleMovingMinus = 0x4;
constexpr unsigned kNibbleStoppingMinus = 0x8;

// The same test the components' motion operations make: anything else makes no call.
bool Fitted(std::int32_t controllerAxis) {
    return controllerAxis >= 1 && controllerAxis <= INT16_MAX;
}

template <class Component> bool MotionFinished(Component& component) {
    return component.DecodeStatus(component.GetStatus(), KELV_COND_MOTION_FINISHED) != 0;
}

} // namespace

Jogging::Jogging(CMachine& machine, IJoystick& joystick, const MachineEvents& events)
    : machine_(machine), joystick_(joystick), events_(events) {}

bool Jogging::HasCutterAxis() const {
    return Fitted(machine_.GetCutter().ControllerAxis());
}

// The maximum jog rate scaled by the speed selector.
double Jogging::JogSpeed() const {
    const UnitSystem units = machine_.DefaultUnitSystem();
    const double percent = JogSelectors::kSpeedPercents[speedIndex_];
    return machine_.Jogging().maxJogRate.ValueIn(units.lengthUnit, units.timeUnit) * percent /
           100.0;
}

bool Jogging::RateIsZero() const {
    const UnitSystem units = machine_.DefaultUnitSystem();
    return !(machine_.Jogging().maxJogRate.ValueIn(units.lengthUnit, units.timeUnit) > 0.0);
}

bool Jogging::MovesAxis(std::uint16_t jogBit) const {
    for (const JogDirection& dir : kDirections) {
        if ((jogBit & dir.button) && Fitted(machine_.Axes()[dir.axis].ControllerAxis()))
            return true;
    }
    return false;
}

double Jogging::Increment() const {
    return JogSelectors::kIncrements[incrementIndex_];
}

void Jogging::SelectIncrement(std::size_t index) {
    if (index < JogSelectors::kIncrements.size())
        incrementIndex_ = index;
}

void Jogging::SelectSpeed(std::size_t index) {
    if (index < JogSelectors::kSpeedPercents.size())
        speedIndex_ = index;
}

void Jogging::Update(JogInputs& inputs, bool operatorInput) {
    // A key's release cannot be checked the way the mouse button is: while the station is
    // busy the keys are let go, and only a new press jogs again.
    if (!operatorInput) {
        inputs.jogKeyBits = 0;
        inputs.stepRequest = 0;
    }
    const JogValues values = operatorInput ? ReadJoystick() : JogValues{};
    MachineState& state = machine_.State();
    // Every test below looks at the word as it was when the update began, so a motion started
    // for one direction does not block another in the same update.
    const std::uint16_t snapshot = state.jogState;
    const std::uint16_t previous = state.jogButtons;
    const std::uint16_t held =
        operatorInput ? (inputs.buttonBits | inputs.jogKeyBits) & button::kJogMask : 0;
    state.jogButtons = held;
    // With a step chosen a held control moves nothing more than its one step.
    const std::uint16_t buttons = Increment() > 0.0 ? 0 : held;

    const double perAxis[3] = {values.x, values.y, values.z};
    for (const JogDirection& dir : kDirections) {
        if (Fitted(machine_.Axes()[dir.axis].ControllerAxis()))
            StepDirection(dir, perAxis[dir.axis], snapshot, buttons);
    }
    if (HasCutterAxis())
        RaiseLowerOnZEdges(previous, held);
    if (inputs.stepRequest != 0) {
        // A request meets a jog word that is not clear only when the joystick moved meanwhile.
        const bool done = state.jogState != 0 || StartStep(inputs.stepRequest);
        if (done)
            inputs.stepRequest = 0;
    }
}

bool Jogging::StartStep(std::uint16_t request) {
    const double increment = Increment();
    for (std::size_t i = 0; i < std::size(kDirections); ++i) {
        const JogDirection& dir = kDirections[i];
        Axis& axis = machine_.Axes()[dir.axis];
        if (!(request & dir.button) || !Fitted(axis.ControllerAxis()))
            continue;
        if (increment <= 0.0)
            return true;
        if (!MayStart(dir, true, machine_.State().jogState))
            return false; // the cutter is still turning to the direction of travel
        if (!positionMode_[dir.axis]) {
            axis.SetOperatingMode(kNoMaster, kPositionMode);
            positionMode_[dir.axis] = true;
        }
        axis.SetVelocity(JogSpeed());
        axis.MoveRelative(dir.positive ? increment : -increment);
        std::uint16_t& live = machine_.State().jogState;
        live = static_cast<std::uint16_t>(live | dir.stopping);
        stepDirection_ = static_cast<int>(i);
        return true;
    }
    return true;
}

// A step is under way while its direction's stopping bit is set.
bool Jogging::Stepping() const {
    return stepDirection_ >= 0 &&
           (machine_.State().jogState & kDirections[stepDirection_].stopping) != 0;
}

void Jogging::VelocityMode(int axisIndex) {
    if (!positionMode_[axisIndex])
        return;
    machine_.Axes()[axisIndex].SetOperatingMode(kNoMaster, kVelocityMode);
    positionMode_[axisIndex] = false;
}

void Jogging::StepDirection(const JogDirection& dir, double value, std::uint16_t snapshot,
                            std::uint16_t buttons) {
    Axis& axis = machine_.Axes()[dir.axis];
    std::uint16_t& live = machine_.State().jogState;
    const bool held = (buttons & dir.button) != 0;
    const bool deflected = dir.positive ? value > 0.0 : value < 0.0;

    if (held || deflected) {
        if (MayStart(dir, !deflected, snapshot))
            StartMotion(dir, value, deflected);
    } else if (snapshot & dir.moving) {
        axis.Stop();
        live = static_cast<std::uint16_t>((live & ~dir.Own()) | dir.stopping);
    } else if ((snapshot & dir.stopping) && MotionFinished(axis)) {
        live = static_cast<std::uint16_t>(live & ~dir.stopping);
    }
}

bool Jogging::MayStart(const JogDirection& dir, bool byButton, std::uint16_t snapshot) {
    // A button starts one motion and waits for every other motion to end; a deflected stick
    // steers its axis on every update and may move X and Y together. Nothing starts while a
    // step is under way.
    if (Stepping())
        return false;
    if (byButton && (snapshot & ~dir.stopping))
        return false;
    if (dir.axis == 2)
        return (snapshot & ~dir.Own()) == 0;
    return HasCutterAxis() ? TurnCutter(dir, snapshot) : true;
}

bool Jogging::TurnCutter(const JogDirection& dir, std::uint16_t snapshot) {
    Cutter& cutter = machine_.GetCutter();
    if (!machine_.State().cutterDown) {
        if (cutter.RaisedState() != Cutter::kRaised)
            cutter.Raise();
        return true;
    }
    if (snapshot & ~dir.Own())
        return false;
    const double angle = cutter.LastPosition();
    if (angle - std::floor(angle) != dir.cutterAngle) {
        const double target = std::floor(angle) + dir.cutterAngle;
        cutter.Raise();
        cutter.MoveAbsolute(target);
        cutter.SetLastPosition(target);
    }
    // Retried on every update until the cutter has turned.
    if (!MotionFinished(cutter))
        return false;
    if (cutter.RaisedState() != Cutter::kLowered)
        cutter.Lower();
    return true;
}

void Jogging::StartMotion(const JogDirection& dir, double value, bool deflected) {
    Axis& axis = machine_.Axes()[dir.axis];
    const double speed = deflected ? JogSpeed() * std::fabs(value) : JogSpeed();
    VelocityMode(dir.axis);
    axis.SetVelocity(speed);
    axis.SetDirection(dir.DirectionCode());
    axis.Go();
    std::uint16_t& live = machine_.State().jogState;
    live = static_cast<std::uint16_t>((live & ~dir.Own()) | dir.moving);
}

void Jogging::RaiseLowerOnZEdges(std::uint16_t previous, std::uint16_t buttons) {
    const auto pressed = static_cast<std::uint16_t>(buttons & ~previous);
    if (pressed & button::kZPlus)
        machine_.GetCutter().Raise();
    if (pressed & button::kZMinus)
        machine_.GetCutter().Lower();
}

void Jogging::Enter() {
    MachineState& state = machine_.State();
    if (state.jogState == 0) {
        const UnitSystem units = machine_.DefaultUnitSystem();
        if (HasCutterAxis()) {
            Cutter& cutter = machine_.GetCutter();
            cutter.Raise();
            cutter.SetVelocityOverride(1.0);
            cutter.SetVelocity(cutter.Speed().ValueIn(unit::Revolution, units.timeUnit));
            cutter.SetAcceleration(cutter.Accel().ValueIn(unit::Revolution, units.timeUnit));
            cutter.SetDeceleration(cutter.Decel().ValueIn(unit::Revolution, units.timeUnit));
            cutter.SetOperatingMode(kNoMaster, kPositionMode);
            cutter.Enable(kEnabled);
            cutter.SetLastPosition(cutter.GetTarget());
        }
        const JoggingSettings& jog = machine_.Jogging();
        for (int i = 0; i < 3; ++i) {
            Axis& axis = machine_.Axes()[i];
            if (!Fitted(axis.ControllerAxis()))
                continue;
            axis.SetVelocityOverride(1.0);
            axis.SetVelocity(jog.maxJogRate.ValueIn(units.lengthUnit, units.timeUnit));
            axis.SetAcceleration(jog.jogAccel.ValueIn(units.lengthUnit, units.timeUnit));
            axis.SetDeceleration(jog.jogDecel.ValueIn(units.lengthUnit, units.timeUnit));
            axis.SetOperatingMode(kNoMaster, kVelocityMode);
            axis.Enable(kEnabled);
            positionMode_[static_cast<std::size_t>(i)] = false;
        }
    }
    SetMachineMode(machine_, events_, MachineMode::Jog);
}

bool Jogging::ExitAndWait(int unconfirmedMessage) {
    if (HasCutterAxis())
        machine_.Controller().EmptyBlock(machine_.GetCutter().RaiseMacro());
    return StopAndConfirm(unconfirmedMessage);
}

bool Jogging::StopAndConfirm(int unconfirmedMessage) {
    // A step under way is cut short: leaving the mode must not wait for its whole length.
    if (Stepping())
        machine_.Axes()[kDirections[stepDirection_].axis].Stop();
    bool allStopped = true;
    for (int i = 0; i < 3; ++i)
        allStopped = StopAndWait(i) && allStopped;
    // One message however many axes failed: the operator needs to know once.
    if (!allStopped && unconfirmedMessage != 0)
        machine_.Operator().ShowMessage(unconfirmedMessage);
    return allStopped;
}

bool Jogging::StopAndWait(int axisIndex) {
    Axis& axis = machine_.Axes()[axisIndex];
    std::uint16_t& live = machine_.State().jogState;
    const int shift = 4 * (axisIndex + 1);
    unsigned nibble = (live >> shift) & 0xFu;

    if (nibble & (kNibbleMovingPlus | kNibbleMovingMinus)) {
        axis.Stop();
        nibble = (nibble & kNibbleStoppingMinus) | kNibbleStoppingPlus;
    }
    bool finished = true;
    if (nibble & (kNibbleStoppingPlus | kNibbleStoppingMinus)) {
        WaitCursor cursor(machine_.Operator());
        // An axis taken off the card meanwhile has nothing left to wait for.
        finished = PollUntil(machine_.Clock(), kStopPollMs, machine_.JogStopWaitMs(), [&] {
            return !Fitted(axis.ControllerAxis()) || MotionFinished(axis);
        });
        // An axis that never confirmed its stop may still be moving: its stopping bit stays,
        // so the jog update keeps watching it and Jog mode is not left.
        if (finished)
            nibble &= ~(kNibbleStoppingPlus | kNibbleStoppingMinus);
    }
    live = static_cast<std::uint16_t>((live & ~(0xFu << shift)) | (nibble << shift));
    return finished;
}

void Jogging::ReleaseAll(JogInputs& inputs) {
    inputs.buttonBits = static_cast<std::uint16_t>(inputs.buttonBits & ~button::kJogMask);
    inputs.jogKeyBits = 0;
    inputs.stepRequest = 0;
}

void Jogging::StopAll(JogInputs& inputs) {
    ReleaseAll(inputs);
    for (Axis& axis : machine_.Axes()) {
        if (Fitted(axis.ControllerAxis()))
            axis.Stop();
    }
    if (HasCutterAxis())
        machine_.GetCutter().Stop();
    // Moving becomes stopping (a step is stopping already): the jog update clears the bits once
    // each axis has finished, and starts nothing before.
    std::uint16_t& live = machine_.State().jogState;
    for (const JogDirection& dir : kDirections) {
        if (live & dir.moving)
            live = static_cast<std::uint16_t>((live & ~dir.moving) | dir.stopping);
    }
}

void Jogging::CutBoxReleased(bool wasChecked) {
    MachineState& state = machine_.State();
    if (!wasChecked) {
        state.cutterDown = true;
        return;
    }
    state.cutterDown = false;
    if (state.Mode() == MachineMode::Jog)
        machine_.GetCutter().Raise();
}

} // namespace morvik
