#include "operation/PartProgram.h"

#include "controller/ControllerCodes.h"
#include "controller/StringTable.h"
#include "controller/Wait.h"
#include "gcode/ProgramNumber.h"
#include "gcode/TextLines.h"
#include "machine/Machine.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>

namespace morvik {

// ---- Program lines -----------------------------------------------------------------------

namespace {

// How much of a refused line the message shows.
constexpr std::size_t kRefusedStartLength = 40;

// The start of a line as the operator can read it: control characters (a NUL) shown as '?'.
std::string PrintableStart(const std::string& line) {
    std::string start = line.substr(0, kRefusedStartLength);
    for (char& c : start) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    }
    return line.size() > kRefusedStartLength ? start + "..." : start;
}

// The first line the card cannot take whole refuses them all.
ProgramLines Checked(std::vector<std::string> lines, std::size_t limit) {
    ProgramLines program;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const int refusal = line.find('\0') != std::string::npos ? msg::ProgramLineHasNul
                            : line.size() > limit                ? msg::ProgramLineTooLong
                                                                 : 0;
        if (refusal != 0) {
            program.refusal = refusal;
            program.refusedLine = i + 1;
            program.refusedStart = PrintableStart(line);
            return program;
        }
    }
    program.lines = std::move(lines);
    return program;
}

} // namespace

ProgramLines PartProgram::FileProgramLines(std::string_view bytes) {
    std::vector<std::string> lines;
    gcode::CTextLines text(bytes);
    for (std::string_view line; text.Next(line);)
        lines.emplace_back(line);
    return Checked(std::move(lines), kFileLineLimit);
}

ProgramLines PartProgram::EditorProgramLines(const std::vector<std::string>& editor) {
    std::vector<std::string> lines;
    bool stopped = false;
    for (const std::string& line : editor) {
        if (const auto stop = line.find(gcode::kEndOfTextChar); stop != std::string::npos) {
            if (stop > 0)
                lines.push_back(line.substr(0, stop));
            stopped = true;
            break;
        }
        lines.push_back(line);
    }
    // The editor's empty last line is what follows a final line end: not a line, as in a file.
    if (!stopped && !lines.empty() && lines.back().empty())
        lines.pop_back();
    return Checked(std::move(lines), kEditorLineLimit);
}

// ---- Loading -----------------------------------------------------------------------------

PartProgram::PartProgram(CMachine& machine, const MachineEvents& events)
    : machine_(machine), events_(events) {}

std::int32_t PartProgram::ScanProgramNumber(std::string_view line) {
    // Beyond 32 bits, or a number whose negation does not fit: not a number the run command
    // can carry, so the line offers none.
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
    const auto number = gcode::OfferedProgramNumber(line);
    if (!number || *number > kLimit || *number < -kLimit)
        return 0;
    return static_cast<std::int32_t>(*number);
}

std::vector<FileFilter> PartProgram::LoadFilters() {
    return {{"Part Files (*.prt)", "*.prt"},
            {"G-code Files (*.ngc *.nc *.tap *.gcode)", "*.ngc;*.nc;*.tap;*.gcode"},
            {"All Files (*.*)", "*.*"}};
}

LoadResult PartProgram::LoadFromFile() {
    if (machine_.State().Mode() != MachineMode::Run) {
        machine_.Operator().ShowMessage(msg::MustBeInRunToLoad);
        return LoadResult::NotInRunMode;
    }
    return ChooseAndLoad();
}

LoadResult PartProgram::ChooseAndLoad() {
    IOperatorInterface& ui = machine_.Operator();
    const std::optional<std::string> path = ui.ChooseOpenFile("File Load", LoadFilters());
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
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return Load(FileProgramLines(bytes), *path);
}

LoadResult PartProgram::LoadFromLines(const std::vector<std::string>& lines,
                                      const std::string& path) {
    if (machine_.State().Mode() != MachineMode::Run) {
        machine_.Operator().ShowMessage(msg::MustBeInRunToLoad);
        return LoadResult::NotInRunMode;
    }
    WaitCursor busy(machine_.Operator());
    return Load(EditorProgramLines(lines), path);
}

// The checks that come before anything reaches the card: every line whole, and the operator's
// word before a running program is aborted.
LoadResult PartProgram::Load(const ProgramLines& program, const std::string& path) {
    IOperatorInterface& ui = machine_.Operator();
    if (program.refusal != 0) {
        ui.ShowMessageBox(program.refusal, "Line " + std::to_string(program.refusedLine) + ": " +
                                               program.refusedStart);
        return LoadResult::LineRefused;
    }
    if (ProgramRunning() && !ui.AskYesNo(msg::AbortRunningProgramToLoad, {}))
        return LoadResult::Declined;
    return SendAndRun(program.lines, path);
}

