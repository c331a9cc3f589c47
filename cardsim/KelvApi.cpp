// The controller library's functions (controller/KelvApi.h) as exported by the simulated
// card's libkelvapi32.so: each takes the card's lock, calls the card and, when a trace file
// is set, appends its trace line (format in Trace.h). The axis functions convert rates from
// the card's part-program time unit to seconds (RATECONV of the axis).
#pragma GCC visibility push(default)
#include "controller/KelvApi.h"
#pragma GCC visibility pop

#include "cardsim/CardInstance.h"
#include "cardsim/KelvSim.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace morvik;

namespace morvik {

CCard& TheCard() {
    static CCard card;
    return card;
}

CTrace& TheTrace() {
    static CTrace trace;
    return trace;
}

std::mutex& TheCardMutex() {
    static std::mutex mutex;
    return mutex;
}

} // namespace morvik

namespace {

// Larger rates or positions than this are not a machine's: refused rather than overflowing.
constexpr double kMaxApiValue = 1e9;

template <typename Build> void TraceCall(Build&& build) {
    if (TheTrace().Enabled()) {
        TheTrace().Write(build().Text());
    }
}

std::string Hex(unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%x", value);
    return buffer;
}

std::string TraceArgument(const void* argument, int type) {
    if (argument == nullptr) {
        return "NULL";
    }
    if (type == KELV_TYPE_INT32) {
        return std::to_string(*static_cast<const std::int32_t*>(argument));
    }
    if (type == KELV_TYPE_DOUBLE) {
        return TraceDouble(*static_cast<const double*>(argument));
    }
    return "?";
}

// Runs `call` on the fitted axis behind h; results for a closed handle or a missing axis.
template <typename Call> std::int32_t OnAxis(KELVHANDLE h, int axis, Call&& call) {
    CCard& card = TheCard();
    if (!card.IsBinary(h)) {
        return KELVSIM_ERR_HANDLE;
    }
    CCardAxis* target = card.Axis(h, axis);
    return target == nullptr ? KELVSIM_ERR_AXIS : call(*target);
}

// The four rate setters: finite and not negative; the value is in the card's time unit.
template <typename Set>
std::int32_t SetRate(KELVHANDLE h, int axis, double value, int power, Set&& set) {
    if (!std::isfinite(value) || value < 0 || value > kMaxApiValue) {
        return TheCard().IsBinary(h) ? KELVSIM_ERR_ARGUMENT : KELVSIM_ERR_HANDLE;
    }
    return OnAxis(h, axis, [&](CCardAxis& a) {
        const double rc = a.Config().rateConv;
        set(a, power == 0 ? value : value / std::pow(rc, power));
        return 0;
    });
}

std::int32_t AxisRateCall(const char* name, KELVHANDLE h, int16_t axis, double value, int power,
                          void (*set)(CCardAxis&, double)) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = SetRate(h, axis, value, power, set);
    TraceCall([&] {
        return CTraceLine(name)
            .Arg(TraceHandle(h))
            .Arg(axis)
            .Arg(TraceDouble(value))
            .Result(result);
    });
    return result;
}

std::int32_t PositionQuery(const char* name, KELVHANDLE h, int16_t axis, double* position,
                           double (CCardAxis::*read)() const) {
    std::lock_guard lock(TheCardMutex());
    double value = 0;
    std::int32_t result = KELVSIM_ERR_ARGUMENT;
    if (position != nullptr) {
        result = OnAxis(h, axis, [&](CCardAxis& a) {
            value = (a.*read)();
            return 0;
        });
        *position = value;
    }
    TraceCall([&] {
        CTraceLine line(name);
        line.Arg(TraceHandle(h)).Arg(axis);
        if (position == nullptr) {
            return line.Arg("NULL").Result(result);
        }
        return line.Result(result).Output(TraceDouble(value));
    });
    return result;
}

