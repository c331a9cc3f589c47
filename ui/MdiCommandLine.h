// The MDI panel's command line, under its word fields: the operator types a block (or has
// Compose build it from the filled word fields) and presses Enter; the block runs on the card
// through MachineOperation::SendMdiBlock. Up and Down walk the history of sent blocks; under
// the line stand the card's modes in force (one line of codes, from each tick's snapshot: they
// carry from block to block), what the card and the station said about the blocks, and the
// history itself (an entry activated, by double click or Enter, is put back on the line).
//
// The widget shows and sends; the session (MdiSession) holds the lines and the history. The
// line comes and goes with the MDI panel, so it is not attached to the machine's events
// itself: MdiLineFeed (an observer wired with the others) finds the open line, gives it the
// operation (SetOperation) and shows it each snapshot and mode change; every one refreshes the
// enabled state (MachineOperation's rule for the MDI controls) and, when the session changed,
// the texts. Without an operation the line is disabled and sends nothing.
#pragma once

#include "machine/MachineState.h"
#include "operation/MdiBlock.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace morvik {

class MachineOperation;
struct MachineSnapshot;

class MdiCommandLine : public QWidget {
public:
    using WordSource = std::function<std::vector<MdiBlock::Word>()>;

    // words gives the panel's filled word fields in their order, for Compose.
    explicit MdiCommandLine(WordSource words, QWidget* parent = nullptr);
    ~MdiCommandLine() override;

    // The operation the line sends to and shows (null: none, the line is disabled).
    void SetOperation(MachineOperation* operation);
    MachineOperation* Operation() const { return operation_; }

    QLineEdit* Line() const { return line_; }
    QPushButton* ComposeButton() const { return compose_; }
    QPlainTextEdit* FeedbackView() const { return feedback_; }
    QListWidget* HistoryList() const { return history_; }
    // The card's modes in force, one line of codes, as of the last tick.
    QLabel* ModesLine() const { return modes_; }

    // Enter on the line.
    void SendLine();
    // The Compose button: the line becomes the block of the filled word fields.
    void Compose();
    // Enabled state and, when the session changed, the feedback and the history.
    void Refresh();

    // A tick's snapshot: the enabled state, the session and the card's modes in force.
    void ShowSnapshot(const MachineSnapshot& snapshot);
    // The panel is made before the mode becomes MDI: the line is enabled as the mode changes.
    void ModeChanged(MachineMode to);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Recall(bool older);
    void ShowSession(MachineOperation& operation);
    void ShowModes(const MachineSnapshot& snapshot);

    WordSource words_;
    QLineEdit* line_;
    QPushButton* compose_;
    QPlainTextEdit* feedback_;
    QListWidget* history_;
    QLabel* modes_;
    MachineOperation* operation_ = nullptr;
    std::uint64_t shownRevision_ = 0;
    bool shownOnce_ = false;
};

} // namespace morvik
