// Numbers as G-code writes them, read in the C locale whatever the process's locale:
// "1", "-0.5", ".5", "+2.", never "0,5".
#pragma once

#include <optional>
#include <string_view>

namespace morvik::gcode {

// The blanks of the C locale; a block may have them between a letter and its number.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The characters a word's number is made of; the number ends at the first other character.
inline bool IsNumberChar(char c) {
    return IsDigit(c) || c == '.' || c == '-' || c == '+';
}

inline char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The whole text as a finite double; a leading '+' is allowed, blanks are not.
std::optional<double> ParseNumber(std::string_view text);

} // namespace morvik::gcode
