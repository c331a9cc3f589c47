#include "operation/MachineInfo.h"

#include "controller/ControllerCodes.h"
#include "controller/StringTable.h"
#include "machine/Machine.h"
#include "operation/SnapshotTexts.h"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace morvik {

namespace {

constexpr const char* kAxisLetters[] = {"X", "Y", "Z"};
// How near its soft limit an axis stopped by an error must stand for the limit to be named:
// the card stops at the limit, and reads the position back in whole encoder counts.
constexpr double kAtLimitTolerance = 1e-3;

const char* HomedText(HomedLamp lamp) {
    switch (lamp) {
    case HomedLamp::Homing:
        return "Homing";
    case HomedLamp::Homed:
        return "Homed";
    case HomedLamp::NotHomed:
        break;
    }
    return "Not homed";
}

HomedLamp HomedOf(const MachineSnapshot& snapshot) {
    if (snapshot.homing)
        return HomedLamp::Homing;
    return snapshot.homed ? HomedLamp::Homed : HomedLamp::NotHomed;
}

// True when the axis stands at or beyond one of its soft limits (an axis without limits,
// lower not below upper, has none).
bool AtSoftLimit(const CMachine& machine, std::size_t axis, double position) {
    const Axis& which = machine.Axes()[axis];
    const int unit = machine.DefaultUnitSystem().lengthUnit;
    const double lower = which.LowerLimit().ValueIn(unit);
    const double upper = which.UpperLimit().ValueIn(unit);
    if (!(lower < upper))
        return false;
    return position <= lower + kAtLimitTolerance || position >= upper - kAtLimitTolerance;
}

// A reading's text without the blanks the readout formats pad it with.
std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

} // namespace

MachineInfo::MachineInfo(CMachine& machine, const MachineEvents& events)
    : machine_(machine), events_(events) {}

void MachineInfo::Announce() {
    if (texts_ == announced_)
        return;
    announced_ = texts_;
    events_.InfoTexts(texts_);
}

void MachineInfo::OnSnapshot(const MachineSnapshot& snapshot) {
    partErrorThisTick_ = false;
    if (messageKind_ == MessageKind::Safety && snapshot.safetyBits == 0) {
        messageKind_ = MessageKind::None;
        texts_.message.clear();
    }
    FollowRun(snapshot);
    FollowAxisErrors(snapshot);
    texts_.homed = HomedOf(snapshot);
    texts_.homedText = HomedText(texts_.homed);
    texts_.progress = ProgressText(snapshot);
    texts_.spindle = SpindleText(snapshot);
    texts_.mode = ModeText(snapshot);
    texts_.coordinates = snapshot.workReadouts ? "Work G" + std::to_string(54 + snapshot.workSystem)
                                               : std::string("Machine");
    Announce();
}

void MachineInfo::OnModeChanged(MachineMode from, MachineMode to) {
    if (from == MachineMode::Run && to != MachineMode::Run)
        ForgetRun();
}

void MachineInfo::OnProgramLoaded(const std::string& /*path*/, std::int32_t /*number*/) {
    ForgetRun();
    ForgetPartError();
}

void MachineInfo::OnProgramStarted(std::int32_t /*number*/) {
    runStart_ = machine_.Clock().NowMs();
    runEnd_.reset();
    lastCardLine_.clear();
    errorLine_.clear();
    ForgetPartError();
}

void MachineInfo::ForgetRun() {
    runStart_.reset();
    runEnd_.reset();
}

void MachineInfo::ForgetPartError() {
    if (messageKind_ == MessageKind::PartError) {
        messageKind_ = MessageKind::None;
        texts_.message.clear();
    }
    Announce();
}

void MachineInfo::OnPartError(std::uint32_t /*errorBits*/, const std::string& reason) {
    if (runStart_ && !runEnd_)
        runEnd_ = machine_.Clock().NowMs();
    errorReason_ = reason;
    messageKind_ = MessageKind::PartError;
    partErrorThisTick_ = true;
    ShowPartError();
    Announce();
}

void MachineInfo::OnSafetyStop(std::uint32_t /*active*/, std::uint32_t /*rising*/,
                               const std::string& reason) {
    // The program it stopped has just said so, with the card's own line.
    if (partErrorThisTick_)
        return;
    messageKind_ = MessageKind::Safety;
    texts_.message = MessageText(msg::MachineStopped) + " " + reason;
    Announce();
}

void MachineInfo::OnCardLine(const std::string& line) {
    if (line.find_first_not_of(" \t") == std::string::npos)
        return;
    lastCardLine_ = line;
    // The card's own words for a part error, not the echo of a block after them.
    if (line.starts_with(code::PartErrorLine))
        errorLine_ = line;
    if (messageKind_ == MessageKind::PartError) {
        ShowPartError();
        Announce();
    }
}

