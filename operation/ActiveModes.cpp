#include "operation/ActiveModes.h"

#include "controller/ControllerCodes.h"
#include "controller/MotionController.h"
#include "machine/Machine.h"
#include "settings/UnitTables.h"

#include <array>
#include <cstdio>

namespace morvik {

namespace {

constexpr std::array<const char*, 9> kMotion = {"G80", "G0",  "G1",  "G2", "G3",
                                                "G81", "G82", "G83", "G73"};
constexpr std::array<const char*, 3> kPlane = {"G17", "G18", "G19"};
constexpr std::array<const char*, 3> kSpindle = {"M5", "M3", "M4"};

template <std::size_t N> const char* Pick(const std::array<const char*, N>& names, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < N ? names[index] : "?";
}

// A value as a machinist writes it: no trailing zeros, at most four decimals.
std::string Number(double value) {
    char buffer[40] = {};
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    std::string text = buffer;
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text == "-0" ? "0" : text;
}

std::string WorkSystem(int index) {
    return "G" + std::to_string(54 + index);
}

std::string ToolLength(const CardModes& modes) {
    if (!modes.toolLengthOn)
        return "G49";
    return modes.h == CardModes::kNoH ? "G43" : "G43 H" + std::to_string(modes.h);
}

} // namespace

std::optional<CardModes> ReadCardModes(MotionController& card) {
    const auto word = card.TryQueryInt(code::ActiveModes);
    const auto feed = card.TryQueryDouble(code::ActiveFeed);
    const auto speed = card.TryQueryDouble(code::ActiveSpeed);
    const auto length = card.TryQueryDouble(code::ToolLengthOffset);
    if (!word || !feed || !speed || !length)
        return std::nullopt;
    CardModes modes;
    DecodeModesWord(static_cast<std::uint32_t>(*word), modes);
    modes.feed = *feed;
    modes.speed = *speed;
    modes.toolLength = *length;
    return modes;
}

std::string ActiveModesText(const CardModes& modes) {
    std::string text = Pick(kMotion, modes.motion);
    text += ' ';
    text += Pick(kPlane, modes.plane);
    text += modes.inch ? " G20" : " G21";
    text += modes.incremental ? " G91" : " G90";
    text += " G94 " + WorkSystem(modes.workSystem) + ' ' + ToolLength(modes);
    if (modes.tool != 0)
        text += " T" + std::to_string(modes.tool);
    text += " F" + Number(modes.feedGiven ? modes.feed : 0.0);
    text += " S" + Number(modes.speed);
    text += ' ';
    text += Pick(kSpindle, modes.spindle);
    if (modes.mist)
        text += " M7";
    if (modes.flood)
        text += " M8";
    return text;
}

std::string ModesLeftInForce(const CardModes& modes, bool defaultInch) {
    std::string text;
    const auto add = [&text](const std::string& code) {
        if (!text.empty())
            text += ' ';
        text += code;
    };
    if (modes.incremental)
        add("G91");
    if (modes.inch != defaultInch)
        add(modes.inch ? "G20" : "G21");
    if (modes.workSystem != 0)
        add(WorkSystem(modes.workSystem));
    if (modes.toolLengthOn)
        add(ToolLength(modes));
    return text;
}

std::string ToolLengthText(const CardModes& modes, const CMachine& machine) {
    return Number(modes.toolLength) + " " +
           LengthUnitSymbol(machine.DefaultUnitSystem().lengthUnit) + " (" + ToolLength(modes) +
           ")";
}

bool DefaultUnitsInch(const CMachine& machine) {
    return machine.General().defaultUnits.Get() == kEnglishUnits;
}

} // namespace morvik
