// How the shell runs a setup dialog: each Setup row of the command table (app/CommandTable.cpp)
// names its dialog's runner, RunSetupDialog<CSetupGeneral> and so on, and the row's handler
// calls it with the machine, its operation and the main window. Setup > Save, Save As and
// Calibrate > Joystick are the command table's own rows (the application saves, the operation
// calibrates).
#pragma once

#include "dialogs/SetupForm.h"

namespace morvik {

using SetupRunner = void (*)(const SetupContext& context);

// Runs the dialog modally over the context's parent, whatever the operator then does.
template <class Dialog> void RunSetupDialog(const SetupContext& context) {
    Dialog dialog(context);
    dialog.RunModal();
}

} // namespace morvik
