// The process-wide machine document. Set by CMachine when it is constructed and cleared when
// it is destroyed; every piece of code that needs the machine goes through it and does
// nothing while it is null.
#pragma once

namespace morvik {

class CMachine;
class MotionController;

extern CMachine* currentMachine;

// The connection of the current machine, or null when there is none. The motion operations
// of the axes, spindle and cutter reach the card through it.
MotionController* CurrentController();

} // namespace morvik
