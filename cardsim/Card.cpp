#include "cardsim/Card.h"

#include "cardsim/KelvSim.h"
#include "controller/ControllerCodes.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace morvik {

namespace {

constexpr std::uint64_t kForever = std::numeric_limits<std::uint64_t>::max();
// On the steady clock one call catches up at most this much (about half a minute of motion
// that cannot be jumped over); the rest follows on the next calls.
constexpr std::uint64_t kMaxStepsPerSync = 30000;

// Channel n is bit n-1 of the I/O word; 0 and anything past 32 is not connected.
std::uint32_t ChannelBit(int channel) {
    return IoChannelBit(channel);
}

} // namespace

CCard::CCard() {
    Reset();
}

void CCard::Reset() {
    state_ = CCardState{};
    runner_.emplace(state_);
    homing_.emplace(state_);
    clock_.UseManual(false);
    modelMs_ = 0;
    binaryOpen_ = false;
    asciiOpen_ = false;
    io_ = 0;
    activeSafety_ = 0;
    refuseOpen_ = false;
    refuseAscii_ = false;
    neverReady_ = false;
    replyIsDouble_ = false;
    replyInt_ = 0;
    replyDouble_ = 0;
    files_.clear();
    programs_.clear();
    parameters_.clear();
}

// ---- time ----

void CCard::UseManualClock(bool on) {
    Sync();
    clock_.UseManual(on);
    modelMs_ = clock_.NowMs();
}

void CCard::AdvanceMs(std::uint32_t ms) {
    if (clock_.IsManual()) {
        clock_.Advance(ms);
    }
    Sync();
}

void CCard::Sync() {
    const std::uint64_t now = clock_.NowMs();
    std::uint64_t budget = clock_.IsManual() ? kForever : kMaxStepsPerSync;
    while (modelMs_ < now && budget-- > 0) {
        const std::uint64_t quiet = std::min(QuietSteps(), now - modelMs_);
        if (quiet >= 2) {
            Jump(quiet);
            modelMs_ += quiet;
        } else {
            Step();
            ++modelMs_;
        }
    }
}

void CCard::Step() {
    runner_->Step();
    for (auto& axis : state_.axes) {
        axis.Step();
    }
    MirrorSlaves();
    homing_->Step();
}

std::uint64_t CCard::QuietSteps() const {
    std::uint64_t quiet = runner_->QuietSteps();
    for (const auto& axis : state_.axes) {
        quiet = std::min(quiet, axis.QuietSteps());
    }
    if (homing_->Active()) {
        const bool allAtRest = std::all_of(state_.axes.begin(), state_.axes.end(),
                                           [](const CCardAxis& a) { return a.AtRest(); });
        quiet = allAtRest ? 0 : quiet;
    }
    return quiet;
}

void CCard::Jump(std::uint64_t steps) {
    runner_->Jump(steps);
    for (auto& axis : state_.axes) {
        axis.Jump(steps);
    }
    MirrorSlaves();
}

// A slave axis follows its master exactly.
void CCard::MirrorSlaves() {
    for (int i = 0; i < kCardLetterAxes; ++i) {
        const CCardAxisConfig& config = state_.config.axes[i];
        if (config.number != 0 && config.slave != 0) {
            const CCardAxis& master = state_.axes[config.number - 1];
            state_.axes[config.slave - 1].Place(master.Exact(), master.Speed());
        }
    }
}

// ---- handles ----

KELVHANDLE CCard::Open(int controllerId, unsigned mode) {
    Sync();
    if (controllerId != 0 || refuseOpen_) {
        return -1;
    }
    if (mode == KELV_MODE_BINARY) {
        binaryOpen_ = true;
        return kBinaryHandle;
    }
    if (mode == KELV_MODE_ASCII && !refuseAscii_) {
        asciiOpen_ = true;
        return kAsciiHandle;
    }
    return -1;
}

std::int32_t CCard::Close(KELVHANDLE h) {
    Sync();
    if (IsBinary(h)) {
        binaryOpen_ = false;
        return 0;
    }
    if (IsAscii(h)) {
        asciiOpen_ = false;
        return 0;
    }
    return KELVSIM_ERR_HANDLE;
}

std::int32_t CCard::GetConfiguration(KELVHANDLE h, KELVCONFIG* config) {
    Sync();
    if (!IsBinary(h)) {
        return KELVSIM_ERR_HANDLE;
    }
    if (config == nullptr || config->size != static_cast<std::int32_t>(sizeof(KELVCONFIG))) {
        return KELVSIM_ERR_ARGUMENT;
    }
    std::memset(config, 0, sizeof(KELVCONFIG));
    config->size = sizeof(KELVCONFIG);
    config->cardRevision = 1;
    config->controllerType = 1;
    config->axisCount = kCardAxisCount;
    return 0;
}

// ASCII: -1 when the card takes text. Binary: non-zero unless an abort is still braking.
std::int16_t CCard::Ready(KELVHANDLE h) {
    Sync();
    if (neverReady_) {
        return 0;
    }
    if (IsAscii(h)) {
        return -1;
    }
    if (!IsBinary(h)) {
        return 0;
    }
    const bool braking =
        runner_->Braking() ||
        std::any_of(state_.axes.begin(), state_.axes.end(), [](const CCardAxis& a) {
            return a.MotionState() == CCardAxis::Motion::Stopping;
        });
    return braking ? 0 : 1;
}

