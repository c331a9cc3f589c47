#include "operation/MdiBlock.h"

#include "gcode/Block.h"
#include "gcode/Codes.h"
#include "gcode/Planner.h"

#include <algorithm>
#include <cctype>

namespace morvik {

namespace {

constexpr std::string_view kBlanks = " \t";

bool IsControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && c != '\t') || u == 0x7f;
}

bool HasArc(const gcode::CBlock& block) {
    const auto* begin = block.gCodes.begin();
    const auto* end = begin + block.gCount;
    return std::any_of(begin, end, gcode::IsArcCode);
}

// The planner as the card sets it up for a program it selects: a fresh modal state, the
// fitted axes, the tool and H tables. The tool in the spindle is the card's to know, so a
// tool is assumed there and G43 without H is left to the card.
gcode::CPlanner PlannerFor(const MdiCheckSetup& setup) {
    gcode::CPlannerSetup planner;
    planner.fittedAxes = setup.fittedAxes;
    planner.toolLengths.assign(static_cast<std::size_t>(std::max(setup.toolCount, 0)) + 1, 0.0);
    planner.hOffsets.assign(static_cast<std::size_t>(std::max(setup.hOffsetCount, 0)), 0.0);
    planner.initialTool = setup.toolCount > 0 ? 1 : 0;
    return gcode::CPlanner(std::move(planner));
}

} // namespace

std::string MdiBlock::Trimmed(std::string_view block) {
    const std::size_t first = block.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return std::string();
    const std::size_t last = block.find_last_not_of(kBlanks);
    return std::string(block.substr(first, last - first + 1));
}

std::string MdiBlock::Compose(const std::vector<Word>& words) {
    std::string block;
    for (const auto& [letter, text] : words) {
        const std::string value = Trimmed(text);
        if (value.empty())
            continue;
        if (!block.empty())
            block += ' ';
        const bool lettered = std::toupper(static_cast<unsigned char>(value.front())) == letter;
        if (!lettered)
            block += letter;
        block += value;
    }
    return block;
}

std::string MdiBlock::Refusal(std::string_view block, const MdiCheckSetup& setup) {
    if (block.size() > kLineLimit)
        return "the block is longer than " + std::to_string(kLineLimit) + " characters";
    if (std::any_of(block.begin(), block.end(), IsControl))
        return "the block holds a control character";
    gcode::CBlock read;
    if (!gcode::ReadBlock(block, 1, read))
        return read.error;
    if (HasArc(read))
        return std::string();
    gcode::CPlanner planner = PlannerFor(setup);
    gcode::CSinkFunction ignore([](const gcode::CSegment&) {});
    return planner.Apply(read, ignore);
}

} // namespace morvik
