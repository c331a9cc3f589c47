#include "machine/MachineTables.h"

namespace morvik {

namespace {

const ChoiceEntry* Entry(std::span<const ChoiceEntry> table, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= table.size())
        return nullptr;
    return &table[static_cast<std::size_t>(index)];
}

} // namespace

const char* ChoiceKeyword(std::span<const ChoiceEntry> table, int index) {
    const ChoiceEntry* entry = Entry(table, index);
    return entry ? entry->keyword : "";
}

const char* ChoiceDisplay(std::span<const ChoiceEntry> table, int index) {
    const ChoiceEntry* entry = Entry(table, index);
    return entry ? entry->display : "";
}

std::optional<int> ChoiceByDisplay(std::span<const ChoiceEntry> table, std::string_view text) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (text == table[i].display)
            return static_cast<int>(i);
    }
    return std::nullopt;
}

} // namespace morvik
