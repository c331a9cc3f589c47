// The command table at work: the update rules of the menus for a table of machine states, the
// panel's enable rules through the same update pass, the menus and toolbar built from the
// table, and the routing order (the active view before the main window and the application).
#include "app/station/StationFixture.h"
#include "support/ShownTitle.h"

#include <QActionGroup>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <functional>
#include <map>

namespace morvik {
namespace {

using test::StationOnCard;

class MenuRules : public StationOnCard {
protected:
    void HomeAndSelect(int mode) {
        Home();
        ASSERT_TRUE(Commands().Execute(mode));
    }
    void Execute(int id) { ASSERT_TRUE(Commands().Execute(id)); }

    friend struct Steps;
};

// What a case does to the started station before the rule is read.
using Setup = std::function<void(MenuRules&)>;

struct Steps {
    static void Nothing(MenuRules&) {}
    static Setup Select(int mode) {
        return [mode](MenuRules& s) { s.HomeAndSelect(mode); };
    }
    static Setup Run(std::vector<int> ids) {
        return [ids](MenuRules& s) {
            for (int id : ids)
                s.Execute(id);
        };
    }
    static Setup RunInRunMode(int id) {
        return [id](MenuRules& s) {
            s.HomeAndSelect(Cmd::ModeRun);
            s.Execute(id);
        };
    }
    static Setup Change(std::function<void(CMachine&)> change) {
        return [change](MenuRules& s) { change(s.Machine()); };
    }
};

struct RuleCase {
    const char* state;
    Setup setUp;
    int id;
    CommandState expected;
};

using CS = CommandState;
const CS kEnabled = CS::Enabled(true);
const CS kDisabled = CS::Disabled();

std::vector<RuleCase> RuleCases() {
    const auto Nothing = Steps::Nothing;
    const auto select = Steps::Select;
    const auto execute = [](int id) { return Steps::Run({id}); };
    const auto machine = Steps::Change;
    return {
        {"started", Nothing, Cmd::ModeHome, CS::Radio(true)},
        {"started", Nothing, Cmd::ModeRun, CS::Radio(false)},
        {"started", Nothing, Cmd::ModeMdi, CS::Radio(false)},
        {"started", Nothing, Cmd::ModeJog, CS::Radio(false)},
        {"jogging", select(Cmd::ModeJog), Cmd::ModeJog, CS::Radio(true)},
        {"jogging", select(Cmd::ModeJog), Cmd::ModeHome, CS::Radio(false)},
        {"running", select(Cmd::ModeRun), Cmd::ModeRun, CS::Radio(true)},
        {"started", Nothing, Cmd::BlockSkip, CS::Check(false)},
        {"block skip on", execute(Cmd::BlockSkip), Cmd::BlockSkip, CS::Check(true)},
        {"block skip switch",
         machine([](CMachine& m) { m.ExternalControls().blockSkipSwitchChannel.Set(3); }),
         Cmd::BlockSkip, CS{false, CommandMark::Check, false}},
        {"dry run on", execute(Cmd::DryRun), Cmd::DryRun, CS::Check(true)},
        {"dry run switch",
         machine([](CMachine& m) { m.ExternalControls().dryRunSwitchChannel.Set(4); }), Cmd::DryRun,
         CS{false, CommandMark::Check, false}},
        {"started", Nothing, Cmd::CalibrateJoystick, kDisabled},
        {"joystick used", machine([](CMachine& m) { m.Jogging().usePcJoystick.Set(1); }),
         Cmd::CalibrateJoystick, kEnabled},
        {"started", Nothing, Cmd::CurrentPosition, CS::Check(false)},
        {"started", Nothing, Cmd::OptimalPosition, CS::Check(true)},
        {"current position", execute(Cmd::CurrentPosition), Cmd::CurrentPosition, CS::Check(true)},
        {"current position", execute(Cmd::CurrentPosition), Cmd::OptimalPosition, CS::Check(false)},
        {"started", Nothing, Cmd::MachineStatus, CS::Check(false)},
        {"status display", execute(Cmd::MachineStatus), Cmd::MachineStatus, CS::Check(true)},
        {"status display twice", Steps::Run({Cmd::MachineStatus, Cmd::MachineStatus}),
         Cmd::MachineStatus, CS::Check(false)},
        {"program view", Steps::RunInRunMode(Cmd::ViewProgram), Cmd::ViewProgram, CS::Check(true)},
        {"program view", Steps::RunInRunMode(Cmd::ViewProgram), Cmd::ViewMessages,
         CS::Check(false)},
        {"messages view", Steps::RunInRunMode(Cmd::ViewMessages), Cmd::ViewMessages,
         CS::Check(true)},
        {"started", Nothing, Cmd::ToggleToolBar, CS::Check(true)},
        {"toolbar hidden", execute(Cmd::ToggleToolBar), Cmd::ToggleToolBar, CS::Check(false)},
        {"status bar hidden", execute(Cmd::ToggleStatusBar), Cmd::ToggleStatusBar,
         CS::Check(false)},
        // Handled, always enabled.
        {"started", Nothing, Cmd::Load, kEnabled},
        {"started", Nothing, Cmd::Restart, kEnabled},
        {"started", Nothing, Cmd::SetupSave, kEnabled},
        {"started", Nothing, Cmd::SetupSaveAs, kEnabled},
        {"started", Nothing, Cmd::Exit, kEnabled},
        {"started", Nothing, Cmd::About, kEnabled},
        {"started", Nothing, Cmd::Cascade, kEnabled},
        {"started", Nothing, Cmd::SetupGeneral, kEnabled},
        {"started", Nothing, Cmd::SetupExtControls, kEnabled},
        {"started", Nothing, Cmd::New, kEnabled},
        {"started", Nothing, Cmd::Open, kEnabled},
        {"part program window", execute(Cmd::New), Cmd::Save, kEnabled},
        {"part program window", execute(Cmd::New), Cmd::NewWindow, kEnabled},
        // Only a part program window's editor handles these: greyed without one.
        {"started", Nothing, Cmd::Save, kDisabled},
        {"started", Nothing, Cmd::NewWindow, kDisabled},
        {"started", Nothing, Cmd::Cut, kDisabled},
        {"started", Nothing, Cmd::NextPane, kDisabled},
    };
}

TEST_F(MenuRules, UpdateRulesForATableOfStates) {
    for (const RuleCase& c : RuleCases()) {
        SCOPED_TRACE(std::string(c.state) + ", command " + std::to_string(c.id));
        ASSERT_TRUE(Start());
        c.setUp(*this);
        EXPECT_EQ(Commands().State(c.id), c.expected);
        // Every menu item and toolbar button of the command shows the same after an update.
        app->UpdatePass();
        for (QAction* action : Commands().ActionsOf(c.id)) {
            EXPECT_EQ(action->isEnabled(), c.expected.enabled);
            EXPECT_EQ(action->isCheckable(), c.expected.mark != CommandMark::None);
            EXPECT_EQ(action->isChecked(), c.expected.marked);
            if (c.expected.mark == CommandMark::Radio && action->actionGroup() != nullptr) {
                EXPECT_TRUE(action->actionGroup()->isExclusive());
            }
        }
    }
}

TEST_F(MenuRules, PanelControlsFollowTheModeThroughTheUpdatePass) {
    struct Case {
        const char* state;
        int mode; // 0: as started (Home, not homed)
        int control;
        bool enabled;
    };
    const Case cases[] = {
        {"home", 0, control::kStart, true},
        {"home", 0, control::kBlock, false},
        {"home", 0, control::kJogXPlus, false},
        {"home", 0, control::kAxisX, false},
        {"home", 0, control::kSpindleCw, false},
        {"home", 0, control::kCutBox, true},
        {"jog", Cmd::ModeJog, control::kJogXPlus, true},
        {"jog", Cmd::ModeJog, control::kJogYMinus, true},
        {"jog", Cmd::ModeJog, control::kAxisX, true},
        {"jog", Cmd::ModeJog, control::kAxisZ, false},
        {"jog", Cmd::ModeJog, control::kJogZPlus, false},
        {"jog", Cmd::ModeJog, control::kStart, false},
        {"run", Cmd::ModeRun, control::kStart, false},
        {"run", Cmd::ModeRun, control::kJogXPlus, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.state) + ", control " + std::to_string(c.control));
        ASSERT_TRUE(Start());
        if (c.mode != 0)
            HomeAndSelect(c.mode);
        Ticks(1);
        EXPECT_EQ(Panel().Control(c.control)->isEnabled(), c.enabled);
    }
}

QStringList Texts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator() ? QString("-") : action->text());
    return texts;
}

