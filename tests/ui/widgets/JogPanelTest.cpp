// Jogging from the keyboard and in steps, the jog speed, and the Stop button, on the card
// through the real panel: the arrow keys and Page Up/Down jog while held and auto-repeat never
// restarts a stopped jog; losing the window or the keyboard to a text field lets a key go; a
// jog step moves exactly one increment and presses during the move queue nothing; the speed
// selector scales the jog rate; a maximum jog rate of 0 is said in the status bar; Stop aborts
// the program and stops every axis.
#include "controller/StringTable.h"
#include "ui/widgets/PanelFixture.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>

#include <cmath>

namespace morvik {
namespace {

using test::PanelOnCard;

// Controller axes of the new machine.
constexpr int kCardX = 1;
constexpr int kCardY = 2;
constexpr int kCardZ = 3;

class JogPanel : public PanelOnCard {
protected:
    // X, Y and Z at 1000 counts/in, jogging at 60 in/min (1 in/s) with ramps of 100 in/s/s.
    void SetUp() override {
        PanelOnCard::SetUp();
        machine->AxisZ().SetControllerAxis(kCardZ);
        for (Axis* axis : {&machine->AxisX(), &machine->AxisY(), &machine->AxisZ()})
            axis->Scale().Set(unit::Inch, 1000.0);
        SetJogRate(60.0);
    }

    void SetJogRate(double inchesPerMinute) {
        JoggingSettings& jog = machine->Jogging();
        jog.maxJogRate.Set(unit::Inch, timeunit::Minute, inchesPerMinute);
        jog.jogAccel.Set(unit::Inch, timeunit::Second, 100.0);
        jog.jogDecel.Set(unit::Inch, timeunit::Second, 100.0);
        ASSERT_TRUE(machine->DownloadConfiguration());
    }

    void EnterJog() {
        op->SelectJog();
        ASSERT_EQ(machine->State().Mode(), MachineMode::Jog);
        UpdateEnabled();
    }

    // A key event as the window system delivers it to the active window.
    void Key(QEvent::Type type, int key, bool autoRepeat = false) {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(window.get(), &event);
    }
    void KeyDown(int key) { Key(QEvent::KeyPress, key); }
    void KeyUp(int key) { Key(QEvent::KeyRelease, key); }
    // One auto-repeat of a held key: a release and a press, both marked as repeats.
    void Repeat(int key) {
        Key(QEvent::KeyRelease, key, true);
        Key(QEvent::KeyPress, key, true);
    }

    void Click(int id) {
        UpdateEnabled();
        ASSERT_TRUE(Button(id)->isEnabled()) << "control " << id;
        QTest::mouseClick(Button(id), Qt::LeftButton);
    }
    // The operator picks a choice of one of the jog selectors.
    void Choose(int id, int index) {
        auto* box = Find<QComboBox>(id);
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(box->isEnabled());
        emit box->activated(index);
        EXPECT_EQ(box->currentIndex(), index) << "the box shows the choice in force";
    }

