// Work coordinates ("RWF n") and tool data ("RTF n") as the card keeps them. Values are stored
// per unit system as the file gives them; the card takes those of its default unit system
// when a program uses them, so the order in which the three files are read does not matter.
#pragma once

#include "cardsim/CardFile.h"

#include <array>
#include <string_view>

namespace morvik {

constexpr int kCardWorkCoords = 6; // G54..G59
constexpr int kCardTools = 9;
constexpr int kCardOffsetEntries = 33;

struct CCardWorkOffsets {
    // [work coordinate 0..5][unit system][axis X..W]
    std::array<std::array<std::array<double, 6>, kCardUnitSystems>, kCardWorkCoords> values{};
};

struct CCardTool {
    std::array<std::array<double, 5>, kCardUnitSystems> lengths{}; // X Y Z R W
    double wearFactor = 0;
    int orientation = 0;
};

struct CCardOffsetTable {
    std::array<std::array<double, kCardOffsetEntries>, kCardUnitSystems> geometry{};
    std::array<std::array<double, kCardOffsetEntries>, kCardUnitSystems> wear{};
    std::array<double, kCardOffsetEntries> factors{};
};

struct CCardToolData {
    std::array<CCardTool, kCardTools> tools{};
    CCardOffsetTable d{};
    CCardOffsetTable h{};
};

// Each reader replaces its target only when the whole file was good.
CCardReadResult ReadCardWork(std::string_view text, int fileNumber, CCardWorkOffsets& work);
CCardReadResult ReadCardTools(std::string_view text, int fileNumber, CCardToolData& tools);

} // namespace morvik
