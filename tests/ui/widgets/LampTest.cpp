// The status lamps on the card: in Run mode they follow the card's program status word as each
// tick reads it (Ready, Running, Paused, F. Hold, Finished, Error), in Jog and Home mode only
// Error can light, and in the other modes all are dark.
#include "controller/ControllerCodes.h"
#include "ui/LampWidget.h"
#include "ui/widgets/PanelFixture.h"

#include <QTest>

namespace morvik {
namespace {

using test::PanelOnCard;

// The lamps from top to bottom and the status bits that light each in Run mode.
struct LampRule {
    int id;
    std::uint32_t bits;
};
constexpr LampRule kLamps[] = {
    {1147, psw::Ready},
    {1145, psw::Running},
    {1146, psw::Paused},
    {1152, psw::FeedHold},
    {1148, psw::Finished},
    {1153, psw::PartError | psw::EmergencyStop | psw::ExternalEmergencyStop | psw::DriveFault |
               psw::MotorError},
};

class Lamps : public PanelOnCard {
protected:
    LampWidget* Lamp(int id) const {
        auto* lamp = dynamic_cast<LampWidget*>(panel->Control(id));
        EXPECT_NE(lamp, nullptr) << "lamp " << id;
        return lamp;
    }

    // Each lamp as the status word the last tick read says it should be.
    void ExpectLampsFollow(std::uint32_t status) {
        for (const LampRule& rule : kLamps)
            EXPECT_EQ(Lamp(rule.id)->isChecked(), (status & rule.bits) != 0)
                << "lamp " << rule.id << ", status word " << status;
    }

    // Ticks until the lamp lights, at most limit ticks; true when it did.
    bool TickUntilLit(int id, int limit) {
        for (int i = 0; i < limit && !Lamp(id)->isChecked(); ++i)
            Ticks(1);
        return Lamp(id)->isChecked();
    }

    void Press(int id) {
        UpdateEnabled();
        ASSERT_TRUE(Button(id)->isEnabled()) << "control " << id;
        QTest::mouseClick(Button(id), Qt::LeftButton);
    }
};

TEST_F(Lamps, InRunModeTheLampsFollowTheProgramStatus) {
    HomeMachine();
    op->SelectRun();
    ASSERT_EQ(op->LoadFromLines({"O1234", "G90 G01 X2 F60", "M30"}, "part.prt"),
              LoadResult::Started);

    Ticks(1);
    EXPECT_TRUE(Lamp(1147)->isChecked()) << "loaded: Ready";
    ExpectLampsFollow(op->Snapshot().programStatus.value_or(0));

    Press(control::kStart);
    EXPECT_TRUE(TickUntilLit(1145, 5)) << "started: Running";
    ExpectLampsFollow(op->Snapshot().programStatus.value_or(0));

    Press(control::kFeedHold);
    EXPECT_TRUE(TickUntilLit(1152, 5)) << "held: F. Hold";
    ExpectLampsFollow(op->Snapshot().programStatus.value_or(0));

    Press(control::kStart);
    EXPECT_TRUE(TickUntilLit(1148, 600)) << "ran to its end: Finished";
    ExpectLampsFollow(op->Snapshot().programStatus.value_or(0));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Lamps, OutsideRunModeOnlyErrorCanLight) {
    // Light every Run-mode lamp there is, then leave Run mode: the lamps go dark.
    HomeMachine();
    op->SelectRun();
    ASSERT_EQ(op->LoadFromLines({"O1", "G01 X0.1 F60", "M30"}, "part.prt"), LoadResult::Started);
    Ticks(1);
    ASSERT_TRUE(Lamp(1147)->isChecked());

    struct Case {
        const char* mode;
        void (MachineOperation::*select)();
        MachineMode expected;
    };
    const Case cases[] = {
        {"jog", &MachineOperation::SelectJog, MachineMode::Jog},
        {"mdi", &MachineOperation::SelectMdi, MachineMode::Mdi},
        {"home", &MachineOperation::SelectHome, MachineMode::Home},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        (op.get()->*c.select)();
        ASSERT_EQ(machine->State().Mode(), c.expected);
        Ticks(1);
        for (const LampRule& rule : kLamps)
            EXPECT_FALSE(Lamp(rule.id)->isChecked()) << "lamp " << rule.id;
    }
}

} // namespace
} // namespace morvik
