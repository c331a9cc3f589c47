// A whole part program planned in one pass: line by line through the block reader and the
// planner, each segment handed to the sink as it is made, until M2 or M30, the end of the
// text, or the first line that cannot run. Stops (M0, M1) do not stop the planning.
#pragma once

#include "gcode/Planner.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvik::gcode {

struct CProgramResult {
    bool ended = false;          // M2 or M30 was reached
    std::uint32_t lines = 0;     // lines read
    std::uint32_t errorLine = 0; // the line that cannot run, 0 when none
    std::string error;           // and why

    bool Ok() const { return errorLine == 0; }
    // "line 12: unsupported G-code G41", or empty.
    std::string Message() const;
};

// blockDelete: blocks starting with '/' are skipped.
CProgramResult PlanProgram(std::string_view text, CPlanner& planner, CSegmentSink& sink,
                           bool blockDelete = false);

// The same into a vector, reserved for about one segment per line.
std::vector<CSegment> PlanProgramSegments(std::string_view text, CPlanner& planner,
                                          CProgramResult& result, bool blockDelete = false);

} // namespace morvik::gcode
