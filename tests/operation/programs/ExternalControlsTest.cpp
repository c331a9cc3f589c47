// The hardware buttons, lamps and switches against the recording fake card: which bits the
// buttons set, which output lines the lamps write (only on a change), the switches' commands,
// the order and once-only firing of the edges, and the Options toggles' rules.
#include "controller/ControllerCodes.h"
#include "operation/programs/ProgramFixture.h"

namespace morvik {
namespace {

class ExternalOnFakeCard : public test::ProgramOnFakeCard {
protected:
    ExternalControlSettings& Channels() { return machine->ExternalControls(); }

    // One status-cycle step with the given I/O word (and program status in Run mode).
    void Tick(std::uint32_t inputWord, std::uint32_t programStatus = 0) {
        snapshot.ioWord = inputWord;
        snapshot.programStatus = programStatus;
        external->Update(snapshot, cycle);
    }

    static constexpr std::uint32_t Bit(int channel) { return 1u << (channel - 1); }

    MachineSnapshot snapshot;
    test::RecordingCycle cycle;
};

TEST_F(ExternalOnFakeCard, ButtonBitsFollowTheirChannels) {
    struct Case {
        const char* name;
        int start, block, fhold;
        std::uint32_t inputWord;
        std::uint16_t bits; // external bits expected
    };
    const Case cases[] = {
        {"all pressed", 1, 2, 3, Bit(1) | Bit(2) | Bit(3), button::kExternalMask},
        {"block only", 1, 2, 3, Bit(2), button::kBlock},
        {"channel 32 is the top bit", 32, 0, 0, Bit(32), button::kStart},
        {"channel 0 never reads as pressed", 0, 0, 0, 0xffffffffu, 0},
        {"channels beyond the word are not connected", 33, 64, -1, 0xffffffffu, 0},
        {"released", 5, 6, 7, Bit(1), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Channels().startButtonChannel.Set(c.start);
        Channels().blockButtonChannel.Set(c.block);
        Channels().fholdButtonChannel.Set(c.fhold);
        Tick(~c.inputWord); // the opposite first: every bit must follow its channel

        Tick(c.inputWord);

        EXPECT_EQ(external->Held(), c.bits);
    }
}

TEST_F(ExternalOnFakeCard, EdgesFireOnceEachInTheOrderStartBlockFeedHold) {
    Channels().startButtonChannel.Set(1);
    Channels().blockButtonChannel.Set(2);
    Channels().fholdButtonChannel.Set(3);
    struct Step {
        std::uint32_t inputWord;
        std::vector<std::string> fired;
    };
    const Step steps[] = {
        {0, {}},
        {Bit(1), {"Start"}},
        {Bit(1), {}}, // held across ticks: once
        {Bit(1), {}},
        {0, {}},
        {Bit(1), {"Start"}}, // released and pressed again
        {Bit(1) | Bit(2), {"Block"}},
        {0, {}},
        {Bit(3) | Bit(2) | Bit(1), {"Start", "Block", "FeedHold"}},
        {Bit(3), {}},
        {Bit(2), {"Block"}},
    };
    int n = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE("tick " + std::to_string(n++));
        cycle.fired.clear();
        Tick(step.inputWord);
        EXPECT_EQ(cycle.fired, step.fired);
    }
}

TEST_F(ExternalOnFakeCard, LampsAreWrittenOnlyWhenTheirLineDiffersFromTheWantedState) {
    struct Case {
        const char* name;
        MachineMode mode;
        std::uint32_t status;
        std::uint32_t inputWord; // lamp lines 4, 5, 6 as the card reports them
        std::vector<std::string> writes;
    };
    const Case cases[] = {
        {"run, ready, all dark",
         MachineMode::Run,
         psw::Ready,
         0,
         {"KelvEnableDigitalIO(B, 4, 1)", "KelvEnableDigitalIO(B, 5, 1)",
          "KelvEnableDigitalIO(B, 6, 1)"}},
        {"run, running, all lit", MachineMode::Run, psw::Running, Bit(4) | Bit(5) | Bit(6), {}},
        {"run, finished, block lit",
         MachineMode::Run,
         psw::Finished,
         Bit(5),
         {"KelvEnableDigitalIO(B, 5, 0)"}},
        {"home lights start only",
         MachineMode::Home,
         0,
         Bit(6),
         {"KelvEnableDigitalIO(B, 4, 1)", "KelvEnableDigitalIO(B, 6, 0)"}},
        {"home ignores the status word", MachineMode::Home, psw::Ready, Bit(4), {}},
        {"jog is dark", MachineMode::Jog, psw::Ready, Bit(4), {"KelvEnableDigitalIO(B, 4, 0)"}},
        {"mdi is dark", MachineMode::Mdi, psw::Running, 0, {}},
        {"none is dark",
         MachineMode::None,
         0,
         Bit(4) | Bit(5),
         {"KelvEnableDigitalIO(B, 4, 0)", "KelvEnableDigitalIO(B, 5, 0)"}},
    };
    Channels().startIndicatorChannel.Set(4);
    Channels().blockIndicatorChannel.Set(5);
    Channels().fholdIndicatorChannel.Set(6);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetMachineMode(*machine, MachineEvents::None(), c.mode);
        fake.ClearCalls();
        Tick(c.inputWord, c.status);
        EXPECT_EQ(fake.CallsOf("KelvEnableDigitalIO"), c.writes);
    }
}

TEST_F(ExternalOnFakeCard, UnconnectedLampsAreNeverWritten) {
    for (int channel : {0, 33, 40, -3}) {
        SCOPED_TRACE(channel);
        Channels().startIndicatorChannel.Set(channel);
        Channels().blockIndicatorChannel.Set(channel);
        Channels().fholdIndicatorChannel.Set(channel);
        fake.ClearCalls();
        Tick(0, psw::Ready);
        EXPECT_EQ(fake.CountOf("KelvEnableDigitalIO"), 0);
    }
}

TEST_F(ExternalOnFakeCard, SwitchesSetTheirFlagsAndSendEachChangeOnce) {
    struct Switch {
        const char* name;
        CAppInt ExternalControlSettings::*channel;
        bool MachineState::*flag;
        int on, off;
    };
    const Switch switches[] = {
        {"block skip", &ExternalControlSettings::blockSkipSwitchChannel, &MachineState::blockSkipOn,
         code::BlockSkipOn, code::BlockSkipOff},
        {"dry run", &ExternalControlSettings::dryRunSwitchChannel, &MachineState::dryRunOn,
         code::DryRunOn, code::DryRunOff},
    };
    for (const Switch& s : switches) {
        SCOPED_TRACE(s.name);
        (Channels().*s.channel).Set(9);
        struct Step {
            std::uint32_t inputWord;
            bool flag;
            std::vector<int> codes;
        };
        const Step steps[] = {
            {Bit(9), true, {s.on}}, // on at start-up: "on" once
            {Bit(9), true, {}},     {Bit(9) | Bit(1), true, {}}, {0, false, {s.off}},
            {0, false, {}},         {Bit(9), true, {s.on}},
        };
        for (const Step& step : steps) {
            fake.ClearCalls();
            Tick(step.inputWord);
            EXPECT_EQ(BinaryCodes(), step.codes);
            EXPECT_EQ(machine->State().*s.flag, step.flag);
        }
        (Channels().*s.channel).Set(0);
        machine->State().*s.flag = false;
    }
}

TEST_F(ExternalOnFakeCard, UnconnectedSwitchesLeaveTheFlagsToTheMenu) {
    for (int channel : {0, 33, -1}) {
        SCOPED_TRACE(channel);
        Channels().blockSkipSwitchChannel.Set(channel);
        Channels().dryRunSwitchChannel.Set(channel);
        machine->State().blockSkipOn = true;
        machine->State().dryRunOn = false;
        fake.ClearCalls();
        Tick(0xffffffffu);
        EXPECT_TRUE(BinaryCodes().empty());
        EXPECT_TRUE(machine->State().blockSkipOn);
        EXPECT_FALSE(machine->State().dryRunOn);
    }
}

TEST_F(ExternalOnFakeCard, OptionsTogglesFlipTheFlagUnlessASwitchOwnsIt) {
    struct Case {
        const char* name;
        int switchChannel;
        bool flagBefore;
        bool enabled;
        bool flagAfter;
        std::vector<int> codes;
    };
    const Case cases[] = {
        {"off to on", 0, false, true, true, {code::BlockSkipOn}},
        {"on to off", 0, true, true, false, {code::BlockSkipOff}},
        {"switch connected", 12, true, false, true, {}},
        {"switch beyond the word", 40, false, true, true, {code::BlockSkipOn}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Channels().blockSkipSwitchChannel.Set(c.switchChannel);
        Channels().dryRunSwitchChannel.Set(c.switchChannel);
        machine->State().blockSkipOn = c.flagBefore;
        machine->State().dryRunOn = c.flagBefore;
        EXPECT_EQ(external->BlockSkipEnabled(), c.enabled);
        EXPECT_EQ(external->DryRunEnabled(), c.enabled);
        EXPECT_EQ(external->BlockSkipChecked(), c.flagBefore);

        fake.ClearCalls();
        external->ToggleBlockSkip();
        EXPECT_EQ(BinaryCodes(), c.codes);
        EXPECT_EQ(external->BlockSkipChecked(), c.flagAfter);

        fake.ClearCalls();
        external->ToggleDryRun();
        const std::vector<int> dryRunCodes =
            c.codes.empty() ? std::vector<int>{}
                            : std::vector<int>{c.flagAfter ? code::DryRunOn : code::DryRunOff};
        EXPECT_EQ(BinaryCodes(), dryRunCodes);
        EXPECT_EQ(external->DryRunChecked(), c.flagAfter);
    }
}

} // namespace
} // namespace morvik
