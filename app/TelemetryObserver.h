// The bridge between the machine's observers and the telemetry publisher: each snapshot of the
// status cycle becomes the published state (the publisher sends it when it changed, at most ten
// times a second) and the machine's events become published events. No Qt: the application
// attaches it to the machine's MachineEvents while telemetry is on, and the benchmark of the
// tick attaches it the same way. The telemetry layer below knows nothing of the machine; this
// is the one place that translates.
//
// Events published (telemetry_event names) and their fields beside name, seq and time:
//   modeChanged      from, to                   ("None", "Run", "MDI", "Jog", "Home")
//   programLoaded    path, number
//   programStarted   path, number
//   programFinished  path, number
//   partError        reason, errorBits, and message: the card's own "PART ERROR ..." line
//                    when its program messages are on and it sent one since the program began
//   emergencyStop    external (the external input or the card's own), errorBits
//   driveFault       errorBits
// Emergency stop and drive fault come from the program status word's error bits as they come
// on, so (like part errors) they are seen in Run mode, where the tick reads that word.
#pragma once

#include "operation/MachineObserver.h"
#include "telemetry/TelemetryState.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace morvik {

class CMachine;
class TelemetryPublisher;

// The program's state as the state topic names it: "none" (nothing loaded), "loaded",
// "running", "paused", "feedHold", "finished", "error". Outside Run mode the status word is
// not read, so a loaded program is "loaded" there.
std::string_view TelemetryProgramState(const MachineSnapshot& snapshot);

// The snapshot as the state topic carries it. Positions are the ones the readouts show, in the
// length unit of the machine's default unit system (the card's unit); axes that are not on the
// card are left out. When Z is not on the card but the cutter is, the cutter's angle is given
// as "C" in degrees, as the Z readout shows it.
TelemetryState TelemetryStateOf(const MachineSnapshot& snapshot, const CMachine& machine);

class TelemetryObserver : public MachineObserver {
public:
    TelemetryObserver(const CMachine& machine, TelemetryPublisher& publisher);

    void OnSnapshot(const MachineSnapshot& snapshot) override;
    void OnModeChanged(MachineMode from, MachineMode to) override;
    void OnProgramLoaded(const std::string& path, std::int32_t number) override;
    void OnProgramStarted(std::int32_t number) override;
    void OnProgramFinished(std::int32_t number) override;
    void OnPartError(std::uint32_t errorBits, const std::string& reason) override;
    void OnSafetyStop(std::uint32_t active, std::uint32_t rising,
                      const std::string& reason) override;
    void OnCardLine(const std::string& line) override;

private:
    void ProgramEvent(std::string_view name, std::int32_t number);

    const CMachine& machine_;
    TelemetryPublisher& publisher_;
    std::string partPath_;
    std::string cardErrorLine_; // the card's last "PART ERROR" line not yet published
};

} // namespace morvik
