#include "gcode/Program.h"

#include "gcode/TextLines.h"

#include <algorithm>

namespace morvik::gcode {

std::string CProgramResult::Message() const {
    return errorLine == 0 ? std::string() : "line " + std::to_string(errorLine) + ": " + error;
}

CProgramResult PlanProgram(std::string_view text, CPlanner& planner, CSegmentSink& sink,
                           bool blockDelete) {
    CProgramResult result;
    CBlock block;
    CTextLines lines(text);
    for (std::string_view line; lines.Next(line);) {
        ++result.lines;
        const bool read = ReadBlock(line, result.lines, block);
        if (block.deleted && blockDelete) {
            continue;
        }
        std::string why = read ? std::string() : block.error;
        if (why.empty() && !block.empty) {
            why = planner.Apply(block, sink);
        }
        if (!why.empty()) {
            result.errorLine = result.lines;
            result.error = std::move(why);
            return result;
        }
        if (planner.Modal().stop == CStop::End) {
            result.ended = true;
            return result;
        }
    }
    return result;
}

std::vector<CSegment> PlanProgramSegments(std::string_view text, CPlanner& planner,
                                          CProgramResult& result, bool blockDelete) {
    std::vector<CSegment> segments;
    segments.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    CSinkFunction sink([&segments](const CSegment& s) { segments.push_back(s); });
    result = PlanProgram(text, planner, sink, blockDelete);
    return segments;
}

} // namespace morvik::gcode
