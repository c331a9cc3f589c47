// The one object the user interface talks to about running the machine. The application
// creates it with the machine document and the joystick, and routes to it the Mode, Options, View,
// File > Load/Restart and Calibrate commands, the panel's buttons and override fields, the 100 ms
// timer (StatusTick) and the idle handler (IdleDrain). It owns the parts that do the work and
// dispatches between them:
//   ModeControl       modes, homing, readout zero, homing settings
//   StatusCycle       the periodic update and the card text drain
//   ProgramView       the program view kinds and the routing of card text
//   PartProgram       load, restart and the Run-mode cycle commands
//   Jogging           the jog step, Jog entry and exit, joystick calibration
//   ExternalControls  hardware buttons, lamps and switches, the Options toggles
//   MachineEvents     the observers of the machine (Events(): attach and detach); whatever
//                     shows the machine follows the tick there (the station wires them in
//                     one place, app/TickObservers.h)
//   MachineInfo       the texts of the panel's information strip (an observer, announcing
//                     them in turn)
//   MdiSession        the MDI command line: blocks run on the card, their history
// and the jog inputs (JogInputs): what the panel's jog buttons and the jog keys hold.
// The menu and panel update rules are answered here too, so that widgets never compute their
// own enablement.
//
// Every command does nothing once the machine document is no longer the current machine (it
// is closing).
#pragma once

#include "machine/MachineState.h"
#include "operation/CycleCommands.h"
#include "operation/ExternalControls.h"
#include "operation/JogHoldWatch.h"
#include "operation/Jogging.h"
#include "operation/MachineInfo.h"
#include "operation/MachineObserver.h"
#include "operation/MdiSession.h"
#include "operation/ModeControl.h"
#include "operation/PanelAction.h"
#include "operation/PanelFields.h"
#include "operation/PartProgram.h"
#include "operation/ProgramView.h"
#include "operation/StatusCycle.h"

#include <string>
#include <vector>

namespace morvik {

class CMachine;
class IJoystick;

class MachineOperation : public ICycleCommands {
public:
    // Override limits of the panel's fields, as fractions (1.0 = 100 %).
    static constexpr double kFeedOverrideLimit = 1.5;
    static constexpr double kRapidOverrideLimit = 1.0;
    static constexpr double kSpindleOverrideLimit = 1.5;
    static constexpr double kOverrideStep = 0.01; // one click on an arrow

    MachineOperation(CMachine& machine, IJoystick& joystick);
    MachineOperation(const MachineOperation&) = delete;
    MachineOperation& operator=(const MachineOperation&) = delete;

    // ---- Mode menu ----
    void SelectRun();
    void SelectMdi();
    void SelectJog(); // also the Jogging dialog's OK in Jog mode, so new rates take effect
    void SelectHome();

    // ---- Cycle buttons (panel and external): Home starts homing, Run drives the program ----
    void Start() override;
    void Block() override;
    void FeedHold() override;

    // ---- Options, View and Setup ----
    void ToggleBlockSkip();
    void ToggleDryRun();
    void SetPositionReadout(PositionReadout readout);
    // The readouts switch between machine and work coordinates (View menu, panel button).
    void ToggleWorkReadouts();
    bool WorkReadoutsChecked() const;
    // Touch-off, "Set work zero" for axis 0 (X), 1 (Y) or 2 (Z): in Jog mode, with the axis on
    // the card, nothing jogging and the station not busy, the axis's position as the readout
    // shows it becomes the axis's zero of the work coordinate system in force; the work
    // coordinate file is written and downloaded and the document marked modified. False when
    // nothing was done.
    bool SetWorkZero(std::size_t axis);
    bool WorkZeroEnabled(std::size_t axis) const;
    void ViewProgram();
    void ViewMessages();
    void ToggleStatusDisplay();
    // Setup Homing after OK.
    void ApplyHomingSettings(int macro, int suppress);

    // ---- File and Calibrate ----
    LoadResult LoadFromFile();
    LoadResult LoadFromLines(const std::vector<std::string>& lines, const std::string& path);
    LoadResult Restart();
    void CalibrateJoystick();

    // ---- MDI panel ----
    // Enter on the MDI command line: the block runs on the card (MdiSession::Send).
    MdiResult SendMdiBlock(const std::string& block);

