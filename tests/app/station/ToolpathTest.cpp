// The toolpath preview in the station on the simulated card: View > Toolpath opens and closes
// it through the command table, the machine's preview plans the loaded program and follows the
// card's file position with the part program window of the same file, an editor's preview
// follows its text and leads to the refused blocks, and the preview's copy of the machine
// (units, origins, soft limits).
#include "app/station/StationFixture.h"
#include "support/ShownTitle.h"

#include "controller/ControllerCodes.h"
#include "operation/CommandIds.h"
#include "settings/UnitTables.h"
#include "ui/PartDocuments.h"
#include "ui/PartView.h"
#include "ui/preview/PreviewSetup.h"
#include "ui/preview/PreviewWindows.h"
#include "ui/preview/ToolpathFeed.h"
#include "ui/preview/ToolpathWindow.h"

#include <QImage>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMdiArea>
#include <QPainter>

namespace morvik {
namespace {

using test::StationOnCard;

constexpr int kViewToolpath = Cmd::ViewToolpath;
constexpr int kModeRun = Cmd::ModeRun;
constexpr int kLoad = Cmd::Load;

class ToolpathOnCard : public StationOnCard {
protected:
    preview::CPreviewWindows& Previews() { return app->Previews(); }
    bool Checked() {
        const CommandState state = Commands().State(kViewToolpath);
        return state.enabled && state.mark == CommandMark::Check && state.marked;
    }
    void Execute(int id) { ASSERT_TRUE(Commands().Execute(id)); }
    CPartView* OpenPart(const std::string& name, const std::string& text) {
        const std::string path = work.File(name);
        std::ofstream(path) << text;
        return app->Parts().OpenFile(QString::fromStdString(path));
    }
    static void DeleteClosedWindows() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(ToolpathOnCard, ViewToolpathOpensAndClosesTheMachinePreview) {
    ASSERT_TRUE(Start());
    QAction* item = Commands().MenuAction(MenuKind::Main, kViewToolpath);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "Toolp&ath");
    EXPECT_FALSE(Checked());

    Execute(kViewToolpath);
    preview::CToolpathWindow* window = Previews().MachinePreview();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(Checked());
    EXPECT_EQ(window->Summary().text(), preview::CToolpathWindow::kNoProgram);
    QMdiSubWindow* sub = Frame().ActiveWindow();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->widget(), window);
    EXPECT_EQ(CMainFrame::KindOf(sub), DocumentKind::Machine);
    EXPECT_EQ(Commands().CurrentMenuKind(), MenuKind::Machine);
    // Its title names the machine's document first, and the main window's title names it whole.
    EXPECT_EQ(test::ShownTitle(sub), QString::fromStdString(Machine().GetTitle()) + " - Toolpath");
    EXPECT_EQ(test::ShownTitle(Frame()), "Morvik Program - " + test::ShownTitle(sub));

    Execute(kViewToolpath);
    EXPECT_EQ(Previews().MachinePreview(), nullptr);
    EXPECT_FALSE(Checked());

