// Start-up, homing, the Run refusal, the idle drain of card text and a jog from the panel, on
// the whole station against the simulated card.
#include "app/station/StationFixture.h"
#include "support/ShownTitle.h"

#include "controller/StringTable.h"
#include "settings/ProfileFile.h"
#include "ui/StatusBarIdle.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QStatusBar>
#include <QStatusTipEvent>

namespace morvik {
namespace {

using test::StationOnCard;

TEST_F(StationOnCard, StartsANewMachineInHomeModeWithTheHomingPrompt) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join(" | ").toStdString();
    ASSERT_NE(app->Machine(), nullptr);
    EXPECT_EQ(currentMachine, app->Machine());
    EXPECT_EQ(Machine().GetTitle(), "Machine1");
    EXPECT_EQ(Machine().State().Mode(), MachineMode::Home);
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(timerStarted);
    EXPECT_EQ(Frame().PeriodicTimer().interval(), 100);

    // The homing view is the one window, active, titled with the machine, showing the prompt.
    CTextView* homing = TextView(ViewKind::HomingView);
    ASSERT_NE(homing, nullptr);
    EXPECT_EQ(homing->Lines().Line(1), "Press START button to home machine...");
    EXPECT_EQ(homing->Lines().Line(0), "") << "on a line of its own";
    EXPECT_EQ(Frame().MdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(test::ShownTitle(Frame()), "Morvik Program - Machine1");
    EXPECT_EQ(Commands().CurrentMenuKind(), MenuKind::Machine);

    // The configuration went to the card, the settings file to the XDG folder.
    for (const char* read : {"RCF100", "RWF101", "RTF102"})
        EXPECT_TRUE(TraceHas(read)) << read;
    EXPECT_TRUE(std::filesystem::exists(work.File("Machine1.CFG")));
    EXPECT_EQ(Frame().Settings().Path(), config.SettingsFile());

    // The panel's first fill and the first tick: overrides at 100 %, X and Y read out.
    EXPECT_EQ(dynamic_cast<QLineEdit*>(Panel().Control(control::kFeedOverride))->text(), "100");
    Ticks(1);
    EXPECT_FALSE(Panel().ReadoutText(Readout::X).isEmpty());
    EXPECT_FALSE(Panel().ReadoutText(Readout::Y).isEmpty());
    EXPECT_TRUE(Panel().ReadoutText(Readout::Z).isEmpty()) << "Z is not on the card";
}

TEST_F(StationOnCard, TheCardIsOpenedWithIdZeroWhateverTheSettingsFileHolds) {
    // "ControllerID" is only kept and written back: a non-zero value must not stop start-up.
    std::filesystem::create_directories(std::filesystem::path(config.SettingsFile()).parent_path());
    std::ofstream(config.SettingsFile()) << "[Controller]\nControllerID=7\n";
    ASSERT_TRUE(Start());
    ASSERT_NE(app->Machine(), nullptr);
    EXPECT_EQ(Machine().Controller().ControllerId(), 0);
    EXPECT_TRUE(Machine().Controller().IsOpen());
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join(" | ").toStdString();
    app.reset(); // the main window writes the settings back
    EXPECT_EQ(CProfileFile(config.SettingsFile()).GetInt("Controller", "ControllerID", -1), 7);
}

TEST_F(StationOnCard, StartHomesTheMachine) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Button(control::kStart)->isEnabled());
    Press(control::kStart);
    EXPECT_TRUE(Machine().State().homed) << "Start acts as the mouse button goes down";
    Release(control::kStart);
    EXPECT_EQ(TextView(ViewKind::HomingView)->Lines().Line(1), "Homing Machine...");

    EXPECT_TRUE(Commands().Execute(Cmd::ModeRun));
    EXPECT_EQ(Machine().State().Mode(), MachineMode::Run);
    EXPECT_EQ(app->Operator()->View(ViewKind::HomingView), nullptr) << "Home left: view closed";
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(StationOnCard, RunModeIsRefusedBeforeHoming) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Commands().Execute(Cmd::ModeRun));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Morvik Windows Application");
    EXPECT_EQ(dialogs.boxes[0].text.toStdString(), MessageText(msg::MustHomeBeforeRun));
    EXPECT_EQ(Machine().State().Mode(), MachineMode::Home);
    // The menu still marks Home, whatever the click on Run did to its own item.
    EXPECT_TRUE(Commands().MenuAction(MenuKind::Machine, Cmd::ModeHome)->isChecked());
    EXPECT_FALSE(Commands().MenuAction(MenuKind::Machine, Cmd::ModeRun)->isChecked());
}

TEST_F(StationOnCard, AJogButtonMovesItsAxisWhileHeldAndStopsItOnRelease) {
    // A new machine jogs at 0 speed; this mill has its jog rates set.
    const std::string mill = work.File("mill.mch");
    std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/machine/golden/mill.mch",
                               mill);
    ASSERT_TRUE(Start(mill));
    Home();
    ASSERT_TRUE(Commands().Execute(Cmd::ModeJog));
    ASSERT_TRUE(Button(control::kJogXPlus)->isEnabled()) << "the update pass enables the pad";

    double start = 0;
    ASSERT_EQ(KelvSimAxisState(1, nullptr, &start, nullptr), 0);
    Press(control::kJogXPlus);
    Ticks(10);
    double position = 0;
    double velocity = 0;
    ASSERT_EQ(KelvSimAxisState(1, nullptr, &position, &velocity), 0);
    EXPECT_NE(velocity, 0.0);
    EXPECT_NE(position, start);
    const QString readout = Panel().ReadoutText(Readout::X);

    Release(control::kJogXPlus);
    Ticks(20);
    ASSERT_EQ(KelvSimAxisState(1, nullptr, &position, &velocity), 0);
    EXPECT_EQ(velocity, 0.0);
    const double stoppedAt = position;
    Ticks(5);
    ASSERT_EQ(KelvSimAxisState(1, nullptr, &position, nullptr), 0);
    EXPECT_EQ(position, stoppedAt);
    EXPECT_NE(Panel().ReadoutText(Readout::X), readout);
}

