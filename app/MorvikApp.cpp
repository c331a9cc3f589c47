#include "app/MorvikApp.h"

#include "app/CommandContext.h"
#include "app/RecoveryStore.h"
#include "app/StationTelemetry.h"
#include "app/TickObservers.h"
#include "controller/StringTable.h"
#include "dialogs/ValidationMessage.h"
#include "machine/Machine.h"
#include "operation/LinuxJoystick.h"
#include "operation/MachineOperation.h"
#include "settings/AtomicFile.h"
#include "settings/UnitTables.h"
#include "ui/ControlPanel.h"
#include "ui/MainFrame.h"
#include "ui/ModalDialogs.h"
#include "ui/PartDocuments.h"
#include "ui/QtOperatorInterface.h"
#include "ui/preview/PreviewWindows.h"

#include <QApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QThread>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

#include <filesystem>
#include <utility>

namespace morvik {

namespace {

// The oldest library version the station works with, written digit after digit.
constexpr int kRequiredVersion[] = {4, 0, 0};
// The platform's prompts and messages for documents.
constexpr const char* kSaveChangesPrompt = "Save changes to %1?";
constexpr const char* kFailedToOpen = "Failed to open document.";
constexpr const char* kFailedToSave = "Failed to save document.";
// Setup > Open.
constexpr const char* kOpenMachineTitle = "Open Machine";
constexpr const char* kMachineFilter = "Machine Files (*.mch);;All Files (*)";
// Asked at start-up for each recovery copy left by a signal or a logout.
constexpr const char* kRecoverPrompt = "Recover unsaved changes from %1?";
// How often a termination waits for open modal dialogs to return.
constexpr int kTerminateRetryMs = 10;
// More modal dialogs than this are never open on top of each other.
constexpr int kMaxModalDialogs = 16;

// A setup dialog's field that does not validate is reported in the station's own boxes, so
// the boxes of the whole station go through one seam (ModalDialogs).
void ShowValidationBox(QWidget* dialog, const QString& text) {
    ModalDialogs().Inform(dialog, kMessageCaption, text, BoxIcon::Warning);
}

} // namespace

std::string CommandLineText(const QStringList& arguments) {
    return arguments.mid(1).join(' ').toStdString();
}

bool HasPartProgramExtension(const std::string& path) {
    const QString suffix = "." + QFileInfo(QString::fromStdString(path)).suffix().toLower();
    for (const char* extension : kPartProgramExtensions) {
        if (suffix == QLatin1String(extension))
            return true;
    }
    return false;
}

void ReadCommandLine(const QStringList& arguments, StartupOptions& options) {
    // Started from the desktop's menu the entry passes no file: a new machine, as without one.
    if (arguments.size() > 1 && arguments[1] == QLatin1String(kDesktopOpenOption)) {
        const std::string path = arguments.mid(2).join(' ').toStdString();
        const bool machine = QFileInfo(QString::fromStdString(path)).suffix().toLower() == "mch";
        (machine || path.empty() ? options.commandLine : options.partProgram) = path;
        return;
    }
    options.commandLine = CommandLineText(arguments);
}

QString LibraryVersionMessage(const char* libraryName) {
    QString text = "This application requires version ";
    for (int digit : kRequiredVersion)
        text += QString::number(digit);
    return text + "\nor later of the " + libraryName + "!";
}

MorvikApp::MorvikApp(StartupOptions options)
    : options_(std::move(options)),
      frameTarget_(CommandOwner::MainFrame, [this] { return Context(); }),
      appTarget_(CommandOwner::Application, [this] { return Context(); }) {
    // A part program named as the machine file ("Open with" of an older desktop entry) must
    // never become the machine: Setup > Save would write machine sections into the G-code.
    if (options_.partProgram.empty() && HasPartProgramExtension(options_.commandLine))
        options_.partProgram = std::exchange(options_.commandLine, std::string());
    if (options_.recoveryFolder.empty())
        options_.recoveryFolder = RecoveryStore::DefaultFolder();
    idleTimer_.setInterval(0);
    connect(&idleTimer_, &QTimer::timeout, this, [this] {
        if (!OnIdle())
            idleTimer_.stop();
    });
}

MorvikApp::~MorvikApp() {
    idleTimer_.stop();
    CloseMachineDocument();
    // The main window goes before the operator interface its views were opened through, and
    // tells this object nothing more on its way.
    if (frame_ != nullptr) {
        disconnect(frame_->MdiArea(), nullptr, this, nullptr);
        frame_->SetTickHandler(nullptr);
        frame_->SetCloseHandler(nullptr);
    }
    previews_.reset(); // closes the preview windows, stops their planning
    parts_.reset();    // closes the part program windows without asking
    frame_.reset();
    SetValidationMessageHook(nullptr);
}

bool MorvikApp::InitInstance() {
    BuildUnitTables();
    SetValidationMessageHook(ShowValidationBox);
    // The unit-system names "ENGLISH" and "METRIC" are built into the machine model.
    if (!LoadLibraries())
        return false;
    if (!CreateMainFrame())
        return false;
    if (!OpenMachineDocument(options_.commandLine))
        return false;
    frame_->SetDropHandler([this](const QString& path) { OpenDocumentFile(path); });
    frame_->show();
    frame_->repaint();
    frame_->StartPeriodicWork();
    if (operation_ != nullptr)
        operation_->SelectHome();
    if (!options_.partProgram.empty())
        parts_->OpenFile(QString::fromStdString(options_.partProgram));
    OfferRecovery();
    WatchSession();
    UpdatePass();
    return true;
}

void MorvikApp::WatchSession() {
#if QT_CONFIG(sessionmanager)
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (!CommitData(manager.allowsInteraction()))
            manager.cancel();
        manager.release();
    });
