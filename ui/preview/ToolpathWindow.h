// The toolpath preview window: a bar with the views and "Fit" (a lathe's own view first, shown
// on a lathe only), the drawing, a line that
// says what was planned (and which line leaves the soft limits, on which axis), and the list
// of the blocks the planner refused, each with its line; choosing one asks, through LineChosen,
// for that line to be shown in the editor.
#pragma once

#include "ui/preview/ToolpathPlan.h"
#include "ui/preview/ToolpathView.h"

#include <QWidget>

#include <cstdint>
#include <memory>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QToolBar;

namespace morvik::preview {

class CToolpathWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* kFit = "Fit";
    static constexpr const char* kPlanning = "Planning...";
    static constexpr const char* kNoProgram = "No part program loaded";

    explicit CToolpathWindow(QWidget* parent = nullptr);

    CToolpathView& View() { return *view_; }
    QToolBar& Bar() { return *bar_; }
    QLabel& Summary() { return *summary_; }
    QListWidget& Errors() { return *errors_; }

    void ShowPlan(std::shared_ptr<const CToolpathPlan> plan);
    void ShowPlanning();
    // No program: the drawing is emptied and text says why.
    void ShowNothing(const QString& text);

    // The summary line of a plan: lines, moves, refused blocks, the soft-limit excursion.
    static QString SummaryOf(const CToolpathPlan& plan);

signals:
    void LineChosen(std::uint32_t line);

private:
    QAction* AddViewButton(CViewKind view);
    void OnErrorChosen(QListWidgetItem* item);

    QToolBar* bar_ = nullptr;
    CToolpathView* view_ = nullptr;
    QLabel* summary_ = nullptr;
    QListWidget* errors_ = nullptr;
};

} // namespace morvik::preview
