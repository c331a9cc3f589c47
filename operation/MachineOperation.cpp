#include "operation/MachineOperation.h"

#include "operation/ActiveModes.h"

#include "controller/ControllerCodes.h"
#include "controller/StringTable.h"
#include "machine/Machine.h"
#include "operation/WorkOffsets.h"
#include "settings/NumberText.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace morvik {

namespace {

struct OverrideRule {
    double limit;
    double MachineState::*stored;
    void (CMachine::*set)(double);
};

// Indexed by OverrideField: Feed, Rapid, Spindle.
constexpr std::array<OverrideRule, kOverrideCount> kOverrideRules = {{
    {MachineOperation::kFeedOverrideLimit, &MachineState::feedOverride, &CMachine::SetFeedOverride},
    {MachineOperation::kRapidOverrideLimit, &MachineState::rapidOverride,
     &CMachine::SetRapidOverride},
    {MachineOperation::kSpindleOverrideLimit, &MachineState::spindleOverride,
     &CMachine::SetSpindleOverride},
}};

const OverrideRule* RuleOf(OverrideField which) {
    const auto index = static_cast<std::size_t>(which);
    return index < kOverrideRules.size() ? &kOverrideRules[index] : nullptr;
}

// The field's text for a fraction: "%3.0f" of the percentage (1.0 shows "100", 0.5 " 50").
std::string PercentText(double fraction) {
    char buffer[30] = {};
    std::snprintf(buffer, sizeof buffer, "%3.0f", fraction * 100.0);
    return buffer;
}

// True when the text starts with a decimal number: blanks, an optional sign, then a digit or
// a point followed by a digit ("80%", " 75.4", "-5", "1e3"; not "", "abc", "-", "inf").
bool OffersNumber(const std::string& text) {
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos)
        return false;
    if (text[at] == '+' || text[at] == '-')
        ++at;
    const auto digit = [&text](std::size_t i) {
        return i < text.size() && text[i] >= '0' && text[i] <= '9';
    };
    return digit(at) || (at < text.size() && text[at] == '.' && digit(at + 1));
}

} // namespace

MachineOperation::MachineOperation(CMachine& machine, IJoystick& joystick)
    : machine_(machine), jogging_(machine, joystick, events_), view_(machine),
      modes_(machine, jogging_, events_), program_(machine, events_), external_(machine),
      cycle_(machine, jogInputs_, view_, jogging_, external_, *this, events_),
      info_(machine, events_), mdi_(machine), holdWatch_(machine.Clock()) {
    events_.Attach(info_);
    events_.Attach(mdi_);
}

// ---- Modes ----

void MachineOperation::SelectRun() {
    Select(&ModeControl::SelectRun);
}
void MachineOperation::SelectMdi() {
    Select(&ModeControl::SelectMdi);
}
void MachineOperation::SelectJog() {
    Select(&ModeControl::SelectJog);
}
void MachineOperation::SelectHome() {
    Select(&ModeControl::SelectHome);
}

// A jog button held when the machine leaves Jog mode would start its axis the moment Jog mode
// is entered again; its release no longer matters, so it is let go with the mode.
void MachineOperation::Select(void (ModeControl::*select)()) {
    if (!Live())
        return;
    // The whole selection is one operation: a message from an exit is shown once it is over.
    CardOperation operation(machine_.Gate());
    (modes_.*select)();
    if (machine_.State().Mode() != MachineMode::Jog)
        jogging_.ReleaseAll(jogInputs_);
    if (machine_.State().Mode() != MachineMode::Mdi)
        mdi_.Left();
}

// ---- Cycle commands ----

void MachineOperation::Start() {
    if (!Live())
        return;
    if (machine_.State().Mode() == MachineMode::Home)
        modes_.StartHoming();
    else if (machine_.State().Mode() == MachineMode::Run) {
        NameModesLeftInForce();
        program_.RunStart();
    }
}

void MachineOperation::Block() {
    if (Live() && machine_.State().Mode() == MachineMode::Run) {
        NameModesLeftInForce();
        program_.RunBlock();
    }
}

