#include "dialogs/SetupNumberedDialogs.h"

#include "machine/Machine.h"
#include "settings/AppString.h"

namespace morvik {

static_assert(CSetupToolDlg::kDescriptionLimit == CAppString::kReadLimit,
              "the description limit is what the machine file reads back");

RememberedNumbers& SetupRememberedNumbers() {
    static RememberedNumbers numbers;
    return numbers;
}

// ---- Work coordinates ----

CSetupWorkCoorDlg::CSetupWorkCoorDlg(const SetupContext& context)
    : CNumberedSetupForm(context, QStringLiteral("Work Coordinates Setup"),
                         QStringLiteral("Work Coordinate Number"), WorkCoord::kWorkCoordCount,
                         SetupRememberedNumbers().workCoord),
      copy_(context.machine.WorkCoords()) {
    std::vector<SetupField> fields;
    for (int axis = 0; axis < WorkCoord::kAxisCount; ++axis) {
        fields.push_back(QuantityField<CDimension>(
            QLatin1String(WorkCoord::kKeys[axis]),
            [this, axis]() -> CDimension& {
                return copy_[static_cast<std::size_t>(Current() - 1)].Value(axis);
            },
            Precision()));
    }
    AddFields(std::move(fields));
    Finish();
}

void CSetupWorkCoorDlg::Apply() {
    Machine().WorkCoords() = copy_;
    Machine().DownloadWorkCoordinates();
    Machine().SetModifiedFlag();
}

// ---- Tools ----

CSetupToolDlg::CSetupToolDlg(const SetupContext& context)
    : CNumberedSetupForm(context, QStringLiteral("Tool Setup"), QStringLiteral("Tool Number"),
                         Tool::kToolCount, SetupRememberedNumbers().tool, 3),
      copy_(context.machine.Tools()) {
    using Length = CDimension& (Tool::*)();
    const std::pair<const char*, Length> lengths[] = {{"X Length", &Tool::X},
                                                      {"Y Length", &Tool::Y},
                                                      {"Z Length", &Tool::Z},
                                                      {"Radius", &Tool::Radius},
                                                      {"Wear", &Tool::Wear}};
    std::vector<SetupField> fields;
    fields.push_back(TextField(
        QStringLiteral("Description"), kDescriptionLimit,
        [this] { return QString::fromStdString(Shown().Description()); },
        [this](const QString& text) { Shown().SetDescription(text.toStdString()); }));
    for (const auto& [label, length] : lengths) {
        fields.push_back(QuantityField<CDimension>(
            QLatin1String(label), [this, length]() -> CDimension& { return (Shown().*length)(); },
            Precision()));
    }
    fields.push_back(NumberField(
        QStringLiteral("Wear Factor"), [this] { return Shown().WearFactor(); },
        [this](double factor) { Shown().SetWearFactor(factor); }));
    fields.push_back(IntegerField(
        QStringLiteral("Orientation"), [this] { return Shown().Orientation(); },
        [this](int orientation) { Shown().SetOrientation(orientation); }, std::nullopt));
    AddFields(std::move(fields));
    Finish();
}

void CSetupToolDlg::Apply() {
    Machine().Tools() = copy_;
    Machine().DownloadToolData();
    Machine().SetModifiedFlag();
}

// ---- Tool offsets ----

CSetupOffsetsDlg::CSetupOffsetsDlg(const SetupContext& context)
    : CNumberedSetupForm(context, QStringLiteral("Tool Offsets Setup"),
                         QStringLiteral("Tool Offset Number"), kLastEntry,
                         SetupRememberedNumbers().toolOffset),
      copy_(context.machine.OffsetTables()) {
    std::vector<SetupField> fields;
    for (OffsetTable& table : copy_) {
        const QString letter = QChar::fromLatin1(table.Letter());
        fields.push_back(QuantityField<CDimension>(
            letter + QStringLiteral(" Geometry"),
            [this, &table]() -> CDimension& { return table.Geometry(Current()); }, Precision()));
        fields.push_back(QuantityField<CDimension>(
            letter + QStringLiteral(" Wear"),
            [this, &table]() -> CDimension& { return table.Wear(Current()); }, Precision()));
        fields.push_back(NumberField(
            letter + QStringLiteral(" Wear Factor"),
            [this, &table] { return table.WearFactor(Current()); },
            [this, &table](double factor) { table.SetWearFactor(Current(), factor); }));
    }
    AddFields(std::move(fields));
    Finish();
}

void CSetupOffsetsDlg::Apply() {
    Machine().OffsetTables() = copy_;
    Machine().DownloadToolData();
    Machine().SetModifiedFlag();
}

} // namespace morvik
