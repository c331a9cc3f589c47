// The machine document's text views as the operation layer drives them, and where the card's
// text output goes.
//
// The program view shows the card's output in Run mode, either the executed blocks (kind
// Program, output option 494) or the program's messages (kind Messages, option 495); View >
// Program and View > Messages toggle it. Card text read by the status cycle and the idle drain
// is routed here: to the program view in Run mode, to the homing view in Home mode, each only
// while that view is open; anywhere else it is dropped.
#pragma once

#include "machine/MachineState.h"
#include "machine/OperatorInterface.h"

#include <string>

namespace morvik {

class CMachine;

// Opens one of the machine's views unless it is already open and remembers it; false when the
// window could not be created.
bool OpenMachineView(CMachine& machine, ViewKind view);
// Closes a remembered view and forgets it; a view that is not remembered is left alone (the
// operator may have closed it already).
void CloseMachineView(CMachine& machine, ViewKind view);

class ProgramView {
public:
    explicit ProgramView(CMachine& machine);

    // View > Program (kind Program) and View > Messages (kind Messages): the open view of this
    // kind is closed with every output option off; otherwise the view is opened (or kept, if it
    // shows the other kind), every option switched off, the kind's option on, and the kind
    // recorded. An unknown kind does nothing.
    void Toggle(ProgramViewKind kind);
    // The check mark of View > Program / View > Messages.
    bool IsChecked(ProgramViewKind kind) const;
    // One piece of the card's text output. The card's echo of the loaded program's first line,
    // which the program view already shows, is not shown again.
    void Route(const std::string& text);

private:
    std::string WithoutFirstLineEcho(const std::string& text);

    CMachine& machine_;
};

} // namespace morvik
