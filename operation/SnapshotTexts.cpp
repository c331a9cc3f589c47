#include "operation/SnapshotTexts.h"

#include "controller/ControllerCodes.h"
#include "machine/Machine.h"
#include "operation/WorkOffsets.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <string_view>

namespace morvik {

namespace {

// Which status word bits light which lamp in Run mode, in the panel's order.
constexpr std::array<std::uint32_t, kIndicatorCount> kIndicatorBits = {
    psw::Ready, psw::Running, psw::Paused, psw::FeedHold, psw::Finished, psw::ErrorBits};

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

// A work coordinate is a difference of two positions; one that is zero but for rounding
// shows as zero, not as "-0.0000".
std::string AxisText(const AxisReading& reading, const std::string& format, double origin) {
    if (!reading.onCard)
        return std::string();
    double value = reading.Shown() - origin;
    if (origin != 0.0 && std::abs(value) < 1e-9)
        value = 0.0;
    return FormatReadout(format, value);
}

std::string ZText(const MachineSnapshot& snapshot, const CMachine& machine, double origin) {
    const AxisReading& z = snapshot.Axis(SnapshotAxis::Z);
    if (z.onCard)
        return AxisText(z, machine.Axes()[2].DisplayFormat(), origin);
    if (!snapshot.cutterAngle)
        return std::string();
    return FormatReadout(machine.GetCutter().DisplayFormat(), *snapshot.cutterAngle);
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

std::array<bool, kIndicatorCount> IndicatorsOf(const MachineSnapshot& snapshot) {
    std::array<bool, kIndicatorCount> lamps{};
    switch (snapshot.mode) {
    case MachineMode::Run:
        for (std::size_t i = 0; i < kIndicatorCount; ++i)
            lamps[i] = (snapshot.programStatus.value_or(0) & kIndicatorBits[i]) != 0;
        break;
    case MachineMode::Jog:
    case MachineMode::Home:
        lamps[static_cast<std::size_t>(Indicator::Error)] = snapshot.AnyAxisError();
        break;
    case MachineMode::None:
    case MachineMode::Mdi:
        break;
    }
    return lamps;
}

std::array<std::string, kReadoutCount> ReadoutTexts(const MachineSnapshot& snapshot,
                                                    const CMachine& machine) {
    std::array<std::string, kReadoutCount> texts;
    std::array<double, kWorkAxisCount> origin{};
    if (snapshot.workReadouts)
        origin = WorkOriginOf(machine, snapshot.workSystem, snapshot.toolLength);
    texts[0] =
        AxisText(snapshot.Axis(SnapshotAxis::X), machine.Axes()[0].DisplayFormat(), origin[0]);
    texts[1] =
        AxisText(snapshot.Axis(SnapshotAxis::Y), machine.Axes()[1].DisplayFormat(), origin[1]);
    texts[2] = ZText(snapshot, machine, origin[2]);
    if (snapshot.spindleSpeed)
        texts[3] = FormatReadout(machine.GetSpindle().DisplayFormat(), *snapshot.spindleSpeed);
    return texts;
}

} // namespace morvik