// A part program about to start from its first line, on a card whose modes an MDI block or an
// earlier program left other than they are when the card is switched on: the message line
// names them before the program moves, for a program that does not set them itself.
void MachineOperation::NameModesLeftInForce() {
    const MachineSnapshot& now = cycle_.Snapshot();
    const MachineState& state = machine_.State();
    if (!state.partLoaded || !now.cardModes)
        return;
    const std::uint32_t status = now.programStatus.value_or(0);
    const bool fromTheTop =
        state.partReplaced || ((status & psw::Ready) != 0 && (status & psw::Paused) == 0);
    if (!fromTheTop)
        return;
    const std::string left = ModesLeftInForce(*now.cardModes, DefaultUnitsInch(machine_));
    if (!left.empty())
        info_.Notice(MessageText(msg::ModesLeftInForce) + " " + left);
}

void MachineOperation::FeedHold() {
    if (Live() && machine_.State().Mode() == MachineMode::Run)
        program_.RunFeedHold();
}

// ---- Options, View, Setup ----

void MachineOperation::ToggleBlockSkip() {
    if (Live())
        external_.ToggleBlockSkip();
}

void MachineOperation::ToggleDryRun() {
    if (Live())
        external_.ToggleDryRun();
}

void MachineOperation::SetPositionReadout(PositionReadout readout) {
    if (Live())
        machine_.State().positionReadout = readout;
}

void MachineOperation::ToggleWorkReadouts() {
    if (Live())
        machine_.State().workReadouts = !machine_.State().workReadouts;
}

bool MachineOperation::WorkReadoutsChecked() const {
    return machine_.State().workReadouts;
}

bool MachineOperation::SetWorkZero(std::size_t axis) {
    if (!WorkZeroEnabled(axis))
        return false;
    CardOperation operation(machine_.Gate());
    Axis& which = machine_.Axes()[axis];
    const bool current = machine_.State().positionReadout == PositionReadout::Current;
    const double position = current ? which.GetPosition() : which.GetOptimal();
    const MachineSnapshot& now = cycle_.Snapshot();
    double toolLength = now.toolLength;
    if (axis == 2) {
        // Z's zero lies the tool length in force below the spindle's position: the card's
        // length, after whatever MDI blocks and programs changed tools and G43/G49. A card
        // that does not say is not guessed for.
        const std::optional<CardModes> modes = ReadCardModes(machine_.Controller());
        if (!modes) {
            info_.Notice(MessageText(msg::WorkZeroToolLengthUnknown));
            return false;
        }
        toolLength = modes->toolLength;
        info_.Notice(MessageText(msg::WorkZeroToolLength) + " " + ToolLengthText(*modes, machine_));
    }
    const int workSystem = now.cardModes ? now.cardModes->workSystem : now.workSystem;
    StoreWorkZero(machine_, axis, position, workSystem, toolLength);
    // A file that could not be written, or a card that did not answer, has told the operator;
    // the value is kept all the same, as a setup dialog keeps what it stored.
    machine_.DownloadWorkCoordinates();
    machine_.SetModifiedFlag();
    return true;
}

// An axis that is jogging, or stopping, would move its zero with it.
bool MachineOperation::WorkZeroEnabled(std::size_t axis) const {
    constexpr std::uint16_t kJogStateBits = 0xfff0;
    return Live() && axis < kWorkAxisCount && machine_.State().Mode() == MachineMode::Jog &&
           !machine_.Gate().Busy() && (machine_.State().jogState & kJogStateBits) == 0 &&
           machine_.Axes()[axis].ControllerAxis() != 0;
}

void MachineOperation::ViewProgram() {
    if (Live())
        view_.Toggle(ProgramViewKind::Program);
}

void MachineOperation::ViewMessages() {
    if (Live())
        view_.Toggle(ProgramViewKind::Messages);
}

void MachineOperation::ToggleStatusDisplay() {
    if (!Live())
        return;
    if (StatusDisplayOpen())
        CloseMachineView(machine_, ViewKind::StatusDisplay);
    else
        OpenMachineView(machine_, ViewKind::StatusDisplay);
}

void MachineOperation::ApplyHomingSettings(int macro, int suppress) {
    if (Live())
        modes_.ApplyHomingSettings(macro, suppress);
}

// ---- File and Calibrate ----

