#include "cardsim/CardRunner.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace morvik {

namespace {
constexpr auto kForever = std::numeric_limits<std::uint64_t>::max();
} // namespace

void CCardRunner::Select(std::shared_ptr<const CCardProgram> program) {
    program_ = std::move(program);
    programState_ = CCardProgramState::Ready;
    next_ = 0;
    line_ = 0;
    sequence_ = 0;
    singleBlock_ = false;
    after_ = After::Continue;
    queued_.clear();
    dwell_ = 0;
    // The modal state goes on from the program before (an MDI block keeps what the one
    // before it left); only a card that has run nothing since it was powered on or reset
    // takes the configuration read since as its power-on state.
    if (!modalTouched_) {
        PowerOn();
    }
    planner_.SetSetup(Setup());
}

void CCardRunner::PowerOn() {
    planner_.SetSetup(Setup());
    planner_.Reset();
    modalTouched_ = false;
    TakeModalState();
}

void CCardRunner::ConfigurationRead() {
    if (!modalTouched_) {
        PowerOn();
    }
}

bool CCardRunner::CycleStart() {
    switch (programState_) {
    case CCardProgramState::Ready:
    case CCardProgramState::Paused:
    case CCardProgramState::FeedHold:
    case CCardProgramState::Running:
        singleBlock_ = false;
        programState_ = CCardProgramState::Running;
        planner_.SetSetup(Setup()); // tables read while the program waited
        return true;
    default:
        return false;
    }
}

bool CCardRunner::SingleBlock() {
    switch (programState_) {
    case CCardProgramState::FeedHold:
    case CCardProgramState::Running:
        // A block is under way: it is the one that ends in the pause.
        if (after_ == After::Continue) {
            after_ = After::Pause;
        }
        [[fallthrough]];
    case CCardProgramState::Ready:
    case CCardProgramState::Paused:
        singleBlock_ = true;
        programState_ = CCardProgramState::Running;
        planner_.SetSetup(Setup());
        return true;
    default:
        return false;
    }
}

bool CCardRunner::FeedHold() {
    if (programState_ != CCardProgramState::Running) {
        return false;
    }
    programState_ = CCardProgramState::FeedHold;
    return true;
}

void CCardRunner::Abort() {
    // Interrupting a program returns the card to its power-on state: nothing of what the
    // program had set up may be taken for granted by the next one. Aborting a program that
    // had finished, failed or not started leaves the modes as they are.
    const bool underWay = programState_ == CCardProgramState::Running ||
                          programState_ == CCardProgramState::Paused ||
                          programState_ == CCardProgramState::FeedHold;
    programState_ = CCardProgramState::Idle;
    stopping_ = move_.has_value();
    queued_.clear();
    dwell_ = 0;
    after_ = After::Continue;
    singleBlock_ = false;
    spindleDirection_ = 0;
    next_ = 0;
    if (underWay) {
        PowerOn();
        spindleDirection_ = 0;
    }
}

void CCardRunner::Halt() {
    Abort();
    if (move_) {
        for (int i = 0; i < kCardLetterAxes; ++i) {
            if (CCardAxis* axis = state_.LetterAxis(i)) {
                axis->EndPath();
            }
        }
        move_.reset();
    }
    stopping_ = false;
}

std::uint32_t CCardRunner::StatusBits() const {
    static const std::uint32_t kStateBits[] = {
        0,                            // Idle
        kProgReady,                   // Ready
        kProgRunning,                 // Running
        kProgReady | kProgPaused,     // Paused
        kProgRunning | kProgFeedHold, // FeedHold
        kProgFinished,                // Finished
        kProgPartError,               // Error
    };
    std::uint32_t bits = kStateBits[static_cast<int>(programState_)];
    const bool incremental = planner_.Modal().distance == gcode::CDistance::Incremental;
    bits |= incremental ? kProgIncremental : kProgAbsolute;
    return bits;
}

double CCardRunner::SpindleSpeed() const {
    return spindle_ * spindleDirection_ * state_.options.spindleOverride;
}

// ---- stepping ----

