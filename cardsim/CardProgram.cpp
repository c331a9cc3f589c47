#include "cardsim/CardProgram.h"

#include "gcode/ProgramNumber.h"

#include <limits>

namespace morvik {

int CardProgramNumberOf(std::string_view line) {
    // The station cannot send a run command for a number whose negation does not fit.
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
    const auto number = gcode::OfferedProgramNumber(line);
    if (!number || *number > kLimit || *number < -kLimit) {
        return 0;
    }
    return static_cast<int>(*number);
}

CCardProgram::CCardProgram(std::string text) : text_(std::move(text)) {
    std::size_t pos = 0;
    while (pos < text_.size()) {
        auto end = text_.find('\n', pos);
        if (end == std::string::npos) {
            end = text_.size();
        }
        std::size_t length = end - pos;
        if (length > 0 && text_[pos + length - 1] == '\r') {
            --length;
        }
        starts_.push_back(static_cast<std::uint32_t>(pos));
        lengths_.push_back(static_cast<std::uint32_t>(length));
        if (number_ == 0) {
            number_ = CardProgramNumberOf(Line(starts_.size() - 1));
        }
        pos = end + 1;
    }
}

std::string_view CCardProgram::Line(std::size_t i) const {
    if (i >= starts_.size()) {
        return {};
    }
    return std::string_view(text_).substr(starts_[i], lengths_[i]);
}

} // namespace morvik
