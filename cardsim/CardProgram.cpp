#include "cardsim/CardProgram.h"

#include <cctype>

namespace morvik {

int CardProgramNumberOf(std::string_view line) {
    if (line.empty() || std::string_view("OoNn:").find(line.front()) == std::string_view::npos) {
        return 0;
    }
    std::size_t pos = 1;
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
        ++pos;
    }
    bool negative = false;
    if (pos < line.size() && (line[pos] == '-' || line[pos] == '+')) {
        negative = line[pos] == '-';
        ++pos;
    }
    long long value = 0;
    while (pos < line.size() && std::isdigit(static_cast<unsigned char>(line[pos])) &&
           value < 1000000000LL) {
        value = value * 10 + (line[pos] - '0');
        ++pos;
    }
    if (value >= 1000000000LL) {
        return 0; // too long to be a program number
    }
    return static_cast<int>(negative ? -value : value);
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
