// The preview's copy of the machine: the planner set up as the card plans (lengths in the
// machine's default unit system, work coordinates and program offsets as origins, tool lengths
// and H offsets), the soft-limit box, the work zero and the unit's symbol. Taken on the user
// interface thread when a plan is asked for; planning then needs no machine.
#pragma once

#include "ui/preview/ToolpathPlan.h"

namespace morvik {
class CMachine;
}

namespace morvik::preview {

CPreviewSetup PreviewSetupOf(const CMachine& machine);

} // namespace morvik::preview
