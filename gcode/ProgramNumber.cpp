#include "gcode/ProgramNumber.h"

#include "gcode/Number.h"

#include <charconv>

namespace morvik::gcode {

std::optional<std::int64_t> OfferedProgramNumber(std::string_view line) {
    if (line.empty()) {
        return std::nullopt;
    }
    const char letter = Upper(line.front());
    if (letter != 'O' && letter != ':' && letter != 'N') {
        return std::nullopt;
    }
    std::size_t at = 1;
    while (at < line.size() && IsBlank(line[at])) {
        ++at;
    }
    if (at < line.size() && line[at] == '+') {
        ++at; // from_chars takes a minus sign only
    }
    std::int64_t number = 0;
    const auto [end, ec] = std::from_chars(line.data() + at, line.data() + line.size(), number);
    (void)end;
    if (ec != std::errc()) {
        return std::nullopt;
    }
    return number;
}

} // namespace morvik::gcode
