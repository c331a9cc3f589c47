// The application object: there is one, created by main() beside the QApplication, and it lives
// for the whole process. It starts the station in a fixed order (InitInstance), drains the
// card's text while the event loop is idle, owns the application's part of the command table
// and the routing of commands and the part program documents (CPartDocuments), and closes the
// station (prompting for unsaved documents, or not at all when a signal asks it to end).
//
// Start-up, in this order:
//   1. the unit tables; 2. the unit-system names ("ENGLISH", "METRIC", built in);
//   3. (the recently used list is kept by each document);
//   4. the controller library, 5. the dialog library - either failing shows the version
//      message captioned "Morvik" and ends start-up;
//   6. the document kinds; 7. the main window (settings file, placement, bars, control panel)
//      with its menus and toolbar from the command table; 8. it becomes the main window;
//   9. the machine document, invisibly: the machine file named by the command line, or a new
//      machine "Machine1"; a file that cannot be opened is reported and the station runs on
//      without a machine document;
//  10. dropped files accepted; 11. the main window shown; 12. the panel's first fill and the
//      100 ms timer; 13. Home mode when there is a machine.
#pragma once

#include "app/CommandRouter.h"
#include "controller/ApiLoader.h"
#include "controller/Clock.h"
#include "machine/MachineOpenCheck.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace morvik {

class CMachine;
class CMainFrame;
class ControlPanel;
class CPartDocuments;
class IJoystick;
class MachineOperation;
class QtOperatorInterface;
struct RecoveryCopy;
namespace preview {
class CPreviewWindows;
}
class StationTelemetry;
class TickObservers;

struct StartupOptions {
    // Where the two libraries are looked for first (the executable's folder).
    std::string libraryFolder;
    // The whole text after the program name: the machine file to open; empty: a new machine.
    // A name with a part program's extension (PartProgramExtensions) is a part program
    // instead: it opens in an editor window beside a new machine.
    std::string commandLine;
    // A part program to open in an editor window once the station is up.
    std::string partProgram;
    // Where the recovery copies are kept; empty: RecoveryStore::DefaultFolder().
    std::string recoveryFolder;
    IClock* clock = nullptr;       // null: the steady clock
    IJoystick* joystick = nullptr; // null: joystick 0 of the system
};

// The command line as the station reads it: the whole text after the program name, the
// arguments joined by blanks (a machine file whose path has blanks need not be quoted).
std::string CommandLineText(const QStringList& arguments);

// The extensions that make a file a part program wherever it comes from.
inline constexpr const char* kPartProgramExtensions[] = {".prt", ".ngc", ".nc", ".tap", ".gcode"};
bool HasPartProgramExtension(const std::string& path);

// The desktop entry starts the station as "morvik --desktop-open FILE": a machine file
// (".mch") is opened as the machine, any other file as a part program in an editor window.
inline constexpr const char* kDesktopOpenOption = "--desktop-open";
// Fills commandLine and partProgram from the process arguments: the desktop's form above, or
// else the whole text after the program name (a part program by its extension).
void ReadCommandLine(const QStringList& arguments, StartupOptions& options);

// The start-up failure message of a library ("Kelv API" or "Kelv Dialogs").
QString LibraryVersionMessage(const char* libraryName);

