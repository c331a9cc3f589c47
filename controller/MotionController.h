// The machine document's connection to the motion-controller card.
//
// Two handles on the same card: the ASCII handle carries controller-language text (commands,
// part programs, configuration files) and the card's text output; the binary handle carries
// numbered commands with one argument, their replies, the axes and the digital I/O. Every call
// goes through the KelvApiTable, so the simulated card, a test fake and a vendor library serve
// alike. Library results are passed back unchecked, except opening.
//
// Waits. The card is only ever waited on through the clock, by sleeping:
//   - ASCII ready before a download or before part program text: polled every 25 ms, for at
//     most kAsciiReadyLimitMs (5 s);
//   - binary ready after an abort: polled every 1 ms, for at most the limit the caller gives
//     (the machine sizes it from its rates and decelerations), kBinaryReadyLimitMs (5 s) when
//     it gives none;
//   - after the end-of-text character of a download: a fixed 500 ms.
// A card that is not ready within its limit makes the wait return false after telling the
// operator once (message msg::CardNotAnswering); the caller then abandons its operation and the
// station stays usable.
//
// Axis operations take the controller axis number of a component; number 0 (or any number below
// 1) means the component is not fitted: no library call is made and queries read 0.
#pragma once

#include "controller/Clock.h"
#include "controller/KelvApiTable.h"
#include "controller/OperatorMessages.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace morvik {

// prefix + decimal number + "\r", e.g. AsciiCommand("RUF", -1234) is "RUF-1234\r". Digits are
// C-locale whatever the user's locale.
std::string AsciiCommand(const char* prefix, std::int32_t number);

// The single character that ends file or program text on the ASCII channel.
inline constexpr const char* kEndOfText = "\x1a";

enum class DownloadResult {
    Sent,          // "LO" command, every line and the end-of-text character were sent
    FileNotOpened, // the file could not be opened; nothing was sent
    CardNotReady,  // the card did not become ready after "LO": no line was sent, only the
                   // end-of-text character that closes the load again (operator told)
};

class MotionController {
public:
    static constexpr std::int32_t kTypeNoReadyTest = 10; // card type without an ASCII ready test
    static constexpr std::uint32_t kTypeNoReadyTestSleepMs = 10;
    static constexpr std::uint32_t kAsciiPollMs = 25;
    static constexpr std::uint32_t kAsciiReadyLimitMs = 5000;
    static constexpr std::uint32_t kBinaryPollMs = 1;
    static constexpr std::uint32_t kBinaryReadyLimitMs = 5000;
    static constexpr std::uint32_t kAfterDownloadMs = 500;
    static constexpr int kOutputBufferSize = 128;
    // DrainReplies gives up after this many reads: a card that never stops sending must not hold
    // the station. What is left is read by the status cycle like any other card text.
    static constexpr int kDrainReadLimit = 4096;

    MotionController(const KelvApiTable& api, IClock& clock, IOperatorMessages& ui,
                     std::int16_t controllerId = 0);
    // Closes a handle that is still open; the owner normally closes first, after its shutdown
    // commands.
    virtual ~MotionController();
    MotionController(const MotionController&) = delete;
    MotionController& operator=(const MotionController&) = delete;

    // Opens the binary handle, reads the card type, opens the ASCII handle. On failure the
    // operator sees msg::UnableToOpenBinary or msg::UnableToOpenAscii, whatever was opened is
    // closed again and false is returned: the application decides to end.
    bool OpenController();
    void CloseController();
    bool IsOpen() const { return binaryHandle_ != 0 && asciiHandle_ != 0; }

    std::int16_t ControllerId() const { return controllerId_; }
    std::int32_t ControllerType() const { return controllerType_; }
    KELVHANDLE AsciiHandle() const { return asciiHandle_; }
    KELVHANDLE BinaryHandle() const { return binaryHandle_; }

