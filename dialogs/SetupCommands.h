// The shell's one entry point into the setup dialogs: the Setup menu's fifteen dialogs, Setup >
// Save (32796) and Save As (32797), and Calibrate > Joystick (32808). The command router calls
// RunSetupCommand with the command id; it returns false for an id it does not handle, so the
// router can go on to its next handler.
#pragma once

class QWidget;

namespace morvik {

class CMachine;
class MachineOperation;

namespace setupcmd {
constexpr int General = 32774;
constexpr int MachineAxes = 32772;
constexpr int Spindle = 32791;
constexpr int Cutter = 32792;
constexpr int MachineZero = 32788;
constexpr int ProgramZero = 32807;
constexpr int FeedRate = 32775;
constexpr int RapidRates = 32776;
constexpr int Limits = 32777;
constexpr int WorkZero = 32789;
constexpr int Tools = 32790;
constexpr int Offsets = 32810;
constexpr int Jogging = 32805;
constexpr int Homing = 32806;
constexpr int ExtControls = 32809;
constexpr int Save = 32796;
constexpr int SaveAs = 32797;
constexpr int CalibrateJoystick = 32808;
} // namespace setupcmd

// Runs the command: a dialog modally over parent (the main window), the machine's Save or
// Save As (its file dialog comes through the machine's operator interface), or the joystick
// calibration. True when the id is one of the above, whatever the operator then did.
bool RunSetupCommand(int commandId, CMachine& machine, MachineOperation& operation,
                     QWidget* parent);

// True for the ids RunSetupCommand handles (the router's update rule: enabled while a machine
// is open).
bool IsSetupCommand(int commandId);

} // namespace morvik
