// The Qt operator interface with a machine document on the recording fake library: message
// boxes and their captions, file dialog filters, the wait cursor, and the machine's windows in
// the main window (titles and numbers, text routing, who tells the document a window is gone).
#include "controller/StringTable.h"
#include "machine/Machine.h"
#include "operation/ProgramView.h"
#include "support/FakeKelvApi.h"
#include "support/ShownTitle.h"
#include "ui/HomingView.h"
#include "ui/MDIPanel.h"
#include "ui/MainFrame.h"
#include "ui/OutputDisplay.h"
#include "ui/QtOperatorInterface.h"
#include "ui/StatusDisplay.h"
#include "ui/TextView.h"
#include "ui/shell/ConfigFolder.h"
#include "ui/shell/RecordingDialogs.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace morvik {
namespace {

TEST(FileFilters, BecomeQtFiltersWithEveryFileMatchedByStarDotStar) {
    struct Case {
        std::vector<FileFilter> filters;
        QString expected;
    };
    const Case cases[] = {
        {{{"Part Files (*.prt)", "*.prt"}, {"All Files (*.*)", "*.*"}},
         "Part Files (*.prt);;All Files (*)"},
        {{{"Machine Files", "*.mch"}}, "Machine Files (*.mch)"},
        {{}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtOperatorInterface::FilterString(c.filters), c.expected);
}

class OperatorOnFake : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::current_path(config.folder.Path()); // the new machine's files
        ASSERT_TRUE(frame.Create());
        frame.show();
        ui = std::make_unique<QtOperatorInterface>(frame);
        machine = std::make_unique<CMachine>(fake.Table(), clock, *ui);
        ASSERT_TRUE(machine->Connect());
        ASSERT_TRUE(machine->OnNewDocument());
        fake.ClearCalls();
    }
    void TearDown() override {
        ui->CloseAllViews();
        machine.reset();
        ui.reset();
        std::filesystem::current_path(saved_);
    }

    QStringList Titles() const {
        QStringList titles;
        for (QMdiSubWindow* window : frame.MdiArea()->subWindowList(QMdiArea::CreationOrder))
            titles << test::ShownTitle(window);
        return titles;
    }

    test::ConfigFolder config;
    test::RecordingDialogs dialogs;
    test::FakeKelvApi fake;
    ManualClock clock;
    CMainFrame frame;
    std::unique_ptr<QtOperatorInterface> ui;
    std::unique_ptr<CMachine> machine;

private:
    std::filesystem::path saved_ = std::filesystem::current_path();
};

TEST_F(OperatorOnFake, MessageBoxesCarryTheApplicationCaptionAndTheStringTableText) {
    ui->ShowMessage(msg::MustHomeBeforeRun);
    ui->ShowMessageBox(msg::ControllerFileNotWritten, "Machine1.CFG");
    ui->ShowMessage(msg::UnableToOpenAscii);
    ASSERT_EQ(dialogs.boxes.size(), 3u);
    for (const auto& box : dialogs.boxes) {
        EXPECT_EQ(box.caption, "Morvik Windows Application");
        EXPECT_TRUE(box.hadParent);
    }
    EXPECT_EQ(dialogs.boxes[0].text, "Machine must be Homed before selecting Run mode");
    EXPECT_EQ(dialogs.boxes[1].text,
              QString::fromStdString(MessageText(msg::ControllerFileNotWritten)) +
                  "\nMachine1.CFG");
    EXPECT_FALSE(dialogs.boxes[2].text.contains('\r'));
    EXPECT_TRUE(dialogs.boxes[2].text.contains("ASCII mode\n(make sure"));
}

TEST_F(OperatorOnFake, FileDialogsTakeTheFiltersAndTellACancelFromAChoice) {
    dialogs.files = {"/tmp/a.prt", QString()};
    const std::vector<FileFilter> filters = {{"Part Files (*.prt)", "*.prt"}};
    EXPECT_EQ(ui->ChooseOpenFile("Load Part", filters), std::optional<std::string>("/tmp/a.prt"));
    EXPECT_FALSE(ui->LastFileDialogCancelled());
    EXPECT_EQ(ui->ChooseSaveFile("Save Setup As", filters, ""), std::nullopt);
    EXPECT_TRUE(ui->LastFileDialogCancelled());
    EXPECT_EQ(dialogs.fileDialogs, QStringList({"open Load Part | Part Files (*.prt)",
                                                "save Save Setup As | Part Files (*.prt)"}));
}

