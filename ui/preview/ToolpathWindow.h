// The toolpath preview window: a bar with the views and "Fit" (a lathe's own view first, shown
// on a lathe only), the drawing, a line that
// says what was planned (and which line leaves the soft limits, on which axis), and the list
// of the blocks the planner refused, each with its line; choosing one asks, through LineChosen,
// for that line to be shown in the editor. The machine's preview also lists the loaded
// program's text beside the drawing (a splitter between them): the running line tinted and
// kept in view, and a line clicked has its moves picked out in the drawing. An editor's
// preview lists no text: its editor is the text.
#pragma once

#include "ui/preview/ProgramTextModel.h"
#include "ui/preview/ToolpathPlan.h"
#include "ui/preview/ToolpathView.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

class QLabel;
class QListView;
class QListWidget;
class QSplitter;
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
    QListView& ProgramText() { return *text_; }
    CProgramTextModel& ProgramLines() { return *lines_; }
    QSplitter& Splitter() { return *splitter_; }

    void ShowPlan(std::shared_ptr<const CToolpathPlan> plan);
    void ShowPlanning();
    // No program: the drawing is emptied and text says why.
    void ShowNothing(const QString& text);
    // The program text listed beside the drawing; null hides the list.
    void ShowProgramText(std::shared_ptr<const std::string> text);
    // The line the card executes (0: none), tinted and scrolled into view.
    void SetRunningLine(std::uint32_t line);

    // The summary line of a plan: lines, moves, refused blocks, the soft-limit excursion.
    static QString SummaryOf(const CToolpathPlan& plan);

protected:
    void resizeEvent(QResizeEvent* event) override;

signals:
    void LineChosen(std::uint32_t line);

private:
    QAction* AddViewButton(CViewKind view);
    void MakeProgramText();
    void FitSummary();
    void OnErrorChosen(QListWidgetItem* item);
    void OnTextLineChosen(const QModelIndex& index);

    QToolBar* bar_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QListView* text_ = nullptr;
    CProgramTextModel* lines_ = nullptr;
    CToolpathView* view_ = nullptr;
    QLabel* summary_ = nullptr;
    QListWidget* errors_ = nullptr;
};

} // namespace morvik::preview
