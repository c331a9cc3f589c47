// One line of a part program taken apart into its words, as the card's program runner needs
// them. Comments "(...)" and everything after ';' are dropped, "(MSG, text)" is kept as the
// block's message, a '/' in front marks the block for block delete, and "%" lines are empty.
// A block the card cannot read carries an error text instead of words.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvik {

struct CCardBlock {
    bool deleted = false; // starts with '/'
    bool empty = true;    // no words at all (blank, comment or '%')
    std::optional<std::string> message;
    std::string error; // why the block cannot be read; empty when it can
    std::vector<int> gCodes;
    std::vector<int> mCodes;
    std::array<std::optional<double>, 6> axes{}; // X Y Z U V W
    std::optional<double> i, j, k, r, f, s, p;
    std::optional<int> n, o, t, h, d;

    bool HasAxisWords() const;
    // Only a program or sequence number: nothing for the card to do (single block runs on).
    bool OnlyNumbers() const;
};

CCardBlock ParseCardBlock(std::string_view line);

} // namespace morvik
