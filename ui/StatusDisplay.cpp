#include "ui/StatusDisplay.h"

#include "controller/ControllerCodes.h"
#include "controller/MotionController.h"
#include "machine/Machine.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <cstdio>

namespace morvik {

namespace {

constexpr int kFontPoints = 8;
constexpr std::size_t kTextBufferSize = 30;

// A counter field with its label, in the order of the form.
struct FieldItem {
    const char* name;
    const char* label;
    DluRect labelRect;
    DluRect fieldRect;
    const char* format;
    std::int32_t ProgramCounters::*value;
};

constexpr FieldItem kFields[] = {
    {"programNumber",
     "PROGRAM #",
     {2, 4, 47, 8},
     {50, 4, 30, 9},
     "%3d",
     &ProgramCounters::programNumber},
    {"sequenceNumber",
     "SEQUENCE #",
     {2, 15, 47, 8},
     {50, 15, 30, 9},
     "%4d",
     &ProgramCounters::sequenceNumber},
    {"filePosition",
     "FILE POSITION",
     {2, 26, 47, 8},
     {50, 26, 30, 9},
     "%6d",
     &ProgramCounters::filePosition},
    {"repeatCount",
     "REPEAT COUNT",
     {2, 37, 47, 8},
     {50, 37, 30, 9},
     "%4d",
     &ProgramCounters::repeatCount},
    {"toolNumber",
     "TOOL NUMBER",
     {1, 49, 47, 8},
     {50, 48, 30, 9},
     "%6d",
     &ProgramCounters::toolNumber},
};

struct GroupItem {
    const char* title;
    DluRect rect;
};

constexpr GroupItem kGroups[] = {
    {"MODE", {85, 0, 64, 58}},
    {"OPTIONS", {151, 0, 64, 58}},
    {"ERROR", {216, 0, 64, 58}},
};

// An indicator: marked while its bit of the program status word is set.
struct IndicatorItem {
    const char* name;
    const char* caption;
    std::uint32_t bit;
    bool checkBox; // the two options; the others are radio-button indicators
    DluRect rect;
};

constexpr IndicatorItem kIndicators[] = {
    {"absolute", "ABSOLUTE", psw::Absolute, false, {87, 10, 53, 8}},
    {"incremental", "INCREMENTAL", psw::Incremental, false, {87, 19, 53, 8}},
    {"blockSkip", "BLOCK SKIP", psw::BlockSkip, true, {155, 10, 56, 7}},
    {"dryRun", "DRYRUN", psw::DryRun, true, {155, 19, 56, 7}},
    {"partError", "PART ERROR", psw::PartError, false, {220, 10, 55, 8}},
    {"emergencyStop", "E. STOP", psw::EmergencyStop, false, {220, 18, 55, 8}},
    {"externalEmergencyStop", "EXT. E. STOP", psw::ExternalEmergencyStop, false, {220, 26, 55, 8}},
    {"driveFault", "DRIVE FAULT", psw::DriveFault, false, {220, 34, 55, 8}},
    {"motorError", "MOTOR ERROR", psw::MotorError, false, {220, 42, 55, 8}},
};

QFont FormFont() {
    QFont font = QApplication::font();
    font.setPointSize(kFontPoints);
    return font;
}

// Indicators, not choices: several radio indicators may be marked at once, and the mouse
// and keyboard never change one (the display filters their input away).
QAbstractButton* MakeIndicator(const IndicatorItem& item, QWidget* parent) {
    const QString caption = QString::fromLatin1(item.caption);
    if (item.checkBox)
        return new QCheckBox(caption, parent);
    auto* radio = new QRadioButton(caption, parent);
    radio->setAutoExclusive(false);
    radio->setFocusPolicy(Qt::NoFocus);
    radio->installEventFilter(parent);
    return radio;
}

// How far the form may be widened for its captions: at most twice its drawn width.
constexpr int kMaxWidening = 2;

bool IsOperatorInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return true;
    default:
        return false;
    }
}

