#include "app/Screenshot.h"

#include "app/MorvikApp.h"
#include "operation/CommandIds.h"
#include "operation/MachineOperation.h"
#include "ui/MainFrame.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace morvik {

namespace {

struct TourStep {
    int afterMs; // after the previous step
    std::function<void(MorvikApp&)> action;
};

// Jogs as the operator does from the keyboard: a button pressed without the mouse would be
// let go by the panel's mouse watchdog on the next tick.
void Jog(MorvikApp& app, PanelAction action, bool down) {
    if (MachineOperation* operation = app.Operation())
        down ? operation->JogKeyPressed(action) : operation->JogKeyReleased(action);
}

std::vector<TourStep> Tour(const QString& path) {
    return {
        {500, [](MorvikApp& app) { app.Operation()->Start(); }}, // homes in Home mode
        {300, [](MorvikApp& app) { app.Commands()->Execute(Cmd::ModeJog); }},
        // The keys belong to the active window only.
        {100, [](MorvikApp& app) { app.MainFrame()->activateWindow(); }},
        {300, [](MorvikApp& app) { Jog(app, PanelAction::JogXPlus, true); }},
        {1500, [](MorvikApp& app) { Jog(app, PanelAction::JogXPlus, false); }},
        {300, [](MorvikApp& app) { Jog(app, PanelAction::JogYPlus, true); }},
        {900, [](MorvikApp& app) { Jog(app, PanelAction::JogYPlus, false); }},
        {500, [](MorvikApp& app) { app.Commands()->Execute(Cmd::MachineStatus); }},
        {800,
         [path](MorvikApp& app) {
             const bool saved = app.MainFrame()->grab().save(path, "PNG");
             std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save",
                          path.toLocal8Bit().constData());
             app.RequestTerminate();
         }},
    };
}

void RunStep(MorvikApp& app, std::vector<TourStep> steps, std::size_t index) {
    if (index >= steps.size() || app.Operation() == nullptr)
        return;
    const int delay = steps[index].afterMs;
    QTimer::singleShot(delay, &app, [&app, steps = std::move(steps), index]() mutable {
        steps[index].action(app);
        RunStep(app, std::move(steps), index + 1);
    });
}

} // namespace

void ScheduleScreenshot(MorvikApp& app) {
    const char* path = std::getenv(kScreenshotVariable);
    if (path == nullptr || *path == '\0')
        return;
    RunStep(app, Tour(QString::fromLocal8Bit(path)), 0);
}

} // namespace morvik
