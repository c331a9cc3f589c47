#include "dialogs/SetupMachineDialogs.h"

#include "machine/Machine.h"
#include "machine/MachineTables.h"
#include "operation/MachineOperation.h"

#include <span>

namespace morvik {

namespace {

QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts)
        list << QLatin1String(text);
    return list;
}

// A combo over an index table (MachineTables.h), matched exactly; no match leaves the index.
SetupField IndexCombo(const char* label, std::span<const ChoiceEntry> table, CAppInt& item,
                      int maxChars) {
    QStringList texts;
    for (const ChoiceEntry& entry : table)
        texts << QLatin1String(entry.display);
    return ComboField(
        QLatin1String(label), texts,
        [table, &item] { return QString::fromLatin1(ChoiceDisplay(table, item.Get())); },
        [table, &item](const QString& text) {
            if (const std::optional<int> index = ChoiceByDisplay(table, text.toStdString()))
                item.Set(*index);
        },
        maxChars);
}

// A combo of unit long names, set by name as the machine file reads them. A text that names
// no unit leaves the unit as it was (an undefined unit would convert with factor 1).
template <class Selector>
SetupField UnitCombo(const char* label, QStringList names, Selector& selector) {
    return ComboField(
        QLatin1String(label), std::move(names),
        [&selector] { return QString::fromStdString(selector.LongName()); },
        [&selector](const QString& text) {
            Selector named = selector;
            named.SetByLongName(text.toStdString());
            if (named.Get() != 0)
                selector.Set(named.Get());
        });
}

std::vector<SetupField> GeneralFields(GeneralSettings& g) {
    const QStringList times = Texts({"MILLISECOND", "SECOND", "MINUTE", "HOUR"});
    return {
        IndexCombo("Machine Type", kMachineTypes, g.machineType, 40),
        IndexCombo("Program Style", kProgramStyles, g.programStyle, 0),
        IndexCombo("Default Units", kDefaultUnits, g.defaultUnits, 8),
        UnitCombo("English Dimensions",
                  Texts({"INCH", "1/1000 INCH", "1/10000 INCH", "1/100000 INCH", "FEET", "YARD"}),
                  g.partPrgmEnglishDimUnits),
        UnitCombo("English Time", times, g.partPrgmEnglishPerUnits),
        UnitCombo("Metric Dimensions",
                  Texts({"MICROMETER", "1/100 MILLIMETER", "1/10 MILLIMETER", "MILLIMETER",
                         "CENTIMETER", "DECIMETER", "METER"}),
                  g.partPrgmMetricDimUnits),
        UnitCombo("Metric Time", times, g.partPrgmMetricPerUnits),
    };
}

std::vector<SetupField> FeedFields(FeedSettings& f, int precision) {
    return {
        QuantityField(QStringLiteral("Default Feed Rate"), f.feedRate, precision),
        QuantityField(QStringLiteral("Feed Acceleration"), f.feedAccel, precision),
        QuantityField(QStringLiteral("Feed Deceleration"), f.feedDecel, precision),
        QuantityField(QStringLiteral("Max. Feed Rate"), f.maxFeedRate, precision),
        QuantityField(QStringLiteral("Max. Angle Change"), f.maxAngle, precision),
    };
}

constexpr IntRange kChannels{0, 16};

std::vector<SetupField> ExternalControlFields(ExternalControlSettings& e) {
    const std::pair<const char*, CAppInt*> rows[] = {
        {"Start Button", &e.startButtonChannel},
        {"Block Button", &e.blockButtonChannel},
        {"FHold Button", &e.fholdButtonChannel},
        {"Start Indicator", &e.startIndicatorChannel},
        {"Block Indicator", &e.blockIndicatorChannel},
        {"FHold Indicator", &e.fholdIndicatorChannel},
        {"E. Stop Input", &e.estopInputChannel},
        {"Ext. E. Stop Input", &e.extEstopInputChannel},
        {"Drive Fault Input", &e.driveFaultInputChannel},
        {"Block Skip Switch", &e.blockSkipSwitchChannel},
        {"Dryrun Switch", &e.dryRunSwitchChannel},
    };
    std::vector<SetupField> fields;
    for (const auto& [label, item] : rows)
        fields.push_back(IntegerField(QLatin1String(label), *item, kChannels));
    return fields;
}

std::vector<SetupField> JoggingFields(JoggingSettings& j, int precision) {
    return {
        QuantityField(QStringLiteral("Max. Jog Rate"), j.maxJogRate, precision),
        QuantityField(QStringLiteral("Jog Acceleration"), j.jogAccel, precision),
        QuantityField(QStringLiteral("Jog Deceleration"), j.jogDecel, precision),
        CheckField(QStringLiteral("Use PC Joystick"), j.usePcJoystick),
        IntegerField(QStringLiteral("Joystick Deadband"), j.joystickDeadband, IntRange{0, 100}),
    };
}

} // namespace

CSetupGeneral::CSetupGeneral(const SetupContext& context)
    : CConfigurationSetupForm(context, QStringLiteral("General")) {
    AddFields(GeneralFields(Machine().General()));
    Finish();
}

CSetupFeedDlg::CSetupFeedDlg(const SetupContext& context)
    : CConfigurationSetupForm(context, QStringLiteral("Feed Setup")) {
    AddFields(FeedFields(Machine().Feed(), Precision()));
    Finish();
}

CSetupExtControlsDlg::CSetupExtControlsDlg(const SetupContext& context)
    : CConfigurationSetupForm(context, QStringLiteral("Setup External Controls")) {
    AddFields(ExternalControlFields(Machine().ExternalControls()));
    Finish();
}

CSetupJoggingDlg::CSetupJoggingDlg(const SetupContext& context)
    : CSetupForm(context, QStringLiteral("Jogging Setup")) {
    AddFields(JoggingFields(Machine().Jogging(), Precision()));
    Finish();
}

void CSetupJoggingDlg::Apply() {
    if (Machine().State().Mode() == MachineMode::Jog)
        Operation().SelectJog();
    Machine().SetModifiedFlag();
}

CSetupHomingDlg::CSetupHomingDlg(const SetupContext& context)
    : CSetupForm(context, QStringLiteral("Homing Setup")),
      macro_(context.machine.Homing().homingMacro.Get()),
      suppress_(context.machine.Homing().suppressHomingMessages.Get()) {
    AddFields({
        IntegerField(
            QStringLiteral("Homing Macro Number"), [this] { return macro_; },
            [this](int value) { macro_ = value; }, IntRange{0, 1099}),
        CheckField(
            QStringLiteral("Suppress Homing Messages"), [this] { return suppress_; },
            [this](int value) { suppress_ = value; }),
    });
    Finish();
}

void CSetupHomingDlg::Apply() {
    Operation().ApplyHomingSettings(macro_, suppress_);
}

} // namespace morvik
