#include "dialogs/NumberedSetupForm.h"

#include "dialogs/ValidationMessage.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

namespace morvik {

namespace {

// Sets a flag for the length of a scope, so that focus changes caused by our own message
// boxes are not taken for the operator leaving the number field.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

QToolButton* ArrowButton(Qt::ArrowType arrow) {
    auto* button = new QToolButton;
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus); // as a spin control: clicking leaves the focus alone
    return button;
}

} // namespace

CNumberedSetupForm::CNumberedSetupForm(const SetupContext& context, const QString& caption,
                                       const QString& numberLabel, int maximum, int& remembered,
                                       int numberMaxChars)
    : CSetupForm(context, caption), maximum_(maximum), remembered_(remembered),
      numberMaxChars_(numberMaxChars), current_(Clamp(remembered)), number_(new QLineEdit),
      up_(ArrowButton(Qt::UpArrow)), down_(ArrowButton(Qt::DownArrow)) {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(number_);
    row->addWidget(up_);
    row->addWidget(down_);
    AddRow(numberLabel, box);
    number_->setText(QString::number(current_));
    number_->installEventFilter(this);
    connect(up_, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

bool CNumberedSetupForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == number_ && event->type() == QEvent::FocusOut && !busy_) {
        // Another window becoming active or a popup takes the focus only for a while: the
        // field gets it back with the dialog, so the entry is not switched then.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            NumberFieldLeft();
    }
    return CSetupForm::eventFilter(watched, event);
}

void CNumberedSetupForm::accept() {
    if (busy_)
        return;
    {
        BusyScope scope(busy_);
        if (numberMaxChars_ > 0 && number_->text().size() > numberMaxChars_) {
            ShowValidationMessage(
                this, QStringLiteral("Enter no more than %1 characters.").arg(numberMaxChars_));
            number_->setFocus(Qt::OtherFocusReason);
            return;
        }
        if (!StoreShown())
            return;
        ShowEntry(Clamp(LeadingInteger(number_->text())));
    }
    CSetupForm::accept();
}

void CNumberedSetupForm::NumberFieldLeft() {
    BusyScope scope(busy_);
    if (StoreShown())
        ShowEntry(Clamp(LeadingInteger(number_->text())));
}

void CNumberedSetupForm::Step(int delta) {
    if (busy_)
        return;
    BusyScope scope(busy_);
    if (StoreShown())
        ShowEntry(Clamp(current_ + delta));
}

bool CNumberedSetupForm::StoreShown() {
    if (!CheckFields())
        return false;
    StoreFields();
    return true;
}

void CNumberedSetupForm::ShowEntry(int number) {
    current_ = number;
    remembered_ = number;
    number_->setText(QString::number(number));
    ShowFields();
}

int CNumberedSetupForm::Clamp(int number) const {
    return std::clamp(number, 1, maximum_);
}

} // namespace morvik
