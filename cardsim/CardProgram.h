// A part program stored on the card by "LOF": its text, split into lines once, and the
// program number the card files it under. The number is found the way the station finds it
// while sending (gcode/ProgramNumber.h): the first line that starts in its first column with
// O, ':' or N (either case) followed by a non-zero integer. "RUF-n" then selects program n.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvik {

class CCardProgram {
public:
    explicit CCardProgram(std::string text);

    int Number() const { return number_; }
    std::size_t LineCount() const { return starts_.size(); }
    // Line i (0-based) without its line end.
    std::string_view Line(std::size_t i) const;

private:
    std::string text_;
    std::vector<std::uint32_t> starts_;
    std::vector<std::uint32_t> lengths_;
    int number_ = 0;
};

// The number a line carries in the station's scanning rule, 0 when it carries none.
int CardProgramNumberOf(std::string_view line);

} // namespace morvik