    static double Position(int axis) {
        double current = 0;
        KelvSimAxisState(axis, nullptr, &current, nullptr);
        return current;
    }
    static double Velocity(int axis) {
        double velocity = 0;
        KelvSimAxisState(axis, nullptr, nullptr, &velocity);
        return velocity;
    }
    // Ticks until every axis stands still and the jog word is clear (bounded); true when so.
    bool Settles() {
        for (int i = 0; i < 200; ++i) {
            Ticks(1);
            const bool still =
                Velocity(kCardX) == 0.0 && Velocity(kCardY) == 0.0 && Velocity(kCardZ) == 0.0;
            if (still && machine->State().jogState == 0)
                return true;
        }
        return false;
    }
};

TEST_F(JogPanel, EachJogKeyMovesItsAxisWhileHeld) {
    EnterJog();
    struct Case {
        int key;
        int axis;
        double sign;
    };
    const Case cases[] = {
        {Qt::Key_Right, kCardX, +1}, {Qt::Key_Left, kCardX, -1},   {Qt::Key_Up, kCardY, +1},
        {Qt::Key_Down, kCardY, -1},  {Qt::Key_PageUp, kCardZ, +1}, {Qt::Key_PageDown, kCardZ, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const double before = Position(c.axis);
        KeyDown(c.key);
        Ticks(5);
        EXPECT_GT(c.sign * Velocity(c.axis), 0.0) << "moving while held";
        KeyUp(c.key);
        ASSERT_TRUE(Settles());
        EXPECT_GT(c.sign * (Position(c.axis) - before), 0.3);
        const double stopped = Position(c.axis);
        Ticks(3);
        EXPECT_EQ(Position(c.axis), stopped) << "stays stopped once the key is up";
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(JogPanel, AutoRepeatKeepsAJogGoingButNeverRestartsAStoppedOne) {
    EnterJog();
    KeyDown(Qt::Key_Right);
    Ticks(1);
    // Repeats between the ticks are not releases: the axis runs on without a stop.
    for (int i = 0; i < 8; ++i) {
        Repeat(Qt::Key_Right);
        Ticks(1);
        ASSERT_GT(Velocity(kCardX), 0.0) << "tick " << i;
    }
    // The window loses activation while the key stays down: the jog stops, and the repeats
    // that keep coming once the window is back do not start it again.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    EXPECT_EQ(op->Inputs().jogKeyBits, 0);
    QApplication::setActiveWindow(window.get());
    for (int i = 0; i < 3; ++i) {
        Repeat(Qt::Key_Right);
        Ticks(1);
    }
    ASSERT_TRUE(Settles());
    const double stopped = Position(kCardX);
    for (int i = 0; i < 5; ++i) {
        Repeat(Qt::Key_Right);
        Ticks(1);
    }
    EXPECT_EQ(Position(kCardX), stopped);
    // Only a new press jogs again.
    KeyUp(Qt::Key_Right);
    KeyDown(Qt::Key_Right);
    Ticks(3);
    EXPECT_GT(Velocity(kCardX), 0.0);
    KeyUp(Qt::Key_Right);
    EXPECT_TRUE(Settles());
}

TEST_F(JogPanel, KeysDoNotJogIntoATextFieldOrOutsideJogMode) {
    // Outside Jog mode the keys move nothing and go on to the window as usual.
    KeyDown(Qt::Key_Right);
    Ticks(3);
    KeyUp(Qt::Key_Right);
    EXPECT_EQ(Velocity(kCardX), 0.0);

    EnterJog();
    // A key held while the keyboard moves into a text field: the next tick lets it go.
    KeyDown(Qt::Key_Right);
    Ticks(3);
    ASSERT_GT(Velocity(kCardX), 0.0);
    QLineEdit* feed = Edit(control::kFeedOverride);
    QTest::mouseClick(feed, Qt::LeftButton);
    ASSERT_TRUE(feed->hasFocus());
    Ticks(1);
    EXPECT_EQ(op->Inputs().jogKeyBits, 0);
    EXPECT_TRUE(Settles());
    // With the text field focused, the arrows are the field's.
    const double stopped = Position(kCardX);
    Repeat(Qt::Key_Right);
    KeyUp(Qt::Key_Right);
    QTest::keyPress(feed, Qt::Key_Left);
    Ticks(3);
    QTest::keyRelease(feed, Qt::Key_Left);
    EXPECT_EQ(Position(kCardX), stopped);
}

TEST_F(JogPanel, ABusyStationLetsTheKeysGoAndIgnoresPressesMeanwhile) {
    EnterJog();
    KeyDown(Qt::Key_Right);
    Ticks(3);
    ASSERT_GT(Velocity(kCardX), 0.0);
    {
        CardOperation busy(machine->Gate()); // as while an operation waits on the card
        Ticks(1);
        EXPECT_EQ(op->Inputs().jogKeyBits, 0);
        KeyDown(Qt::Key_Up); // pressed while busy: not an ask to jog once it is over
        EXPECT_EQ(op->Inputs().jogKeyBits, 0);
    }
    ASSERT_TRUE(Settles());
    const double x = Position(kCardX);
    Repeat(Qt::Key_Right);
    Ticks(5);
    EXPECT_EQ(Position(kCardX), x) << "the held key does not restart X";
    EXPECT_EQ(Position(kCardY), 0.0);
    KeyUp(Qt::Key_Right);
    KeyUp(Qt::Key_Up);
}

TEST_F(JogPanel, AStepMovesExactlyOneIncrementAndPressesDuringItQueueNothing) {
    EnterJog();
    const double increments[] = {1.0, 0.1, 0.01, 0.001};
    double expected = Position(kCardX);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(increments[i]);
        Choose(control::kJogIncrement, i + 1);
        // Held for several ticks, a button still moves one step.
        QTest::mousePress(Button(control::kJogXPlus), Qt::LeftButton);
        Ticks(4);
        QTest::mouseRelease(Button(control::kJogXPlus), Qt::LeftButton);
        ASSERT_TRUE(Settles());
        expected += increments[i];
        EXPECT_NEAR(Position(kCardX), expected, 1e-9);
        // A key steps the same way, the other direction.
        KeyDown(Qt::Key_Left);
        KeyUp(Qt::Key_Left);
        ASSERT_TRUE(Settles());
        expected -= increments[i];
        EXPECT_NEAR(Position(kCardX), expected, 1e-9);
    }

    // Presses by button and key while a 1 in step moves are not kept for later.
    Choose(control::kJogIncrement, 1);
    Click(control::kJogXPlus);
    Ticks(2);
    ASSERT_GT(Velocity(kCardX), 0.0);
    Click(control::kJogXPlus);
    KeyDown(Qt::Key_Right);
    KeyUp(Qt::Key_Right);
    Click(control::kJogYPlus);
    ASSERT_TRUE(Settles());
    expected += 1.0;
    EXPECT_NEAR(Position(kCardX), expected, 1e-9);
    EXPECT_EQ(Position(kCardY), 0.0);

    // Continuous again: a held key (repeating, as a held key does) runs on past a step's length.
    Choose(control::kJogIncrement, 0);
    KeyDown(Qt::Key_Right);
    for (int i = 0; i < 15; ++i) {
        Repeat(Qt::Key_Right);
        Ticks(1);
    }
    EXPECT_GT(Velocity(kCardX), 0.0);
    KeyUp(Qt::Key_Right);
    ASSERT_TRUE(Settles());
    EXPECT_GT(Position(kCardX), expected + 1.2);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(JogPanel, TheSpeedSelectorScalesTheJogRate) {
    EnterJog();
    const auto cruise = [this] {
        KeyDown(Qt::Key_Up);
        Ticks(5);
        const double velocity = Velocity(kCardY);
        KeyUp(Qt::Key_Up);
        EXPECT_TRUE(Settles());
        return velocity;
    };
    const double full = cruise();
    ASSERT_GT(full, 0.0);
    const struct {
        int index;
        double fraction;
    } cases[] = {{1, 0.75}, {2, 0.5}, {4, 0.1}, {6, 0.01}, {0, 1.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fraction);
        Choose(control::kJogSpeed, c.index);
        EXPECT_NEAR(cruise(), full * c.fraction, full * 1e-6);
    }
    // A button and a step use the chosen speed too.
    Choose(control::kJogSpeed, 2);
    QTest::mousePress(Button(control::kJogXPlus), Qt::LeftButton);
    Ticks(5);
    EXPECT_NEAR(Velocity(kCardX), full * 0.5, full * 1e-6);
    QTest::mouseRelease(Button(control::kJogXPlus), Qt::LeftButton);
    ASSERT_TRUE(Settles());
    Choose(control::kJogIncrement, 1);
    Click(control::kJogXPlus);
    Ticks(5);
    EXPECT_NEAR(Velocity(kCardX), full * 0.5, full * 1e-6);
    EXPECT_TRUE(Settles());
    // So does the joystick at full deflection (fully forward: Y-).
    machine->Jogging().usePcJoystick.Set(1);
    machine->Jogging().joystickDeadband.Set(0);
    joystick.Hold(32767, 0);
    Ticks(5);
    EXPECT_NEAR(Velocity(kCardY), -full * 0.5, full * 1e-6);
    joystick.Hold(32767, 32767);
    EXPECT_TRUE(Settles());
}

TEST_F(JogPanel, LeavingJogModeCutsAStepShort) {
    EnterJog();
    Choose(control::kJogIncrement, 1);
    Click(control::kJogXPlus);
    Ticks(3);
    ASSERT_GT(Velocity(kCardX), 0.0);
    op->SelectHome();
    EXPECT_EQ(machine->State().Mode(), MachineMode::Home);
    EXPECT_EQ(machine->State().jogState, 0);
    EXPECT_EQ(Velocity(kCardX), 0.0);
    const double stopped = Position(kCardX);
    EXPECT_LT(stopped, 0.5);
    Ticks(10);
    EXPECT_EQ(Position(kCardX), stopped);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(JogPanel, AZeroJogRateIsSaidInTheStatusBarAndNothingMoves) {
    SetJogRate(0.0);
    EnterJog();
    for (int increment : {0, 1}) {
        SCOPED_TRACE(increment);
        Choose(control::kJogIncrement, increment);
        ui.statusTexts.clear();
        QTest::mousePress(Button(control::kJogXPlus), Qt::LeftButton);
        Ticks(3);
        QTest::mouseRelease(Button(control::kJogXPlus), Qt::LeftButton);
        KeyDown(Qt::Key_PageDown);
        Ticks(3);
        KeyUp(Qt::Key_PageDown);
        EXPECT_EQ(ui.statusTexts, (std::vector<int>{msg::JogRateIsZero, msg::JogRateIsZero}));
        EXPECT_EQ(Position(kCardX), 0.0);
        EXPECT_EQ(Position(kCardZ), 0.0);
        EXPECT_EQ(machine->State().jogState, 0);
    }
    EXPECT_NE(MessageText(msg::JogRateIsZero).find("Setup > Jogging"), std::string::npos);
    EXPECT_TRUE(ui.messages.empty()) << "a note in the status bar, not a box to click";
}

TEST_F(JogPanel, StopAbortsARunningProgramAndStopsEveryAxis) {
    HomeMachine();
    op->SelectRun();
    ASSERT_EQ(op->LoadFromLines({"O1", "G90 G01 X5 Y5 F60", "M30"}, "part.prt"),
              LoadResult::Started);
    Ticks(1);
    Click(control::kStart);
    Ticks(5);
    ASSERT_TRUE(op->Program().ProgramRunning());
    ASSERT_GT(Velocity(kCardX), 0.0);

    ui.statusTexts.clear();
    Click(control::kStop);
    EXPECT_EQ(ui.statusTexts, std::vector<int>{msg::StoppedByOperator});
    EXPECT_FALSE(op->Program().ProgramRunning());
    ASSERT_TRUE(Settles());
    const double x = Position(kCardX);
    Ticks(10);
    EXPECT_EQ(Position(kCardX), x) << "the program does not go on";
    EXPECT_LT(x, 5.0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(JogPanel, StopStopsAJogThatStaysStoppedWhileTheKeyIsHeld) {
    EnterJog();
    UpdateEnabled();
    EXPECT_TRUE(Button(control::kStop)->isEnabled()) << "in every mode";
    KeyDown(Qt::Key_Right);
    Ticks(5);
    ASSERT_GT(Velocity(kCardX), 0.0);
    Click(control::kStop);
    EXPECT_EQ(ui.statusTexts, std::vector<int>{msg::StoppedByOperator});
    for (int i = 0; i < 5; ++i) {
        Repeat(Qt::Key_Right);
        Ticks(1);
    }
    ASSERT_TRUE(Settles());
    const double stopped = Position(kCardX);
    Repeat(Qt::Key_Right);
    Ticks(5);
    EXPECT_EQ(Position(kCardX), stopped);
    KeyUp(Qt::Key_Right);
    // The stopped jog leaves the mode working: a new press jogs.
    KeyDown(Qt::Key_Right);
    Ticks(3);
    EXPECT_GT(Velocity(kCardX), 0.0);
    KeyUp(Qt::Key_Right);
    EXPECT_TRUE(Settles());
}

TEST_F(JogPanel, AStopWhoseAbortTheCardNeverConfirmsIsNotReportedAsDone) {
    EnterJog();
    KeyDown(Qt::Key_Right);
    Ticks(3);
    ASSERT_GT(Velocity(kCardX), 0.0);
    KelvSimSetFault(KELVSIM_FAULT_NEVER_READY, 1);
    Click(control::kStop);
    KelvSimSetFault(KELVSIM_FAULT_NEVER_READY, 0);
    EXPECT_EQ(ui.messages, std::vector<int>{msg::CardNotAnswering});
    EXPECT_TRUE(ui.statusTexts.empty());
    // The axes were told to stop all the same.
    KeyUp(Qt::Key_Right);
    EXPECT_TRUE(Settles());
}

// A button jog where the window system cannot be asked for the pointer (offscreen here, as on
// VNC or Wayland): held without a release, it stops after the limit and says why; a new press
// jogs again. Where it can be asked, the window system's answer rules: a pointer it reports up
// stops the jog though Qt never saw the release, one it reports down keeps it past the limit.
TEST_F(JogPanel, AButtonJogLastsOnlyWhileThePointerIsConfirmed) {
    struct Case {
        const char* name;
        PointerButton platform;
        int ticksHeld; // before the platform's answer changes (or the limit runs out)
        bool movingAfterLimit;
    };
    const Case cases[] = {
        {"cannot be asked: the dead-man limit", PointerButton::Unknown, 49, false},
        {"X server says down", PointerButton::Down, 80, true},
    };
    EnterJog();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PointerButton platform = c.platform;
        panel->SetPointerProbe([&platform] { return platform; });
        ui.statusTexts.clear();
        QTest::mousePress(Button(control::kJogXPlus), Qt::LeftButton);
        Ticks(c.ticksHeld);
        ASSERT_GT(Velocity(kCardX), 0.0) << "held within the limit";
        Ticks(2);
        EXPECT_EQ(Velocity(kCardX) > 0.0, c.movingAfterLimit);
        if (!c.movingAfterLimit) {
            EXPECT_EQ(ui.statusTexts, std::vector<int>{msg::JogMouseHoldLimit});
            EXPECT_EQ(op->InfoTexts().message, MessageText(msg::JogMouseHoldLimit));
            // The release that comes at last changes nothing; a new press jogs again and
            // takes the note away.
            QTest::mouseRelease(Button(control::kJogXPlus), Qt::LeftButton);
            ASSERT_TRUE(Settles());
            QTest::mousePress(Button(control::kJogXPlus), Qt::LeftButton);
            Ticks(3);
            EXPECT_GT(Velocity(kCardX), 0.0);
            EXPECT_EQ(op->InfoTexts().message, "");
        } else {
            // The release went to another window: only the X server knows the button is up.
            platform = PointerButton::Up;
            Ticks(2);
            EXPECT_EQ(op->Inputs().buttonBits & button::kJogMask, 0);
            EXPECT_TRUE(ui.statusTexts.empty());
        }
        QTest::mouseRelease(Button(control::kJogXPlus), Qt::LeftButton);
        ASSERT_TRUE(Settles());
    }
}

// A key jog is held only while the keyboard's auto-repeat confirms it: a press whose repeats
// never come (the release lost before the first repeat) stops once the longest usual repeat
// delay has passed, a held key whose repeats stop without a release stops within half a second
// of its last repeat, and the message line says why.
TEST_F(JogPanel, AKeyJogStopsWhenItsRepeatsStopWithoutARelease) {
    EnterJog();
    struct Case {
        const char* name;
        int repeats;    // one per tick after the press
        int stopWithin; // ticks after the last confirmation
    };
    const Case cases[] = {
        {"no repeat at all", 0, 8},
        {"repeats, then none", 10, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.statusTexts.clear();
        KeyDown(Qt::Key_Right);
        for (int i = 0; i < c.repeats; ++i) {
            Ticks(1);
            Repeat(Qt::Key_Right);
            if (i > 0) {
                ASSERT_GT(Velocity(kCardX), 0.0) << "repeat " << i;
            }
        }
        int ticks = 0;
        while (op->Inputs().jogKeyBits != 0 && ticks < 50) {
            Ticks(1);
            ++ticks;
        }
        EXPECT_LE(ticks, c.stopWithin);
        EXPECT_GE(ticks, 3) << "not before a repeat could have come";
        Ticks(1);
        EXPECT_EQ(machine->State().jogState & 0x0010, 0) << "X+ no longer moving";
        EXPECT_EQ(ui.statusTexts, std::vector<int>{msg::JogKeyRepeatsStopped});
        EXPECT_EQ(op->InfoTexts().message, MessageText(msg::JogKeyRepeatsStopped));
        ASSERT_TRUE(Settles());
        KeyUp(Qt::Key_Right);
    }
}

// The arrows and Page keys belong to whatever widget holds the keyboard, unless that is the
// panel (one of its buttons) or the main window itself.
TEST_F(JogPanel, ArrowKeysJogOnlyWithTheFocusOnThePanelOrTheWindow) {
    EnterJog();
    auto* list = new QListWidget(window.get());
    list->addItems({"N10 G1 X1", "N20 G1 X2"});
    auto* view = new QWidget(window.get()); // a view that takes the keyboard, as the preview
    view->setFocusPolicy(Qt::StrongFocus);
    auto* spin = new QSpinBox(window.get());
    QComboBox* selector = Find<QComboBox>(control::kJogIncrement);
    auto* jogButton = Button(control::kJogYPlus);
    jogButton->setFocusPolicy(Qt::StrongFocus);
    for (QWidget* widget : {static_cast<QWidget*>(list), view, static_cast<QWidget*>(spin)})
        widget->show();
    struct Case {
        const char* name;
        QWidget* focus; // null: nothing has the keyboard
        bool jogs;
    };
    const Case cases[] = {
        {"a list", list, false},
        {"a view", view, false},
        {"a spin box", spin, false},
        {"the panel's selector", selector, false},
        {"the panel's button", jogButton, true},
        {"the panel", panel, true},
        {"nothing", nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.focus != nullptr) {
            c.focus->setFocusPolicy(Qt::StrongFocus);
            c.focus->setFocus();
            ASSERT_TRUE(c.focus->hasFocus());
        } else if (QWidget* focused = QApplication::focusWidget()) {
            focused->clearFocus();
        }
        KeyDown(Qt::Key_Right);
        Ticks(2);
        EXPECT_EQ(Velocity(kCardX) > 0.0, c.jogs);
        KeyUp(Qt::Key_Right);
        ASSERT_TRUE(Settles());
    }
}

} // namespace
} // namespace morvik
