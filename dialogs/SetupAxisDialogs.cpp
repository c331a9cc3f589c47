#include "dialogs/SetupAxisDialogs.h"

#include "machine/Machine.h"

namespace morvik {

namespace {

constexpr IntRange kAxisNumbers{0, 8};

// "X Lower Limit": the axis letter before the row's name.
QString AxisLabel(const Axis& axis, const char* name) {
    return QStringLiteral("%1 %2").arg(QChar::fromLatin1(axis.Letter()), QLatin1String(name));
}

std::vector<SetupField> AxisNumberFields(Axis& axis, int precision) {
    return {
        IntegerField(
            AxisLabel(axis, "Controller Axis"), [&axis] { return axis.ControllerAxis(); },
            [&axis](int value) { axis.SetControllerAxis(value); }, kAxisNumbers),
        IntegerField(
            AxisLabel(axis, "Slave Axis"), [&axis] { return axis.SlaveAxis(); },
            [&axis](int value) { axis.SetSlaveAxis(value); }, kAxisNumbers),
        QuantityField(AxisLabel(axis, "Axis Scaling"), axis.Scale(), precision),
    };
}

std::vector<SetupField> MachineOffsetFields(Axis& axis, int precision) {
    return {QuantityField(AxisLabel(axis, "Machine Offset"), axis.MachineOffset(), precision)};
}

std::vector<SetupField> ProgramOffsetFields(Axis& axis, int precision) {
    return {QuantityField(AxisLabel(axis, "Program Offset"), axis.ProgramOffset(), precision)};
}

std::vector<SetupField> RapidFields(Axis& axis, int precision) {
    return {
        QuantityField(AxisLabel(axis, "Rapid Rate"), axis.RapidRate(), precision),
        QuantityField(AxisLabel(axis, "Rapid Acceleration"), axis.RapidAccel(), precision),
        QuantityField(AxisLabel(axis, "Rapid Deceleration"), axis.RapidDecel(), precision),
    };
}

std::vector<SetupField> LimitFields(Axis& axis, int precision) {
    return {
        QuantityField(AxisLabel(axis, "Lower Limit"), axis.LowerLimit(), precision),
        QuantityField(AxisLabel(axis, "Upper Limit"), axis.UpperLimit(), precision),
    };
}

// The rows of every axis in order X...W.
std::vector<SetupField> PerAxis(CMachine& machine,
                                std::vector<SetupField> (*rows)(Axis&, int precision)) {
    std::vector<SetupField> fields;
    for (Axis& axis : machine.Axes()) {
        for (SetupField& field : rows(axis, machine.SetupPrecision()))
            fields.push_back(std::move(field));
    }
    return fields;
}

} // namespace

CSetupAxes::CSetupAxes(const SetupContext& context)
    : CConfigurationSetupForm(context, QStringLiteral("Machine Axis Setup")) {
    AddFields(PerAxis(Machine(), AxisNumberFields));
    Finish();
}

CSetupMachineCoorDlg::CSetupMachineCoorDlg(const SetupContext& context)
    : CConfigurationSetupForm(context, QStringLiteral("Machine Coordinates Setup")) {
    AddFields(PerAxis(Machine(), MachineOffsetFields));
    Finish();
}

CSetupProgramCoorDlg::CSetupProgramCoorDlg(const SetupContext& context)
    : CConfigurationSetupForm(context, QStringLiteral("Program Coordinates Setup")) {
    AddFields(PerAxis(Machine(), ProgramOffsetFields));
    Finish();
}

CSetupRapidDlg::CSetupRapidDlg(const SetupContext& context)
    : CConfigurationSetupForm(context, QStringLiteral("Rapid Setup")) {
    AddFields(PerAxis(Machine(), RapidFields));
    Finish();
}

CSetupLimitDlg::CSetupLimitDlg(const SetupContext& context)
    : CConfigurationSetupForm(context, QStringLiteral("Limits Setup")) {
    AddFields(PerAxis(Machine(), LimitFields));
    Finish();
}

} // namespace morvik
