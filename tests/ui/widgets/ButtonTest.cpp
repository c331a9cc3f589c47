// The panel's buttons on the card: a control button acts as the mouse goes down on it and, for
// the jog buttons, stops as it comes up; the keyboard works none of them; a held jog button
// whose release is lost (disabled, hidden, the window deactivated, a menu opened from the
// keyboard, the release gone to another window) stops its axis all the same;
// the Cut box acts on the state it leaves; the update pass enables what the facade says.
#include "controller/StringTable.h"
#include "operation/SnapshotTexts.h"
#include "ui/ReadoutWidget.h"
#include "ui/widgets/PanelFixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <functional>

namespace morvik {
namespace {

using test::JoggablePanelOnCard;

constexpr std::uint16_t kXPlus = button::kXPlus;

class Buttons : public JoggablePanelOnCard {
protected:
    void EnterJog() {
        op->SelectJog();
        ASSERT_EQ(machine->State().Mode(), MachineMode::Jog);
        UpdateEnabled();
        ASSERT_TRUE(Button(control::kJogXPlus)->isEnabled());
    }

    // Holds X+ for a few ticks and checks that X moves.
    void HoldXPlus() {
        QTest::mousePress(Button(control::kJogXPlus), Qt::LeftButton);
        EXPECT_EQ(op->Inputs().buttonBits & button::kJogMask, kXPlus);
        const double before = XPosition();
        Ticks(5);
        ASSERT_GT(XPosition(), before) << "X+ held must move X";
        ASSERT_GT(XVelocity(), 0.0);
    }

    // A menu bar below the panel with a "&Machine" menu, opened with Alt+M as the operator
    // opens a menu from the keyboard (the menu then takes the mouse).
    void AddMenuBar() {
        menuBar = new QMenuBar(window.get());
        menuBar->addMenu("&Machine")->addAction("Home");
        menuBar->setGeometry(0, panel->height(), 200, 24);
        window->resize(std::max(window->width(), 200), panel->height() + 24);
        menuBar->show();
    }
    // On the desktop a menu leaves its window active; the offscreen platform activates every
    // window it shows, menus included. While the menu is open the window is kept active as
    // the desktop keeps it, so the deactivation path cannot be what lets the jog go.
    void OpenMenuFromTheKeyboard() {
        qApp->installEventFilter(&keepActive);
        QTest::keyClick(window.get(), Qt::Key_M, Qt::AltModifier);
        ASSERT_NE(QApplication::activePopupWidget(), nullptr) << "Alt+M opens the menu";
    }
    // The menu has taken the mouse: the release over the jog button goes to the menu.
    void ReleaseIntoTheMenu() {
        QWidget* menu = QApplication::activePopupWidget();
        ASSERT_NE(menu, nullptr);
        QWidget* jog = Button(control::kJogXPlus);
        const QPoint over = menu->mapFromGlobal(jog->mapToGlobal(jog->rect().center()));
        QTest::mouseRelease(menu, Qt::LeftButton, {}, over);
    }
    void CloseMenu() {
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
        QApplication::setActiveWindow(window.get());
        qApp->removeEventFilter(&keepActive);
    }

    class KeepActive : public QObject {
    public:
        explicit KeepActive(Buttons& test) : test_(test) {}
        bool eventFilter(QObject* watched, QEvent* event) override {
            const bool deactivation = event->type() == QEvent::WindowDeactivate ||
                                      event->type() == QEvent::ActivationChange;
            auto* widget = qobject_cast<QWidget*>(watched);
            return deactivation && widget != nullptr && widget->window() == test_.window.get();
        }

    private:
        Buttons& test_;
    };
    KeepActive keepActive{*this};

    QMenuBar* menuBar = nullptr; // owned by window

