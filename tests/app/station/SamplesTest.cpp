// The sample machines and part programs of examples/, as a new user meets them through the
// station's own menus and panel: each machine opens on the simulated card without a complaint,
// homes, jogs the way its panel offers, and runs each of its sample programs to Finished
// (File > Load, then Start), with no part error on the way.
#include "app/station/StationFixture.h"
#include "operation/CommandIds.h"

#include "controller/ControllerCodes.h"

#include <QLineEdit>

namespace morvik {
namespace {

using test::StationOnCard;

struct Sample {
    const char* machine;
    std::vector<const char*> programs;
    std::vector<int> jogButtons;     // the panel's jog buttons this machine offers
    std::vector<int> idleJogButtons; // the ones it greys (no axis)
};

const Sample kSamples[] = {
    {"mill.mch",
     {"mill-facing.prt", "mill-pocket.prt", "mill-drilling.prt"},
     {control::kJogXPlus, control::kJogYPlus, control::kJogZMinus},
     {}},
    {"lathe.mch",
     {"lathe-turning.prt"},
     {control::kJogXMinus, control::kJogZMinus},
     {control::kJogYPlus, control::kJogYMinus}},
};

std::string Example(const std::string& name) {
    return std::string(MORVIK_TEST_DATA_DIR) + "/../examples/" + name;
}

// The jog button's axis: 1 X, 2 Y, 3 Z (the card's axis numbers of the samples' X and Z
// differ between mill and lathe; the test reads them from the machine).
int AxisIndexOf(int button) {
    return (button - control::kJogXPlus) / 2;
}

class Samples : public StationOnCard, public testing::WithParamInterface<Sample> {
protected:
    // The machine's sample copied into the working folder, as `make run` copies it.
    std::string CopyOfSample(const std::string& name) {
        const std::string copy = work.File(name);
        std::filesystem::copy_file(Example(name), copy);
        return copy;
    }

    double CardPosition(int axisIndex) {
        const int number = Machine().Axes()[static_cast<std::size_t>(axisIndex)].ControllerAxis();
        double position = 0;
        EXPECT_EQ(KelvSimAxisState(number, nullptr, &position, nullptr), 0);
        return position;
    }

    std::uint32_t StatusWord() { return Machine().Controller().ProgramStatus(); }

    // Ticks until the card's status word shows one of bits, at most limit ticks.
    std::uint32_t TickUntil(std::uint32_t bits, int limit) {
        for (int i = 0; i < limit && (StatusWord() & bits) == 0; ++i)
            Ticks(1);
        return StatusWord();
    }

    bool Trigger(int id) {
        app->UpdatePass();
        return Commands().Execute(id);
    }
};

TEST_P(Samples, OpensHomesAndJogs) {
    const Sample& sample = GetParam();
    ASSERT_TRUE(Start(CopyOfSample(sample.machine)));
    ASSERT_NE(app->Machine(), nullptr);
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join("\n").toStdString();
    ASSERT_NO_FATAL_FAILURE(Home());
    Ticks(200); // homing moves to machine zero at rapid

    ASSERT_TRUE(Trigger(Cmd::ModeJog)); // Mode > Jog
    app->UpdatePass();
    for (int button : sample.idleJogButtons)
        EXPECT_FALSE(Button(button)->isEnabled()) << button;
    for (int button : sample.jogButtons) {
        SCOPED_TRACE(button);
        ASSERT_TRUE(Button(button)->isEnabled());
        const int axis = AxisIndexOf(button);
        const double before = CardPosition(axis);
        Press(button);
        Ticks(10);
        Release(button);
        Ticks(20); // the axis ramps down to rest
        const double moved = CardPosition(axis) - before;
        const bool plus = (button - control::kJogXPlus) % 2 == 0;
        EXPECT_GT(plus ? moved : -moved, 1.0) << "moved " << moved << " counts";
    }
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join("\n").toStdString();
}

TEST_P(Samples, EachSampleProgramRunsToFinished) {
    const Sample& sample = GetParam();
    ASSERT_TRUE(Start(CopyOfSample(sample.machine)));
    ASSERT_NO_FATAL_FAILURE(Home());
    Ticks(200);
    ASSERT_TRUE(Trigger(Cmd::ModeRun)); // Mode > Run
    ASSERT_EQ(Machine().State().Mode(), MachineMode::Run);
    for (const char* program : sample.programs) {
        SCOPED_TRACE(program);
        dialogs.files.push_back(QString::fromStdString(Example(program)));
        ASSERT_TRUE(Trigger(Cmd::Load)); // File > Load
        ASSERT_TRUE(Machine().State().partLoaded);
        Ticks(1); // the Ready lamp lights and Start comes alive on the next tick
        ASSERT_NE(StatusWord() & psw::Ready, 0u);
        ASSERT_TRUE(Button(control::kStart)->isEnabled());
        Press(control::kStart);
        Release(control::kStart);
        const std::uint32_t end = TickUntil(psw::Finished | psw::PartError, 20000);
        EXPECT_NE(end & psw::Finished, 0u) << "status word " << end;
        EXPECT_EQ(end & psw::PartError, 0u) << "status word " << end;
    }
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join("\n").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Examples, Samples, testing::ValuesIn(kSamples),
                         [](const testing::TestParamInfo<Sample>& info) {
                             std::string name = info.param.machine;
                             return name.substr(0, name.find('.'));
                         });

} // namespace
} // namespace morvik
