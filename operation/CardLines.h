// The card's text output cut into lines. The card sends its text in pieces that need not end
// at a line end (a read returns what the card has buffered); a line ends at CR or LF. The status
// cycle owns one and announces each whole line once (MachineObserver::OnCardLine), so that the
// observers that want lines do not each cut the text again.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace morvik {

class CardLines {
public:
    // A line longer than this keeps only its first kLineLimit characters: a card that never
    // ends a line must not grow the station's memory.
    static constexpr std::size_t kLineLimit = 1024;

    // The lines this piece ended, in order; what follows the last line end waits for the next
    // piece. A line end right after another (CR LF) ends no line of its own.
    std::vector<std::string> Take(const std::string& text);

private:
    std::string open_;
};

} // namespace morvik
