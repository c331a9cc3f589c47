// A controller library for tests of the layers above the card: a KelvApiTable whose functions
// record every call as a line of text and answer from state the test sets.
//
// The table holds plain function pointers, so the fake is reached through one current
// instance: construct exactly one FakeKelvApi per test (a fixture member is the usual place).
//
// Recorded lines name the function and its arguments after the handle; the ASCII handle is
// written "A", the binary handle "B", texts are quoted with "\r", "\n", "\x1a" made visible:
//   KelvOpen(0, 0x8002, 0)   dornputs(A, "LO100\r")   dorncmdex(B, 0, 440, 1.5, 4)
//   dornrpyex(B, 2)          dorngets(A, 80)          KelvMoveAbsolute(B, 1, 2.5)
#pragma once

#include "controller/Clock.h"
#include "controller/KelvApiTable.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace morvik::test {

class FakeKelvApi {
public:
    FakeKelvApi();
    ~FakeKelvApi();
    FakeKelvApi(const FakeKelvApi&) = delete;
    FakeKelvApi& operator=(const FakeKelvApi&) = delete;

    const KelvApiTable& Table() const { return table_; }

    // --- What the fake answers ---
    KELVHANDLE binaryHandle = 0x12; // KelvOpen in binary mode; negative refuses
    KELVHANDLE asciiHandle = 0x11;  // KelvOpen in ASCII mode; negative refuses
    std::int32_t configResult = 0;  // KelvGetConfigurationEx result
    std::int32_t controllerType = 1;
    int asciiBusyPolls = 0; // dornrdy(A) answers busy (0) this many times, then -1
    bool asciiNeverReady = false;
    int binaryBusyPolls = 0; // dornrdy(B) answers 0 this many times, then 1
    bool binaryNeverReady = false;
    std::string output;                            // card text waiting for dorngetc/dorngets
    std::map<std::int32_t, double> replies;        // dornrpyex answer per last command code
    std::map<std::int16_t, double> positions;      // KelvGetPositionEx
    std::map<std::int16_t, double> optimals;       // KelvGetOptimalEx
    std::map<std::int16_t, double> targets;        // KelvGetTargetEx
    std::map<std::int16_t, std::int32_t> statuses; // KelvGetStatus
    std::uint32_t ioWord = 0;                      // KelvGetDigitalIOEx
    std::int32_t callResult = 0;                   // result of the calls whose result means nothing
    IClock* clock = nullptr; // when set, each call's time is kept in callTimes

    // --- What the station did ---
    std::vector<std::string> calls;
    std::vector<std::uint64_t> callTimes;
    std::string sentText; // every dornputs text, concatenated

    // Recorded lines of one function (name without arguments), in order.
    std::vector<std::string> CallsOf(const std::string& function) const;
    int CountOf(const std::string& function) const;
    void ClearCalls();

    // "\r" -> \r, "\n" -> \n, 0x1A -> \x1a, other control characters as \xHH; quotes escaped.
    static std::string Escape(const std::string& text);

private:
    static FakeKelvApi& Current();
    void Record(std::string line);
    std::string H(KELVHANDLE handle) const;
    void FillConnection();
    void FillAscii();
    void FillBinary();
    void FillAxes();
    void FillAxisSetters();

    KelvApiTable table_;
    std::int32_t lastCode_ = 0;
};

} // namespace morvik::test
