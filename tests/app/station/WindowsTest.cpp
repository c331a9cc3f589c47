// What the operator sees of the windows is true: the menu bar keeps its menus whichever window
// is active, a window the station closes as a mode is left hands the keyboard to no editor, and
// the titles carry the mark of unsaved changes and the names the documents have now.
#include "app/station/StationFixture.h"

#include "operation/CommandIds.h"
#include "support/ShownTitle.h"
#include "ui/PartDocuments.h"
#include "ui/PartView.h"
#include "ui/preview/PreviewWindows.h"
#include "ui/preview/ToolpathWindow.h"

#include <QMdiArea>
#include <QMenuBar>

namespace morvik {
namespace {

using test::ShownTitle;
using test::StationOnCard;

class StationWindows : public StationOnCard {
protected:
    QStringList MenuBar() {
        QStringList titles;
        for (QAction* action : Frame().menuBar()->actions())
            titles << action->text();
        return titles;
    }
    QMdiSubWindow* Window(ViewKind view) { return app->Operator()->ViewWindow(view); }
    void Activate(QMdiSubWindow* window) { Frame().MdiArea()->setActiveSubWindow(window); }
    void Execute(int id) { ASSERT_TRUE(Commands().Execute(id)) << id; }
};

TEST_F(StationWindows, TheMenuBarKeepsItsMenusAndGreysTheEditMenuWithoutAnEditor) {
    ASSERT_TRUE(Start());
    const QStringList bar = {"&File", "&Edit",    "&View",   "&Setup", "&Calibrate",
                             "&Mode", "&Options", "&Window", "&Help"};
    constexpr int kEditItems[] = {Cmd::Undo, Cmd::Cut,      Cmd::Copy,   Cmd::Paste,
                                  Cmd::Find, Cmd::FindNext, Cmd::Replace};
    const auto editEnabled = [&] {
        app->UpdatePass();
        QStringList enabled;
        for (int id : kEditItems) {
            if (Commands().MenuAction(Commands().CurrentMenuKind(), id)->isEnabled())
                enabled << QString::number(id);
        }
        return enabled;
    };
    EXPECT_EQ(Commands().CurrentMenuKind(), MenuKind::Machine) << "the homing window is active";
    EXPECT_EQ(MenuBar(), bar);
    EXPECT_EQ(editEnabled(), QStringList());

    CPartView* editor = app->Parts().New();
    editor->insertPlainText("G0 X1");
    EXPECT_EQ(Commands().CurrentMenuKind(), MenuKind::PartProgram);
    EXPECT_EQ(MenuBar(), bar);
    EXPECT_TRUE(editEnabled().contains(QString::number(Cmd::Undo))) << "the editor handles them";

    Activate(Window(ViewKind::HomingView));
    EXPECT_EQ(MenuBar(), bar);
    EXPECT_EQ(editEnabled(), QStringList()) << "an editor that is not active takes no Edit item";

    app->Operator()->CloseAllViews();
    app->Parts().CloseAll();
    EXPECT_EQ(Commands().CurrentMenuKind(), MenuKind::Main);
    EXPECT_EQ(MenuBar(), bar);
    EXPECT_EQ(editEnabled(), QStringList());
}

// An editor is open behind the window of the mode; the mode is left, its window closes. The
// keys of the new mode (the jog keys) must not land in the part program.
TEST_F(StationWindows, AWindowClosedAsAModeIsLeftHandsTheKeyboardToNoEditor) {
    struct Case {
        const char* name;
        int mode;            // the mode entered, whose window is active
        bool statusOpen;     // a machine window stands open beside the editor
        MenuKind menusAfter; // the menus once the mode is left for Jog
    };
    const Case cases[] = {
        {"Home left, nothing else open", Cmd::ModeHome, false, MenuKind::Main},
        {"Home left, status open", Cmd::ModeHome, true, MenuKind::Machine},
        {"MDI left, nothing else open", Cmd::ModeMdi, false, MenuKind::Main},
        {"MDI left, status open", Cmd::ModeMdi, true, MenuKind::Machine},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Start());
        Home();
        if (c.statusOpen)
            Execute(Cmd::MachineStatus);
        CPartView* editor = app->Parts().New();
        ASSERT_EQ(Frame().ActiveWindow(), CPartDocuments::WindowOf(*editor));
        const ViewKind modeWindow =
            c.mode == Cmd::ModeHome ? ViewKind::HomingView : ViewKind::MdiPanel;
        if (c.mode != Cmd::ModeHome)
            Execute(c.mode); // opens its panel, active
        Activate(Window(modeWindow));
        ASSERT_EQ(Frame().ActiveWindow(), Window(modeWindow));

        Execute(Cmd::ModeJog);
        EXPECT_EQ(Machine().State().Mode(), MachineMode::Jog);
        EXPECT_EQ(Window(modeWindow), nullptr);
        EXPECT_EQ(Frame().ActiveWindow(), c.statusOpen ? Window(ViewKind::StatusDisplay) : nullptr);
        EXPECT_EQ(Commands().CurrentMenuKind(), c.menusAfter);
        EXPECT_FALSE(editor->hasFocus());
    }
}

TEST_F(StationWindows, MachineWindowsAndTheMainTitleMarkTheMachinesUnsavedChanges) {
    ASSERT_TRUE(Start());
    QMdiSubWindow* homing = Window(ViewKind::HomingView);
    ASSERT_NE(homing, nullptr);
    EXPECT_EQ(ShownTitle(homing), "Homing - Machine1");
    EXPECT_EQ(ShownTitle(Frame()), "Morvik Program - Machine1");

    Machine().SetModifiedFlag(); // as a setup dialog's OK does
    Ticks(1);
    EXPECT_EQ(ShownTitle(homing), "Homing - Machine1*");
    EXPECT_EQ(ShownTitle(Frame()), "Morvik Program - Machine1*");
    Execute(Cmd::MachineStatus);
    EXPECT_EQ(ShownTitle(Window(ViewKind::StatusDisplay)), "Status - Machine1*")
        << "a window opened later carries the mark too";

    dialogs.files = {QString::fromStdString(work.File("saved.mch"))};
    Execute(Cmd::SetupSaveAs);
    Ticks(1);
    EXPECT_FALSE(Machine().IsModified());
    EXPECT_EQ(ShownTitle(Window(ViewKind::StatusDisplay)),
              "Status - " + QString::fromStdString(Machine().GetTitle()));
    EXPECT_FALSE(ShownTitle(Frame()).endsWith('*'));
}

TEST_F(StationWindows, AnEditorMarksItsChangesAndItsPreviewFollowsSaveAs) {
    ASSERT_TRUE(Start());
    CPartView* editor = app->Parts().New();
    QMdiSubWindow* window = CPartDocuments::WindowOf(*editor);
    EXPECT_EQ(ShownTitle(window), "Part1");
    editor->insertPlainText("G1 X1 F100\n");
    EXPECT_EQ(ShownTitle(window), "Part1*");
    EXPECT_EQ(ShownTitle(Frame()), "Morvik Program - Part1*");

    Execute(Cmd::ViewToolpath);
    preview::CToolpathWindow* preview = app->Previews().EditorPreview(editor->Part());
    ASSERT_NE(preview, nullptr);
    QMdiSubWindow* previewWindow = qobject_cast<QMdiSubWindow*>(preview->parentWidget());
    ASSERT_NE(previewWindow, nullptr);
    EXPECT_EQ(ShownTitle(previewWindow), "Part1 - Toolpath");

    Activate(window);
    dialogs.files = {QString::fromStdString(work.File("pocket.prt"))};
    Execute(Cmd::SaveAs);
    EXPECT_EQ(ShownTitle(window), "pocket.prt");
    EXPECT_EQ(ShownTitle(Frame()), "Morvik Program - pocket.prt");
    EXPECT_EQ(ShownTitle(previewWindow), "pocket.prt - Toolpath");
    Activate(previewWindow);
    EXPECT_EQ(ShownTitle(Frame()), "Morvik Program - pocket.prt - Toolpath");

    // A second window of the part: both numbered, both marked.
    Activate(window);
    Execute(Cmd::NewWindow);
    editor->insertPlainText("G1 X2\n");
    QStringList titles;
    for (CPartView* view : app->Parts().Views(editor->Part()))
        titles << ShownTitle(CPartDocuments::WindowOf(*view));
    EXPECT_EQ(titles, QStringList({"pocket.prt:1*", "pocket.prt:2*"}));
}

} // namespace
} // namespace morvik
