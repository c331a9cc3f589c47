// The operator interface of the core (controller/OperatorInterface.h) on the Qt station: message
// boxes captioned "Morvik Windows Application" through ModalDialogs, the wait cursor, the file
// dialogs, and the machine document's windows in the main window's document area.
//
// The machine's windows are document windows titled with the machine document's title (with
// ":1", ":2", ... while it has more than one): the homing view (HomingView), the status display
// (CStatusDisplay), the program view (COutputDisplay) and the MDI panel (CMDIPanel), the last
// two made by CreateMachineViewWidget.
//
// Whoever closes a window - the document through CloseView or the operator with its close box
// - its destruction tells the machine document (CMachine::OnViewDestroyed): every one of the
// four views does so from its own destructor, so this object only forgets the window.
#pragma once

#include "controller/OperatorInterface.h"

#include <QPointer>

#include <map>
#include <string>
#include <vector>

class QMdiSubWindow;
class QWidget;

namespace morvik {

class CMainFrame;
class CTextView;

class QtOperatorInterface : public IOperatorInterface {
public:
    explicit QtOperatorInterface(CMainFrame& frame);
    ~QtOperatorInterface() override;
    QtOperatorInterface(const QtOperatorInterface&) = delete;
    QtOperatorInterface& operator=(const QtOperatorInterface&) = delete;

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

    // The window of a view and the view itself, or null while it is not open.
    QMdiSubWindow* ViewWindow(ViewKind view) const;
    QWidget* View(ViewKind view) const;
    // Every machine window closed, each telling the document; called as the document closes.
    void CloseAllViews();
    // The windows' titles again, after the document's title changed (Save As).
    void RetitleViews();
    // Whether the last file dialog was cancelled (a false Save As may be a cancel or a failure).
    bool LastFileDialogCancelled() const { return lastDialogCancelled_; }

    // The filters as a Qt file dialog takes them. "*.*" becomes "*", which matches every file
    // here as "*.*" does on the desktop the files come from.
    static QString FilterString(const std::vector<FileFilter>& filters);

private:
    QWidget* CreateView(ViewKind view);
    CTextView* TextView(ViewKind view) const;
    void Forget(ViewKind view, QMdiSubWindow* window);

    CMainFrame& frame_;
    struct OpenWindow {
        QPointer<QMdiSubWindow> window;
        QMetaObject::Connection onDestroyed;
    };
    // Detaches the window from this object and deletes it.
    static void Destroy(OpenWindow& open);

    std::map<ViewKind, OpenWindow> windows_;
    // The order the windows were opened in, for their numbers.
    std::vector<ViewKind> openOrder_;
    int waitDepth_ = 0;
    bool lastDialogCancelled_ = false;
};

} // namespace morvik
