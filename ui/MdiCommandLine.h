// The MDI panel's command line, under its word fields: the operator types a block (or has
// Compose build it from the filled word fields) and presses Enter; the block runs on the card
// through MachineOperation::SendMdiBlock. Up and Down walk the history of sent blocks; under
// the line stand the card's modes in force (one line of codes, from each tick's snapshot: they
// carry from block to block), what the card and the station said about the blocks, and the
// history itself (an entry activated, by double click or Enter, is put back on the line).
//
// The widget shows and sends; the session (MdiSession) holds the lines and the history. It
// follows the session as an observer of the machine: every snapshot refreshes the enabled
// state (MachineOperation's rule for the MDI controls) and, when the session changed, the
// texts. The operation is found through the source the application sets (SetOperationSource);
// without one the line is disabled and sends nothing.
#pragma once

#include "operation/MachineObserver.h"
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

class MdiCommandLine : public QWidget, public MachineObserver {
public:
    using OperationSource = std::function<MachineOperation*()>;
    using WordSource = std::function<std::vector<MdiBlock::Word>()>;

    // words gives the panel's filled word fields in their order, for Compose.
    explicit MdiCommandLine(WordSource words, QWidget* parent = nullptr);
    ~MdiCommandLine() override;

    // Where every command line finds the machine's operation (the application sets it once).
    static void SetOperationSource(OperationSource source);

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

    void OnSnapshot(const MachineSnapshot& snapshot) override;
    // The panel is made before the mode becomes MDI: the line is enabled as the mode changes.
    void OnModeChanged(MachineMode from, MachineMode to) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static MachineOperation* Operation();
    void Recall(bool older);
    void ShowSession(MachineOperation& operation);
    void ShowModes(const MachineSnapshot& snapshot);

    WordSource words_;
    QLineEdit* line_;
    QPushButton* compose_;
    QPlainTextEdit* feedback_;
    QListWidget* history_;
    QLabel* modes_;
    MachineOperation* attached_ = nullptr;
    std::uint64_t shownRevision_ = 0;
    bool shownOnce_ = false;
};

} // namespace morvik
