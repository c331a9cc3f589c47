// Who follows the machine's tick on the station: the one place where everything that shows the
// machine attaches to its events (MachineObserver.h), and detaches again. The status cycle
// reads the card once per tick and announces the snapshot and the edges it saw; nothing reads
// the machine's state on the side. The list itself is TickObservers::Wire (TickObservers.cpp):
// read it to see who listens to what. A new observer is its class plus one line there.
//
// The application makes one right after the machine's operation and drops it before the
// operation goes (MorvikApp::OpenMachineDocument, DropMachineDocument).
#pragma once

#include <memory>
#include <utility>
#include <vector>

namespace morvik {

class CMachine;
class CMainFrame;
class ControlPanel;
class MachineEvents;
class MachineObserver;
class MachineOperation;
class QtOperatorInterface;
class StationTelemetry;
namespace preview {
class CPreviewWindows;
}

class TickObservers {
public:
    // The parts of the station that show the machine.
    struct Station {
        CMachine& machine;
        MachineOperation& operation;
        ControlPanel& panel;
        QtOperatorInterface& ui;
        preview::CPreviewWindows& previews;
        StationTelemetry& telemetry;
        CMainFrame& frame;
    };

    explicit TickObservers(const Station& station);
    // Every observer detached (those made here then destroyed), telemetry's too.
    ~TickObservers();
    TickObservers(const TickObservers&) = delete;
    TickObservers& operator=(const TickObservers&) = delete;

private:
    void Wire(const Station& station);
    // An observer that lives elsewhere (the panel).
    void Attach(MachineObserver& observer);
    // An observer made for this machine, living as long as this object.
    template <class Observer, class... Args> void Own(Args&&... args) {
        owned_.push_back(std::make_unique<Observer>(std::forward<Args>(args)...));
        Attach(*owned_.back());
    }

    MachineEvents& events_;
    StationTelemetry& telemetry_;
    std::vector<std::unique_ptr<MachineObserver>> owned_;
    std::vector<MachineObserver*> attached_;
};

} // namespace morvik
