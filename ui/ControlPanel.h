// The control panel: the operator's console fixed along the left edge of the main window. Four
// position readouts with their axis buttons, six status lamps, the feed, rapid and spindle
// override fields with their arrows, the jog pad with the Cut box, the spindle buttons and the
// run buttons Start, Blk/Blk and F. Hold, laid out from the panel's form (PanelTemplate) in
// dialog units of the panel's 8-point font; below them the information strip (homed lamps,
// coordinates switch, touch-off, progress, commanded spindle speed, message line).
//
// The panel shows state and sends commands; it decides nothing itself. It is an observer of the
// machine (attached where the station wires its observers, app/TickObservers.h): each snapshot
// lights its lamps and writes its readouts, and the information strip shows the texts
// MachineInfo announces. The override fields and jog selectors show the facade's values when
// the panel decides (its first fill, after its own commands), never on the tick. The buttons
// and fields send their actions to the facade; whether a control is enabled comes from the
// main window's one update pass through UpdateEnabled. Without a machine (no facade set) every
// action and tick does nothing.
//
// Who calls what:
//   main window       FirstFill once after it is shown, StatusTick every 100 ms,
//                     UpdateEnabled from its update pass
//   control buttons   ButtonPressed / ButtonReleased on the mouse going down and up
//   override fields   OverrideEditFinished on Enter or when the keyboard focus leaves a
//                     field (only when it was edited); Esc puts the value in force back.
//                     A field takes the keyboard only when clicked into.
//   override arrows   OverrideArrow on each line up / line down (held arrows repeat)
//   machine events    OnSnapshot on every tick, OnInfoTexts when the strip's texts change
//
// Safety: a jog button moves its axis only while it is held. When a held jog button is
// disabled or hidden, or the window loses activation (a message box, another application),
// or a popup opens (a menu opened from the keyboard takes the mouse), its release would never
// arrive, so the panel tells the facade to release every jog button. Every tick also checks,
// before the status cycle, that the left mouse button is still down and no popup is open;
// otherwise the jogs are let go (a watchdog that needs no release event). The button's state
// is asked of the window system where it can be (X11: the X server, PointerProbe.h), since Qt's
// own state only knows the events that arrived; where it cannot, a button jog stops after a
// few seconds unless pressed again (JogHoldWatch.h), and the message line says why.
//
// The jog keys (JogKeys) follow the same rules: the tick lets them go while they may not jog
// (another window active, a popup or modal window, the keyboard focus anywhere but on the
// panel or the main window itself), as does losing activation, and once the key's auto-repeat
// stops confirming it; the mouse watchdog lets go of the buttons only.
//
// The jog pad is laid out for the machine (operation/JogPad.h): a mill's as the form has it, a
// lathe's turned to Z across and X up, without the buttons of axes that are not on the card.
// It follows the machine as it is set (SetOperation) and as the setup dialogs change it (the
// update pass), and the jog keys follow the same pad.
//
// Each control is a child widget named "ctl" + its id (e.g. "ctl1075"), found with Control(id).
//
// The form's size is the panel's smallest; a taller panel (a larger main window) scales the
// whole form and its font with its height, up to kMaxScale, and widens itself to match, so the
// readouts and buttons grow with the window instead of staying a strip in one corner.
#pragma once

#include "operation/JogPad.h"
#include "operation/MachineObserver.h"
#include "operation/PanelFields.h"
#include "ui/ControlButton.h"
#include "ui/DialogUnits.h"
#include "ui/JogKeys.h"
#include "ui/PanelControls.h"
#include "ui/PanelTemplate.h"
#include "ui/PointerProbe.h"

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <utility>
#include <vector>

class QComboBox;
class QLineEdit;

namespace morvik {

class LampWidget;
class MachineInfoStrip;
class MachineOperation;
class ReadoutWidget;

class ControlPanel : public QWidget, public MachineObserver, private ControlButtonListener {
public:
    explicit ControlPanel(QWidget* parent = nullptr);
    ~ControlPanel() override;

    // The facade that receives the panel's actions; null while there is no machine. Set back
    // to null before the facade is destroyed: a button can still report a lost release. Setting
    // it (or null) shows nothing of the machine before it: lamps dark, readouts empty.
    void SetOperation(MachineOperation* operation);
    MachineOperation* Operation() const { return operation_; }

    // Once, after the main window is shown: the large font for the axis buttons, the override
    // texts from the machine's overrides, everything pushed to the widgets.
    void FirstFill();
    // The main window's 100 ms tick: the jog watchdog, then the facade's status cycle, whose
    // snapshot this panel is shown as an observer; the jog selectors follow the facade (the
    // override fields are left alone: the operator may be typing in one).
    virtual void StatusTick();

    // The facade's values -> widgets: the jog selectors, the coordinates switch and the override
    // fields; a field that has the keyboard focus is never overwritten.
    void PushToWidgets();

