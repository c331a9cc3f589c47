#include "operation/MachineOperation.h"

#include "controller/ControllerCodes.h"
#include "machine/Machine.h"
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
std::string OverrideText(double fraction) {
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

// The jog buttons by control id and the bit each one holds.
constexpr std::array<std::pair<int, std::uint16_t>, 6> kJogButtons = {{
    {control::kJogXPlus, button::kXPlus},
    {control::kJogXMinus, button::kXMinus},
    {control::kJogYPlus, button::kYPlus},
    {control::kJogYMinus, button::kYMinus},
    {control::kJogZPlus, button::kZPlus},
    {control::kJogZMinus, button::kZMinus},
}};

std::uint16_t JogBitOf(int controlId) {
    for (const auto& [id, bit] : kJogButtons) {
        if (id == controlId)
            return bit;
    }
    return 0;
}

} // namespace

MachineOperation::MachineOperation(CMachine& machine, ControlPanelState& panel, IJoystick& joystick)
    : machine_(machine), panel_(panel), jogging_(machine, joystick, events_), view_(machine),
      modes_(machine, jogging_, events_), program_(machine, events_), external_(machine),
      cycle_(machine, panel, view_, jogging_, external_, *this, events_), mdi_(machine) {
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
    if (machine_.State().mode != MachineMode::Jog)
        jogging_.ReleaseAll(panel_);
    if (machine_.State().mode != MachineMode::Mdi)
        mdi_.Left();
}

// ---- Cycle commands ----

void MachineOperation::Start() {
    if (!Live())
        return;
    if (machine_.State().mode == MachineMode::Home)
        modes_.StartHoming();
    else if (machine_.State().mode == MachineMode::Run)
        program_.RunStart();
}

void MachineOperation::Block() {
    if (Live() && machine_.State().mode == MachineMode::Run)
        program_.RunBlock();
}

void MachineOperation::FeedHold() {
    if (Live() && machine_.State().mode == MachineMode::Run)
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

void MachineOperation::ButtonPressed(int controlId) {
    switch (controlId) {
    case control::kStart:
        Start();
        return;
    case control::kBlock:
        Block();
        return;
    case control::kFeedHold:
        FeedHold();
        return;
    case control::kAxisX:
        ZeroAxisReadout(0);
        return;
    case control::kAxisY:
        ZeroAxisReadout(1);
        return;
    case control::kAxisZ:
        ZeroAxisReadout(2);
        return;
    default:
        JogButtonPressed(JogBitOf(controlId));
        return;
    }
}

void MachineOperation::ButtonReleased(int controlId, bool wasChecked) {
    if (controlId == control::kCutBox)
        CutBoxReleased(wasChecked);
    else
        JogButtonReleased(JogBitOf(controlId));
}

void MachineOperation::JogButtonPressed(std::uint16_t bit) {
    if (Live())
        panel_.buttonBits |= static_cast<std::uint16_t>(bit & button::kJogMask);
}

void MachineOperation::JogButtonReleased(std::uint16_t bit) {
    panel_.buttonBits &= static_cast<std::uint16_t>(~(bit & button::kJogMask));
}

void MachineOperation::ReleaseAllJogButtons() {
    jogging_.ReleaseAll(panel_);
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
    panel_.overrideTexts[static_cast<std::size_t>(which)] = OverrideText(value);
    (machine_.*(rule->set))(value);
}

bool MachineOperation::OverrideTextEntered(OverrideField which, const std::string& text) {
    const OverrideRule* rule = RuleOf(which);
    if (!Live() || rule == nullptr)
        return false;
    if (!OffersNumber(text)) {
        // A slip of the keyboard must not stall the feed: the field shows the value in force.
        panel_.overrideTexts[static_cast<std::size_t>(which)] =
            OverrideText(machine_.State().*(rule->stored));
        return false;
    }
    SetOverride(which, ParseLeadingDouble(text) / 100.0);
    return true;
}

void MachineOperation::StepOverride(OverrideField which, int lines) {
    const OverrideRule* rule = RuleOf(which);
    if (rule != nullptr)
        SetOverride(which, machine_.State().*(rule->stored) + lines * kOverrideStep);
}

void MachineOperation::FillOverrideTexts() {
    if (!Live())
        return;
    for (std::size_t i = 0; i < kOverrideCount; ++i)
        panel_.overrideTexts[i] = OverrideText(machine_.State().*(kOverrideRules[i].stored));
    panel_.skipOverridesOnce = false;
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
    return machine_.State().mode == mode;
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

bool MachineOperation::IsControlEnabled(int controlId) const {
    switch (controlId) {
    case control::kStart:
        return Live() && (machine_.State().mode == MachineMode::Home || CycleButtonsEnabled());
    case control::kBlock:
    case control::kFeedHold:
        return Live() && CycleButtonsEnabled();
    case control::kMdiCommandLine:
    case control::kMdiCompose:
        return Live() && machine_.State().mode == MachineMode::Mdi;
    case control::kAxisS:
    case control::kSpindleCw:
    case control::kSpindleCcw:
    case control::kSpindleStop:
        return false; // nothing to do for them
    default:
        return JogControlEnabled(controlId);
    }
}

bool MachineOperation::Live() const {
    return currentMachine == &machine_;
}

bool MachineOperation::CycleButtonsEnabled() const {
    return machine_.State().mode == MachineMode::Run &&
           (panel_.programStatus & psw::Startable) != 0;
}

// The readout zero and jog buttons: in Jog mode, for an axis on the card; Z+ and Z- also for
// a cutter whose raise or lower macro they run. Any other control is always enabled.
bool MachineOperation::JogControlEnabled(int controlId) const {
    const auto fitted = [](const auto& component) { return component.ControllerAxis() != 0; };
    const Cutter& cutter = machine_.GetCutter();
    bool onCard;
    switch (controlId) {
    case control::kAxisX:
    case control::kJogXPlus:
    case control::kJogXMinus:
        onCard = fitted(machine_.AxisX());
        break;
    case control::kAxisY:
    case control::kJogYPlus:
    case control::kJogYMinus:
        onCard = fitted(machine_.AxisY());
        break;
    case control::kAxisZ:
        onCard = fitted(machine_.AxisZ());
        break;
    case control::kJogZPlus:
        onCard = fitted(machine_.AxisZ()) || (fitted(cutter) && cutter.RaiseMacro() != 0);
        break;
    case control::kJogZMinus:
        onCard = fitted(machine_.AxisZ()) || (fitted(cutter) && cutter.LowerMacro() != 0);
        break;
    default:
        return true;
    }
    return Live() && machine_.State().mode == MachineMode::Jog && onCard;
}

} // namespace morvik
