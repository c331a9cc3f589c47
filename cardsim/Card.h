// The simulated card behind the controller library's functions. The C functions of
// libkelvapi32.so (KelvApi.cpp) and the KelvSim* functions (KelvSimApi.cpp) are thin
// wrappers around one CCard; tests may also build their own CCard.
//
// The card has no thread of its own: every call first brings the model up to the card's
// clock (Sync), in fixed 1 ms steps, jumping over stretches where nothing changes (at rest,
// dwelling, cruising at a steady speed), so that results depend on the clock only, never on
// how often the station polls.
#pragma once

#include "cardsim/CardClock.h"
#include "cardsim/CardHoming.h"
#include "cardsim/CardRunner.h"
#include "cardsim/CardState.h"
#include "controller/KelvApi.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace morvik {

class CCard {
public:
    static constexpr KELVHANDLE kBinaryHandle = 0x101;
    static constexpr KELVHANDLE kAsciiHandle = 0x102;

    CCard();
    CCard(const CCard&) = delete;
    CCard& operator=(const CCard&) = delete;

    void Reset();
    CCardClock& Clock() { return clock_; }
    void UseManualClock(bool on);
    void AdvanceMs(std::uint32_t ms);
    void Sync();

    // Handles.
    KELVHANDLE Open(int controllerId, unsigned mode);
    std::int32_t Close(KELVHANDLE h);
    bool IsBinary(KELVHANDLE h) const { return h == kBinaryHandle && binaryOpen_; }
    bool IsAscii(KELVHANDLE h) const { return h == kAsciiHandle && asciiOpen_; }
    std::int32_t GetConfiguration(KELVHANDLE h, KELVCONFIG* config);
    std::int16_t Ready(KELVHANDLE h);

    // Binary channel (CardBinary.cpp).
    std::int32_t Command(KELVHANDLE h, int axis, int code, const void* argument, int type);
    std::int32_t Reply(KELVHANDLE h, void* reply, int type);

    // ASCII channel (CardAscii.cpp).
    std::int32_t Puts(KELVHANDLE h, const char* text);
    std::int16_t Gets(KELVHANDLE h, char* buffer, int size);
    std::int16_t Getc(KELVHANDLE h);

    // Axes: the fitted axis behind a binary handle, or nullptr.
    CCardAxis* Axis(KELVHANDLE h, int number);
    // Refused while a program moves the axes or an emergency stop is active.
    bool MotionAllowed() const;
    std::int32_t MacroCall(KELVHANDLE h, int macro);

    // Digital I/O.
    std::int32_t SetOutput(KELVHANDLE h, int channel, int state);
    std::int32_t ReadIo(KELVHANDLE h, std::uint32_t* word);
    void SetInputs(std::uint32_t mask, std::uint32_t values);
    std::uint32_t IoWord() const { return io_; }

    // Faults and inspection for tests.
    void SetFault(int fault, bool on);
    int ControllerFile(int number, char* buffer, int size) const;
    const CCardState& State() const { return state_; }
    const CCardRunner& Runner() const { return *runner_; }
    std::uint32_t ProgramStatus() const;

private:
    void Step();
    std::uint64_t QuietSteps() const;
    void Jump(std::uint64_t steps);
    void CheckSafetyInputs();
    void ApplyConfig();
    void MirrorSlaves();
    std::uint32_t SafetyBits() const;

    // ASCII commands (CardAscii.cpp).
    void OnCommand(std::string_view command);
    void CommandLoadFile(std::string_view argument);
    void CommandLoadProgram(std::string_view argument);
    void CommandRead(std::string_view name, std::string_view argument);
    void CommandRun(std::string_view argument);
    void CommandMacro(std::string_view argument);
    void CommandParameter(std::string_view argument);
    void StoreProgram(std::string&& text, bool overflowed);

    // Binary commands (CardBinary.cpp).
    struct Argument {
        std::int32_t i = 0;
        double d = 0;
    };
    void SetReply(std::int32_t value);
    void SetReply(double value);
    std::int32_t CommandCode(int code, const Argument& argument);

    CCardClock clock_;
    std::uint64_t modelMs_ = 0;
    CCardState state_;
    std::optional<CCardRunner> runner_;
    std::optional<CCardHoming> homing_;
    bool binaryOpen_ = false;
    bool asciiOpen_ = false;
    std::uint32_t io_ = 0;
    std::uint32_t activeSafety_ = 0; // program status bits 18..20 now active
    bool refuseOpen_ = false;
    bool refuseAscii_ = false;
    bool neverReady_ = false;
    bool replyIsDouble_ = false;
    std::int32_t replyInt_ = 0;
    double replyDouble_ = 0;
    std::map<int, std::string> files_;
    std::map<int, std::shared_ptr<const CCardProgram>> programs_;
    std::map<int, bool> parameters_; // "PCn,EN" / "PCn,EF"
};

} // namespace morvik
