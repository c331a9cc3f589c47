#include "ui/MachineInfoStrip.h"

#include "ui/LampWidget.h"
#include "ui/PanelControls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace morvik {

namespace {

QLabel* AddLabel(QVBoxLayout* rows, QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setMinimumSize(1, 1);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    rows->addWidget(label);
    return label;
}

} // namespace

MachineInfoStrip::MachineInfoStrip(std::function<void(int)> send, QWidget* parent)
    : QWidget(parent), send_(std::move(send)) {
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(1, 1, 1, 1);
    rows->setSpacing(0);

    auto* lamps = new QHBoxLayout;
    homing_ = new LampWidget(QStringLiteral("Homing"), QColor(255, 190, 40), this);
    homed_ = new LampWidget(QStringLiteral("Homed"), QColor(60, 220, 80), this);
    homing_->setObjectName(QStringLiteral("homingLamp"));
    homed_->setObjectName(QStringLiteral("homedLamp"));
    for (LampWidget* lamp : {homing_, homed_}) {
        lamp->setMinimumHeight(fontMetrics().height());
        lamps->addWidget(lamp, 1);
    }
    auto* coordinates = AddButton(control::kWorkReadouts, QStringLiteral("Machine"));
    coordinates->setCheckable(true);
    coordinates->setToolTip(QStringLiteral("Readouts in machine or work coordinates"));
    lamps->addWidget(coordinates, 1);
    rows->addLayout(lamps);

    auto* zero = new QHBoxLayout;
    auto* zeroLabel = new QLabel(QStringLiteral("Set work zero"), this);
    zero->addWidget(zeroLabel, 2);
    const int axisIds[] = {control::kWorkZeroX, control::kWorkZeroY, control::kWorkZeroZ};
    const char* const letters[] = {"X", "Y", "Z"};
    for (std::size_t i = 0; i < 3; ++i) {
        QPushButton* button = AddButton(axisIds[i], QString::fromLatin1(letters[i]));
        button->setToolTip(QStringLiteral("Set work zero for %1 at its position")
                               .arg(QString::fromLatin1(letters[i])));
        zero->addWidget(button, 1);
    }
    rows->addLayout(zero);

    mode_ = AddLabel(rows, this, "mode");
    mode_->setStyleSheet(QStringLiteral("font-weight: bold;"));
    progress_ = AddLabel(rows, this, "progress");
    spindle_ = AddLabel(rows, this, "spindle");
    message_ = AddLabel(rows, this, "message");
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message_->setStyleSheet(QStringLiteral("color: #c0201a;"));
    rows->addWidget(message_, 1);
}

QPushButton* MachineInfoStrip::AddButton(int id, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QStringLiteral("ctl%1").arg(id));
    // Only the mouse works them: a focused button must not act on a stray key.
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumSize(1, 1);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    connect(button, &QPushButton::clicked, this, [this, id] { send_(id); });
    buttons_[id] = button;
    ids_.push_back(id);
    return button;
}

void MachineInfoStrip::Show(const MachineInfoTexts& texts) {
    homing_->setChecked(texts.homed == HomedLamp::Homing);
    homed_->setChecked(texts.homed == HomedLamp::Homed);
    buttons_.at(control::kWorkReadouts)->setText(QString::fromStdString(texts.coordinates));
    const auto set = [](QLabel* label, const std::string& text) {
        const QString shown = QString::fromStdString(text);
        if (label->text() != shown)
            label->setText(shown);
    };
    set(mode_, texts.mode);
    set(progress_, texts.progress);
    set(spindle_, texts.spindle);
    set(message_, texts.message);
}

void MachineInfoStrip::CheckCoordinates(bool workReadouts) {
    buttons_.at(control::kWorkReadouts)->setChecked(workReadouts);
}

void MachineInfoStrip::UpdateEnabled(const std::function<bool(int)>& isEnabled) {
    for (const auto& [id, button] : buttons_)
        button->setEnabled(isEnabled(id));
}

QPushButton* MachineInfoStrip::Button(int id) const {
    const auto found = buttons_.find(id);
    return found == buttons_.end() ? nullptr : found->second;
}

bool MachineInfoStrip::HomedLit() const {
    return homed_->isChecked();
}

bool MachineInfoStrip::HomingLit() const {
    return homing_->isChecked();
}

QString MachineInfoStrip::Message() const {
    return message_->text();
}

QString MachineInfoStrip::Mode() const {
    return mode_->text();
}

QString MachineInfoStrip::Progress() const {
    return progress_->text();
}

QString MachineInfoStrip::Spindle() const {
    return spindle_->text();
}

} // namespace morvik
