#include "ui/ControlPanel.h"

#include "operation/JogSelectors.h"
#include "operation/MachineOperation.h"
#include "operation/SnapshotTexts.h"
#include "ui/LampWidget.h"
#include "ui/MachineInfoStrip.h"
#include "ui/PanelControls.h"
#include "ui/ReadoutWidget.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace morvik {

namespace {

// The widgets of the lamps, readouts and override fields, in the order of Indicator, Readout
// and OverrideField.
constexpr std::array<int, kIndicatorCount> kLampIds = {1147, 1145, 1146, 1152, 1148, 1153};
constexpr std::array<int, kReadoutCount> kReadoutIds = {1062, 1063, 1064, 1065};
constexpr std::array<int, kOverrideCount> kOverrideIds = {
    control::kFeedOverride, control::kRapidOverride, control::kSpindleOverride};
constexpr std::array<int, kOverrideCount> kArrowIds = {control::kFeedArrows, control::kRapidArrows,
                                                       control::kSpindleArrows};

// Where the information strip stands, below the jog selectors and the Stop button.
constexpr DluRect kInfoStripRect = {2, 349, 122, 62};

// Ready and Running green, Paused and F. Hold amber, Finished blue, Error red.
const std::array<QColor, kIndicatorCount> kLampColours = {
    QColor(60, 220, 80),  QColor(60, 220, 80),  QColor(255, 190, 40),
    QColor(255, 190, 40), QColor(80, 160, 255), QColor(240, 50, 40)};

template <std::size_t N> int SlotOf(const std::array<int, N>& ids, int id) {
    const auto found = std::find(ids.begin(), ids.end(), id);
    return found == ids.end() ? -1 : static_cast<int>(found - ids.begin());
}

QFont PanelFont() {
    QFont font = QApplication::font();
    font.setPointSize(kPanelFontPoints);
    return font;
}

// The two arrows of an override field, stacked like a vertical scroll bar without its track:
// only line up and line down exist. An arrow acts as the mouse goes down on it and repeats
// while it is held. Clicking an arrow takes the keyboard focus, so a value being typed in the
// field is taken first.
class OverrideArrows : public QWidget {
public:
    OverrideArrows(std::function<void(int)> step, QWidget* parent) : QWidget(parent) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        AddArrow(layout, "up", Qt::UpArrow, step, +1);
        AddArrow(layout, "down", Qt::DownArrow, step, -1);
    }

private:
    void AddArrow(QVBoxLayout* layout, const char* name, Qt::ArrowType arrow,
                  const std::function<void(int)>& step, int lines) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::ClickFocus);
        button->setMinimumSize(1, 1);
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        connect(button, &QToolButton::pressed, this, [step, lines] { step(lines); });
        layout->addWidget(button);
    }
};

} // namespace

ControlPanel::ControlPanel(QWidget* parent)
    : QWidget(parent), popupWatch_(*this), units_(DialogUnits::ForFont(PanelFont())) {
    setFont(PanelFont());
    largeFont_ = font();
    Build();
    jogKeys_ = new JogKeys(*this);
    qApp->installEventFilter(jogKeys_);
}

ControlPanel::~ControlPanel() = default;

QString ControlPanel::ControlName(int id) {
    return QStringLiteral("ctl%1").arg(id);
}

QWidget* ControlPanel::Control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

QFont ControlPanel::LargeFontFor(const QFont& panelFont) {
    QFont large = panelFont;
    large.setPixelSize(static_cast<int>(QFontInfo(panelFont).pixelSize() * 2.5));
    return large;
}

void ControlPanel::Build() {
    int bottom = units_.Y(kPanelHeightDlu);
    for (const PanelItem& item : PanelItems()) {
        QWidget* widget = Create(item);
        widget->setGeometry(units_.Map(item.rect));
        placed_.emplace_back(widget, widget->geometry());
        bottom = std::max(bottom, widget->geometry().bottom() + 1 + units_.Y(2));
        if (item.id == 0)
            continue;
        widget->setObjectName(ControlName(item.id));
        controls_[item.id] = widget;
        const std::optional<PanelAction> action = ActionOfControl(item.id);
        if (const auto place = action ? pad_.PlaceOf(*action) : std::nullopt)
            padPlaces_[static_cast<std::size_t>(*place)] = widget->geometry();
    }
    BuildInfoStrip(bottom);
    formSize_ = QSize(units_.X(kPanelWidthDlu), bottom);
    setFixedWidth(formSize_.width());
    setMinimumHeight(bottom);
}

