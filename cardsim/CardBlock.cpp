#include "cardsim/CardBlock.h"

#include "cardsim/CardNumber.h"

#include <cctype>
#include <cmath>

namespace morvik {

bool CCardBlock::HasAxisWords() const {
    for (const auto& axis : axes) {
        if (axis) {
            return true;
        }
    }
    return false;
}

bool CCardBlock::OnlyNumbers() const {
    return gCodes.empty() && mCodes.empty() && !HasAxisWords() && !i && !j && !k && !r && !f &&
           !s && !p && !t && !h && !d;
}

namespace {

constexpr double kMaxWordValue = 1e9;

char Up(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool IsNumberChar(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+';
}

// "(MSG, text)" or "(MSG,text)", any case; the text is what follows the comma.
void TakeComment(std::string_view comment, CCardBlock& block) {
    if (comment.size() >= 3 && Up(comment[0]) == 'M' && Up(comment[1]) == 'S' &&
        Up(comment[2]) == 'G') {
        auto rest = TrimCardText(comment.substr(3));
        if (!rest.empty() && rest.front() == ',') {
            block.message = std::string(TrimCardText(rest.substr(1)));
        }
    }
}

// The line without comments; false (with block.error) when a comment is not closed.
bool StripComments(std::string_view line, std::string& words, CCardBlock& block) {
    for (std::size_t pos = 0; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == ';') {
            break;
        }
        if (c == '(') {
            const auto close = line.find(')', pos);
            if (close == std::string_view::npos) {
                block.error = "comment not closed";
                return false;
            }
            TakeComment(TrimCardText(line.substr(pos + 1, close - pos - 1)), block);
            pos = close;
            continue;
        }
        words += c;
    }
    return true;
}

std::optional<int> WholeNumber(double value) {
    if (std::fabs(value) > 1e9 || value != std::floor(value)) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

// Stores one word; returns the reason when it cannot.
std::string Store(char letter, double value, CCardBlock& block) {
    const auto whole = WholeNumber(value);
    const auto once = [&](auto& slot, auto v) -> std::string {
        if (slot) {
            return std::string("word ") + letter + " given twice";
        }
        slot = v;
        return {};
    };
    const auto index = std::string_view("XYZUVW").find(letter);
    if (index != std::string_view::npos) {
        return once(block.axes[index], value);
    }
    switch (letter) {
    case 'I':
        return once(block.i, value);
    case 'J':
        return once(block.j, value);
    case 'K':
        return once(block.k, value);
    case 'R':
        return once(block.r, value);
    case 'F':
        return once(block.f, value);
    case 'S':
        return once(block.s, value);
    case 'P':
        return once(block.p, value);
    default:
        break;
    }
    if (!whole) {
        return std::string("word ") + letter + " needs a whole number";
    }
    switch (letter) {
    case 'G':
        block.gCodes.push_back(*whole);
        return {};
    case 'M':
        block.mCodes.push_back(*whole);
        return {};
    case 'N':
        return once(block.n, *whole);
    case 'O':
    case ':':
        return once(block.o, *whole);
    case 'T':
        return once(block.t, *whole);
    case 'H':
        return once(block.h, *whole);
    case 'D':
        return once(block.d, *whole);
    default:
        return std::string("unknown word ") + letter;
    }
}

void ParseWords(std::string_view text, CCardBlock& block) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++pos;
            continue;
        }
        const char letter = Up(c);
        if (!std::isalpha(static_cast<unsigned char>(letter)) && letter != ':') {
            block.error = "unexpected character '" + std::string(1, c) + "'";
            return;
        }
        ++pos;
        while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < text.size() && IsNumberChar(text[pos])) {
            ++pos;
        }
        const auto value = ParseCardDouble(text.substr(start, pos - start));
        if (!value) {
            block.error = std::string("word ") + letter + " without a number";
            return;
        }
        if (std::fabs(*value) > kMaxWordValue) {
            block.error = std::string("word ") + letter + " out of range";
            return;
        }
        if (auto why = Store(letter, *value, block); !why.empty()) {
            block.error = why;
            return;
        }
        block.empty = false;
    }
}

} // namespace

CCardBlock ParseCardBlock(std::string_view line) {
    CCardBlock block;
    auto text = TrimCardText(line);
    if (!text.empty() && text.front() == '/') {
        block.deleted = true;
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '%') {
        return block;
    }
    std::string words;
    if (!StripComments(text, words, block)) {
        return block;
    }
    ParseWords(words, block);
    if (!block.error.empty()) {
        block.empty = false;
    }
    return block;
}

} // namespace morvik
