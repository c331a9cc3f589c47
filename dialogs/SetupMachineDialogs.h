// The setup dialogs of the machine document's own settings: General, Feed Rate, Jogging,
// Homing and Ext. Controls.
#pragma once

#include "dialogs/SetupForm.h"

namespace morvik {

// "General": machine type, program style, default units and the part-program units. A combo
// text that names no choice leaves its setting unchanged; the configuration file is rewritten
// and downloaded in every case.
class CSetupGeneral : public CConfigurationSetupForm {
    Q_OBJECT
public:
    explicit CSetupGeneral(const SetupContext& context);
};

// "Feed Setup": FEEDRATE, FEEDACCEL, FEEDDECEL, MAXFEEDRATE, MAXANGLE.
class CSetupFeedDlg : public CConfigurationSetupForm {
    Q_OBJECT
public:
    explicit CSetupFeedDlg(const SetupContext& context);
};

// "Setup External Controls": the eleven channels (0-16; 0 is none).
class CSetupExtControlsDlg : public CConfigurationSetupForm {
    Q_OBJECT
public:
    explicit CSetupExtControlsDlg(const SetupContext& context);
};

// "Jogging Setup": jog rate, acceleration, deceleration, the PC joystick and its dead band.
// No file is rewritten; in Jog mode Jog mode is entered again so that the new rates apply.
class CSetupJoggingDlg : public CSetupForm {
    Q_OBJECT
public:
    explicit CSetupJoggingDlg(const SetupContext& context);

protected:
    void Apply() override;
};

// "Homing Setup": the homing macro (0-1099) and whether homing messages are suppressed.
// No file is rewritten; the operation layer stores both and, in Home mode, drops or opens the
// homing message view.
class CSetupHomingDlg : public CSetupForm {
    Q_OBJECT
public:
    explicit CSetupHomingDlg(const SetupContext& context);

protected:
    void Apply() override;

private:
    int macro_;
    int suppress_;
};

} // namespace morvik