#endif
}

bool MorvikApp::LoadLibraries() {
    if (loader_.LoadController(options_.libraryFolder) != kLoadOk) {
        ModalDialogs().Inform(nullptr, kLibraryCaption,
                              LibraryVersionMessage(kControllerLibraryTitle), BoxIcon::Critical);
        return false;
    }
    if (loader_.LoadDialog(options_.libraryFolder) != kLoadOk) {
        ModalDialogs().Inform(nullptr, kLibraryCaption, LibraryVersionMessage(kDialogLibraryTitle),
                              BoxIcon::Critical);
        return false;
    }
    return true;
}

bool MorvikApp::CreateMainFrame() {
    frame_ = std::make_unique<CMainFrame>();
    if (!frame_->Create()) {
        frame_.reset();
        return false;
    }
    currentControlPanel = frame_->Panel();
    ui_ = std::make_unique<QtOperatorInterface>(*frame_);
    parts_ = std::make_unique<CPartDocuments>(*frame_->MdiArea(), frame_.get());
    parts_->SetOperationSource([this] { return operation_.get(); });
    telemetry_ = std::make_unique<StationTelemetry>(frame_->Settings().Path(),
                                                    options_.clock ? *options_.clock : steadyClock_,
                                                    *frame_->statusBar());
    connect(parts_.get(), &CPartDocuments::WindowsChanged, frame_.get(), &CMainFrame::UpdateTitle);
    previews_ = std::make_unique<preview::CPreviewWindows>(*frame_->MdiArea(), *parts_);
    previews_->SetMachineSource([this] { return machine_.get(); });
    ui_->SetWindowOpened([this](QMdiSubWindow& window) {
        if (previews_ != nullptr)
            previews_->Adopt(window);
    });
    InstallCommands();
    frame_->SetTickHandler([this] { Tick(); });
    frame_->SetCloseHandler([this] { return CanCloseMainFrame(); });
    connect(frame_->MdiArea(), &QMdiArea::subWindowActivated, this, &MorvikApp::OnWindowActivated);
    return true;
}

void MorvikApp::InstallCommands() {
    router_ = new CommandRouter(*frame_, [this] { return RoutingPath(); });
    router_->SetAfterCommand([this] { UpdatePass(); });
    router_->Install();
}

// False only when the card cannot be opened (the machine has told the operator why).
bool MorvikApp::OpenMachineDocument(const std::string& path,
                                    std::optional<MachineOpenCheck> checked) {
    IClock& clock = options_.clock != nullptr ? *options_.clock : steadyClock_;
    // The card is always opened with controller id 0, as the machine document does; the
    // "ControllerID" of the settings file is only kept and written back.
    machine_ = std::make_unique<CMachine>(loader_.Api(), clock, *ui_);
    if (!machine_->Connect()) {
        machine_.reset();
        return false;
    }
    const bool opened = path.empty() ? machine_->OnNewDocument()
                        : checked    ? machine_->OnOpenChecked(path, *checked)
                                     : machine_->OnOpenDocument(path);
    if (!opened) {
        // A file the operator chose not to open as a new machine, or one the machine refused
        // with its own message, needs no second message.
        if (!machine_->OpenReported())
            ReportOpenFailure(path);
        machine_.reset();   // closes the card again
        telemetry_->Stop(); // no machine to publish: the last one is left offline
        return true;
    }
    if (options_.joystick == nullptr)
        systemJoystick_ = std::make_unique<LinuxJoystick>();
    IJoystick& joystick = options_.joystick != nullptr ? *options_.joystick : *systemJoystick_;
    operation_ = std::make_unique<MachineOperation>(*machine_, joystick);
    currentControlPanel->SetOperation(operation_.get());
    observers_ = std::make_unique<TickObservers>(TickObservers::Station{
        *machine_, *operation_, *currentControlPanel, *ui_, *previews_, *telemetry_, *frame_});
    return true;
}

