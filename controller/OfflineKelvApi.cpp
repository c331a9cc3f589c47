#include "controller/OfflineKelvApi.h"

namespace morvik {

namespace {

constexpr KELVHANDLE kBinaryHandle = 1;
constexpr KELVHANDLE kAsciiHandle = 2;

KelvApiTable MakeOfflineTable() {
    KelvApiTable t;
    t.KelvOpen = [](int16_t, uint16_t mode, int32_t) -> KELVHANDLE {
        return mode == KELV_MODE_BINARY ? kBinaryHandle : kAsciiHandle;
    };
    t.KelvClose = [](KELVHANDLE) -> int32_t { return 0; };
    t.KelvGetConfigurationEx = [](KELVHANDLE, KELVCONFIG* config) -> int32_t {
        config->controllerType = 1;
        return 0;
    };
    t.dorncmdex = [](KELVHANDLE, int16_t, int32_t, void*, int16_t) -> int32_t { return 0; };
    t.dornrpyex = [](KELVHANDLE, void* reply, int16_t type) -> int32_t {
        if (type == KELV_TYPE_DOUBLE)
            *static_cast<double*>(reply) = 0.0;
        else
            *static_cast<int32_t*>(reply) = 0;
        return 0;
    };
    // -1 is "ready" for the ASCII handle and non-zero is "ready" for the binary one.
    t.dornrdy = [](KELVHANDLE) -> int16_t { return -1; };
    t.dornputs = [](KELVHANDLE, const char*) -> int32_t { return 0; };
    t.dorngets = [](KELVHANDLE, char* buffer, int16_t size) -> int16_t {
        if (buffer != nullptr && size > 0)
            buffer[0] = '\0';
        return 0;
    };
    t.dorngetc = [](KELVHANDLE) -> int16_t { return 0; };
    t.KelvBlockBegin = [](KELVHANDLE, int16_t, int32_t) -> int32_t { return 0; };
    t.KelvBlockEnd = [](KELVHANDLE, int16_t) -> int32_t { return 0; };
    t.KelvMacroCall = [](KELVHANDLE, int32_t) -> int32_t { return 0; };
    t.KelvGetStatus = [](KELVHANDLE, int16_t) -> int32_t { return 0; };
    t.KelvDecodeStatus = [](KELVHANDLE, int32_t, int16_t) -> int32_t { return 0; };
    auto position = [](KELVHANDLE, int16_t, double* value) -> int32_t {
        *value = 0.0;
        return 0;
    };
    t.KelvGetPositionEx = position;
    t.KelvGetOptimalEx = position;
    t.KelvGetTargetEx = position;
    auto setter = [](KELVHANDLE, int16_t, double) -> int32_t { return 0; };
    t.KelvMoveAbsolute = setter;
    t.KelvMoveRelative = setter;
    t.KelvSetVelocity = setter;
    t.KelvSetAcceleration = setter;
    t.KelvSetDeceleration = setter;
    t.KelvSetVelocityOverride = setter;
    t.KelvSetOperatingMode = [](KELVHANDLE, int16_t, int16_t, int16_t) -> int32_t { return 0; };
    auto axisWithArgument = [](KELVHANDLE, int16_t, int16_t) -> int32_t { return 0; };
    t.KelvEnableAxis = axisWithArgument;
    t.KelvDirection = axisWithArgument;
    auto axisOnly = [](KELVHANDLE, int16_t) -> int32_t { return 0; };
    t.KelvGo = axisOnly;
    t.KelvStop = axisOnly;
    t.KelvEnableDigitalIO = axisWithArgument;
    t.KelvGetDigitalIOEx = [](KELVHANDLE, int16_t, uint32_t* word) -> int32_t {
        *word = 0;
        return 0;
    };
    return t;
}

} // namespace

const KelvApiTable& OfflineKelvApi() {
    static const KelvApiTable table = MakeOfflineTable();
    return table;
}

} // namespace morvik
