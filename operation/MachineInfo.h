// What the control panel's information strip says beyond the readouts and lamps: whether the
// machine is homed, a message line, the progress of the running program, the commanded spindle
// speed beside the measured one and which coordinates the readouts show.
//
// MachineInfo is an observer of the machine (MachineObserver.h): it follows the snapshot of
// every tick and the program's events, keeps the little the snapshot cannot hold (when the run
// started, the card's last line of text, the message shown), and makes the texts, which it
// announces to the observers whenever they change (OnInfoTexts): the panel only shows them.
// MachineOperation owns one, attached to its events before anyone else.
//
// The message line:
//   - a part error (any error bit of the program status word coming on) says "Program
//     stopped:" with the reason from the status word and the card's last line of text, which
//     the card sends as its message for the error; it stays until the next run starts;
//   - an emergency stop or a drive fault coming on, in any mode, says "Machine stopped:" with
//     its reason (unless a part error of the same tick already said it for the program); it
//     goes once no safety input stands any more;
//   - in Jog mode an axis error coming on says which axis: "Soft limit reached on axis X" when
//     the axis stands at (or beyond) one of its soft limits, else "Axis error on axis X"; it
//     goes once that axis's error is gone;
//   - a held jog let go because the operator's hand could no longer be confirmed (JogNote):
//     why it stopped; it goes when the next jog is asked for, and gives way to the two above;
//   - a notice of the station's own (Notice), until another message takes its place (a jog
//     note among them).
// The progress: with a program loaded and not yet run, its number and line count; from its
// start on, the line the card runs (the last one seen once the run is over), the line count and
// the time since the station saw it start, on the machine's clock, frozen when the run ends.
// What it shows belongs to the program loaded now: a run stopped by the operator (neither
// finished nor failed), leaving Run mode and loading a program go back to the number and line
// count; loading a program also takes away the part error of the one before.
// The mode: the machine's mode by name, and while they are on the options that make a run do
// less than its text says ("Run mode  Dry run  Block skip").
// The spindle: the speed and direction in force, from the card's modes where the tick read them
// (Run, MDI and Jog mode), else from the program's text while a program is loaded in Run mode.
#pragma once

#include "operation/MachineInfoTexts.h"
#include "operation/MachineObserver.h"
#include "operation/MachineSnapshot.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace morvik {

class CMachine;

class MachineInfo : public MachineObserver {
public:
    // The texts are announced through events (nobody is told with None()).
    explicit MachineInfo(CMachine& machine, const MachineEvents& events = MachineEvents::None());

    const MachineInfoTexts& Texts() const { return texts_; }

    void OnSnapshot(const MachineSnapshot& snapshot) override;
    void OnModeChanged(MachineMode from, MachineMode to) override;
    void OnProgramLoaded(const std::string& path, std::int32_t number) override;
    void OnProgramStarted(std::int32_t number) override;
    void OnPartError(std::uint32_t errorBits, const std::string& reason) override;
    void OnSafetyStop(std::uint32_t active, std::uint32_t rising,
                      const std::string& reason) override;
    void OnCardLine(const std::string& line) override;
    // A line of the station's own on the message line (the modes left in force at Start, what
    // touch-off subtracted); it stays until another message takes its place.
    void Notice(const std::string& text);

    // A held jog was let go without a release: the message line says why (message id), unless
    // it shows a part error or an axis error. ClearJogNote takes it away again.
    void JogNote(int id);
    void ClearJogNote();

    // "H:MM:SS" of a time in milliseconds (whole seconds, cut).
    static std::string ElapsedText(std::uint64_t ms);

private:
    enum class MessageKind { None, PartError, Axis, Safety, JogNote, Notice };

    void FollowRun(const MachineSnapshot& snapshot);
    void FollowAxisErrors(const MachineSnapshot& snapshot);
    void ShowPartError();
    void ForgetRun();
    void ForgetPartError();
    // The texts to the observers, when they differ from those last announced.
    void Announce();
    std::string ProgressText(const MachineSnapshot& snapshot) const;
    std::string SpindleText(const MachineSnapshot& snapshot) const;
    static std::string ModeText(const MachineSnapshot& snapshot);

    CMachine& machine_;
    const MachineEvents& events_;
    MachineInfoTexts texts_;
    MachineInfoTexts announced_;
    // The run: when it started and, once it is over, when it ended.
    std::optional<std::uint64_t> runStart_;
    std::optional<std::uint64_t> runEnd_;
    std::string lastCardLine_; // the card's last line of text that was not blank
    std::string errorLine_;    // the card's line for a part error since the run started
    std::string errorReason_;
    MessageKind messageKind_ = MessageKind::None;
    bool partErrorThisTick_ = false;   // announced since the last snapshot
    std::array<bool, 3> axisErrors_{}; // X, Y, Z on the last Jog-mode tick
};

} // namespace morvik
