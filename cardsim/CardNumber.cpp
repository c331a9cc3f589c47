#include "cardsim/CardNumber.h"

#include <charconv>
#include <cmath>

namespace morvik {

std::string_view TrimCardText(std::string_view text) {
    const char* blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

namespace {

// from_chars rejects a leading '+'; a card reading hand-written text accepts it.
std::string_view WithoutPlus(std::string_view text) {
    text = TrimCardText(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
            return {};
        }
    }
    return text;
}

} // namespace

std::optional<double> ParseCardDouble(std::string_view text) {
    text = WithoutPlus(text);
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ParseCardInt(std::string_view text) {
    text = WithoutPlus(text);
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::string FormatCardDouble(double value, int significantDigits) {
    char buffer[64];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                         std::chars_format::general, significantDigits);
    if (ec != std::errc()) {
        return "?";
    }
    return std::string(buffer, ptr);
}

} // namespace morvik
