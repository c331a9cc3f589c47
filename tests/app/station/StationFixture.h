// The whole station started in-process against the simulated card: the libraries are loaded
// from the build's bin folder as the executable loads them from its own, the card's time
// follows the station's sleeps and the test's ticks (SimClock), message boxes and file dialogs
// are recorded instead of shown, the settings file lies in a fresh XDG folder and a new
// machine's controller files in a fresh working folder. The 100 ms timer is stopped after
// start-up: ticks are run by calling the main window's tick, never by waiting.
#pragma once

#include "app/MorvikApp.h"
#include "cardsim/KelvSim.h"
#include "machine/Machine.h"
#include "operation/CommandIds.h"
#include "operation/MachineOperation.h"
#include "settings/TempFolder.h"
#include "support/FakeJoystick.h"
#include "support/SimClock.h"
#include "ui/ControlPanel.h"
#include "ui/MainFrame.h"
#include "ui/QtOperatorInterface.h"
#include "ui/TextView.h"
#include "ui/shell/ConfigFolder.h"
#include "ui/shell/RecordingDialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace morvik::test {

class StationOnCard : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::current_path(work.Path());
        KelvSimReset();
        clock = std::make_unique<SimClock>();
        trace = work.File("card.trace");
        KelvSimSetTraceFile(trace.c_str());
    }
    void TearDown() override {
        app.reset();
        KelvSimSetTraceFile(nullptr);
        clock.reset();
        KelvSimReset();
        std::filesystem::current_path(saved_);
    }

    // Start-up with the given command line (a station started before is closed first); the
    // periodic timer is stopped afterwards (whether it was running is kept in timerStarted).
    bool Start(const std::string& commandLine = "") {
        app.reset();
        std::ofstream(trace, std::ios::trunc); // the trace of this start only
        StartupOptions options;
        options.libraryFolder = MORVIK_BIN_DIR;
        options.commandLine = commandLine;
        options.clock = clock.get();
        options.joystick = &joystick;
        app = std::make_unique<MorvikApp>(options);
        const bool started = app->InitInstance();
        if (CMainFrame* frame = app->MainFrame()) {
            timerStarted = frame->PeriodicTimer().isActive();
            frame->PeriodicTimer().stop();
            QApplication::setActiveWindow(frame);
        }
        return started;
    }

    CMainFrame& Frame() { return *app->MainFrame(); }
    CMachine& Machine() { return *app->Machine(); }
    MachineOperation& Operation() { return *app->Operation(); }
    ControlPanel& Panel() { return *app->currentControlPanel; }
    CommandRouter& Commands() { return *app->Commands(); }

    // 100 ms pass on the card, then the main window's tick; n times.
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            clock->Advance(100);
            Frame().TimerTick();
        }
    }

    QAbstractButton* Button(int id) { return dynamic_cast<QAbstractButton*>(Panel().Control(id)); }
    void Press(int id) { QTest::mousePress(Button(id), Qt::LeftButton); }
    void Release(int id) { QTest::mouseRelease(Button(id), Qt::LeftButton); }

    CTextView* TextView(ViewKind view) {
        return dynamic_cast<CTextView*>(app->Operator()->View(view));
    }

    // Start in Home mode, then ticks until the homing macro ran to its end.
    void Home() {
        Press(control::kStart);
        Release(control::kStart);
        for (int i = 0; i < 600 && !Machine().State().homed; ++i)
            Ticks(1);
        ASSERT_TRUE(Machine().State().homed);
    }

    // The card's trace lines, without ready polls.
    std::vector<std::string> Trace() const {
        std::ifstream in(trace);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("dornrdy", 0) != 0)
                lines.push_back(line);
        }
        return lines;
    }
    bool TraceHas(const std::string& text) const {
        for (const std::string& line : Trace()) {
            if (line.find(text) != std::string::npos)
                return true;
        }
        return false;
    }

    ConfigFolder config;
    RecordingDialogs dialogs;
    TempFolder work;
    FakeJoystick joystick;
    std::unique_ptr<SimClock> clock;
    std::string trace;
    std::unique_ptr<MorvikApp> app;
    bool timerStarted = false;

private:
    std::filesystem::path saved_ = std::filesystem::current_path();
};

} // namespace morvik::test
