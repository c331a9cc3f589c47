// The setup dialogs with one group of rows per axis X, Y, Z, U, V, W: controller axes and
// scaling, machine zero, program zero, rapid rates, limits. Each rewrites and downloads the
// configuration file after OK.
#pragma once

#include "dialogs/SetupForm.h"

namespace morvik {

// "Machine Axis Setup": controller axis (0-8), slave axis (0-8) and scaling of each axis.
class CSetupAxes : public CConfigurationSetupForm {
    Q_OBJECT
public:
    explicit CSetupAxes(const SetupContext& context);
};

// "Machine Coordinates Setup": the machine offset of each axis.
class CSetupMachineCoorDlg : public CConfigurationSetupForm {
    Q_OBJECT
public:
    explicit CSetupMachineCoorDlg(const SetupContext& context);
};

// "Program Coordinates Setup": the program offset of each axis.
class CSetupProgramCoorDlg : public CConfigurationSetupForm {
    Q_OBJECT
public:
    explicit CSetupProgramCoorDlg(const SetupContext& context);
};

// "Rapid Setup": rapid rate, acceleration and deceleration of each axis.
class CSetupRapidDlg : public CConfigurationSetupForm {
    Q_OBJECT
public:
    explicit CSetupRapidDlg(const SetupContext& context);
};

// "Limits Setup": lower and upper limit of each axis.
class CSetupLimitDlg : public CConfigurationSetupForm {
    Q_OBJECT
public:
    explicit CSetupLimitDlg(const SetupContext& context);
};

} // namespace morvik
