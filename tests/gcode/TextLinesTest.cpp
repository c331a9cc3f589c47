// The one rule for the lines of a part program's text: LF, CR and CR LF end a line, Ctrl-Z
// ends the text, and a final line end starts no further line.
#include "gcode/TextLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvik::gcode {
namespace {

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    CTextLines reader(text);
    for (std::string_view line; reader.Next(line);)
        lines.emplace_back(line);
    return lines;
}

TEST(TextLines, LineEndsCtrlZAndTheFinalLineEnd) {
    using L = std::vector<std::string>;
    struct Case {
        std::string text;
        L lines;
    };
    const Case cases[] = {
        {"", {}},
        {"G0 X1", {"G0 X1"}},
        {"G0 X1\n", {"G0 X1"}},
        {"G0 X1\r\n", {"G0 X1"}},
        {"G0 X1\r", {"G0 X1"}},
        {"A\nB\r\nC\rD", {"A", "B", "C", "D"}},
        {"A\n\n", {"A", ""}},
        {"\n", {""}},
        {"A\r\r\nB", {"A", "", "B"}},
        {"A\x1a"
         "B\nC",
         {"A"}},
        {"A\n\x1a\nB", {"A"}},
        {"\x1a", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text));
        EXPECT_EQ(Lines(c.text), c.lines);
    }
}

} // namespace
} // namespace morvik::gcode
