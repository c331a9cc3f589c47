#include "ui/preview/ToolpathWindow.h"

#include <QAction>
#include <QFontDatabase>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace morvik::preview {

namespace {

constexpr int kLineRole = Qt::UserRole;
constexpr int kErrorListHeight = 90;
constexpr int kTextMinWidth = 120;
constexpr int kTextShare = 220; // the list's first width beside the drawing

} // namespace

CToolpathWindow::CToolpathWindow(QWidget* parent) : QWidget(parent) {
    bar_ = new QToolBar(this);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(false);
    MakeProgramText();
    view_ = new CToolpathView(splitter_);
    splitter_->addWidget(text_);
    splitter_->addWidget(view_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    summary_ = new QLabel(this);
    summary_->setTextFormat(Qt::PlainText);
    // Below the drawing, never over it: a long summary in a narrow window wraps onto more
    // lines (the layout gives it their height) instead of asking for the window's width.
    summary_->setWordWrap(true);
    summary_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
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
    // A window made smaller than the bar, the drawing's least and the summary need would lay
    // them over one another: the layout's minimum is the window's.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->setSpacing(2);
    layout->addWidget(bar_);
    layout->addWidget(splitter_, 1);
    layout->addWidget(summary_);
    layout->addWidget(errors_);
    connect(errors_, &QListWidget::itemClicked, this, &CToolpathWindow::OnErrorChosen);
    connect(errors_, &QListWidget::itemActivated, this, &CToolpathWindow::OnErrorChosen);
    resize(560, 420);
}

// A read-only list, not an editor: the text is what the card holds, and the place to change
// it is the part program's own window.
void CToolpathWindow::MakeProgramText() {
    lines_ = new CProgramTextModel(this);
    text_ = new QListView(splitter_);
    text_->setModel(lines_);
    text_->setUniformItemSizes(true); // a million lines are laid out without measuring each
    text_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    text_->setSelectionMode(QAbstractItemView::SingleSelection);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setMinimumWidth(kTextMinWidth);
    text_->hide();
    connect(text_, &QListView::clicked, this, &CToolpathWindow::OnTextLineChosen);
    connect(text_, &QListView::activated, this, &CToolpathWindow::OnTextLineChosen);
}

QAction* CToolpathWindow::AddViewButton(CViewKind view) {
    return bar_->addAction(ViewName(view), view_, [this, view] { view_->SetViewKind(view); });
}

QString CToolpathWindow::SummaryOf(const CToolpathPlan& plan) {
    QString text = QString("%1 lines, %2 moves").arg(plan.lines).arg(plan.model.PieceCount());
    if (plan.errorCount > 0)
        text += plan.errorCount == 1 ? QString(", 1 block refused")
                                     : QString(", %1 blocks refused").arg(plan.errorCount);
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
    FitSummary();
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

// The summary's height at the window's width as its least, so that the window's least height
// grows with the lines the summary wraps onto: a window made that short stops there instead of
// laying the summary over the drawing.
void CToolpathWindow::FitSummary() {
    const int width = contentsRect().width();
    summary_->setMinimumHeight(summary_->text().isEmpty() ? 0 : summary_->heightForWidth(width));
}

void CToolpathWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitSummary();
}

void CToolpathWindow::ShowPlanning() {
    summary_->setStyleSheet("");
    summary_->setText(kPlanning);
    FitSummary();
}

void CToolpathWindow::ShowNothing(const QString& text) {
    errors_->clear();
    errors_->hide();
    summary_->setStyleSheet("");
    summary_->setText(text);
    FitSummary();
    view_->SetPlan(nullptr);
}

void CToolpathWindow::ShowProgramText(std::shared_ptr<const std::string> text) {
    if (text == lines_->Text())
        return;
    const bool wasShown = !text_->isHidden();
    lines_->SetText(text);
    view_->SetPickedLine(0);
    text_->setVisible(text != nullptr);
    if (text != nullptr && !wasShown) {
        const int total = splitter_->width();
        splitter_->setSizes({kTextShare, std::max(total - kTextShare, kTextShare)});
    }
}

void CToolpathWindow::SetRunningLine(std::uint32_t line) {
    lines_->SetRunningLine(line);
    if (lines_->RunningLine() != 0)
        text_->scrollTo(lines_->index(CProgramTextModel::RowOf(line)));
}

void CToolpathWindow::OnTextLineChosen(const QModelIndex& index) {
    if (index.isValid())
        view_->SetPickedLine(CProgramTextModel::LineOf(index.row()));
}

void CToolpathWindow::OnErrorChosen(QListWidgetItem* item) {
    if (item != nullptr)
        emit LineChosen(item->data(kLineRole).toUInt());
}

} // namespace morvik::preview
