// The control panel's information strip, below the Run buttons: the Homing and Homed lamps, the
// switch between machine and work coordinates for the readouts, the "Set work zero" buttons
// for X, Y and Z (touch-off in Jog mode), the mode (with dry run and block skip while on),
// the running program's progress, the commanded spindle speed beside the measured one and the
// message line.
//
// It shows what MachineInfo announced last (MachineInfoTexts, through the panel, an observer)
// and holds nothing of the machine; its buttons send their control ids to the panel, which hands
// them to the facade, and the panel's update pass enables them. Each button is named "ctl" + its id
// like the panel's own controls.
#pragma once

#include "operation/MachineInfoTexts.h"

#include <QWidget>

#include <functional>
#include <map>
#include <vector>

class QLabel;
class QPushButton;

namespace morvik {

class LampWidget;

class MachineInfoStrip : public QWidget {
public:
    // send: a button's click, by control id.
    MachineInfoStrip(std::function<void(int)> send, QWidget* parent = nullptr);

    // The texts as MachineInfo announced them.
    void Show(const MachineInfoTexts& texts);
    // The coordinates switch checked while the readouts show work coordinates.
    void CheckCoordinates(bool workReadouts);
    // Each button enabled as isEnabled(id) says.
    void UpdateEnabled(const std::function<bool(int)>& isEnabled);

    // The buttons' control ids, and the button with an id (or null).
    const std::vector<int>& ControlIds() const { return ids_; }
    QPushButton* Button(int id) const;

    bool HomedLit() const;
    bool HomingLit() const;
    QString Message() const;
    QString Mode() const;
    QString Progress() const;
    QString Spindle() const;

private:
    QPushButton* AddButton(int id, const QString& caption);

    std::function<void(int)> send_;
    LampWidget* homing_ = nullptr;
    LampWidget* homed_ = nullptr;
    QLabel* mode_ = nullptr;
    QLabel* progress_ = nullptr;
    QLabel* spindle_ = nullptr;
    QLabel* message_ = nullptr;
    std::map<int, QPushButton*> buttons_;
    std::vector<int> ids_;
};

} // namespace morvik
