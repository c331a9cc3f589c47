// The commands that open windows and dialogs, run from the station's own menus: the setup
// dialogs (modal over the main window, their messages in the station's boxes), the part
// program windows (New, Open, a dropped file, the editor first on the routing path), and the
// machine windows of View > Program and MDI mode.
#include "app/station/StationFixture.h"
#include "operation/CommandIds.h"
#include "support/ShownTitle.h"

#include "dialogs/SetupForm.h"
#include "ui/MDIPanel.h"
#include "ui/OutputDisplay.h"
#include "ui/PartView.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QTimer>

#include <functional>

namespace morvik {
namespace {

using test::StationOnCard;

constexpr int kSetupCommands[] = {Cmd::SetupGeneral,  Cmd::SetupMachineAxes, Cmd::SetupSpindle,
                                  Cmd::SetupCutter,   Cmd::SetupMachineZero, Cmd::SetupProgramZero,
                                  Cmd::SetupFeedRate, Cmd::SetupRapidRates,  Cmd::SetupLimits,
                                  Cmd::SetupWorkZero, Cmd::SetupTools,       Cmd::SetupOffsets,
                                  Cmd::SetupJogging,  Cmd::SetupHoming,      Cmd::SetupExtControls};

// What a zero-time timer found modal while a command ran; the dialog is gone afterwards.
struct ModalSeen {
    bool seen = false;
    bool setupForm = false;
    QWidget* parent = nullptr;
};

// Triggers the menu item as the operator would; act (if given) works on the setup dialog it
// opens, which is then cancelled. Pending zero-time timers run before this returns, so a
// command that opens nothing leaves no timer behind.
ModalSeen TriggerWithModal(QAction* item, const std::function<void(CSetupForm&)>& act = nullptr) {
    ModalSeen found;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            return;
        auto* form = qobject_cast<CSetupForm*>(modal);
        found = ModalSeen{true, form != nullptr, modal->parentWidget()};
        if (form != nullptr && act)
            act(*form);
        if (auto* dialog = qobject_cast<QDialog*>(modal); dialog != nullptr && dialog->isVisible())
            dialog->reject();
    });
    item->trigger();
    QCoreApplication::processEvents();
    return found;
}

int Count(const std::vector<std::string>& lines, const std::string& text) {
    int n = 0;
    for (const std::string& line : lines)
        n += line.find(text) != std::string::npos ? 1 : 0;
    return n;
}

