#include "app/Screenshot.h"

#include "app/MorvikApp.h"
#include "operation/CommandIds.h"
#include "operation/MachineOperation.h"
#include "ui/ControlPanel.h"
#include "ui/MainFrame.h"
#include "ui/MdiCommandLine.h"
#include "ui/PanelControls.h"
#include "ui/QtOperatorInterface.h"
#include "ui/preview/PreviewWindows.h"
#include "ui/preview/ToolpathWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
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

void Grab(MorvikApp& app, const QString& path) {
    const bool saved = app.MainFrame()->grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save",
                 path.toLocal8Bit().constData());
}

void Save(MorvikApp& app, const QString& path) {
    Grab(app, path);
    app.RequestTerminate();
}

// Types a block on the MDI panel's command line and presses Enter, as the operator does. The
// line is found by its control name (the command line widget has no meta-object of its own).
void SendMdi(MorvikApp& app, const QString& block) {
    auto* edit =
        app.MainFrame()->findChild<QLineEdit*>(ControlPanel::ControlName(control::kMdiCommandLine));
    MdiCommandLine* line = nullptr;
    for (QWidget* w = edit; w != nullptr && line == nullptr; w = w->parentWidget())
        line = dynamic_cast<MdiCommandLine*>(w);
    if (line == nullptr) {
        std::fprintf(stderr, "no MDI command line\n");
        return;
    }
    edit->setText(block);
    line->SendLine();
}

// With a part program: Run mode, the program opened and loaded from its window, the toolpath
// preview beside it, and the program started; the picture is taken while it runs.
std::vector<TourStep> PreviewTour(const QString& path, const QString& program, int runMs) {
    return {
        {500, [](MorvikApp& app) { app.Operation()->Start(); }}, // homes in Home mode
        {300, [](MorvikApp& app) { app.Commands()->Execute(Cmd::ModeRun); }},
        {300, [program](MorvikApp& app) { app.OpenDocumentFile(program); }},
        {300, [](MorvikApp& app) { app.Commands()->Execute(Cmd::Load); }},
        {300, [](MorvikApp& app) { app.Operator()->ToggleWindow(Cmd::ViewToolpath); }},
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

// The file dialog, once it is open, answered with path as an operator would answer it: the
// name typed into its name field (selectFile alone leaves the field empty while the dialog
// still reads its folder), then Open. Looked for again every 100 ms while it is not up yet.
void PickFile(const QString& path, int triesLeft = 50) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        if (dialog == nullptr || !dialog->isVisible())
            continue;
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name == nullptr)
            break;
        name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept"); // the Open button
        return;
    }
    if (triesLeft > 0)
        QTimer::singleShot(100, [path, triesLeft] { PickFile(path, triesLeft - 1); });
}

// The README's tour, one picture per step into folder: started, homed, jogged (and the front
// picture, front, with the status display open), the sample program loaded, half run, half run
// with the toolpath preview beside it, then stopped and an MDI block sent.
std::vector<TourStep> FirstHourTour(const QString& folder, const QString& front,
                                    const QString& program, int runMs) {
    const QDir dir(folder);
    auto shot = [dir](const char* name) {
        return
            [path = dir.filePath(QString::fromLatin1(name))](MorvikApp& app) { Grab(app, path); };
    };
    auto command = [](Cmd::Id id) { return [id](MorvikApp& app) { app.Commands()->Execute(id); }; };
    auto jog = [](PanelAction action, bool down) {
        return [action, down](MorvikApp& app) { Jog(app, action, down); };
    };
    return {
        // The whole virtual screen, so that the tiled windows have room beside the panel.
        {0,
         [](MorvikApp& app) {
             if (const QScreen* screen = QGuiApplication::primaryScreen())
                 app.MainFrame()->setGeometry(screen->availableGeometry());
         }},
        {1000, shot("tour-1-start.png")},
        {100, [](MorvikApp& app) { app.Operation()->Start(); }}, // homes in Home mode
        {1500, shot("tour-2-home.png")},
        {100, command(Cmd::ModeJog)},
        // The keys belong to the active window only.
        {100, [](MorvikApp& app) { app.MainFrame()->activateWindow(); }},
        {300, jog(PanelAction::JogXPlus, true)},
        {1500, jog(PanelAction::JogXPlus, false)},
        {300, jog(PanelAction::JogYPlus, true)},
        {900, jog(PanelAction::JogYPlus, false)},
        {300, jog(PanelAction::JogZMinus, true)},
        {500, jog(PanelAction::JogZMinus, false)},
        {800, shot("tour-3-jog.png")},
        {100, command(Cmd::MachineStatus)},
        {800, [front](MorvikApp& app) { Grab(app, front); }},
        {100, command(Cmd::MachineStatus)}, // closed again
        {300, command(Cmd::ModeRun)},
        // File > Load as the operator does it: the command is posted, since the dialog runs an
        // event loop of its own until it is answered, and the answer is scheduled first.
        {300,
         [program](MorvikApp& app) {
             QTimer::singleShot(800, [program] { PickFile(program); });
             QTimer::singleShot(0, &app, [&app] { app.Commands()->Execute(Cmd::Load); });
         }},
        {800, shot("tour-4-load.png")},
        {100, [](MorvikApp& app) { app.Operation()->Start(); }},
        {runMs, shot("tour-5-run.png")},
        {100, [](MorvikApp& app) { app.Operator()->ToggleWindow(Cmd::ViewToolpath); }},
        {300, command(Cmd::Tile)},
        // The isometric view shows the levels apart, so the part already cut stands out.
        {100,
         [](MorvikApp& app) {
             if (preview::CToolpathWindow* window = app.Previews().MachinePreview())
                 window->View().SetViewKind(preview::CViewKind::Iso);
         }},
        {1500, shot("tour-6-preview.png")},
        {100, [](MorvikApp& app) { app.Operation()->StopAll(); }},
        {100,
         [](MorvikApp& app) { app.Operator()->ToggleWindow(Cmd::ViewToolpath); }}, // closed again
        {1500, command(Cmd::ModeMdi)},
        {500, command(Cmd::Tile)},
        {300, [](MorvikApp& app) { SendMdi(app, QStringLiteral("G0 X20 Y10")); }},
        {2500, [](MorvikApp& app) { SendMdi(app, QStringLiteral("G1 Z-1 F200")); }},
        {2500, [](MorvikApp& app) { SendMdi(app, QStringLiteral("G0 Z20")); }},
        {1500, shot("tour-7-mdi.png")},
        {100, [](MorvikApp& app) { app.RequestTerminate(); }},
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
    const char* tour = std::getenv(kScreenshotTourVariable);
    if (tour != nullptr && *tour != '\0') {
        if (program == nullptr || *program == '\0') {
            std::fprintf(stderr, "the tour needs %s\n", kScreenshotProgramVariable);
            app.RequestTerminate();
            return;
        }
        const char* wait = std::getenv(kScreenshotRunVariable);
        const int runMs = wait != nullptr ? std::atoi(wait) : 0;
        RunStep(app,
                FirstHourTour(QString::fromLocal8Bit(tour), QString::fromLocal8Bit(path),
                              QString::fromLocal8Bit(program),
                              runMs > 0 ? runMs : kDefaultTourRunMs),
                0);
        return;
    }
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
