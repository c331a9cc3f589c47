// The modal state of a running part program, group by group as RS274/NGC has them: what
// each block leaves behind for the next. The planner keeps one; a machine reads it after each
// block (spindle, coolant, tool, stop) and a preview may show it.
#pragma once

#include "gcode/Segment.h"

namespace morvik::gcode {

enum class CMotion : unsigned char {
    None,       // G80, or nothing yet
    Rapid,      // G0
    Feed,       // G1
    ArcCw,      // G2
    ArcCcw,     // G3
    Drill,      // G81
    DrillDwell, // G82
    Peck,       // G83
    ChipBreak,  // G73
};
enum class CDistance : unsigned char { Absolute, Incremental };             // G90, G91
enum class CUnits : unsigned char { Inch, Mm };                             // G20, G21
enum class CFeedMode : unsigned char { PerMinute };                         // G94
enum class CCutterComp : unsigned char { Off };                             // G40
enum class CPathControl : unsigned char { ExactStop, ExactPath, Blending }; // G61 G61.1 G64
enum class CRetract : unsigned char { Initial, RPlane };                    // G98, G99
enum class CSpindle : unsigned char { Off, Clockwise, CounterClockwise };   // M5 M3 M4
// What the block asks for once its motion is done.
enum class CStop : unsigned char { None, Pause, OptionalPause, End }; // M0 M1 M2/M30

inline bool IsArc(CMotion m) {
    return m == CMotion::ArcCw || m == CMotion::ArcCcw;
}
inline bool IsCycle(CMotion m) {
    return m == CMotion::Drill || m == CMotion::DrillDwell || m == CMotion::Peck ||
           m == CMotion::ChipBreak;
}

struct CModalState {
    CMotion motion = CMotion::None;
    CPlane plane = CPlane::XY;
    CDistance distance = CDistance::Absolute;
    bool arcCentreAbsolute = false; // G90.1 (G91.1: relative to the start, the default)
    CUnits units = CUnits::Mm;
    CFeedMode feedMode = CFeedMode::PerMinute;
    CCutterComp cutterComp = CCutterComp::Off;
    bool toolLengthOn = false; // G43
    double toolLength = 0;     // output length along Z
    int toolLengthH = -1;      // the H word of that G43; -1: the tool's own length (no H)
    int coordSystem = 0;       // 0 = G54 ... 5 = G59
    CPathControl pathControl = CPathControl::Blending;
    CRetract retract = CRetract::Initial;
    CSpindle spindle = CSpindle::Off;
    bool mist = false;  // M7
    bool flood = false; // M8
    bool feedGiven = false;
    double feedWord = 0; // F as written, in program units per minute
    // The units F was written in: a feed keeps its physical value across G20/G21 until the
    // next F, as the machine was told it.
    CUnits feedUnits = CUnits::Mm;
    double speed = 0;     // S
    int selectedTool = 0; // T
    int spindleTool = 0;  // the tool M6 put in the spindle
    bool toolChanged = false;
    int sequence = 0; // last N
    CStop stop = CStop::None;

    // The canned cycle's words as last written (kept from hole to hole), and the initial
    // level: where the tool stood on the plane's normal before the cycle's first block.
    struct Cycle {
        double initialLevel = 0; // output frame
        double r = 0;
        double z = 0; // the depth word: Z in G17, Y in G18, X in G19
        double q = 0;
        double p = 0;
        bool hasR = false;
        bool hasZ = false;
        bool hasQ = false;
        bool hasP = false;
    } cycle;

    // The tool in use: the one in the spindle (the last M6, or the tool the program started
    // with). A T word only preselects the next tool; guessing its length would move the tool
    // into the part.
    int ActiveTool() const { return spindleTool; }
};

} // namespace morvik::gcode
