// The block reader and the program-number reading: how a line is taken apart into words.
#include "gcode/Block.h"
#include "gcode/LineTokens.h"
#include "gcode/ProgramNumber.h"

#include <gtest/gtest.h>

#include <clocale>

namespace morvik::gcode {
namespace {

TEST(BlockReader, ReadsWordsCodesAndComments) {
    CBlock block;
    ASSERT_TRUE(ReadBlock("/n10 g0 G61.1 x -1.5 Y+.5 (MSG, Tool up) m8 ; rest (", 7, block));
    EXPECT_EQ(block.line, 7u);
    EXPECT_TRUE(block.deleted);
    EXPECT_FALSE(block.empty);
    EXPECT_EQ(block.Whole('N'), 10);
    EXPECT_EQ(block.Value('X'), -1.5);
    EXPECT_EQ(block.Value('Y'), 0.5);
    ASSERT_EQ(block.gCount, 2);
    EXPECT_EQ(block.gCodes[0], 0);
    EXPECT_EQ(block.gCodes[1], 611);
    ASSERT_EQ(block.mCount, 1);
    EXPECT_EQ(block.mCodes[0], 80);
    EXPECT_TRUE(block.hasMessage);
    EXPECT_EQ(block.message, "Tool up");
    EXPECT_FALSE(block.OnlyNumbers());

    ASSERT_TRUE(ReadBlock(":12 N5", 1, block));
    EXPECT_EQ(block.Whole('O'), 12);
    EXPECT_TRUE(block.OnlyNumbers());

    for (const char* empty : {"", "   ", "%", "% anything", "(only a comment)", "; note"}) {
        ASSERT_TRUE(ReadBlock(empty, 1, block)) << empty;
        EXPECT_TRUE(block.empty) << empty;
    }
}

TEST(BlockReader, ReadsNumbersInTheCLocaleWhateverTheProcessLocale) {
    // A comma locale, when the system has one; the reader must not care either way.
    const char* was = std::setlocale(LC_NUMERIC, nullptr);
    const std::string previous = was ? was : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    CBlock block;
    EXPECT_TRUE(ReadBlock("G1 X1.25", 1, block));
    EXPECT_EQ(block.Value('X'), 1.25);
    EXPECT_FALSE(ReadBlock("G1 X1,25", 1, block));
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST(LineTokens, SplitALineAsTheEditorColoursIt) {
    const std::string line = "N10 x 2(c)M ;x";
    CLineTokens tokens(line);
    CToken t;
    ASSERT_TRUE(tokens.Next(t));
    EXPECT_EQ(t.kind, CTokenKind::Word);
    EXPECT_EQ(line.substr(t.start, t.end - t.start), "N10");
    ASSERT_TRUE(tokens.Next(t));
    EXPECT_EQ(line.substr(t.value, t.end - t.value), "2") << "blanks before the number";
    ASSERT_TRUE(tokens.Next(t));
    EXPECT_EQ(t.kind, CTokenKind::Comment);
    EXPECT_TRUE(t.closed);
    ASSERT_TRUE(tokens.Next(t));
    EXPECT_EQ(t.kind, CTokenKind::Word);
    EXPECT_EQ(t.value, t.end) << "a letter without a number";
    ASSERT_TRUE(tokens.Next(t));
    EXPECT_EQ(t.kind, CTokenKind::LineComment);
    EXPECT_FALSE(tokens.Next(t));
}

TEST(ProgramNumber, TheFirstColumnDecides) {
    struct Case {
        const char* line;
        std::optional<std::int64_t> number;
    };
    const Case cases[] = {
        {"O1000 (PART A)", 1000},
        {"o0012", 12},
        {"N10 G00 X0", 10},
        {":200", 200},
        {"O-5", -5},
        {"O+42", 42},
        {"O \t 31", 31},
        {"O12ABC", 12},
        {"O0", 0},
        {"", std::nullopt},
        {"O", std::nullopt},
        {" O100", std::nullopt},
        {"%", std::nullopt},
        {"G01 X1", std::nullopt},
        {"O- 5", std::nullopt},
        {"O99999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OfferedProgramNumber(c.line), c.number) << '"' << c.line << '"';
    }
}

} // namespace
} // namespace morvik::gcode
