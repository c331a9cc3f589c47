// What the connection to the card needs of the operator: message boxes by string id and the
// wait cursor. The machine's full operator interface (file dialogs, the machine's windows)
// builds on it in machine/OperatorInterface.h; the Qt layer implements both, tests use a
// recording fake (tests/support/RecordingOperator.h). The core never includes a widget header.
#pragma once

#include <string>

namespace morvik {

class IOperatorMessages {
public:
    virtual ~IOperatorMessages() = default;

    // A modal message box with the string-table text of id (controller/StringTable.h), captioned
    // "Morvik Windows Application". detail, when not empty, is shown on a line of its own below
    // the text (a file name, for instance). Returns when the operator has clicked OK.
    virtual void ShowMessageBox(int id, const std::string& detail) = 0;
    void ShowMessage(int id) { ShowMessageBox(id, std::string()); }
    // A modal question with the text of id and, when not empty, detail on a line below it,
    // answered Yes (true) or No (false); closing the box is No.
    virtual bool AskYesNo(int id, const std::string& detail) = 0;

    // The wait cursor; calls nest, the cursor stays until the last End.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

// RAII for the wait cursor, so that every return path restores it.
class WaitCursor {
public:
    explicit WaitCursor(IOperatorMessages& ui) : ui_(ui) { ui_.BeginWaitCursor(); }
    ~WaitCursor() { ui_.EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    IOperatorMessages& ui_;
};

} // namespace morvik
