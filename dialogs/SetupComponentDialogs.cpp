#include "dialogs/SetupComponentDialogs.h"

#include "machine/Machine.h"

#include <array>
#include <cstdint>

namespace morvik {

namespace {

constexpr IntRange kComponentAxisNumbers{0, 6};

// A combo whose texts stand for stored codes.
struct CodeChoice {
    const char* text;
    std::int32_t code;
};

constexpr std::array<CodeChoice, 2> kMotorTypes = {
    {{"SERVO", Spindle::kModeServo}, {"DRIVE", Spindle::kModeDrive}}};
constexpr std::array<CodeChoice, 2> kDirections = {
    {{"NORMAL", Spindle::kPolarityNormal}, {"REVERSE", Spindle::kPolarityReverse}}};

// A code outside the choices opens with the empty text; a text that is none of the choices
// leaves the code unchanged.
SetupField CodeCombo(const QString& label, const std::array<CodeChoice, 2>& choices,
                     std::function<std::int32_t()> get, std::function<void(std::int32_t)> set) {
    QStringList texts;
    for (const CodeChoice& choice : choices)
        texts << QLatin1String(choice.text);
    auto read = [&choices, get] {
        for (const CodeChoice& choice : choices) {
            if (choice.code == get())
                return QString::fromLatin1(choice.text);
        }
        return QString();
    };
    auto write = [&choices, set](const QString& text) {
        for (const CodeChoice& choice : choices) {
            if (text == QLatin1String(choice.text))
                set(choice.code);
        }
    };
    return ComboField(label, texts, read, write);
}

std::vector<SetupField> SpindleFields(Spindle& s, int precision) {
    return {
        IntegerField(
            QStringLiteral("Controller Axis"), [&s] { return s.ControllerAxis(); },
            [&s](int value) { s.SetControllerAxis(value); }, kComponentAxisNumbers),
        CodeCombo(
            QStringLiteral("Motor Type"), kMotorTypes, [&s] { return s.Mode(); },
            [&s](std::int32_t mode) { s.SetMode(mode); }),
        CodeCombo(
            QStringLiteral("Direction"), kDirections, [&s] { return s.Polarity(); },
            [&s](std::int32_t polarity) { s.SetPolarity(polarity); }),
        QuantityField(QStringLiteral("Scaling"), s.Scale(), precision),
        QuantityField(QStringLiteral("Constant"), s.DriveConstant(), precision),
        QuantityField(QStringLiteral("Default Speed"), s.Speed(), precision),
        QuantityField(QStringLiteral("Acceleration"), s.Accel(), precision),
        QuantityField(QStringLiteral("Deceleration"), s.Decel(), precision),
    };
}

// An integer of the cutter without a range check.
SetupField CutterInteger(const char* label, Cutter& c, std::int32_t (Cutter::*get)() const,
                         void (Cutter::*set)(std::int32_t)) {
    return IntegerField(
        QLatin1String(label), [&c, get] { return (c.*get)(); },
        [&c, set](int value) { (c.*set)(value); }, std::nullopt);
}

std::vector<SetupField> CutterFields(Cutter& c, int precision) {
    return {
        IntegerField(
            QStringLiteral("Controller Axis"), [&c] { return c.ControllerAxis(); },
            [&c](int value) { c.SetControllerAxis(value); }, kComponentAxisNumbers),
        QuantityField(QStringLiteral("Scaling"), c.Scale(), precision),
        QuantityField(QStringLiteral("Offset"), c.Offset(), precision),
        CutterInteger("Raise M-code", c, &Cutter::RaiseMCode, &Cutter::SetRaiseMCode),
        CutterInteger("Lower M-code", c, &Cutter::LowerMCode, &Cutter::SetLowerMCode),
        CutterInteger("Raise Macro", c, &Cutter::RaiseMacro, &Cutter::SetRaiseMacro),
        CutterInteger("Lower Macro", c, &Cutter::LowerMacro, &Cutter::SetLowerMacro),
        QuantityField(QStringLiteral("Raised Speed"), c.Speed(), precision),
        QuantityField(QStringLiteral("Acceleration"), c.Accel(), precision),
        QuantityField(QStringLiteral("Deceleration"), c.Decel(), precision),
    };
}

} // namespace

CSetupSpindleDlg::CSetupSpindleDlg(const SetupContext& context)
    : CConfigurationSetupForm(context, QStringLiteral("Spindle Setup")) {
    AddFields(SpindleFields(Machine().GetSpindle(), Precision()));
    Finish();
}

CSetupCutterDlg::CSetupCutterDlg(const SetupContext& context)
    : CConfigurationSetupForm(context, QStringLiteral("Cutter Setup")) {
    AddFields(CutterFields(Machine().GetCutter(), Precision()));
    Finish();
}

} // namespace morvik