// Go and move absolute: refused while a program moves the axes or an emergency stop holds.
template <typename Move> std::int32_t MotionCall(KELVHANDLE h, int axis, Move&& move) {
    return OnAxis(h, axis, [&](CCardAxis& a) -> std::int32_t {
        if (!TheCard().MotionAllowed()) {
            return KELVSIM_ERR_BUSY;
        }
        return move(a) ? 0 : KELVSIM_ERR_BUSY;
    });
}

} // namespace

#pragma GCC visibility push(default)
extern "C" {

KELVHANDLE KelvOpen(int16_t controllerId, uint16_t mode, int32_t reserved) {
    std::lock_guard lock(TheCardMutex());
    const KELVHANDLE h = TheCard().Open(controllerId, mode);
    TraceCall([&] {
        return CTraceLine("KelvOpen")
            .Arg(controllerId)
            .Arg(Hex(mode))
            .Arg(reserved)
            .Result(TraceHandle(h));
    });
    return h;
}

int32_t KelvClose(KELVHANDLE h) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = TheCard().Close(h);
    TraceCall([&] { return CTraceLine("KelvClose").Arg(TraceHandle(h)).Result(result); });
    return result;
}

int32_t KelvGetConfigurationEx(KELVHANDLE h, KELVCONFIG* config) {
    std::lock_guard lock(TheCardMutex());
    const std::string size = config ? "size=" + std::to_string(config->size) : "NULL";
    const std::int32_t result = TheCard().GetConfiguration(h, config);
    TraceCall([&] {
        CTraceLine line("KelvGetConfigurationEx");
        line.Arg(TraceHandle(h)).Arg(size).Result(result);
        if (result == 0) {
            line.Output("type=" + std::to_string(config->controllerType));
        }
        return line;
    });
    return result;
}

int32_t dorncmdex(KELVHANDLE h, int16_t axis, int32_t code, void* argument, int16_t type) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = TheCard().Command(h, axis, code, argument, type);
    TraceCall([&] {
        return CTraceLine("dorncmdex")
            .Arg(TraceHandle(h))
            .Arg(axis)
            .Arg(code)
            .Arg(TraceArgument(argument, type))
            .Arg(type)
            .Result(result);
    });
    return result;
}

int32_t dornrpyex(KELVHANDLE h, void* reply, int16_t type) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = TheCard().Reply(h, reply, type);
    TraceCall([&] {
        CTraceLine line("dornrpyex");
        line.Arg(TraceHandle(h));
        if (reply == nullptr) {
            line.Arg("NULL");
        }
        line.Arg(type).Result(result);
        if (result == 0) {
            line.Output(TraceArgument(reply, type));
        }
        return line;
    });
    return result;
}

int16_t dornrdy(KELVHANDLE h) {
    std::lock_guard lock(TheCardMutex());
    const std::int16_t result = TheCard().Ready(h);
    TraceCall([&] { return CTraceLine("dornrdy").Arg(TraceHandle(h)).Result(result); });
    return result;
}

int32_t dornputs(KELVHANDLE h, const char* text) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = TheCard().Puts(h, text);
    TraceCall([&] {
        return CTraceLine("dornputs").Arg(TraceHandle(h)).Arg(TraceText(text)).Result(result);
    });
    return result;
}

int16_t dorngets(KELVHANDLE h, char* buffer, int16_t size) {
    std::lock_guard lock(TheCardMutex());
    const std::int16_t result = TheCard().Gets(h, buffer, size);
    TraceCall([&] {
        CTraceLine line("dorngets");
        line.Arg(TraceHandle(h));
        if (buffer == nullptr) {
            line.Arg("NULL");
        }
        line.Arg(size).Result(result);
        if (result > 0) {
            line.Output(TraceText(std::string_view(buffer, static_cast<std::size_t>(result))));
        }
        return line;
    });
    return result;
}

int16_t dorngetc(KELVHANDLE h) {
    std::lock_guard lock(TheCardMutex());
    const std::int16_t result = TheCard().Getc(h);
    TraceCall([&] {
        const char c = static_cast<char>(result);
        return CTraceLine("dorngetc")
            .Arg(TraceHandle(h))
            .Result(result == 0 ? std::string("0") : TraceText(std::string_view(&c, 1)));
    });
    return result;
}

