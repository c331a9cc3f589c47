// One line of a part program taken apart into its words by ReadBlock. Comments "(...)" and
// everything after ';' are dropped, "(MSG, text)" is kept as the block's message, a '/' in
// front marks the block for block delete, "%" lines are empty. Letters are read in either
// case, blanks may stand between a letter and its number, ':' is the program number O.
// G- and M-codes are kept in tenths, so that G61.1 is a code of its own (611) and G1 is 10.
//
// A block is filled in place and holds no heap memory unless it carries an error, so that
// reading a long program allocates nothing per line; its message points into the line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvik::gcode {

constexpr int kAxes = 6; // X Y Z U V W
constexpr char kAxisLetters[] = "XYZUVW";
constexpr int kMaxGCodes = 16;
constexpr int kMaxMCodes = 8;

constexpr std::uint32_t LetterBit(char upper) {
    return 1u << (upper - 'A');
}

struct CBlock {
    std::uint32_t line = 0; // source line number, 1-based
    bool deleted = false;   // starts with '/'
    bool empty = true;      // no words at all (blank, comment or '%')
    bool hasMessage = false;
    std::string_view message; // the text of "(MSG, text)", inside the line read
    std::string error;        // why the block cannot be read; empty when it can
    std::uint32_t words = 0;  // LetterBit of every letter given, G and M not included
    std::array<double, 26> values{};
    std::array<std::int32_t, kMaxGCodes> gCodes{}; // tenths: G61.1 is 611
    std::array<std::int32_t, kMaxMCodes> mCodes{};
    int gCount = 0;
    int mCount = 0;

    bool Has(char upper) const { return (words & LetterBit(upper)) != 0; }
    double Value(char upper) const { return values[upper - 'A']; }
    int Whole(char upper) const { return static_cast<int>(values[upper - 'A']); }
    bool HasAxisWords() const;
    // Only a program or sequence number: nothing for a machine to do.
    bool OnlyNumbers() const;
};

// Reads `line` into `block` (which is reset first); false when the block carries an error.
bool ReadBlock(std::string_view line, std::uint32_t lineNumber, CBlock& block);

// "G1", "G61.1", "M30": a code in tenths as it is written.
std::string CodeText(char letter, std::int32_t tenths);

} // namespace morvik::gcode
