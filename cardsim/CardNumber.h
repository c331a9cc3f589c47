// Numbers as the card reads and writes them: always in the C locale, whatever the locale of
// the process that loaded the library. Used by the file readers, the G-code parser, the
// command parser, the trace and the card's text replies.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morvik {

// The whole text (blanks around it ignored) as a finite double; a leading '+' is allowed.
std::optional<double> ParseCardDouble(std::string_view text);
// The whole text (blanks around it ignored) as an int; a leading '+' is allowed.
std::optional<int> ParseCardInt(std::string_view text);
// Shortest text that reads back as the same value ("%.6g"-like for the trace: 6 digits).
std::string FormatCardDouble(double value, int significantDigits = 6);

std::string_view TrimCardText(std::string_view text);

} // namespace morvik
