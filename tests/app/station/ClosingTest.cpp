// Closing the station: the save prompt for a modified machine and what each answer does, the
// signal's close without a prompt, the card left safe, and a held jog stopped on the way out.
#include "app/station/StationFixture.h"
#include "operation/CommandIds.h"

#include "controller/ControllerCodes.h"
#include "controller/StringTable.h"
#include "settings/ProfileFile.h"
#include "ui/PartView.h"

#include <QMdiArea>
#include <QPlainTextEdit>

#include <functional>

namespace morvik {
namespace {

using test::StationOnCard;

// What closing leaves on the card, in order: output options off, option 494 on, "PC62,EN",
// both handles closed.
void ExpectCardLeftSafe(const std::vector<std::string>& trace) {
    std::vector<std::string> tail;
    for (const std::string& line : trace) {
        if (line.find("494, 1, 2") != std::string::npos ||
            line.find("PC62,EN") != std::string::npos || line.rfind("KelvClose", 0) == 0)
            tail.push_back(line);
    }
    ASSERT_EQ(tail.size(), 4u);
    EXPECT_NE(tail[0].find("dorncmdex(0x101, 0, 494, 1, 2)"), std::string::npos) << tail[0];
    EXPECT_EQ(tail[1], "dornputs(0x102, \"PC62,EN\\r\") = 0");
    EXPECT_EQ(tail[2].rfind("KelvClose(", 0), 0u);
    EXPECT_EQ(tail[3].rfind("KelvClose(", 0), 0u);
}

TEST_F(StationOnCard, AModifiedMachineIsOfferedForSavingAsTheWindowCloses) {
    struct Case {
        const char* name;
        std::vector<BoxAnswer> answers;
        std::vector<QString> files; // answers of the save dialog; a null one cancels
        bool closes;
        bool saved;
    };
    const Case cases[] = {
        {"cancel", {BoxAnswer::Cancel}, {}, false, false},
        {"no", {BoxAnswer::No}, {}, true, false},
        {"yes, dialog cancelled", {BoxAnswer::Yes}, {QString()}, false, false},
        {"yes, saved", {BoxAnswer::Yes}, {"saved.mch"}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Start());
        Machine().SetModifiedFlag();
        dialogs.boxes.clear();
        dialogs.answers.assign(c.answers.begin(), c.answers.end());
        dialogs.files.assign(c.files.begin(), c.files.end());
        std::filesystem::remove(work.File("saved.mch"));

        EXPECT_EQ(Frame().close(), c.closes);
        ASSERT_FALSE(dialogs.boxes.empty());
        EXPECT_EQ(dialogs.boxes[0].caption, "Morvik Windows Application");
        EXPECT_EQ(dialogs.boxes[0].text, "Save changes to Machine1?");
        EXPECT_EQ(dialogs.boxes.size(), 1u) << "no other box, no failure for a cancel";
        EXPECT_EQ(std::filesystem::exists(work.File("saved.mch")), c.saved);
        EXPECT_EQ(Frame().isVisible(), !c.closes);
        EXPECT_EQ(app->Machine() == nullptr, c.closes);
        EXPECT_EQ(currentMachine == nullptr, c.closes);
        if (c.closes)
            ExpectCardLeftSafe(Trace());
    }
}

TEST_F(StationOnCard, ModifiedPartProgramsAreOfferedForSavingBeforeTheMachine) {
    struct Case {
        const char* name;
        std::vector<BoxAnswer> answers;
        bool closes;
        QStringList prompts;
    };
    const Case cases[] = {
        {"cancel", {BoxAnswer::Cancel}, false, {"Save changes to Part1?"}},
        {"no, then machine cancelled",
         {BoxAnswer::No, BoxAnswer::Cancel},
         false,
         {"Save changes to Part1?", "Save changes to Machine1?"}},
        {"no, no",
         {BoxAnswer::No, BoxAnswer::No},
         true,
         {"Save changes to Part1?", "Save changes to Machine1?"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Start());
        ASSERT_TRUE(Commands().Execute(Cmd::New));
        auto* editor = dynamic_cast<QPlainTextEdit*>(Frame().ActiveWindow()->widget());
        ASSERT_NE(editor, nullptr);
        editor->insertPlainText("G0 X1");
        Machine().SetModifiedFlag();
        dialogs.boxes.clear();
        dialogs.answers.assign(c.answers.begin(), c.answers.end());

        EXPECT_EQ(Frame().close(), c.closes);
        EXPECT_EQ(dialogs.Texts(), c.prompts);
        EXPECT_EQ(Frame().MdiArea()->subWindowList().isEmpty(), c.closes)
            << "the windows stay while the station stays";
        EXPECT_EQ(app->Machine() == nullptr, c.closes);
    }
}

TEST_F(StationOnCard, AnUnmodifiedMachineClosesWithoutAPrompt) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Commands().Execute(Cmd::Exit)); // File > Exit
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(app->Machine(), nullptr);
    ExpectCardLeftSafe(Trace());
}

TEST_F(StationOnCard, ASignalClosesWithoutPromptingAndSavesThePlacement) {
    ASSERT_TRUE(Start());
    Machine().SetModifiedFlag();
    Frame().move(30, 20);
    app->RequestTerminate();
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_TRUE(dialogs.boxes.empty()) << "no prompt: the changes are discarded";
    EXPECT_EQ(app->Machine(), nullptr);
    ExpectCardLeftSafe(Trace());

    app.reset(); // the main window goes and saves its placement
    const CProfileFile ini(config.SettingsFile());
    EXPECT_EQ(ini.GetInt("Main Window", "XPos", -1), 30);
    EXPECT_EQ(ini.GetInt("Main Window", "YPos", -1), 20);
    EXPECT_EQ(ini.GetInt("Controller", "ControllerID", -1), 0);
}

// The sample mill started from a copy in the working folder.
std::string CopyOfMill(test::TempFolder& work, const std::string& name) {
    const std::string mill = work.File(name);
    std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/machine/golden/mill.mch", mill,
                               std::filesystem::copy_options::overwrite_existing);
    return mill;
}