class MorvikApp : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kLibraryCaption = "Morvik";
    static constexpr const char* kControllerLibraryTitle = "Kelv API";
    static constexpr const char* kDialogLibraryTitle = "Kelv Dialogs";

    explicit MorvikApp(StartupOptions options);
    // Closes the documents (no prompt) if that has not happened, then the main window.
    ~MorvikApp() override;
    MorvikApp(const MorvikApp&) = delete;
    MorvikApp& operator=(const MorvikApp&) = delete;

    // Start-up; false when the process should end at once (no window then stays open).
    bool InitInstance();

    // One step of the idle handler: one batch of the card's text while some is pending; true
    // while it wants to be called again before the loop waits for input.
    bool OnIdle();
    // One tick of the main window's timer: the panel's status tick, then the update pass, then
    // the idle drain is started if the card has more text.
    void Tick();
    // The one update pass: menu items, toolbar buttons and the panel's controls.
    void UpdatePass();

    // ---- Closing ----
    // The main window is closing: while a part program runs the operator is told first that
    // closing aborts it (No keeps the station open); in Jog mode every axis is stopped and
    // waited for, and one the card does not confirm keeps the station open (34216, it may still
    // be moving); then unsaved documents, the part programs
    // first and the machine last, are offered for saving ("Save changes to %1?"); Cancel, or a save
    // that did not happen, keeps the station open. Then the part programs are closed and the
    // machine document last. True when the window may close.
    bool CanCloseMainFrame();
    // SIGTERM, SIGINT, SIGHUP: every modified document is first written to a recovery copy
    // (WriteRecoveryCopies); then the station closes as File > Exit would, without prompting.
    // Open modal dialogs are dismissed first; the close itself waits until they have returned.
    void RequestTerminate();
    // The session manager's commit-data request (the desktop logs out): when the station may
    // ask, it asks as File > Exit does (a running program first, 34208; a jogged axis the card
    // does not confirm stopped refuses, 34216; then the unsaved documents) and false means the
    // logout is cancelled; when it may not, the modified documents go to recovery copies.
    bool CommitData(bool mayAsk);
    // Each modified part program and a modified machine, written aside; the number written.
    int WriteRecoveryCopies();
    // At start-up: "Recover unsaved changes from %1?" for each copy; Yes restores it as a
    // modified document, No removes it, Cancel keeps it for the next start.
    void OfferRecovery();
    // The machine document's windows closed, a held jog stopped, the card left safe and the
    // document gone (CMachine::Shutdown).
    void CloseMachineDocument();

    // ---- Application commands ----
    enum class SaveKind { Save, SaveAs };
    // Setup > Save and Save As; a file that could not be written is reported. True when saved.
    bool SaveMachine(SaveKind kind);
    // Setup > Open: a machine file chosen in the "Open Machine" dialog replaces the current
    // machine as start-up opens one (a running program is asked about first, 34215, and No
    // keeps everything; a jogged axis the card does not confirm stopped keeps the machine,
    // 34216; a modified machine is offered for saving; Cancel keeps it). The old machine is closed
    // as at exit, the new one opened on the card and put in Home mode; a file that cannot be opened
    // is reported and leaves no machine. True when the new machine is open.
    bool OpenMachine();
    // The same without the dialog.
    bool ReplaceMachine(const std::string& path);
    void ShowAbout();
    // The page setup of the printer the part programs are printed on.
    void PrintSetup();
    // A file dropped on the main window, opened as File > Open would open it.
    void OpenDocumentFile(const QString& path);
    // File > New and File > Open, the part program windows (made with the main window).
    CPartDocuments& Parts() { return *parts_; }
    // View > Toolpath: the preview windows of the loaded program and of the editors.
    preview::CPreviewWindows& Previews() { return *previews_; }

    // ---- Process-wide references ----
    ControlPanel* currentControlPanel = nullptr;
    bool ControllerTextPending() const;

    CMainFrame* MainFrame() const { return frame_.get(); }
    CMachine* Machine() const { return machine_.get(); }
    MachineOperation* Operation() const { return operation_.get(); }
    QtOperatorInterface* Operator() const { return ui_.get(); }
    CommandRouter* Commands() const { return router_; }
    const ApiLoader& Libraries() const { return loader_; }
    QTimer& IdleTimer() { return idleTimer_; }
    // The MQTT publisher of the machine's state and events, with its status bar label.
    StationTelemetry* Telemetry() const { return telemetry_.get(); }

private:
    bool LoadLibraries();
    bool CreateMainFrame();
    void InstallCommands();
    // The machine file at path (empty: a new machine) on the card, with its operation; false
    // only when the card cannot be opened. checked: what CheckOpen already answered for path,
    // so that nothing is asked twice.
    bool OpenMachineDocument(const std::string& path,
                             std::optional<MachineOpenCheck> checked = std::nullopt);
    void ReportOpenFailure(const std::string& path);
    // The machine document's windows closed, a held jog stopped, the card left safe and the
    // document gone; the station itself stays.
    void DropMachineDocument();
    bool RestoreCopy(const RecoveryCopy& copy);
    // Removes the copies this run has written.
    void ForgetRecoveryCopies();
    std::vector<ICommandTarget*> RoutingPath();
    CommandContext Context();
    void OnWindowActivated();
    void WatchSession();
    // A part program runs on the card: question (a Yes/No message id) asked; true when the
    // operator said Yes or nothing runs. Closing or replacing the machine aborts the program.
    bool KeepRunningProgram(int question);
    // The jog stopped and confirmed before the machine document closes (34216 when not).
    bool JoggingStoppedForClose();
    bool SaveModified();
    void ReportSaveFailure();
    void TerminateWhenUnwound();

    StartupOptions options_;
    SteadyClock steadyClock_;
    std::unique_ptr<IJoystick> systemJoystick_;
    ApiLoader loader_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<QtOperatorInterface> ui_;
    std::unique_ptr<CPartDocuments> parts_;
    std::unique_ptr<preview::CPreviewWindows> previews_;
    std::unique_ptr<CMachine> machine_;
    std::unique_ptr<MachineOperation> operation_;
    std::unique_ptr<StationTelemetry> telemetry_;
    // Who follows the tick (the panel, the MDI line, the previews, telemetry), while there is
    // a machine operation.
    std::unique_ptr<TickObservers> observers_;
    CommandRouter* router_ = nullptr;
    TableTarget frameTarget_;
    TableTarget appTarget_;
    QTimer idleTimer_;
    bool documentsClosed_ = false;
    bool promptOnClose_ = true;
    bool terminating_ = false;
    std::vector<std::string> recoveryFiles_; // copies written by this run
};

} // namespace morvik