void ControlPanel::BuildInfoStrip(int& bottom) {
    infoStrip_ = new MachineInfoStrip(
        [this](int id) {
            if (operation_ == nullptr)
                return;
            if (const std::optional<PanelAction> action = ActionOfControl(id))
                operation_->ActionPressed(*action);
            PushToWidgets();
        },
        this);
    infoStrip_->setObjectName(QStringLiteral("infoStrip"));
    infoStrip_->setGeometry(units_.Map(kInfoStripRect));
    placed_.emplace_back(infoStrip_, infoStrip_->geometry());
    bottom = std::max(bottom, infoStrip_->geometry().bottom() + 1 + units_.Y(2));
    for (int id : infoStrip_->ControlIds())
        controls_[id] = infoStrip_->Button(id);
}

QRect ControlPanel::ScaledRect(const QRect& formRect) const {
    const auto at = [this](int v) { return static_cast<int>(std::lround(v * scale_)); };
    const QPoint topLeft(at(formRect.left()), at(formRect.top()));
    const QPoint end(at(formRect.left() + formRect.width()),
                     at(formRect.top() + formRect.height()));
    return QRect(topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y()));
}

void ControlPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const double byHeight = static_cast<double>(height()) / formSize_.height();
    const double scale = std::clamp(byHeight, 1.0, kMaxScale);
    if (std::abs(scale - scale_) > 0.005)
        ApplyScale(scale);
}

void ControlPanel::ApplyScale(double scale) {
    scale_ = scale;
    QFont scaled = PanelFont();
    scaled.setPointSizeF(kPanelFontPoints * scale);
    setFont(scaled);
    if (filled_) {
        largeFont_ = LargeFontFor(scaled);
        for (int id : {control::kAxisX, control::kAxisY, control::kAxisZ, control::kAxisS})
            Control(id)->setFont(largeFont_);
    }
    for (const auto& [widget, rect] : placed_)
        widget->setGeometry(ScaledRect(rect));
    // The width follows the height: this resizes the panel again, at the same scale.
    setFixedWidth(static_cast<int>(std::lround(formSize_.width() * scale)));
}

QWidget* ControlPanel::Create(const PanelItem& item) {
    using Factory = QWidget* (ControlPanel::*)(const PanelItem&);
    // Indexed by PanelItemKind.
    static constexpr Factory kFactories[] = {
        &ControlPanel::CreateAxisButton,  &ControlPanel::CreateReadout,
        &ControlPanel::CreateGroupBox,    &ControlPanel::CreateLamp,
        &ControlPanel::CreateLabel,       &ControlPanel::CreateLabel,
        &ControlPanel::CreateArrows,      &ControlPanel::CreateOverrideEdit,
        &ControlPanel::CreatePushButton,  &ControlPanel::CreateActionButton,
        &ControlPanel::CreateCheckButton, &ControlPanel::CreateChoice,
    };
    return (this->*kFactories[static_cast<std::size_t>(item.kind)])(item);
}

QWidget* ControlPanel::CreateAxisButton(const PanelItem& item) {
    return CreateActionButton(item);
}

QWidget* ControlPanel::CreateActionButton(const PanelItem& item) {
    auto* button = new ControlButton(item.id, QString::fromLatin1(item.caption), *this, this);
    if (item.id == control::kStop) {
        // Found at a glance: dark red lettering.
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, QColor(170, 0, 0));
        button->setPalette(palette);
    }
    pushButtons_.push_back(button);
    commandIds_.push_back(item.id);
    return button;
}

QWidget* ControlPanel::CreateCheckButton(const PanelItem& item) {
    cutBox_ = new ControlCheckBox(item.id, QString::fromLatin1(item.caption), *this, this);
    commandIds_.push_back(item.id);
    return cutBox_;
}

