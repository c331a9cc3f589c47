// The machine's hardware buttons, lamps and switches on the card's digital I/O channels, and
// the two Options toggles (Block Skip, Dryrun) they share their flags with.
//
// Update() is one step of the status cycle: the tick's snapshot holds the I/O word and, in Run
// mode, the program status word; Update takes them from it and in this order
//   1. sets its external button bits (button::kStart, kBlock, kFeedHold in Held())
//      from their input channels,
//   2. drives the Start, Block and Feed hold lamps, writing a channel only when its state
//      differs from the wanted one,
//   3. follows the block-skip switch, then 4. the dry-run switch (each sends its command once
//      per change),
//   5. fires Start, Block, Feed hold, in that order, for each button that went from released
//      to held since the previous update, and keeps the word for the next edge test.
//
// Channel numbers come from the machine file, where anything may stand. Only 1..32 exist on
// the card (channel n is bit n-1 of the I/O word); any other number, 0 included, is treated as
// not connected: never read as pressed, never written, and it does not take a menu command
// away from the operator.
#pragma once

#include "operation/CycleCommands.h"
#include "operation/MachineSnapshot.h"

#include <cstdint>

namespace morvik {

class CMachine;

class ExternalControls {
public:
    explicit ExternalControls(CMachine& machine);

    // One status-cycle step on this tick's snapshot (its I/O word and, in Run mode, its program
    // status word). Without commandsAllowed (the station is busy: an operation waits on the card or
    // a modal window, popup or nested event loop is up) the buttons are read and the lamps driven,
    // the switches send nothing and a Start or Block edge is consumed without firing; a Feed hold
    // edge fires all the same, since stopping is never held back.
    void Update(const MachineSnapshot& snapshot, ICycleCommands& commands,
                bool commandsAllowed = true);
    // The external button bits as the last update read them.
    std::uint16_t Held() const { return held_; }

    // Options > Block Skip and Options > Dryrun: flip the machine's flag and send the matching
    // command (424/425, 420/421). While a switch is connected the switch owns the flag and
    // the command does nothing (the menu item is disabled then).
    void ToggleBlockSkip();
    void ToggleDryRun();
    bool BlockSkipEnabled() const;
    bool BlockSkipChecked() const;
    bool DryRunEnabled() const;
    bool DryRunChecked() const;

private:
    void ReadButtons(std::uint32_t inputWord);
    void DriveLamps(const MachineSnapshot& snapshot);
    void FollowSwitch(int channel, std::uint32_t inputWord, bool flag, void (CMachine::*set)(bool));
    // With stoppingOnly, only the buttons whose command stops motion fire (Feed hold); the
    // others' edges are consumed.
    void FireEdges(ICycleCommands& commands, bool stoppingOnly);

    CMachine& machine_;
    std::uint16_t held_ = 0;     // button:: bits of the external buttons held now
    std::uint16_t previous_ = 0; // held_ at the end of the previous update
};

} // namespace morvik