// The tick reads the first batch of a burst of card text; the idle handler drains the rest,
// one batch per call, and asks for more until a read brings nothing.
TEST_F(StationOnCard, IdleHandlerDrainsABurstOfCardTextIntoTheHomingView) {
    ASSERT_TRUE(Start());
    constexpr int kLines = 12;
    for (int i = 0; i < kLines; ++i)
        Machine().Controller().SendAscii("XQ" + std::to_string(i) + "\r");
    Ticks(1);
    ASSERT_TRUE(app->ControllerTextPending());
    EXPECT_TRUE(app->IdleTimer().isActive()) << "the tick starts the idle drain";

    int busyCalls = 0;
    while (app->OnIdle()) {
        ASSERT_LT(++busyCalls, 100) << "the drain must end";
    }
    EXPECT_GT(busyCalls, 0);
    EXPECT_FALSE(app->ControllerTextPending());

    // Every reply line arrived, in order, below the prompt's own line, and the last one's
    // carriage return left an empty line.
    const TextLineRing& lines = TextView(ViewKind::HomingView)->Lines();
    EXPECT_EQ(lines.Line(0), "");
    for (int i = 0; i < kLines; ++i) {
        const std::string& line = lines.Line(kLines - i);
        EXPECT_NE(line.find("?ERR"), std::string::npos) << line;
        EXPECT_NE(line.find("XQ" + std::to_string(i)), std::string::npos) << line;
    }
    EXPECT_EQ(lines.Line(kLines + 1), "Press START button to home machine...");
}

// The status bar says "Ready" only once the machine is: before homing it says how to get
// there, and a menu prompt still takes its place while it stands.
TEST_F(StationOnCard, TheStatusBarSaysReadyOnlyOnceTheMachineIsHomed) {
    ASSERT_TRUE(Start());
    QStatusBar* bar = Frame().statusBar();
    Ticks(1);
    EXPECT_EQ(bar->currentMessage(), StatusBarIdle::kNotHomed);
    QStatusTipEvent prompt("Select Run mode");
    QCoreApplication::sendEvent(&Frame(), &prompt);
    Home();
    Ticks(1);
    EXPECT_EQ(bar->currentMessage(), "Select Run mode") << "the prompt stands";
    QStatusTipEvent gone{QString()};
    QCoreApplication::sendEvent(&Frame(), &gone);
    EXPECT_EQ(bar->currentMessage(), "Ready");
}

TEST_F(StationOnCard, OpensTheMachineFileNamedOnTheCommandLine) {
    const std::string path = work.File("my mill.mch");
    std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/machine/golden/mill.mch",
                               path);
    ASSERT_TRUE(Start(path));
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join(" | ").toStdString();
    EXPECT_EQ(Machine().GetTitle(), "my mill.mch");
    EXPECT_EQ(Machine().State().Mode(), MachineMode::Home);
    EXPECT_EQ(test::ShownTitle(Frame()), "Morvik Program - my mill.mch");
}

TEST_F(StationOnCard, AMachineFileThatCannotBeOpenedLeavesTheStationWithoutAMachine) {
    ASSERT_TRUE(Start(work.File("missing.mch")));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Morvik Windows Application");
    EXPECT_EQ(dialogs.boxes[0].text,
              "Failed to open document.\n" + QString::fromStdString(work.File("missing.mch")));
    EXPECT_EQ(app->Machine(), nullptr);
    EXPECT_EQ(currentMachine, nullptr);
    EXPECT_TRUE(TraceHas("KelvClose")) << "the card is closed again";
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(Frame().MdiArea()->subWindowList().isEmpty()) << "no Home mode, no homing view";

    // Machine commands do nothing; the panel stays empty and only its always-on controls work.
    EXPECT_TRUE(Commands().Execute(Cmd::ModeRun));
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    Ticks(2);
    for (std::size_t i = 0; i < kReadoutCount; ++i)
        EXPECT_TRUE(Panel().ReadoutText(static_cast<Readout>(i)).isEmpty());
    EXPECT_FALSE(Button(control::kStart)->isEnabled());
    EXPECT_FALSE(Button(control::kJogXPlus)->isEnabled());
    EXPECT_TRUE(Button(control::kCutBox)->isEnabled());
    EXPECT_TRUE(Panel().Control(control::kFeedOverride)->isEnabled());
}

TEST(CommandLine, IsTheWholeTextAfterTheProgramName) {
    struct Case {
        QStringList arguments;
        std::string expected;
    };
    const Case cases[] = {
        {{"morvik"}, ""},
        {{"morvik", "/home/op/mill.mch"}, "/home/op/mill.mch"},
        {{"morvik", "/home/op/my", "mill.mch"}, "/home/op/my mill.mch"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommandLineText(c.arguments), c.expected);
}

TEST_F(StationOnCard, AboutShowsTheDialogLibrarysBoxAndText) {
    ASSERT_TRUE(Start());
    // The dialog library traces into the file the environment names.
    qputenv("KELVSIM_TRACE", QByteArray::fromStdString(trace));
    const bool executed = Commands().Execute(Cmd::About);
    qunsetenv("KELVSIM_TRACE");
    ASSERT_TRUE(executed);
    EXPECT_TRUE(TraceHas("KELVDLG_AboutBox(NULL, \"Morvik\", 0)"));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Morvik");
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith("Morvik operator station\nVersion "));
}

} // namespace
} // namespace morvik
