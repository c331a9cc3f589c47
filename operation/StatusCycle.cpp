#include "operation/StatusCycle.h"

#include "controller/ControllerCodes.h"
#include "machine/Machine.h"
#include "operation/ExternalControls.h"
#include "operation/Jogging.h"
#include "operation/ProgramView.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <string_view>

namespace morvik {

namespace {

// The decoded axis status condition that reports an axis error.
constexpr std::int16_t kAxisErrorCondition = 7;

// The error bits of the program status word; any of them lights the Error indicator.
constexpr std::uint32_t kErrorBits = psw::PartError | psw::EmergencyStop |
                                     psw::ExternalEmergencyStop | psw::DriveFault | psw::MotorError;

// Which status word bits light which indicator in Run mode, in the panel's order.
constexpr std::array<std::uint32_t, kIndicatorCount> kIndicatorBits = {
    psw::Ready, psw::Running, psw::Paused, psw::FeedHold, psw::Finished, kErrorBits};

// True when format is a single printf conversion of one double: flags, width, precision and
// one of f, F, e, E, g, G, with any other text around it ("%%" allowed).
bool TakesOneDouble(const std::string& format) {
    int conversions = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        if (i + 1 < format.size() && format[i + 1] == '%') {
            ++i;
            continue;
        }
        i = format.find_first_not_of("#+- 0123456789.", i + 1);
        if (i == std::string::npos ||
            std::string_view("fFeEgG").find(format[i]) == std::string_view::npos)
            return false;
        ++conversions;
    }
    return conversions == 1;
}

// The C locale for formatting, made once; printf under it writes '.' on any desktop.
locale_t CNumericLocale() {
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

template <class Component> double Position(Component& component, PositionReadout readout) {
    switch (readout) {
    case PositionReadout::Current:
        return component.GetPosition();
    case PositionReadout::Optimal:
        return component.GetOptimal();
    }
    return 0.0;
}

std::string AxisReadout(Axis& axis, PositionReadout readout) {
    if (axis.ControllerAxis() == 0)
        return std::string();
    return FormatReadout(axis.DisplayFormat(), Position(axis, readout));
}

std::string ZReadout(CMachine& machine, PositionReadout readout) {
    if (machine.AxisZ().ControllerAxis() != 0)
        return AxisReadout(machine.AxisZ(), readout);
    Cutter& cutter = machine.GetCutter();
    if (cutter.ControllerAxis() == 0)
        return std::string();
    return FormatReadout(cutter.DisplayFormat(), CutterAngleDegrees(Position(cutter, readout)));
}

std::string SpindleReadout(CMachine& machine) {
    const Spindle& spindle = machine.GetSpindle();
    if (spindle.ControllerAxis() == 0)
        return std::string();
    return FormatReadout(spindle.DisplayFormat(), spindle.GetActualSpeed());
}

} // namespace

std::string FormatReadout(const std::string& format, double value) {
    if (!TakesOneDouble(format))
        return std::string();
    char buffer[256] = {};
    const locale_t previous = uselocale(CNumericLocale());
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(buffer, sizeof buffer, format.c_str(), value);
#pragma GCC diagnostic pop
    uselocale(previous);
    return std::string(buffer, strnlen(buffer, kReadoutTextLimit));
}

double CutterAngleDegrees(double revolutions) {
    double fraction = revolutions - std::floor(revolutions);
    // A tiny negative position rounds up to a whole revolution; that angle is 0, not 360.
    if (!(fraction < 1.0))
        fraction = 0.0;
    return fraction * 360.0;
}

std::array<std::string, kReadoutCount> ReadoutTexts(CMachine& machine) {
    const PositionReadout readout = machine.State().positionReadout;
    // In the order X, Y, Z, S: each position is read from the card as its text is made.
    std::array<std::string, kReadoutCount> texts;
    texts[0] = AxisReadout(machine.AxisX(), readout);
    texts[1] = AxisReadout(machine.AxisY(), readout);
    texts[2] = ZReadout(machine, readout);
    texts[3] = SpindleReadout(machine);
    return texts;
}

StatusCycle::StatusCycle(CMachine& machine, ControlPanelState& panel, ProgramView& view,
                         Jogging& jogging, ExternalControls& external, ICycleCommands& commands)
    : machine_(machine), panel_(panel), view_(view), jogging_(jogging), external_(external),
      commands_(commands) {}

void StatusCycle::Tick() {
    // The machine document is closing (or gone): nothing may reach its card.
    if (currentMachine != &machine_)
        return;
    // While an operation waits on the card or a modal window is open, this tick runs from a
    // nested event loop: it shows the machine but sends nothing that moves it or starts a
    // program (no jog, no joystick, no external Start, Block, Feed hold or switch).
    const bool commandsAllowed = !machine_.Gate().Busy();
    panel_.inputWord = machine_.Controller().ReadDigitalIO();
    UpdateIndicators(commandsAllowed);
    panel_.readouts = ReadoutTexts(machine_);
    panel_.skipOverridesOnce = true;
    if (ReadAndRouteText())
        textPending_ = true;
    external_.Update(panel_, commands_, commandsAllowed);
}

bool StatusCycle::IdleDrain() {
    if (!textPending_ || currentMachine != &machine_)
        return false;
    if (ReadAndRouteText())
        return true;
    textPending_ = false;
    return false;
}

void StatusCycle::UpdateIndicators(bool commandsAllowed) {
    switch (machine_.State().mode) {
    case MachineMode::Run:
        ShowProgramStatus();
        return;
    case MachineMode::Jog:
        ShowAxisErrors();
        jogging_.Update(panel_, commandsAllowed);
        return;
    case MachineMode::Home:
        ShowAxisErrors();
        return;
    case MachineMode::None:
    case MachineMode::Mdi:
        break;
    }
    panel_.indicators.fill(false);
}

void StatusCycle::ShowProgramStatus() {
    panel_.programStatus = machine_.Controller().ProgramStatus();
    for (std::size_t i = 0; i < kIndicatorCount; ++i)
        panel_.indicators[i] = (panel_.programStatus & kIndicatorBits[i]) != 0;
}

void StatusCycle::ShowAxisErrors() {
    const auto failed = [](auto& component) {
        return component.ControllerAxis() != 0 &&
               component.DecodeStatus(component.GetStatus(), kAxisErrorCondition) != 0;
    };
    // Every component is asked, as the card is polled for each one on every tick.
    bool error = false;
    error = failed(machine_.AxisX()) || error;
    error = failed(machine_.AxisY()) || error;
    error = failed(machine_.AxisZ()) || error;
    error = failed(machine_.GetCutter()) || error;
    panel_.indicators.fill(false);
    panel_.indicators[static_cast<std::size_t>(Indicator::Error)] = error;
}

bool StatusCycle::ReadAndRouteText() {
    const std::string text = machine_.Controller().ReadOutput();
    if (text.empty())
        return false;
    view_.Route(text);
    return true;
}

} // namespace morvik
