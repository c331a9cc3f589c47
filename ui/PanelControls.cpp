#include "ui/PanelControls.h"

#include "operation/MachineOperation.h"

#include <utility>

namespace morvik {

namespace {

using A = PanelAction;

constexpr std::pair<int, PanelAction> kActions[] = {
    {control::kStart, A::Start},
    {control::kBlock, A::Block},
    {control::kFeedHold, A::FeedHold},
    {control::kJogXPlus, A::JogXPlus},
    {control::kJogXMinus, A::JogXMinus},
    {control::kJogYPlus, A::JogYPlus},
    {control::kJogYMinus, A::JogYMinus},
    {control::kJogZPlus, A::JogZPlus},
    {control::kJogZMinus, A::JogZMinus},
    {control::kRapidOverride, A::RapidOverride},
    {control::kFeedOverride, A::FeedOverride},
    {control::kSpindleOverride, A::SpindleOverride},
    {control::kRapidArrows, A::RapidOverride},
    {control::kFeedArrows, A::FeedOverride},
    {control::kSpindleArrows, A::SpindleOverride},
    {control::kSpindleCcw, A::SpindleCcw},
    {control::kSpindleStop, A::SpindleStop},
    {control::kSpindleCw, A::SpindleCw},
    {control::kAxisX, A::ZeroX},
    {control::kAxisY, A::ZeroY},
    {control::kAxisZ, A::ZeroZ},
    {control::kAxisS, A::ZeroS},
    {control::kCutBox, A::CutBox},
    {control::kStop, A::Stop},
    {control::kJogIncrement, A::JogIncrement},
    {control::kJogSpeed, A::JogSpeed},
    {control::kWorkReadouts, A::WorkReadouts},
    {control::kWorkZeroX, A::WorkZeroX},
    {control::kWorkZeroY, A::WorkZeroY},
    {control::kWorkZeroZ, A::WorkZeroZ},
};

} // namespace

std::optional<PanelAction> ActionOfControl(int id) {
    for (const auto& [control, action] : kActions) {
        if (control == id)
            return action;
    }
    return std::nullopt;
}

bool IsJogControl(int id) {
    const std::optional<PanelAction> action = ActionOfControl(id);
    return action && JogBitOf(*action) != 0;
}

bool ControlEnabled(const MachineOperation* operation, int id) {
    const std::optional<PanelAction> action = ActionOfControl(id);
    if (!action)
        return true;
    return operation != nullptr ? operation->IsActionEnabled(*action)
                                : MachineOperation::EnabledWithoutMachine(*action);
}

} // namespace morvik
