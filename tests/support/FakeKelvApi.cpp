#include "support/FakeKelvApi.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace morvik::test {

namespace {

FakeKelvApi* current = nullptr;

std::string D(double value) {
    char text[32];
    auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    (void)ec;
    return std::string(text, end);
}

std::string I(long long value) {
    return std::to_string(value);
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

} // namespace

FakeKelvApi::FakeKelvApi() {
    if (current)
        throw std::logic_error("only one FakeKelvApi at a time");
    current = this;
    FillConnection();
    FillAscii();
    FillBinary();
    FillAxes();
    FillAxisSetters();
}

FakeKelvApi::~FakeKelvApi() {
    current = nullptr;
}

FakeKelvApi& FakeKelvApi::Current() {
    return *current;
}

void FakeKelvApi::Record(std::string line) {
    calls.push_back(std::move(line));
    if (clock)
        callTimes.push_back(clock->NowMs());
}

std::string FakeKelvApi::H(KELVHANDLE handle) const {
    if (handle == asciiHandle)
        return "A";
    if (handle == binaryHandle)
        return "B";
    return I(handle);
}

std::vector<std::string> FakeKelvApi::CallsOf(const std::string& function) const {
    std::vector<std::string> found;
    for (const auto& line : calls)
        if (line.compare(0, function.size() + 1, function + "(") == 0)
            found.push_back(line);
    return found;
}

int FakeKelvApi::CountOf(const std::string& function) const {
    return static_cast<int>(CallsOf(function).size());
}

void FakeKelvApi::ClearCalls() {
    calls.clear();
    callTimes.clear();
    sentText.clear();
}

std::string FakeKelvApi::Escape(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + static_cast<char>(c);
        else if (c < 0x20 || c == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else
            out += static_cast<char>(c);
    }
    return out + "\"";
}

void FakeKelvApi::FillConnection() {
    table_.KelvOpen = [](std::int16_t id, std::uint16_t mode, std::int32_t reserved) {
        auto& f = Current();
        f.Record("KelvOpen(" + I(id) + ", " + Hex(mode) + ", " + I(reserved) + ")");
        return mode == KELV_MODE_BINARY  ? f.binaryHandle
               : mode == KELV_MODE_ASCII ? f.asciiHandle
                                         : KELVHANDLE{-1};
    };
    table_.KelvClose = [](KELVHANDLE h) {
        auto& f = Current();
        f.Record("KelvClose(" + f.H(h) + ")");
        return f.callResult;
    };
    table_.KelvGetConfigurationEx = [](KELVHANDLE h, KELVCONFIG* config) {
        auto& f = Current();
        f.Record("KelvGetConfigurationEx(" + f.H(h) + ", size " + I(config ? config->size : -1) +
                 ")");
        if (config && config->size == static_cast<std::int32_t>(sizeof(KELVCONFIG)) &&
            f.configResult == 0)
            config->controllerType = f.controllerType;
        return f.configResult;
    };
}

void FakeKelvApi::FillAscii() {
    table_.dornputs = [](KELVHANDLE h, const char* text) {
        auto& f = Current();
        std::string sent = text ? text : "";
        f.Record("dornputs(" + f.H(h) + ", " + Escape(sent) + ")");
        f.sentText += sent;
        return f.callResult;
    };
    table_.dorngets = [](KELVHANDLE h, char* buffer, std::int16_t size) -> std::int16_t {
        auto& f = Current();
        f.Record("dorngets(" + f.H(h) + ", " + I(size) + ")");
        if (h != f.asciiHandle)
            return -1; // like a card: a handle that is not open is an error
        if (!buffer || size <= 0)
            return 0;
        const auto n = std::min(static_cast<size_t>(size - 1), f.output.size());
        std::memcpy(buffer, f.output.data(), n);
        buffer[n] = '\0';
        f.output.erase(0, n);
        return static_cast<std::int16_t>(n);
    };
    table_.dorngetc = [](KELVHANDLE h) -> std::int16_t {
        auto& f = Current();
        f.Record("dorngetc(" + f.H(h) + ")");
        if (h != f.asciiHandle)
            return -1;
        if (f.output.empty())
            return 0;
        const auto c = static_cast<unsigned char>(f.output.front());
        f.output.erase(0, 1);
        return c;
    };
    table_.dornrdy = [](KELVHANDLE h) -> std::int16_t {
        auto& f = Current();
        f.Record("dornrdy(" + f.H(h) + ")");
        const bool ascii = h == f.asciiHandle;
        int& busy = ascii ? f.asciiBusyPolls : f.binaryBusyPolls;
        if ((ascii ? f.asciiNeverReady : f.binaryNeverReady) || busy > 0) {
            busy = std::max(busy - 1, 0);
            return 0;
        }
        return ascii ? -1 : 1;
    };
}

void FakeKelvApi::FillBinary() {
    table_.dorncmdex = [](KELVHANDLE h, std::int16_t axis, std::int32_t code, void* argument,
                          std::int16_t type) {
        auto& f = Current();
        std::string value = !argument                  ? "null"
                            : type == KELV_TYPE_DOUBLE ? D(*static_cast<double*>(argument))
                                                       : I(*static_cast<std::int32_t*>(argument));
        f.Record("dorncmdex(" + f.H(h) + ", " + I(axis) + ", " + I(code) + ", " + value + ", " +
                 I(type) + ")");
        f.lastCode_ = code;
        return f.callResult;
    };
    table_.dornrpyex = [](KELVHANDLE h, void* reply, std::int16_t type) {
        auto& f = Current();
        f.Record("dornrpyex(" + f.H(h) + ", " + I(type) + ")");
        auto it = f.replies.find(f.lastCode_);
        const double value = it == f.replies.end() ? 0.0 : it->second;
        if (reply && type == KELV_TYPE_DOUBLE)
            *static_cast<double*>(reply) = value;
        else if (reply)
            *static_cast<std::int32_t*>(reply) = static_cast<std::int32_t>(value);
        return f.callResult;
    };
    table_.KelvBlockBegin = [](KELVHANDLE h, std::int16_t mode, std::int32_t number) {
        auto& f = Current();
        f.Record("KelvBlockBegin(" + f.H(h) + ", " + I(mode) + ", " + I(number) + ")");
        return f.callResult;
    };
    table_.KelvBlockEnd = [](KELVHANDLE h, std::int16_t mode) {
        auto& f = Current();
        f.Record("KelvBlockEnd(" + f.H(h) + ", " + I(mode) + ")");
        return f.callResult;
    };
    table_.KelvMacroCall = [](KELVHANDLE h, std::int32_t macro) {
        auto& f = Current();
        f.Record("KelvMacroCall(" + f.H(h) + ", " + I(macro) + ")");
        return f.callResult;
    };
    table_.KelvEnableDigitalIO = [](KELVHANDLE h, std::int16_t channel, std::int16_t state) {
        auto& f = Current();
        f.Record("KelvEnableDigitalIO(" + f.H(h) + ", " + I(channel) + ", " + I(state) + ")");
        return f.callResult;
    };
    table_.KelvGetDigitalIOEx = [](KELVHANDLE h, std::int16_t reserved, std::uint32_t* word) {
        auto& f = Current();
        f.Record("KelvGetDigitalIOEx(" + f.H(h) + ", " + I(reserved) + ")");
        if (word)
            *word = f.ioWord;
        return f.callResult;
    };
}

void FakeKelvApi::FillAxes() {
    table_.KelvGetStatus = [](KELVHANDLE h, std::int16_t axis) {
        auto& f = Current();
        f.Record("KelvGetStatus(" + f.H(h) + ", " + I(axis) + ")");
        auto it = f.statuses.find(axis);
        return it == f.statuses.end() ? 0 : it->second;
    };
    table_.KelvDecodeStatus = [](KELVHANDLE h, std::int32_t status, std::int16_t condition) {
        auto& f = Current();
        f.Record("KelvDecodeStatus(" + f.H(h) + ", " + I(status) + ", " + I(condition) + ")");
        return (condition >= 0 && condition < 32) ? (status >> condition) & 1 : 0;
    };
    table_.KelvGetPositionEx = [](KELVHANDLE h, std::int16_t axis, double* position) {
        auto& f = Current();
        f.Record("KelvGetPositionEx(" + f.H(h) + ", " + I(axis) + ")");
        if (position)
            *position = f.positions.count(axis) ? f.positions[axis] : 0.0;
        return f.callResult;
    };
    table_.KelvGetOptimalEx = [](KELVHANDLE h, std::int16_t axis, double* position) {
        auto& f = Current();
        f.Record("KelvGetOptimalEx(" + f.H(h) + ", " + I(axis) + ")");
        if (position)
            *position = f.optimals.count(axis) ? f.optimals[axis] : 0.0;
        return f.callResult;
    };
    table_.KelvGetTargetEx = [](KELVHANDLE h, std::int16_t axis, double* position) {
        auto& f = Current();
        f.Record("KelvGetTargetEx(" + f.H(h) + ", " + I(axis) + ")");
        if (position)
            *position = f.targets.count(axis) ? f.targets[axis] : 0.0;
        return f.callResult;
    };
    table_.KelvSetOperatingMode = [](KELVHANDLE h, std::int16_t axis, std::int16_t master,
                                     std::int16_t mode) {
        auto& f = Current();
        f.Record("KelvSetOperatingMode(" + f.H(h) + ", " + I(axis) + ", " + I(master) + ", " +
                 I(mode) + ")");
        return f.callResult;
    };
    table_.KelvEnableAxis = [](KELVHANDLE h, std::int16_t axis, std::int16_t state) {
        auto& f = Current();
        f.Record("KelvEnableAxis(" + f.H(h) + ", " + I(axis) + ", " + I(state) + ")");
        return f.callResult;
    };
    table_.KelvDirection = [](KELVHANDLE h, std::int16_t axis, std::int16_t direction) {
        auto& f = Current();
        f.Record("KelvDirection(" + f.H(h) + ", " + I(axis) + ", " + I(direction) + ")");
        return f.callResult;
    };
    table_.KelvGo = [](KELVHANDLE h, std::int16_t axis) {
        auto& f = Current();
        f.Record("KelvGo(" + f.H(h) + ", " + I(axis) + ")");
        return f.callResult;
    };
    table_.KelvStop = [](KELVHANDLE h, std::int16_t axis) {
        auto& f = Current();
        f.Record("KelvStop(" + f.H(h) + ", " + I(axis) + ")");
        return f.callResult;
    };
}

// The five setters of the form (handle, axis, double).
void FakeKelvApi::FillAxisSetters() {
#define MORVIK_FAKE_SETTER(fn)                                                                     \
    table_.fn = [](KELVHANDLE h, std::int16_t axis, double value) {                                \
        auto& f = Current();                                                                       \
        f.Record(std::string(#fn "(") + f.H(h) + ", " + I(axis) + ", " + D(value) + ")");          \
        return f.callResult;                                                                       \
    };
    MORVIK_FAKE_SETTER(KelvMoveAbsolute)
    MORVIK_FAKE_SETTER(KelvMoveRelative)
    MORVIK_FAKE_SETTER(KelvSetVelocity)
    MORVIK_FAKE_SETTER(KelvSetAcceleration)
    MORVIK_FAKE_SETTER(KelvSetDeceleration)
    MORVIK_FAKE_SETTER(KelvSetVelocityOverride)
#undef MORVIK_FAKE_SETTER
}

} // namespace morvik::test