    // The window's own close box closes it as well.
    Execute(kViewToolpath);
    Frame().ActiveWindow()->close();
    DeleteClosedWindows();
    EXPECT_EQ(Previews().MachinePreview(), nullptr);
    EXPECT_FALSE(Checked());
}

TEST_F(ToolpathOnCard, TheRunningLineFollowsTheCardsFilePosition) {
    ASSERT_TRUE(Start());
    Home();
    Execute(kModeRun);
    Execute(kViewToolpath); // the machine's preview, before any program
    std::string text = "O1234\nG90 G1 F60\n";
    for (int i = 1; i <= 8; ++i)
        text += "X" + std::to_string(i * 0.5) + "\n";
    text += "M30\n";
    CPartView* editor = OpenPart("run.prt", text);
    ASSERT_NE(editor, nullptr);
    Execute(kLoad); // the editor's text to the card
    ASSERT_TRUE(Machine().State().partLoaded);
    Ticks(1);
    Previews().WaitForPlans();
    preview::CToolpathView& view = Previews().MachinePreview()->View();
    ASSERT_NE(view.Plan(), nullptr);
    EXPECT_EQ(view.Plan()->model.PieceCount(), 8u);
    EXPECT_EQ(view.DoneBefore(), 0u);
    EXPECT_EQ(editor->RunningLine(), 0);

    Press(control::kStart);
    Release(control::kStart);
    int last = 0;
    for (int step = 0; step < 4; ++step) {
        Ticks(7);
        const int line = Machine().Controller().QueryInt(code::FilePosition);
        EXPECT_GT(line, last) << step;
        EXPECT_EQ(editor->RunningLine(), line) << step;
        EXPECT_EQ(view.DoneBefore(), static_cast<std::uint32_t>(line)) << step;
        EXPECT_GT(view.DonePoint(), 0u);
        EXPECT_LT(view.DonePoint(), view.Plan()->model.Points().size());
        last = line;
    }
    Ticks(100); // to the end: all of it run, no line marked
    EXPECT_EQ(view.DoneBefore(), preview::kAllDone);
    EXPECT_EQ(editor->RunningLine(), 0);
}

TEST_F(ToolpathOnCard, AReloadedProgramIsPlannedAgainAndTheViewIsKept) {
    ASSERT_TRUE(Start());
    Home();
    Execute(kModeRun);
    Execute(kViewToolpath);
    CPartView* editor = OpenPart("a.prt", "O1\nG1 X1 F60\nM30\n");
    Execute(kLoad);
    Ticks(1);
    Previews().WaitForPlans();
    preview::CToolpathView& view = Previews().MachinePreview()->View();
    view.Camera().ZoomAt(10, 10, 3);
    const double scale = view.Camera().Scale();
    editor->setPlainText("O1\nG1 X1 F60\nG1 Y1\nM30\n");
    Execute(kLoad);
    Ticks(1);
    Previews().WaitForPlans();
    EXPECT_EQ(view.Plan()->model.PieceCount(), 2u);
    EXPECT_EQ(view.Camera().Scale(), scale);
}

TEST_F(ToolpathOnCard, AnEditorsPreviewFollowsItsTextAndLeadsToRefusedBlocks) {
    ASSERT_TRUE(Start());
    CPartView* editor = app->Parts().New();
    editor->setPlainText("G1 X1 F100\nG1 X2");
    Execute(kViewToolpath);
    preview::CToolpathWindow* window = Previews().EditorPreview(editor->Part());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Previews().MachinePreview(), nullptr);
    EXPECT_TRUE(Checked()); // the preview window is active
    Previews().WaitForPlans();
    ASSERT_NE(window->View().Plan(), nullptr);
    EXPECT_EQ(window->View().Plan()->model.PieceCount(), 2u);
    EXPECT_TRUE(window->Errors().isHidden());

    // Typing is followed once it pauses.
    editor->appendPlainText("G41 X3\nG1 X4");
    Previews().WaitForPlans();
    EXPECT_EQ(window->View().Plan()->model.PieceCount(), 2u);
    Previews().FlushEdits();
    Previews().WaitForPlans();
    EXPECT_EQ(window->View().Plan()->model.PieceCount(), 3u);
    ASSERT_EQ(window->Errors().count(), 1);
    EXPECT_TRUE(window->Errors().item(0)->text().startsWith("line 3: "));
    EXPECT_FALSE(window->Errors().isHidden());

    // Choosing the refused block puts the editor's cursor on its line.
    emit window->Errors().itemClicked(window->Errors().item(0));
    EXPECT_EQ(editor->textCursor().blockNumber(), 2);
    EXPECT_EQ(Frame().ActiveWindow()->widget(), editor);
    EXPECT_TRUE(Checked()); // from the editor: its preview is open
    EXPECT_FALSE(TraceHas("LOF"));

    // Closing the editor closes its preview.
    app->Parts().CloseAll();
    DeleteClosedWindows();
    EXPECT_FALSE(Checked());
}