// The jog step and speed selectors: the choices come from the core's tables, a choice goes to
// the facade, and the box shows the facade's choice again on every push. They never take the
// keyboard, which belongs to the jog keys.
QWidget* ControlPanel::CreateChoice(const PanelItem& item) {
    auto* box = new QComboBox(this);
    box->setFocusPolicy(Qt::NoFocus);
    const bool increment = item.id == control::kJogIncrement;
    const std::size_t count =
        increment ? JogSelectors::kIncrements.size() : JogSelectors::kSpeedPercents.size();
    // Each choice says what it is ("Continuous", "Step 0.1", "Speed 50%"): no labels needed.
    for (std::size_t i = 0; i < count; ++i) {
        const std::string text = !increment ? "Speed " + JogSelectors::SpeedText(i)
                                 : i == 0   ? JogSelectors::IncrementText(i)
                                            : "Step " + JogSelectors::IncrementText(i);
        box->addItem(QString::fromStdString(text));
    }
    box->setToolTip(increment ? QStringLiteral("Jog step, in the machine's default units")
                              : QStringLiteral("Jog speed, percent of the maximum jog rate"));
    (increment ? incrementBox_ : speedBox_) = box;
    connect(box, &QComboBox::activated, this, [this, increment](int index) {
        if (operation_ == nullptr)
            return;
        const auto choice = static_cast<std::size_t>(index);
        increment ? operation_->SelectJogIncrement(choice) : operation_->SelectJogSpeed(choice);
        PushToWidgets();
    });
    commandIds_.push_back(item.id);
    return box;
}

QWidget* ControlPanel::CreatePushButton(const PanelItem& item) {
    commandIds_.push_back(item.id);
    return new QPushButton(QString::fromLatin1(item.caption), this);
}

QWidget* ControlPanel::CreateReadout(const PanelItem& item) {
    auto* readout = new ReadoutWidget(this);
    readouts_[static_cast<std::size_t>(SlotOf(kReadoutIds, item.id))] = readout;
    return readout;
}

QWidget* ControlPanel::CreateLamp(const PanelItem& item) {
    const auto slot = static_cast<std::size_t>(SlotOf(kLampIds, item.id));
    lamps_[slot] = new LampWidget(QString::fromLatin1(item.caption), kLampColours[slot], this);
    return lamps_[slot];
}

QWidget* ControlPanel::CreateGroupBox(const PanelItem& item) {
    auto* box = new QGroupBox(QString::fromLatin1(item.caption), this);
    box->lower();
    return box;
}

QWidget* ControlPanel::CreateLabel(const PanelItem& item) {
    auto* label = new QLabel(QString::fromLatin1(item.caption), this);
    const bool right = item.kind == PanelItemKind::RightLabel;
    label->setAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    return label;
}

QWidget* ControlPanel::CreateArrows(const PanelItem& item) {
    const auto field = static_cast<OverrideField>(SlotOf(kArrowIds, item.id));
    commandIds_.push_back(item.id);
    return new OverrideArrows([this, field](int lines) { OverrideArrow(field, lines); }, this);
}

QWidget* ControlPanel::CreateOverrideEdit(const PanelItem& item) {
    auto* edit = new QLineEdit(this);
    // Only a click puts the keyboard into a field: keys meant for elsewhere (arrows, keypad,
    // letters) must never change an override.
    edit->setFocusPolicy(Qt::ClickFocus);
    edit->installEventFilter(this);
    overrides_[static_cast<std::size_t>(SlotOf(kOverrideIds, item.id))] = edit;
    commandIds_.push_back(item.id);
    return edit;
}

void ControlPanel::SetOperation(MachineOperation* operation) {
    operation_ = operation;
    ArrangeJogPad();
    ShowNothing();
}

void ControlPanel::ArrangeJogPad() {
    const JogPad pad = operation_ != nullptr ? JogPadOf(operation_->Machine()) : MillJogPad();
    if (pad == pad_)
        return;
    pad_ = pad;
    for (auto& [widget, rect] : placed_) {
        const auto button = std::find(pushButtons_.begin(), pushButtons_.end(), widget);
        if (button == pushButtons_.end() || !IsJogControl((*button)->Id()))
            continue;
        const std::optional<JogPadPlace> place = pad_.PlaceOf(*ActionOfControl((*button)->Id()));
        if (place) {
            rect = padPlaces_[static_cast<std::size_t>(*place)];
            widget->setGeometry(ScaledRect(rect));
        }
        widget->setVisible(place.has_value());
    }
}

// Nothing of a machine before the facade's own snapshots and texts arrive.
void ControlPanel::ShowNothing() {
    for (LampWidget* lamp : lamps_)
        lamp->setChecked(false);
    for (ReadoutWidget* readout : readouts_)
        readout->setText(QString());
    infoStrip_->Show(MachineInfoTexts{});
}