CommandContext MorvikApp::Context() {
    return CommandContext{*this, *frame_, operation_.get(), machine_.get()};
}

// The active window's view first (when it handles commands itself: a part program window's
// editor), then the previews (View > Toolpath for an editor's own preview), the main window and
// the application. The documents and the document windows
// have no handlers of their own; the editor hands its document's commands to CPartDocuments.
std::vector<ICommandTarget*> MorvikApp::RoutingPath() {
    std::vector<ICommandTarget*> path;
    if (QMdiSubWindow* window = frame_->ActiveWindow()) {
        if (auto* view = dynamic_cast<ICommandTarget*>(window->widget()))
            path.push_back(view);
    }
    path.push_back(previews_.get()); // an editor's preview, while its editor is active
    path.push_back(&frameTarget_);
    path.push_back(&appTarget_);
    return path;
}

void MorvikApp::OnWindowActivated() {
    QMdiSubWindow* window = frame_->ActiveWindow();
    MenuKind kind = MenuKind::Main;
    if (window != nullptr)
        kind = CMainFrame::KindOf(window) == DocumentKind::Machine ? MenuKind::Machine
                                                                   : MenuKind::PartProgram;
    router_->SetMenuKind(kind);
    UpdatePass();
}

bool MorvikApp::ControllerTextPending() const {
    return operation_ != nullptr && operation_->ControllerTextPending();
}

bool MorvikApp::OnIdle() {
    // Qt has no idle processing of its own that asks for more time.
    if (operation_ == nullptr || !operation_->ControllerTextPending())
        return false;
    return operation_->IdleDrain();
}

void MorvikApp::Tick() {
    if (currentControlPanel != nullptr)
        currentControlPanel->StatusTick();
    UpdatePass();
    if (ControllerTextPending() && !idleTimer_.isActive())
        idleTimer_.start();
}

void MorvikApp::UpdatePass() {
    if (router_ == nullptr)
        return;
    router_->UpdateActions();
    MachineOperation* operation = operation_.get();
    currentControlPanel->UpdateEnabled(
        [operation](int id) { return ControlEnabled(operation, id); });
}

// ---- Closing ----

bool MorvikApp::CanCloseMainFrame() {
    if (documentsClosed_)
        return true;
    // Before any save prompt: the axes may be moving under a program that closing aborts, or
    // still braking after a jog. A signal closes regardless (the process ends either way).
    if (promptOnClose_ &&
        !(KeepRunningProgram(msg::ClosingStopsRunningProgram) && JoggingStoppedForClose()))
        return false;
    if (promptOnClose_ && !(parts_->SaveAllModified() && SaveModified()))
        return false;
    // The operator has answered for every document: copies of a logout that did not happen
    // would only offer stale work at the next start.
    if (promptOnClose_)
        ForgetRecoveryCopies();
    parts_->CloseAll();
    CloseMachineDocument();
    return true;
}

bool MorvikApp::KeepRunningProgram(int question) {
    if (operation_ == nullptr || !operation_->Program().ProgramRunning())
        return true;
    return ModalDialogs().AskYesNo(frame_.get(), kMessageCaption,
                                   QString::fromStdString(MessageText(question)));
}

bool MorvikApp::JoggingStoppedForClose() {
    return operation_ == nullptr || operation_->StopJoggingBeforeClose();
}

bool MorvikApp::SaveModified() {
    if (machine_ == nullptr || !machine_->IsModified())
        return true;
    const QString prompt =
        QString(kSaveChangesPrompt).arg(QString::fromStdString(machine_->GetTitle()));
    switch (ModalDialogs().AskYesNoCancel(frame_.get(), kMessageCaption, prompt)) {
    case BoxAnswer::Yes:
        return SaveMachine(SaveKind::Save);
    case BoxAnswer::No:
        return true;
    case BoxAnswer::Cancel:
        break;
    }
    return false;
}