void CCardRunner::Step() {
    if (programState_ == CCardProgramState::Running && !move_ && dwell_ == 0) {
        StartNextMove(); // what a block queued after its dwell
        if (!move_ && dwell_ == 0) {
            FinishBlock();
            if (programState_ == CCardProgramState::Running) {
                RunBlocks();
            }
        }
    }
    if (move_) {
        StepMove();
    } else if (programState_ == CCardProgramState::Running && dwell_ > 0) {
        --dwell_;
    }
}

// The block that just ended its motion and dwell decides what comes next.
void CCardRunner::FinishBlock() {
    const After after = after_;
    after_ = After::Continue;
    if (after == After::End) {
        // M2 and M30 stopped the spindle through the modal state; a program that ran off the
        // end of its text (an MDI block) leaves it as it was.
        programState_ = CCardProgramState::Finished;
    } else if (after == After::Pause) {
        programState_ = CCardProgramState::Paused;
    }
}

double CCardRunner::WantedSpeed() const {
    if (stopping_ || programState_ != CCardProgramState::Running) {
        return 0;
    }
    const CCardOptions& options = state_.options;
    const double maxRate = state_.config.maxRate;
    double speed = 0;
    if (move_->rapid) {
        speed = move_->axisCap * options.rapidOverride;
    } else {
        speed = options.dryRun && maxRate > 0 ? maxRate : move_->feed * options.feedOverride;
        if (maxRate > 0) {
            speed = std::min(speed, maxRate);
        }
        speed = std::min(speed, move_->axisCap);
    }
    return speed;
}

CCardPoint CCardRunner::AxisPositions() const {
    CCardPoint point{};
    for (int i = 0; i < kCardLetterAxes; ++i) {
        if (const CCardAxis* axis = const_cast<CCardState&>(state_).LetterAxis(i)) {
            point[i] = axis->Exact();
        }
    }
    return point;
}

void CCardRunner::PlaceAxes() {
    const double s = move_->path.Progress();
    const double v = move_->path.Speed();
    const CCardPoint here = move_->path.At(s);
    const CCardPoint before = move_->path.At(std::max(0.0, s - v * kCardStepSeconds));
    for (int i = 0; i < kCardLetterAxes; ++i) {
        if (CCardAxis* axis = state_.LetterAxis(i)) {
            axis->FollowPath(here[i], (here[i] - before[i]) / kCardStepSeconds);
        }
    }
}

void CCardRunner::StepMove() {
    move_->path.Step(WantedSpeed());
    PlaceAxes();
    if (move_->path.Done() || (stopping_ && move_->path.Speed() == 0)) {
        EndMove();
    }
}

void CCardRunner::EndMove() {
    for (int i = 0; i < kCardLetterAxes; ++i) {
        if (CCardAxis* axis = state_.LetterAxis(i)) {
            axis->EndPath();
        }
    }
    move_.reset();
    stopping_ = false;
    StartNextMove();
}

// The next queued piece of the block: a dwell counts down, a path starts moving.
void CCardRunner::StartNextMove() {
    while (!queued_.empty() && !move_ && dwell_ == 0) {
        Move next = std::move(queued_.front());
        queued_.pop_front();
        line_ = next.line;
        if (next.dwell) {
            dwell_ = state_.options.dryRun
                         ? 0
                         : static_cast<std::uint64_t>(std::llround(next.seconds * 1000));
            continue;
        }
        move_ = std::move(next);
        if (!move_->path.IsArc()) {
            // A straight path starts where the axes are now.
            CCardPath path = CCardPath::Line(AxisPositions(), move_->path.End());
            path.SetLimits(move_->path.Limits());
            move_->path = path;
        }
    }
}

std::uint64_t CCardRunner::QuietSteps() const {
    if (move_) {
        if (stopping_) {
            return 0;
        }
        const double wanted = WantedSpeed();
        if (wanted == 0 && move_->path.Speed() == 0) {
            return kForever; // held
        }
        return move_->path.QuietSteps(wanted);
    }
    if (programState_ != CCardProgramState::Running) {
        return kForever;
    }
    return dwell_;
}

void CCardRunner::Jump(std::uint64_t steps) {
    if (move_) {
        if (move_->path.Speed() != 0) {
            move_->path.Jump(steps);
            PlaceAxes();
        }
        return;
    }
    if (programState_ == CCardProgramState::Running) {
        dwell_ -= std::min(dwell_, steps);
    }
}

} // namespace morvik
