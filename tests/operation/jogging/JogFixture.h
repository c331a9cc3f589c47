// Jogging on the recording fake library: a machine with X, Y and Z on controller axes 1, 2 and
// 3 (the cutter not fitted unless a test fits it), jogging at 60 in/min in the default English
// units (inch per minute), in Jog mode, with a fake joystick and the jog inputs. The
// card's answers (axis status) are set on the fake; what the station did is read back as the
// motion calls it made.
#pragma once

#include "controller/Clock.h"
#include "machine/Machine.h"
#include "operation/Jogging.h"
#include "settings/UnitTables.h"
#include "support/FakeJoystick.h"
#include "support/FakeKelvApi.h"
#include "support/RecordingOperator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace morvik::test {

// Axis status with condition 3 (motion finished) set, as the fake decodes it.
inline constexpr std::int32_t kFinishedStatus = 1 << 3;

// Controller axis numbers in the fixture.
inline constexpr std::int16_t kAxisX = 1;
inline constexpr std::int16_t kAxisY = 2;
inline constexpr std::int16_t kAxisZ = 3;
inline constexpr std::int16_t kCutterAxis = 4;
inline constexpr std::int32_t kRaiseMacro = 7;
inline constexpr std::int32_t kLowerMacro = 8;

class JogOnFakeCard : public testing::Test {
protected:
    void SetUp() override {
        machine = std::make_unique<CMachine>(fake.Table(), clock, ui);
        ASSERT_TRUE(machine->Connect());
        machine->AxisX().SetControllerAxis(kAxisX);
        machine->AxisY().SetControllerAxis(kAxisY);
        machine->AxisZ().SetControllerAxis(kAxisZ);
        machine->GetCutter().SetControllerAxis(0);
        machine->Jogging().maxJogRate.Set(unit::Inch, timeunit::Minute, 60.0);
        SetMachineMode(*machine, MachineEvents::None(), MachineMode::Jog);
        jogging = std::make_unique<Jogging>(*machine, stick);
        for (std::int16_t axis : {kAxisX, kAxisY, kAxisZ, kCutterAxis})
            fake.statuses[axis] = 0; // moving until a test says otherwise
        fake.ClearCalls();
    }
    void TearDown() override {
        jogging.reset();
        machine.reset();
    }

    // A machine with a tangential cutter on axis 4 with raise macro 7 and lower macro 8.
    void FitCutter() {
        Cutter& cutter = machine->GetCutter();
        cutter.SetControllerAxis(kCutterAxis);
        cutter.SetRaiseMacro(kRaiseMacro);
        cutter.SetLowerMacro(kLowerMacro);
    }

    // The joystick in use with no dead band: full right is raw 65535, half right 49151.
    void UseJoystick(std::int32_t deadband = 0) {
        machine->Jogging().usePcJoystick.Set(1);
        machine->Jogging().joystickDeadband.Set(deadband);
    }

    void Press(std::uint16_t bits) { inputs.buttonBits |= bits; }
    void Release(std::uint16_t bits) { inputs.buttonBits &= static_cast<std::uint16_t>(~bits); }
    void Finish(std::int16_t axis, bool finished = true) {
        fake.statuses[axis] = finished ? kFinishedStatus : 0;
    }

    // One jog update; returns the motion calls it made (velocity, direction, go, stop, moves,
    // macros, blocks), in order.
    std::vector<std::string> Tick() {
        fake.ClearCalls();
        jogging->Update(inputs);
        return MotionCalls();
    }

    std::vector<std::string> MotionCalls() const {
        static const char* const kKept[] = {
            "KelvSetVelocity(",  "KelvDirection(", "KelvGo(",         "KelvStop(",
            "KelvMoveAbsolute(", "KelvMacroCall(", "KelvBlockBegin(", "KelvBlockEnd("};
        std::vector<std::string> kept;
        for (const std::string& call : fake.calls) {
            for (const char* prefix : kKept) {
                if (call.rfind(prefix, 0) == 0)
                    kept.push_back(call);
            }
        }
        return kept;
    }

    std::uint16_t JogState() const { return machine->State().jogState; }

    FakeKelvApi fake;
    ManualClock clock;
    RecordingOperator ui;
    FakeJoystick stick;
    JogInputs inputs;
    std::unique_ptr<CMachine> machine;
    std::unique_ptr<Jogging> jogging;
};

// The three calls that start a jog of axis in direction (1 +, 2 -) at speed.
inline std::vector<std::string> StartCalls(std::int16_t axis, int direction,
                                           const std::string& speed) {
    const std::string a = std::to_string(axis);
    return {"KelvSetVelocity(B, " + a + ", " + speed + ")",
            "KelvDirection(B, " + a + ", " + std::to_string(direction) + ")",
            "KelvGo(B, " + a + ")"};
}

inline std::string StopCall(std::int16_t axis) {
    return "KelvStop(B, " + std::to_string(axis) + ")";
}

inline std::string MacroCall(std::int32_t macro) {
    return "KelvMacroCall(B, " + std::to_string(macro) + ")";
}

} // namespace morvik::test
