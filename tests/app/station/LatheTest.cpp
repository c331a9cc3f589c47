// The sample lathe as its operator sees it: the preview opens in the lathe's own view (Z across,
// X up) with X drawn as the X readout shows it (the sample reads X as a diameter), and the jog
// pad is turned the same way, without the buttons of Y, which is not on the card; the jog keys
// follow the pad. The sample mill's pad stays where its form puts it.
#include "app/station/StationFixture.h"

#include "machine/MachineTables.h"
#include "operation/CommandIds.h"
#include "ui/PanelTemplate.h"
#include "ui/preview/PreviewWindows.h"
#include "ui/preview/ToolpathWindow.h"

#include <QAction>
#include <QToolBar>

namespace morvik {
namespace {

using test::StationOnCard;

class LatheOnCard : public StationOnCard {
protected:
    bool StartSample(const std::string& name) {
        const std::string copy = work.File(name);
        std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/../examples/" + name,
                                   copy);
        return Start(copy);
    }
    void Execute(int id) {
        app->UpdatePass();
        ASSERT_TRUE(Commands().Execute(id));
    }
    QRect FormRect(int id) const {
        for (const PanelItem& item : PanelItems()) {
            if (item.id == id)
                return app->currentControlPanel->ScaledRect(
                    app->currentControlPanel->Units().Map(item.rect));
        }
        return {};
    }
    QPoint Centre(int id) { return Panel().Control(id)->geometry().center(); }
};

TEST_F(LatheOnCard, ThePreviewOpensInTheLathesViewWithXAsTheReadoutShowsIt) {
    ASSERT_TRUE(StartSample("lathe.mch"));
    ASSERT_NO_FATAL_FAILURE(Home());
    Ticks(200); // homing goes to machine zero, X250 Z0
    Execute(Cmd::ModeRun);
    Execute(Cmd::ViewToolpath);
    preview::CToolpathWindow* window = app->Previews().MachinePreview();
    ASSERT_NE(window, nullptr);
    preview::CToolpathView& view = window->View();
    // Before anything is loaded the window already shows the lathe's view, with its button.
    EXPECT_EQ(view.Camera().View(), preview::CViewKind::Lathe);
    QStringList shown;
    for (QAction* action : window->Bar().actions()) {
        if (action->isVisible() && !action->isSeparator())
            shown << action->text();
    }
    EXPECT_EQ(shown.value(0), "Lathe (ZX)");

    dialogs.files.push_back(QString::fromStdString(std::string(MORVIK_TEST_DATA_DIR) +
                                                   "/../examples/lathe-turning.prt"));
    Execute(Cmd::Load);
    Ticks(1);
    app->Previews().WaitForPlans();
    ASSERT_NE(view.Plan(), nullptr);
    EXPECT_EQ(view.Camera().View(), preview::CViewKind::Lathe);
    const preview::CToolpathCamera& camera = view.Camera();
    const auto& zero = view.Plan()->setup.workZero;
    // "G1 X40 Z-2" of the chamfer: X is a diameter of 40 on the X readout, so it is drawn 40
    // units above the spindle axis, and Z-2 two units to the left of the work zero's face.
    const preview::CScreenPoint axis = camera.Project(zero[0], 0, zero[2]);
    const preview::CScreenPoint chamfer = camera.Project(zero[0] + 40, 0, zero[2] - 2);
    EXPECT_NEAR(axis.v - chamfer.v, 40 * camera.Scale(), 1e-6);
    EXPECT_NEAR(axis.u - chamfer.u, 2 * camera.Scale(), 1e-6);
    // The turned profile is a picture, not a line: the path spans both screen directions.
    double top = 1e300, bottom = -1e300, left = 1e300, right = -1e300;
    view.grab(); // paints: the draw list is the one on the screen
    for (const preview::CScreenPoint& p : view.LastDrawList().points) {
        top = std::min(top, p.v), bottom = std::max(bottom, p.v);
        left = std::min(left, p.u), right = std::max(right, p.u);
    }
    EXPECT_GT(bottom - top, 50.0);
    EXPECT_GT(right - left, 50.0);
    // The tool's cross stands where the readouts say, in the same frame as the path.
    const double readoutX = Operation().Snapshot().Axis(SnapshotAxis::X).Shown();
    EXPECT_NEAR(readoutX, 250, 1e-3);
    const preview::CScreenPoint tool = camera.Project(readoutX, 0, 0);
    EXPECT_NEAR(axis.v - tool.v, (readoutX - zero[0]) * camera.Scale(), 1e-6);
}

TEST_F(LatheOnCard, TheLathesPadHasNoYAndIsTurnedLikeItsPreview) {
    ASSERT_TRUE(StartSample("lathe.mch"));
    app->UpdatePass();
    EXPECT_TRUE(Panel().Control(control::kJogYPlus)->isHidden());
    EXPECT_TRUE(Panel().Control(control::kJogYMinus)->isHidden());
    for (int id :
         {control::kJogXPlus, control::kJogXMinus, control::kJogZPlus, control::kJogZMinus})
        EXPECT_FALSE(Panel().Control(id)->isHidden()) << id;
    // X+ over X-, Z- left of Z+, all four around one middle.
    EXPECT_LT(Centre(control::kJogXPlus).y(), Centre(control::kJogZPlus).y());
    EXPECT_GT(Centre(control::kJogXMinus).y(), Centre(control::kJogZPlus).y());
    EXPECT_EQ(Centre(control::kJogXPlus).x(), Centre(control::kJogXMinus).x());
    EXPECT_LT(Centre(control::kJogZMinus).x(), Centre(control::kJogXPlus).x());
    EXPECT_GT(Centre(control::kJogZPlus).x(), Centre(control::kJogXPlus).x());
    EXPECT_EQ(Centre(control::kJogZMinus).y(), Centre(control::kJogZPlus).y());

    // The keys jog what stands at their places; Page Up and Down (Y's place) jog nothing.
    const JogKeys& keys = Panel().Keys();
    EXPECT_EQ(keys.ActionOfKey(Qt::Key_Up), PanelAction::JogXPlus);
    EXPECT_EQ(keys.ActionOfKey(Qt::Key_Down), PanelAction::JogXMinus);
    EXPECT_EQ(keys.ActionOfKey(Qt::Key_Left), PanelAction::JogZMinus);
    EXPECT_EQ(keys.ActionOfKey(Qt::Key_Right), PanelAction::JogZPlus);
    EXPECT_EQ(keys.ActionOfKey(Qt::Key_PageUp), std::nullopt);
    EXPECT_EQ(keys.ActionOfKey(Qt::Key_PageDown), std::nullopt);
}

TEST_F(LatheOnCard, TheMillsPadStaysAsItsFormHasIt) {
    ASSERT_TRUE(StartSample("mill.mch"));
    app->UpdatePass();
    for (int id : {control::kJogXPlus, control::kJogXMinus, control::kJogYPlus, control::kJogYMinus,
                   control::kJogZPlus, control::kJogZMinus}) {
        EXPECT_FALSE(Panel().Control(id)->isHidden()) << id;
        EXPECT_EQ(Panel().Control(id)->geometry(), FormRect(id)) << id;
    }
    const JogKeys& keys = Panel().Keys();
    EXPECT_EQ(keys.ActionOfKey(Qt::Key_Left), PanelAction::JogXMinus);
    EXPECT_EQ(keys.ActionOfKey(Qt::Key_Right), PanelAction::JogXPlus);
    EXPECT_EQ(keys.ActionOfKey(Qt::Key_Up), PanelAction::JogYPlus);
    EXPECT_EQ(keys.ActionOfKey(Qt::Key_Down), PanelAction::JogYMinus);
    EXPECT_EQ(keys.ActionOfKey(Qt::Key_PageUp), PanelAction::JogZPlus);
    EXPECT_EQ(keys.ActionOfKey(Qt::Key_PageDown), PanelAction::JogZMinus);

    // Made a lathe in the General setup, the same machine turns its pad at the next update.
    Machine().General().machineType.Set(kLatheMachineType);
    app->UpdatePass();
    EXPECT_FALSE(Panel().Control(control::kJogYPlus)->isHidden()); // its Y is on the card
    EXPECT_LT(Centre(control::kJogXPlus).y(), Centre(control::kJogXMinus).y());
}

} // namespace
} // namespace morvik