class StationClosing : public StationOnCard {
protected:
    // The mill homed, in Run mode, a program loaded from an editor and running.
    void RunAProgram() {
        ASSERT_TRUE(Start(CopyOfMill(work, "mill.mch")));
        Home();
        ASSERT_TRUE(Commands().Execute(Cmd::ModeRun));
        ASSERT_TRUE(Commands().Execute(Cmd::New));
        auto* editor = dynamic_cast<CPartView*>(Frame().ActiveWindow()->widget());
        ASSERT_NE(editor, nullptr);
        editor->setPlainText("O1234\nG1 X5 F10\nM30");
        ASSERT_TRUE(Commands().Execute(Cmd::Load));
        Ticks(1);
        Press(control::kStart);
        Release(control::kStart);
        Ticks(3);
        ASSERT_NE(Machine().Controller().ProgramStatus() & psw::Running, 0u);
        dialogs.boxes.clear();
    }
    // The mill in Jog mode with X+ held at full speed on a card that brakes far slower than the
    // machine's settings say: a stop now is not confirmed within the station's bound.
    void JogOnASlowBrakingCard() {
        ASSERT_TRUE(Start(CopyOfMill(work, "mill.mch")));
        Home();
        Ticks(200); // homing goes to machine zero at rapid
        JoggingSettings& jog = Machine().Jogging();
        jog.jogDecel.Set(unit::Inch, timeunit::Second, 0.05); // 33 s from full speed
        ASSERT_TRUE(Commands().Execute(Cmd::ModeJog));        // the card takes it here
        jog.jogDecel.Set(unit::Inch, timeunit::Second, 5.0);  // the station waits ~1.4 s
        Press(control::kJogXPlus);
        Ticks(10);
        ASSERT_GT(Velocity(), 30.0) << "X+ near the jog rate (42.3 mm/s)";
        dialogs.boxes.clear();
    }
    static double Velocity() {
        double velocity = 0;
        EXPECT_EQ(KelvSimAxisState(1, nullptr, nullptr, &velocity), 0);
        return velocity;
    }
    static QString Text(int id) { return QString::fromStdString(MessageText(id)); }
};

TEST_F(StationOnCard, ClosingWhileAJogButtonIsHeldStopsTheAxis) {
    const std::string mill = work.File("mill.mch");
    std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/machine/golden/mill.mch",
                               mill);
    ASSERT_TRUE(Start(mill));
    Home();
    ASSERT_TRUE(Commands().Execute(Cmd::ModeJog));
    Press(control::kJogXPlus);
    Ticks(10);
    double velocity = 0;
    ASSERT_EQ(KelvSimAxisState(1, nullptr, nullptr, &velocity), 0);
    ASSERT_NE(velocity, 0.0);

    app->RequestTerminate(); // the button is never released
    ASSERT_EQ(KelvSimAxisState(1, nullptr, nullptr, &velocity), 0);
    EXPECT_EQ(velocity, 0.0);
    ExpectCardLeftSafe(Trace());
}

TEST_F(StationOnCard, ClosingWhileAProgramRunsSaysFirstThatClosingStopsIt) {
    const std::string mill = work.File("mill.mch");
    std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/machine/golden/mill.mch",
                               mill);
    ASSERT_TRUE(Start(mill));
    Home();
    ASSERT_TRUE(Commands().Execute(Cmd::ModeRun)); // Run
    ASSERT_TRUE(Commands().Execute(Cmd::New));     // File > New: an editor
    auto* editor = dynamic_cast<CPartView*>(Frame().ActiveWindow()->widget());
    ASSERT_NE(editor, nullptr);
    editor->setPlainText("O1234\nG1 X5 F10\nM30");
    ASSERT_TRUE(Commands().Execute(Cmd::Load)); // Load from the editor
    Ticks(1);
    Press(control::kStart);
    Release(control::kStart);
    Ticks(3);
    ASSERT_NE(Operation().Snapshot().programStatus.value_or(0) & psw::Running, 0u)
        << "the program runs";
    const QString warning = QString::fromStdString(MessageText(msg::ClosingStopsRunningProgram));

    // No: the station stays, the program runs on, nothing else was asked.
    dialogs.answers = {BoxAnswer::No};
    EXPECT_TRUE(Commands().Execute(Cmd::Exit)); // File > Exit
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, warning);
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Question);
    EXPECT_TRUE(Frame().isVisible());
    ASSERT_NE(app->Machine(), nullptr);
    EXPECT_NE(Machine().Controller().ProgramStatus() & psw::Running, 0u);

    // Yes: then the save prompt of the modified machine, then the station closes.
    Machine().SetModifiedFlag();
    dialogs.boxes.clear();
    dialogs.answers = {BoxAnswer::Yes, BoxAnswer::No};
    EXPECT_TRUE(Commands().Execute(Cmd::Exit));
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].text, warning);
    EXPECT_TRUE(dialogs.boxes[1].text.startsWith("Save changes to"));
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_EQ(app->Machine(), nullptr);
    ExpectCardLeftSafe(Trace());
}

} // namespace
} // namespace morvik

