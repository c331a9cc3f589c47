// The MDI command line's core: a block the operator gives in MDI mode runs on the card, using
// only commands the card already understands. The block is sent as a program of its own -
// "LOF\r", the program number line "O9999", the block, the end-of-text character, the settle
// time - selected with "RUF-9999\r" and started with cycle start, as Run mode's Start starts a
// part program.
//
// Nothing is sent while the station is busy (an operation waits on the card or a modal window
// is open), outside MDI mode, for an empty line, while an earlier block still runs, or when
// the station's G-code reader refuses the block (MdiBlock); the reason is shown under the
// command line instead.
//
// The loaded part program is not lost: a block takes the card's program store, so the part
// program is marked replaced (MachineState::partReplaced) and Run mode's Start, Block and
// File > Restart send its text again before they run it. The station cannot know how many
// programs a card keeps, so every block counts as replacing.
//
// What the operator sees under the command line (Feedback): each block sent ("> G0 X10"), the
// card's text while in MDI mode (replies, the program's messages; not the echo of the block or
// of the program number the card wraps it in), the end of the block ("Block done") or its
// error with the card's reason, and why a block was not sent. To see
// a part error's reason the card's message output is switched on for the first block and off
// again when MDI mode is left (unless View > Messages wants it on).
//
// The session is a MachineObserver: MachineOperation owns it and attaches it to its events.
// The history of sent blocks follows the machine file (MdiHistory).
#pragma once

#include "operation/MachineObserver.h"
#include "operation/MdiBlock.h"
#include "operation/MdiHistory.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace morvik {

class CMachine;

enum class MdiResult {
    Sent,             // the block was loaded, selected and started
    Empty,            // nothing but blanks: nothing sent, nothing said
    NotInMdiMode,     // nothing sent
    Busy,             // the station was busy: nothing sent
    Refused,          // the G-code reader refused the block: nothing sent
    StillRunning,     // an earlier block still runs: nothing sent
    CardNotAnswering, // a bounded wait ran out (message 34202); the block was abandoned
    NotSelected,      // the card did not select the block: not started
};

class MdiSession : public MachineObserver {
public:
    static constexpr std::int32_t kProgramNumber = 9999;
    static constexpr std::size_t kFeedbackLines = 64;
    static constexpr std::uint32_t kSettleMs = 500;

    explicit MdiSession(CMachine& machine);

    // Enter on the command line.
    MdiResult Send(const std::string& typed);
    // MDI mode was left: the message output goes back to what the program view wants.
    void Left();

    // The history of the machine file's blocks, read from its file on first use.
    const MdiHistory& History();
    // Up and Down on the command line (MdiHistory::Older and Newer).
    std::optional<std::string> RecallOlder(const std::string& typing);
    std::optional<std::string> RecallNewer();

    // The lines under the command line, oldest first, at most kFeedbackLines.
    const std::deque<std::string>& Feedback() const { return feedback_; }
    // Changes whenever the feedback or the history changes, for a view to refresh.
    std::uint64_t Revision() const { return revision_; }

    void OnSnapshot(const MachineSnapshot& snapshot) override;
    void OnModeChanged(MachineMode from, MachineMode to) override;
    void OnPartError(std::uint32_t errorBits, const std::string& reason) override;
    void OnCardText(const std::string& text) override;

private:
    MdiResult Check(const std::string& block);
    MdiResult Run(const std::string& block);
    bool BlockRunning();
    void MessagesOn();
    bool MessagesViewOpen() const;
    void Remember(const std::string& block);
    void EnsureHistory();
    // A line of the station's own under the command line: a message text, then detail.
    void Say(int messageId, const std::string& detail = std::string());
    void AddLine(const std::string& line);
    void CardLineEnded();

    CMachine& machine_;
    MdiHistory history_;
    std::optional<std::string> historyFile_; // the file the history was read from
    std::deque<std::string> feedback_;
    bool lineOpen_ = false; // the last feedback line is card text still being received
    std::uint64_t revision_ = 0;
    bool awaiting_ = false;
    bool messagesSwitchedOn_ = false;
    std::string sentBlock_;      // the last block sent, as its echo comes back
    bool failureSaid_ = false;   // its failure is under the command line
    std::string genericFailure_; // that line, while it holds no reason of the card's
};

} // namespace morvik
