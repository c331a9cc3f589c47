// Reads what LinuxCNC's standalone interpreter rs274 prints for a program (its canonical
// machining commands on stdout, an error and the refused block on stderr) into moves in the
// frame our planner plans in: machine coordinates in millimetres, offsets applied.
//
// rs274 prints points in the program's units relative to the active work origin, and the
// offsets (SET_G5X_OFFSET, SET_G92_OFFSET, USE_TOOL_LENGTH_OFFSET) in the units in force when
// it prints them. LinuxCNC's canon takes an offset and a feed in the units in force when it
// is set and keeps its physical value across a later G20/G21, so each is converted to mm as
// it is read and kept in mm.
#pragma once

#include "gcode/Segment.h"

#include <string>
#include <string_view>
#include <vector>

namespace morvik::gcode::test {

struct CRefMove {
    CSegmentKind kind = CSegmentKind::Rapid;
    CPlane plane = CPlane::XY; // arcs
    CAxes end{};               // machine, mm
    // Arcs: the centre on the plane's first and second axis (machine, mm) and rs274's turn
    // count: its sign is the direction (negative clockwise), its size the turns begun.
    std::array<double, 2> centre{};
    int rotation = 0;
    double feed = 0;    // mm per minute, feed moves and arcs
    double seconds = 0; // dwells
    // How far the printed values may be from the true ones, in mm: rs274 prints four decimals
    // in the program's units, so 0.00005 mm in G21 and 0.00005 in (0.00127 mm) in G20.
    double resolution = 0;
};

struct CRefRun {
    std::vector<CRefMove> moves;
    bool refused = false;
    std::string error;       // rs274's reason
    std::string refusedText; // the block it refused, as it prints it
};

// stdout and stderr of one run of `rs274 -g`, and whether it exited with success.
CRefRun ParseRs274(std::string_view out, std::string_view err, bool exitedOk);

} // namespace morvik::gcode::test
