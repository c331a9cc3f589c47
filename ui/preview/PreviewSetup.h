// The preview's copy of the machine: the planner set up as the card plans (lengths in the
// machine's default unit system, work coordinates and program offsets as origins, tool lengths
// and H offsets), the soft-limit box, the work zero and the unit's symbol. Taken on the user
// interface thread when a plan is asked for; planning then needs no machine. A plan starts
// where the tool stands, in the modes the card keeps (an MDI G91 or G43 before the program is
// drawn as the card will run it), with the tool the card has in its spindle.
#pragma once

#include "controller/CardModes.h"
#include "ui/preview/ToolpathFeed.h"
#include "ui/preview/ToolpathPlan.h"

namespace morvik {
class CMachine;
}

namespace morvik::preview {

CPreviewSetup PreviewSetupOf(const CMachine& machine);

// Whether two copies of the machine plan alike: units, origins, tool lengths and H offsets,
// soft limits, block delete, the machine type (where a plan starts is not compared).
bool SameMachineSetup(const CPreviewSetup& a, const CPreviewSetup& b);

// The card's modes as the planner's modal state, on the power-on state of planner, so that a
// plan starts where the card stands: units, distance, plane, work system, tool length with its
// H, motion, F and S, spindle, coolant, retract and the tool in the spindle.
gcode::CModalState ModalOf(const CardModes& modes, const gcode::CPlannerSetup& planner);

// The setup of a plan that starts at the tool and in the card's modes, when the tick knew
// them; else at the work zero in the power-on state.
void StartAtTheMachine(CPreviewSetup& setup, const CToolpathFeed& feed);

} // namespace morvik::preview
