// The MDI panel: its form, and its window coming and going with MDI mode on the simulated card.
#include "WindowsFixture.h"
#include "support/ShownTitle.h"

#include "controller/StringTable.h"
#include "operation/MdiSession.h"
#include "ui/MDIPanel.h"
#include "ui/MdiCommandLine.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <set>

namespace morvik::test {
namespace {

TEST(MDIPanelForm, EveryFieldStandsAtItsRectangleWithItsLetterToItsLeft) {
    CMDIPanel panel;
    const DialogUnits& units = panel.Units();
    // The form's 177 dialog units wide; taller by the command line under the fields.
    EXPECT_EQ(panel.width(), units.Map({0, 0, 177, 149}).width());
    EXPECT_GT(panel.height(), units.Map({0, 0, 177, 149}).height());
    std::set<int> ids;
    for (const CMDIPanel::Field& field : CMDIPanel::Fields()) {
        SCOPED_TRACE(field.id);
        ids.insert(field.id);
        QLineEdit* edit = panel.FieldById(field.id);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->geometry(), units.Map(field.rect));
        EXPECT_TRUE(edit->hasFrame());
        EXPECT_FALSE(edit->isReadOnly());
        QLabel* label = nullptr;
        for (QLabel* candidate : panel.findChildren<QLabel*>())
            if (candidate->buddy() == edit)
                label = candidate;
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), field.label);
        EXPECT_EQ(label->geometry(), units.Map({field.labelX, field.rect.y + 2, 8, 8}));
        EXPECT_LT(label->geometry().right(), edit->geometry().left());
    }
    EXPECT_EQ(ids.size(), 28u);
    EXPECT_EQ(*ids.begin(), 1086);
    EXPECT_EQ(*ids.rbegin(), 1113);
}

class MDIPanelWindow : public WindowsOnCard {};

TEST_F(MDIPanelWindow, OpensOnEnteringMdiModeAndClosesOnLeavingIt) {
    HomeMachine();
    op->SelectMdi();
    ASSERT_EQ(machine->State().Mode(), MachineMode::Mdi);
    QPointer<QMdiSubWindow> window = ui->Window(ViewKind::MdiPanel);
    ASSERT_FALSE(window.isNull());
    EXPECT_NE(dynamic_cast<CMDIPanel*>(window->widget()), nullptr);
    EXPECT_EQ(test::ShownTitle(window), "Machine1");
    EXPECT_TRUE(machine->State().views.Has(ViewKind::MdiPanel));

    op->SelectJog();
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(machine->State().views.Has(ViewKind::MdiPanel));
    EXPECT_EQ(machine->State().Mode(), MachineMode::Jog);
}

TEST_F(MDIPanelWindow, ClosedByHandThenLeavingMdiClosesNothingAndTypingSendsNothing) {
    HomeMachine();
    op->SelectMdi();
    QPointer<QMdiSubWindow> window = ui->Window(ViewKind::MdiPanel);
    ASSERT_FALSE(window.isNull());
    auto* panelWidget = static_cast<CMDIPanel*>(window->widget());
    CardCommands();
    QTest::keyClicks(panelWidget->FieldById(1094), "12.5");
    QTest::keyClick(panelWidget->FieldById(1094), Qt::Key_Return);
    EXPECT_EQ(panelWidget->FieldById(1094)->text(), "12.5");
    EXPECT_TRUE(CardCommands().empty());

    window->close();
    RunDeferredDeletes();
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(machine->State().views.Has(ViewKind::MdiPanel));
    ui->calls.clear();
    op->SelectJog();
    EXPECT_EQ(machine->State().Mode(), MachineMode::Jog);
    for (const std::string& call : ui->calls)
        EXPECT_NE(call, "close MdiPanel");
}

// The command line under the fields, driven with keys and clicks as the operator drives it.
class MDIPanelCommandLine : public WindowsOnCard {
protected:
    void SetUp() override {
        WindowsOnCard::SetUp();
        HomeMachine();
        op->SelectMdi();
        QMdiSubWindow* window = ui->Window(ViewKind::MdiPanel);
        ASSERT_NE(window, nullptr);
        panelWidget = static_cast<CMDIPanel*>(window->widget());
        line = panelWidget->CommandLine()->Line();
        CardCommands();
    }

    void Tick() {
        clock->Advance(100);
        op->StatusTick();
    }
    void Enter(const QString& text) {
        line->setText(text);
        QTest::keyClick(line, Qt::Key_Return);
    }
    QStringList HistoryShown() const {
        QStringList items;
        QListWidget* list = panelWidget->CommandLine()->HistoryList();
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        return items;
    }
    QString FeedbackShown() const {
        return panelWidget->CommandLine()->FeedbackView()->toPlainText();
    }