namespace morvik {
namespace {

// Every way out of a running program asks before it aborts it, as File > Exit does; No
// changes nothing: the program runs on, the machine stays.
TEST_F(StationClosing, EveryWayThatStopsARunningProgramAsksFirst) {
    struct Case {
        const char* name;
        int question;
        std::function<void()> act;
    };
    const Case cases[] = {
        {"File > Exit", msg::ClosingStopsRunningProgram,
         [this] { EXPECT_TRUE(Commands().Execute(Cmd::Exit)); }},
        {"Setup > Open", msg::OpeningStopsRunningProgram,
         [this] {
             dialogs.files.push_back(QString::fromStdString(CopyOfMill(work, "other.mch")));
             EXPECT_TRUE(Commands().Execute(Cmd::SetupOpen));
         }},
        {"File > Restart", msg::RestartStopsRunningProgram,
         [this] { EXPECT_TRUE(Commands().Execute(Cmd::Restart)); }},
        {"logout", msg::ClosingStopsRunningProgram,
         [this] { EXPECT_FALSE(app->CommitData(true)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(RunAProgram());
        const CMachine* machine = app->Machine();
        const std::size_t traced = Trace().size();
        dialogs.answers = {BoxAnswer::No};

        c.act();

        ASSERT_EQ(dialogs.boxes.size(), 1u) << dialogs.Texts().join("|").toStdString();
        EXPECT_EQ(dialogs.boxes[0].text, Text(c.question));
        EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Question);
        EXPECT_TRUE(Frame().isVisible());
        EXPECT_EQ(app->Machine(), machine);
        EXPECT_NE(Machine().Controller().ProgramStatus() & psw::Running, 0u) << "it runs on";
        const std::vector<std::string> after = Trace();
        for (std::size_t i = traced; i < after.size(); ++i)
            EXPECT_EQ(after[i].find(", 401, "), std::string::npos) << "aborted: " << after[i];
    }
}

// A jogged axis the card did not confirm stopped may still be moving: closing the station,
// opening another machine and a logout are refused the way a mode change is, with a message
// that says so; once the axis has stopped they go ahead.
TEST_F(StationClosing, AJogStopTheCardDidNotConfirmKeepsTheMachineOpen) {
    struct Case {
        const char* name;
        std::function<bool()> act; // true when the machine was closed
    };
    const Case cases[] = {
        {"File > Exit",
         [this] {
             EXPECT_TRUE(Commands().Execute(Cmd::Exit));
             return app->Machine() == nullptr;
         }},
        {"Setup > Open",
         [this] {
             dialogs.files.push_back(QString::fromStdString(CopyOfMill(work, "other.mch")));
             EXPECT_TRUE(Commands().Execute(Cmd::SetupOpen));
             return TraceHas("PC62,EN") && Machine().GetTitle() == "other.mch";
         }},
        {"logout", [this] { return app->CommitData(true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(JogOnASlowBrakingCard());
        const CMachine* machine = app->Machine();

        EXPECT_FALSE(c.act());

        ASSERT_EQ(dialogs.boxes.size(), 1u) << dialogs.Texts().join("|").toStdString();
        EXPECT_EQ(dialogs.boxes[0].text, Text(msg::JogStopNotConfirmedOnClose));
        EXPECT_NE(dialogs.boxes[0].text.indexOf("may still be moving"), -1);
        EXPECT_EQ(dialogs.boxes[0].text.indexOf("Jog mode"), -1);
        EXPECT_EQ(app->Machine(), machine);
        EXPECT_TRUE(Frame().isVisible());
        EXPECT_EQ(Machine().State().Mode(), MachineMode::Jog);
        EXPECT_FALSE(TraceHas("PC62,EN")) << "the card was not shut down";
        EXPECT_NE(Velocity(), 0.0) << "still braking";

        // The tick keeps watching the axis; once it has stopped the same command closes.
        for (int i = 0; i < 600 && Velocity() != 0.0; ++i)
            Ticks(1);
        ASSERT_EQ(Velocity(), 0.0);
        Ticks(2);
        dialogs.boxes.clear();
        EXPECT_TRUE(c.act()) << dialogs.Texts().join("|").toStdString();
    }
}

} // namespace
} // namespace morvik
