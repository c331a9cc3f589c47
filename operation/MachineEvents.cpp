#include "operation/MachineObserver.h"

#include "machine/Machine.h"

#include <algorithm>

namespace morvik {

void MachineEvents::Attach(MachineObserver& observer) {
    if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end())
        observers_.push_back(&observer);
}

void MachineEvents::Detach(MachineObserver& observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), &observer),
                     observers_.end());
}

// A copy is walked, and each observer is checked to be still attached before it is called:
// an observer may detach itself or another one from inside an event.
template <class Event> void MachineEvents::Announce(Event event) const {
    const std::vector<MachineObserver*> now = observers_;
    for (MachineObserver* observer : now) {
        if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end())
            event(*observer);
    }
}

void MachineEvents::Snapshot(const MachineSnapshot& snapshot) const {
    Announce([&](MachineObserver& o) { o.OnSnapshot(snapshot); });
}

void MachineEvents::ModeChanged(MachineMode from, MachineMode to) const {
    Announce([&](MachineObserver& o) { o.OnModeChanged(from, to); });
}

void MachineEvents::ProgramLoaded(const std::string& path, std::int32_t number) const {
    Announce([&](MachineObserver& o) { o.OnProgramLoaded(path, number); });
}

void MachineEvents::ProgramStarted(std::int32_t number) const {
    Announce([&](MachineObserver& o) { o.OnProgramStarted(number); });
}

void MachineEvents::ProgramFinished(std::int32_t number) const {
    Announce([&](MachineObserver& o) { o.OnProgramFinished(number); });
}

void MachineEvents::PartError(std::uint32_t errorBits, const std::string& reason) const {
    Announce([&](MachineObserver& o) { o.OnPartError(errorBits, reason); });
}

void MachineEvents::SafetyStop(std::uint32_t active, std::uint32_t rising,
                               const std::string& reason) const {
    Announce([&](MachineObserver& o) { o.OnSafetyStop(active, rising, reason); });
}

void MachineEvents::CardText(const std::string& text) const {
    Announce([&](MachineObserver& o) { o.OnCardText(text); });
}

void MachineEvents::CardLine(const std::string& line) const {
    Announce([&](MachineObserver& o) { o.OnCardLine(line); });
}

void MachineEvents::InfoTexts(const MachineInfoTexts& texts) const {
    Announce([&](MachineObserver& o) { o.OnInfoTexts(texts); });
}

const MachineEvents& MachineEvents::None() {
    static const MachineEvents none;
    return none;
}

void SetMachineMode(CMachine& machine, const MachineEvents& events, MachineMode mode) {
    MachineState& state = machine.State();
    const MachineMode from = state.mode_;
    state.mode_ = mode;
    if (from != mode)
        events.ModeChanged(from, mode);
}

} // namespace morvik