TEST_F(ToolpathOnCard, ThePreviewSaysWhichLineLeavesTheSoftLimits) {
    ASSERT_TRUE(Start());
    Machine().Axes()[0].LowerLimit().Set(unit::Inch, -10);
    Machine().Axes()[0].UpperLimit().Set(unit::Inch, 10);
    CPartView* editor = app->Parts().New();
    editor->setPlainText("G20 G0 X1 Y1\nG1 X5 F10\nG1 X12\nG1 X0\n");
    Execute(kViewToolpath);
    Previews().WaitForPlans();
    preview::CToolpathWindow* window = Previews().EditorPreview(editor->Part());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->Summary().text().contains("Line 3 leaves the soft limits on X"))
        << window->Summary().text().toStdString();
}

TEST_F(ToolpathOnCard, ThePreviewCopiesTheMachinesUnitsOriginsAndLimits) {
    ASSERT_TRUE(Start());
    CMachine& m = Machine();
    m.General().defaultUnits.Set(kMetricUnits);
    m.General().partPrgmMetricDimUnits.Set(unit::Millimeter);
    m.General().partPrgmEnglishDimUnits.Set(unit::Inch);
    m.Axes()[0].ProgramOffset().Set(unit::Millimeter, 5);
    m.WorkCoords()[0].X().Set(unit::Inch, 1);
    m.Axes()[1].LowerLimit().Set(unit::Millimeter, -100);
    m.Axes()[1].UpperLimit().Set(unit::Millimeter, 100);
    m.Axes()[2].LowerLimit().Set(unit::Millimeter, -100); // Z is not on the card
    m.Axes()[2].UpperLimit().Set(unit::Millimeter, 100);
    const preview::CPreviewSetup setup = preview::PreviewSetupOf(m);
    EXPECT_EQ(setup.unitSymbol, "mm");
    EXPECT_NEAR(setup.planner.lengthPerUnit[0], 25.4, 1e-5); // G20 inches in millimetres
    EXPECT_NEAR(setup.planner.lengthPerUnit[1], 1, 1e-12);
    EXPECT_NEAR(setup.workZero[0], 30.4, 1e-5);
    EXPECT_FALSE(setup.limits.set[0]); // upper not above lower
    EXPECT_TRUE(setup.limits.set[1]);
    EXPECT_FALSE(setup.limits.set[2]);
    EXPECT_EQ(setup.planner.fittedAxes & 0x7, 0x3);
}

// After MDI "G91 G0 X5" the loaded program is planned where the tool stands, in the card's
// G91: "G1 X1" is drawn from the tool one millimetre on. A tool on its way is not followed;
// once it rests somewhere else, the program is planned again from there.
TEST_F(ToolpathOnCard, TheLoadedProgramIsPlannedFromTheToolInTheCardsModes) {
    const std::string machineFile = work.File("mill.mch");
    std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/../examples/mill.mch",
                               machineFile);
    ASSERT_TRUE(Start(machineFile));
    ASSERT_NO_FATAL_FAILURE(Home());
    Execute(Cmd::ModeMdi);
    ASSERT_EQ(Operation().SendMdiBlock("G91 G0 X5"), MdiResult::Sent);
    for (int i = 0; i < 200; ++i) {
        Ticks(1);
        const auto status = Operation().Snapshot().programStatus;
        if (status && (*status & psw::Finished) != 0)
            break;
    }
    Execute(kModeRun);
    Execute(kViewToolpath);
    OpenPart("a.prt", "O1\nG1 X1 F60\nM30\n");
    Execute(kLoad);
    Ticks(2);
    Previews().WaitForPlans();
    preview::CToolpathView& view = Previews().MachinePreview()->View();
    const std::shared_ptr<const preview::CToolpathPlan> planned = view.Plan();
    ASSERT_NE(planned, nullptr);
    const double toolX = Operation().Snapshot().Axis(SnapshotAxis::X).Shown();
    ASSERT_GT(planned->model.Points().size(), 1u);
    EXPECT_NEAR(planned->model.Points().front().x, toolX, 1e-3);
    EXPECT_NEAR(planned->model.Points().back().x, toolX + 1, 1e-3) << "G91 in force";

    preview::CToolpathFeed feed = preview::ToolpathFeedOf(Operation().Snapshot(), true);
    feed.tool[0] += 10;
    Previews().Tick(feed); // on its way there
    Previews().WaitForPlans();
    EXPECT_EQ(view.Plan(), planned);
    Previews().Tick(feed); // at rest there
    Previews().WaitForPlans();
    ASSERT_NE(view.Plan(), planned);
    EXPECT_NEAR(view.Plan()->model.Points().front().x, feed.tool[0], 1e-3);
}

