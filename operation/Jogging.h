// Jogging: the operator moves X, Y and Z by hand in Jog mode, with the control panel's six jog
// buttons or with the PC joystick, and on a machine with a tangential cutter can jog with the
// cutter lowered and turned to the direction of travel.
//
// MachineOperation owns one Jogging and calls it:
//   - Enter() from Mode > Jog (after the old mode's exit actions), also when Jog is selected
//     again, and from the Jogging setup dialog's OK while in Jog mode;
//   - Update(inputs) from every StatusTick in Jog mode, after the indicators;
//   - ExitAndWait() as the exit action of Jog mode, before the next mode's entry actions,
//     and StopAndConfirm() before the machine document closes (MachineOperation);
//   - Calibrate() from Calibrate > Joystick;
//   - ReleaseAll(inputs) whenever a held jog button's release may be lost (the window is
//     deactivated, a jog button is disabled or hidden, the application closes): a held jog
//     must never run away, so the next Update stops the axis;
//   - CutBoxReleased(wasChecked) from the panel's Cut box;
//   - SelectIncrement / SelectSpeed from the panel's jog selectors (JogSelectors.h);
//   - StopAll(inputs) from the panel's Stop button.
//
// Steps: with an increment chosen, a press of a jog button or key leaves one step request in
// the jog inputs (MachineOperation takes it only while nothing jogs and no request waits, so
// presses never queue); the next update moves that axis by the increment in position mode and
// marks the direction's stopping bit, which the update clears once the axis has finished, like
// the end of a continuous jog. Held controls start no continuous motion while a step is chosen.
//
// Jog state word (MachineState::jogState): per axis and direction a moving and a stopping bit,
// X+ 0x0010/0x0020, X- 0x0040/0x0080, Y+ 0x0100/0x0200, Y- 0x0400/0x0800, Z+ 0x1000/0x2000,
// Z- 0x4000/0x8000. Jog button bits (JogInputs below, MachineState::jogButtons, ButtonBits.h):
// 0x01 X+, 0x02 X-, 0x04 Y+, 0x08 Y-, 0x10 Z+, 0x20 Z-.
#pragma once

#include "controller/StringTable.h"
#include "operation/ButtonBits.h"
#include "operation/Joystick.h"
#include "operation/MachineObserver.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace morvik {

class CMachine;
struct JogDirection; // one axis and sign of the jog table (Jogging.cpp)

// The three jog values of one update, each -1..1 (0: the stick is at rest or not used).
struct JogValues {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

enum class JoystickAxis { X, Y };

// What the operator's hands hold to jog: the panel's jog buttons and the jog keys, each in a
// word of its own (button:: jog bits) so that the mouse watchdog lets go of the buttons only,
// and with a jog step chosen the jog bit of the one press waiting for the next jog update.
// MachineOperation owns it; the buttons and keys set and clear their bits through it.
struct JogInputs {
    std::uint16_t buttonBits = 0;
    std::uint16_t jogKeyBits = 0;
    std::uint16_t stepRequest = 0;
};

class Jogging {
public:
    // The Jog exit polls a stopping axis this often, for as long as the machine's jog rate and
    // deceleration need (CMachine::JogStopWaitMs).
    static constexpr std::uint32_t kStopPollMs = 1;

    Jogging(CMachine& machine, IJoystick& joystick,
            const MachineEvents& events = MachineEvents::None());

    // Deflection of one joystick axis for a raw position: -1..1 with the calibrated centre,
    // extremes, dead band and invert setting of that axis. A hand-edited machine file may hold
    // any JOYSTICKDEADBAND: a band wider than the calibrated travel on a side (above 100) is
    // clamped to that travel, so the whole side reads 0; a negative band counts as 0; a side
    // without travel reads 0. A stick at rest therefore always reads 0.
    double Deflection(JoystickAxis axis, double raw) const;
    // The joystick's three jog values (buttons 1 and 2, lathe rotation); all 0 when the
    // joystick is not used, is being calibrated or cannot be read.
    JogValues ReadJoystick();

