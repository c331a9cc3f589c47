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
// Lines. A file is read as text: split at LF, a CR before the LF dropped, a last line without
// LF sent too. A line longer than the limit (127 characters from a file, 128 from the editor)
// is cut at the limit and the rest of that line is dropped; the card always receives whole
// lines it can parse and nothing of the following line is lost. The character 0x1A ends the
// program text, as text-mode reading on the desktop always treated it: sending it inside a line
// would close the card's load early and let the remaining program lines run as commands.
#pragma once

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
};

class PartProgram {
public:
    static constexpr std::size_t kFileLineLimit = 127;
    static constexpr std::size_t kEditorLineLimit = 128;
    static constexpr std::uint32_t kSettleMs = 500;
    static constexpr int kReplyBufferSize = 40;

    explicit PartProgram(CMachine& machine);

    // File > Load without an active part program window: the "File Load" dialog, then the
    // file's text.
    LoadResult LoadFromFile();
    // File > Load from a part program window: the editor's lines as they stand (unsaved edits
    // included); path becomes the remembered part path.
    LoadResult LoadFromLines(const std::vector<std::string>& lines, const std::string& path);
    // File > Restart: runs the loaded program again without sending its text; with nothing
    // loaded it is File > Load.
    LoadResult Restart();

    // The cycle commands in Run mode (outside Run mode they do nothing): 34006 with nothing
    // loaded, 34007 while the program status word has neither Ready nor Running.
    void RunStart();
    void RunBlock();
    void RunFeedHold();

    // The program number a line offers: its first character must be O, o, ':', N or n, and the
    // text after it is read as a signed decimal integer (blanks skipped, reading stops at the
    // first non-digit). 0 when the line offers none, or when the number does not fit a 32-bit
    // integer whose negation also fits (the run command negates it).
    static std::int32_t ScanProgramNumber(std::string_view line);

private:
    class LineSource;
    class FileLines;
    class EditorLines;

    LoadResult ChooseAndLoad();
    LoadResult SendAndRun(LineSource& source, const std::string& path);
    // Sends the lines; text receives them as sent.
    std::int32_t SendLines(LineSource& source, std::string& text);
    void RunLoaded();
    void RunCycle(void (MotionController::*send)());

    CMachine& machine_;
};

} // namespace morvik