    // Runs ticks until X stands still (bounded); true when it did.
    bool XStops() {
        for (int i = 0; i < 100; ++i) {
            Ticks(1);
            if (XVelocity() == 0.0) {
                const double stopped = XPosition();
                Ticks(3);
                return XPosition() == stopped;
            }
        }
        return false;
    }
};

TEST_F(Buttons, AJogButtonMovesItsAxisExactlyWhileItIsHeld) {
    EnterJog();
    HoldXPlus();
    // The X readout follows the axis as it moves.
    auto* readout = dynamic_cast<ReadoutWidget*>(panel->Control(1062));
    ASSERT_NE(readout, nullptr);
    EXPECT_EQ(readout->text().toStdString(), ReadoutTexts(op->Snapshot(), *machine)[0]);
    EXPECT_NE(readout->text().trimmed(), "+0.0000");
    QTest::mouseRelease(Button(control::kJogXPlus), Qt::LeftButton);
    EXPECT_EQ(op->Inputs().buttonBits & button::kJogMask, 0);
    EXPECT_TRUE(XStops());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Buttons, AHeldJogButtonStopsItsAxisHoweverItIsLetGo) {
    QWidget other;
    other.resize(50, 50);
    AddMenuBar();
    struct Case {
        const char* how;
        std::function<void()> lose;
        bool atOnce; // let go before the next tick (else the tick's watchdog lets go)
    };
    const Case cases[] = {
        {"released beside the button", // the mouse moved away before it came up
         [this] {
             QTest::mouseRelease(Button(control::kJogXPlus), Qt::LeftButton, {}, QPoint(-20, -20));
         },
         true},
        {"disabled while held", [this] { panel->UpdateEnabled([](int) { return false; }); }, true},
        {"hidden while held", [this] { Button(control::kJogXPlus)->hide(); }, true},
        {"window deactivated",
         [&other] {
             other.show();
             QApplication::setActiveWindow(&other);
         },
         true},
        // A menu opened from the keyboard takes the mouse: the release goes to the menu, and
        // the window stays active.
        {"menu opened from the keyboard",
         [this] {
             OpenMenuFromTheKeyboard();
             ReleaseIntoTheMenu();
             CloseMenu();
         },
         true},
        // The release reached another window and never the button: only the watchdog sees that
        // the mouse button is up.
        {"release delivered elsewhere",
         [&other] {
             other.show();
             QTest::mouseRelease(&other, Qt::LeftButton);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        EnterJog();
        HoldXPlus();
        c.lose();
        if (c.atOnce) {
            EXPECT_EQ(op->Inputs().buttonBits & button::kJogMask, 0);
        }
        Ticks(1);
        EXPECT_EQ(op->Inputs().buttonBits & button::kJogMask, 0);
        EXPECT_FALSE(Button(control::kJogXPlus)->isDown());
        EXPECT_TRUE(XStops());
        // Back to the working state for the next case.
        Button(control::kJogXPlus)->show();
        other.hide();
        QApplication::setActiveWindow(window.get());
    }
}

TEST_F(Buttons, AJogHeldWhileAMenuOpensFromTheKeyboardStopsWithinTwoTicks) {
    AddMenuBar();
    EnterJog();
    HoldXPlus();
    OpenMenuFromTheKeyboard();
    ReleaseIntoTheMenu();
    CloseMenu();
    Ticks(2);
    EXPECT_EQ(XVelocity(), 0.0) << "X stopped within two ticks";
    const double stopped = XPosition();
    Ticks(3);
    EXPECT_EQ(XPosition(), stopped);
    EXPECT_EQ(machine->State().jogState, 0);
}

TEST_F(Buttons, OnlyTheMouseWorksTheButtons) {
    // Space on a focused Start in Home mode, or on a focused jog button in Jog mode, does
    // nothing to the machine; a press with another mouse button neither.
    op->SelectHome();
    UpdateEnabled();
    QAbstractButton* start = Button(control::kStart);
    ASSERT_TRUE(start->isEnabled());
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Space);
    QTest::mouseClick(start, Qt::RightButton);
    EXPECT_FALSE(machine->State().homed);

    EnterJog();
    QAbstractButton* jog = Button(control::kJogXPlus);
    jog->setFocus();
    QTest::keyPress(jog, Qt::Key_Space);
    EXPECT_EQ(op->Inputs().buttonBits, 0);
    Ticks(3);
    EXPECT_EQ(XVelocity(), 0.0);
    QTest::keyRelease(jog, Qt::Key_Space);
}

TEST_F(Buttons, StartActsWhenTheMouseGoesDown) {
    op->SelectHome();
    UpdateEnabled();
    ui.calls.clear();
    QTest::mousePress(Button(control::kStart), Qt::LeftButton);
    EXPECT_TRUE(machine->State().homed) << "homed on the press, before any release";
    EXPECT_EQ(ui.calls,
              (std::vector<std::string>{"clear HomingView",
                                        "append HomingView: " + MessageText(34001) + "\r"}));
    // Moving away before releasing does not undo it.
    QTest::mouseRelease(Button(control::kStart), Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_TRUE(machine->State().homed);
}

TEST_F(Buttons, TheCutBoxActsOnTheStateItLeaves) {
    EnterJog();
    QAbstractButton* cut = Button(control::kCutBox);
    ASSERT_TRUE(cut->isCheckable());
    struct Step {
        const char* what;
        QPoint releaseAt; // null: on the box
        bool checkedAfter;
        bool cutterDownAfter;
    };
    const Step steps[] = {
        {"set", {}, true, true},
        {"released beside it: stays set", {-20, -20}, true, true},
        {"cleared", {}, false, false},
        {"released beside it: stays clear", {-20, -20}, false, false},
        {"set again", {}, true, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        QTest::mousePress(cut, Qt::LeftButton);
        QTest::mouseRelease(cut, Qt::LeftButton, {}, step.releaseAt);
        EXPECT_EQ(cut->isChecked(), step.checkedAfter);
        EXPECT_EQ(machine->State().cutterDown, step.cutterDownAfter);
    }
}

TEST_F(Buttons, TheUpdatePassEnablesWhatTheFacadeSays) {
    // The new machine has X and Y on the card, no Z, no cutter.
    struct Case {
        const char* mode;
        std::function<void()> select;
        std::vector<int> enabled;
    };
    const std::vector<int> always = {control::kCutBox,        control::kFeedOverride,
                                     control::kRapidOverride, control::kSpindleOverride,
                                     control::kFeedArrows,    control::kRapidArrows,
                                     control::kSpindleArrows};
    const Case cases[] = {
        {"none", [] {}, {}},
        {"home", [this] { op->SelectHome(); }, {control::kStart}},
        {"jog",
         [this] { op->SelectJog(); },
         {control::kAxisX, control::kAxisY, control::kJogXPlus, control::kJogXMinus,
          control::kJogYPlus, control::kJogYMinus}},
        {"run before a program", [this] { op->SelectRun(); }, {}},
    };
    const int all[] = {
        control::kStart,     control::kBlock,     control::kFeedHold,   control::kJogXPlus,
        control::kJogXMinus, control::kJogYPlus,  control::kJogYMinus,  control::kJogZPlus,
        control::kJogZMinus, control::kAxisX,     control::kAxisY,      control::kAxisZ,
        control::kAxisS,     control::kSpindleCw, control::kSpindleCcw, control::kSpindleStop};
    HomeMachine();
    SetMachineMode(*machine, MachineEvents::None(), MachineMode::None);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        c.select();
        UpdateEnabled();
        for (int id : all) {
            const bool expected =
                std::find(c.enabled.begin(), c.enabled.end(), id) != c.enabled.end();
            EXPECT_EQ(Find(id)->isEnabled(), expected) << "control " << id;
        }
        for (int id : always)
            EXPECT_TRUE(Find(id)->isEnabled()) << "control " << id;
    }
}

TEST_F(Buttons, WithoutAMachineNothingActs) {
    panel->SetOperation(nullptr);
    op->SelectJog();
    QTest::mousePress(Button(control::kJogXPlus), Qt::LeftButton);
    EXPECT_EQ(op->Inputs().buttonBits, 0);
    QTest::mouseRelease(Button(control::kJogXPlus), Qt::LeftButton);
    panel->StatusTick();
    EXPECT_EQ(panel->ReadoutText(Readout::X), "");
    QLineEdit* feed = Edit(control::kFeedOverride);
    feed->setFocus();
    QTest::keyClicks(feed, "5");
    feed->clearFocus();
    EXPECT_DOUBLE_EQ(machine->State().feedOverride, 1.0);
}

} // namespace
} // namespace morvik