int32_t KelvBlockBegin(KELVHANDLE h, int16_t mode, int32_t number) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = TheCard().IsBinary(h) ? 0 : KELVSIM_ERR_HANDLE;
    TraceCall([&] {
        return CTraceLine("KelvBlockBegin")
            .Arg(TraceHandle(h))
            .Arg(mode)
            .Arg(number)
            .Result(result);
    });
    return result;
}

int32_t KelvBlockEnd(KELVHANDLE h, int16_t mode) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = TheCard().IsBinary(h) ? 0 : KELVSIM_ERR_HANDLE;
    TraceCall(
        [&] { return CTraceLine("KelvBlockEnd").Arg(TraceHandle(h)).Arg(mode).Result(result); });
    return result;
}

int32_t KelvMacroCall(KELVHANDLE h, int32_t macro) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = TheCard().MacroCall(h, macro);
    TraceCall(
        [&] { return CTraceLine("KelvMacroCall").Arg(TraceHandle(h)).Arg(macro).Result(result); });
    return result;
}

// A status word for a closed handle or a missing axis is 0: no condition is set.
int32_t KelvGetStatus(KELVHANDLE h, int16_t axis) {
    std::lock_guard lock(TheCardMutex());
    CCardAxis* target = TheCard().Axis(h, axis);
    const std::int32_t result = target ? static_cast<std::int32_t>(target->Status()) : 0;
    TraceCall([&] {
        return CTraceLine("KelvGetStatus")
            .Arg(TraceHandle(h))
            .Arg(axis)
            .Result(TraceWord(static_cast<std::uint32_t>(result)));
    });
    return result;
}

int32_t KelvDecodeStatus(KELVHANDLE h, int32_t status, int16_t condition) {
    std::lock_guard lock(TheCardMutex());
    CCard& card = TheCard();
    const bool open = card.IsBinary(h) || card.IsAscii(h);
    const std::int32_t result =
        open && condition >= 0 && condition < 32
            ? static_cast<std::int32_t>((static_cast<std::uint32_t>(status) >> condition) & 1u)
            : 0;
    TraceCall([&] {
        return CTraceLine("KelvDecodeStatus")
            .Arg(TraceHandle(h))
            .Arg(TraceWord(static_cast<std::uint32_t>(status)))
            .Arg(condition)
            .Result(result);
    });
    return result;
}

int32_t KelvGetPositionEx(KELVHANDLE h, int16_t axis, double* position) {
    return PositionQuery("KelvGetPositionEx", h, axis, position, &CCardAxis::Current);
}

int32_t KelvGetOptimalEx(KELVHANDLE h, int16_t axis, double* position) {
    return PositionQuery("KelvGetOptimalEx", h, axis, position, &CCardAxis::Optimal);
}

int32_t KelvGetTargetEx(KELVHANDLE h, int16_t axis, double* position) {
    return PositionQuery("KelvGetTargetEx", h, axis, position, &CCardAxis::Target);
}

int32_t KelvMoveAbsolute(KELVHANDLE h, int16_t axis, double position) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result =
        std::isfinite(position) && std::fabs(position) <= kMaxApiValue
            ? MotionCall(h, axis, [&](CCardAxis& a) { return a.MoveAbsolute(position); })
            : KELVSIM_ERR_ARGUMENT;
    TraceCall([&] {
        return CTraceLine("KelvMoveAbsolute")
            .Arg(TraceHandle(h))
            .Arg(axis)
            .Arg(TraceDouble(position))
            .Result(result);
    });
    return result;
}

int32_t KelvMoveRelative(KELVHANDLE h, int16_t axis, double distance) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result =
        std::isfinite(distance) && std::fabs(distance) <= kMaxApiValue
            ? MotionCall(h, axis, [&](CCardAxis& a) { return a.MoveRelative(distance); })
            : KELVSIM_ERR_ARGUMENT;
    TraceCall([&] {
        return CTraceLine("KelvMoveRelative")
            .Arg(TraceHandle(h))
            .Arg(axis)
            .Arg(TraceDouble(distance))
            .Result(result);
    });
    return result;
}

