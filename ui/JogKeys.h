// The jog keys: in Jog mode, with the main window active, no popup or modal window open and the
// keyboard focus on the control panel or the main window itself (not on a widget that uses the
// arrows: a list, the preview, a part window, a spin box, a combo box, a text field),
// Left/Right jog X-/X+, Up/Down jog Y+/Y-, and Page Up/Page Down jog Z+/Z-, for as long as the
// key is held. The keys feed the same jog inputs as the
// panel's buttons (MachineOperation::JogKeyPressed), so the same enable rules, steps and
// speeds apply.
//
// The key's auto-repeat (a press and release pair for every repeat) is swallowed; each repeat
// of a held key confirms that the hand is still on it (MachineOperation::JogKeyRepeated), and
// a key whose repeats stop without a release is let go by the tick. A repeat never restarts a
// jog: one stopped while the key stays down (focus lost, Stop, the station busy, the repeats
// late) starts again only with a new press. The control panel owns one JogKeys, installed on the
// application, and lets the keys go from its tick when they may no longer jog (KeysMayJog),
// when a popup opens and when the window loses activation (Forget).
#pragma once

#include "operation/PanelAction.h"

#include <QObject>

#include <optional>
#include <set>

namespace morvik {

class ControlPanel;

class JogKeys : public QObject {
public:
    explicit JogKeys(ControlPanel& panel);

    bool eventFilter(QObject* watched, QEvent* event) override;
    // The panel's window is active, no popup or modal window is open and the keyboard focus is
    // on the panel (not on one of its fields or selectors) or the main window itself: a key
    // press would reach the jog.
    bool KeysMayJog() const;
    bool FocusMayJog(const QWidget* focus) const;
    // Every held key forgotten (its jog bit is released by the caller).
    void Forget() { held_.clear(); }
    // The jog action of a key, or nullopt.
    static std::optional<PanelAction> ActionOfKey(int key);

private:
    bool KeyPressed(int key, bool autoRepeat, Qt::KeyboardModifiers modifiers);
    bool KeyReleased(int key, bool autoRepeat);

    ControlPanel& panel_;
    std::set<int> held_; // the keys whose press started a jog
};

} // namespace morvik
