// The machine document's run-time state: what the machine is doing now, never stored in the
// machine file. CMachine owns one and hands it out by reference; the operation layer (modes,
// homing, the status cycle, part programs, jogging, external controls) reads and changes it.
// Every new machine document starts from the values below, so a machine opened again must be
// homed again.
#pragma once

#include "machine/ViewKind.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace morvik {

enum class MachineMode : std::int32_t { None = 0, Run = 1, Mdi = 2, Jog = 3, Home = 4 };

// The mode's short name, as the strip ("Run mode") and the telemetry ("Run") spell it.
constexpr std::string_view MachineModeName(MachineMode mode) {
    switch (mode) {
    case MachineMode::Run:
        return "Run";
    case MachineMode::Mdi:
        return "MDI";
    case MachineMode::Jog:
        return "Jog";
    case MachineMode::Home:
        return "Home";
    case MachineMode::None:
        break;
    }
    return "None";
}

// Which position the readouts show.
enum class PositionReadout : std::int32_t { Current = 1, Optimal = 2 };

// What the program view echoes of the card's output.
enum class ProgramViewKind : std::int32_t { Nothing = 0, Program = 1, Messages = 2 };

// The windows of the machine document that the user interface opens and owns, one per kind;
// the document only remembers which of them are open. A kind outside the table is never open.
class OpenViews {
public:
    bool Has(ViewKind view) const {
        return ViewSlot(view) < kViewKindCount && open_[ViewSlot(view)];
    }
    void Remember(ViewKind view) { Set(view, true); }
    void Forget(ViewKind view) { Set(view, false); }

private:
    void Set(ViewKind view, bool open) {
        if (ViewSlot(view) < kViewKindCount)
            open_[ViewSlot(view)] = open;
    }
    std::array<bool, kViewKindCount> open_{};
};

class CMachine;
class MachineEvents;
void SetMachineMode(CMachine& machine, const MachineEvents& events, MachineMode mode);

struct MachineState {
    // The mode the machine is in. SetMachineMode (operation/MachineObserver.h) is its only
    // writer, so that every change is announced to the observers.
    MachineMode Mode() const { return mode_; }

    bool homed = false; // set by Start in Home mode, never cleared while the document lives
    // Start in Home mode sent the homing macro and the axes have not yet all come to rest.
    bool homingUnderWay = false;
    // Part program: sent and its number found / run command sent and not aborted since.
    bool partLoaded = false;
    bool programStarted = false;
    std::int32_t programNumber = 0;
    std::string firstLine;
    std::string partPath;
    // The loaded program's text as the card received it (each line cut as sent and ended by
    // LF), a new object at each load: the toolpath preview plans it, and plans again when it
    // changes. Null while no program is loaded.
    std::shared_ptr<const std::string> partText;
    // The loaded program's lines as the card got them, and a count of loads, so that what
    // follows the program (its modal state at the running line) sees a new one.
    std::vector<std::string> partLines;
    std::uint32_t partLoads = 0;
    // An MDI block was loaded since the part program was sent: the card's program store may no
    // longer hold it, so it is sent again before it runs.
    bool partReplaced = false;
    PositionReadout positionReadout = PositionReadout::Optimal;
    // The readouts show work coordinates (the position less the active work offset and tool
    // length) instead of machine coordinates.
    bool workReadouts = false;
    // Override fractions, 1.0 meaning 100 %; set to 1.0 when a machine is opened or created.
    double feedOverride = 1.0;
    double rapidOverride = 1.0;
    double spindleOverride = 1.0;
    bool blockSkipOn = false;
    bool dryRunOn = false;
    // Four bits per axis: X at bits 4-7, Y at 8-11, Z at 12-15 (moving/stopping per direction).
    std::uint16_t jogState = 0;
    // The control panel's jog button bits as the last jog step saw them.
    std::uint16_t jogButtons = 0;
    ProgramViewKind programViewKind = ProgramViewKind::Nothing;
    // The program view shows the loaded program's first line from the load on; the card echoes
    // that line once more as it runs it. Until then text holds the echo awaited (the line and
    // its carriage return) and matched how much of it the card has sent so far.
    struct AwaitedEcho {
        std::string text;
        std::size_t matched = 0;
    };
    AwaitedEcho firstLineEcho;
    bool calibrating = false; // the joystick calibration is running; the joystick is ignored
    bool cutterDown = false;  // jog X and Y with the cutter lowered and turned to the travel
    OpenViews views;

private:
    friend void SetMachineMode(CMachine& machine, const MachineEvents& events, MachineMode mode);
    MachineMode mode_ = MachineMode::None;
};

} // namespace morvik