QStringList Titles(const std::vector<QMenu*>& menus) {
    QStringList titles;
    for (QMenu* menu : menus)
        titles << menu->title();
    return titles;
}

TEST_F(StationOnCard, MenusAndToolbarAreBuiltFromTheTable) {
    ASSERT_TRUE(Start());
    // The same menus in every set: the bar does not shift as the active window changes.
    const QStringList titles = {"&File", "&Edit",    "&View",   "&Setup", "&Calibrate",
                                "&Mode", "&Options", "&Window", "&Help"};
    for (const MenuKind kind : {MenuKind::Main, MenuKind::Machine, MenuKind::PartProgram})
        EXPECT_EQ(Titles(Commands().Menus(kind)), titles);
    const QStringList edit = {"&Undo\tCtrl+Z",  "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C",
                              "&Paste\tCtrl+V", "-", "&Find",        "Find &Next",
                              "&Replace"};
    for (const MenuKind kind : {MenuKind::Main, MenuKind::Machine, MenuKind::PartProgram})
        EXPECT_EQ(Texts(Commands().Menus(kind)[1]), edit);

    EXPECT_EQ(Texts(Commands().Menus(MenuKind::Main)[0]),
              QStringList(
                  {"&Load...", "&Restart", "-", "&New\tCtrl+N", "&Open...\tCtrl+O", "-", "E&xit"}));
    EXPECT_EQ(Texts(Commands().Menus(MenuKind::PartProgram)[0]),
              QStringList({"&Load", "&Restart", "-", "&New\tCtrl+N", "&Open...\tCtrl+O", "-",
                           "&Close", "&Save\tCtrl+S", "Save &As...", "-", "&Print...\tCtrl+P",
                           "Print Pre&view", "Print Se&tup...", "E&xit"}));
    // MDI has its item: the MDI panel's command line is reached through it.
    EXPECT_EQ(Texts(Commands().Menus(MenuKind::Main)[5]),
              QStringList({"&Run", "&MDI", "&Jog", "&Home"}));
    EXPECT_EQ(Texts(Commands().Menus(MenuKind::PartProgram)[7]),
              QStringList({"&New Window", "&Cascade", "&Tile", "&Arrange Icons"}));
    const QStringList setup = Texts(Commands().Menus(MenuKind::Machine)[3]);
    ASSERT_EQ(setup.size(), 19);
    EXPECT_EQ(setup.first(), "&General");
    EXPECT_EQ(setup.mid(15), QStringList({"-", "&Open...", "&Save", "Save &As..."}));
    EXPECT_EQ(Texts(Commands().Menus(MenuKind::Main)[3]).last(2),
              QStringList({"&Save\tCtrl+S", "Save &As..."}));
    EXPECT_EQ(Commands().MenuAction(MenuKind::Main, Cmd::ModeRun)->statusTip(), "Select Run mode");

    QStringList buttons;
    for (QAction* action : Frame().ToolBar()->actions())
        buttons << (action->isSeparator() ? QString("-") : action->objectName());
    EXPECT_EQ(buttons, QStringList({"cmd57600", "cmd57601", "cmd57603", "-", "cmd57635", "cmd57634",
                                    "cmd57637", "-", "cmd57607", "cmd57664"}));
}

