#include "app/CommandHandlers.h"

#include "app/CommandContext.h"
#include "app/MorvikApp.h"
#include "machine/Machine.h"
#include "operation/MachineOperation.h"
#include "ui/MainFrame.h"
#include "ui/PartDocuments.h"
#include "ui/QtOperatorInterface.h"

namespace morvik::cmd {

// ---- File ----

void Load(CommandContext& c) {
    if (c.operation != nullptr)
        c.operation->LoadFromFile();
}

void Restart(CommandContext& c) {
    if (c.operation != nullptr)
        c.operation->Restart();
}

void NewPart(CommandContext& c) {
    c.app.Parts().New();
}

void OpenPart(CommandContext& c) {
    c.app.Parts().Open();
}

void Exit(CommandContext& c) {
    c.frame.close();
}

void PrintSetup(CommandContext& c) {
    c.app.PrintSetup();
}

// ---- View ----

void ToggleToolBar(CommandContext& c) {
    c.frame.ToggleToolBar();
}

CommandState ToolBarState(CommandContext& c) {
    return CommandState::Check(c.frame.ToolBarShown());
}

void ToggleStatusBar(CommandContext& c) {
    c.frame.ToggleStatusBar();
}

CommandState StatusBarState(CommandContext& c) {
    return CommandState::Check(c.frame.StatusBarShown());
}

template <PositionReadout R> void SelectReadout(CommandContext& c) {
    if (c.operation != nullptr)
        c.operation->SetPositionReadout(R);
}

template <PositionReadout R> CommandState ReadoutState(CommandContext& c) {
    return CommandState::Check(c.operation != nullptr && c.operation->ReadoutChecked(R));
}

template void SelectReadout<PositionReadout::Current>(CommandContext&);
template void SelectReadout<PositionReadout::Optimal>(CommandContext&);
template CommandState ReadoutState<PositionReadout::Current>(CommandContext&);
template CommandState ReadoutState<PositionReadout::Optimal>(CommandContext&);

void MachineStatus(CommandContext& c) {
    if (c.operation != nullptr)
        c.operation->ToggleStatusDisplay();
}

CommandState MachineStatusState(CommandContext& c) {
    return CommandState::Check(c.operation != nullptr && c.operation->StatusDisplayOpen());
}

void ViewProgram(CommandContext& c) {
    if (c.operation != nullptr)
        c.operation->ViewProgram();
}

CommandState ViewProgramState(CommandContext& c) {
    return CommandState::Check(c.operation != nullptr && c.operation->ProgramViewChecked());
}

void ViewMessages(CommandContext& c) {
    if (c.operation != nullptr)
        c.operation->ViewMessages();
}

CommandState ViewMessagesState(CommandContext& c) {
    return CommandState::Check(c.operation != nullptr && c.operation->MessagesViewChecked());
}

void ToggleWindow(CommandContext& c) {
    if (QtOperatorInterface* ui = c.app.Operator())
        ui->ToggleWindow(c.command);
}

CommandState WindowState(CommandContext& c) {
    const QtOperatorInterface* ui = c.app.Operator();
    return CommandState::Check(ui != nullptr && ui->WindowOpen(c.command));
}

void WorkCoordinates(CommandContext& c) {
    if (c.operation != nullptr)
        c.operation->ToggleWorkReadouts();
}

CommandState WorkCoordinatesState(CommandContext& c) {
    return CommandState::Check(c.operation != nullptr && c.operation->WorkReadoutsChecked());
}

// ---- Setup ----

void RunSetup(CommandContext& c, SetupRunner run) {
    if (c.machine != nullptr && c.operation != nullptr)
        run(SetupContext{*c.machine, *c.operation, &c.frame});
}

void SetupSave(CommandContext& c) {
    c.app.SaveMachine(MorvikApp::SaveKind::Save);
}

void SetupSaveAs(CommandContext& c) {
    c.app.SaveMachine(MorvikApp::SaveKind::SaveAs);
}

void SetupOpen(CommandContext& c) {
    c.app.OpenMachine();
}

CommandState SetupState(CommandContext& c) {
    return CommandState::Enabled(c.machine != nullptr);
}

// ---- Calibrate, Mode, Options ----

void CalibrateJoystick(CommandContext& c) {
    if (c.operation != nullptr)
        c.operation->CalibrateJoystick();
}

CommandState CalibrateState(CommandContext& c) {
    return CommandState::Enabled(c.operation != nullptr && c.operation->CalibrateEnabled());
}

namespace {

void Select(MachineOperation& operation, MachineMode mode) {
    switch (mode) {
    case MachineMode::Run:
        operation.SelectRun();
        break;
    case MachineMode::Mdi:
        operation.SelectMdi();
        break;
    case MachineMode::Jog:
        operation.SelectJog();
        break;
    case MachineMode::Home:
        operation.SelectHome();
        break;
    case MachineMode::None:
        break;
    }
}

} // namespace

template <MachineMode M> void SelectMode(CommandContext& c) {
    if (c.operation != nullptr)
        Select(*c.operation, M);
}

template <MachineMode M> CommandState ModeState(CommandContext& c) {
    return CommandState::Radio(c.operation != nullptr && c.operation->ModeChecked(M));
}

template void SelectMode<MachineMode::Run>(CommandContext&);
template void SelectMode<MachineMode::Mdi>(CommandContext&);
template void SelectMode<MachineMode::Jog>(CommandContext&);
template void SelectMode<MachineMode::Home>(CommandContext&);
template CommandState ModeState<MachineMode::Run>(CommandContext&);
template CommandState ModeState<MachineMode::Mdi>(CommandContext&);
template CommandState ModeState<MachineMode::Jog>(CommandContext&);
template CommandState ModeState<MachineMode::Home>(CommandContext&);

void BlockSkip(CommandContext& c) {
    if (c.operation != nullptr)
        c.operation->ToggleBlockSkip();
}

// The switch settings live in the machine: without one the item is greyed.
CommandState BlockSkipState(CommandContext& c) {
    if (c.operation == nullptr)
        return CommandState::Disabled();
    return CommandState{c.operation->BlockSkipEnabled(), CommandMark::Check,
                        c.operation->BlockSkipChecked()};
}

void DryRun(CommandContext& c) {
    if (c.operation != nullptr)
        c.operation->ToggleDryRun();
}

CommandState DryRunState(CommandContext& c) {
    if (c.operation == nullptr)
        return CommandState::Disabled();
    return CommandState{c.operation->DryRunEnabled(), CommandMark::Check,
                        c.operation->DryRunChecked()};
}

// ---- Window, Help ----

void Cascade(CommandContext& c) {
    c.frame.Cascade();
}

void Tile(CommandContext& c) {
    c.frame.Tile();
}

void ArrangeIcons(CommandContext& c) {
    c.frame.ArrangeIcons();
}

void About(CommandContext& c) {
    c.app.ShowAbout();
}

} // namespace morvik::cmd
