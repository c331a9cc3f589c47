// The control panel on a new machine on the simulated card: the card is reached through the
// loader from the build's bin folder as the station reaches it, its time follows the station's
// sleeps and the test's ticks (SimClock), and every call the station makes lands in the card's
// trace. The panel is shown offscreen inside a window, and that window is the active one, as it is
// while the operator works it. Ticks are run by calling the panel's StatusTick, never by waiting.
#pragma once

#include "cardsim/KelvSim.h"
#include "machine/Machine.h"
#include "operation/MachineOperation.h"
#include "settings/UnitTables.h"
#include "support/FakeJoystick.h"
#include "support/RecordingOperator.h"
#include "support/SimCardFixture.h"
#include "ui/ControlPanel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace morvik::test {

class PanelOnCard : public SimCardFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ConnectMachine(ui, Trace::On));
        ASSERT_TRUE(machine->OnNewDocument()); // a new machine's files land in the folder
        // The panel sits in a window of its own, as it sits along the main window's edge.
        window = std::make_unique<QWidget>();
        panel = new ControlPanel(window.get());
        op = std::make_unique<MachineOperation>(*machine, joystick);
        panel->SetOperation(op.get());
        op->Events().Attach(*panel); // as the station wires it (app/TickObservers.cpp)
        window->show();
        QApplication::setActiveWindow(window.get());
        panel->FirstFill();
        TraceSinceLast();
    }
    void TearDown() override {
        panel->SetOperation(nullptr);
        op.reset();
        machine.reset();
        window.reset();
        SimCardFixture::TearDown();
    }

    // 100 ms pass on the card, then the main window's tick; n times.
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            clock->Advance(100);
            panel->StatusTick();
        }
    }

    // The update pass as the main window runs it: the facade decides every control.
    void UpdateEnabled() {
        panel->UpdateEnabled([this](int id) { return ControlEnabled(op.get(), id); });
    }

    void HomeMachine() {
        op->SelectHome();
        op->Start();
        ASSERT_TRUE(machine->State().homed);
    }

    // The binary commands with code sent since the last trace read, as "argument" texts
    // ("1.5"), in order.
    std::vector<std::string> Sent(int code) {
        const std::string key = ", 0, " + std::to_string(code) + ", ";
        std::vector<std::string> arguments;
        for (const std::string& line : TraceSinceLast()) {
            const std::size_t at = line.find(key);
            if (!line.starts_with("dorncmdex(") || at == std::string::npos)
                continue;
            const std::size_t from = at + key.size();
            arguments.push_back(line.substr(from, line.find(", ", from) - from));
        }
        return arguments;
    }

    template <class Widget = QWidget> Widget* Find(int id) const {
        auto* widget = qobject_cast<Widget*>(panel->Control(id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return widget;
    }
    QLineEdit* Edit(int id) const { return Find<QLineEdit>(id); }
    QAbstractButton* Button(int id) const { return Find<QAbstractButton>(id); }

    // Controller axis 1 (the new machine's X) as the card sees it now.
    double XPosition() const {
        double current = 0;
        KelvSimAxisState(1, nullptr, &current, nullptr);
        return current;
    }
    double XVelocity() const {
        double velocity = 0;
        KelvSimAxisState(1, nullptr, nullptr, &velocity);
        return velocity;
    }

    RecordingOperator ui;
    FakeJoystick joystick;
    std::unique_ptr<QWidget> window;
    ControlPanel* panel = nullptr; // owned by window
    std::unique_ptr<MachineOperation> op;
};

// The panel on a card whose X and Y can be jogged: a new machine jogs at 0 speed, so X and Y
// get a scale and the jog a rate (60 in/min) first.
class JoggablePanelOnCard : public PanelOnCard {
protected:
    void SetUp() override {
        PanelOnCard::SetUp();
        for (Axis* axis : {&machine->AxisX(), &machine->AxisY()})
            axis->Scale().Set(unit::Inch, 1000.0);
        JoggingSettings& jog = machine->Jogging();
        jog.maxJogRate.Set(unit::Inch, timeunit::Minute, 60.0);
        jog.jogAccel.Set(unit::Inch, timeunit::Second, 100.0);
        jog.jogDecel.Set(unit::Inch, timeunit::Second, 100.0);
        ASSERT_TRUE(machine->DownloadConfiguration());
    }
};

} // namespace morvik::test
