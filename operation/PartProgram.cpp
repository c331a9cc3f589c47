#include "operation/PartProgram.h"

#include "controller/ControllerCodes.h"
#include "controller/StringTable.h"
#include "controller/Wait.h"
#include "gcode/ProgramNumber.h"
#include "machine/Machine.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>

namespace morvik {

namespace {

constexpr char kEndOfTextChar = '\x1a';

} // namespace

// ---- Line sources ------------------------------------------------------------------------

// Hands out the program's lines one at a time, each already cut to its limit. The character
// 0x1A ends the text: what stands before it on its line is the last line.
class PartProgram::LineSource {
public:
    virtual ~LineSource() = default;

    bool Next(std::string& line) {
        if (ended_ || !NextRaw(line))
            return false;
        if (const auto stop = line.find(kEndOfTextChar); stop != std::string::npos) {
            ended_ = true;
            line.resize(stop);
            if (line.empty())
                return false;
        }
        if (line.size() > limit_)
            line.resize(limit_);
        return true;
    }

protected:
    explicit LineSource(std::size_t limit) : limit_(limit) {}
    virtual bool NextRaw(std::string& line) = 0;

private:
    std::size_t limit_;
    bool ended_ = false;
};

// A part program file read as text: lines split at LF, a CR before the LF dropped, a last line
// without LF still a line.
class PartProgram::FileLines : public LineSource {
public:
    explicit FileLines(std::istream& in) : LineSource(kFileLineLimit), in_(in) {}

private:
    bool NextRaw(std::string& line) override {
        if (!std::getline(in_, line))
            return false;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }

    std::istream& in_;
};

// The lines of a part program editor window, as it hands them out.
class PartProgram::EditorLines : public LineSource {
public:
    explicit EditorLines(const std::vector<std::string>& lines)
        : LineSource(kEditorLineLimit), lines_(lines) {}

private:
    bool NextRaw(std::string& line) override {
        if (next_ >= lines_.size())
            return false;
        line = lines_[next_++];
        return true;
    }