LoadResult MachineOperation::LoadFromFile() {
    return Live() ? program_.LoadFromFile() : LoadResult::Cancelled;
}

LoadResult MachineOperation::LoadFromLines(const std::vector<std::string>& lines,
                                           const std::string& path) {
    return Live() ? program_.LoadFromLines(lines, path) : LoadResult::Cancelled;
}

LoadResult MachineOperation::Restart() {
    return Live() ? program_.Restart() : LoadResult::Cancelled;
}

void MachineOperation::CalibrateJoystick() {
    if (Live())
        jogging_.Calibrate();
}

// ---- MDI panel ----

MdiResult MachineOperation::SendMdiBlock(const std::string& block) {
    if (!Live())
        return MdiResult::NotInMdiMode;
    const MdiResult result = mdi_.Send(block);
    if (result == MdiResult::Sent)
        cycle_.MdiBlockStarted();
    return result;
}

// ---- Control panel ----

void MachineOperation::JogButtonPressed(std::uint16_t bit) {
    if (JogPress(bit, jogInputs_.buttonBits))
        holdWatch_.ButtonPressed();
}

void MachineOperation::JogButtonReleased(std::uint16_t bit) {
    jogInputs_.buttonBits &= static_cast<std::uint16_t>(~(bit & button::kJogMask));
}

void MachineOperation::JogKeyPressed(PanelAction action) {
    // A key pressed inside an operation's wait or a modal window is not the operator's ask to
    // jog once the wait is over.
    const std::uint16_t bit = JogBitOf(action);
    if (!machine_.Gate().Busy() && JogPress(bit, jogInputs_.jogKeyBits))
        holdWatch_.KeyPressed(bit);
}

void MachineOperation::JogKeyRepeated(PanelAction action) {
    holdWatch_.KeyRepeated(static_cast<std::uint16_t>(JogBitOf(action) & jogInputs_.jogKeyBits));
}

MachineOperation::LetGo MachineOperation::CheckJogHolds(bool pointerUnknown) {
    LetGo letGo;
    if (!Live())
        return letGo;
    int why = 0;
    if (const std::uint16_t keys = holdWatch_.ExpiredKeys(jogInputs_.jogKeyBits)) {
        jogInputs_.jogKeyBits &= static_cast<std::uint16_t>(~keys);
        letGo.keys = true;
        why = msg::JogKeyRepeatsStopped;
    }
    const bool buttonsHeld = (jogInputs_.buttonBits & button::kJogMask) != 0;
    if (pointerUnknown && buttonsHeld && holdWatch_.ButtonHoldExpired()) {
        ReleaseJogButtonsOnly();
        letGo.buttons = true;
        why = msg::JogMouseHoldLimit;
    }
    if (why != 0) {
        machine_.Operator().ShowStatusText(why);
        info_.JogNote(why);
    }
    return letGo;
}

void MachineOperation::JogKeyReleased(PanelAction action) {
    jogInputs_.jogKeyBits &= static_cast<std::uint16_t>(~JogBitOf(action));
}

bool MachineOperation::JogPress(std::uint16_t bit, std::uint16_t& held) {
    bit &= button::kJogMask;
    if (!Live() || bit == 0)
        return false;
    const bool jogMode = machine_.State().Mode() == MachineMode::Jog;
    if (jogMode && jogging_.MovesAxis(bit) && jogging_.RateIsZero()) {
        machine_.Operator().ShowStatusText(msg::JogRateIsZero);
        return false;
    }
    held |= bit;
    info_.ClearJogNote();
    const bool stepIdle = machine_.State().jogState == 0 && jogInputs_.stepRequest == 0;
    if (jogMode && jogging_.Increment() > 0.0 && stepIdle)
        jogInputs_.stepRequest = bit;
    return true;
}

void MachineOperation::ReleaseJogButtonsOnly() {
    jogInputs_.buttonBits &= static_cast<std::uint16_t>(~button::kJogMask);
}

void MachineOperation::ReleaseJogKeys() {
    jogInputs_.jogKeyBits = 0;
}

void MachineOperation::SelectJogIncrement(std::size_t index) {
    if (Live())
        jogging_.SelectIncrement(index);
}

void MachineOperation::SelectJogSpeed(std::size_t index) {
    if (Live())
        jogging_.SelectSpeed(index);
}

