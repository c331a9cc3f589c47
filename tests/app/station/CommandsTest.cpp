// The command table at work: the update rules of the menus for a table of machine states, the
// panel's enable rules through the same update pass, the menus and toolbar built from the
// table, and the routing order (the active view before the main window and the application).
#include "app/station/StationFixture.h"

#include <QActionGroup>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <functional>

namespace morvik {
namespace {

using test::StationOnCard;

constexpr int kModeRun = 32780;
constexpr int kModeMdi = 32781;
constexpr int kModeJog = 32782;
constexpr int kModeHome = 32802;

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
            s.HomeAndSelect(kModeRun);
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
        {"started", Nothing, kModeHome, CS::Radio(true)},
        {"started", Nothing, kModeRun, CS::Radio(false)},
        {"started", Nothing, kModeMdi, CS::Radio(false)},
        {"started", Nothing, kModeJog, CS::Radio(false)},
        {"jogging", select(kModeJog), kModeJog, CS::Radio(true)},
        {"jogging", select(kModeJog), kModeHome, CS::Radio(false)},
        {"running", select(kModeRun), kModeRun, CS::Radio(true)},
        {"started", Nothing, 32799, CS::Check(false)},
        {"block skip on", execute(32799), 32799, CS::Check(true)},
        {"block skip switch",
         machine([](CMachine& m) { m.ExternalControls().blockSkipSwitchChannel.Set(3); }), 32799,
         CS{false, CommandMark::Check, false}},
        {"dry run on", execute(32803), 32803, CS::Check(true)},
        {"dry run switch",
         machine([](CMachine& m) { m.ExternalControls().dryRunSwitchChannel.Set(4); }), 32803,
         CS{false, CommandMark::Check, false}},
        {"started", Nothing, 32808, kDisabled},
        {"joystick used", machine([](CMachine& m) { m.Jogging().usePcJoystick.Set(1); }), 32808,
         kEnabled},
        {"started", Nothing, 32800, CS::Check(false)},
        {"started", Nothing, 32784, CS::Check(true)},
        {"current position", execute(32800), 32800, CS::Check(true)},
        {"current position", execute(32800), 32784, CS::Check(false)},
        {"started", Nothing, 32793, CS::Check(false)},
        {"status display", execute(32793), 32793, CS::Check(true)},
        {"status display twice", Steps::Run({32793, 32793}), 32793, CS::Check(false)},
        {"program view", Steps::RunInRunMode(32804), 32804, CS::Check(true)},
        {"program view", Steps::RunInRunMode(32804), 32801, CS::Check(false)},
        {"messages view", Steps::RunInRunMode(32801), 32801, CS::Check(true)},
        {"started", Nothing, 59392, CS::Check(true)},
        {"toolbar hidden", execute(59392), 59392, CS::Check(false)},
        {"status bar hidden", execute(59393), 59393, CS::Check(false)},
        // Handled, always enabled.
        {"started", Nothing, 32771, kEnabled},
        {"started", Nothing, 32795, kEnabled},
        {"started", Nothing, 32796, kEnabled},
        {"started", Nothing, 32797, kEnabled},
        {"started", Nothing, 57665, kEnabled},
        {"started", Nothing, 57664, kEnabled},
        {"started", Nothing, 57650, kEnabled},
        {"started", Nothing, 32774, kEnabled},
        {"started", Nothing, 32809, kEnabled},
        {"started", Nothing, 57600, kEnabled},
        {"started", Nothing, 57601, kEnabled},
        {"part program window", execute(57600), 57603, kEnabled},
        {"part program window", execute(57600), 57648, kEnabled},
        // Only a part program window's editor handles these: greyed without one.
        {"started", Nothing, 57603, kDisabled},
        {"started", Nothing, 57648, kDisabled},
        {"started", Nothing, 57635, kDisabled},
        {"started", Nothing, 57680, kDisabled},
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
        {"home", 0, control::kStart, true},           {"home", 0, control::kBlock, false},
        {"home", 0, control::kJogXPlus, false},       {"home", 0, control::kAxisX, false},
        {"home", 0, control::kSpindleCw, false},      {"home", 0, control::kCutBox, true},
        {"jog", kModeJog, control::kJogXPlus, true},  {"jog", kModeJog, control::kJogYMinus, true},
        {"jog", kModeJog, control::kAxisX, true},     {"jog", kModeJog, control::kAxisZ, false},
        {"jog", kModeJog, control::kJogZPlus, false}, {"jog", kModeJog, control::kStart, false},
        {"run", kModeRun, control::kStart, false},    {"run", kModeRun, control::kJogXPlus, false},
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
    const QStringList main = {"&File", "&View",    "&Setup",  "&Calibrate",
                              "&Mode", "&Options", "&Window", "&Help"};
    EXPECT_EQ(Titles(Commands().Menus(MenuKind::Main)), main);
    EXPECT_EQ(Titles(Commands().Menus(MenuKind::Machine)), main);
    QStringList part = main;
    part.insert(1, "&Edit");
    EXPECT_EQ(Titles(Commands().Menus(MenuKind::PartProgram)), part);

