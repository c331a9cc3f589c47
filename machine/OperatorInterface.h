// The one way the machine document and the operation layer reach the operator: the messages
// and wait cursor of the connection (controller/OperatorMessages.h), the two file dialogs, and
// the machine's windows. The Qt layer implements it (ui/QtOperatorInterface); tests use a
// recording fake (tests/support/RecordingOperator.h).
#pragma once

#include "controller/OperatorMessages.h"
#include "machine/ViewKind.h"

#include <optional>
#include <string>
#include <vector>

namespace morvik {

// One filter of a file dialog: the text shown and its pattern, e.g. {"Part Files (*.prt)",
// "*.prt"}.
struct FileFilter {
    std::string description;
    std::string pattern;
};

class IOperatorInterface : public IOperatorMessages {
public:
    // File dialogs; nullopt when the operator cancels.
    virtual std::optional<std::string> ChooseOpenFile(const std::string& title,
                                                      const std::vector<FileFilter>& filters) = 0;
    virtual std::optional<std::string> ChooseSaveFile(const std::string& title,
                                                      const std::vector<FileFilter>& filters,
                                                      const std::string& suggestedName) = 0;

    // The machine's windows. Open returns false when the window could not be created. Close of
    // a view that is not open does nothing. The user interface tells the machine document when
    // a view's window is destroyed (CMachine::OnViewDestroyed), whoever destroyed it.
    virtual bool OpenView(ViewKind view) = 0;
    virtual void CloseView(ViewKind view) = 0;
    // Text views only (program view, homing view): clear, and append card or message text.
    virtual void ClearView(ViewKind view) = 0;
    virtual void AppendToView(ViewKind view, const std::string& text) = 0;
    // A view now shows something else (the program view switched between the executed blocks
    // and the program's messages): its window's title follows. Nothing where titles are not
    // shown.
    virtual void RetitleView(ViewKind) {}
    // A short note in the main window's status bar (message id): it asks for no click and
    // stays until something else is shown there. Nothing where there is no status bar.
    virtual void ShowStatusText(int) {}
    // True while the code runs inside an event loop nested in the station's own: a modal
    // window (a message, a question, a setup, file or print dialog, whoever opened it), a
    // menu or another popup is up, or some call runs a loop of its own. A status tick that
    // runs now runs inside that loop. Never where there are no such windows.
    virtual bool InNestedLoop() const { return false; }
};

} // namespace morvik
