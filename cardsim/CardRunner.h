// The card's part program runner: the selected program's state (Ready, Running, Paused, Feed
// hold, Finished, Error), block-by-block execution through the G-code library (gcode/: the
// block reader and the planner, with the card's tables as its setup), and the program moves
// it drives the axes along, one block's segments at a time. The card calls Step once per
// millisecond of its time; the cycle commands come from the binary channel (410 start, 411 single
// block, 412 feed hold, 401 abort).
//
// After an abort (or an emergency stop) the program is rewound but no longer selected: the
// status word shows neither Ready nor Running until "RUF" selects it again.
#pragma once

#include "cardsim/CardPath.h"
#include "cardsim/CardProgram.h"
#include "cardsim/CardState.h"
#include "controller/CardModes.h"
#include "controller/ControllerCodes.h"
#include "gcode/Block.h"
#include "gcode/Planner.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace morvik {

enum class CCardProgramState { Idle, Ready, Running, Paused, FeedHold, Finished, Error };

// Bits of the program status word (query code::ProgramStatus), as the station reads them.
constexpr std::uint32_t kProgReady = psw::Ready;
constexpr std::uint32_t kProgRunning = psw::Running;
constexpr std::uint32_t kProgFinished = psw::Finished;
constexpr std::uint32_t kProgPaused = psw::Paused;
constexpr std::uint32_t kProgFeedHold = psw::FeedHold;
constexpr std::uint32_t kProgDryRun = psw::DryRun;
constexpr std::uint32_t kProgBlockSkip = psw::BlockSkip;
constexpr std::uint32_t kProgAbsolute = psw::Absolute;
constexpr std::uint32_t kProgIncremental = psw::Incremental;
constexpr std::uint32_t kProgPartError = psw::PartError;
constexpr std::uint32_t kProgEStop = psw::EmergencyStop;
constexpr std::uint32_t kProgExtEStop = psw::ExternalEmergencyStop;
constexpr std::uint32_t kProgDriveFault = psw::DriveFault;
constexpr std::uint32_t kProgMotorError = psw::MotorError;

class CCardRunner {
public:
    explicit CCardRunner(CCardState& state) : state_(state) { PowerOn(); }

    void Select(std::shared_ptr<const CCardProgram> program);
    bool CycleStart();
    bool SingleBlock();
    bool FeedHold();
    void Abort();
    // The axes were halted from outside (emergency stop): drop the move at once.
    void Halt();
    // A configuration was read: before anything ran it sets the power-on modes (units).
    void ConfigurationRead();

    void Step();
    std::uint64_t QuietSteps() const;
    void Jump(std::uint64_t steps);

    CCardProgramState State() const { return programState_; }
    bool OwnsAxes() const { return move_.has_value(); }
    // An aborted move is still braking.
    bool Braking() const { return stopping_; }
    // Bits 0-4, 8, 9 and 17 of the status word.
    std::uint32_t StatusBits() const;
    int LineNumber() const { return line_; }
    int Sequence() const { return sequence_; }
    int ProgramNumber() const { return program_ ? program_->Number() : 0; }
    int Tool() const { return tool_; }
    double SpindleSpeed() const;
    // The modal state in force (coolant, tool length, work offset, ...), kept from one
    // program to the next until M2 or M30 resets part of it or an abort all of it.
    const gcode::CModalState& Modal() const { return planner_.Modal(); }
    // The modal state as the card answers it (code::ActiveModes and the value queries).
    CardModes Modes() const;

private:
    enum class After { Continue, Pause, End };
    // A queued piece of a block: a path to move along, or a dwell.
    struct Move {
        CCardPath path;
        bool rapid = false;
        double feed = 0;    // per second, feed moves
        double axisCap = 0; // the fastest the axes' rapid rates allow along this path
        int line = 0;       // source line of the block
        bool dwell = false;
        double seconds = 0; // dwell
    };

    void PowerOn();

    // Running blocks (CardRunnerBlocks.cpp).
    void RunBlocks();
    void ExecuteLine(std::string_view text);
    std::string RunBlock();
    void TakeModalState();
    gcode::CPlannerSetup Setup() const;
    std::string CheckLimits(const CCardPath& path) const;
    std::string Queue(const gcode::CSegment& segment);
    void PartError(const std::string& why);

    // Moving (CardRunner.cpp).
    void StartNextMove();
    void StepMove();
    void PlaceAxes();
    void EndMove();
    double WantedSpeed() const;
    void FinishBlock();
    CCardPoint AxisPositions() const;

    CCardState& state_;
    std::shared_ptr<const CCardProgram> program_;
    CCardProgramState programState_ = CCardProgramState::Idle;
    std::size_t next_ = 0; // next line to run
    int line_ = 0;         // line of the block running now (1-based), 0 before the first
    int sequence_ = 0;
    int tool_ = 0;
    bool singleBlock_ = false;
    After after_ = After::Continue;
    std::optional<Move> move_;
    std::deque<Move> queued_;
    bool stopping_ = false; // the move is braking after an abort
    std::uint64_t dwell_ = 0;

    // The running program's reader and planner; segments_ holds one block's segments.
    gcode::CPlanner planner_;
    gcode::CBlock block_;
    std::vector<gcode::CSegment> segments_;
    double spindle_ = 0;
    int spindleDirection_ = 0;  // 1 M3, -1 M4, 0 M5
    bool modalTouched_ = false; // a block ran since power-on, reset or an interrupting abort
};

} // namespace morvik