// Alt and a letter reach one item: within each menu, and among the menu bar's titles, no two
// share their mnemonic.
TEST_F(StationOnCard, EveryMenuGivesEachItemItsOwnMnemonic) {
    ASSERT_TRUE(Start());
    const auto mnemonic = [](const QString& text) {
        const int amp = text.indexOf('&');
        return amp < 0 || amp + 1 >= text.size() ? QChar() : text.at(amp + 1).toLower();
    };
    const auto distinct = [&](const QStringList& texts) {
        QStringList clashes;
        std::map<QChar, QString> seen;
        for (const QString& text : texts) {
            const QChar key = mnemonic(text);
            if (key.isNull())
                continue;
            if (const auto it = seen.find(key); it != seen.end())
                clashes << it->second + " ~ " + text;
            else
                seen.emplace(key, text);
        }
        return clashes;
    };
    for (const MenuKind kind : {MenuKind::Main, MenuKind::Machine, MenuKind::PartProgram}) {
        const std::vector<QMenu*> menus = Commands().Menus(kind);
        EXPECT_EQ(distinct(Titles(menus)), QStringList()) << "menu bar";
        for (QMenu* menu : menus)
            EXPECT_EQ(distinct(Texts(menu)), QStringList()) << menu->title().toStdString();
    }
}

TEST_F(StationOnCard, TheMenuBarFollowsTheActiveWindow) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(Commands().CurrentMenuKind(), MenuKind::Machine) << "the homing view is active";
    EXPECT_EQ(Frame().menuBar()->actions().size(), 9);
    app->Operator()->CloseAllViews();
    EXPECT_EQ(Commands().CurrentMenuKind(), MenuKind::Main);
    EXPECT_EQ(test::ShownTitle(Frame()), "Morvik Program");
}

// A view with commands of its own, as a part program editor will be.
class EditorLikeView : public QWidget, public ICommandTarget {
public:
    std::vector<int> executed;
    bool Handles(int id) const override { return id == Cmd::Cut || id == Cmd::ModeRun; }
    void Execute(int id) override { executed.push_back(id); }
    CommandState Update(int) const override { return CommandState::Enabled(true); }
};

TEST_F(StationOnCard, TheActiveViewIsAskedFirst) {
    ASSERT_TRUE(Start());
    auto* view = new EditorLikeView;
    QMdiSubWindow* window = Frame().MdiArea()->addSubWindow(view);
    CMainFrame::SetDocument(window, DocumentKind::PartProgram, "Part1");
    window->show();
    Frame().MdiArea()->setActiveSubWindow(window);
    EXPECT_EQ(Commands().CurrentMenuKind(), MenuKind::PartProgram);

    EXPECT_TRUE(Commands().State(Cmd::Cut).enabled) << "Cut has a handler now";
    EXPECT_TRUE(Commands().Execute(Cmd::Cut));
    EXPECT_TRUE(Commands().Execute(Cmd::ModeRun));
    EXPECT_EQ(view->executed, std::vector<int>({Cmd::Cut, Cmd::ModeRun}));
    EXPECT_TRUE(dialogs.boxes.empty()) << "the application never saw Run";

    delete window;
    EXPECT_FALSE(Commands().State(Cmd::Cut).enabled);
}

} // namespace
} // namespace morvik
