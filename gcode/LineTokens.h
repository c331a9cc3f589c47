// The lexical rules of a G-code line, shared by the block reader and the editor's colouring:
// comments "(...)" (one left open ends with the line) and ';' to the end of the line, address
// words (a letter, blanks allowed, then its number made of digits, '.', '-' and '+'), and any
// other character on its own. A letter without a number is a word whose number is empty.
#pragma once

#include "gcode/Number.h"

#include <cstddef>
#include <string_view>

namespace morvik::gcode {

enum class CTokenKind : unsigned char { Word, Comment, LineComment, Other };

struct CToken {
    CTokenKind kind = CTokenKind::Other;
    std::size_t start = 0; // the letter, '(' or ';'
    std::size_t end = 0;   // one past the token
    std::size_t value = 0; // Word: first character of the number (== end when there is none)
    bool closed = false;   // Comment: ends with its ')'
};

inline bool IsWordLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ':';
}

class CLineTokens {
public:
    explicit CLineTokens(std::string_view line) : line_(line) {}

    // The next token after blanks; false at the end of the line.
    bool Next(CToken& token);
    std::size_t Position() const { return at_; }

private:
    std::string_view line_;
    std::size_t at_ = 0;
};

} // namespace morvik::gcode
