#include "gcode/Number.h"

#include <charconv>
#include <cmath>

namespace morvik::gcode {

std::optional<double> ParseNumber(std::string_view text) {
    // from_chars takes a minus sign only; hand-written programs have "X+1.5".
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
            return std::nullopt;
        }
    }
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace morvik::gcode
