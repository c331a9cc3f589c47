// The program-number scan's reading of one line: a line offers a number when its very first
// character is the program number O (or ':') or the sequence number N, either case, followed
// (blanks allowed, as in any word) by a signed decimal integer; reading stops at the first
// character that is not a digit, so "O1000 (PART A)" offers 1000 and "N10 G00 X0" offers 10.
// The station's load and the card's program store both file a program this way.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace morvik::gcode {

// The integer the line offers, std::nullopt when it offers none or one beyond 64 bits.
std::optional<std::int64_t> OfferedProgramNumber(std::string_view line);

} // namespace morvik::gcode
