// The 100 ms tick keeps running inside a message box's nested event loop. While an operation
// waits on the card or a message is up, the tick shows the machine (inputs, lamps, readouts)
// but sends nothing that moves it or starts a program: no jog from the stick, no external
// Start, no homing macro into an unfinished download. A failed wait is shown only after the
// operation has unwound (text mode closed). The recording operator runs the ticks while its
// message is shown, as the real box does.
#include "operation/OperationFixture.h"

#include <functional>

namespace morvik::test {
namespace {

constexpr int kStartChannel = 1;
constexpr std::uint32_t kStartInput = 1u << (kStartChannel - 1);

class BusyTick : public OperationOnFake {
protected:
    void SetUp() override {
        OperationOnFake::SetUp();
        machine->AxisX().SetControllerAxis(1);
        machine->Jogging().maxJogRate.Set(unit::Inch, timeunit::Minute, 60.0);
        machine->Jogging().usePcJoystick.Set(1);
        machine->ExternalControls().startButtonChannel.Set(kStartChannel);
        machine->Homing().homingMacro.Set(5);
        fake.replies[code::ProgramStatus] = psw::Ready;
        // Under every message: the external Start pressed, the stick pushed fully right, and
        // three ticks; what the card was told meanwhile is kept.
        ui.whileShown = [this] {
            shownAfterEndOfText = fake.sentText.ends_with(kEndOfText);
            fake.ClearCalls();
            fake.ioWord = kStartInput;
            joystick.Hold(65535, 32767);
            for (int i = 0; i < 3; ++i) {
                clock.Advance(100);
                op->StatusTick();
            }
            underMessage = fake.calls;
            inputWordSeen = op->Snapshot().ioWord;
        };
    }

    // Card calls under the message that move the machine or start something.
    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        for (const std::string& call : underMessage) {
            const bool motion = call.starts_with("KelvGo") || call.starts_with("KelvSetVelocity(");
            const bool cycle = call.starts_with("dorncmdex(B, 0, 41");
            const bool ascii = call.starts_with("dornputs");
            if (motion || cycle || ascii)
                commands.push_back(call);
        }
        return commands;
    }

    std::vector<std::string> underMessage;
    std::uint32_t inputWordSeen = 0;
    bool shownAfterEndOfText = false;
};

TEST_F(BusyTick, UnderAMessageTheTickShowsTheMachineButSendsNothingThatMovesIt) {
    struct Case {
        const char* name;
        MachineMode mode;
        std::function<void()> failAndRun; // makes a wait fail and runs the operation
        int message;
        bool endOfTextFirst; // the card left text mode before the message
    };
    const Case cases[] = {
        {"Run exit: abort not answered, external Start under the box", MachineMode::Run,
         [this] {
             machine->State().partLoaded = true;
             machine->State().programStarted = true;
             fake.binaryNeverReady = true;
             op->SelectJog();
         },
         msg::CardNotAnswering, false},
        {"Home exit: download not taken, Start would send the homing macro", MachineMode::Home,
         [this] {
             fake.asciiNeverReady = true;
             op->SelectJog();
         },
         msg::CardNotAnswering, true},
        {"Jog: readout zero download not taken, the stick deflected", MachineMode::Jog,
         [this] {
             fake.asciiNeverReady = true;
             op->ZeroAxisReadout(0);
         },
         msg::CardNotAnswering, true},
        {"Run: a load the card does not take", MachineMode::Run,
         [this] {
             machine->State().partLoaded = true;
             fake.asciiNeverReady = true;
             op->LoadFromLines({"O12", "G1 X1"}, "p.prt");
         },
         msg::CardNotAnswering, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        machine->State().homed = true;
        SetMachineMode(*machine, MachineEvents::None(), c.mode);
        fake.asciiNeverReady = fake.binaryNeverReady = false;
        fake.ioWord = 0;
        joystick.Hold(32767, 32767);
        op->StatusTick(); // the stick at rest and no button: the starting point
        ui.messages.clear();
        underMessage.clear();
        inputWordSeen = 0;

        c.failAndRun();

        EXPECT_EQ(ui.messages, std::vector<int>{c.message});
        EXPECT_EQ(Commands(), std::vector<std::string>{});
        EXPECT_EQ(inputWordSeen, kStartInput) << "the inputs are still read";
        EXPECT_EQ(shownAfterEndOfText, c.endOfTextFirst);

        // Back from the box, the Start held meanwhile does not fire: its press was not seen.
        fake.asciiNeverReady = fake.binaryNeverReady = false;
        joystick.Hold(32767, 32767);
        fake.ClearCalls();
        op->StatusTick();
        underMessage = fake.calls;
        EXPECT_EQ(Commands(), std::vector<std::string>{});
        op->Jog().ReleaseAll(op->Inputs());
        machine->State().jogState = 0;
        machine->State().programStarted = false;
    }
}

TEST_F(BusyTick, AJogRunningWhenAMessageComesUpIsStoppedNotSteered) {
    // The stick moved X; then a message comes up. Under it the jog step runs as if the stick
    // were let go: X is stopped once and nothing starts it again.
    SetMachineMode(*machine, MachineEvents::None(), MachineMode::Jog);
    joystick.Hold(65535, 32767);
    op->StatusTick();
    ASSERT_EQ(machine->State().jogState & 0x0010, 0x0010);
    std::vector<std::string> calls;
    ui.whileShown = [&] {
        fake.ClearCalls();
        for (int i = 0; i < 3; ++i)
            op->StatusTick();
        calls = fake.calls;
    };
    machine->Operator().ShowMessage(msg::NoPartLoaded);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "KelvStop(B, 1)"), 1);
    EXPECT_TRUE(std::none_of(calls.begin(), calls.end(),
                             [](const std::string& c) { return c.starts_with("KelvGo"); }));
}

} // namespace
} // namespace morvik::test
