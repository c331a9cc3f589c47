// The jog keys: in Jog mode, with the main window active, no popup or modal window open and the
// keyboard focus on the control panel or the main window itself (not on a widget that uses the
// arrows: a list, the preview, a part window, a spin box, a combo box, a text field), each
// key jogs what the button at its place of the panel's jog pad jogs (operation/JogPad.h), for as
// long as the key is held: Left, Right, Up and Down the pad's left, right, top and bottom,
// Page Up and Page Down the column's top and bottom. On a mill that is X-/X+, Y+/Y- and Z+/Z-;
// on a lathe Z-/Z+ and X+/X-, and a key whose place the pad leaves empty (an axis not on the
// card) jogs nothing and goes on to the widget as usual. The keys feed the same jog inputs as
// the panel's buttons (MachineOperation::JogKeyPressed), so the same enable rules, steps and
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

#include "operation/JogPad.h"
#include "operation/PanelAction.h"

#include <QObject>

#include <map>
#include <optional>

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
    // The place of the jog pad a key stands for, or nullopt for any other key.
    static std::optional<JogPadPlace> PlaceOfKey(int key);
    // The jog action of a key on the panel's pad as it is now, or nullopt.
    std::optional<PanelAction> ActionOfKey(int key) const;

private:
    bool KeyPressed(int key, bool autoRepeat, Qt::KeyboardModifiers modifiers);
    bool KeyReleased(int key, bool autoRepeat);

    ControlPanel& panel_;
    // The keys whose press started a jog, with the action they started: the release stops that
    // one even when the pad changed meanwhile.
    std::map<int, PanelAction> held_;
};

} // namespace morvik
