// The toolpath window as the operator looks at it: the summary under the drawing at any window
// size and in good English, the drawing fitted to each new plan until the operator moves it,
// the part already run drawn over what is still to run, and the loaded text's list.
#include "ui/preview/ToolpathWindow.h"
#include "ui/preview/ProgramTextModel.h"
#include "ui/preview/ToolpathPlan.h"
#include "ui/preview/ToolpathView.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace morvik::preview {
namespace {

std::shared_ptr<const CToolpathPlan> Planned(const std::string& text) {
    return std::make_shared<const CToolpathPlan>(PlanToolpath(text, {}));
}

TEST(ToolpathWindowSummary, CountsRefusedBlocksInGoodEnglish) {
    const struct {
        std::size_t refused;
        const char* says;
    } cases[] = {{0, "3 lines, 2 moves"},
                 {1, "3 lines, 2 moves, 1 block refused"},
                 {2, "3 lines, 2 moves, 2 blocks refused"},
                 {21, "3 lines, 2 moves, 21 blocks refused"}};
    CToolpathPlan plan = PlanToolpath("G1 X1 F10\nG1 Y1\nM30\n", {});
    for (const auto& c : cases) {
        plan.errorCount = c.refused;
        EXPECT_EQ(CToolpathWindow::SummaryOf(plan), c.says) << c.refused;
    }
}

// A long summary in windows too small for it on one line: it wraps under the drawing and
// never lies over it, down to the smallest the window's layout allows.
TEST(ToolpathWindowSummary, NeverCoversTheDrawing) {
    CToolpathWindow window;
    CToolpathPlan plan = PlanToolpath("G20 G1 X1 F10\nG1 X30\nG1 Y1\nM30\n", {});
    plan.errorCount = 1234;
    plan.excursion = {2, 0, 30, 10};
    window.ShowPlan(std::make_shared<const CToolpathPlan>(plan));
    window.show();
    for (const QSize size : {QSize(560, 420), QSize(300, 260), QSize(180, 160), QSize(60, 60)}) {
        window.resize(size);
        QApplication::processEvents();
        const QRect drawing(window.View().mapTo(&window, QPoint(0, 0)), window.View().size());
        const QRect summary = window.Summary().geometry();
        EXPECT_FALSE(drawing.intersects(summary))
            << size.width() << "x" << size.height() << " (" << window.height() << " high, at least "
            << window.minimumHeight() << "): drawing " << drawing.bottom() << ", summary from "
            << summary.top();
        EXPECT_GE(window.Summary().height(),
                  window.Summary().heightForWidth(window.Summary().width()))
            << "the whole summary shows at " << size.width();
    }
}

// Each new plan is fitted while the camera is where the last fit left it: a program typed
// line by line stays whole in view. A zoom (or pan) keeps the camera for every later plan,
// until Fit or another view follows the plans again.
TEST(ToolpathViewFit, EachPlanIsFittedUntilTheOperatorMovesTheCamera) {
    CToolpathView view;
    view.resize(400, 300);
    view.SetPlan(Planned("G1 X10 F100\n"));
    const double first = view.Camera().Scale();
    view.SetPlan(Planned("G1 X10 F100\nG1 X100\n"));
    const double grown = view.Camera().Scale();
    EXPECT_LT(grown, first / 5) << "fitted to the program grown tenfold";
    EXPECT_TRUE(view.FollowsPlans());

    view.Camera().ZoomAt(100, 100, 2);
    EXPECT_FALSE(view.FollowsPlans());
    const double zoomed = view.Camera().Scale();
    view.SetPlan(Planned("G1 X10 F100\nG1 X1000\n"));
    EXPECT_EQ(view.Camera().Scale(), zoomed);

    view.Fit();
    EXPECT_TRUE(view.FollowsPlans());
    view.SetPlan(Planned("G1 X10 F100\nG1 X10000\n"));
    EXPECT_LT(view.Camera().Scale(), zoomed / 5);

    view.Camera().Pan(30, 0);
    const double panned = view.Camera().Scale();
    view.SetPlan(Planned("G1 X1 F100\n"));
    EXPECT_EQ(view.Camera().Scale(), panned);
    view.SetViewKind(CViewKind::Front);
    EXPECT_TRUE(view.FollowsPlans());
}

// Two passes over one square at two depths coincide in the top view. Half run, the part
// already cut is what shows there, in the colour of the part run.
TEST(ToolpathViewDrawing, ThePartRunIsDrawnOverWhatIsStillToRun) {
    CToolpathView view;
    const std::string pass = "G1 X10 F100\nG1 Y10\nG1 X0\nG1 Y0\n";
    view.SetPlan(Planned("G1 Z-1 F100\n" + pass + "G1 Z-2\n" + pass));
    view.SetDoneBefore(7); // the first pass and the step down run
    QImage image(200, 200, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        view.Camera().SetSize(200, 200);
        view.Fit();
        view.Render(painter, image.size());
    }
    const CScreenPoint mid = view.Camera().Project(5, 0, -1); // on the first side of both
    const QRgb at = image.pixel(static_cast<int>(mid.u), static_cast<int>(mid.v));
    EXPECT_EQ(at & 0xffffff, StrokeStyle(kStrokeDone).rgb)
        << std::hex << (at & 0xffffff) << " where the cut part is " << StrokeStyle(kStrokeDone).rgb;
}

TEST(ProgramTextModel, ListsTheLinesNumberedWithTheRunningLineTinted) {
    CProgramTextModel model;
    EXPECT_EQ(model.rowCount(), 0);
    const struct {
        const char* text;
        int rows;
        const char* last;
    } cases[] = {{"O1\nG1 X1\n\nM30\n", 4, "M30"},
                 {"O1\nG1 X1\nM30", 3, "M30"}, // a last line without its end
                 {"\n", 1, ""}};
    for (const auto& c : cases) {
        model.SetText(std::make_shared<const std::string>(c.text));
        ASSERT_EQ(model.rowCount(), c.rows) << c.text;
        EXPECT_EQ(model.LineText(static_cast<std::uint32_t>(c.rows)), c.last) << c.text;
        EXPECT_EQ(model.LineText(0), "");
        EXPECT_EQ(model.LineText(static_cast<std::uint32_t>(c.rows) + 1), "");
    }
    model.SetText(std::make_shared<const std::string>("O1\nG1 X1\n\nM30\n"));
    EXPECT_EQ(model.LineText(2), "G1 X1");
    EXPECT_EQ(model.LineText(3), "");
    EXPECT_EQ(model.data(model.index(1), Qt::DisplayRole).toString(), "2  G1 X1");

    model.SetRunningLine(2);
    EXPECT_TRUE(model.data(model.index(1), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(model.data(model.index(0), Qt::BackgroundRole).isValid());
    model.SetRunningLine(9); // past the end: none
    EXPECT_EQ(model.RunningLine(), 0u);
    model.SetRunningLine(4);
    model.SetText(std::make_shared<const std::string>("O2\n")); // another program: none yet
    EXPECT_EQ(model.RunningLine(), 0u);
    model.SetText(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
}

// An editor's preview lists no text (its editor is the text); the machine's lists what it is
// given, and a line clicked there is picked out in the drawing.
TEST(ToolpathWindowText, ShownOnlyWithATextAndPicksTheClickedLine) {
    CToolpathWindow window;
    window.show();
    window.ShowPlan(Planned("G1 X10 F100\nG1 Y10\nG0 X0\n"));
    EXPECT_TRUE(window.ProgramText().isHidden());
    window.ShowProgramText(std::make_shared<const std::string>("G1 X10 F100\nG1 Y10\nG0 X0\n"));
    EXPECT_FALSE(window.ProgramText().isHidden());
    EXPECT_EQ(window.ProgramLines().rowCount(), 3);
    emit window.ProgramText().clicked(window.ProgramLines().index(1));
    EXPECT_EQ(window.View().PickedLine(), 2u);
    window.ShowProgramText(nullptr);
    EXPECT_TRUE(window.ProgramText().isHidden());
    EXPECT_EQ(window.View().PickedLine(), 0u);
}

} // namespace
} // namespace morvik::preview
