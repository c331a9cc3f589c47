// The fixed binary commands, blocks and macros, digital I/O and the per-axis operations of
// MotionController: thin forwards to the library on the binary handle.
#include "controller/ControllerCodes.h"
#include "controller/MotionController.h"

namespace morvik {

namespace {

// A controller axis number below 1 is a component that is not fitted: no call, result 0.
template <typename Call> auto OnAxis(std::int16_t axis, Call&& call) -> decltype(call()) {
    return axis < 1 ? decltype(call()){} : call();
}

} // namespace

void MotionController::AbortProgram() {
    SendBinary(code::AbortProgram, 0, KELV_TYPE_INT32);
}
void MotionController::CycleStart() {
    SendBinary(code::CycleStart, 0, KELV_TYPE_INT32);
}
void MotionController::SingleBlock() {
    SendBinary(code::SingleBlock, 0, KELV_TYPE_INT32);
}
void MotionController::FeedHold() {
    SendBinary(code::FeedHold, 0, KELV_TYPE_INT32);
}

void MotionController::SetDryRun(bool on) {
    SendBinary(on ? code::DryRunOn : code::DryRunOff, 0, KELV_TYPE_INT32);
}

void MotionController::SetBlockSkip(bool on) {
    SendBinary(on ? code::BlockSkipOn : code::BlockSkipOff, 0, KELV_TYPE_INT32);
}

void MotionController::SetOutputOption(std::int32_t optionCode, bool on) {
    SendBinary(optionCode, on ? 1 : -1, KELV_TYPE_INT32);
}

void MotionController::SetFeedOverride(double fraction) {
    SendBinary(code::FeedOverride, fraction, KELV_TYPE_DOUBLE);
}

void MotionController::SetRapidOverride(double fraction) {
    SendBinary(code::RapidOverride, fraction, KELV_TYPE_DOUBLE);
}

void MotionController::SetSpindleOverride(double fraction) {
    SendBinary(code::SpindleOverride, fraction, KELV_TYPE_DOUBLE);
}

std::uint32_t MotionController::ProgramStatus() {
    return static_cast<std::uint32_t>(QueryInt(code::ProgramStatus));
}

void MotionController::EmptyBlock(std::int32_t number) {
    api_.KelvBlockBegin(binaryHandle_, 1, number);
    api_.KelvBlockEnd(binaryHandle_, 0);
}

void MotionController::MacroCall(std::int32_t macro) {
    api_.KelvMacroCall(binaryHandle_, macro);
}

std::uint32_t MotionController::ReadDigitalIO() {
    std::uint32_t word = 0;
    api_.KelvGetDigitalIOEx(binaryHandle_, 0, &word);
    return word;
}

void MotionController::SetDigitalOutput(int channel, bool on) {
    if (IsIoChannel(channel))
        api_.KelvEnableDigitalIO(binaryHandle_, static_cast<std::int16_t>(channel), on ? 1 : 0);
}

// ---- Axes ---------------------------------------------------------------------------------

std::int32_t MotionController::SetDirection(std::int16_t axis, std::int16_t direction) {
    return OnAxis(axis, [&] { return api_.KelvDirection(binaryHandle_, axis, direction); });
}

std::int32_t MotionController::EnableAxis(std::int16_t axis, std::int16_t state) {
    return OnAxis(axis, [&] { return api_.KelvEnableAxis(binaryHandle_, axis, state); });
}

std::int32_t MotionController::Go(std::int16_t axis) {
    return OnAxis(axis, [&] { return api_.KelvGo(binaryHandle_, axis); });
}

std::int32_t MotionController::Stop(std::int16_t axis) {
    return OnAxis(axis, [&] { return api_.KelvStop(binaryHandle_, axis); });
}

std::int32_t MotionController::MoveAbsolute(std::int16_t axis, double position) {
    return OnAxis(axis, [&] { return api_.KelvMoveAbsolute(binaryHandle_, axis, position); });
}

std::int32_t MotionController::MoveRelative(std::int16_t axis, double distance) {
    return OnAxis(axis, [&] { return api_.KelvMoveRelative(binaryHandle_, axis, distance); });
}

std::int32_t MotionController::SetVelocity(std::int16_t axis, double velocity) {
    return OnAxis(axis, [&] { return api_.KelvSetVelocity(binaryHandle_, axis, velocity); });
}

std::int32_t MotionController::SetAcceleration(std::int16_t axis, double acceleration) {
    return OnAxis(axis,
                  [&] { return api_.KelvSetAcceleration(binaryHandle_, axis, acceleration); });
}

std::int32_t MotionController::SetDeceleration(std::int16_t axis, double deceleration) {
    return OnAxis(axis,
                  [&] { return api_.KelvSetDeceleration(binaryHandle_, axis, deceleration); });
}

std::int32_t MotionController::SetVelocityOverride(std::int16_t axis, double factor) {
    return OnAxis(axis, [&] { return api_.KelvSetVelocityOverride(binaryHandle_, axis, factor); });
}

std::int32_t MotionController::SetOperatingMode(std::int16_t axis, std::int16_t master,
                                                std::int16_t mode) {
    return OnAxis(axis,
                  [&] { return api_.KelvSetOperatingMode(binaryHandle_, axis, master, mode); });
}

std::int32_t MotionController::GetStatus(std::int16_t axis) {
    return OnAxis(axis, [&] { return api_.KelvGetStatus(binaryHandle_, axis); });
}

std::int32_t MotionController::DecodeStatus(std::int16_t axis, std::int32_t status,
                                            std::int16_t condition) {
    return OnAxis(axis, [&] { return api_.KelvDecodeStatus(binaryHandle_, status, condition); });
}

double MotionController::GetPosition(std::int16_t axis) {
    return OnAxis(axis, [&] {
        double position = 0;
        api_.KelvGetPositionEx(binaryHandle_, axis, &position);
        return position;
    });
}

double MotionController::GetOptimal(std::int16_t axis) {
    return OnAxis(axis, [&] {
        double position = 0;
        api_.KelvGetOptimalEx(binaryHandle_, axis, &position);
        return position;
    });
}

double MotionController::GetTarget(std::int16_t axis) {
    return OnAxis(axis, [&] {
        double position = 0;
        api_.KelvGetTargetEx(binaryHandle_, axis, &position);
        return position;
    });
}

} // namespace morvik
