// The status cycle: the one place that reads the card on the tick, the numeric snapshot it
// makes of the machine, and the draining of the card's text output.
//
// Tick() runs every 100 ms from the main window's timer (through MachineOperation::StatusTick)
// and does, in this order:
//   1. nothing at all when there is no current machine;
//   2. ReadInputs: the card's digital I/O word;
//   3. ReadStatus: in Run mode the program status word and, while a run is under way (Running,
//      Paused or Feed hold), the line the card runs (query 461); in Jog and Home mode the axis
//      error condition of X, Y, Z and the cutter, and while the homing macro runs whether each
//      one's motion finished; in MDI mode the program status word once a block
//      was started (MachineState::programStarted); in the other modes nothing; then in Run,
//      MDI and Jog mode the card's modal state (ActiveModes.h: queries 468 to 471), which
//      carries from one program to the next, so the MDI panel, the readouts' work origin and
//      touch-off show the card's modes, not the text's;
//      FollowProgram (ProgramFollow.h) then takes the S word, work system and tool length from
//      those modes, or, from a card that does not answer them, from the loaded program's modal
//      state at that line, which asks the card nothing; ReadSafety takes the emergency stop,
//      external emergency stop and drive fault from what was read (the status word where it
//      was read, and in every mode the machine's safety input channels in the I/O word of
//      step 2), which asks the card nothing either;
//   4. StepJogging: in Jog mode the jog step;
//   5. ReadPositions: one position per component as the readout setting chooses, the
//      spindle's speed;
//   6. DrainText: one batch of card text, announced with the lines it ended (CardLines.h) and
//      routed (ProgramView::Route), and the pending flag set;
//   7. Publish: the end of homing once every axis came to rest after the macro (HomingEnd.h),
//      program started / finished and part errors from the status word's edges (in MDI mode
//      part errors only: the part program's events are not the MDI block's), a safety stop
//      coming on (in every mode; StatusEdges.h), then the snapshot, to the observers
//      (MachineObserver.h): whatever shows the machine takes it from there;
//   8. StepExternalControls: the external controls, which may fire Start, Block and Feed hold.
// The card sees exactly these questions in this order, tick after tick.
// While the station is busy (an operation waits on the card, or any modal window, popup, menu
// or other nested event loop is up and this tick runs inside it: OperatorGate::Busy asks the
// user interface on every tick) steps 4 and 8 send nothing that starts or continues motion:
// the jog step runs as if every jog input were let go (so a jogging axis is stopped), the
// external Start and Block edges are consumed without firing and the switches wait; the
// external Feed hold fires as always; inputs, lamps and readouts still update.
//
// IdleDrain() is the idle handler's step: while text is pending it routes one more batch per
// call and asks for more idle time, and clears the flag once a read brings nothing.
#pragma once

#include "machine/MachineState.h"
#include "operation/CardLines.h"
#include "operation/HomingEnd.h"
#include "operation/MachineObserver.h"
#include "operation/MachineSnapshot.h"
#include "operation/ProgramFollow.h"
#include "operation/StatusEdges.h"

#include <string>

namespace morvik {

class CMachine;
class ExternalControls;
class ICycleCommands;
class Jogging;
class ProgramView;
struct JogInputs;

class StatusCycle {
public:
    StatusCycle(CMachine& machine, JogInputs& jogInputs, ProgramView& view, Jogging& jogging,
                ExternalControls& external, ICycleCommands& commands,
                const MachineEvents& events = MachineEvents::None());

    void Tick();
    bool IdleDrain();
    // The card sent text on this tick or an idle pass and may have more.
    bool TextPending() const { return textPending_; }
    // The snapshot of the last tick.
    const MachineSnapshot& Snapshot() const { return snapshot_; }
    // An MDI block was started: its status word's edges count from nothing, so an error it
    // ends with is announced even when the block before it ended with the same error.
    void MdiBlockStarted() { mdiEdges_.BlockStarted(); }

private:
    void BeginSnapshot();
    void ReadInputs();
    void ReadStatus();
    void ReadAxisErrors();
    void ReadSafety();
    void FollowProgram();
    void StepJogging();
    void ReadPositions();
    void DrainText();
    void Publish();
    void StepExternalControls();
    bool ReadAndRouteText();

    CMachine& machine_;
    JogInputs& jogInputs_;
    ProgramView& view_;
    Jogging& jogging_;
    ExternalControls& external_;
    ICycleCommands& commands_;
    const MachineEvents& events_;
    MachineSnapshot snapshot_;
    bool textPending_ = false;
    bool commandsAllowed_ = true; // false while the station is busy (see above)
    // What the tick follows from one tick to the next, each in its own small part.
    HomingEnd homingEnd_;
    ProgramEdges programEdges_;
    MdiErrorEdges mdiEdges_;
    SafetyEdges safetyEdges_;
    ProgramFollow follow_;
    CardLines cardLines_;
};

} // namespace morvik
