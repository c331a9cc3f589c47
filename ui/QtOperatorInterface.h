// The operator interface of the core (machine/OperatorInterface.h) on the Qt station: message
// boxes captioned "Morvik Windows Application" through ModalDialogs, the wait cursor, the file
// dialogs, and the machine document's windows in the main window's document area.
//
// The machine's windows are document windows titled with what they are and the machine
// document's title ("Homing - mill.mch"): the program view (COutputDisplay), the homing view
// (HomingView), the MDI panel (CMDIPanel), the status display (CStatusDisplay) and the
// loaded program's toolpath preview, each made from its row of the window table
// (MachineViewFactory.h). This is their one opener.
//
// Whoever closes a window - the document through CloseView, the operator with its close box or
// its View menu command, the main window going - this object tells the machine document
// (CMachine::OnViewDestroyed) that a window of the core's has gone.
#pragma once

#include "machine/OperatorInterface.h"
#include "ui/ModalDialogs.h"

#include <QPointer>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QMdiSubWindow;
class QWidget;

namespace morvik {

class CMainFrame;
class CTextView;
struct MachineWindowRow;

class QtOperatorInterface : public IOperatorInterface {
public:
    explicit QtOperatorInterface(CMainFrame& frame);
    ~QtOperatorInterface() override;
    QtOperatorInterface(const QtOperatorInterface&) = delete;
    QtOperatorInterface& operator=(const QtOperatorInterface&) = delete;

    // Both lift the wait cursor while the box is up: the operator must see a pointer to click.
    void ShowMessageBox(int id, const std::string& detail) override;
    bool AskYesNo(int id, const std::string& detail) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    std::optional<std::string> ChooseOpenFile(const std::string& title,
                                              const std::vector<FileFilter>& filters) override;
    std::optional<std::string> ChooseSaveFile(const std::string& title,
                                              const std::vector<FileFilter>& filters,
                                              const std::string& suggestedName) override;
    bool OpenView(ViewKind view) override;
    void CloseView(ViewKind view) override;
    void ClearView(ViewKind view) override;
    void AppendToView(ViewKind view, const std::string& text) override;
    void RetitleView(ViewKind) override { RetitleViews(); }
    void ShowStatusText(int id) override;
    // Asked of the event loop itself (EventLoopWatch), whoever opened the window.
    bool InNestedLoop() const override;

    // The window of a view and the view itself, or null while it is not open.
    QMdiSubWindow* ViewWindow(ViewKind view) const;
    QWidget* View(ViewKind view) const;
    // A window's own View menu command (its row's command): its window opened, or closed while it
    // is open; false for an id no window has. Checked while the window is open.
    bool ToggleWindow(int commandId);
    bool WindowOpen(int commandId) const;
    // Told of every window opened, once it is shown (the previews take over their window).
    void SetWindowOpened(std::function<void(QMdiSubWindow&)> opened) {
        opened_ = std::move(opened);
    }
    // Every machine window closed, each telling the document; called as the document closes.
    void CloseAllViews();
    // The windows' titles again, after the document's title changed (Save As) or a view's
    // content did: each says what the window is, then the machine document's title
    // ("Program - mill.mch").
    void RetitleViews();
    // The machine document's unsaved changes, marked in its windows' titles ("Status -
    // mill.mch*") and so in the main window's while one of them is active. The tick tells it
    // (ModifiedMark); the document itself tells nobody.
    void ShowMachineModified(bool modified);
    bool MachineModifiedShown() const { return machineModified_; }
    // Whether the last file dialog was cancelled (a false Save As may be a cancel or a failure).
    bool LastFileDialogCancelled() const { return lastDialogCancelled_; }

    // The filters as a Qt file dialog takes them. "*.*" becomes "*", which matches every file
    // here as "*.*" does on the desktop the files come from.
    static QString FilterString(const std::vector<FileFilter>& filters);

private:
    CTextView* TextView(ViewKind view) const;
    bool Open(const MachineWindowRow& row);
    void Close(const MachineWindowRow& row);
    QMdiSubWindow* Window(const MachineWindowRow* row) const;
    // The operator closed the window (or the main window is going).
    void Forget(const MachineWindowRow* row, const QObject* window);
    static void TellGone(const MachineWindowRow& row);
    void HandOverActivation();

    CMainFrame& frame_;
    struct OpenWindow {
        QPointer<QMdiSubWindow> window;
        // The same window as a plain QObject, for telling it apart while it is being destroyed
        // (reading the QPointer then would treat a bare QObject as a sub-window).
        const QObject* object = nullptr;
        QMetaObject::Connection onDestroyed;
    };
    // Detaches the window from this object and deletes it.
    static void Destroy(OpenWindow& open);

    std::map<const MachineWindowRow*, OpenWindow> windows_;
    // The order the windows were opened in, for their numbers.
    std::vector<const MachineWindowRow*> openOrder_;
    std::function<void(QMdiSubWindow&)> opened_;
    int waitDepth_ = 0;
    bool machineModified_ = false;
    bool lastDialogCancelled_ = false;
    // Where each open-file dialog, by its title, was left ("File Load" starts where the last
    // load found its file, with the filter then in use).
    std::map<std::string, FileDialogPlace> openPlaces_;
};

} // namespace morvik