class DocumentCommands : public StationOnCard {
protected:
    QAction* MenuItem(int id) {
        app->UpdatePass();
        return Commands().MenuAction(Commands().CurrentMenuKind(), id);
    }
    CPartView* ActiveEditor() {
        QMdiSubWindow* window = Frame().ActiveWindow();
        return window != nullptr ? dynamic_cast<CPartView*>(window->widget()) : nullptr;
    }
    QStringList MenuTitles() {
        QStringList titles;
        for (QAction* action : Frame().menuBar()->actions())
            titles << action->text();
        return titles;
    }
    std::string WritePart(const std::string& name, const std::string& text) {
        const std::string path = work.File(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
};

TEST_F(DocumentCommands, EachSetupItemOpensItsDialogOverTheMainWindowAndCancelChangesNothing) {
    ASSERT_TRUE(Start());
    const int downloadsBefore =
        Count(Trace(), "RCF") + Count(Trace(), "RWF") + Count(Trace(), "RTF");
    for (int id : kSetupCommands) {
        SCOPED_TRACE(id);
        QAction* item = MenuItem(id);
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->isEnabled());
        const ModalSeen modal = TriggerWithModal(item);
        EXPECT_TRUE(modal.seen);
        EXPECT_TRUE(modal.setupForm);
        EXPECT_EQ(modal.parent, &Frame());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    EXPECT_FALSE(Machine().IsModified());
    EXPECT_EQ(Count(Trace(), "RCF") + Count(Trace(), "RWF") + Count(Trace(), "RTF"),
              downloadsBefore);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(DocumentCommands, WithoutAMachineTheSetupItemsAreGreyedAndOpenNothing) {
    ASSERT_TRUE(Start(work.File("missing.mch")));
    ASSERT_EQ(app->Machine(), nullptr);
    for (int id : kSetupCommands) {
        SCOPED_TRACE(id);
        QAction* item = MenuItem(id);
        EXPECT_FALSE(item->isEnabled()) << "nothing to set up";
        EXPECT_FALSE(TriggerWithModal(item).seen);
        EXPECT_FALSE(Commands().State(id).enabled);
    }
    for (int id : {+Cmd::SetupSave, +Cmd::SetupSaveAs})
        EXPECT_FALSE(MenuItem(id)->isEnabled()) << id << ": nothing to save";
    EXPECT_TRUE(MenuItem(Cmd::SetupOpen)->isEnabled()) << "Setup > Open opens another machine file";
}

TEST_F(DocumentCommands, ASetupFieldThatFailsIsReportedInTheStationsOwnBox) {
    ASSERT_TRUE(Start());
    dialogs.boxes.clear();
    bool stayedOpen = false;
    TriggerWithModal(MenuItem(Cmd::SetupExtControls), [&](CSetupForm& form) {
        auto* field = qobject_cast<QLineEdit*>(form.Control("Start Button"));
        ASSERT_NE(field, nullptr);
        field->setText("17");
        form.accept();
        stayedOpen = form.isVisible();
    });
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Morvik Windows Application");
    EXPECT_EQ(dialogs.boxes[0].text, "Enter an integer between 0 and 16.");
    EXPECT_TRUE(dialogs.boxes[0].hadParent);
    EXPECT_FALSE(Machine().IsModified());
}

TEST_F(DocumentCommands, NewOpensAnUntitledPartProgramWithThePartProgramMenus) {
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Commands().State(Cmd::Save).enabled) << "no part program window yet";
    ASSERT_TRUE(Commands().Execute(Cmd::New));
    CPartView* editor = ActiveEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(test::ShownTitle(Frame().ActiveWindow()), "Part1");
    EXPECT_EQ(CMainFrame::KindOf(Frame().ActiveWindow()), DocumentKind::PartProgram);
    EXPECT_EQ(test::ShownTitle(Frame()), "Morvik Program - Part1");
    EXPECT_EQ(Commands().CurrentMenuKind(), MenuKind::PartProgram);
    EXPECT_EQ(MenuTitles(), QStringList({"&File", "&Edit", "&View", "&Setup", "&Calibrate", "&Mode",
                                         "&Options", "&Window", "&Help"}));

    // The editor's commands now have a handler; the selection decides Cut and Copy.
    struct Case {
        int id;
        bool enabled;
    };
    const Case rules[] = {
        {Cmd::Close, true},     {Cmd::Save, true},         {Cmd::SaveAs, true},
        {Cmd::Print, true},     {Cmd::PrintPreview, true}, {Cmd::PrintSetup, true},
        {Cmd::NewWindow, true}, {Cmd::Load, true},         {Cmd::Cut, false},
        {Cmd::Copy, false},     {Cmd::Undo, false},        {Cmd::Find, false}};
    for (const Case& c : rules)
        EXPECT_EQ(Commands().State(c.id).enabled, c.enabled) << c.id;
    editor->insertPlainText("G0 X1"); // typed, so it can be undone
    editor->selectAll();
    for (int id : {Cmd::Cut, Cmd::Copy, Cmd::Undo, Cmd::Find})
        EXPECT_TRUE(Commands().State(id).enabled) << id;

    ASSERT_TRUE(Commands().Execute(Cmd::New));
    EXPECT_EQ(test::ShownTitle(Frame().ActiveWindow()), "Part2");
}

TEST_F(DocumentCommands, OpenAndDropOpenAnyFileAsAPartProgramOnce) {
    struct Case {
        const char* name;
        const char* file;
        bool dropped;
    };
    const Case cases[] = {{"open", "a.prt", false}, {"drop", "b.nc", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Start());
        dialogs.fileDialogs.clear();
        const std::string path = WritePart(c.file, "O100\nG0 X1\n");
        const auto open = [&] {
            if (c.dropped) {
                app->OpenDocumentFile(QString::fromStdString(path));
            } else {
                dialogs.files = {QString::fromStdString(path)};
                ASSERT_TRUE(Commands().Execute(Cmd::Open));
            }
        };
        open();
        ASSERT_NE(ActiveEditor(), nullptr);
        EXPECT_EQ(test::ShownTitle(Frame().ActiveWindow()), c.file);
        EXPECT_EQ(ActiveEditor()->toPlainText(), "O100\nG0 X1\n");
        const qsizetype windows = Frame().MdiArea()->subWindowList().size();
        open();
        EXPECT_EQ(Frame().MdiArea()->subWindowList().size(), windows) << "opened once";
        EXPECT_EQ(dialogs.fileDialogs.size(), c.dropped ? 0 : 2);
        if (!c.dropped) {
            EXPECT_EQ(dialogs.fileDialogs.front(), "open Open | Part Files (*.prt);;All Files (*)");
        }
    }
}

TEST_F(DocumentCommands, LoadTakesTheActiveEditorsTextAndOtherwiseAsksForAFile) {
    struct Case {
        const char* name;
        bool editorActive;
        int fileDialogs;
    };
    const Case cases[] = {{"part program window", true, 0}, {"machine window", false, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Start());
        Home();
        ASSERT_TRUE(Commands().Execute(Cmd::ModeRun)); // a program is loaded in Run mode
        if (c.editorActive) {
            ASSERT_TRUE(Commands().Execute(Cmd::New));
            ActiveEditor()->setPlainText("O1234\nG0 X1");
        }
        dialogs.files.clear(); // the file dialog, if asked, is cancelled
        dialogs.fileDialogs.clear();
        ASSERT_TRUE(Commands().Execute(Cmd::Load));
        EXPECT_EQ(dialogs.fileDialogs.size(), c.fileDialogs);
        EXPECT_EQ(TraceHas("LOF"), c.editorActive);
        EXPECT_EQ(TraceHas("G0 X1"), c.editorActive);
    }
}

TEST_F(DocumentCommands, ProgramViewAndMdiModeOpenTheirMachineWindows) {
    struct Case {
        const char* name;
        std::vector<int> commands; // after homing
        ViewKind view;
        std::function<bool(QWidget*)> isExpected;
    };
    const Case cases[] = {
        {"program view",
         {Cmd::ModeRun, Cmd::ViewProgram},
         ViewKind::ProgramView,
         [](QWidget* w) { return dynamic_cast<COutputDisplay*>(w) != nullptr; }},
        {"MDI mode",
         {Cmd::ModeMdi},
         ViewKind::MdiPanel,
         [](QWidget* w) { return dynamic_cast<CMDIPanel*>(w) != nullptr; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Start());
        Home();
        for (int id : c.commands)
            ASSERT_TRUE(Commands().Execute(id));
        EXPECT_TRUE(c.isExpected(app->Operator()->View(c.view)));
        EXPECT_TRUE(Machine().State().views.Has(c.view));
        EXPECT_TRUE(dialogs.boxes.empty());
    }
    // MDI is entered with its panel and left without it.
    EXPECT_EQ(Machine().State().Mode(), MachineMode::Mdi);
    EXPECT_EQ(Commands().State(Cmd::ModeMdi), CommandState::Radio(true));
    ASSERT_TRUE(Commands().Execute(Cmd::ModeJog));
    EXPECT_EQ(app->Operator()->View(ViewKind::MdiPanel), nullptr);
    EXPECT_FALSE(Machine().State().views.Has(ViewKind::MdiPanel));
}

} // namespace
} // namespace morvik
