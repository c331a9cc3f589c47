// The end of homing as the tick sees it: once every axis has come to rest after the homing
// macro (or there was none to wait for), the machine is homed and the homing view, which said
// "Homing Machine...", says "Machine homed". The status cycle owns one: while it reads the
// axes' status words in Home mode it tells this which axis still moves, and its Publish step
// ends homing here before the events of the tick are announced. It asks the card nothing.
#pragma once

namespace morvik {

class CMachine;
struct MachineSnapshot;

class HomingEnd {
public:
    explicit HomingEnd(CMachine& machine);

    // Whether this tick's axis reads must ask each status word if its motion finished: in Home
    // mode while the homing macro runs.
    bool Watching(const MachineSnapshot& snapshot) const;
    // Before the axes are read: at rest until an axis says otherwise.
    void BeginAxes() { atRest_ = true; }
    void AxisMoving() { atRest_ = false; }
    // After the axes were read in Home mode: whether this tick ends the macro.
    void AxesRead(const MachineSnapshot& snapshot);
    // The Publish step: the machine homed and told so, when the axes came to rest on this tick.
    // At rest in error (an emergency stop ended the macro) is not at the macro's end.
    void Publish(MachineSnapshot& snapshot);

private:
    CMachine& machine_;
    bool atRest_ = false;  // every axis read on this tick reported its motion finished
    bool arrived_ = false; // and homing was under way
};

} // namespace morvik
