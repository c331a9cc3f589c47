// The station's executable. The whole text after the program name (the arguments joined by
// blanks) names the machine file to open; without one a new machine is created. A part program
// (by its extension, or any file but a machine file handed over by the desktop entry as
// "--desktop-open FILE") opens in an editor window instead. The two libraries are looked for
// beside the executable first.
#include "app/MorvikApp.h"
#include "app/Screenshot.h"
#include "app/SignalCloser.h"
#include "ui/EventLoopWatch.h"

#include <QApplication>
#include <QIcon>

namespace {

// Desktops without an icon theme of their own (a bare X server, a window manager alone) get
// the toolbar's standard icons from the Adwaita theme when it is installed.
void ChooseIconTheme() {
    if (!QIcon::hasThemeIcon("document-new"))
        QIcon::setThemeName("Adwaita");
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ChooseIconTheme();

    morvik::StartupOptions options;
    options.libraryFolder = morvik::ApiLoader::ExecutableFolder();
    morvik::ReadCommandLine(QApplication::arguments(), options);
    morvik::MorvikApp app(options);
    morvik::SignalCloser closer([&app] { app.RequestTerminate(); });
    if (!app.InitInstance())
        return 1;
    morvik::ScheduleScreenshot(app);
    // From here on a tick counts as nested only in a loop deeper than this one.
    morvik::EventLoopWatch::MainLoopAboutToRun();
    return QApplication::exec();
}