    // ---- Control panel ----
    // A panel control going down / coming up under the mouse, by its action: what each does is
    // its row (PanelActionRows.cpp). For the Cut box, wasChecked is its state as the button
    // comes up.
    void ActionPressed(PanelAction action);
    void ActionReleased(PanelAction action, bool wasChecked = false);
    // A jog button (bit) going down or up. In Jog mode a press says so in the status bar
    // instead when its axis cannot move because the maximum jog rate is 0; with a jog step
    // chosen it asks for one step, unless a jog or a step is under way or asked for already
    // (presses never queue).
    void JogButtonPressed(std::uint16_t bit);
    void JogButtonReleased(std::uint16_t bit);
    // The jog keys: the same, held in the keys' own bits; a press while the station is busy
    // is ignored.
    void JogKeyPressed(PanelAction action);
    void JogKeyReleased(PanelAction action);
    // An auto-repeat of a held jog key: the hand is still on it (JogHoldWatch.h).
    void JogKeyRepeated(PanelAction action);
    // The tick's check that every held jog control is still confirmed (JogHoldWatch.h): the
    // keys whose repeats stopped are let go; where the pointer's buttons cannot be asked of
    // the window system (pointerUnknown), the buttons are let go once held for the limit. The
    // status bar and the panel's message line say why. What was let go is returned, so that
    // the panel forgets its own holds.
    struct LetGo {
        bool buttons = false;
        bool keys = false;
    };
    LetGo CheckJogHolds(bool pointerUnknown);
    // The mouse watchdog: the buttons' jog bits cleared (held keys and a step asked for stay).
    void ReleaseJogButtonsOnly();
    // The keys cannot jog now (focus in a text field, another window active): their bits go.
    void ReleaseJogKeys();
    // A held jog control's release may be lost (window deactivated, button disabled or hidden,
    // popup, application closing): every jog bit of buttons and keys and a step asked for are
    // cleared, so the next tick stops the axis.
    void ReleaseAllJogButtons();
    // Before the machine document closes (the station closing, Setup > Open): every jog
    // control let go and, in Jog mode, every jogging axis stopped and waited for, bounded. False
    // when the card did not confirm that an axis stopped: it may still move, so the document
    // must not close; the operator has been told (34216) and the machine stays in Jog mode
    // with its stopping bits, as after a mode change the card did not confirm.
    bool StopJoggingBeforeClose();
    // The jog selectors, by index into JogSelectors' tables.
    void SelectJogIncrement(std::size_t index);
    void SelectJogSpeed(std::size_t index);
    // The Stop button, in every mode: the card's program aborted (whoever started it), every
    // axis and the cutter stopped (not the card's emergency stop), every jog input let go, and
    // the status bar says so once the card has confirmed the abort.
    void StopAll();
    void CutBoxReleased(bool wasChecked);
    void ZeroAxisReadout(int axis0to2);
    // Overrides: clamped to the field's limit and sent to the card through the machine.
    void SetOverride(OverrideField which, double fraction);
    // The operator entered a value in the field (Enter, or left it after editing): its text
    // read as a percentage (its leading number). A text that does not start with a number, or
    // whose number lies outside the field's range (0 to 150 % for feed and spindle, 0 to 100 %
    // for rapid: what the arrows reach), is refused: nothing is sent and the field is to show
    // the override in force again (false). A typed "-5" must not stall the feed at 0 %, nor
    // a typed 200 become some other value than the operator wrote.
    bool OverrideTextEntered(OverrideField which, const std::string& text);
    // One arrow click: lines > 0 up, < 0 down, from the machine's stored override.
    void StepOverride(OverrideField which, int lines);
    // What an override field shows: "%3.0f" of the override in force, in percent (1.0 shows
    // "100", 0.5 " 50"). The panel refreshes its fields when it decides (its first fill, after
    // an override command), never on the tick: the operator may be typing in one.
    std::string OverrideText(OverrideField which) const;

    // ---- Timer and idle ----
    void StatusTick();
    // One batch of waiting card text; true while more idle time is wanted.
    bool IdleDrain();
    bool ControllerTextPending() const { return cycle_.TextPending(); }

    // ---- Update rules ----
    bool ModeChecked(MachineMode mode) const;
    bool BlockSkipEnabled() const { return external_.BlockSkipEnabled(); }
    bool BlockSkipChecked() const { return external_.BlockSkipChecked(); }
    bool DryRunEnabled() const { return external_.DryRunEnabled(); }
    bool DryRunChecked() const { return external_.DryRunChecked(); }
    bool ReadoutChecked(PositionReadout readout) const;
    bool ProgramViewChecked() const { return view_.IsChecked(ProgramViewKind::Program); }
    bool MessagesViewChecked() const { return view_.IsChecked(ProgramViewKind::Messages); }
    bool StatusDisplayOpen() const;
    bool CalibrateEnabled() const;
    // The panel's enable rules by action (its row), and what stays enabled while there is no
    // machine document and so no operation (the Cut box and the override fields).
    bool IsActionEnabled(PanelAction action) const;
    static bool EnabledWithoutMachine(PanelAction action);

    // The observers: attach to follow snapshots, mode changes and the program's events.
    MachineEvents& Events() { return events_; }
    const CMachine& Machine() const { return machine_; }
    // What the jog buttons and keys hold now.
    JogInputs& Inputs() { return jogInputs_; }
    const JogInputs& Inputs() const { return jogInputs_; }
    // The snapshot of the last tick.
    const MachineSnapshot& Snapshot() const { return cycle_.Snapshot(); }
    // What the panel's information strip says now (also announced: OnInfoTexts).
    const MachineInfoTexts& InfoTexts() const { return info_.Texts(); }

    ModeControl& Modes() { return modes_; }
    PartProgram& Program() { return program_; }
    Jogging& Jog() { return jogging_; }
    ExternalControls& External() { return external_; }
    MdiSession& Mdi() { return mdi_; }

private:
    bool Live() const;
    void NameModesLeftInForce();
    void Select(void (ModeControl::*select)());
    bool CycleButtonsEnabled() const;
    // One row per panel action: its press, its release and its enable rule; the rules the rows
    // name are ActionRules' (both in PanelActionRows.cpp).
    struct ActionRow;
    struct ActionRules;
    static const ActionRow& RowOf(PanelAction action);
    // True when the bit was taken as held.
    bool JogPress(std::uint16_t bit, std::uint16_t& held);

    CMachine& machine_;
    MachineEvents events_; // before the parts that announce through it
    JogInputs jogInputs_;
    Jogging jogging_;
    ProgramView view_;
    ModeControl modes_;
    PartProgram program_;
    ExternalControls external_;
    StatusCycle cycle_;
    MachineInfo info_; // attached to events_ for the operation's life
    MdiSession mdi_;
    JogHoldWatch holdWatch_;
};

} // namespace morvik
