// The operator interface as the machine document hands it out. It passes every call on to the
// user interface's own and knows two things the status cycle needs:
//   - whether the station is busy: an operation is waiting on the card, or a modal window of
//     the operator's is open (a message, a question, a file dialog). A modal window runs a
//     nested event loop in which the 100 ms tick keeps running; while busy, the tick must not
//     send the card anything that moves the machine or starts a program (StatusCycle);
//   - the messages of an operation: while one runs (CardOperation below), a message is kept
//     and shown only when the outermost operation has ended, so that the operation has
//     unwound (text mode closed, bits kept, flags set) before the operator is asked to click.
#pragma once

#include "machine/OperatorInterface.h"

#include <string>
#include <utility>
#include <vector>

namespace morvik {

class OperatorGate : public IOperatorInterface {
public:
    explicit OperatorGate(IOperatorInterface& ui) : ui_(ui) {}
    OperatorGate(const OperatorGate&) = delete;
    OperatorGate& operator=(const OperatorGate&) = delete;

    void ShowMessageBox(int id, const std::string& detail) override;
    bool AskYesNo(int id, const std::string& detail) override;
    void BeginWaitCursor() override { ui_.BeginWaitCursor(); }
    void EndWaitCursor() override { ui_.EndWaitCursor(); }
    std::optional<std::string> ChooseOpenFile(const std::string& title,
                                              const std::vector<FileFilter>& filters) override;
    std::optional<std::string> ChooseSaveFile(const std::string& title,
                                              const std::vector<FileFilter>& filters,
                                              const std::string& suggestedName) override;
    bool OpenView(ViewKind view) override { return ui_.OpenView(view); }
    void CloseView(ViewKind view) override { ui_.CloseView(view); }
    void ClearView(ViewKind view) override { ui_.ClearView(view); }
    void RetitleView(ViewKind view) override { ui_.RetitleView(view); }
    void AppendToView(ViewKind view, const std::string& text) override {
        ui_.AppendToView(view, text);
    }
    void ShowStatusText(int id) override { ui_.ShowStatusText(id); }

    // True while an operation runs or a modal window is open.
    bool Busy() const { return operations_ > 0 || modal_ > 0; }

    // Used through CardOperation. The end of the outermost operation shows the kept messages.
    void BeginOperation() { ++operations_; }
    void EndOperation();

private:
    class Modal;

    IOperatorInterface& ui_;
    int operations_ = 0;
    int modal_ = 0;
    std::vector<std::pair<int, std::string>> kept_;
};

// One operation that may wait on the card (a mode change, a load, a download, closing): for
// its lifetime the station is busy and its messages wait until it has unwound. Operations
// nest; only the outermost shows the messages.
class CardOperation {
public:
    explicit CardOperation(OperatorGate& gate) : gate_(gate) { gate_.BeginOperation(); }
    ~CardOperation() { gate_.EndOperation(); }
    CardOperation(const CardOperation&) = delete;
    CardOperation& operator=(const CardOperation&) = delete;

private:
    OperatorGate& gate_;
};

} // namespace morvik