    const std::vector<std::string>& lines_;
    std::size_t next_ = 0;
};

// ---- Loading -----------------------------------------------------------------------------

PartProgram::PartProgram(CMachine& machine) : machine_(machine) {}

std::int32_t PartProgram::ScanProgramNumber(std::string_view line) {
    // Beyond 32 bits, or a number whose negation does not fit: not a number the run command
    // can carry, so the line offers none.
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
    const auto number = gcode::OfferedProgramNumber(line);
    if (!number || *number > kLimit || *number < -kLimit)
        return 0;
    return static_cast<std::int32_t>(*number);
}

LoadResult PartProgram::LoadFromFile() {
    if (machine_.State().mode != MachineMode::Run) {
        machine_.Operator().ShowMessage(msg::MustBeInRunToLoad);
        return LoadResult::NotInRunMode;
    }
    return ChooseAndLoad();
}

LoadResult PartProgram::ChooseAndLoad() {
    IOperatorInterface& ui = machine_.Operator();
    const std::optional<std::string> path = ui.ChooseOpenFile(
        "File Load", {{"Part Files (*.prt)", "*.prt"}, {"All Files (*.*)", "*.*"}});
    if (!path)
        return LoadResult::Cancelled;
    WaitCursor busy(ui);
    std::error_code ec;
    std::ifstream in;
    if (!std::filesystem::is_directory(*path, ec))
        in.open(*path, std::ios::binary);
    if (!in.is_open()) {
        ui.ShowMessage(msg::UnableToOpenFile);
        return LoadResult::FileNotOpened;
    }
    FileLines lines(in);
    return SendAndRun(lines, *path);
}

LoadResult PartProgram::LoadFromLines(const std::vector<std::string>& lines,
                                      const std::string& path) {
    if (machine_.State().mode != MachineMode::Run) {
        machine_.Operator().ShowMessage(msg::MustBeInRunToLoad);
        return LoadResult::NotInRunMode;
    }
    WaitCursor busy(machine_.Operator());
    EditorLines source(lines);
    return SendAndRun(source, path);
}

LoadResult PartProgram::SendAndRun(LineSource& source, const std::string& path) {
    MachineState& state = machine_.State();
    MotionController& card = machine_.Controller();
    if (!machine_.AbortStartedProgram())
        return LoadResult::CardNotAnswering;
    state.partLoaded = false;
    state.partText.reset();
    card.SendAscii("LOF\r");
    if (!card.WaitAsciiReady()) {
        // The card was told to take program text: close it again, or it would store every
        // later command as part of the program.
        card.SendAscii(kEndOfText);
        return LoadResult::CardNotAnswering;
    }
    std::string text;
    const std::int32_t number = SendLines(source, text);
    card.SendAscii(kEndOfText);
    IClock& clock = machine_.Clock();
    SleepUntil(clock, clock.NowMs() + kSettleMs);
    card.DrainReplies(kReplyBufferSize);
    if (number == 0) {
        machine_.Operator().ShowMessage(msg::NoProgramNumber);
        return LoadResult::NoNumber;
    }
    state.partLoaded = true;
    state.partPath = path;
    state.partText = std::make_shared<const std::string>(std::move(text));
    state.programNumber = number;
    RunLoaded();
    return LoadResult::Started;
}

// Every line goes out with one LF; the first line offering a non-zero number names the program.
std::int32_t PartProgram::SendLines(LineSource& source, std::string& text) {
    MotionController& card = machine_.Controller();
    std::string& firstLine = machine_.State().firstLine;
    firstLine.clear();
    std::int32_t number = 0;
    bool first = true;
    for (std::string line; source.Next(line);) {
        if (first)
            firstLine = line;
        first = false;
        if (number == 0)
            number = ScanProgramNumber(line);
        line += '\n';
        card.SendAscii(line);
        text += line;
    }
    return number;
}

// The run command for the remembered number, and the program view starts over with the
// program's first line.
void PartProgram::RunLoaded() {
    MachineState& state = machine_.State();
    machine_.Controller().SendAscii(AsciiCommand("RUF", -state.programNumber));
    state.programStarted = true;
    if (state.views.Has(ViewKind::ProgramView)) {
        IOperatorInterface& ui = machine_.Operator();
        ui.ClearView(ViewKind::ProgramView);
        ui.AppendToView(ViewKind::ProgramView, state.firstLine);
        ui.AppendToView(ViewKind::ProgramView, "\r");
    }
}

LoadResult PartProgram::Restart() {
    MachineState& state = machine_.State();
    if (state.mode != MachineMode::Run) {
        machine_.Operator().ShowMessage(msg::MustBeInRunToRestart);
        return LoadResult::NotInRunMode;
    }
    if (!state.partLoaded)
        return ChooseAndLoad();
    WaitCursor busy(machine_.Operator());
    // Aborted whether or not it was started: the card may still hold it selected or held.
    if (!machine_.Controller().AbortProgramAndWait())
        return LoadResult::CardNotAnswering;
    state.programStarted = false;
    RunLoaded();
    return LoadResult::Started;
}

// ---- Cycle commands ----------------------------------------------------------------------

void PartProgram::RunStart() {
    RunCycle(&MotionController::CycleStart);
}

void PartProgram::RunBlock() {
    RunCycle(&MotionController::SingleBlock);
}

void PartProgram::RunFeedHold() {
    RunCycle(&MotionController::FeedHold);
}

void PartProgram::RunCycle(void (MotionController::*send)()) {
    const MachineState& state = machine_.State();
    if (state.mode != MachineMode::Run)
        return;
    if (!state.partLoaded) {
        machine_.Operator().ShowMessage(msg::NoPartLoaded);
        return;
    }
    MotionController& card = machine_.Controller();
    if ((card.ProgramStatus() & psw::Startable) == 0) {
        machine_.Operator().ShowMessage(msg::MustRestart);
        return;
    }
    (card.*send)();
}

} // namespace morvik
