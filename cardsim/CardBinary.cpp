// The card's binary commands and queries: a numbered code with one argument (type 2, a 32-bit
// integer, or type 4, a double) and the reply to the last command, read with dornrpyex.
#include "cardsim/Card.h"

#include "cardsim/KelvSim.h"
#include "controller/CardModes.h"
#include "controller/ControllerCodes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace morvik {

namespace {

std::int32_t Saturate(double value) {
    if (!(value == value)) {
        return 0;
    }
    return static_cast<std::int32_t>(std::clamp(std::round(value), -2147483648.0, 2147483647.0));
}

} // namespace

void CCard::SetReply(std::int32_t value) {
    replyIsDouble_ = false;
    replyInt_ = value;
}

void CCard::SetReply(double value) {
    replyIsDouble_ = true;
    replyDouble_ = value;
}

std::int32_t CCard::Command(KELVHANDLE h, int axis, int code, const void* argument, int type) {
    Sync();
    if (!IsBinary(h)) {
        return KELVSIM_ERR_HANDLE;
    }
    SetReply(std::int32_t{0});
    if (axis != 0 || argument == nullptr || (type != KELV_TYPE_INT32 && type != KELV_TYPE_DOUBLE)) {
        return KELVSIM_ERR_ARGUMENT;
    }
    Argument value;
    if (type == KELV_TYPE_INT32) {
        std::memcpy(&value.i, argument, sizeof value.i);
        value.d = value.i;
    } else {
        std::memcpy(&value.d, argument, sizeof value.d);
        if (!std::isfinite(value.d)) {
            return KELVSIM_ERR_ARGUMENT;
        }
        value.i = Saturate(value.d);
    }
    return CommandCode(code, value);
}

