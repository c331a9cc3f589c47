// The tick runs inside every nested event loop Qt runs, whoever opened the window: a real
// QDialog, a message box, a file dialog that is not the desktop's, a print dialog, a menu shown
// as a popup or run with exec, a setup dialog of the station's own, a bare QEventLoop. Under
// each one the tick shows the machine but starts and continues no motion: a deflected joystick
// moves nothing (and a jog under way stops), an external Start is dropped; stopping gets
// through at once: the external Feed hold, the Stop button and the abort that leaving Run
// sends. A Feed hold pressed on the pendant while File > Load asks is sent as well.
#include "app/station/StationFixture.h"

#include "controller/ControllerCodes.h"
#include "controller/StringTable.h"
#include "ui/EventLoopWatch.h"

#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <cmath>
#include <functional>
#include <utility>

namespace morvik::test {
namespace {

constexpr int kStartChannel = 1;
constexpr int kFeedHoldChannel = 3;
constexpr std::uint32_t kStartInput = 1u << (kStartChannel - 1);
constexpr std::uint32_t kFeedHoldInput = 1u << (kFeedHoldChannel - 1);
constexpr std::uint32_t kPendant = kStartInput | kFeedHoldInput;

using Body = std::function<void()>;

// One kind of window: opens it, runs the body from inside it (its nested loop, or while it is
// up when it has none) and closes it again.
struct Window {
    const char* name;
    std::function<void(QWidget* parent, const Body& body)> open;
};

// Runs body from the first pass of whatever event loop runs next, then closes the window that
// is modal then.
void FromInside(const Body& body, const std::function<void()>& close) {
    QTimer::singleShot(0, [body, close] {
        body();
        close();
    });
}

// openSetup: the station's own command that runs a setup dialog.
std::vector<Window> Windows(const std::function<void()>& openSetup) {
    return {
        {"QDialog::exec",
         [](QWidget* parent, const Body& body) {
             QDialog dialog(parent);
             FromInside(body, [&dialog] { dialog.reject(); });
             dialog.exec();
         }},
        {"QMessageBox",
         [](QWidget* parent, const Body& body) {
             QMessageBox box(QMessageBox::Question, "Question", "Go on?",
                             QMessageBox::Yes | QMessageBox::No, parent);
             FromInside(body, [&box] { box.done(QMessageBox::No); });
             box.exec();
         }},
        {"QFileDialog, not the desktop's",
         [](QWidget* parent, const Body& body) {
             QFileDialog dialog(parent, "Open");
             dialog.setOption(QFileDialog::DontUseNativeDialog);
             FromInside(body, [&dialog] { dialog.reject(); });
             dialog.exec();
         }},
        {"QPrintDialog",
         [](QWidget* parent, const Body& body) {
             QPrinter printer;
             QPrintDialog dialog(&printer, parent);
             FromInside(body, [&dialog] { dialog.reject(); });
             dialog.exec();
         }},
        {"QMenu::popup (no loop of its own)",
         [](QWidget* parent, const Body& body) {
             QMenu menu(parent);
             menu.addAction("Item");
             menu.popup(parent->mapToGlobal(QPoint(200, 200)));
             body();
             menu.close();
         }},
        {"QMenu::exec",
         [](QWidget* parent, const Body& body) {
             QMenu menu(parent);
             menu.addAction("Item");
             FromInside(body, [&menu] { menu.close(); });
             menu.exec(parent->mapToGlobal(QPoint(200, 200)));
         }},
        {"a bare QEventLoop, no window",
         [](QWidget*, const Body& body) {
             QEventLoop loop;
             FromInside(body, [&loop] { loop.quit(); });
             loop.exec();
         }},
        {"Setup > Jogging",
         [openSetup](QWidget*, const Body& body) {
             FromInside(body, [] {
                 if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                     dialog->reject();
             });
             openSetup();
         }},
    };
}

class NestedLoopGate : public StationOnCard {
protected:
    void SetUp() override {
        StationOnCard::SetUp();
        const std::string mill = work.File("mill.mch");
        std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/machine/golden/mill.mch",
                                   mill);
        ASSERT_TRUE(Start(mill));
        Machine().Jogging().usePcJoystick.Set(1);
        Machine().ExternalControls().startButtonChannel.Set(kStartChannel);
        Machine().ExternalControls().fholdButtonChannel.Set(kFeedHoldChannel);
        Home();
    }

    // X's speed either way (the mill's stick reads inverted).
    static double XSpeed() {
        double velocity = 0;
        KelvSimAxisState(1, nullptr, nullptr, &velocity);
        return std::abs(velocity);
    }

    // The trace lines since the mark, and whether one of them starts with the text.
    std::size_t Mark() const { return Trace().size(); }
    bool SentSince(std::size_t mark, const std::string& start) const {
        const std::vector<std::string> lines = Trace();
        for (std::size_t i = mark; i < lines.size(); ++i) {
            if (lines[i].starts_with(start))
                return true;
        }
        return false;
    }
    static std::string Binary(int code) {
        return "dorncmdex(0x101, 0, " + std::to_string(code) + ",";
    }

    void Pendant(std::uint32_t pressed) { KelvSimSetInputs(kPendant, pressed); }

