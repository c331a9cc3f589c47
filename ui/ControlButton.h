// The panel's action buttons (jog, run, axis zero and the Cut box). Unlike an ordinary button,
// which acts on a click, a control button tells its listener the moment the left mouse button
// goes down on it and the moment it comes up, before the button's own handling: a jog button
// moves its axis exactly while it is held, and Start acts on the press. Only the mouse works
// them: the space bar, which would click an ordinary button, does nothing here, so a button
// that has the keyboard focus cannot start the machine by accident.
//
// A held button whose release can no longer arrive (it was disabled or hidden while held)
// reports the lost release instead, so that the listener can stop what the press started. When
// the window loses activation the panel calls DropHold itself.
#pragma once

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

namespace morvik {

class ControlButtonListener {
public:
    virtual ~ControlButtonListener() = default;
    virtual void ButtonPressed(int id) = 0;
    // wasChecked: the check state as the button comes up. onButton: the release lands on the
    // button, so a check box is about to change its state.
    virtual void ButtonReleased(int id, bool wasChecked, bool onButton) = 0;
    // The button was held when it was disabled or hidden: its release will never come.
    virtual void ButtonReleaseLost(int id) = 0;
};

template <class Button> class BasicControlButton : public Button {
public:
    BasicControlButton(int id, const QString& caption, ControlButtonListener& listener,
                       QWidget* parent = nullptr)
        : Button(caption, parent), id_(id), listener_(listener) {}

    int Id() const { return id_; }
    bool IsHeld() const { return held_; }
    // Forgets a press whose release is lost (the window was deactivated while it was held);
    // the caller stops whatever the press started.
    void DropHold() {
        held_ = false;
        this->setDown(false);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            held_ = true;
            listener_.ButtonPressed(id_);
            if (!held_) { // the press action took the window away (a message box): not down
                event->accept();
                return;
            }
        }
        Button::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && held_) {
            held_ = false;
            listener_.ButtonReleased(id_, this->isChecked(),
                                     this->hitButton(event->position().toPoint()));
        }
        Button::mouseReleaseEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (IsActivationKey(event))
            event->ignore();
        else
            Button::keyPressEvent(event);
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        if (IsActivationKey(event))
            event->ignore();
        else
            Button::keyReleaseEvent(event);
    }
    void changeEvent(QEvent* event) override {
        Button::changeEvent(event);
        if (event->type() == QEvent::EnabledChange && !this->isEnabled())
            LoseHold();
    }
    void hideEvent(QHideEvent* event) override {
        Button::hideEvent(event);
        LoseHold();
    }

private:
    static bool IsActivationKey(const QKeyEvent* event) {
        return event->key() == Qt::Key_Space || event->key() == Qt::Key_Select;
    }
    void LoseHold() {
        if (!held_)
            return;
        DropHold();
        listener_.ButtonReleaseLost(id_);
    }

    int id_;
    ControlButtonListener& listener_;
    bool held_ = false;
};

extern template class BasicControlButton<QPushButton>;
extern template class BasicControlButton<QCheckBox>;

// A push button of the panel: Start, Blk/Blk, F. Hold, the six jog buttons, X, Y, Z, S.
class ControlButton final : public BasicControlButton<QPushButton> {
public:
    using BasicControlButton::BasicControlButton;
};

// The Cut box: a check box that reports press and release like a control button.
class ControlCheckBox final : public BasicControlButton<QCheckBox> {
public:
    using BasicControlButton::BasicControlButton;
};

} // namespace morvik
