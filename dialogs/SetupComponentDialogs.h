// The setup dialogs of the spindle and the cutter. Each rewrites and downloads the
// configuration file after OK.
#pragma once

#include "dialogs/SetupForm.h"

namespace morvik {

// "Spindle Setup": controller axis (0-6), motor type, direction, scaling, drive constant,
// default speed, acceleration, deceleration.
class CSetupSpindleDlg : public CConfigurationSetupForm {
    Q_OBJECT
public:
    explicit CSetupSpindleDlg(const SetupContext& context);
};

// "Cutter Setup": controller axis (0-6), scaling, offset, the raise and lower M-codes and
// macros (the macros are the ones jogging runs), raised speed, acceleration, deceleration.
class CSetupCutterDlg : public CConfigurationSetupForm {
    Q_OBJECT
public:
    explicit CSetupCutterDlg(const SetupContext& context);
};

} // namespace morvik