    // The jog step of the status cycle: reads the joystick and the panel's jog buttons, starts,
    // steers and stops the axes, turns the cutter, raises and lowers it on the Z button edges.
    // Without operatorInput (the station is busy) neither joystick nor buttons are read: the
    // step runs as if all were let go, so nothing starts and a moving axis is stopped.
    void Update(JogInputs& inputs, bool operatorInput = true);
    // Jog mode entry: when no jog motion is pending the axes (and the cutter) get their jog
    // rates, operating modes and are enabled; then the mode becomes Jog. The caller has run the
    // exit actions of the mode it leaves.
    void Enter();
    // Jog mode exit: the cutter's raise macro as an empty block, then StopAndConfirm. False
    // when an axis never reported finished: it may still be moving, so its stopping bit is
    // kept (the caller stays in Jog mode) and the operator is told with unconfirmedMessage
    // (34204 for a mode change; 0: nobody is told, the caller closes regardless).
    bool ExitAndWait(int unconfirmedMessage = msg::JogStopNotConfirmed);
    // Every moving axis stopped and each stopping axis waited for (wait cursor shown), bounded
    // per axis by what the machine's jog rate and deceleration need; a step under way is cut
    // short. False when an axis never reported finished (its stopping bit is kept); the
    // operator is then told with unconfirmedMessage unless it is 0.
    bool StopAndConfirm(int unconfirmedMessage);
    // Calibrate > Joystick: the three prompts and readings, then the X and Y calibration
    // settings; does nothing unless USEPCJOYSTICK is set. A failed reading (the first check or
    // one after a prompt) shows the message of its status code and changes no setting.
    void Calibrate();
    // Clears the jog button and key bits and the step request; the next Update
    // stops whatever they moved.
    void ReleaseAll(JogInputs& inputs);
    // The Stop button: every held jog control and step request let go, every axis on the card
    // and the cutter stopped; a jogging direction is marked stopping, so that the update waits
    // for the axis to finish.
    void StopAll(JogInputs& inputs);

    // The jog selectors, by index into JogSelectors' tables (an index past the end is ignored).
    void SelectIncrement(std::size_t index);
    void SelectSpeed(std::size_t index);
    std::size_t IncrementIndex() const { return incrementIndex_; }
    std::size_t SpeedIndex() const { return speedIndex_; }
    // The chosen step in the default length unit; 0 for continuous jogging.
    double Increment() const;
    // True when the machine's maximum jog rate is 0: nothing can be jogged.
    bool RateIsZero() const;
    // True when the jog bit's axis is on the card (the press would move an axis).
    bool MovesAxis(std::uint16_t jogBit) const;
    // The Cut box as the mouse button comes up on it: wasChecked means it is being cleared
    // (cutter-down flag cleared and, in Jog mode, the cutter raised); otherwise the flag is set.
    void CutBoxReleased(bool wasChecked);

private:
    void StepDirection(const JogDirection& dir, double value, std::uint16_t snapshot,
                       std::uint16_t buttons);
    bool MayStart(const JogDirection& dir, bool byButton, std::uint16_t snapshot);
    bool TurnCutter(const JogDirection& dir, std::uint16_t snapshot);
    void StartMotion(const JogDirection& dir, double value, bool deflected);
    void RaiseLowerOnZEdges(std::uint16_t previous, std::uint16_t buttons);
    bool StopAndWait(int axisIndex);
    // The waiting step request of the inputs, if the jog word is clear: true once it is done
    // with (started, or for an axis not on the card); false while the cutter still turns.
    bool StartStep(std::uint16_t request);
    bool Stepping() const;
    void VelocityMode(int axisIndex);
    bool ReadForCalibration(JoystickReading& reading);
    double JogSpeed() const;
    bool HasCutterAxis() const;

    CMachine& machine_;
    IJoystick& joystick_;
    const MachineEvents& events_;
    std::size_t incrementIndex_ = 0;
    std::size_t speedIndex_ = 0;
    int stepDirection_ = -1; // index into the direction table of the step under way
    // Axes a step left in position mode: the next continuous jog puts them back.
    std::array<bool, 3> positionMode_{};
};

} // namespace morvik