int32_t KelvSetVelocity(KELVHANDLE h, int16_t axis, double velocity) {
    return AxisRateCall("KelvSetVelocity", h, axis, velocity, 1,
                        [](CCardAxis& a, double v) { a.SetVelocity(v); });
}

int32_t KelvSetAcceleration(KELVHANDLE h, int16_t axis, double acceleration) {
    return AxisRateCall("KelvSetAcceleration", h, axis, acceleration, 2,
                        [](CCardAxis& a, double v) { a.SetAcceleration(v); });
}

int32_t KelvSetDeceleration(KELVHANDLE h, int16_t axis, double deceleration) {
    return AxisRateCall("KelvSetDeceleration", h, axis, deceleration, 2,
                        [](CCardAxis& a, double v) { a.SetDeceleration(v); });
}

int32_t KelvSetVelocityOverride(KELVHANDLE h, int16_t axis, double factor) {
    return AxisRateCall("KelvSetVelocityOverride", h, axis, factor, 0,
                        [](CCardAxis& a, double v) { a.SetOverride(std::min(v, 2.0)); });
}

int32_t KelvSetOperatingMode(KELVHANDLE h, int16_t axis, int16_t master, int16_t mode) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = OnAxis(h, axis, [&](CCardAxis& a) {
        a.SetMode(mode);
        return 0;
    });
    TraceCall([&] {
        return CTraceLine("KelvSetOperatingMode")
            .Arg(TraceHandle(h))
            .Arg(axis)
            .Arg(master)
            .Arg(mode)
            .Result(result);
    });
    return result;
}

int32_t KelvEnableAxis(KELVHANDLE h, int16_t axis, int16_t state) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = OnAxis(h, axis, [&](CCardAxis& a) {
        a.Enable(state != 0);
        return 0;
    });
    TraceCall([&] {
        return CTraceLine("KelvEnableAxis").Arg(TraceHandle(h)).Arg(axis).Arg(state).Result(result);
    });
    return result;
}

int32_t KelvDirection(KELVHANDLE h, int16_t axis, int16_t direction) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = OnAxis(h, axis, [&](CCardAxis& a) {
        return a.SetDirection(direction) ? 0 : KELVSIM_ERR_ARGUMENT;
    });
    TraceCall([&] {
        return CTraceLine("KelvDirection")
            .Arg(TraceHandle(h))
            .Arg(axis)
            .Arg(direction)
            .Result(result);
    });
    return result;
}

int32_t KelvGo(KELVHANDLE h, int16_t axis) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = MotionCall(h, axis, [](CCardAxis& a) { return a.Go(); });
    TraceCall([&] { return CTraceLine("KelvGo").Arg(TraceHandle(h)).Arg(axis).Result(result); });
    return result;
}

int32_t KelvStop(KELVHANDLE h, int16_t axis) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = OnAxis(h, axis, [](CCardAxis& a) {
        a.Stop();
        return 0;
    });
    TraceCall([&] { return CTraceLine("KelvStop").Arg(TraceHandle(h)).Arg(axis).Result(result); });
    return result;
}

int32_t KelvEnableDigitalIO(KELVHANDLE h, int16_t channel, int16_t state) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = TheCard().SetOutput(h, channel, state);
    TraceCall([&] {
        return CTraceLine("KelvEnableDigitalIO")
            .Arg(TraceHandle(h))
            .Arg(channel)
            .Arg(state)
            .Result(result);
    });
    return result;
}

int32_t KelvGetDigitalIOEx(KELVHANDLE h, int16_t reserved, uint32_t* word) {
    std::lock_guard lock(TheCardMutex());
    const std::int32_t result = TheCard().ReadIo(h, word);
    TraceCall([&] {
        CTraceLine line("KelvGetDigitalIOEx");
        line.Arg(TraceHandle(h)).Arg(reserved);
        if (word == nullptr) {
            line.Arg("NULL");
        }
        line.Result(result);
        if (result == 0) {
            line.Output(TraceWord(*word));
        }
        return line;
    });
    return result;
}

} // extern "C"
#pragma GCC visibility pop
