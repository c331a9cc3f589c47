// The operator interface as the machine document hands it out. It passes every call on to the
// user interface's own and knows two things the status cycle needs:
//   - whether the station is busy: an operation is waiting on the card, a modal window the
//     core opened is up, or the user interface reports that the event loop runs nested (any
//     modal window, popup or menu, whoever opened it: InNestedLoop). A nested loop keeps the
//     100 ms tick running; while busy, the tick must not send the card anything that starts or
//     continues motion or starts a program (StatusCycle). Stopping commands are never held
//     back by it;
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
    bool InNestedLoop() const override { return ui_.InNestedLoop(); }

    // True while an operation runs, a modal window of the core's is open or the event loop
    // runs nested: asked afresh on every call, so a window nobody told the gate about counts.
    bool Busy() const { return operations_ > 0 || modal_ > 0 || ui_.InNestedLoop(); }

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
