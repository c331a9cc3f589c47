// Bits of the panel's button words: the six jog buttons (and jog keys) while held, and the
// external Start, Block and Feed hold buttons as the last tick read them from the card's
// inputs (ExternalControls keeps those in a word of its own).
#pragma once

#include <cstdint>

namespace morvik::button {
inline constexpr std::uint16_t kXPlus = 0x01;
inline constexpr std::uint16_t kXMinus = 0x02;
inline constexpr std::uint16_t kYPlus = 0x04;
inline constexpr std::uint16_t kYMinus = 0x08;
inline constexpr std::uint16_t kZPlus = 0x10;
inline constexpr std::uint16_t kZMinus = 0x20;
inline constexpr std::uint16_t kJogMask = 0x3f;
inline constexpr std::uint16_t kStart = 0x100;
inline constexpr std::uint16_t kBlock = 0x200;
inline constexpr std::uint16_t kFeedHold = 0x400;
inline constexpr std::uint16_t kExternalMask = kStart | kBlock | kFeedHold;
} // namespace morvik::button
