// The control panel's information strip on the simulated card: the homed lamp after homing,
// a part error's reason in the message line with no view open, the loaded program, and the
// strip's buttons: the coordinates switch and "Set work zero", enabled by the facade.
#include "ui/widgets/PanelFixture.h"

#include "operation/SnapshotTexts.h"
#include "settings/UnitTables.h"
#include "ui/MachineInfoStrip.h"
#include "ui/PanelControls.h"
#include "ui/ReadoutWidget.h"

#include <QPushButton>
#include <QTest>

namespace morvik {
namespace {

using test::JoggablePanelOnCard;

class InfoStrip : public JoggablePanelOnCard {
protected:
    MachineInfoStrip& Strip() const { return panel->InfoStrip(); }
    QString ReadoutX() const { return static_cast<ReadoutWidget*>(panel->Control(1062))->text(); }
    QString AxisText(double value) const {
        return QString::fromStdString(FormatReadout(machine->Axes()[0].DisplayFormat(), value));
    }
};

TEST_F(InfoStrip, TheHomedLampLightsOnceHomingIsDone) {
    Ticks(1);
    EXPECT_FALSE(Strip().HomedLit());
    EXPECT_FALSE(Strip().HomingLit());
    HomeMachine();
    Ticks(1);
    EXPECT_TRUE(Strip().HomedLit());
    EXPECT_FALSE(Strip().HomingLit());
}

TEST_F(InfoStrip, APartErrorsReasonShowsWithNoViewOpen) {
    HomeMachine();
    Ticks(1);
    op->SelectRun();
    ASSERT_EQ(op->LoadFromLines({"O0007", "G21 G91 G01 X1 F60", "G41 X1", "M30"}, "p.prt"),
              LoadResult::Started);
    Ticks(1);
    EXPECT_EQ(Strip().Progress(), "O7: 4 lines");
    op->Start();
    for (int i = 0; i < 30 && Strip().Message().isEmpty(); ++i)
        Ticks(1);
    EXPECT_TRUE(Strip().Message().contains("G41")) << Strip().Message().toStdString();
    EXPECT_FALSE(machine->State().views.Has(ViewKind::ProgramView));
}

TEST_F(InfoStrip, TheCoordinatesSwitchAndSetWorkZeroActThroughTheFacade) {
    HomeMachine();
    Ticks(1);
    UpdateEnabled();
    QPushButton* zeroX = Strip().Button(control::kWorkZeroX);
    QPushButton* coordinates = Strip().Button(control::kWorkReadouts);
    ASSERT_NE(zeroX, nullptr);
    ASSERT_NE(coordinates, nullptr);
    EXPECT_EQ(panel->Control(control::kWorkZeroX), zeroX);
    EXPECT_FALSE(zeroX->isEnabled()) << "Home mode";
    EXPECT_TRUE(coordinates->isEnabled());

    op->SelectJog();
    UpdateEnabled();
    QTest::mousePress(Button(control::kJogXPlus), Qt::LeftButton);
    Ticks(5);
    QTest::mouseRelease(Button(control::kJogXPlus), Qt::LeftButton);
    Ticks(10);
    UpdateEnabled();
    ASSERT_TRUE(zeroX->isEnabled());
    const double x = XPosition();
    ASSERT_GT(x, 0.0);
    EXPECT_EQ(ReadoutX(), AxisText(x));

    QTest::mouseClick(zeroX, Qt::LeftButton);
    EXPECT_TRUE(machine->IsModified());
    Ticks(1);
    EXPECT_EQ(ReadoutX(), AxisText(x)) << "still machine coordinates";
    QTest::mouseClick(coordinates, Qt::LeftButton);
    Ticks(1);
    EXPECT_TRUE(coordinates->isChecked());
    EXPECT_EQ(coordinates->text(), "Work G54");
    EXPECT_EQ(ReadoutX(), AxisText(0.0));
    QTest::mouseClick(coordinates, Qt::LeftButton);
    Ticks(1);
    EXPECT_FALSE(coordinates->isChecked());
    EXPECT_EQ(ReadoutX(), AxisText(x));
}

} // namespace
} // namespace morvik
