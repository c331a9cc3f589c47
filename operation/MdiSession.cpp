#include "operation/MdiSession.h"

#include "controller/ControllerCodes.h"
#include "controller/StringTable.h"
#include "controller/Wait.h"
#include "machine/Machine.h"

namespace morvik {

namespace {

// What the check needs of the machine's setup.
MdiCheckSetup CheckSetupOf(CMachine& machine) {
    MdiCheckSetup setup;
    setup.fittedAxes = 0;
    for (std::size_t i = 0; i < machine.Axes().size(); ++i) {
        if (machine.Axes()[i].ControllerAxis() != 0)
            setup.fittedAxes |= static_cast<std::uint8_t>(1u << i);
    }
    setup.toolCount = Tool::kToolCount;
    setup.hOffsetCount = OffsetTable::kEntryCount;
    return setup;
}

} // namespace

MdiSession::MdiSession(CMachine& machine) : machine_(machine) {}

MdiResult MdiSession::Send(const std::string& typed) {
    const std::string block = MdiBlock::Trimmed(typed);
    if (block.empty())
        return MdiResult::Empty;
    const MdiResult checked = Check(block);
    if (checked != MdiResult::Sent)
        return checked;
    WaitCursor busy(machine_.Operator());
    CardOperation operation(machine_.Gate());
    if (BlockRunning()) {
        Say(msg::MdiBlockStillRunning);
        return MdiResult::StillRunning;
    }
    AddLine("> " + block);
    sentBlock_ = block;
    failureSaid_ = false;
    genericFailure_.clear();
    const MdiResult result = Run(block);
    if (result == MdiResult::CardNotAnswering)
        Say(msg::MdiCardNotAnswering);
    if (result == MdiResult::NotSelected)
        Say(msg::MdiBlockNotSelected);
    // On the card whether or not it ran: the operator may want it again.
    if (result == MdiResult::Sent || result == MdiResult::NotSelected)
        Remember(block);
    return result;
}

// The checks that need nothing from the card.
MdiResult MdiSession::Check(const std::string& block) {
    if (machine_.State().Mode() != MachineMode::Mdi) {
        Say(msg::MdiNeedsMdiMode);
        return MdiResult::NotInMdiMode;
    }
    if (machine_.Gate().Busy()) {
        Say(msg::MdiStationBusy);
        return MdiResult::Busy;
    }
    if (const std::string why = MdiBlock::Refusal(block, CheckSetupOf(machine_)); !why.empty()) {
        Say(msg::MdiBlockNotSent, why);
        return MdiResult::Refused;
    }
    return MdiResult::Sent;
}

// The block as a program of its own: loaded, selected, started.
MdiResult MdiSession::Run(const std::string& block) {
    MachineState& state = machine_.State();
    MotionController& card = machine_.Controller();
    awaiting_ = false;
    if (!machine_.AbortStartedProgram())
        return MdiResult::CardNotAnswering;
    MessagesOn();
    // From "LOF" on the card's program store may no longer hold the part program.
    state.partReplaced = true;
    card.SendAscii("LOF\r");
    if (!card.WaitAsciiReady()) {
        card.SendAscii(kEndOfText); // the card must not take later commands as program text
        return MdiResult::CardNotAnswering;
    }
    card.SendAscii("O" + std::to_string(kProgramNumber) + '\n');
    card.SendAscii(block + '\n');
    card.SendAscii(kEndOfText);
    IClock& clock = machine_.Clock();
    SleepUntil(clock, clock.NowMs() + kSettleMs);
    card.SendAscii(AsciiCommand("RUF", -kProgramNumber));
    state.programStarted = true;
    if ((card.ProgramStatus() & psw::Startable) == 0)
        return MdiResult::NotSelected;
    card.CycleStart();
    awaiting_ = true;
    return MdiResult::Sent;
}

bool MdiSession::BlockRunning() {
    return machine_.State().programStarted &&
           (machine_.Controller().ProgramStatus() & psw::RunUnderWay) != 0;
}

// The card tells a part error's reason only with its message output on.
void MdiSession::MessagesOn() {
    if (MessagesViewOpen() || messagesSwitchedOn_)
        return;
    machine_.Controller().SetOutputOption(code::OutputMessages, true);
    messagesSwitchedOn_ = true;
}

bool MdiSession::MessagesViewOpen() const {
    const MachineState& state = machine_.State();
    return state.views.Has(ViewKind::ProgramView) &&
           state.programViewKind == ProgramViewKind::Messages;
}

void MdiSession::Left() {
    awaiting_ = false;
    lineOpen_ = false;
    if (!messagesSwitchedOn_)
        return;
    messagesSwitchedOn_ = false;
    if (!MessagesViewOpen())
        machine_.Controller().SetOutputOption(code::OutputMessages, false);
}

// ---- History -----------------------------------------------------------------------------

void MdiSession::EnsureHistory() {
    const std::string file = MdiHistory::FileFor(machine_.GetPathName());
    if (historyFile_ == file)
        return;
    historyFile_ = file;
    // A machine saved under a new name keeps the blocks of this session unless a history
    // already stands beside the new file.
    if (std::vector<std::string> entries = MdiHistory::Read(file); !entries.empty())
        history_.Assign(std::move(entries));
    ++revision_;
}

const MdiHistory& MdiSession::History() {
    EnsureHistory();
    return history_;
}

std::optional<std::string> MdiSession::RecallOlder(const std::string& typing) {
    EnsureHistory();
    return history_.Older(typing);
}

std::optional<std::string> MdiSession::RecallNewer() {
    EnsureHistory();
    return history_.Newer();
}

void MdiSession::Remember(const std::string& block) {
    EnsureHistory();
    history_.Add(block);
    ++revision_;
    if (!historyFile_->empty() && !MdiHistory::Write(*historyFile_, history_.Entries()))
        Say(msg::MdiHistoryNotSaved, *historyFile_);
}

// ---- What the card says ------------------------------------------------------------------

void MdiSession::OnSnapshot(const MachineSnapshot& snapshot) {
    if (!awaiting_ || snapshot.mode != MachineMode::Mdi || !snapshot.programStatus)
        return;
    if ((*snapshot.programStatus & psw::Finished) != 0) {
        awaiting_ = false;
        Say(msg::MdiBlockDone);
    }
}

void MdiSession::OnModeChanged(MachineMode from, MachineMode to) {
    if (from == MachineMode::Mdi && to != MachineMode::Mdi) {
        awaiting_ = false;
        lineOpen_ = false;
    }
}

void MdiSession::OnPartError(std::uint32_t /*errorBits*/, const std::string& reason) {
    if (machine_.State().Mode() != MachineMode::Mdi)
        return;
    awaiting_ = false;
    if (failureSaid_)
        return; // the card's own reason came first and was said
    Say(msg::MdiBlockFailed, reason);
    failureSaid_ = true;
    genericFailure_ = feedback_.back();
}

// Text arrives in pieces that need not end at a line end: a piece continues the open line.
void MdiSession::OnCardText(const std::string& text) {
    if (machine_.State().Mode() != MachineMode::Mdi)
        return;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            if (lineOpen_)
                CardLineEnded();
            lineOpen_ = false;
            continue;
        }
        if (!lineOpen_) {
            AddLine(std::string());
            lineOpen_ = true;
        }
        feedback_.back() += c;
    }
    ++revision_;
}

