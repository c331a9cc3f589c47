#include "operation/ExternalControls.h"

#include "controller/ControllerCodes.h"
#include "machine/Machine.h"
#include "operation/ButtonBits.h"

#include <array>

namespace morvik {

namespace {

// One hardware button: its setting, its bit in the button word, the cycle command a
// press fires and whether that command stops motion (it then fires whatever the station is
// busy with). The order of the table is the order of the edges.
struct ButtonLine {
    CAppInt ExternalControlSettings::*channel;
    std::uint16_t bit;
    void (ICycleCommands::*fire)();
    bool stops;
};

constexpr std::array<ButtonLine, 3> kButtons{{
    {&ExternalControlSettings::startButtonChannel, button::kStart, &ICycleCommands::Start, false},
    {&ExternalControlSettings::blockButtonChannel, button::kBlock, &ICycleCommands::Block, false},
    {&ExternalControlSettings::fholdButtonChannel, button::kFeedHold, &ICycleCommands::FeedHold,
     true},
}};

// One lamp: its setting and whether it is lit in Home mode (Start only). In Run mode every
// lamp shows that the program can take the cycle commands; in other modes they are dark.
struct LampLine {
    CAppInt ExternalControlSettings::*channel;
    bool litInHome;
};

constexpr std::array<LampLine, 3> kLamps{{
    {&ExternalControlSettings::startIndicatorChannel, true},
    {&ExternalControlSettings::blockIndicatorChannel, false},
    {&ExternalControlSettings::fholdIndicatorChannel, false},
}};

bool LampWanted(const LampLine& lamp, MachineMode mode, std::uint32_t programStatus) {
    if (mode == MachineMode::Run)
        return (programStatus & psw::Startable) != 0;
    return mode == MachineMode::Home && lamp.litInHome;
}

} // namespace

ExternalControls::ExternalControls(CMachine& machine) : machine_(machine) {}

void ExternalControls::Update(const MachineSnapshot& snapshot, ICycleCommands& commands,
                              bool commandsAllowed) {
    const ExternalControlSettings& channels = machine_.ExternalControls();
    const MachineState& state = machine_.State();
    ReadButtons(snapshot.ioWord);
    DriveLamps(snapshot);
    if (!commandsAllowed) {
        // Feed hold goes through at once; a Start or Block press seen now is dropped, not kept
        // for later: the operator pressed it while the station was busy. The switches are
        // followed on the first tick after.
        FireEdges(commands, true);
        return;
    }
    FollowSwitch(channels.blockSkipSwitchChannel.Get(), snapshot.ioWord, state.blockSkipOn,
                 &CMachine::SetBlockSkip);
    FollowSwitch(channels.dryRunSwitchChannel.Get(), snapshot.ioWord, state.dryRunOn,
                 &CMachine::SetDryRun);
    FireEdges(commands, false);
}

void ExternalControls::ReadButtons(std::uint32_t inputWord) {
    const ExternalControlSettings& channels = machine_.ExternalControls();
    held_ = 0;
    for (const ButtonLine& button : kButtons) {
        if (IoChannelOn(inputWord, (channels.*button.channel).Get()))
            held_ = static_cast<std::uint16_t>(held_ | button.bit);
    }
}

// The I/O word holds the outputs too, so a lamp already showing the wanted state is left alone:
// the card's output lines are written only on a change.
void ExternalControls::DriveLamps(const MachineSnapshot& snapshot) {
    const ExternalControlSettings& channels = machine_.ExternalControls();
    const MachineMode mode = machine_.State().Mode();
    const std::uint32_t programStatus = snapshot.programStatus.value_or(0);
    for (const LampLine& lamp : kLamps) {
        const int channel = (channels.*lamp.channel).Get();
        if (!IsIoChannel(channel))
            continue;
        const bool wanted = LampWanted(lamp, mode, programStatus);
        if (wanted != IoChannelOn(snapshot.ioWord, channel))
            machine_.Controller().SetDigitalOutput(channel, wanted);
    }
}

// A connected switch owns its flag: the flag follows the switch, and each change sends its
// on or off command once (a switch found on at start-up sends "on" on the first update).
void ExternalControls::FollowSwitch(int channel, std::uint32_t inputWord, bool flag,
                                    void (CMachine::*set)(bool)) {
    if (!IsIoChannel(channel))
        return;
    const bool on = IoChannelOn(inputWord, channel);
    if (on != flag)
        (machine_.*set)(on);
}

void ExternalControls::FireEdges(ICycleCommands& commands, bool stoppingOnly) {
    const std::uint16_t now = held_;
    const std::uint16_t before = previous_;
    // Kept before firing: a command may run for a while (homing, a message box), and the
    // next update must compare against this update's word whatever it does.
    previous_ = now;
    if (now == before)
        return;
    for (const ButtonLine& button : kButtons) {
        if ((now & button.bit) != 0 && (before & button.bit) == 0 &&
            (button.stops || !stoppingOnly))
            (commands.*button.fire)();
    }
}

// ---- Options menu ------------------------------------------------------------------------

void ExternalControls::ToggleBlockSkip() {
    if (BlockSkipEnabled())
        machine_.SetBlockSkip(!machine_.State().blockSkipOn);
}

void ExternalControls::ToggleDryRun() {
    if (DryRunEnabled())
        machine_.SetDryRun(!machine_.State().dryRunOn);
}

bool ExternalControls::BlockSkipEnabled() const {
    return !IsIoChannel(machine_.ExternalControls().blockSkipSwitchChannel.Get());
}

bool ExternalControls::BlockSkipChecked() const {
    return machine_.State().blockSkipOn;
}

bool ExternalControls::DryRunEnabled() const {
    return !IsIoChannel(machine_.ExternalControls().dryRunSwitchChannel.Get());
}

bool ExternalControls::DryRunChecked() const {
    return machine_.State().dryRunOn;
}

} // namespace morvik
