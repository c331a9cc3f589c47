#include "app/Screenshot.h"

#include "app/MorvikApp.h"
#include "operation/CommandIds.h"
#include "operation/MachineOperation.h"
#include "ui/MainFrame.h"
#include "ui/preview/PreviewWindows.h"

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

void Save(MorvikApp& app, const QString& path) {
    const bool saved = app.MainFrame()->grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save",
                 path.toLocal8Bit().constData());
    app.RequestTerminate();
}

// With a part program: Run mode, the program opened and loaded from its window, the toolpath
// preview beside it, and the program started; the picture is taken while it runs.
std::vector<TourStep> PreviewTour(const QString& path, const QString& program, int runMs) {
    return {
        {500, [](MorvikApp& app) { app.Operation()->Start(); }}, // homes in Home mode
        {300, [](MorvikApp& app) { app.Commands()->Execute(Cmd::ModeRun); }},
        {300, [program](MorvikApp& app) { app.OpenDocumentFile(program); }},
        {300, [](MorvikApp& app) { app.Commands()->Execute(Cmd::Load); }},
        {300, [](MorvikApp& app) { app.Previews().ToggleMachinePreview(); }},
        {300, [](MorvikApp& app) { app.Commands()->Execute(Cmd::Tile); }},
        {300, [](MorvikApp& app) { app.Operation()->Start(); }},
        {runMs, [path](MorvikApp& app) { Save(app, path); }},
    };
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
        {800, [path](MorvikApp& app) { Save(app, path); }},
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
    const char* program = std::getenv(kScreenshotProgramVariable);
    if (program != nullptr && *program != '\0') {
        const char* wait = std::getenv(kScreenshotRunVariable);
        const int runMs = wait != nullptr ? std::atoi(wait) : 0;
        RunStep(app,
                PreviewTour(QString::fromLocal8Bit(path), QString::fromLocal8Bit(program),
                            runMs > 0 ? runMs : kDefaultRunMs),
                0);
        return;
    }
    RunStep(app, Tour(QString::fromLocal8Bit(path)), 0);
}

} // namespace morvik
