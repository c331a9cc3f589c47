#include "ui/JogKeys.h"

#include "operation/MachineOperation.h"
#include "ui/ControlPanel.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace morvik {

namespace {

// A widget of the panel's that uses the arrow and Page keys itself (a text field, a selector,
// the override arrows): they belong to it.
bool UsesArrows(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) != nullptr ||
           qobject_cast<const QTextEdit*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractSlider*>(widget) != nullptr ||
           qobject_cast<const QAbstractItemView*>(widget) != nullptr ||
           widget->testAttribute(Qt::WA_InputMethodEnabled);
}

bool IsPopupShown(QObject* watched, QEvent* event) {
    return event->type() == QEvent::Show && watched->isWidgetType() &&
           static_cast<QWidget*>(watched)->windowType() == Qt::Popup;
}

} // namespace

JogKeys::JogKeys(ControlPanel& panel) : QObject(&panel), panel_(panel) {}

std::optional<JogPadPlace> JogKeys::PlaceOfKey(int key) {
    switch (key) {
    case Qt::Key_Left:
        return JogPadPlace::Left;
    case Qt::Key_Right:
        return JogPadPlace::Right;
    case Qt::Key_Up:
        return JogPadPlace::Up;
    case Qt::Key_Down:
        return JogPadPlace::Down;
    case Qt::Key_PageUp:
        return JogPadPlace::ColumnUp;
    case Qt::Key_PageDown:
        return JogPadPlace::ColumnDown;
    default:
        return std::nullopt;
    }
}

std::optional<PanelAction> JogKeys::ActionOfKey(int key) const {
    const std::optional<JogPadPlace> place = PlaceOfKey(key);
    return place ? panel_.Pad().At(*place) : std::nullopt;
}

bool JogKeys::KeysMayJog() const {
    return panel_.window()->isActiveWindow() && QApplication::activePopupWidget() == nullptr &&
           QApplication::activeModalWidget() == nullptr && FocusMayJog(QApplication::focusWidget());
}

// Only the panel and the main window itself give the keys to the jog: every other widget that
// can hold the keyboard (lists, the preview, part windows, the machine's windows, spin boxes,
// combo boxes) may use the arrows for itself.
bool JogKeys::FocusMayJog(const QWidget* focus) const {
    const QWidget* window = panel_.window();
    if (focus == nullptr || focus == window)
        return true;
    if (const auto* frame = qobject_cast<const QMainWindow*>(window);
        frame != nullptr && focus == frame->centralWidget())
        return true;
    return (focus == &panel_ || panel_.isAncestorOf(focus)) && !UsesArrows(focus);
}

bool JogKeys::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        return KeyPressed(key->key(), key->isAutoRepeat(), key->modifiers());
    }
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        return KeyReleased(key->key(), key->isAutoRepeat());
    }
    default:
        // A popup takes the keyboard: the release would go to it.
        if (!held_.empty() && IsPopupShown(watched, event))
            panel_.ReleaseKeyJogs();
        return false;
    }
}

// A press taken here is swallowed, so it reaches the jog once however many objects Qt shows
// it to; a press the jog does not take goes on as usual.
bool JogKeys::KeyPressed(int key, bool autoRepeat, Qt::KeyboardModifiers modifiers) {
    MachineOperation* operation = panel_.Operation();
    if (autoRepeat) {
        // The hand is still on the key: the jog it holds may go on (JogHoldWatch.h).
        const auto held = held_.find(key);
        if (held == held_.end())
            return false;
        if (operation != nullptr)
            operation->JogKeyRepeated(held->second);
        return true;
    }
    const std::optional<PanelAction> action = ActionOfKey(key);
    if (!action)
        return false;
    if (operation == nullptr || (modifiers & ~Qt::KeypadModifier) != 0 || !KeysMayJog() ||
        !operation->IsActionEnabled(*action))
        return false;
    held_[key] = *action;
    operation->JogKeyPressed(*action);
    return true;
}

bool JogKeys::KeyReleased(int key, bool autoRepeat) {
    const auto held = held_.find(key);
    if (held == held_.end())
        return false;
    if (autoRepeat)
        return true;
    const PanelAction action = held->second;
    held_.erase(held);
    if (MachineOperation* operation = panel_.Operation())
        operation->JogKeyReleased(action);
    return true;
}

} // namespace morvik
