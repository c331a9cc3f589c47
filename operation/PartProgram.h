// Part programs on the card: sending a program's text (from a file the operator chooses, or
// from the lines of an editor window), finding its program number on the way, running it, and
// the Run-mode cycle commands Start, Block and Feed hold. MachineOperation calls these; the
// loaded program's state (part loaded, program started, number, first line, path) lives in
// the machine's MachineState so that downloads and mode changes see it.
//
// Loading, in order: the mode must be Run (else message 34002); a started program is aborted;
// "LOF\r", the ready wait, every line with one LF, the end-of-text character 0x1A, 500 ms on
// the clock, the card's replies drained; then, when a number was found, "RUF<-number>\r" and
// the program view shows the first line. Every wait on the card is bounded: when the card does
// not answer the operator has seen message 34202 and the load is abandoned (after "LOF\r" the
// end-of-text character is still sent, so the card leaves text mode).
//
// Lines. A file is split at LF, CR LF or a lone CR (old files from other systems end their
// lines with CR alone); a last line without a line end is a line too. The character 0x1A ends
// the program text, as text-mode reading on the desktop always treated it: sending it inside
// a line would close the card's load early and let the remaining program lines run as
// commands.
//
// The text reaches the card whole or not at all. Every line is checked before anything is
// sent: a line longer than the card takes (127 characters from a file, 128 from the editor) or
// holding a NUL character would lose part of a block (its F or Z word, say) or merge two
// blocks, so such a line refuses the load with a message naming the line and its start
// (34206, 34207); nothing is aborted, nothing sent, the card never enters text mode.
//
// A program that is running (or paused, or in feed hold) is not aborted without asking: the
// operator confirms (34205) or the load changes nothing.
#pragma once

#include "machine/OperatorInterface.h"
#include "operation/MachineObserver.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvik {

class CMachine;
class MotionController;

enum class LoadResult {
    Started,          // text sent, number found, run command sent
    NoNumber,         // text sent, no usable number: message 34004, nothing started
    NotInRunMode,     // message 34002 (or 34005 from Restart); nothing sent
    Cancelled,        // the file dialog was cancelled; nothing changed
    FileNotOpened,    // message 34003; nothing sent, the previous part stays loaded
    CardNotAnswering, // a bounded wait ran out (message 34202); the load was abandoned
    LineRefused,      // a line the card cannot take whole (34206, 34207); nothing sent
    Declined,         // the operator kept the running program (34205, 34214); nothing changed
};

// A program's lines as they will be sent, or the first line that cannot be sent whole.
struct ProgramLines {
    std::vector<std::string> lines;
    int refusal = 0;             // 0, or the message id that refuses the load
    std::size_t refusedLine = 0; // 1-based number of that line
    std::string refusedStart;    // the start of that line, printable
};

class PartProgram {
public:
    static constexpr std::size_t kFileLineLimit = 127;
    static constexpr std::size_t kEditorLineLimit = 128;
    static constexpr std::uint32_t kSettleMs = 500;
    static constexpr int kReplyBufferSize = 40;

    explicit PartProgram(CMachine& machine, const MachineEvents& events = MachineEvents::None());

    // File > Load without an active part program window: the "File Load" dialog, then the
    // file's text.
    LoadResult LoadFromFile();
    // File > Load from a part program window: the editor's lines as they stand (unsaved edits
    // included); path becomes the remembered part path.
    LoadResult LoadFromLines(const std::vector<std::string>& lines, const std::string& path);
    // File > Restart: runs the loaded program again without sending its text; with nothing
    // loaded it is File > Load. After an MDI block took the card's program store, the text is
    // sent again first. A program that is running (or paused, or in feed hold) is not aborted
    // without asking (34214): No changes nothing (Declined).
    LoadResult Restart();

    // The cycle commands in Run mode (outside Run mode they do nothing): 34006 with nothing
    // loaded, 34007 while the program status word has neither Ready nor Running. Start and
    // Block first send the loaded program's text again when an MDI block took its place on the
    // card (MachineState::partReplaced), so they never run the block.
    void RunStart();
    void RunBlock();
    void RunFeedHold();

    // A program started from here is running, paused or in feed hold on the card (the program
    // status word is read): loading another one or closing the station would abort it.
    bool ProgramRunning();

    // The program number a line offers: its first character must be O, o, ':', N or n, and the
    // text after it is read as a signed decimal integer (blanks skipped, reading stops at the
    // first non-digit). 0 when the line offers none, or when the number does not fit a 32-bit
    // integer whose negation also fits (the run command negates it).
    static std::int32_t ScanProgramNumber(std::string_view line);
    // A file's bytes as program lines (LF, CR LF, lone CR; 0x1A ends the text), checked
    // against kFileLineLimit.
    static ProgramLines FileProgramLines(std::string_view bytes);
    // An editor's lines (0x1A ends the text), checked against kEditorLineLimit.
    static ProgramLines EditorProgramLines(const std::vector<std::string>& lines);
    // The filters of the File Load dialog: part programs, the common G-code extensions (.ngc,
    // .nc, .tap, .gcode: files from CAM post-processors and other controls), every file.
    static std::vector<FileFilter> LoadFilters();

private:
    LoadResult ChooseAndLoad();
    void AwaitFirstLineEcho();
    LoadResult Load(const ProgramLines& program, const std::string& path);
    LoadResult SendAndRun(const std::vector<std::string>& lines, const std::string& path);
    // Sends the lines; text receives them as sent.
    std::int32_t SendLines(const std::vector<std::string>& lines, std::string& text);
    void RunLoaded();
    bool ReloadIfReplaced();
    void RunCycle(void (MotionController::*send)(), bool reload);

    CMachine& machine_;
    const MachineEvents& events_;
};

} // namespace morvik