// One line count for one file, wherever its text goes: File > Load, a load from its editor
// and the preview all say four for four lines with CR LF line ends (the last one ended too).
TEST_F(ToolpathOnCard, AFileHasOneLineCountLoadedFromDiskFromItsEditorAndInThePreview) {
    ASSERT_TRUE(Start());
    Home();
    Execute(kModeRun);
    Execute(kViewToolpath);
    const std::string path = work.File("crlf.prt");
    std::ofstream(path, std::ios::binary) << "O1\r\nG1 X1 F60\r\nG1 Y1\r\nM30\r\n";
    dialogs.files.push_back(QString::fromStdString(path));
    Execute(kLoad); // the machine's preview is active: File > Load asks for the file
    ASSERT_TRUE(Machine().State().partLoaded);
    EXPECT_EQ(Machine().State().partLines.size(), 4u) << "File > Load";
    Ticks(1);
    Previews().WaitForPlans();
    EXPECT_EQ(Previews().MachinePreview()->View().Plan()->lines, 4u) << "the preview";

    ASSERT_NE(app->Parts().OpenFile(QString::fromStdString(path)), nullptr);
    Execute(kLoad); // from the editor, now active
    EXPECT_EQ(Machine().State().partLines.size(), 4u) << "the editor's load";
    Ticks(1);
    Previews().WaitForPlans();
    EXPECT_EQ(Previews().MachinePreview()->View().Plan()->lines, 4u) << "the preview";
}

// A change of the setup a plan depends on (here the work zero, as Set work zero makes it)
// plans the machine's preview and an editor's again, with the soft-limit box.
TEST_F(ToolpathOnCard, ChangingTheWorkZeroPlansThePreviewsAgain) {
    ASSERT_TRUE(Start());
    Home();
    Execute(kModeRun);
    Execute(kViewToolpath);
    CPartView* editor = OpenPart("a.prt", "O1\nG90 G1 X1 F60\nM30\n");
    Execute(kLoad);
    Execute(kViewToolpath); // the editor's preview, beside the machine's
    Ticks(1);
    Previews().WaitForPlans();
    preview::CToolpathView& machineView = Previews().MachinePreview()->View();
    preview::CToolpathWindow* editorWindow = Previews().EditorPreview(editor->Part());
    ASSERT_NE(editorWindow, nullptr);
    const double before = machineView.Plan()->model.Points().back().x;
    EXPECT_NEAR(editorWindow->View().Plan()->model.Points().back().x, before, 1e-3);

    const double moved = Machine().WorkCoords()[0].X().ValueIn(unit::Inch) + 2;
    Machine().WorkCoords()[0].X().Set(unit::Inch, moved);
    Ticks(1);
    Previews().WaitForPlans();
    const double factor =
        LengthUnitFactor(Machine().DefaultUnitSystem().lengthUnit) / LengthUnitFactor(unit::Inch);
    EXPECT_NEAR(machineView.Plan()->model.Points().back().x, before + 2 * factor, 1e-3);
    EXPECT_NEAR(editorWindow->View().Plan()->model.Points().back().x, before + 2 * factor, 1e-3);
}

