#include "ui/MdiCommandLine.h"

#include "operation/ActiveModes.h"
#include "operation/MachineOperation.h"
#include "ui/ControlPanel.h"
#include "ui/PanelControls.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace morvik {

namespace {

constexpr int kFeedbackRows = 6;

} // namespace

void MdiCommandLine::SetOperation(MachineOperation* operation) {
    if (operation == operation_)
        return;
    operation_ = operation;
    shownOnce_ = false; // another session's texts
    Refresh();
}

MdiCommandLine::MdiCommandLine(WordSource words, QWidget* parent)
    : QWidget(parent), words_(std::move(words)), line_(new QLineEdit(this)),
      compose_(new QPushButton("Compose", this)), feedback_(new QPlainTextEdit(this)),
      history_(new QListWidget(this)), modes_(new QLabel(this)) {
    line_->setObjectName(ControlPanel::ControlName(control::kMdiCommandLine));
    line_->setPlaceholderText("Block, then Enter");
    line_->setMaxLength(static_cast<int>(MdiBlock::kLineLimit) + 1); // one more is refused
    line_->installEventFilter(this);
    compose_->setObjectName(ControlPanel::ControlName(control::kMdiCompose));
    compose_->setAutoDefault(false);
    feedback_->setObjectName(ControlPanel::ControlName(control::kMdiFeedback));
    feedback_->setReadOnly(true);
    feedback_->setFocusPolicy(Qt::ClickFocus);
    feedback_->setMaximumHeight(feedback_->fontMetrics().lineSpacing() * kFeedbackRows + 8);
    history_->setObjectName(ControlPanel::ControlName(control::kMdiHistory));
    history_->setFocusPolicy(Qt::ClickFocus);
    modes_->setObjectName(ControlPanel::ControlName(control::kMdiModes));
    modes_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    auto* label = new QLabel("&Block", this);
    label->setBuddy(line_);
    grid->addWidget(label, 0, 0);
    grid->addWidget(line_, 0, 1);
    grid->addWidget(compose_, 0, 2);
    grid->addWidget(modes_, 1, 0, 1, 3);
    grid->addWidget(feedback_, 2, 0, 1, 3);
    grid->addWidget(new QLabel("History", this), 3, 0, 1, 3);
    grid->addWidget(history_, 4, 0, 1, 3);
    grid->setRowStretch(4, 1);

    connect(line_, &QLineEdit::returnPressed, this, &MdiCommandLine::SendLine);
    connect(compose_, &QPushButton::clicked, this, &MdiCommandLine::Compose);
    connect(history_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        line_->setText(item->text());
        line_->setFocus();
    });

    Refresh();
}

MdiCommandLine::~MdiCommandLine() = default;

void MdiCommandLine::SendLine() {
    MachineOperation* operation = operation_;
    if (operation == nullptr)
        return;
    const MdiResult result = operation->SendMdiBlock(line_->text().toStdString());
    // A refused block stays on the line to be mended; one the card took is in the history.
    if (result == MdiResult::Sent || result == MdiResult::NotSelected)
        line_->clear();
    Refresh();
}

void MdiCommandLine::Compose() {
    if (words_)
        line_->setText(QString::fromStdString(MdiBlock::Compose(words_())));
    line_->setFocus();
}

void MdiCommandLine::Recall(bool older) {
    MachineOperation* operation = operation_;
    if (operation == nullptr)
        return;
    MdiSession& mdi = operation->Mdi();
    const auto text = older ? mdi.RecallOlder(line_->text().toStdString()) : mdi.RecallNewer();
    if (text)
        line_->setText(QString::fromStdString(*text));
}

void MdiCommandLine::ShowSnapshot(const MachineSnapshot& snapshot) {
    Refresh();
    ShowModes(snapshot);
}

// Shown only from a tick that asked the card (MDI mode); a card that does not answer says so.
void MdiCommandLine::ShowModes(const MachineSnapshot& snapshot) {
    if (snapshot.mode != MachineMode::Mdi)
        return;
    const QString text = snapshot.cardModes
                             ? QString::fromStdString(ActiveModesText(*snapshot.cardModes))
                             : QStringLiteral("Modes not known: the card does not tell them");
    if (modes_->text() != text)
        modes_->setText(text);
}

void MdiCommandLine::ModeChanged(MachineMode to) {
    Refresh();
    if (to == MachineMode::Mdi && line_->isEnabled())
        line_->setFocus();
}

void MdiCommandLine::Refresh() {
    MachineOperation* operation = operation_;
    line_->setEnabled(operation != nullptr && operation->IsActionEnabled(PanelAction::MdiBlock));
    compose_->setEnabled(operation != nullptr && operation->IsActionEnabled(PanelAction::MdiBlock));
    if (operation != nullptr)
        ShowSession(*operation);
}

void MdiCommandLine::ShowSession(MachineOperation& operation) {
    MdiSession& mdi = operation.Mdi();
    const std::vector<std::string>& entries = mdi.History().Entries();
    if (shownOnce_ && mdi.Revision() == shownRevision_)
        return;
    shownOnce_ = true;
    shownRevision_ = mdi.Revision();
    QStringList lines;
    for (const std::string& line : mdi.Feedback())
        lines << QString::fromStdString(line);
    feedback_->setPlainText(lines.join('\n'));
    feedback_->verticalScrollBar()->setValue(feedback_->verticalScrollBar()->maximum());
    history_->clear();
    for (const std::string& entry : entries)
        history_->addItem(QString::fromStdString(entry));
    history_->scrollToBottom();
}

bool MdiCommandLine::eventFilter(QObject* watched, QEvent* event) {
    if (watched == line_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Recall(key == Qt::Key_Up);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace morvik
