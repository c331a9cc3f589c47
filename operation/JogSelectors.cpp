#include "operation/JogSelectors.h"

#include "settings/NumberText.h"

namespace morvik {

std::string JogSelectors::IncrementText(std::size_t index) {
    if (index >= kIncrements.size())
        return {};
    if (kIncrements[index] == 0.0)
        return "Continuous";
    return FormatG(kIncrements[index], 6);
}

std::string JogSelectors::SpeedText(std::size_t index) {
    if (index >= kSpeedPercents.size())
        return {};
    return std::to_string(kSpeedPercents[index]) + "%";
}

} // namespace morvik