bool PartProgram::ProgramRunning() {
    return machine_.State().programStarted &&
           (machine_.Controller().ProgramStatus() & psw::RunUnderWay) != 0;
}

LoadResult PartProgram::SendAndRun(const std::vector<std::string>& lines, const std::string& path) {
    CardOperation operation(machine_.Gate());
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
    const std::int32_t number = SendLines(lines, text);
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
    state.partLines = lines;
    state.partReplaced = false;
    RunLoaded();
    return LoadResult::Started;
}

// Every line goes out with one LF; the first line offering a non-zero number names the program.
std::int32_t PartProgram::SendLines(const std::vector<std::string>& lines, std::string& text) {
    MotionController& card = machine_.Controller();
    std::string& firstLine = machine_.State().firstLine;
    firstLine = lines.empty() ? std::string() : lines.front();
    std::int32_t number = 0;
    for (const std::string& line : lines) {
        if (number == 0)
            number = ScanProgramNumber(line);
        card.SendAscii(line + '\n');
        text += line;
        text += '\n';
    }
    return number;
}

// The run command for the remembered number, and the program view starts over with the
// program's first line.
void PartProgram::RunLoaded() {
    MachineState& state = machine_.State();
    machine_.Controller().SendAscii(AsciiCommand("RUF", -state.programNumber));
    state.programStarted = true;
    state.firstLineEcho = {};
    ++state.partLoads; // the program starts again from its first line
    events_.ProgramLoaded(state.partPath, state.programNumber);
    if (state.views.Has(ViewKind::ProgramView)) {
        IOperatorInterface& ui = machine_.Operator();
        ui.ClearView(ViewKind::ProgramView);
        ui.AppendToView(ViewKind::ProgramView, state.firstLine);
        ui.AppendToView(ViewKind::ProgramView, "\r");
        AwaitFirstLineEcho();
    }
}

// The card echoes a block as it stores it (without the line end) unless it is blank; the
// program view, already showing the line, drops that echo (ProgramView::Route).
void PartProgram::AwaitFirstLineEcho() {
    MachineState& state = machine_.State();
    if (state.programViewKind != ProgramViewKind::Program)
        return;
    std::string_view line = state.firstLine;
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    if (line.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return;
    state.firstLineEcho.text = std::string(line) + '\r';
}

LoadResult PartProgram::Restart() {
    MachineState& state = machine_.State();
    if (state.Mode() != MachineMode::Run) {
        machine_.Operator().ShowMessage(msg::MustBeInRunToRestart);
        return LoadResult::NotInRunMode;
    }
    if (!state.partLoaded)
        return ChooseAndLoad();
    // The operator's cut is aborted and the tool goes back to the program's start: asked first,
    // as loading over it is.
    if (ProgramRunning() && !machine_.Operator().AskYesNo(msg::RestartStopsRunningProgram, {}))
        return LoadResult::Declined;
    WaitCursor busy(machine_.Operator());
    if (state.partReplaced) {
        // Copies: the load replaces both while it sends them.
        const std::string path = state.partPath;
        const std::vector<std::string> lines = state.partLines;
        return SendAndRun(lines, path);
    }
    CardOperation operation(machine_.Gate());
    // Aborted whether or not it was started: the card may still hold it selected or held.
    if (!machine_.Controller().AbortProgramAndWait(machine_.AbortWaitMs()))
        return LoadResult::CardNotAnswering;
    state.programStarted = false;
    RunLoaded();
    return LoadResult::Started;
}

// ---- Cycle commands ----------------------------------------------------------------------

void PartProgram::RunStart() {
    RunCycle(&MotionController::CycleStart, true);
}

void PartProgram::RunBlock() {
    RunCycle(&MotionController::SingleBlock, true);
}

void PartProgram::RunFeedHold() {
    RunCycle(&MotionController::FeedHold, false);
}

// The loaded program's text goes to the card again when an MDI block took its place; false
// when that load did not start it (the operator has been told).
bool PartProgram::ReloadIfReplaced() {
    const MachineState& state = machine_.State();
    if (!state.partLoaded || !state.partReplaced)
        return true;
    WaitCursor busy(machine_.Operator());
    const std::string path = state.partPath;
    const std::vector<std::string> lines = state.partLines;
    return SendAndRun(lines, path) == LoadResult::Started;
}

void PartProgram::RunCycle(void (MotionController::*send)(), bool reload) {
    const MachineState& state = machine_.State();
    if (state.Mode() != MachineMode::Run)
        return;
    if (!state.partLoaded) {
        machine_.Operator().ShowMessage(msg::NoPartLoaded);
        return;
    }
    if (reload && !ReloadIfReplaced())
        return;
    MotionController& card = machine_.Controller();
    if ((card.ProgramStatus() & psw::Startable) == 0) {
        machine_.Operator().ShowMessage(msg::MustRestart);
        return;
    }
    (card.*send)();
}

} // namespace morvik
