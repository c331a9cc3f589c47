// The shell's one entry point into the setup dialogs: the Setup menu's fifteen dialogs, by their
// command ids (Cmd::SetupGeneral ... Cmd::SetupExtControls, operation/CommandIds.h). The command
// table's Setup rows call RunSetupCommand with the command id; it returns false for an id it
// does not handle. Setup > Save, Save As and Calibrate > Joystick are the command table's own
// rows (the application saves, the operation calibrates).
#pragma once

class QWidget;

namespace morvik {

class CMachine;
class MachineOperation;

// Runs the command's dialog modally over parent (the main window). True when the id is one of
// the fifteen, whatever the operator then did.
bool RunSetupCommand(int commandId, CMachine& machine, MachineOperation& operation,
                     QWidget* parent);

// True for the ids RunSetupCommand handles (the router's update rule: enabled while a machine
// is open).
bool IsSetupCommand(int commandId);

} // namespace morvik