std::string MachineInfo::ElapsedText(std::uint64_t ms) {
    const std::uint64_t seconds = ms / 1000;
    char buffer[40] = {};
    std::snprintf(buffer, sizeof buffer, "%llu:%02u:%02u",
                  static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
    return buffer;
}

// A run is over when the status word no longer shows it under way, or Run mode was left.
void MachineInfo::FollowRun(const MachineSnapshot& snapshot) {
    const bool underWay = snapshot.programStatus && (*snapshot.programStatus & psw::RunUnderWay);
    if (!runStart_ || runEnd_ || underWay)
        return;
    // Stopped by the operator: its line no longer tells anything about what is loaded.
    const std::uint32_t ended = psw::Finished | psw::ErrorBits;
    if (snapshot.mode == MachineMode::Run && snapshot.programStatus &&
        (*snapshot.programStatus & ended) == 0) {
        ForgetRun();
        return;
    }
    runEnd_ = machine_.Clock().NowMs();
}

void MachineInfo::FollowAxisErrors(const MachineSnapshot& snapshot) {
    for (std::size_t axis = 0; axis < axisErrors_.size(); ++axis) {
        const AxisReading& reading = snapshot.axes[axis];
        const bool error = snapshot.mode == MachineMode::Jog && reading.error.value_or(false);
        // A machine stopped by its safety inputs says that first.
        if (error && !axisErrors_[axis] && messageKind_ != MessageKind::Safety) {
            const bool atLimit = AtSoftLimit(machine_, axis, reading.Shown());
            messageKind_ = MessageKind::Axis;
            texts_.message = MessageText(atLimit ? msg::SoftLimitReached : msg::AxisErrorOn) + " " +
                             kAxisLetters[axis];
        } else if (!error && axisErrors_[axis] && messageKind_ == MessageKind::Axis &&
                   texts_.message.ends_with(kAxisLetters[axis])) {
            messageKind_ = MessageKind::None;
            texts_.message.clear();
        }
        axisErrors_[axis] = error;
    }
}

void MachineInfo::Notice(const std::string& text) {
    messageKind_ = MessageKind::Notice;
    texts_.message = text;
    Announce();
}

void MachineInfo::JogNote(int id) {
    if (messageKind_ != MessageKind::None && messageKind_ != MessageKind::JogNote &&
        messageKind_ != MessageKind::Notice)
        return;
    messageKind_ = MessageKind::JogNote;
    texts_.message = MessageText(id);
    Announce();
}

void MachineInfo::ClearJogNote() {
    if (messageKind_ != MessageKind::JogNote)
        return;
    messageKind_ = MessageKind::None;
    texts_.message.clear();
    Announce();
}

void MachineInfo::ShowPartError() {
    texts_.message = MessageText(msg::ProgramStopped) + " " + errorReason_;
    const std::string& card = errorLine_.empty() ? lastCardLine_ : errorLine_;
    if (!card.empty())
        texts_.message += " - " + card;
}

std::string MachineInfo::ProgressText(const MachineSnapshot& snapshot) const {
    if (!snapshot.partLoaded)
        return std::string();
    const std::string count = std::to_string(snapshot.partLineCount);
    if (!runStart_ || snapshot.lastLine == 0 || snapshot.mode != MachineMode::Run)
        return "O" + std::to_string(snapshot.programNumber) + ": " + count + " lines";
    const std::uint64_t end = runEnd_ ? *runEnd_ : machine_.Clock().NowMs();
    return "Line " + std::to_string(snapshot.lastLine) + " of " + count + "  " +
           ElapsedText(end - *runStart_);
}

std::string MachineInfo::ModeText(const MachineSnapshot& snapshot) {
    std::string text = snapshot.mode == MachineMode::None
                           ? std::string("No mode")
                           : std::string(MachineModeName(snapshot.mode)) + " mode";
    if (snapshot.dryRunOn)
        text += "  Dry run";
    if (snapshot.blockSkipOn)
        text += "  Block skip";
    return text;
}

std::string MachineInfo::SpindleText(const MachineSnapshot& snapshot) const {
    std::string text;
    if (snapshot.cardModes || (snapshot.partLoaded && snapshot.mode == MachineMode::Run)) {
        char speed[40] = {};
        std::snprintf(speed, sizeof speed, "%.0f", snapshot.commandedSpeed);
        const char* direction = snapshot.spindleDirection > 0   ? " CW"
                                : snapshot.spindleDirection < 0 ? " CCW"
                                                                : " off";
        text = std::string("S ") + speed + direction;
    }
    if (snapshot.spindleSpeed) {
        const std::string actual =
            Trimmed(FormatReadout(machine_.GetSpindle().DisplayFormat(), *snapshot.spindleSpeed));
        text += (text.empty() ? "" : "  ") + std::string("actual ") + actual;
    }
    return text;
}

} // namespace morvik
