#include "ui/preview/ToolpathWindow.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

namespace morvik::preview {

namespace {

constexpr int kLineRole = Qt::UserRole;
constexpr int kErrorListHeight = 90;

} // namespace

CToolpathWindow::CToolpathWindow(QWidget* parent) : QWidget(parent) {
    bar_ = new QToolBar(this);
    view_ = new CToolpathView(this);
    summary_ = new QLabel(this);
    summary_->setTextFormat(Qt::PlainText);
    errors_ = new QListWidget(this);
    errors_->setMaximumHeight(kErrorListHeight);
    errors_->hide();
    QAction* lathe = AddViewButton(CViewKind::Lathe);
    lathe->setVisible(view_->HomeView() == CViewKind::Lathe);
    connect(view_, &CToolpathView::HomeViewChanged, lathe,
            [lathe](CViewKind home) { lathe->setVisible(home == CViewKind::Lathe); });
    for (CViewKind view : {CViewKind::Top, CViewKind::Front, CViewKind::Side, CViewKind::Iso})
        AddViewButton(view);
    bar_->addSeparator();
    bar_->addAction(kFit, view_, &CToolpathView::Fit);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(bar_);
    layout->addWidget(view_, 1);
    layout->addWidget(summary_);
    layout->addWidget(errors_);
    connect(errors_, &QListWidget::itemClicked, this, &CToolpathWindow::OnErrorChosen);
    connect(errors_, &QListWidget::itemActivated, this, &CToolpathWindow::OnErrorChosen);
    resize(560, 420);
}

QAction* CToolpathWindow::AddViewButton(CViewKind view) {
    return bar_->addAction(ViewName(view), view_, [this, view] { view_->SetViewKind(view); });
}

QString CToolpathWindow::SummaryOf(const CToolpathPlan& plan) {
    QString text = QString("%1 lines, %2 moves").arg(plan.lines).arg(plan.model.PieceCount());
    if (plan.errorCount > 0)
        text += QString(", %1 blocks refused").arg(plan.errorCount);
    QString excursion = QString::fromStdString(ExcursionText(plan.excursion));
    if (!excursion.isEmpty()) {
        excursion[0] = excursion[0].toUpper(); // a sentence of its own
        text += ". " + excursion;
    }
    return text;
}

void CToolpathWindow::ShowPlan(std::shared_ptr<const CToolpathPlan> plan) {
    const bool outside = plan != nullptr && plan->excursion.line != 0;
    summary_->setText(plan != nullptr ? SummaryOf(*plan) : QString());
    summary_->setStyleSheet(outside ? "color: #c01010;" : "");
    errors_->clear();
    if (plan != nullptr) {
        for (const CPlanError& error : plan->errors) {
            auto* item = new QListWidgetItem(
                QString("line %1: %2").arg(error.line).arg(QString::fromStdString(error.text)));
            item->setData(kLineRole, error.line);
            errors_->addItem(item);
        }
    }
    errors_->setVisible(errors_->count() > 0);
    view_->SetPlan(std::move(plan));
}

void CToolpathWindow::ShowPlanning() {
    summary_->setStyleSheet("");
    summary_->setText(kPlanning);
}

void CToolpathWindow::ShowNothing(const QString& text) {
    errors_->clear();
    errors_->hide();
    summary_->setStyleSheet("");
    summary_->setText(text);
    view_->SetPlan(nullptr);
}

void CToolpathWindow::OnErrorChosen(QListWidgetItem* item) {
    if (item != nullptr)
        emit LineChosen(item->data(kLineRole).toUInt());
}

} // namespace morvik::preview
