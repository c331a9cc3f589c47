#include "dialogs/SetupCommands.h"

#include "dialogs/SetupAxisDialogs.h"
#include "dialogs/SetupComponentDialogs.h"
#include "dialogs/SetupMachineDialogs.h"
#include "dialogs/SetupNumberedDialogs.h"
#include "machine/Machine.h"
#include "operation/CommandIds.h"
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

struct SetupCommand {
    int id;
    Handler run;
};

constexpr SetupCommand kCommands[] = {
    {Cmd::SetupGeneral, RunDialog<CSetupGeneral>},
    {Cmd::SetupMachineAxes, RunDialog<CSetupAxes>},
    {Cmd::SetupSpindle, RunDialog<CSetupSpindleDlg>},
    {Cmd::SetupCutter, RunDialog<CSetupCutterDlg>},
    {Cmd::SetupMachineZero, RunDialog<CSetupMachineCoorDlg>},
    {Cmd::SetupProgramZero, RunDialog<CSetupProgramCoorDlg>},
    {Cmd::SetupFeedRate, RunDialog<CSetupFeedDlg>},
    {Cmd::SetupRapidRates, RunDialog<CSetupRapidDlg>},
    {Cmd::SetupLimits, RunDialog<CSetupLimitDlg>},
    {Cmd::SetupWorkZero, RunDialog<CSetupWorkCoorDlg>},
    {Cmd::SetupTools, RunDialog<CSetupToolDlg>},
    {Cmd::SetupOffsets, RunDialog<CSetupOffsetsDlg>},
    {Cmd::SetupJogging, RunDialog<CSetupJoggingDlg>},
    {Cmd::SetupHoming, RunDialog<CSetupHomingDlg>},
    {Cmd::SetupExtControls, RunDialog<CSetupExtControlsDlg>},
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
