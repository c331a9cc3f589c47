#include "operation/CardLines.h"

namespace morvik {

std::vector<std::string> CardLines::Take(const std::string& text) {
    std::vector<std::string> lines;
    for (const char c : text) {
        if (c != '\r' && c != '\n') {
            if (open_.size() < kLineLimit)
                open_ += c;
            continue;
        }
        if (!open_.empty())
            lines.push_back(std::move(open_));
        open_.clear();
    }
    return lines;
}

} // namespace morvik