    // ASCII channel.
    void SendAscii(const std::string& text);
    bool AsciiReady();
    // AsciiReady polled every kAsciiPollMs for at most kAsciiReadyLimitMs; false (operator told)
    // when the card stayed busy.
    bool WaitAsciiReady();
    // dorngets with a buffer of bufferSize until a read returns nothing; the text is discarded.
    void DrainReplies(int bufferSize);
    // One piece of card output: one character, then up to 126 more that fit the 128-character
    // buffer with its terminator. Empty when nothing is waiting.
    std::string ReadOutput();
    // Sends the file as controller file fileNumber: "LO<n>\r", ready wait, each line with "\n",
    // the end-of-text character, then 500 ms. The caller drains the replies. Text sent after
    // "LOF\r" by the part program loader follows the same rules, end-of-text included when
    // WaitAsciiReady fails.
    DownloadResult DownloadFile(const std::string& path, std::int32_t fileNumber);

    // Binary channel. type is KELV_TYPE_INT32 (the argument is rounded) or KELV_TYPE_DOUBLE.
    void SendBinary(std::int32_t code, double argument, std::int16_t type);
    // The command with the integer argument 0, then its reply read as the given type.
    double QueryBinary(std::int32_t code, std::int16_t type);
    std::int32_t QueryInt(std::int32_t code);
    double QueryDouble(std::int32_t code);
    std::uint32_t ProgramStatus();
    // A query whose command the card may not know: empty when the card refused the command.
    std::optional<std::int32_t> TryQueryInt(std::int32_t code);
    std::optional<double> TryQueryDouble(std::int32_t code);
    bool BinaryReady();
    // BinaryReady polled every kBinaryPollMs for at most limitMs.
    bool WaitBinaryReady(std::uint32_t limitMs = kBinaryReadyLimitMs);

    void AbortProgram();
    // AbortProgram, then WaitBinaryReady: false (operator told) when the card stayed busy.
    bool AbortProgramAndWait(std::uint32_t limitMs = kBinaryReadyLimitMs);
    void CycleStart();
    void SingleBlock();
    void FeedHold();
    void SetDryRun(bool on);
    void SetBlockSkip(bool on);
    void SetOutputOption(std::int32_t optionCode, bool on);
    void SetFeedOverride(double fraction);
    void SetRapidOverride(double fraction);
    void SetSpindleOverride(double fraction);
    void EmptyBlock(std::int32_t number);
    void MacroCall(std::int32_t macro);

    // Digital I/O on the binary handle; channels 1..32 (others are never written).
    std::uint32_t ReadDigitalIO();
    void SetDigitalOutput(int channel, bool on);

    // Axis operations; an axis below 1 makes no call and returns 0.
    std::int32_t SetDirection(std::int16_t axis, std::int16_t direction);
    std::int32_t EnableAxis(std::int16_t axis, std::int16_t state);
    std::int32_t Go(std::int16_t axis);
    std::int32_t Stop(std::int16_t axis);
    std::int32_t MoveAbsolute(std::int16_t axis, double position);
    std::int32_t MoveRelative(std::int16_t axis, double distance);
    std::int32_t SetVelocity(std::int16_t axis, double velocity);
    std::int32_t SetAcceleration(std::int16_t axis, double acceleration);
    std::int32_t SetDeceleration(std::int16_t axis, double deceleration);
    std::int32_t SetVelocityOverride(std::int16_t axis, double factor);
    std::int32_t SetOperatingMode(std::int16_t axis, std::int16_t master, std::int16_t mode);
    std::int32_t GetStatus(std::int16_t axis);
    // The library's decode takes no axis; axis only says whether the component is fitted.
    std::int32_t DecodeStatus(std::int16_t axis, std::int32_t status, std::int16_t condition);
    double GetPosition(std::int16_t axis);
    double GetOptimal(std::int16_t axis);
    double GetTarget(std::int16_t axis);

private:
    bool ReportIfNotAnswering(bool answered);
    void SendLines(std::istream& in);

    const KelvApiTable& api_;
    IClock& clock_;
    IOperatorMessages& ui_;
    std::int16_t controllerId_;
    std::int32_t controllerType_ = 0;
    KELVHANDLE asciiHandle_ = 0;
    KELVHANDLE binaryHandle_ = 0;
};

} // namespace morvik
