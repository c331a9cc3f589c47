// The card's part program runner: the selected program's state (Ready, Running, Paused, Feed
// hold, Finished, Error), block-by-block execution of the card's G-code subset, and the
// program moves it drives the axes along. The card calls Step once per millisecond of its
// time; the cycle commands come from the binary channel (410 start, 411 single block,
// 412 feed hold, 401 abort).
//
// After an abort (or an emergency stop) the program is rewound but no longer selected: the
// status word shows neither Ready nor Running until "RUF" selects it again.
#pragma once

#include "cardsim/CardBlock.h"
#include "cardsim/CardPath.h"
#include "cardsim/CardProgram.h"
#include "cardsim/CardState.h"
#include "controller/ControllerCodes.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

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
    explicit CCardRunner(CCardState& state) : state_(state) {}

    void Select(std::shared_ptr<const CCardProgram> program);
    bool CycleStart();
    bool SingleBlock();
    bool FeedHold();
    void Abort();
    // The axes were halted from outside (emergency stop): drop the move at once.
    void Halt();

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

private:
    enum class After { Continue, Pause, End };
    struct Move {
        CCardPath path;
        bool rapid = false;
        double feed = 0;    // per second, feed moves
        double axisCap = 0; // the fastest the axes' rapid rates allow along this path
    };

    // Running blocks (CardRunnerBlocks.cpp).
    void RunBlocks();
    void ExecuteLine(std::string_view text);
    std::string ApplyBlock(const CCardBlock& block);
    std::string ApplyWords(const CCardBlock& block);
    std::string ApplyGCodes(const CCardBlock& block, int& motionCode, bool& home);
    std::string ApplyMCodes(const CCardBlock& block);
    std::string PlanMotion(const CCardBlock& block, int motionCode, bool home);
    std::string PlanLine(const CCardBlock& block, bool rapid);
    std::string PlanArc(const CCardBlock& block, bool clockwise);
    std::string PlanHome(const CCardBlock& block);
    std::string BlockTarget(const CCardBlock& block, CCardPoint& target) const;
    std::string CheckLimits(const CCardPath& path) const;
    std::string Queue(CCardPath path, bool rapid);
    void PartError(const std::string& why);
    double Origin(int axis) const;

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

    // Modal state of the running program.
    int motion_ = -1; // 0 1 2 3, -1 none yet
    bool incremental_ = false;
    int units_ = 0; // unit system of the program's words
    int work_ = 0;  // G54 + work_
    double toolLength_ = 0;
    double feed_ = 0; // per second, card units
    double spindle_ = 0;
    int spindleDirection_ = 0; // 1 M3, -1 M4, 0 M5
};

} // namespace morvik
