// The card's modal state as it answers it: which G-code of each modal group is in force, the
// F and S words, the tool in the spindle and the tool length applied along Z. The card keeps
// this state from one program to the next (MDI blocks included); the station asks for it on
// the tick (code::ActiveModes and the three value queries) so that what it shows and what it
// subtracts are the card's, never a guess from the text it sent.
//
// The modes word (code::ActiveModes, a 32-bit integer), from bit 0:
//   0-3   motion: 0 G80, 1 G0, 2 G1, 3 G2, 4 G3, 5 G81, 6 G82, 7 G83, 8 G73
//   4-5   plane: 0 G17, 1 G18, 2 G19
//   6     units: 1 G20 (inch), 0 G21 (mm)
//   7     distance: 1 G91, 0 G90
//   8-10  work coordinate system: 0 G54 ... 5 G59
//   11    tool length compensation on (G43)
//   12-17 the H word of that G43, kNoH when it took the spindle tool's own length
//   18-19 spindle: 0 M5, 1 M3, 2 M4
//   20    mist (M7), 21 flood (M8)
//   22    retract to the R plane (G99)
//   23    an F word is in force (else the card's configured feed)
//   24-30 the tool in the spindle (0: none)
// Both sides encode and decode here, so the layout is written once.
#pragma once

#include <cstdint>

namespace morvik {

struct CardModes {
    static constexpr int kNoH = 63;

    int motion = 0; // as bits 0-3 above
    int plane = 0;  // 0 G17, 1 G18, 2 G19
    bool inch = false;
    bool incremental = false;
    int workSystem = 0;
    bool toolLengthOn = false;
    int h = kNoH;
    int spindle = 0; // 0 M5, 1 M3, 2 M4
    bool mist = false;
    bool flood = false;
    bool retractR = false;
    bool feedGiven = false;
    int tool = 0;
    // The value queries: F and S as written (program units per minute), and the length G43
    // applies in the card's length unit (0 without G43).
    double feed = 0;
    double speed = 0;
    double toolLength = 0;

    bool operator==(const CardModes&) const = default;
};

inline std::uint32_t EncodeModesWord(const CardModes& m) {
    const auto field = [](int value, unsigned bits, unsigned shift) {
        return (static_cast<std::uint32_t>(value) & ((1u << bits) - 1u)) << shift;
    };
    return field(m.motion, 4, 0) | field(m.plane, 2, 4) | field(m.inch, 1, 6) |
           field(m.incremental, 1, 7) | field(m.workSystem, 3, 8) | field(m.toolLengthOn, 1, 11) |
           field(m.h, 6, 12) | field(m.spindle, 2, 18) | field(m.mist, 1, 20) |
           field(m.flood, 1, 21) | field(m.retractR, 1, 22) | field(m.feedGiven, 1, 23) |
           field(m.tool, 7, 24);
}

// The word's fields into modes; the value fields are left as they are.
inline void DecodeModesWord(std::uint32_t word, CardModes& m) {
    const auto field = [word](unsigned bits, unsigned shift) {
        return static_cast<int>((word >> shift) & ((1u << bits) - 1u));
    };
    m.motion = field(4, 0);
    m.plane = field(2, 4);
    m.inch = field(1, 6) != 0;
    m.incremental = field(1, 7) != 0;
    m.workSystem = field(3, 8);
    m.toolLengthOn = field(1, 11) != 0;
    m.h = field(6, 12);
    m.spindle = field(2, 18);
    m.mist = field(1, 20) != 0;
    m.flood = field(1, 21) != 0;
    m.retractR = field(1, 22) != 0;
    m.feedGiven = field(1, 23) != 0;
    m.tool = field(7, 24);
}

} // namespace morvik
