// A held jog under a real X server, on the simulated card: the test starts its own Xvfb, runs
// the whole station in-process on Qt's X11 platform and works it with xdotool (XTEST), as an
// operator's hand would. The station's time is the test's clock (ticks are run by calling the
// main window's tick); only the X server's own auto-repeat runs in real time.
//
// A release is "lost" here as it is on a shop floor: the X server has it, the station never
// gets it. The test does that by letting the X server take the release while the station does
// not read its events; Qt's own idea of the buttons and keys then stays "held", as it does when
// a release goes to another window or a viewer drops it. The station must stop from what it
// asks itself: the pointer's buttons from the X server, the key's repeats.
#include "app/station/StationFixture.h"

#include "ui/PointerProbe.h"

#include <QElapsedTimer>
#include <QThread>

#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace morvik::test {
namespace {

// An Xvfb of the test's own, on a display it chooses itself (-displayfd), for the whole run.
class XServerEnvironment : public testing::Environment {
public:
    void SetUp() override {
        if (!Have("Xvfb") || !Have("xdotool"))
            return;
        int fds[2];
        if (pipe(fds) != 0)
            return;
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb",         "-displayfd", fd.c_str(), "-screen", "0",
                              "1280x1024x24", "-nolisten",  "tcp",      nullptr};
        if (posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            return;
        close(fds[1]);
        char number[16] = {};
        const ssize_t got = read(fds[0], number, sizeof number - 1);
        close(fds[0]);
        if (got <= 0)
            return;
        display_ = ":" + std::string(number, static_cast<std::size_t>(got));
        while (!display_.empty() && (display_.back() == '\n'))
            display_.pop_back();
        setenv("DISPLAY", display_.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override {
        app_.reset();
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    static bool Ready() { return !display_.empty(); }

private:
    static bool Have(const char* program) {
        return std::system((std::string("command -v ") + program + " >/dev/null").c_str()) == 0;
    }

    pid_t pid_ = 0;
    static inline std::string display_;
    int argc_ = 1;
    char name_[16] = "morvik_x_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] testing::Environment* const kXServer =
    testing::AddGlobalTestEnvironment(new XServerEnvironment);

// xdotool with the test's display; true when it ran.
bool XDo(const std::string& arguments) {
    return std::system(("xdotool " + arguments).c_str()) == 0;
}

class HeldJogOnX : public StationOnCard {
protected:
    void SetUp() override {
        if (!XServerEnvironment::Ready())
            GTEST_SKIP() << "no Xvfb or xdotool";
        StationOnCard::SetUp();
        const std::string mill = work.File("mill.mch");
        std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/machine/golden/mill.mch",
                                   mill);
        ASSERT_TRUE(Start(mill));
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        Home();
        ASSERT_TRUE(Commands().Execute(Cmd::ModeJog));
        Ticks(1);
        Panel().UpdateEnabled([this](int id) { return ControlEnabled(&Operation(), id); });
    }
    void TearDown() override {
        XDo("mouseup 1");
        XDo("keyup Right");
        Drain(200);
        StationOnCard::TearDown();
    }

    // The station reads what the X server sent it, for up to ms of real time or until done.
    static bool Drain(
        int ms, const std::function<bool()>& done = [] { return false; }) {
        QElapsedTimer timer;
        timer.start();
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (done())
                return true;
            QThread::msleep(5);
        } while (timer.elapsed() < ms);
        return done();
    }

    static double XSpeed() {
        double velocity = 0;
        KelvSimAxisState(1, nullptr, nullptr, &velocity);
        return std::abs(velocity);
    }
};

TEST_F(HeldJogOnX, AHeldButtonWhoseReleaseIsLostStopsWithinTwoTicks) {
    ASSERT_EQ(LeftButtonNow(), PointerButton::Up) << "the X server is asked";
    QWidget* xPlus = Panel().Control(control::kJogXPlus);
    ASSERT_TRUE(xPlus->isEnabled());
    const QPoint at = xPlus->mapToGlobal(xPlus->rect().center());
    ASSERT_TRUE(XDo("mousemove " + std::to_string(at.x()) + " " + std::to_string(at.y())));
    ASSERT_TRUE(XDo("mousedown 1"));
    ASSERT_TRUE(Drain(2000, [this] { return Operation().Inputs().buttonBits & button::kXPlus; }))
        << "the press reached X+";
    Ticks(3);
    ASSERT_GT(XSpeed(), 0.0) << "X jogs while held";

    // The hand lets go; the station never reads the release.
    ASSERT_TRUE(XDo("mouseup 1"));
    ASSERT_EQ(QGuiApplication::mouseButtons() & Qt::LeftButton, Qt::LeftButton)
        << "Qt still thinks the button is down";
    Ticks(2);
    EXPECT_EQ(Operation().Inputs().buttonBits & button::kJogMask, 0);
    EXPECT_EQ(Machine().State().jogState & 0x0010, 0) << "X+ told to stop within two ticks";
    Ticks(3);
    EXPECT_EQ(XSpeed(), 0.0);
}

TEST_F(HeldJogOnX, AHeldKeyWhoseReleaseIsLostStopsWithinHalfASecond) {
    Panel().setFocus();
    ASSERT_TRUE(XDo("keydown Right"));
    ASSERT_TRUE(Drain(2000, [this] { return Operation().Inputs().jogKeyBits & button::kXPlus; }))
        << "the key reached the jog";
    // Held for a while: the X server repeats the key, the station reads the repeats between
    // its ticks. (Ticks follow real time here only roughly; the jog needs the repeats.)
    for (int i = 0; i < 15; ++i) {
        Drain(100);
        Ticks(1);
    }
    ASSERT_NE(Operation().Inputs().jogKeyBits & button::kXPlus, 0) << "the repeats kept it going";
    ASSERT_GT(XSpeed(), 0.0);

    // The key comes up; the station never reads the release, and no repeat comes any more.
    ASSERT_TRUE(XDo("keyup Right"));
    int ticks = 0;
    while ((Operation().Inputs().jogKeyBits & button::kXPlus) != 0 && ticks < 20) {
        Ticks(1);
        ++ticks;
    }
    EXPECT_LE(ticks, 5) << "stopped within half a second";
    Ticks(1);
    EXPECT_EQ(Machine().State().jogState & 0x0010, 0);
}

} // namespace
} // namespace morvik::test
