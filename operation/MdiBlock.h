// One MDI block as the operator gives it: typed on the MDI panel's command line, or composed
// from the panel's word fields. Before anything reaches the card the block is read by the
// station's own G-code reader and planner (gcode/), the same ones the card's runner and the
// preview use, so a block the card would refuse as a part error is refused here with the
// reason and nothing is sent.
//
// What the station cannot judge is left to the card, whose error then shows under the command
// line: an arc (G2, G3) depends on where the axes stand, which the station does not know in the
// card's frame, so its geometry is checked by the card alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace morvik {

// What the check needs of the machine: which of the axes X, Y, Z, U, V, W are on the card
// (bit 0 is X), and how many tools and H offsets its tables hold.
struct MdiCheckSetup {
    std::uint8_t fittedAxes = 0x3f;
    int toolCount = 9;
    int hOffsetCount = 33;
};

class MdiBlock {
public:
    // The card takes program lines of at most this many characters (as a loaded file's lines).
    static constexpr std::size_t kLineLimit = 127;

    // One filled word field: its letter and the text typed in it.
    using Word = std::pair<char, std::string>;

    // The block the fields make, in the order given: each field that holds more than blanks
    // gives its letter and its trimmed text ("G" "1" -> "G1"; a text that already starts with
    // the field's letter is taken as it stands), the words separated by one blank.
    static std::string Compose(const std::vector<Word>& words);

    // The block without leading and trailing blanks; empty when there is nothing to send.
    static std::string Trimmed(std::string_view block);

    // Why the block cannot be sent, or an empty string when it can. block is trimmed and not
    // empty.
    static std::string Refusal(std::string_view block, const MdiCheckSetup& setup);
};

} // namespace morvik
