// The card's vocabulary: its binary command and query codes, the bits of its program status
// word and the rule that maps an I/O channel to a bit of the I/O word. Written once, beside
// the library's declarations (KelvApi.h): the connection (MotionController), the operation
// layer, the status display and the simulated card (cardsim/) all spell them from here.
#pragma once

#include <cstdint>
#include <string_view>

namespace morvik {

// Binary commands, each sent on axis 0.
namespace code {
constexpr std::int32_t AbortProgram = 401;
constexpr std::int32_t CycleStart = 410;
constexpr std::int32_t SingleBlock = 411;
constexpr std::int32_t FeedHold = 412;
constexpr std::int32_t DryRunOn = 420;
constexpr std::int32_t DryRunOff = 421;
constexpr std::int32_t BlockSkipOn = 424;
constexpr std::int32_t BlockSkipOff = 425;
constexpr std::int32_t FeedOverride = 440;    // fraction, 1.0 = 100 %, double
constexpr std::int32_t RapidOverride = 441;   // fraction, double
constexpr std::int32_t SpindleOverride = 442; // fraction, double
// Output options: +1 on, -1 off. 494 echoes each block, 495 sends the program's messages.
constexpr std::int32_t OutputOption490 = 490;
constexpr std::int32_t OutputOption491 = 491;
constexpr std::int32_t OutputEchoBlocks = 494;
constexpr std::int32_t OutputMessages = 495;

// Queries: the command with argument 0, then the reply of the given type.
constexpr std::int32_t ProgramStatus = 460;  // 32-bit integer, bits below
constexpr std::int32_t FilePosition = 461;   // 32-bit integer
constexpr std::int32_t SequenceNumber = 463; // 32-bit integer
constexpr std::int32_t RepeatCount = 464;    // 32-bit integer
constexpr std::int32_t ProgramNumber = 465;  // 32-bit integer
constexpr std::int32_t ToolNumber = 466;     // 32-bit integer
constexpr std::int32_t SpindleSpeed = 467;   // double
// The modal state in force (CardModes.h): the modes word, then F, S and the tool length.
constexpr std::int32_t ActiveModes = 468;      // 32-bit integer
constexpr std::int32_t ActiveFeed = 469;       // double, program units per minute
constexpr std::int32_t ActiveSpeed = 470;      // double, the S word
constexpr std::int32_t ToolLengthOffset = 471; // double, the card's length unit

// How the card's text line for a part error begins: "PART ERROR line 8: <reason>".
constexpr std::string_view PartErrorLine = "PART ERROR";
} // namespace code

// Bits of the program status word (reply of code::ProgramStatus).
namespace psw {
constexpr std::uint32_t Ready = 1u << 0;
constexpr std::uint32_t Running = 1u << 1;
constexpr std::uint32_t Finished = 1u << 2;
constexpr std::uint32_t Paused = 1u << 3;
constexpr std::uint32_t FeedHold = 1u << 4;
constexpr std::uint32_t DryRun = 1u << 5;
constexpr std::uint32_t BlockSkip = 1u << 6;
constexpr std::uint32_t Absolute = 1u << 8;
constexpr std::uint32_t Incremental = 1u << 9;
constexpr std::uint32_t PartError = 1u << 17;
constexpr std::uint32_t EmergencyStop = 1u << 18;
constexpr std::uint32_t ExternalEmergencyStop = 1u << 19;
constexpr std::uint32_t DriveFault = 1u << 20;
constexpr std::uint32_t MotorError = 1u << 21;
// A loaded program can be started (or stepped, or held) only while one of these is set.
constexpr std::uint32_t Startable = Ready | Running;
// A run is under way (running, paused or held): the card has a line it works on, and a new
// program or block must not be sent over it.
constexpr std::uint32_t RunUnderWay = Running | Paused | FeedHold;
// The error bits; any of them lights the panel's Error lamp.
constexpr std::uint32_t ErrorBits =
    PartError | EmergencyStop | ExternalEmergencyStop | DriveFault | MotorError;
// The bits of the card's safety inputs: they stop the machine in every mode.
constexpr std::uint32_t SafetyBits = EmergencyStop | ExternalEmergencyStop | DriveFault;
} // namespace psw

// Digital I/O channels are numbered 1..32; channel n is bit n-1 of the I/O word. Any other
// channel number (0 means "not connected") is never shifted into the word and reads as off.
constexpr bool IsIoChannel(int channel) {
    return channel >= 1 && channel <= 32;
}
constexpr std::uint32_t IoChannelBit(int channel) {
    return IsIoChannel(channel) ? 1u << (channel - 1) : 0u;
}
constexpr bool IoChannelOn(std::uint32_t word, int channel) {
    return IsIoChannel(channel) && ((word >> (channel - 1)) & 1u) != 0;
}

} // namespace morvik
