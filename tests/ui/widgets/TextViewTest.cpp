// The text views: a 32-line ring filled by appends that only a carriage return splits, drawn
// bottom-up (the newest line at the bottom) with a blank line drawn as a single space, as many
// whole rows as fit and never more than 32.
#include "ui/TextView.h"
#include "machine/Machine.h"
#include "ui/HomingView.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvik {
namespace {

std::vector<std::string> Newest(const TextLineRing& ring, int count) {
    std::vector<std::string> lines;
    for (int k = 0; k < count; ++k)
        lines.push_back(ring.Line(k));
    return lines;
}

TEST(TextLineRing, OnlyACarriageReturnEndsALine) {
    struct Case {
        const char* name;
        std::vector<std::string> appends;
        std::vector<std::string> newestFirst; // Line(0), Line(1), ...
        int current;                          // the current slot afterwards
    };
    const Case cases[] = {
        {"two lines", {"A\rB"}, {"B", "A", ""}, 31},
        {"a line completed later", {"A\rB", "C"}, {"BC", "A", ""}, 31},
        {"a lone carriage return", {"\r"}, {"", "", ""}, 31},
        {"empty lines between", {"A\r\rB"}, {"B", "", "A"}, 30},
        {"pieces of one line", {"AB", "C\rD"}, {"D", "ABC", ""}, 31},
        {"line feeds stay text", {"a\nb\r"}, {"", "a\nb", ""}, 31},
        {"nothing", {"", ""}, {"", "", ""}, 0},
        {"trailing return", {"one\r", "two\r"}, {"", "two", "one"}, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextLineRing ring;
        for (const std::string& text : c.appends)
            ring.Append(text);
        EXPECT_EQ(Newest(ring, static_cast<int>(c.newestFirst.size())), c.newestFirst);
        EXPECT_EQ(ring.CurrentIndex(), c.current);
    }
}

TEST(TextLineRing, KeepsTheNewest32LinesAndClearKeepsItsPlace) {
    TextLineRing ring;
    std::string text;
    for (int i = 1; i <= 40; ++i)
        text += "line " + std::to_string(i) + "\r";
    ring.Append(text + "last");
    EXPECT_EQ(ring.Line(0), "last");
    EXPECT_EQ(ring.Line(1), "line 40");
    EXPECT_EQ(ring.Line(31), "line 10") << "the 32nd newest";
    const int current = ring.CurrentIndex();
    EXPECT_EQ(current, (32 - 40 % 32) % 32);

    ring.Clear();
    EXPECT_EQ(ring.CurrentIndex(), current);
    for (int k = 0; k < TextLineRing::kLineCount; ++k)
        EXPECT_EQ(ring.Line(k), "");
    ring.Append("again\rnew");
    EXPECT_EQ(Newest(ring, 2), (std::vector<std::string>{"new", "again"}));
}

TEST(TextView, DrawsTheNewestLineAtTheBottomAndOnlyWholeRows) {
    CTextView view;
    const int height = QFontMetrics(view.font()).height();
    ASSERT_GT(height, 0);
    view.Append("A\rB");
    using Drawn = std::vector<CTextView::DrawnLine>;
    struct Case {
        const char* name;
        int clientHeight;
        std::vector<std::pair<int, std::string>> drawn; // y, text; bottom row first
    };
    const Case cases[] = {
        {"shorter than a line", height - 1, {}},
        {"no height", 0, {}},
        {"negative height", -5, {}},
        {"one row", height, {{0, "B"}}},
        {"one row and a bit", height * 2 - 1, {{0, "B"}}},
        {"three rows", height * 3, {{2 * height, "B"}, {height, "A"}, {0, " "}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Drawn drawn = view.Layout(c.clientHeight);
        std::vector<std::pair<int, std::string>> got;
        for (const auto& line : drawn)
            got.emplace_back(line.y, line.text);
        EXPECT_EQ(got, c.drawn);
    }
    EXPECT_EQ(view.LineHeight(), height);

    // A view taller than 32 lines draws 32, the oldest at the top.
    const Drawn tall = view.Layout(height * 50);
    ASSERT_EQ(tall.size(), 32u);
    EXPECT_EQ(tall.back().y, 0);
    EXPECT_EQ(tall.front().y, 31 * height);
}

TEST(TextView, KeepsTheLineHeightOfItsFirstPaint) {
    CTextView view;
    EXPECT_EQ(view.LineHeight(), 0);
    view.resize(200, 100);
    view.grab(); // paints once
    const int first = view.LineHeight();
    EXPECT_EQ(first, QFontMetrics(view.font()).height());
    QFont bigger = view.font();
    bigger.setPixelSize(first * 3);
    view.setFont(bigger);
    view.grab();
    EXPECT_EQ(view.LineHeight(), first);
}

// A line wider than the view is reached by scrolling sideways; the scroll bar comes and goes
// with the widest line of the ring, and its end shows the end of that line.
TEST(TextView, ScrollsSidewaysWhileALineIsWiderThanTheView) {
    CTextView view;
    view.resize(200, 120);
    view.show();
    QScrollBar* bar = view.horizontalScrollBar();
    view.Append("short\r");
    EXPECT_EQ(bar->maximum(), 0);

    const std::string wide = "N10 G01 X" + std::string(80, '9');
    view.Append(wide + "\r");
    const int lineWidth = QFontMetrics(view.font()).horizontalAdvance(QString::fromStdString(wide));
    EXPECT_EQ(view.ContentWidth(), lineWidth + 2 * CTextView::kLeftMargin);
    EXPECT_EQ(bar->maximum(), view.ContentWidth() - view.viewport()->width());
    QCoreApplication::processEvents(); // the scroll area lays out its bars
    EXPECT_TRUE(bar->isVisibleTo(&view));
    EXPECT_EQ(view.Lines().Line(1), wide) << "the line is kept whole";

    view.resize(lineWidth + 50, 120); // wide enough now
    EXPECT_EQ(bar->maximum(), 0);
    view.resize(200, 120);
    view.Clear();
    EXPECT_EQ(bar->maximum(), 0) << "nothing wide is left";
}

// Rows are cut after the last blank that fits; a word wider than the row is cut inside itself.
TEST(TextView, WrapRowsBreakAtBlanksAndInsideWordsWiderThanTheRow) {
    CTextView view;
    const QFontMetrics metrics(view.font());
    // The width of n characters of the fixed-width font.
    const auto columns = [&](int n) { return metrics.horizontalAdvance(QString(n, 'M')); };
    ASSERT_GT(columns(1), 0);
    struct Case {
        const char* line;
        int columns; // the row's width in characters
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"Machine homed", 20, {"Machine homed"}},
        {"Machine homed", 13, {"Machine homed"}},
        {"Machine homed", 12, {"Machine", "homed"}},
        {"HOMING (macro 1): machine at zero", 18, {"HOMING (macro 1):", "machine at zero"}},
        {"abcdefghij", 4, {"abcd", "efgh", "ij"}},
        {"ab abcdefghij", 4, {"ab", "abcd", "efgh", "ij"}},
        {"", 4, {""}},
        {"anything", 0, {"anything"}},
        {"x", 0, {"x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.line << " in " << c.columns);
        EXPECT_EQ(CTextView::WrapRows(c.line, metrics, columns(c.columns)), c.rows);
    }
}

// The homing view's messages each start a row of their own and wrap to the view's width; it
// never scrolls sideways.
TEST(TextView, TheHomingViewWrapsItsMessagesInsteadOfScrolling) {
    HomingView view;
    const QFontMetrics metrics(view.font());
    const int height = metrics.height();
    const int width = metrics.horizontalAdvance(QString(24, 'M')) + 2 * CTextView::kLeftMargin;
    view.resize(width, height * 8);
    view.show();
    view.Append("Homing Machine...\r");
    view.Append("HOMING (macro 1): moving X Y Z to machine zero\r");
    view.Append("HOMING (macro 1): machine at zero\r");
    view.Append("\rMachine homed\r");
    std::vector<std::string> rows; // bottom row first
    for (const CTextView::DrawnLine& line : view.Layout(height * 8, width))
        rows.push_back(line.text);
    const std::vector<std::string> expected = {
        " ", // the empty current line
        "Machine homed",
        " ",
        "machine at zero",
        "HOMING (macro 1):",
        "X Y Z to machine zero",
        "HOMING (macro 1): moving",
        "Homing Machine...",
    };
    EXPECT_EQ(rows, expected);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
    EXPECT_FALSE(view.horizontalScrollBar()->isVisibleTo(&view));
    // Wide enough to read the card's longest homing message on one row.
    EXPECT_GE(view.sizeHint().width(), metrics.horizontalAdvance(QStringLiteral(
                                           "HOMING (macro 1): moving X Y Z to machine zero")) +
                                           2 * CTextView::kLeftMargin);
}

} // namespace
} // namespace morvik
