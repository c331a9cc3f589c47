// The MDI panel: its form, and its window coming and going with MDI mode on the simulated card.
#include "StationFixture.h"

#include "ui/MDIPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <set>

namespace morvik::test {
namespace {

TEST(MDIPanelForm, EveryFieldStandsAtItsRectangleWithItsLetterToItsLeft) {
    CMDIPanel panel;
    const DialogUnits& units = panel.Units();
    EXPECT_EQ(panel.size(), units.Map({0, 0, 177, 149}).size());
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

class MDIPanelWindow : public StationOnCard {};

TEST_F(MDIPanelWindow, OpensOnEnteringMdiModeAndClosesOnLeavingIt) {
    HomeMachine();
    op->SelectMdi();
    ASSERT_EQ(machine->State().mode, MachineMode::Mdi);
    QPointer<QMdiSubWindow> window = ui->Window(ViewKind::MdiPanel);
    ASSERT_FALSE(window.isNull());
    EXPECT_NE(dynamic_cast<CMDIPanel*>(window->widget()), nullptr);
    EXPECT_EQ(window->windowTitle(), "Machine1");
    EXPECT_TRUE(machine->State().views.Has(ViewKind::MdiPanel));

    op->SelectJog();
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(machine->State().views.Has(ViewKind::MdiPanel));
    EXPECT_EQ(machine->State().mode, MachineMode::Jog);
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
    EXPECT_EQ(machine->State().mode, MachineMode::Jog);
    for (const std::string& call : ui->calls)
        EXPECT_NE(call, "close MdiPanel");
}

} // namespace
} // namespace morvik::test