void ControlPanel::FirstFill() {
    filled_ = true;
    largeFont_ = LargeFontFor(font());
    for (int id : {control::kAxisX, control::kAxisY, control::kAxisZ, control::kAxisS})
        Control(id)->setFont(largeFont_);
    PushToWidgets();
}

void ControlPanel::StatusTick() {
    if (operation_ == nullptr)
        return;
    ReleaseLostJogs();
    operation_->StatusTick();
    ShowSelectors();
}

void ControlPanel::OnSnapshot(const MachineSnapshot& snapshot) {
    if (operation_ == nullptr)
        return;
    const std::array<bool, kIndicatorCount> lit = IndicatorsOf(snapshot);
    for (std::size_t i = 0; i < kIndicatorCount; ++i)
        lamps_[i]->setChecked(lit[i]);
    const std::array<std::string, kReadoutCount> texts =
        ReadoutTexts(snapshot, operation_->Machine());
    for (std::size_t i = 0; i < kReadoutCount; ++i)
        readouts_[i]->setText(QString::fromStdString(texts[i]));
}

void ControlPanel::OnInfoTexts(const MachineInfoTexts& texts) {
    infoStrip_->Show(texts);
}

bool ControlPanel::LampLit(Indicator which) const {
    return lamps_[static_cast<std::size_t>(which)]->isChecked();
}

QString ControlPanel::ReadoutText(Readout which) const {
    return readouts_[static_cast<std::size_t>(which)]->text();
}

void ControlPanel::ShowSelectors() {
    if (operation_ == nullptr)
        return;
    incrementBox_->setCurrentIndex(static_cast<int>(operation_->Jog().IncrementIndex()));
    speedBox_->setCurrentIndex(static_cast<int>(operation_->Jog().SpeedIndex()));
    infoStrip_->CheckCoordinates(operation_->WorkReadoutsChecked());
}

void ControlPanel::PushToWidgets() {
    ShowSelectors();
    for (std::size_t i = 0; i < kOverrideCount; ++i) {
        const auto field = static_cast<OverrideField>(i);
        const QString text = operation_ != nullptr
                                 ? QString::fromStdString(operation_->OverrideText(field))
                                 : QString();
        if (!overrides_[i]->hasFocus() && overrides_[i]->text() != text)
            overrides_[i]->setText(text);
    }
}

void ControlPanel::UpdateEnabled(const std::function<bool(int)>& isEnabled) {
    // A setup dialog may have made the machine a lathe or taken an axis off the card.
    ArrangeJogPad();
    for (int id : commandIds_)
        Control(id)->setEnabled(isEnabled(id));
    infoStrip_->UpdateEnabled(isEnabled);
}

void ControlPanel::OverrideEditFinished(OverrideField field) {
    const auto slot = static_cast<std::size_t>(field);
    if (operation_ == nullptr || slot >= overrides_.size())
        return;
    QLineEdit* edit = overrides_[slot];
    // Leaving a field that was only looked at changes nothing.
    if (!edit->isModified())
        return;
    // The operator's text is the one value taken from a widget; lamps and readouts are only
    // ever shown, never read back.
    operation_->OverrideTextEntered(field, edit->text().toStdString());
    // Taken or refused, the field shows the override in force (also while it keeps the focus).
    edit->setText(QString::fromStdString(operation_->OverrideText(field)));
    PushToWidgets();
}

void ControlPanel::RestoreOverrideField(OverrideField field) {
    QLineEdit* edit = overrides_[static_cast<std::size_t>(field)];
    if (operation_ != nullptr)
        edit->setText(QString::fromStdString(operation_->OverrideText(field)));
}

void ControlPanel::OverrideArrow(OverrideField field, int lines) {
    if (operation_ == nullptr)
        return;
    operation_->StepOverride(field, lines);
    PushToWidgets();
}

void ControlPanel::ButtonPressed(int id) {
    // While a jog is held, any popup (a menu opened from the keyboard grabs the mouse) lets
    // it go: the release would go to the popup.
    if (IsJogControl(id))
        qApp->installEventFilter(&popupWatch_);
    const std::optional<PanelAction> action = ActionOfControl(id);
    if (operation_ != nullptr && action)
        operation_->ActionPressed(*action);
}

