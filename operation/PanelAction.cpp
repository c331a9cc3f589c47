#include "operation/PanelAction.h"

#include "operation/ButtonBits.h"

#include <utility>

namespace morvik {

std::uint16_t JogBitOf(PanelAction action) {
    static constexpr std::pair<PanelAction, std::uint16_t> kJogBits[] = {
        {PanelAction::JogXPlus, button::kXPlus}, {PanelAction::JogXMinus, button::kXMinus},
        {PanelAction::JogYPlus, button::kYPlus}, {PanelAction::JogYMinus, button::kYMinus},
        {PanelAction::JogZPlus, button::kZPlus}, {PanelAction::JogZMinus, button::kZMinus},
    };
    for (const auto& [jog, bit] : kJogBits) {
        if (jog == action)
            return bit;
    }
    return 0;
}

} // namespace morvik