// A counter as its field shows it ("%3d", "%4d", "%6d"), in a buffer of 30 characters.
std::string FormatCounter(const char* format, std::int32_t value) {
    char buffer[kTextBufferSize];
    std::snprintf(buffer, sizeof buffer, format, static_cast<int>(value));
    return buffer;
}

} // namespace

CStatusDisplay::CStatusDisplay(QWidget* parent)
    : QWidget(parent), units_(DialogUnits::ForFont(FormFont())) {
    setFont(FormFont());
    Build();
    timer_.setInterval(kRefreshMs);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Refresh(); });
    if (currentMachine == nullptr)
        return;
    Refresh();
    timer_.start();
}

void CStatusDisplay::Build() {
    for (const GroupItem& group : kGroups)
        placed_.emplace_back(new QGroupBox(QString::fromLatin1(group.title), this), group.rect);
    BuildFields();
    BuildIndicators();
    WidenToFitCaptions();
    Place();
    setMinimumSize(sizeHint());
}

void CStatusDisplay::BuildFields() {
    for (const FieldItem& item : kFields) {
        placed_.emplace_back(new QLabel(QString::fromLatin1(item.label), this), item.labelRect);
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(item.name));
        field->setReadOnly(true);
        // Values to read, not to edit: no text cursor, no focus, the window's own background.
        field->setFocusPolicy(Qt::NoFocus);
        field->setBackgroundRole(QPalette::Window);
        field->setStyleSheet(QStringLiteral("QLineEdit { background: palette(window); }"));
        placed_.emplace_back(field, item.fieldRect);
        fields_.push_back(field);
    }
}

void CStatusDisplay::BuildIndicators() {
    for (const IndicatorItem& item : kIndicators) {
        QAbstractButton* indicator = MakeIndicator(item, this);
        indicator->setObjectName(QString::fromLatin1(item.name));
        placed_.emplace_back(indicator, item.rect);
        indicators_.push_back(indicator);
    }
}

void CStatusDisplay::Place() {
    for (const auto& [widget, rect] : placed_)
        widget->setGeometry(units_.Map(rect));
}

// The form was drawn for a narrower font than most desktops use. Rather than cut a caption
// ("MOTOR ERROR") or shrink it below its neighbours' size, the whole form is laid out a little
// wider: one horizontal unit more per step, so every column keeps its place beside the others.
void CStatusDisplay::WidenToFitCaptions() {
    const auto fits = [this] {
        for (const auto& [widget, rect] : placed_) {
            const bool caption = qobject_cast<QLabel*>(widget) != nullptr ||
                                 qobject_cast<QAbstractButton*>(widget) != nullptr;
            if (caption && widget->sizeHint().width() > units_.X(rect.width))
                return false;
        }
        return true;
    };
    const int widest = units_.BaseX() * kMaxWidening;
    while (!fits() && units_.BaseX() < widest)
        units_ = DialogUnits(units_.BaseX() + 1, units_.BaseY());
}

void CStatusDisplay::Refresh() {
    if (currentMachine == nullptr)
        return;
    Show(ReadProgramCounters(currentMachine->Controller()));
}

void CStatusDisplay::Show(const ProgramCounters& reading) {
    for (std::size_t i = 0; i < indicators_.size(); ++i)
        indicators_[i]->setChecked((reading.status & kIndicators[i].bit) != 0);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const FieldItem& item = kFields[i];
        fields_[i]->setText(
            QString::fromStdString(FormatCounter(item.format, reading.*item.value)));
    }
}

bool CStatusDisplay::eventFilter(QObject* watched, QEvent* event) {
    // Only the radio indicators are filtered (MakeIndicator).
    if (IsOperatorInput(event->type()))
        return true;
    return QWidget::eventFilter(watched, event);
}

QLineEdit* CStatusDisplay::Field(const char* name) const {
    return findChild<QLineEdit*>(QString::fromLatin1(name));
}

QAbstractButton* CStatusDisplay::Indicator(const char* name) const {
    return findChild<QAbstractButton*>(QString::fromLatin1(name));
}

QSize CStatusDisplay::sizeHint() const {
    return QSize(units_.X(kFormWidthDlu), units_.Y(kFormHeightDlu));
}

} // namespace morvik