    CMDIPanel* panelWidget = nullptr;
    QLineEdit* line = nullptr;
};

TEST_F(MDIPanelCommandLine, ComposeBuildsTheBlockFromTheFieldsAndEnterRunsIt) {
    QTest::keyClicks(panelWidget->FieldById(1086), "91");
    QTest::keyClicks(panelWidget->FieldById(1087), "1");
    QTest::keyClicks(panelWidget->FieldById(1100), "600"); // F stands after X in the form
    QTest::keyClicks(panelWidget->FieldById(1094), "2");
    EXPECT_TRUE(CardCommands().empty());
    QTest::mouseClick(panelWidget->CommandLine()->ComposeButton(), Qt::LeftButton);
    EXPECT_EQ(line->text(), "G91 G1 X2 F600");
    EXPECT_TRUE(CardCommands().empty()) << "Compose only builds the line";

    const double x0 = machine->AxisX().GetOptimal();
    QTest::keyClick(line, Qt::Key_Return);
    const std::vector<std::string> sent = CardCommands();
    EXPECT_EQ(sent, (std::vector<std::string>{"495 1", "LOF\\r", "O9999\\n", "G91 G1 X2 F600\\n",
                                              "\\x1a", "RUF-9999\\r", "410 0"}));
    EXPECT_TRUE(line->text().isEmpty());
    EXPECT_EQ(HistoryShown(), QStringList({"G91 G1 X2 F600"}));
    for (int i = 0; i < 100 && !FeedbackShown().contains("Block done"); ++i)
        Tick();
    EXPECT_EQ(FeedbackShown(), "> G91 G1 X2 F600\nBlock done");
    // A new machine counts whole inches on the card: a move of whole units.
    EXPECT_NEAR(machine->AxisX().GetOptimal() - x0, 2.0, 1e-6);
}

TEST_F(MDIPanelCommandLine, UpAndDownRecallTheSentBlocks) {
    Enter("M3 S100");
    Tick(); // the block has ended before the next is sent
    Enter("M5");
    ASSERT_EQ(HistoryShown(), QStringList({"M3 S100", "M5"}));
    line->setText("G0 X");
    QTest::keyClick(line, Qt::Key_Up);
    EXPECT_EQ(line->text(), "M5");
    QTest::keyClick(line, Qt::Key_Up);
    EXPECT_EQ(line->text(), "M3 S100");
    QTest::keyClick(line, Qt::Key_Up);
    EXPECT_EQ(line->text(), "M3 S100");
    QTest::keyClick(line, Qt::Key_Down);
    EXPECT_EQ(line->text(), "M5");
    QTest::keyClick(line, Qt::Key_Down);
    EXPECT_EQ(line->text(), "G0 X") << "back to what was being typed";

    // An entry of the list activated goes back on the line; nothing is sent.
    CardCommands();
    QListWidget* list = panelWidget->CommandLine()->HistoryList();
    emit list->itemActivated(list->item(0));
    EXPECT_EQ(line->text(), "M3 S100");
    EXPECT_TRUE(CardCommands().empty());
}

TEST_F(MDIPanelCommandLine, ARefusedBlockStaysOnTheLineWithTheReasonUnderIt) {
    Enter("G41 X1");
    EXPECT_TRUE(CardCommands().empty());
    EXPECT_EQ(line->text(), "G41 X1");
    EXPECT_EQ(FeedbackShown(), "Block not sent: unsupported G-code G41");
    EXPECT_TRUE(HistoryShown().isEmpty());
    Enter("   ");
    EXPECT_TRUE(CardCommands().empty());
    EXPECT_EQ(FeedbackShown(), "Block not sent: unsupported G-code G41");
}

TEST_F(MDIPanelCommandLine, TheLineIsEnabledOnlyInMdiMode) {
    EXPECT_TRUE(line->isEnabled());
    EXPECT_TRUE(panelWidget->CommandLine()->ComposeButton()->isEnabled());
    // A panel left open outside MDI mode (as a test can keep one) sends nothing.
    SetMachineMode(*machine, MachineEvents::None(), MachineMode::Jog);
    Tick();
    CardCommands(); // what the tick asked the card in Jog mode
    EXPECT_FALSE(line->isEnabled());
    EXPECT_EQ(op->SendMdiBlock("G0 X1"), MdiResult::NotInMdiMode);
    EXPECT_TRUE(CardCommands().empty());
}

} // namespace
} // namespace morvik::test