std::int32_t CCard::CommandCode(int code, const Argument& argument) {
    using Run = std::int32_t (*)(CCard&, const Argument&);
    struct Rule {
        int code;
        Run run;
    };
    // Cycle commands are refused (KELVSIM_ERR_BUSY) when the program cannot take them.
    static const auto cycle = [](CCard& c, bool (CCardRunner::*command)()) -> std::int32_t {
        if (c.activeSafety_ != 0) {
            return KELVSIM_ERR_BUSY;
        }
        return ((*c.runner_).*command)() ? 0 : KELVSIM_ERR_BUSY;
    };
    static const auto option = [](bool& flag, const Argument& a) -> std::int32_t {
        if (a.i != 1 && a.i != -1) {
            return KELVSIM_ERR_ARGUMENT;
        }
        flag = a.i == 1;
        return 0;
    };
    static const auto query = [](CCard& c, std::int32_t value) -> std::int32_t {
        c.SetReply(value);
        return 0;
    };
    static const Rule rules[] = {
        {code::AbortProgram,
         [](CCard& c, const Argument&) -> std::int32_t {
             c.runner_->Abort();
             c.homing_->Cancel("aborted");
             for (auto& axis : c.state_.axes) {
                 axis.Stop();
             }
             return 0;
         }},
        {code::CycleStart,
         [](CCard& c, const Argument&) { return cycle(c, &CCardRunner::CycleStart); }},
        {code::SingleBlock,
         [](CCard& c, const Argument&) { return cycle(c, &CCardRunner::SingleBlock); }},
        {code::FeedHold,
         [](CCard& c, const Argument&) { return cycle(c, &CCardRunner::FeedHold); }},
        {code::DryRunOn,
         [](CCard& c, const Argument&) {
             c.state_.options.dryRun = true;
             return 0;
         }},
        {code::DryRunOff,
         [](CCard& c, const Argument&) {
             c.state_.options.dryRun = false;
             return 0;
         }},
        {code::BlockSkipOn,
         [](CCard& c, const Argument&) {
             c.state_.options.blockSkip = true;
             return 0;
         }},
        {code::BlockSkipOff,
         [](CCard& c, const Argument&) {
             c.state_.options.blockSkip = false;
             return 0;
         }},
        {code::FeedOverride,
         [](CCard& c, const Argument& a) {
             c.state_.options.feedOverride = std::clamp(a.d, 0.0, 1.5);
             return 0;
         }},
        {code::RapidOverride,
         [](CCard& c, const Argument& a) {
             c.state_.options.rapidOverride = std::clamp(a.d, 0.0, 1.0);
             return 0;
         }},
        {code::SpindleOverride,
         [](CCard& c, const Argument& a) {
             c.state_.options.spindleOverride = std::clamp(a.d, 0.0, 1.5);
             return 0;
         }},
        {code::OutputOption490,
         [](CCard& c, const Argument& a) { return option(c.state_.options.option490, a); }},
        {code::OutputOption491,
         [](CCard& c, const Argument& a) { return option(c.state_.options.option491, a); }},
        {code::OutputEchoBlocks,
         [](CCard& c, const Argument& a) { return option(c.state_.options.echoBlocks, a); }},
        {code::OutputMessages,
         [](CCard& c, const Argument& a) { return option(c.state_.options.messages, a); }},
        {code::ProgramStatus,
         [](CCard& c, const Argument&) {
             return query(c, static_cast<std::int32_t>(c.ProgramStatus()));
         }},
        {code::FilePosition,
         [](CCard& c, const Argument&) { return query(c, c.runner_->LineNumber()); }},
        {code::SequenceNumber,
         [](CCard& c, const Argument&) { return query(c, c.runner_->Sequence()); }},
        {code::RepeatCount,
         [](CCard& c, const Argument&) { return query(c, 0); }}, // no repeats (no subprograms)
        {code::ProgramNumber,
         [](CCard& c, const Argument&) { return query(c, c.runner_->ProgramNumber()); }},
        {code::ToolNumber, [](CCard& c, const Argument&) { return query(c, c.runner_->Tool()); }},
        {code::SpindleSpeed,
         [](CCard& c, const Argument&) -> std::int32_t {
             c.SetReply(c.runner_->SpindleSpeed());
             return 0;
         }},
        {code::ActiveModes,
         [](CCard& c, const Argument&) {
             return query(c, static_cast<std::int32_t>(EncodeModesWord(c.runner_->Modes())));
         }},
        {code::ActiveFeed,
         [](CCard& c, const Argument&) -> std::int32_t {
             c.SetReply(c.runner_->Modes().feed);
             return 0;
         }},
        {code::ActiveSpeed,
         [](CCard& c, const Argument&) -> std::int32_t {
             c.SetReply(c.runner_->Modes().speed);
             return 0;
         }},
        {code::ToolLengthOffset,
         [](CCard& c, const Argument&) -> std::int32_t {
             c.SetReply(c.runner_->Modes().toolLength);
             return 0;
         }},
    };
    const auto rule = std::find_if(std::begin(rules), std::end(rules),
                                   [code](const Rule& r) { return r.code == code; });
    if (rule == std::end(rules)) {
        return KELVSIM_ERR_CODE;
    }
    return rule->run(*this, argument);
}

std::int32_t CCard::Reply(KELVHANDLE h, void* reply, int type) {
    Sync();
    if (!IsBinary(h)) {
        return KELVSIM_ERR_HANDLE;
    }
    if (reply == nullptr) {
        return KELVSIM_ERR_ARGUMENT;
    }
    if (type == KELV_TYPE_INT32) {
        const std::int32_t value = replyIsDouble_ ? Saturate(replyDouble_) : replyInt_;
        std::memcpy(reply, &value, sizeof value);
        return 0;
    }
    if (type == KELV_TYPE_DOUBLE) {
        const double value = replyIsDouble_ ? replyDouble_ : replyInt_;
        std::memcpy(reply, &value, sizeof value);
        return 0;
    }
    return KELVSIM_ERR_ARGUMENT;
}

} // namespace morvik