void MorvikApp::CloseMachineDocument() {
    if (documentsClosed_)
        return;
    documentsClosed_ = true;
    DropMachineDocument();
    // Every exit ends here: the shop is told the station went offline.
    if (telemetry_ != nullptr)
        telemetry_->Stop();
}

void MorvikApp::DropMachineDocument() {
    idleTimer_.stop();
    if (frame_ != nullptr)
        frame_->PeriodicTimer().stop();
    if (operation_ != nullptr) {
        // A held jog must not outlive the station: release it and stop every jogging axis.
        // Whoever could refuse the close has already waited for the axes (JoggingStoppedForClose);
        // from here the document closes whatever the card says, so nobody is told "the machine
        // stays in Jog mode".
        operation_->ReleaseAllJogButtons();
        if (machine_->State().Mode() == MachineMode::Jog)
            operation_->Jog().ExitAndWait(0);
    }
    if (ui_ != nullptr)
        ui_->CloseAllViews();
    if (previews_ != nullptr)
        previews_->CloseAll();
    if (currentControlPanel != nullptr)
        currentControlPanel->SetOperation(nullptr);
    observers_.reset(); // telemetry's observer with the others
    operation_.reset();
    if (machine_ != nullptr)
        machine_->Shutdown();
    machine_.reset();
}

void MorvikApp::RequestTerminate() {
    // Before anything closes: what the operator has not saved must survive the signal.
    if (!terminating_)
        WriteRecoveryCopies();
    terminating_ = true;
    promptOnClose_ = false;
    // Each open modal dialog returns as if cancelled; the close waits until they have.
    for (int guard = 0; guard < kMaxModalDialogs; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->close())
            break;
    }
    TerminateWhenUnwound();
}

void MorvikApp::TerminateWhenUnwound() {
    if (QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(kTerminateRetryMs, this, [this] { TerminateWhenUnwound(); });
        return;
    }
    if (frame_ != nullptr)
        frame_->close();
    QCoreApplication::quit();
}

bool MorvikApp::CommitData(bool mayAsk) {
    if (documentsClosed_)
        return true;
    // Asked as File > Exit asks: the logout ends the station, and with it the running program
    // or the braking of a jogged axis; No (or an axis the card did not confirm) cancels it.
    if (mayAsk)
        return KeepRunningProgram(msg::ClosingStopsRunningProgram) && JoggingStoppedForClose() &&
               parts_->SaveAllModified() && SaveModified();
    WriteRecoveryCopies();
    return true;
}

// ---- Recovery copies ----

int MorvikApp::WriteRecoveryCopies() {
    RecoveryStore store(options_.recoveryFolder);
    // Copies written before (a logout that may not ask, then the signal that ends the session)
    // are replaced, so that the next start offers each document once.
    ForgetRecoveryCopies();
    int written = 0;
    for (CPart* part : parts_ != nullptr ? parts_->Parts() : std::vector<CPart*>()) {
        if (!part->IsModified())
            continue;
        const CPart::RecoveryText text = part->Recovery();
        RecoveryCopy copy{RecoveryCopy::Kind::PartProgram,
                          part->Path().toStdString(),
                          part->Title().toStdString(),
                          text.bytes.toStdString(),
                          {},
                          text.encoding.toStdString()};
        if (store.Write(copy)) {
            recoveryFiles_.push_back(copy.file);
            ++written;
        }
    }
    if (machine_ != nullptr && machine_->IsModified()) {
        const std::optional<std::string> text = machine_->SetupText(machine_->GetPathName());
        RecoveryCopy copy{RecoveryCopy::Kind::Machine,
                          machine_->GetPathName(),
                          machine_->GetTitle(),
                          text.value_or(std::string()),
                          {},
                          {}};
        if (text && store.Write(copy)) {
            recoveryFiles_.push_back(copy.file);
            ++written;
        }
    }
    return written;
}

void MorvikApp::ForgetRecoveryCopies() {
    for (const std::string& file : recoveryFiles_) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
    }
    recoveryFiles_.clear();
}

void MorvikApp::OfferRecovery() {
    const RecoveryStore store(options_.recoveryFolder);
    for (const RecoveryCopy& copy : store.Pending()) {
        const QString question = QString(kRecoverPrompt).arg(QString::fromStdString(copy.Name()));
        switch (ModalDialogs().AskYesNoCancel(frame_.get(), kMessageCaption, question)) {
        case BoxAnswer::Yes:
            if (RestoreCopy(copy))
                store.Remove(copy);
            break;
        case BoxAnswer::No:
            store.Remove(copy);
            break;
        case BoxAnswer::Cancel:
            break;
        }
    }
}

