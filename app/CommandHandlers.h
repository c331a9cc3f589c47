// The handlers and update rules the command table names. Each is a few lines: the work is
// done by the main window, the machine's operation (MachineOperation) or the machine document.
// A handler that acts on the machine does nothing while there is no machine document.
#pragma once

#include "dialogs/SetupCommands.h"
#include "machine/MachineState.h"
#include "ui/CommandTarget.h"

namespace morvik {

struct CommandContext;

namespace cmd {

// ---- File ----
void Load(CommandContext& c);
void Restart(CommandContext& c);
void NewPart(CommandContext& c);
void OpenPart(CommandContext& c);
void Exit(CommandContext& c);
void PrintSetup(CommandContext& c);

// ---- View ----
void ToggleToolBar(CommandContext& c);
CommandState ToolBarState(CommandContext& c);
void ToggleStatusBar(CommandContext& c);
CommandState StatusBarState(CommandContext& c);
template <PositionReadout R> void SelectReadout(CommandContext& c);
template <PositionReadout R> CommandState ReadoutState(CommandContext& c);
void MachineStatus(CommandContext& c);
CommandState MachineStatusState(CommandContext& c);
void ViewProgram(CommandContext& c);
CommandState ViewProgramState(CommandContext& c);
void ViewMessages(CommandContext& c);
CommandState ViewMessagesState(CommandContext& c);
// A machine window's own command (ui/MachineViewFactory.h): its window opened or closed,
// checked while it is open.
void ToggleWindow(CommandContext& c);
CommandState WindowState(CommandContext& c);
void WorkCoordinates(CommandContext& c);
CommandState WorkCoordinatesState(CommandContext& c);

// ---- Setup ----
// The setup dialog a row names, modal over the main window; nothing without a machine.
void RunSetup(CommandContext& c, SetupRunner run);
template <class Dialog> void Setup(CommandContext& c) {
    RunSetup(c, RunSetupDialog<Dialog>);
}
void SetupSave(CommandContext& c);
void SetupSaveAs(CommandContext& c);
void SetupOpen(CommandContext& c);
// The items that change or save the machine: greyed while there is no machine document (a
// machine file that failed to open leaves none).
CommandState SetupState(CommandContext& c);

// ---- Calibrate, Mode, Options ----
void CalibrateJoystick(CommandContext& c);
CommandState CalibrateState(CommandContext& c);
template <MachineMode M> void SelectMode(CommandContext& c);
template <MachineMode M> CommandState ModeState(CommandContext& c);
void BlockSkip(CommandContext& c);
CommandState BlockSkipState(CommandContext& c);
void DryRun(CommandContext& c);
CommandState DryRunState(CommandContext& c);

// ---- Window, Help ----
void Cascade(CommandContext& c);
void Tile(CommandContext& c);
void ArrangeIcons(CommandContext& c);
void About(CommandContext& c);

} // namespace cmd
} // namespace morvik
