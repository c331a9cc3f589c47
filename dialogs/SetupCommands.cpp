#include "dialogs/SetupCommands.h"

#include "dialogs/SetupAxisDialogs.h"
#include "dialogs/SetupComponentDialogs.h"
#include "dialogs/SetupMachineDialogs.h"
#include "dialogs/SetupNumberedDialogs.h"
#include "machine/Machine.h"
#include "operation/MachineOperation.h"

#include <algorithm>
#include <iterator>

namespace morvik {

namespace {

using Handler = void (*)(const SetupContext& context);

template <class Dialog> void RunDialog(const SetupContext& context) {
    Dialog dialog(context);
    dialog.RunModal();
}

// The caller reports a save that failed; the machine leaves path and title as they were.
void Save(const SetupContext& context) {
    context.machine.SaveCommand();
}

void SaveAs(const SetupContext& context) {
    context.machine.SaveAs();
}

void Calibrate(const SetupContext& context) {
    context.operation.CalibrateJoystick();
}

struct SetupCommand {
    int id;
    Handler run;
};

constexpr SetupCommand kCommands[] = {
    {setupcmd::General, RunDialog<CSetupGeneral>},
    {setupcmd::MachineAxes, RunDialog<CSetupAxes>},
    {setupcmd::Spindle, RunDialog<CSetupSpindleDlg>},
    {setupcmd::Cutter, RunDialog<CSetupCutterDlg>},
    {setupcmd::MachineZero, RunDialog<CSetupMachineCoorDlg>},
    {setupcmd::ProgramZero, RunDialog<CSetupProgramCoorDlg>},
    {setupcmd::FeedRate, RunDialog<CSetupFeedDlg>},
    {setupcmd::RapidRates, RunDialog<CSetupRapidDlg>},
    {setupcmd::Limits, RunDialog<CSetupLimitDlg>},
    {setupcmd::WorkZero, RunDialog<CSetupWorkCoorDlg>},
    {setupcmd::Tools, RunDialog<CSetupToolDlg>},
    {setupcmd::Offsets, RunDialog<CSetupOffsetsDlg>},
    {setupcmd::Jogging, RunDialog<CSetupJoggingDlg>},
    {setupcmd::Homing, RunDialog<CSetupHomingDlg>},
    {setupcmd::ExtControls, RunDialog<CSetupExtControlsDlg>},
    {setupcmd::Save, Save},
    {setupcmd::SaveAs, SaveAs},
    {setupcmd::CalibrateJoystick, Calibrate},
};

const SetupCommand* Find(int commandId) {
    const auto* found =
        std::find_if(std::begin(kCommands), std::end(kCommands),
                     [commandId](const SetupCommand& c) { return c.id == commandId; });
    return found != std::end(kCommands) ? found : nullptr;
}

} // namespace

bool RunSetupCommand(int commandId, CMachine& machine, MachineOperation& operation,
                     QWidget* parent) {
    const SetupCommand* command = Find(commandId);
    if (command == nullptr)
        return false;
    command->run(SetupContext{machine, operation, parent});
    return true;
}

bool IsSetupCommand(int commandId) {
    return Find(commandId) != nullptr;
}

} // namespace morvik