// The card sees a block as a program of its own: its number line and the block come back as
// echoes, and a part error names the program's line ("PART ERROR line 2: ..."). The operator
// sees the block once, as typed, and the reason after "Block stopped with an error:".
void MdiSession::CardLineEnded() {
    const std::string line = MdiBlock::Trimmed(feedback_.back());
    if (line == "O" + std::to_string(kProgramNumber) || line == sentBlock_) {
        feedback_.pop_back();
        return;
    }
    const std::size_t colon = line.find(": ");
    if (!line.starts_with(code::PartErrorLine) || colon == std::string::npos)
        return;
    const std::string reason = MessageText(msg::MdiBlockFailed) + " " + line.substr(colon + 2);
    feedback_.back() = reason;
    // A failure said before from the status word alone gives way to the card's reason.
    if (failureSaid_ && !genericFailure_.empty()) {
        for (auto it = feedback_.rbegin() + 1; it != feedback_.rend(); ++it) {
            if (*it == genericFailure_) {
                feedback_.erase(std::next(it).base());
                break;
            }
        }
    }
    failureSaid_ = true;
    genericFailure_.clear();
}

void MdiSession::Say(int messageId, const std::string& detail) {
    std::string line = MessageText(messageId);
    if (!detail.empty())
        line += ' ' + detail;
    AddLine(line);
    lineOpen_ = false;
}

void MdiSession::AddLine(const std::string& line) {
    feedback_.push_back(line);
    while (feedback_.size() > kFeedbackLines)
        feedback_.pop_front();
    lineOpen_ = false;
    ++revision_;
}

} // namespace morvik
