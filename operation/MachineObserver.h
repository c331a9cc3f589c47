// Events of the machine for whoever wants to follow it without being asked by the status
// cycle: the control panel's helpers, a toolpath preview, telemetry, a homed lamp. A consumer
// derives from MachineObserver, overrides the events it needs and attaches itself to the
// MachineEvents of the machine's MachineOperation; it detaches before it goes away.
//
// Who announces what:
//   OnSnapshot         StatusCycle, once per tick, after the card was read and its text routed
//   OnModeChanged      SetMachineMode, the one place the mode is assigned
//   OnProgramLoaded    PartProgram, when the card holds the text and its number was found
//   OnProgramStarted   PartProgram, when the run command for the loaded program went out
//   OnProgramFinished  StatusCycle, when a started program's status word shows Finished
//   OnPartError        StatusCycle, when an error bit of the status word comes on
//   OnSafetyStop       StatusCycle, in every mode, when an emergency stop or a drive fault
//                      comes on (after OnPartError of the same tick)
//   OnCardText         StatusCycle, for every piece of the card's text output it reads
//   OnCardLine         StatusCycle, for every line of that text once its line end came (CR
//                      or LF; an empty line is none), after the OnCardText that ended it
//   OnInfoTexts        MachineInfo, whenever the information strip's texts changed
// Observers are called on the station's thread, in the order they were attached; an observer
// may attach or detach observers (itself included) from inside an event.
#pragma once

#include "machine/MachineState.h"
#include "operation/MachineInfoTexts.h"
#include "operation/MachineSnapshot.h"

#include <cstdint>
#include <string>
#include <vector>

namespace morvik {

class CMachine;

class MachineObserver {
public:
    virtual ~MachineObserver() = default;
    virtual void OnSnapshot(const MachineSnapshot& /*snapshot*/) {}
    virtual void OnModeChanged(MachineMode /*from*/, MachineMode /*to*/) {}
    virtual void OnProgramLoaded(const std::string& /*path*/, std::int32_t /*number*/) {}
    virtual void OnProgramStarted(std::int32_t /*number*/) {}
    virtual void OnProgramFinished(std::int32_t /*number*/) {}
    // errorBits: the error bits of the status word now; reason names the first that came on.
    virtual void OnPartError(std::uint32_t /*errorBits*/, const std::string& /*reason*/) {}
    // active: the safety bits standing now (status word bits EmergencyStop,
    // ExternalEmergencyStop, DriveFault); rising: those that came on; reason names the first.
    virtual void OnSafetyStop(std::uint32_t /*active*/, std::uint32_t /*rising*/,
                              const std::string& /*reason*/) {}
    virtual void OnCardText(const std::string& /*text*/) {}
    virtual void OnCardLine(const std::string& /*line*/) {}
    virtual void OnInfoTexts(const MachineInfoTexts& /*texts*/) {}
};

// The observers of one machine. The announcing side holds it const: announcing changes
// nothing here, and None() - the hub of parts built without one - can never gain observers.
class MachineEvents {
public:
    void Attach(MachineObserver& observer);
    void Detach(MachineObserver& observer);
    bool Empty() const { return observers_.empty(); }

    void Snapshot(const MachineSnapshot& snapshot) const;
    void ModeChanged(MachineMode from, MachineMode to) const;
    void ProgramLoaded(const std::string& path, std::int32_t number) const;
    void ProgramStarted(std::int32_t number) const;
    void ProgramFinished(std::int32_t number) const;
    void PartError(std::uint32_t errorBits, const std::string& reason) const;
    void SafetyStop(std::uint32_t active, std::uint32_t rising, const std::string& reason) const;
    void CardText(const std::string& text) const;
    void CardLine(const std::string& line) const;
    void InfoTexts(const MachineInfoTexts& texts) const;

    // A hub without observers, for parts that nobody observes (tests of one part).
    static const MachineEvents& None();

private:
    template <class Event> void Announce(Event event) const;

    std::vector<MachineObserver*> observers_;
};

// The one place the machine's mode is assigned; a change (not a repeat) is announced.
void SetMachineMode(CMachine& machine, const MachineEvents& events, MachineMode mode);

} // namespace morvik
