// MDI in the whole station: Mode > MDI opens the panel with its command line enabled, a block
// typed there runs on the simulated card, and its history lands beside the machine file.
#include "StationFixture.h"

#include "controller/StringTable.h"
#include "ui/MDIPanel.h"
#include "ui/MdiCommandLine.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace morvik::test {
namespace {

TEST_F(StationOnCard, ModeMdiRunsATypedBlockAndKeepsItBesideTheMachineFile) {
    const std::string machineFile = work.File("mill.mch");
    std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/../examples/mill.mch",
                               machineFile);
    ASSERT_TRUE(Start(machineFile));
    Home();
    ASSERT_TRUE(Commands().Execute(Cmd::ModeMdi));
    ASSERT_EQ(Machine().State().Mode(), MachineMode::Mdi);
    auto* panel = dynamic_cast<CMDIPanel*>(app->Operator()->View(ViewKind::MdiPanel));
    ASSERT_NE(panel, nullptr);
    QLineEdit* line = panel->CommandLine()->Line();
    ASSERT_TRUE(line->isEnabled());

    const double x0 = Machine().AxisX().GetOptimal();
    line->setText("G91 G01 X5 F3000");
    QTest::keyClick(line, Qt::Key_Return);
    EXPECT_TRUE(TraceHas("RUF-9999"));
    const QString done = QString::fromStdString(MessageText(msg::MdiBlockDone));
    for (int i = 0; i < 100 && !panel->CommandLine()->FeedbackView()->toPlainText().contains(done);
         ++i)
        Ticks(1);
    EXPECT_TRUE(panel->CommandLine()->FeedbackView()->toPlainText().contains(done));
    EXPECT_NEAR(Machine().AxisX().GetOptimal() - x0, 5.0, 1e-6);
    EXPECT_EQ(panel->CommandLine()->HistoryList()->count(), 1);
    EXPECT_EQ(ReadBytes(work.File("mill.mdi")), "G91 G01 X5 F3000\n");
    EXPECT_TRUE(dialogs.boxes.empty());

    // Leaving MDI closes the panel; the command line never outlives its mode.
    ASSERT_TRUE(Commands().Execute(Cmd::ModeJog));
    EXPECT_EQ(app->Operator()->View(ViewKind::MdiPanel), nullptr);
}

} // namespace
} // namespace morvik::test
