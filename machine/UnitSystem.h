// The two part-program unit systems. Every value in a controller file is written once per
// system, under a line with the system's name: "ENGLISH" (index 0) first, then "METRIC"
// (index 1). The machine document holds a length unit and a time unit for each (its
// PARTPRGMENGLISH... and PARTPRGMMETRIC... settings) and hands the pair to every component's
// WriteConfigBlock, together with its default system (DEFAULTUNITS).
#pragma once

namespace morvik {

struct UnitSystem {
    const char* name; // "ENGLISH" or "METRIC"
    int lengthUnit;   // row of the length table, e.g. unit::Inch
    int timeUnit;     // row of the time table, e.g. timeunit::Minute
};

inline constexpr int kEnglishUnits = 0;
inline constexpr int kMetricUnits = 1;
inline constexpr int kUnitSystemCount = 2;
inline constexpr const char* kUnitSystemNames[kUnitSystemCount] = {"ENGLISH", "METRIC"};

} // namespace morvik