    // ---- Observer of the machine ----
    // The lamps and readouts of the snapshot (SnapshotTexts.h).
    void OnSnapshot(const MachineSnapshot& snapshot) override;
    // The information strip's texts.
    void OnInfoTexts(const MachineInfoTexts& texts) override;
    // What the lamps and readouts show now.
    bool LampLit(Indicator which) const;
    QString ReadoutText(Readout which) const;

    // The update pass: each command control (buttons, override fields, arrows) enabled as
    // isEnabled(id) says.
    void UpdateEnabled(const std::function<bool(int)>& isEnabled);

    // Enter in an override field, or the field left: when it was edited, its text read,
    // clamped, shown and sent (a text that is not a number is refused and the value in force
    // shown again).
    void OverrideEditFinished(OverrideField field);
    // Esc in an override field: the value in force shown again, nothing sent.
    void RestoreOverrideField(OverrideField field);
    // One step of an override's arrows: lines > 0 up (one percent each), < 0 down.
    void OverrideArrow(OverrideField field, int lines);

    // Every held jog key let go; it jogs again only when pressed again.
    void ReleaseKeyJogs();
    JogKeys& Keys() { return *jogKeys_; }
    // Where the tick's watchdog asks for the left mouse button (LeftButtonNow by default);
    // tests put a platform of their choice in its place.
    void SetPointerProbe(std::function<PointerButton()> probe) { pointerProbe_ = std::move(probe); }

    // The jog pad as the panel shows it now: the machine's, or a mill's while there is none.
    const JogPad& Pad() const { return pad_; }

    // The control with this id, or null.
    QWidget* Control(int id) const;
    // The information strip below the Run buttons (MachineInfoStrip.h).
    MachineInfoStrip& InfoStrip() const { return *infoStrip_; }
    static QString ControlName(int id);
    const DialogUnits& Units() const { return units_; }
    // The panel's font with its pixel height multiplied by 2.5, truncated.
    static QFont LargeFontFor(const QFont& panelFont);

    static constexpr double kMaxScale = 2.5;
    // How much larger than the form the panel is drawn now (1 at the form's size).
    double Scale() const { return scale_; }
    // Where the form puts a control at the present scale.
    QRect ScaledRect(const QRect& formRect) const;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Installed on the application while a jog button is held: a popup shown lets it go.
    class PopupWatch : public QObject {
    public:
        explicit PopupWatch(ControlPanel& panel);
        bool eventFilter(QObject* watched, QEvent* event) override;

    private:
        ControlPanel& panel_;
    };

    void ButtonPressed(int id) override;
    void ButtonReleased(int id, bool wasChecked, bool onButton) override;
    void ButtonReleaseLost(int id) override;

    void Build();
    void BuildInfoStrip(int& bottom);
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
    QWidget* CreateChoice(const PanelItem& item);
    // The window lost activation: every held button forgotten, every jog button released.
    void DropAllHolds();
    // Every held jog button and key forgotten and released.
    void DropJogHolds();
    // Every held jog button forgotten and released; the keys stay.
    void DropJogButtonHolds();
    // The tick's watchdog: button jogs let go unless the left mouse button is down, key jogs
    // unless the keys may jog, both while a popup is open.
    void ReleaseLostJogs();
    // Every control placed and the fonts sized for scale.
    void ApplyScale(double scale);
    // The jog buttons placed on the machine's pad (a mill's without a machine); a button the pad
    // leaves off is hidden, which lets go of it if it was held.
    void ArrangeJogPad();
    // The jog selectors and the coordinates switch as the facade has them.
    void ShowSelectors();
    void ShowNothing();

    MachineOperation* operation_ = nullptr;
    PopupWatch popupWatch_;
    DialogUnits units_;
    QFont largeFont_;
    std::map<int, QWidget*> controls_;
    std::vector<int> commandIds_; // the controls the update pass enables and disables
    std::vector<BasicControlButton<QPushButton>*> pushButtons_;
    ControlCheckBox* cutBox_ = nullptr;
    JogKeys* jogKeys_ = nullptr;
    QComboBox* incrementBox_ = nullptr;
    QComboBox* speedBox_ = nullptr;
    std::array<LampWidget*, kIndicatorCount> lamps_{};
    std::array<ReadoutWidget*, kReadoutCount> readouts_{};
    std::array<QLineEdit*, kOverrideCount> overrides_{};
    MachineInfoStrip* infoStrip_ = nullptr;
    std::function<PointerButton()> pointerProbe_ = LeftButtonNow;
    // Every widget of the form with its rectangle at scale 1, and the form's size.
    std::vector<std::pair<QWidget*, QRect>> placed_;
    QSize formSize_;
    // The pad's places at scale 1, where the form puts a mill's buttons.
    std::array<QRect, kJogPadPlaceCount> padPlaces_{};
    JogPad pad_ = MillJogPad();
    double scale_ = 1.0;
    bool filled_ = false;
};

} // namespace morvik
