// The control panel: the operator's console fixed along the left edge of the main window. Four
// position readouts with their axis buttons, six status lamps, the feed, rapid and spindle
// override fields with their arrows, the jog pad with the Cut box, the spindle buttons and the
// run buttons Start, Blk/Blk and F. Hold, laid out from the panel's form (PanelTemplate) in
// dialog units of the panel's 8-point font.
//
// The panel shows state and sends commands; it decides nothing itself. What it shows lives in
// its ControlPanelState, which MachineOperation fills on every tick (the application
// constructs the facade with State()); the buttons and fields send their actions to the
// facade; whether a control is enabled comes from the main window's one update pass through
// UpdateEnabled. Without a machine (no facade set) every action and tick does nothing.
//
// Who calls what:
//   main window       FirstFill once after it is shown, StatusTick every 100 ms,
//                     UpdateEnabled from its update pass
//   control buttons   ButtonPressed / ButtonReleased on the mouse going down and up
//   override fields   OverrideEditFinished when the keyboard focus leaves a field
//   override arrows   OverrideArrow on each line up / line down (held arrows repeat)
//
// Safety: a jog button moves its axis only while it is held. When a held jog button is
// disabled or hidden, or the window loses activation (a message box, another application),
// its release would never arrive, so the panel tells the facade to release every jog button.
//
// Each control is a child widget named "ctl" + its id (e.g. "ctl1075"), found with Control(id).
#pragma once

#include "operation/ControlPanelState.h"
#include "ui/ControlButton.h"
#include "ui/DialogUnits.h"
#include "ui/PanelTemplate.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <vector>

class QLineEdit;

namespace morvik {

class LampWidget;
class MachineOperation;
class ReadoutWidget;

class ControlPanel : public QWidget, private ControlButtonListener {
public:
    explicit ControlPanel(QWidget* parent = nullptr);
    ~ControlPanel() override;

    // What the panel shows; MachineOperation is constructed with it and fills it.
    ControlPanelState& State() { return state_; }
    const ControlPanelState& State() const { return state_; }
    // The facade that receives the panel's actions; null while there is no machine. Set back
    // to null before the facade is destroyed: a button can still report a lost release.
    void SetOperation(MachineOperation* operation) { operation_ = operation; }
    MachineOperation* Operation() const { return operation_; }

    // Once, after the main window is shown: the large font for the axis buttons, the override
    // texts from the machine's overrides, everything pushed to the widgets.
    void FirstFill();
    // The main window's 100 ms tick: the facade's status cycle, then lamps and readouts pushed
    // to the widgets (the override fields are left alone: the operator may be typing in one).
    virtual void StatusTick();

    // State -> widgets: lamps, readouts and, unless the skip flag is set (then it is cleared),
    // the override fields; a field that has the keyboard focus is never overwritten.
    void PushToWidgets();

    // The update pass: each command control (buttons, override fields, arrows) enabled as
    // isEnabled(id) says.
    void UpdateEnabled(const std::function<bool(int)>& isEnabled);

    // The operator left an override field: its text read, clamped, shown and sent.
    void OverrideEditFinished(OverrideField field);
    // One step of an override's arrows: lines > 0 up (one percent each), < 0 down.
    void OverrideArrow(OverrideField field, int lines);

    // The control with this id, or null.
    QWidget* Control(int id) const;
    static QString ControlName(int id);
    // The axis buttons' font: the panel's font two and a half times as large.
    const QFont& LargeFont() const { return largeFont_; }
    const DialogUnits& Units() const { return units_; }
    // The panel's font with its pixel height multiplied by 2.5, truncated.
    static QFont LargeFontFor(const QFont& panelFont);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ButtonPressed(int id) override;
    void ButtonReleased(int id, bool wasChecked, bool onButton) override;
    void ButtonReleaseLost(int id) override;

    void Build();
    QWidget* Create(const PanelItem& item);
    QWidget* CreateAxisButton(const PanelItem& item);
    QWidget* CreateReadout(const PanelItem& item);
    QWidget* CreateGroupBox(const PanelItem& item);
    QWidget* CreateLamp(const PanelItem& item);
    QWidget* CreateLabel(const PanelItem& item);
    QWidget* CreateArrows(const PanelItem& item);
    QWidget* CreateOverrideEdit(const PanelItem& item);
    QWidget* CreatePushButton(const PanelItem& item);
    QWidget* CreateActionButton(const PanelItem& item);
    QWidget* CreateCheckButton(const PanelItem& item);
    // The window lost activation: every held button forgotten, every jog button released.
    void DropAllHolds();

    ControlPanelState state_;
    MachineOperation* operation_ = nullptr;
    DialogUnits units_;
    QFont largeFont_;
    std::map<int, QWidget*> controls_;
    std::vector<int> commandIds_; // the controls the update pass enables and disables
    std::vector<BasicControlButton<QPushButton>*> pushButtons_;
    ControlCheckBox* cutBox_ = nullptr;
    std::array<LampWidget*, kIndicatorCount> lamps_{};
    std::array<ReadoutWidget*, kReadoutCount> readouts_{};
    std::array<QLineEdit*, kOverrideCount> overrides_{};
};

} // namespace morvik