TEST_F(OperatorOnFake, WaitCursorNestsUntilTheLastEnd) {
    ui->BeginWaitCursor();
    ui->BeginWaitCursor();
    ui->EndWaitCursor();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui->EndWaitCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ui->EndWaitCursor(); // one End too many changes nothing
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(OperatorOnFake, TheWaitCursorIsLiftedWhileAMessageOrQuestionIsUp) {
    ui->BeginWaitCursor();
    ui->ShowMessage(msg::CardNotAnswering);
    dialogs.answers = {BoxAnswer::Yes};
    EXPECT_TRUE(ui->AskYesNo(msg::AbortRunningProgramToLoad, {}));
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor) << "back after the box";
    ui->EndWaitCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ui->ShowMessage(msg::NoPartLoaded); // without a wait cursor nothing is put over the box

    ASSERT_EQ(dialogs.boxes.size(), 3u);
    EXPECT_EQ(dialogs.boxes[0].cursor, Qt::ArrowCursor);
    EXPECT_EQ(dialogs.boxes[1].cursor, Qt::ArrowCursor);
    EXPECT_EQ(dialogs.boxes[1].icon, BoxIcon::Question);
    EXPECT_EQ(dialogs.boxes[1].text.toStdString(), MessageText(msg::AbortRunningProgramToLoad));
    EXPECT_EQ(dialogs.boxes[2].cursor, -1);
    dialogs.answers = {BoxAnswer::No};
    EXPECT_FALSE(ui->AskYesNo(msg::AbortRunningProgramToLoad, {}));
    EXPECT_FALSE(ui->AskYesNo(msg::AbortRunningProgramToLoad, {})) << "no answer is No";
}

TEST_F(OperatorOnFake, MachineWindowsSayWhatTheyAreBesideTheDocumentTitle) {
    ASSERT_TRUE(ui->OpenView(ViewKind::HomingView));
    EXPECT_NE(dynamic_cast<HomingView*>(ui->View(ViewKind::HomingView)), nullptr);
    EXPECT_EQ(Titles(), QStringList({"Homing - Machine1"}));
    EXPECT_EQ(test::ShownTitle(frame), "Morvik Program - Machine1");

    ASSERT_TRUE(ui->OpenView(ViewKind::StatusDisplay));
    EXPECT_NE(dynamic_cast<CStatusDisplay*>(ui->View(ViewKind::StatusDisplay)), nullptr);
    const QPoint corner = ui->ViewWindow(ViewKind::StatusDisplay)->pos();
    EXPECT_TRUE(corner.x() >= 0 && corner.y() >= 0) << "left edge and title bar in view";
    ASSERT_TRUE(ui->OpenView(ViewKind::ProgramView));
    EXPECT_NE(dynamic_cast<COutputDisplay*>(ui->View(ViewKind::ProgramView)), nullptr);
    ASSERT_TRUE(ui->OpenView(ViewKind::MdiPanel));
    EXPECT_EQ(Titles(), QStringList({"Homing - Machine1", "Status - Machine1", "Program - Machine1",
                                     "MDI - Machine1"}));
    EXPECT_TRUE(ui->OpenView(ViewKind::ProgramView)) << "an open view stays open";
    EXPECT_EQ(Titles().size(), 4);

    // The program view reused for the program's messages says so.
    machine->State().programViewKind = ProgramViewKind::Messages;
    ui->RetitleView(ViewKind::ProgramView);
    EXPECT_EQ(test::ShownTitle(ui->ViewWindow(ViewKind::ProgramView)), "Messages - Machine1");

    ui->CloseView(ViewKind::HomingView);
    ui->CloseView(ViewKind::MdiPanel);
    EXPECT_EQ(ui->ViewWindow(ViewKind::HomingView), nullptr);
    EXPECT_EQ(Titles(), QStringList({"Status - Machine1", "Messages - Machine1"}));

    machine->SetTitle("/work/mill.mch");
    ui->RetitleViews();
    EXPECT_EQ(Titles(), QStringList({"Status - /work/mill.mch", "Messages - /work/mill.mch"}));
}

TEST_F(OperatorOnFake, AnOpenDialogStartsWhereTheLastOfItsKindWasLeft) {
    const std::vector<FileFilter> filters = {{"Part Files (*.prt)", "*.prt"},
                                             {"G-code Files (*.ngc *.nc)", "*.ngc;*.nc"}};
    dialogs.chosenFilter = "G-code Files (*.ngc *.nc)";
    dialogs.files = {"/tmp/jobs/a.ngc", QString(), "/tmp/b.prt"};
    EXPECT_EQ(ui->ChooseOpenFile("File Load", filters), "/tmp/jobs/a.ngc");
    dialogs.chosenFilter.clear();
    EXPECT_EQ(ui->ChooseOpenFile("File Load", filters), std::nullopt) << "cancelled";
    EXPECT_EQ(ui->ChooseOpenFile("Other", filters), "/tmp/b.prt");
    ASSERT_EQ(dialogs.openPlaces.size(), 3u);
    EXPECT_EQ(dialogs.openPlaces[0].folder, "") << "the first starts anywhere";
    // The second File Load starts in the folder and with the filter of the first.
    EXPECT_EQ(dialogs.openPlaces[1].folder, "/tmp/jobs");
    EXPECT_EQ(dialogs.openPlaces[1].filter, "G-code Files (*.ngc *.nc)");
    EXPECT_EQ(dialogs.openPlaces[2].folder, "") << "another dialog keeps its own place";
    // A cancelled dialog changes nothing.
    dialogs.files = {"/tmp/c.prt"};
    ui->ChooseOpenFile("File Load", filters);
    EXPECT_EQ(dialogs.openPlaces[3].folder, "/tmp/jobs");
}

