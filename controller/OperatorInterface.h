// The one way the core reaches the operator. The Qt layer implements it with message boxes,
// the wait cursor, file dialogs and the text views; tests use a recording fake
// (tests/support/RecordingOperator.h). The core never includes a widget header.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace morvik {

// The windows the machine document opens and refers to; the user interface owns them.
enum class ViewKind { ProgramView, HomingView, MdiPanel, StatusDisplay };

// One filter of a file dialog: the text shown and its pattern, e.g. {"Part Files (*.prt)",
// "*.prt"}.
struct FileFilter {
    std::string description;
    std::string pattern;
};

class IOperatorInterface {
public:
    virtual ~IOperatorInterface() = default;

    // A modal message box with the string-table text of id (controller/StringTable.h), captioned
    // "Morvik Windows Application". detail, when not empty, is shown on a line of its own below
    // the text (a file name, for instance). Returns when the operator has clicked OK.
    virtual void ShowMessageBox(int id, const std::string& detail) = 0;
    void ShowMessage(int id) { ShowMessageBox(id, std::string()); }
    // A question with the string-table text of id and detail below it, answered Yes or No;
    // true for Yes. An operator who cannot be asked (a tool without a screen) answers No.
    virtual bool AskYesNo(int id, const std::string& detail) {
        (void)id;
        (void)detail;
        return false;
    }

    // The wait cursor; calls nest, the cursor stays until the last End.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // File dialogs; nullopt when the operator cancels.
    virtual std::optional<std::string> ChooseOpenFile(const std::string& title,
                                                      const std::vector<FileFilter>& filters) = 0;
    virtual std::optional<std::string> ChooseSaveFile(const std::string& title,
                                                      const std::vector<FileFilter>& filters,
                                                      const std::string& suggestedName) = 0;

    // The four views. Open returns false when the window could not be created. Close of a view
    // that is not open does nothing. The user interface tells the machine document when a view's
    // window is destroyed (CMachine::OnViewDestroyed), whoever destroyed it.
    virtual bool OpenView(ViewKind view) = 0;
    virtual void CloseView(ViewKind view) = 0;
    // Text views only (program view, homing view): clear, and append card or message text.
    virtual void ClearView(ViewKind view) = 0;
    virtual void AppendToView(ViewKind view, const std::string& text) = 0;
};

// RAII for the wait cursor, so that every return path restores it.
class WaitCursor {
public:
    explicit WaitCursor(IOperatorInterface& ui) : ui_(ui) { ui_.BeginWaitCursor(); }
    ~WaitCursor() { ui_.EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    IOperatorInterface& ui_;
};

} // namespace morvik