bool MorvikApp::RestoreCopy(const RecoveryCopy& copy) {
    if (copy.kind == RecoveryCopy::Kind::PartProgram)
        return parts_->Restore(QByteArray::fromStdString(copy.bytes),
                               QString::fromStdString(copy.path),
                               QString::fromStdString(copy.encoding),
                               QString::fromStdString(copy.title)) != nullptr;
    // A machine copy needs the machine document; without one it waits for the next start.
    if (machine_ == nullptr)
        return false;
    const std::string setup = copy.file + ".mch";
    if (!WriteFileAtomically(setup, copy.bytes, kPrivateFileMode))
        return false;
    machine_->RestoreSetup(setup, copy.path, copy.title);
    std::error_code ec;
    std::filesystem::remove(setup, ec);
    return true;
}

// ---- Application commands ----

bool MorvikApp::SaveMachine(SaveKind kind) {
    if (machine_ == nullptr)
        return false;
    const bool usesDialog = kind == SaveKind::SaveAs || machine_->GetPathName().empty();
    const bool saved = kind == SaveKind::Save ? machine_->SaveCommand() : machine_->SaveAs();
    if (saved) {
        ui_->RetitleViews();
        return true;
    }
    if (!(usesDialog && ui_->LastFileDialogCancelled()))
        ReportSaveFailure();
    return false;
}

bool MorvikApp::OpenMachine() {
    if (terminating_ || documentsClosed_)
        return false;
    const auto path =
        ModalDialogs().ChooseOpenFile(frame_.get(), kOpenMachineTitle, kMachineFilter);
    if (!path)
        return false;
    return ReplaceMachine(path->toStdString());
}

void MorvikApp::ReportOpenFailure(const std::string& path) {
    ModalDialogs().Inform(frame_.get(), kMessageCaption,
                          QString(kFailedToOpen) + "\n" + QString::fromStdString(path),
                          BoxIcon::Warning);
}

bool MorvikApp::ReplaceMachine(const std::string& path) {
    // The old machine closes as at exit: the same question first, and no close while a jogged
    // axis may still be moving.
    if (!KeepRunningProgram(msg::OpeningStopsRunningProgram) || !JoggingStoppedForClose())
        return false;
    // The new file is checked, and asked about, while the current machine still stands: a
    // file that cannot be read, or that the operator declines to open as a new machine,
    // leaves the current machine exactly as it was.
    std::optional<MachineOpenCheck> checked;
    if (machine_ != nullptr) {
        checked = machine_->CheckOpen(path);
        if (*checked == MachineOpenCheck::Refused) {
            if (!machine_->OpenReported())
                ReportOpenFailure(path);
            return false;
        }
    }
    if (!SaveModified())
        return false;
    const bool ticking = frame_->PeriodicTimer().isActive();
    DropMachineDocument(); // the panel shows nothing of the old machine from here
    // Only a card that cannot be opened at all fails here; it has told the operator why.
    OpenMachineDocument(path, checked);
    currentControlPanel->FirstFill();
    if (ticking)
        frame_->PeriodicTimer().start();
    if (operation_ != nullptr)
        operation_->SelectHome();
    frame_->UpdateTitle();
    UpdatePass();
    return operation_ != nullptr;
}

void MorvikApp::ReportSaveFailure() {
    // The file that could not be written, which after a failed Save As is not the document's.
    const std::string& path =
        machine_->LastSavePath().empty() ? machine_->GetPathName() : machine_->LastSavePath();
    ModalDialogs().Inform(frame_.get(), kMessageCaption,
                          QString(kFailedToSave) + "\n" + QString::fromStdString(path),
                          BoxIcon::Warning);
}

void MorvikApp::ShowAbout() {
    const KelvDlgTable& dialog = loader_.Dialog();
    if (dialog.KELVDLG_AboutBox != nullptr)
        dialog.KELVDLG_AboutBox(nullptr, kLibraryCaption, 0);
    // The stand-in library draws nothing: its text is shown in a box of the station's own.
    if (dialog.KELVDLG_AboutText != nullptr)
        ModalDialogs().Inform(frame_.get(), kLibraryCaption,
                              QString::fromUtf8(dialog.KELVDLG_AboutText()), BoxIcon::Information);
}

void MorvikApp::PrintSetup() {
    parts_->PrintSetup();
}

void MorvikApp::OpenDocumentFile(const QString& path) {
    parts_->OpenFile(path);
}

} // namespace morvik