TEST_F(OperatorOnFake, TheMdiPanelOpensAsAMachineWindowThatFitsItsForm) {
    ASSERT_TRUE(ui->OpenView(ViewKind::MdiPanel));
    auto* panel = dynamic_cast<CMDIPanel*>(ui->View(ViewKind::MdiPanel));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(Titles(), QStringList({"MDI - Machine1"}));
    EXPECT_EQ(CMainFrame::KindOf(ui->ViewWindow(ViewKind::MdiPanel)), DocumentKind::Machine);
    EXPECT_GE(panel->width(), panel->sizeHint().width()) << "the window is not cut to a corner";
    EXPECT_GE(panel->height(), panel->sizeHint().height());
    // It takes no text: only the text views do.
    ui->AppendToView(ViewKind::MdiPanel, "ignored");
}

// Half the document area is too narrow for the card's homing messages in a small main
// window: the homing window opens wide enough for them.
TEST_F(OperatorOnFake, TheHomingWindowOpensWideEnoughToReadTheCardsMessages) {
    frame.resize(760, 600);
    QCoreApplication::processEvents();
    const int area = frame.MdiArea()->width();
    ASSERT_TRUE(ui->OpenView(ViewKind::HomingView));
    auto* homing = dynamic_cast<CTextView*>(ui->View(ViewKind::HomingView));
    ASSERT_NE(homing, nullptr);
    const int message =
        QFontMetrics(homing->font())
            .horizontalAdvance(QStringLiteral("HOMING (macro 1): moving X Y Z to machine zero")) +
        2 * CTextView::kLeftMargin;
    ASSERT_LT(std::max(area / 2, 320), message) << "a frame this small shows the fault";
    ASSERT_LE(message, area);
    EXPECT_GE(homing->viewport()->width(), message);
    EXPECT_LE(ui->ViewWindow(ViewKind::HomingView)->width(), area);
}

TEST_F(OperatorOnFake, TextGoesToTheTextViewsAndNowhereElse) {
    ASSERT_TRUE(ui->OpenView(ViewKind::HomingView));
    auto* homing = dynamic_cast<CTextView*>(ui->View(ViewKind::HomingView));
    ui->AppendToView(ViewKind::HomingView, "Homing\rX done");
    EXPECT_EQ(homing->Lines().Line(0), "X done");
    EXPECT_EQ(homing->Lines().Line(1), "Homing");
    ui->ClearView(ViewKind::HomingView);
    EXPECT_EQ(homing->Lines().Line(1), "");
    // Neither a form nor a closed view takes text.
    ui->AppendToView(ViewKind::StatusDisplay, "ignored");
    ui->AppendToView(ViewKind::ProgramView, "ignored");
    ui->ClearView(ViewKind::ProgramView);
}

// Whoever closes a window, the document forgets it; the program view's window also takes the
// card's output options with it, however it goes (the interface tells the document once).
TEST_F(OperatorOnFake, ClosingAWindowTellsTheDocument) {
    struct Case {
        ViewKind view;
        bool byOperator;
        int optionCommands; // output option commands sent as the window went
    };
    const Case cases[] = {
        {ViewKind::HomingView, true, 0},  {ViewKind::StatusDisplay, true, 0},
        {ViewKind::ProgramView, true, 4}, {ViewKind::ProgramView, false, 4},
        {ViewKind::HomingView, false, 0}, {ViewKind::MdiPanel, true, 0},
        {ViewKind::MdiPanel, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.view));
        ASSERT_TRUE(ui->OpenView(c.view));
        machine->State().views.Remember(c.view);
        fake.ClearCalls();
        if (c.byOperator) {
            ui->ViewWindow(c.view)->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        } else {
            CloseMachineView(*machine, c.view); // the document's own way
        }
        EXPECT_EQ(ui->ViewWindow(c.view), nullptr);
        EXPECT_TRUE(frame.MdiArea()->subWindowList().isEmpty());
        EXPECT_FALSE(machine->State().views.Has(c.view));
        EXPECT_EQ(fake.CountOf("dorncmdex"), c.optionCommands);
    }
}

TEST_F(OperatorOnFake, ClosingAllWindowsLeavesTheDocumentWithoutViews) {
    const ViewKind views[] = {ViewKind::HomingView, ViewKind::StatusDisplay, ViewKind::ProgramView,
                              ViewKind::MdiPanel};
    for (ViewKind view : views) {
        ASSERT_TRUE(ui->OpenView(view));
        machine->State().views.Remember(view);
    }
    fake.ClearCalls();
    ui->CloseAllViews();
    EXPECT_TRUE(frame.MdiArea()->subWindowList().isEmpty());
    for (ViewKind view : views)
        EXPECT_FALSE(machine->State().views.Has(view));
    EXPECT_EQ(fake.CountOf("dorncmdex"), 4) << "the program view's options go off once";
    EXPECT_EQ(test::ShownTitle(frame), "Morvik Program");
}

} // namespace
} // namespace morvik