void MachineOperation::StopAll() {
    if (!Live())
        return;
    CardOperation operation(machine_.Gate());
    // A homing macro stopped before its end leaves the machine not homed.
    if (machine_.State().homingUnderWay && machine_.Homing().homingMacro.Get() != 0) {
        machine_.State().homingUnderWay = false;
        machine_.State().homed = false;
    }
    // Whoever started it (Start, MDI, a homing macro): the card's program is aborted.
    const bool aborted = machine_.Controller().AbortProgramAndWait(machine_.AbortWaitMs());
    if (aborted)
        machine_.State().programStarted = false;
    jogging_.StopAll(jogInputs_);
    // A card that did not confirm the abort has told the operator so; "stopped" would be a lie.
    if (aborted)
        machine_.Operator().ShowStatusText(msg::StoppedByOperator);
}

void MachineOperation::ReleaseAllJogButtons() {
    jogging_.ReleaseAll(jogInputs_);
}

bool MachineOperation::StopJoggingBeforeClose() {
    jogging_.ReleaseAll(jogInputs_);
    if (!Live() || machine_.State().Mode() != MachineMode::Jog)
        return true;
    CardOperation operation(machine_.Gate());
    return jogging_.StopAndConfirm(msg::JogStopNotConfirmedOnClose);
}

void MachineOperation::CutBoxReleased(bool wasChecked) {
    if (Live())
        jogging_.CutBoxReleased(wasChecked);
}

void MachineOperation::ZeroAxisReadout(int axis0to2) {
    if (Live())
        modes_.ZeroAxisReadout(axis0to2);
}

void MachineOperation::SetOverride(OverrideField which, double fraction) {
    const OverrideRule* rule = RuleOf(which);
    if (!Live() || rule == nullptr)
        return;
    // Not a number (an overflowing text, say) is no override at all.
    const double value = fraction > 0.0 ? std::min(fraction, rule->limit) : 0.0;
    (machine_.*(rule->set))(value);
}

bool MachineOperation::OverrideTextEntered(OverrideField which, const std::string& text) {
    const OverrideRule* rule = RuleOf(which);
    if (!Live() || rule == nullptr)
        return false;
    // A slip of the keyboard must not stall the feed or change it to a value nobody typed:
    // the field shows the value in force again.
    const double fraction = OffersNumber(text) ? ParseLeadingDouble(text) / 100.0 : -1.0;
    if (!(fraction >= 0.0 && fraction <= rule->limit))
        return false;
    SetOverride(which, fraction);
    return true;
}

void MachineOperation::StepOverride(OverrideField which, int lines) {
    const OverrideRule* rule = RuleOf(which);
    if (rule != nullptr)
        SetOverride(which, machine_.State().*(rule->stored) + lines * kOverrideStep);
}

std::string MachineOperation::OverrideText(OverrideField which) const {
    const OverrideRule* rule = RuleOf(which);
    return rule != nullptr ? PercentText(machine_.State().*(rule->stored)) : std::string();
}

// ---- Timer and idle ----

void MachineOperation::StatusTick() {
    cycle_.Tick();
}

bool MachineOperation::IdleDrain() {
    return cycle_.IdleDrain();
}

// ---- Update rules ----

bool MachineOperation::ModeChecked(MachineMode mode) const {
    return machine_.State().Mode() == mode;
}

bool MachineOperation::ReadoutChecked(PositionReadout readout) const {
    return machine_.State().positionReadout == readout;
}

bool MachineOperation::StatusDisplayOpen() const {
    return machine_.State().views.Has(ViewKind::StatusDisplay);
}

bool MachineOperation::CalibrateEnabled() const {
    return machine_.Jogging().usePcJoystick.Get() != 0;
}

bool MachineOperation::Live() const {
    return currentMachine == &machine_;
}

// As the last tick's status word says, once a Run-mode tick has read it.
bool MachineOperation::CycleButtonsEnabled() const {
    const MachineSnapshot& now = cycle_.Snapshot();
    return machine_.State().Mode() == MachineMode::Run && now.mode == MachineMode::Run &&
           (now.programStatus.value_or(0) & psw::Startable) != 0;
}

} // namespace morvik
