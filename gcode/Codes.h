// The G- and M-codes the planner runs, with their modal groups. A code not in these tables
// is refused by name; two codes of one group in a block conflict.
#pragma once

#include <array>
#include <cstdint>

namespace morvik::gcode {

enum class CGGroup : unsigned char {
    NonModal, // G4 G28 G53
    Motion,
    Plane,
    Distance,
    ArcDistance,
    FeedMode,
    Units,
    CutterComp,
    ToolLength,
    Retract,
    CoordSystem,
    PathControl,
    CycleCancel, // G80: a group of its own, as Fanuc headers write "G0 ... G80" in one block
    Count
};

enum class CMGroup : unsigned char { Stop, ToolChange, Spindle, Coolant, Count };

struct CCode {
    std::int32_t tenths;
    unsigned char group; // CGGroup or CMGroup
    unsigned char value; // the group's enum value (CMotion, CPlane, ...) or an index
};

// Non-modal G-codes' values.
enum class CNonModal : unsigned char { Dwell, Home, Machine };
// Coolant M-codes' values.
enum class CCoolant : unsigned char { Mist, Flood, Off };

// The codes of one block by group.
struct CBlockCodes {
    std::array<const CCode*, static_cast<int>(CGGroup::Count)> g{};
    std::array<const CCode*, static_cast<int>(CMGroup::Count)> m{};
    bool mist = false;
    bool flood = false;
    bool coolantOff = false;

    const CCode* G(CGGroup group) const { return g[static_cast<int>(group)]; }
    const CCode* M(CMGroup group) const { return m[static_cast<int>(group)]; }
    template <class E> bool GIs(CGGroup group, E value) const {
        return G(group) && G(group)->value == static_cast<unsigned char>(value);
    }
};

const CCode* FindGCode(std::int32_t tenths);
const CCode* FindMCode(std::int32_t tenths);
// G2 or G3: a motion code that moves along an arc.
bool IsArcCode(std::int32_t tenths);

} // namespace morvik::gcode