void ControlPanel::ButtonReleased(int id, bool wasChecked, bool onButton) {
    if (IsJogControl(id))
        qApp->removeEventFilter(&popupWatch_);
    // The Cut box acts on the state it leaves; a release beside it leaves the box as it is,
    // so the machine's flag must stay as it is too.
    if (id == control::kCutBox && !onButton)
        return;
    const std::optional<PanelAction> action = ActionOfControl(id);
    if (operation_ != nullptr && action)
        operation_->ActionReleased(*action, wasChecked);
}

void ControlPanel::ButtonReleaseLost(int id) {
    if (IsJogControl(id) && operation_ != nullptr)
        operation_->ReleaseAllJogButtons();
}

void ControlPanel::DropJogButtonHolds() {
    qApp->removeEventFilter(&popupWatch_);
    for (auto* button : pushButtons_) {
        if (IsJogControl(button->Id()))
            button->DropHold();
    }
    if (operation_ != nullptr)
        operation_->ReleaseJogButtonsOnly();
}

void ControlPanel::DropJogHolds() {
    DropJogButtonHolds();
    jogKeys_->Forget();
    if (operation_ != nullptr)
        operation_->ReleaseAllJogButtons();
}

void ControlPanel::ReleaseKeyJogs() {
    jogKeys_->Forget();
    if (operation_ != nullptr)
        operation_->ReleaseJogKeys();
}

// The watchdog of every tick: a button jog is held only while the left mouse button is down
// (as the window system says where it can be asked, and as Qt's events say) and, where it
// cannot be asked, for a few seconds at most; a key jog only while the keys may jog and the
// key's auto-repeat confirms it; neither while a popup has taken the mouse and keyboard,
// whatever became of the release events.
void ControlPanel::ReleaseLostJogs() {
    if (QApplication::activePopupWidget() != nullptr) {
        DropJogHolds();
        return;
    }
    if (!jogKeys_->KeysMayJog())
        ReleaseKeyJogs();
    // The pointer query is a round trip to the window system: made only while a jog button is
    // held, the one case its answer decides.
    const bool jogButtonHeld = std::any_of(pushButtons_.begin(), pushButtons_.end(), [](auto* b) {
        return IsJogControl(b->Id()) && b->IsHeld();
    });
    const PointerButton pointer =
        jogButtonHeld && pointerProbe_ ? pointerProbe_() : PointerButton::Unknown;
    if (pointer == PointerButton::Up || (QGuiApplication::mouseButtons() & Qt::LeftButton) == 0)
        DropJogButtonHolds();
    if (operation_->CheckJogHolds(pointer == PointerButton::Unknown).buttons)
        DropJogButtonHolds();
}

void ControlPanel::DropAllHolds() {
    for (auto* button : pushButtons_)
        button->DropHold();
    cutBox_->DropHold();
    jogKeys_->Forget();
    if (operation_ != nullptr)
        operation_->ReleaseAllJogButtons();
}

bool ControlPanel::event(QEvent* event) {
    const bool deactivated = event->type() == QEvent::WindowDeactivate ||
                             (event->type() == QEvent::ActivationChange && !isActiveWindow());
    if (deactivated)
        DropAllHolds();
    return QWidget::event(event);
}

bool ControlPanel::eventFilter(QObject* watched, QEvent* event) {
    const auto found = std::find(overrides_.begin(), overrides_.end(), watched);
    if (found == overrides_.end())
        return QWidget::eventFilter(watched, event);
    const auto field = static_cast<OverrideField>(found - overrides_.begin());
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        OverrideEditFinished(field);
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OverrideEditFinished(field);
            return true;
        }
        if (key == Qt::Key_Escape) {
            RestoreOverrideField(field);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// A click on the panel outside its fields takes the keyboard out of an override field (what
// was typed there is taken as the focus leaves).
void ControlPanel::mousePressEvent(QMouseEvent* event) {
    QWidget* focused = QApplication::focusWidget();
    if (std::find(overrides_.begin(), overrides_.end(), focused) != overrides_.end())
        focused->clearFocus();
    QWidget::mousePressEvent(event);
}

ControlPanel::PopupWatch::PopupWatch(ControlPanel& panel) : panel_(panel) {}

bool ControlPanel::PopupWatch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->windowType() == Qt::Popup)
        panel_.DropJogHolds();
    return false;
}

} // namespace morvik
