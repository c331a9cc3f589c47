#include "gcode/LineTokens.h"

namespace morvik::gcode {

bool CLineTokens::Next(CToken& token) {
    const std::size_t size = line_.size();
    while (at_ < size && IsBlank(line_[at_])) {
        ++at_;
    }
    if (at_ >= size) {
        return false;
    }
    token = CToken{};
    token.start = at_;
    const char c = line_[at_];
    if (c == ';') {
        token.kind = CTokenKind::LineComment;
        at_ = size;
    } else if (c == '(') {
        token.kind = CTokenKind::Comment;
        const auto close = line_.find(')', at_ + 1);
        token.closed = close != std::string_view::npos;
        at_ = token.closed ? close + 1 : size;
    } else if (IsWordLetter(c)) {
        token.kind = CTokenKind::Word;
        std::size_t value = at_ + 1;
        while (value < size && IsBlank(line_[value])) {
            ++value;
        }
        std::size_t end = value;
        while (end < size && IsNumberChar(line_[end])) {
            ++end;
        }
        // A letter without a number ends at the letter: what follows is read on its own.
        at_ = end == value ? at_ + 1 : end;
        token.value = end == value ? at_ : value;
    } else {
        token.kind = CTokenKind::Other;
        ++at_;
    }
    token.end = at_;
    return true;
}

} // namespace morvik::gcode