    EXPECT_EQ(Texts(Commands().Menus(MenuKind::Main)[0]),
              QStringList(
                  {"&Load...", "&Restart", "-", "&New\tCtrl+N", "&Open...\tCtrl+O", "-", "E&xit"}));
    EXPECT_EQ(Texts(Commands().Menus(MenuKind::PartProgram)[0]),
              QStringList({"&Load", "&Restart", "-", "&New\tCtrl+N", "&Open...\tCtrl+O", "-",
                           "&Close", "&Save\tCtrl+S", "Save &As...", "-", "&Print...\tCtrl+P",
                           "Print Pre&view", "P&rint Setup...", "E&xit"}));
    EXPECT_EQ(Texts(Commands().Menus(MenuKind::Main)[4]), QStringList({"&Run", "&Jog", "&Home"}))
        << "the Mode menu has no item for MDI";
    EXPECT_EQ(Texts(Commands().Menus(MenuKind::PartProgram)[7]),
              QStringList({"&New Window", "&Cascade", "&Tile", "&Arrange Icons"}));
    const QStringList setup = Texts(Commands().Menus(MenuKind::Machine)[2]);
    ASSERT_EQ(setup.size(), 19);
    EXPECT_EQ(setup.first(), "&General");
    EXPECT_EQ(setup.mid(15), QStringList({"-", "&Open...", "&Save", "Save &As..."}));
    EXPECT_EQ(Texts(Commands().Menus(MenuKind::Main)[2]).last(2),
              QStringList({"&Save\tCtrl+S", "Save &As..."}));
    EXPECT_EQ(Commands().MenuAction(MenuKind::Main, kModeRun)->statusTip(), "Select Run mode");

    QStringList buttons;
    for (QAction* action : Frame().ToolBar()->actions())
        buttons << (action->isSeparator() ? QString("-") : action->objectName());
    EXPECT_EQ(buttons, QStringList({"cmd57600", "cmd57601", "cmd57603", "-", "cmd57635", "cmd57634",
                                    "cmd57637", "-", "cmd57607", "cmd57664"}));
}

TEST_F(StationOnCard, TheMenuBarFollowsTheActiveWindow) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(Commands().CurrentMenuKind(), MenuKind::Machine) << "the homing view is active";
    EXPECT_EQ(Frame().menuBar()->actions().size(), 8);
    app->Operator()->CloseAllViews();
    EXPECT_EQ(Commands().CurrentMenuKind(), MenuKind::Main);
    EXPECT_EQ(Frame().windowTitle(), "Morvik Program");
}

// A view with commands of its own, as a part program editor will be.
class EditorLikeView : public QWidget, public ICommandTarget {
public:
    std::vector<int> executed;
    bool Handles(int id) const override { return id == 57635 || id == kModeRun; }
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

    EXPECT_TRUE(Commands().State(57635).enabled) << "Cut has a handler now";
    EXPECT_TRUE(Commands().Execute(57635));
    EXPECT_TRUE(Commands().Execute(kModeRun));
    EXPECT_EQ(view->executed, std::vector<int>({57635, kModeRun}));
    EXPECT_TRUE(dialogs.boxes.empty()) << "the application never saw Run";

    delete window;
    EXPECT_FALSE(Commands().State(57635).enabled);
}

} // namespace
} // namespace morvik
