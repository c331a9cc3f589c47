#include "gcode/Block.h"

#include "gcode/LineTokens.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace morvik::gcode {

namespace {

constexpr double kMaxWordValue = 1e9;
constexpr std::uint32_t kAxisWords = LetterBit('X') | LetterBit('Y') | LetterBit('Z') |
                                     LetterBit('U') | LetterBit('V') | LetterBit('W');
// Letters whose number is a count or an index, never a length.
constexpr std::uint32_t kWholeWords = LetterBit('N') | LetterBit('O') | LetterBit('T') |
                                      LetterBit('H') | LetterBit('D') | LetterBit('L');
constexpr std::uint32_t kKnownWords = kAxisWords | kWholeWords | LetterBit('F') | LetterBit('I') |
                                      LetterBit('J') | LetterBit('K') | LetterBit('P') |
                                      LetterBit('Q') | LetterBit('R') | LetterBit('S');

std::string_view Trim(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) {
        ++first;
    }
    std::size_t last = text.size();
    while (last > first && IsBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

// "(MSG, text)" or "(MSG,text)", any case: the text is what follows the comma.
void TakeMessage(std::string_view comment, CBlock& block) {
    comment = Trim(comment);
    if (comment.size() < 3 || Upper(comment[0]) != 'M' || Upper(comment[1]) != 'S' ||
        Upper(comment[2]) != 'G') {
        return;
    }
    const auto rest = Trim(comment.substr(3));
    if (!rest.empty() && rest.front() == ',') {
        block.hasMessage = true;
        block.message = Trim(rest.substr(1));
    }
}

std::string Word(char letter) {
    return std::string("word ") + letter;
}

// Subprogram keywords after an O number ("O100 sub", "o100 call") are not run.
bool IsSubprogramKeyword(std::string_view rest) {
    rest = Trim(rest);
    std::size_t n = 0;
    while (n < rest.size() && Upper(rest[n]) >= 'A' && Upper(rest[n]) <= 'Z') {
        ++n;
    }
    if (n < 2) {
        return false;
    }
    std::string word;
    for (std::size_t i = 0; i < n; ++i) {
        word += Upper(rest[i]);
    }
    for (const char* keyword :
         {"SUB", "ENDSUB", "CALL", "RETURN", "IF", "ELSEIF", "ELSE", "ENDIF", "WHILE", "ENDWHILE",
          "DO", "REPEAT", "ENDREPEAT", "BREAK", "CONTINUE"}) {
        if (word == keyword) {
            return true;
        }
    }
    return false;
}

// Why a letter has no readable number, from what follows it.
std::string WithoutNumber(char letter, std::string_view after) {
    after = Trim(after);
    const char next = after.empty() ? '\0' : after.front();
    if (next == '[') {
        return "expression in " + Word(letter) + " is not supported";
    }
    if (next == '#') {
        return "parameter in " + Word(letter) + " is not supported";
    }
    if (letter == 'O' && next == '<') {
        return "subprogram o<...> is not supported";
    }
    return Word(letter) + " without a number";
}

std::string StoreCode(char letter, double value, std::string_view text, CBlock& block) {
    const double tenths = value * 10;
    const double code = std::round(tenths);
    // A code is kept in tenths as a 32-bit number; one too large for that is no code we know
    // (and converting it would be undefined).
    constexpr double kLargestTenths = std::numeric_limits<std::int32_t>::max();
    if (std::fabs(tenths - code) > 1e-6 || std::fabs(code) > kLargestTenths) {
        return std::string("unsupported ") + letter + "-code " + letter + std::string(text);
    }
    const bool g = letter == 'G';
    int& count = g ? block.gCount : block.mCount;
    if (count >= (g ? kMaxGCodes : kMaxMCodes)) {
        return std::string("too many ") + letter + "-codes in one block";
    }
    (g ? block.gCodes[count] : block.mCodes[count]) = static_cast<std::int32_t>(code);
    ++count;
    return {};
}

// Stores one word; returns the reason when it cannot.
std::string Store(char letter, double value, std::string_view text, CBlock& block) {
    if (letter == 'G' || letter == 'M') {
        return StoreCode(letter, value, text, block);
    }
    const std::uint32_t bit = LetterBit(letter);
    if ((kKnownWords & bit) == 0) {
        return std::string("unknown word ") + letter;
    }
    if ((block.words & bit) != 0) {
        return Word(letter) + " given twice";
    }
    if ((kWholeWords & bit) != 0 && value != std::floor(value)) {
        return Word(letter) + " needs a whole number";
    }
    block.words |= bit;
    block.values[letter - 'A'] = value;
    return {};
}

// A comment left open is the block's fault wherever the words before it went wrong.
bool HasOpenComment(std::string_view line) {
    for (auto at = line.find_first_of("(;"); at != std::string_view::npos;
         at = line.find_first_of("(;", at + 1)) {
        if (line[at] == ';') {
            return false;
        }
        at = line.find(')', at);
        if (at == std::string_view::npos) {
            return true;
        }
    }
    return false;
}

// The words of the line; false (with block.error) at the first that cannot be read.
bool ReadWords(std::string_view line, CBlock& block) {
    if (HasOpenComment(line)) {
        block.error = "comment not closed";
        return false;
    }
    CLineTokens tokens(line);
    CToken token;
    while (tokens.Next(token)) {
        switch (token.kind) {
        case CTokenKind::LineComment:
            return true;
        case CTokenKind::Comment:
            if (!block.hasMessage) {
                TakeMessage(line.substr(token.start + 1, token.end - token.start - 2), block);
            }
            continue;
        case CTokenKind::Other: {
            const char c = line[token.start];
            block.error = c == '#'   ? "parameter '#' is not supported"
                          : c == '[' ? "expression '[' is not supported"
                                     : "unexpected character '" + std::string(1, c) + "'";
            return false;
        }
        case CTokenKind::Word:
            break;
        }
        const char letter = line[token.start] == ':' ? 'O' : Upper(line[token.start]);
        if (token.value == token.end) {
            block.error = WithoutNumber(letter, line.substr(token.end));
            return false;
        }
        const auto text = line.substr(token.value, token.end - token.value);
        const auto value = ParseNumber(text);
        if (!value) {
            block.error = Word(letter) + " without a number";
            return false;
        }
        if (std::fabs(*value) > kMaxWordValue) {
            block.error = Word(letter) + " out of range";
            return false;
        }
        if (auto why = Store(letter, *value, text, block); !why.empty()) {
            block.error = std::move(why);
            return false;
        }
        if (letter == 'O' && IsSubprogramKeyword(line.substr(token.end))) {
            block.error = "subprogram O" + std::string(text) + " is not supported";
            return false;
        }
        block.empty = false;
    }
    return true;
}

} // namespace

bool CBlock::HasAxisWords() const {
    return (words & kAxisWords) != 0;
}

bool CBlock::OnlyNumbers() const {
    return gCount == 0 && mCount == 0 && (words & ~(LetterBit('N') | LetterBit('O'))) == 0;
}

bool ReadBlock(std::string_view line, std::uint32_t lineNumber, CBlock& block) {
    block.line = lineNumber;
    block.deleted = false;
    block.empty = true;
    block.hasMessage = false;
    block.message = {};
    block.error.clear();
    block.words = 0;
    block.gCount = 0;
    block.mCount = 0;
    auto text = Trim(line);
    if (!text.empty() && text.front() == '/') {
        block.deleted = true;
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '%') {
        return true;
    }
    if (!ReadWords(text, block)) {
        block.empty = false;
        return false;
    }
    return true;
}

std::string CodeText(char letter, std::int32_t tenths) {
    std::string text(1, letter);
    if (tenths < 0) {
        text += '-';
        tenths = -tenths;
    }
    text += std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        text += '.' + std::to_string(tenths % 10);
    }
    return text;
}

} // namespace morvik::gcode