    // A program that runs for half a minute, loaded with File > Load and started.
    void RunLongProgram() {
        ASSERT_TRUE(Commands().Execute(Cmd::ModeRun));
        const std::string file = work.File("long.prt");
        std::ofstream(file) << "O1234\nG1 X5 F10\nM30\n";
        dialogs.files = {QString::fromStdString(file)};
        ASSERT_TRUE(Commands().Execute(Cmd::Load));
        ASSERT_TRUE(Machine().State().partLoaded);
        Ticks(1);
        Resume();
    }
    void Resume() {
        Press(control::kStart);
        Release(control::kStart);
        Ticks(3);
        ASSERT_NE(Operation().Snapshot().programStatus.value_or(0) & psw::Running, 0u)
            << "the program runs";
    }
};

TEST_F(NestedLoopGate, UnderEveryNestedLoopTheStickMovesNothingAndAJogUnderWayStops) {
    ASSERT_TRUE(Commands().Execute(Cmd::ModeJog));
    // Outside any window the stick jogs: what the windows below hold back is real.
    joystick.Hold(65535, 32767);
    Ticks(3);
    ASSERT_GT(XSpeed(), 0.0);
    joystick.Hold(32767, 32767);
    Ticks(5);
    ASSERT_EQ(XSpeed(), 0.0);

    for (const Window& window : Windows([this] { Commands().Execute(Cmd::SetupJogging); })) {
        SCOPED_TRACE(window.name);
        bool nested = false;
        bool started = true;
        double velocityUnder = -1;
        std::size_t mark = 0;
        // The stick pushed before the window opens: X is jogging as it comes up.
        joystick.Hold(65535, 32767);
        Ticks(2);
        ASSERT_GT(XSpeed(), 0.0);
        window.open(&Frame(), [&] {
            nested = EventLoopWatch::Nested();
            Ticks(1); // the jog under way is stopped
            mark = Mark();
            Ticks(4); // the stick stays pushed
            started = SentSince(mark, "KelvGo") || SentSince(mark, "KelvSetVelocity(");
            velocityUnder = XSpeed();
        });
        EXPECT_TRUE(nested);
        EXPECT_FALSE(started) << "no jog step under the window";
        EXPECT_EQ(velocityUnder, 0.0) << "the jog under way stopped";
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        joystick.Hold(32767, 32767);
        Ticks(3);
    }
    // Once every window is gone, the tick jogs again.
    joystick.Hold(65535, 32767);
    Ticks(3);
    EXPECT_GT(XSpeed(), 0.0);
}

TEST_F(NestedLoopGate, UnderEveryNestedLoopAnExternalStartIsDroppedAndFeedHoldIsSent) {
    RunLongProgram();
    for (const Window& window : Windows([this] { Commands().Execute(Cmd::SetupJogging); })) {
        SCOPED_TRACE(window.name);
        bool startSent = true;
        bool holdSent = false;
        window.open(&Frame(), [&] {
            // The hold first, the Start on the pendant after it: a Start let through would
            // resume the held program at once.
            std::size_t mark = Mark();
            Pendant(kFeedHoldInput);
            Ticks(1);
            holdSent = SentSince(mark, Binary(code::FeedHold));
            Pendant(0);
            Ticks(1);
            mark = Mark();
            Pendant(kStartInput);
            Ticks(2);
            startSent = SentSince(mark, Binary(code::CycleStart));
            Pendant(0);
            Ticks(1);
        });
        EXPECT_TRUE(holdSent) << "Feed hold passes at once";
        EXPECT_FALSE(startSent) << "Start waits for the window to go";
        Ticks(2);
        EXPECT_NE(Operation().Snapshot().programStatus.value_or(0) & psw::FeedHold, 0u)
            << "the program is held";
        Resume();
    }
}

TEST_F(NestedLoopGate, StopAndLeavingRunAbortTheProgramUnderAWindow) {
    struct Case {
        const char* name;
        std::function<void()> stop;
    };
    const Case cases[] = {
        {"the Stop button", [this] { Operation().StopAll(); }},
        {"Mode > Jog", [this] { Commands().Execute(Cmd::ModeJog); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunLongProgram();
        bool running = true;
        QDialog dialog(&Frame());
        FromInside(
            [&] {
                c.stop();
                Ticks(1);
                running = (Machine().Controller().ProgramStatus() & psw::Running) != 0;
            },
            [&dialog] { dialog.reject(); });
        dialog.exec();
        EXPECT_FALSE(running) << "the program was aborted under the dialog";
    }
}

// The pendant's Feed hold while File > Load shows its file dialog and while it asks whether to
// abort the running program (the station's own windows, which the core's gate counts too).
TEST_F(NestedLoopGate, APendantFeedHoldDuringFileLoadIsSent) {
    RunLongProgram();
    const std::string file = work.File("other.prt");
    std::ofstream(file) << "O2000\nG1 X1 F10\nM30\n";
    dialogs.files = {QString::fromStdString(file)};
    dialogs.answers = {BoxAnswer::No};
    dialogs.fileDialogs.clear();
    dialogs.boxes.clear();
    std::vector<bool> held;
    bool inside = false; // a box the hold itself might show is not another turn
    dialogs.whileShown = [&] {
        if (std::exchange(inside, true))
            return;
        const std::size_t mark = Mark();
        Pendant(kFeedHoldInput);
        Ticks(1);
        held.push_back(SentSince(mark, Binary(code::FeedHold)));
        Pendant(0);
        Ticks(1);
        Resume();
        inside = false;
    };
    ASSERT_TRUE(Commands().Execute(Cmd::Load));
    dialogs.whileShown = nullptr;
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    ASSERT_EQ(dialogs.boxes.size(), 1u) << "asked whether to abort the running program";
    EXPECT_EQ(held, (std::vector<bool>{true, true})) << "under the dialog, under the question";
}

} // namespace
} // namespace morvik::test
