// Small programs through the planner into the preview's model: extents, the kinds of the moves
// and their strokes, the part already run, the soft-limit check naming line and axis, the
// blocks refused with their lines, block delete and cancelling.
#include "ui/preview/ToolpathPlan.h"
#include "ui/preview/ToolpathDrawing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace morvik::preview {
namespace {

CToolpathPlan Plan(std::string_view text, const CPreviewSetup& setup = {}) {
    return PlanToolpath(text, setup);
}

TEST(ToolpathPlan, ExtentsCoverEveryMoveAndTheBulgeOfArcs) {
    // The clockwise half circle from X20 to X30 about X25 Y5 rises to Y10.
    const CToolpathPlan plan = Plan("G0 X10 Y5 Z2\nG1 Z-1 F100\nG1 X20\nG2 X30 Y5 I5 J0\nM30\n");
    const CBox3& box = plan.model.Extents();
    EXPECT_EQ(plan.model.PieceCount(), 4u);
    EXPECT_TRUE(plan.ended);
    EXPECT_EQ(plan.lines, 5u);
    EXPECT_NEAR(box.lo[0], 0, 1e-6); // the path starts at the setup's start, here 0
    EXPECT_NEAR(box.hi[0], 30, 1e-6);
    EXPECT_NEAR(box.lo[1], 0, 1e-6);
    EXPECT_NEAR(box.hi[1], 10, 1e-4);
    EXPECT_NEAR(box.lo[2], -1, 1e-6);
    EXPECT_NEAR(box.hi[2], 2, 1e-6);
}

TEST(ToolpathPlan, NothingAfterTheProgramEnd) {
    const CToolpathPlan plan = Plan("G1 X1 F100\nM30\nG1 X100\n");
    EXPECT_TRUE(plan.ended);
    EXPECT_EQ(plan.model.PieceCount(), 1u);
    EXPECT_NEAR(plan.model.Extents().hi[0], 1, 1e-6);
}

TEST(ToolpathPlan, EachMoveKeepsItsKindLineAndStroke) {
    const CToolpathPlan plan = Plan("G0 X1\nG1 X2 F100\nG3 X4 I1\n");
    const auto& p = plan.model.Points();
    ASSERT_EQ(p.size(), 4u);
    const CPathKind kinds[] = {CPathKind::Start, CPathKind::Rapid, CPathKind::Feed, CPathKind::Arc};
    for (std::size_t i = 0; i < p.size(); ++i) {
        EXPECT_EQ(p[i].kind, kinds[i]) << i;
        EXPECT_EQ(p[i].line, i) << i;
    }
    ASSERT_EQ(plan.model.Arcs().size(), 1u);
    EXPECT_EQ(plan.model.Arcs()[0].point, 3u);

    // Rapids dashed, feeds and arcs solid in one colour; run, and outside the limits, each in
    // a colour of its own.
    const CStrokeStyle rapid = StrokeStyle(StrokeOf(p[1], false));
    const CStrokeStyle feed = StrokeStyle(StrokeOf(p[2], false));
    const CStrokeStyle arc = StrokeStyle(StrokeOf(p[3], false));
    EXPECT_TRUE(rapid.dashed);
    EXPECT_FALSE(feed.dashed);
    EXPECT_FALSE(arc.dashed);
    EXPECT_EQ(feed.rgb, arc.rgb);
    EXPECT_NE(rapid.rgb, feed.rgb);
    const std::uint32_t done = StrokeStyle(StrokeOf(p[2], true)).rgb;
    const std::uint32_t outside = StrokeStyle(kStrokeOutside).rgb;
    EXPECT_NE(done, feed.rgb);
    EXPECT_NE(outside, feed.rgb);
    EXPECT_NE(outside, done);
    // A piece outside the limits that has already run is shown as run.
    EXPECT_EQ(StrokeStyle(kStrokeOutside | kStrokeDone).rgb, done);
}

TEST(ToolpathPlan, ThePiecesOfALineAreFoundByItsNumber) {
    const CToolpathPlan plan = Plan("G1 X10 F100\n(comment)\nG1 Y10\nG1 X0\nG1 Y0\n");
    const CToolpathModel& m = plan.model;
    EXPECT_EQ(m.FirstPointFrom(0), 1u);
    EXPECT_EQ(m.FirstPointFrom(1), 1u);
    EXPECT_EQ(m.FirstPointFrom(2), 2u); // the comment line has no piece: the next line's
    EXPECT_EQ(m.FirstPointFrom(3), 2u);
    EXPECT_EQ(m.FirstPointFrom(5), 4u);
    EXPECT_EQ(m.FirstPointFrom(6), 5u); // past the end
}

struct LimitCase {
    const char* name;
    const char* program;
    std::uint32_t line; // 0: stays inside
    int axis;
    const char* text;
};

const LimitCase kLimitCases[] = {
    {"feed past X", "G0 X10\nG1 X60 F100\n", 2, 0, "line 2 leaves the soft limits on X"},
    {"below Y", "G0 X10 Y10\nG1 Y-51 F100\n", 2, 1, "line 2 leaves the soft limits on Y"},
    {"first excursion named", "G0 Z5\nG1 Z-25 F100\nG0 X100\n", 2, 2,
     "line 2 leaves the soft limits on Z"},
    // Both ends inside, the arc swings out to X70.
    {"arc bulge", "G0 X30 Y-40\nG3 X30 Y40 J40\n", 2, 0, "line 2 leaves the soft limits on X"},
    {"rapid counts too", "G1 X1 F100\nG0 X0 Y0 Z11\n", 2, 2, "line 2 leaves the soft limits on Z"},
    {"on the limit is inside", "G0 X50 Y-50 Z10\nG1 X-50 F100\n", 0, -1, ""},
};

class SoftLimits : public testing::TestWithParam<LimitCase> {};

TEST_P(SoftLimits, TheFirstPieceOutsideIsNamedByLineAndAxis) {
    const LimitCase& c = GetParam();
    CPreviewSetup setup;
    const double lower[] = {-50, -50, -20};
    const double upper[] = {50, 50, 10};
    for (int a = 0; a < 3; ++a) {
        setup.limits.set[a] = true;
        setup.limits.lower[a] = lower[a];
        setup.limits.upper[a] = upper[a];
    }
    const CToolpathPlan plan = Plan(c.program, setup);
    EXPECT_EQ(plan.excursion.line, c.line);
    EXPECT_EQ(plan.excursion.axis, c.axis);
    EXPECT_EQ(ExcursionText(plan.excursion), c.text);
    // Exactly the pieces of the named line and after that are outside are flagged.
    for (std::size_t i = 1; i < plan.model.Points().size(); ++i) {
        const CPathPoint& p = plan.model.Points()[i];
        const bool flagged = (p.flags & kOutsideLimits) != 0;
        if (c.line == 0 || p.line < c.line) {
            EXPECT_FALSE(flagged) << i;
        }
        if (p.line == c.line) {
            EXPECT_TRUE(flagged) << i;
        }
        EXPECT_EQ((StrokeOf(p, false) & kStrokeOutside) != 0, flagged);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SoftLimits, testing::ValuesIn(kLimitCases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
});

TEST(ToolpathPlan, AnAxisWithoutLimitsIsNotChecked) {
    CPreviewSetup setup;
    setup.limits.set[2] = true;
    setup.limits.lower[2] = -5;
    setup.limits.upper[2] = 5;
    const CToolpathPlan plan = Plan("G0 X1000 Y-1000\nG1 Z-1 F100\n", setup);
    EXPECT_EQ(plan.excursion.line, 0u);
    EXPECT_EQ(plan.piecesOutside, 0u);
}

TEST(ToolpathPlan, RefusedBlocksAreListedWithTheirLinesAndPlanningGoesOn) {
    const CToolpathPlan plan = Plan("G1 X1 F100\nG41 X2\nG1 X3\nG1 X4 Y\nG1 X5\n");
    ASSERT_EQ(plan.errors.size(), 2u);
    EXPECT_EQ(plan.errorCount, 2u);
    EXPECT_EQ(plan.errors[0].line, 2u);
    EXPECT_EQ(plan.errors[1].line, 4u);
    EXPECT_FALSE(plan.errors[0].text.empty());
    EXPECT_FALSE(plan.errors[1].text.empty());
    // Lines 1, 3 and 5 are drawn; nothing of the refused ones.
    std::vector<std::uint32_t> lines;
    for (std::size_t i = 1; i < plan.model.Points().size(); ++i)
        lines.push_back(plan.model.Points()[i].line);
    EXPECT_EQ(lines, (std::vector<std::uint32_t>{1, 3, 5}));
}

TEST(ToolpathPlan, BlockDeleteSkipsSlashedBlocksOnlyWhenOn) {
    CPreviewSetup setup;
    const char* text = "/G1 X50 F100\nG1 X1 F100\n";
    EXPECT_EQ(Plan(text, setup).model.PieceCount(), 2u);
    setup.blockDelete = true;
    EXPECT_EQ(Plan(text, setup).model.PieceCount(), 1u);
}

TEST(ToolpathPlan, UnitsAndStartComeFromTheSetup) {
    CPreviewSetup setup;
    setup.planner.lengthPerUnit = {1.0, 1.0 / 25.4}; // an inch machine
    setup.planner.units = gcode::CUnits::Inch;
    setup.start = {1, 2, 3, 0, 0, 0};
    const CToolpathPlan plan = Plan("G21 G1 X25.4 F100\n", setup);
    const auto& p = plan.model.Points();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_FLOAT_EQ(p[0].x, 1);
    EXPECT_FLOAT_EQ(p[0].z, 3);
    EXPECT_NEAR(p[1].x, 1, 1e-6);
}

TEST(ToolpathPlan, ACancelledPlanStopsAndSaysSo) {
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += "G1 X" + std::to_string(i % 7) + " F100\n";
    std::atomic<bool> cancel{true};
    const CToolpathPlan plan = PlanToolpath(text, {}, &cancel);
    EXPECT_TRUE(plan.cancelled);
    EXPECT_LT(plan.lines, 10000u);
    cancel = false;
    EXPECT_FALSE(PlanToolpath(text, {}, &cancel).cancelled);
}

} // namespace
} // namespace morvik::preview