// A program loaded from an editor that was never saved has no path: its window and its own
// preview still follow the run, by the text that was sent. Once the editor's text changes it
// no longer holds what the card runs, and neither marks anything.
TEST_F(ToolpathOnCard, AnUnsavedEditorsLoadIsFollowedUntilItsTextChanges) {
    ASSERT_TRUE(Start());
    Home();
    Execute(kModeRun);
    CPartView* editor = app->Parts().New();
    std::string text = "O77\nG90 G1 F60\n";
    for (int i = 1; i <= 8; ++i)
        text += "X" + std::to_string(i * 0.5) + "\n";
    text += "M30\n";
    editor->setPlainText(QString::fromStdString(text));
    ASSERT_TRUE(editor->Part().Path().isEmpty());
    Execute(kViewToolpath); // the editor's own preview
    preview::CToolpathWindow* window = Previews().EditorPreview(editor->Part());
    ASSERT_NE(window, nullptr);
    app->Parts().Load(*editor);
    ASSERT_TRUE(Machine().State().partLoaded);
    EXPECT_TRUE(Previews().WantsProgress());
    Ticks(1);
    Previews().WaitForPlans();

    Press(control::kStart);
    Release(control::kStart);
    Ticks(14);
    const int line = Machine().Controller().QueryInt(code::FilePosition);
    ASSERT_GT(line, 0);
    EXPECT_EQ(editor->RunningLine(), line);
    EXPECT_EQ(window->View().DoneBefore(), static_cast<std::uint32_t>(line));
    EXPECT_GT(window->View().DonePoint(), 0u);

    editor->appendPlainText("G0 Z5");
    Ticks(1);
    EXPECT_EQ(editor->RunningLine(), 0);
    EXPECT_EQ(window->View().DoneBefore(), 0u);
    EXPECT_FALSE(Previews().WantsProgress()) << "no window holds the loaded text";
    editor->undo(); // the text the card runs again
    Ticks(1);
    EXPECT_GT(editor->RunningLine(), 0);
}

// File > Load from the disk opens no editor: the machine's preview lists the loaded text beside
// the drawing, tints the running line and keeps it in view, and a line clicked in the list
// has its moves picked out in the drawing.
TEST_F(ToolpathOnCard, TheMachinesPreviewListsTheLoadedTextWithTheRunningLine) {
    ASSERT_TRUE(Start());
    Home();
    Execute(kModeRun);
    Execute(kViewToolpath);
    preview::CToolpathWindow* window = Previews().MachinePreview();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->ProgramText().isHidden()) << "nothing loaded";
    std::string text = "O1\nG90 G1 F60\n";
    for (int i = 1; i <= 60; ++i)
        text += "X" + std::to_string(i * 0.1) + "\n";
    text += "M30\n";
    const std::string path = work.File("disk.prt");
    std::ofstream(path) << text;
    dialogs.files.push_back(QString::fromStdString(path));
    const std::size_t windowsBefore = Frame().MdiArea()->subWindowList().size();
    Execute(kLoad);
    ASSERT_TRUE(Machine().State().partLoaded);
    EXPECT_EQ(Frame().MdiArea()->subWindowList().size(), windowsBefore) << "no editor opened";
    Ticks(1);
    Previews().WaitForPlans();
    EXPECT_FALSE(window->ProgramText().isHidden());
    preview::CProgramTextModel& lines = window->ProgramLines();
    ASSERT_EQ(lines.rowCount(), 63);
    EXPECT_EQ(lines.LineText(3), "X0.100000");
    EXPECT_EQ(lines.LineText(63), "M30");

    window->resize(500, 300);
    window->show();
    Press(control::kStart);
    Release(control::kStart);
    Ticks(30);
    const int running = Machine().Controller().QueryInt(code::FilePosition);
    ASSERT_GT(running, 20) << "far enough to leave the list's first screen";
    EXPECT_EQ(lines.RunningLine(), static_cast<std::uint32_t>(running));
    const QModelIndex at = lines.index(running - 1);
    EXPECT_TRUE(lines.data(at, Qt::BackgroundRole).isValid());
    EXPECT_FALSE(lines.data(lines.index(0), Qt::BackgroundRole).isValid());
    EXPECT_TRUE(
        window->ProgramText().viewport()->rect().intersects(window->ProgramText().visualRect(at)))
        << "the running line is kept in view";

    emit window->ProgramText().clicked(lines.index(4)); // "X0.200000"
    EXPECT_EQ(window->View().PickedLine(), 5u);
    QImage image(400, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    window->View().Render(painter, image.size());
    EXPECT_EQ(window->View().LastPickedList().runs.size(), 1u);
}

} // namespace
} // namespace morvik