// ---- axes ----

CCardAxis* CCard::Axis(KELVHANDLE h, int number) {
    Sync();
    return IsBinary(h) ? state_.Axis(number) : nullptr;
}

bool CCard::MotionAllowed() const {
    return activeSafety_ == 0 && !runner_->OwnsAxes();
}

std::int32_t CCard::MacroCall(KELVHANDLE h, int macro) {
    Sync();
    if (!IsBinary(h)) {
        return KELVSIM_ERR_HANDLE;
    }
    // The cutter's raise and lower macros: the card only acknowledges them.
    return macro >= 0 ? 0 : KELVSIM_ERR_ARGUMENT;
}

void CCard::ApplyConfig() {
    const CCardConfig& config = state_.config;
    std::array<const CCardAxisConfig*, kCardAxisCount> owners{};
    std::array<CCardAxisConfig, kCardAxisCount> slaves{};
    for (const auto& axis : config.axes) {
        if (axis.number != 0) {
            owners[axis.number - 1] = &axis;
            if (axis.slave != 0) {
                slaves[axis.slave - 1] = axis;
                slaves[axis.slave - 1].number = axis.slave;
                slaves[axis.slave - 1].slave = 0;
                owners[axis.slave - 1] = &slaves[axis.slave - 1];
            }
        }
    }
    for (const auto* rotary : {&config.cutter, &config.spindle}) {
        if (rotary->number != 0) {
            owners[rotary->number - 1] = rotary;
        }
    }
    for (int i = 0; i < kCardAxisCount; ++i) {
        if (owners[i] != nullptr) {
            state_.axes[i].Configure(*owners[i]);
        } else {
            state_.axes[i].Unfit();
        }
    }
    CheckSafetyInputs();
}

// ---- digital I/O and safety inputs ----

std::int32_t CCard::SetOutput(KELVHANDLE h, int channel, int state) {
    Sync();
    if (!IsBinary(h)) {
        return KELVSIM_ERR_HANDLE;
    }
    const std::uint32_t bit = ChannelBit(channel);
    if (bit == 0) {
        return KELVSIM_ERR_ARGUMENT;
    }
    io_ = state != 0 ? (io_ | bit) : (io_ & ~bit);
    CheckSafetyInputs();
    return 0;
}

std::int32_t CCard::ReadIo(KELVHANDLE h, std::uint32_t* word) {
    Sync();
    if (!IsBinary(h)) {
        return KELVSIM_ERR_HANDLE;
    }
    if (word == nullptr) {
        return KELVSIM_ERR_ARGUMENT;
    }
    *word = io_;
    return 0;
}

void CCard::SetInputs(std::uint32_t mask, std::uint32_t values) {
    Sync();
    io_ = (io_ & ~mask) | (values & mask);
    CheckSafetyInputs();
}

std::uint32_t CCard::SafetyBits() const {
    const CCardConfig& config = state_.config;
    const std::pair<int, std::uint32_t> inputs[] = {{config.estopChannel, kProgEStop},
                                                    {config.eestopChannel, kProgExtEStop},
                                                    {config.driveFaultChannel, kProgDriveFault}};
    std::uint32_t bits = 0;
    for (const auto& [channel, bit] : inputs) {
        const std::uint32_t mask = ChannelBit(channel);
        bits |= (mask != 0 && (io_ & mask) != 0) ? bit : 0;
    }
    return bits;
}

// An active emergency stop or drive fault stops every axis and the program at once.
void CCard::CheckSafetyInputs() {
    activeSafety_ = SafetyBits();
    if (activeSafety_ == 0) {
        return;
    }
    runner_->Halt();
    homing_->Cancel("emergency stop");
    for (auto& axis : state_.axes) {
        if (axis.Fitted()) {
            axis.Halt();
        }
    }
}

std::uint32_t CCard::ProgramStatus() const {
    std::uint32_t status = runner_->StatusBits() | activeSafety_;
    status |= state_.options.dryRun ? kProgDryRun : 0;
    status |= state_.options.blockSkip ? kProgBlockSkip : 0;
    const bool motorError = std::any_of(state_.axes.begin(), state_.axes.end(),
                                        [](const CCardAxis& a) { return a.InError(); });
    return status | (motorError ? kProgMotorError : 0);
}

// ---- test hooks ----

void CCard::SetFault(int fault, bool on) {
    switch (fault) {
    case KELVSIM_FAULT_REFUSE_OPEN:
        refuseOpen_ = on;
        break;
    case KELVSIM_FAULT_REFUSE_ASCII:
        refuseAscii_ = on;
        break;
    case KELVSIM_FAULT_NEVER_READY:
        neverReady_ = on;
        break;
    case KELVSIM_FAULT_DROP_REPLIES:
        state_.ascii.SetDropReplies(on);
        break;
    default:
        break;
    }
}

int CCard::ControllerFile(int number, char* buffer, int size) const {
    const auto it = files_.find(number);
    if (it == files_.end()) {
        return -1;
    }
    if (buffer != nullptr && size > 0) {
        const std::size_t count = std::min(it->second.size(), static_cast<std::size_t>(size - 1));
        std::memcpy(buffer, it->second.data(), count);
        buffer[count] = '\0';
    }
    return static_cast<int>(std::min<std::size_t>(it->second.size(), 0x7fffffff));
}

} // namespace morvik
