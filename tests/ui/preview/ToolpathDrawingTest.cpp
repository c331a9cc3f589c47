// What a view draws of a model: the split between the part run and the rest, the merging of
// points closer than the tolerance, arcs within their chord tolerance, and chunks off screen
// left out.
#include "ui/preview/ToolpathDrawing.h"
#include "ui/preview/ToolpathPlan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace morvik::preview {
namespace {

CToolpathCamera FittedCamera(const CToolpathModel& model, int w = 400, int h = 400) {
    CToolpathCamera camera;
    camera.SetSize(w, h);
    camera.Fit(model.Extents());
    return camera;
}

double SegmentDistance(CScreenPoint p, CScreenPoint a, CScreenPoint b) {
    const double dx = b.u - a.u;
    const double dy = b.v - a.v;
    const double len2 = dx * dx + dy * dy;
    double t = len2 == 0 ? 0 : ((p.u - a.u) * dx + (p.v - a.v) * dy) / len2;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.u - (a.u + t * dx), p.v - (a.v + t * dy));
}

double PolylineDistance(CScreenPoint p, const CDrawList& list) {
    double best = INFINITY;
    for (const CDrawRun& run : list.runs) {
        for (std::uint32_t i = run.first + 1; i < run.first + run.count; ++i)
            best = std::min(best, SegmentDistance(p, list.points[i - 1], list.points[i]));
    }
    return best;
}

TEST(ToolpathDrawing, PiecesBeforeTheRunningLineAreDrawnAsDone) {
    const CToolpathPlan plan = PlanToolpath("G1 X10 F100\nG1 Y10\nG1 X0\nG1 Y0\n", {});
    const CToolpathCamera camera = FittedCamera(plan.model);
    CDrawOptions options;
    options.donePoint = plan.model.FirstPointFrom(3); // line 3 runs: lines 1 and 2 are done
    CDrawList list;
    BuildDrawList(plan.model, camera, options, list);
    ASSERT_EQ(list.runs.size(), 2u);
    EXPECT_EQ(list.runs[0].stroke, kStrokeDone);
    EXPECT_EQ(list.runs[0].count, 3u); // start, X10, X10 Y10
    EXPECT_EQ(list.runs[1].stroke, 0);
    EXPECT_EQ(list.runs[1].count, 3u);
    // The second run starts where the first ends.
    const CScreenPoint end = list.points[list.runs[0].first + 2];
    const CScreenPoint start = list.points[list.runs[1].first];
    EXPECT_DOUBLE_EQ(end.u, start.u);
    EXPECT_DOUBLE_EQ(end.v, start.v);

    options.donePoint = 0;
    BuildDrawList(plan.model, camera, options, list);
    ASSERT_EQ(list.runs.size(), 1u);
    EXPECT_EQ(list.runs[0].count, 5u);
}

TEST(ToolpathDrawing, RapidsAndCutsAreSeparateRuns) {
    const CToolpathPlan plan = PlanToolpath("G0 X10 Y10\nG1 X20 F100\nG1 Y20\nG0 X0\n", {});
    CDrawList list;
    BuildDrawList(plan.model, FittedCamera(plan.model), {}, list);
    std::vector<std::uint8_t> strokes;
    for (const CDrawRun& run : list.runs)
        strokes.push_back(run.stroke);
    EXPECT_EQ(strokes, (std::vector<std::uint8_t>{kStrokeRapid, 0, kStrokeRapid}));
}

TEST(ToolpathDrawing, ManyTinyMovesOnALineBecomeOneStroke) {
    std::string text = "G1 F100\n";
    for (int i = 1; i <= 10000; ++i)
        text += "X" + std::to_string(i * 0.01) + " Y" + std::to_string(i * 0.005) + "\n";
    const CToolpathPlan plan = PlanToolpath(text, {});
    ASSERT_EQ(plan.model.PieceCount(), 10000u);
    CDrawList list;
    BuildDrawList(plan.model, FittedCamera(plan.model), {}, list);
    ASSERT_EQ(list.runs.size(), 1u);
    EXPECT_EQ(list.runs[0].count, 2u);
}

// A random walk of small steps: far fewer points drawn, none of the path further than the
// tolerance from what is drawn, and corners kept.
TEST(PolylineSimplifier, KeepsEveryPointWithinTheTolerance) {
    CDrawList list;
    CPolylineSimplifier line(list, 0.5);
    std::vector<CScreenPoint> input;
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24) - 0.5;
    };
    CScreenPoint p{200, 200};
    input.push_back(p);
    double heading = 0;
    for (int i = 0; i < 20000; ++i) {
        heading += next() * 0.6;
        p = {p.u + 0.3 * std::cos(heading), p.v + 0.3 * std::sin(heading)};
        input.push_back(p);
    }
    line.Begin(0, input[0]);
    for (std::size_t i = 1; i < input.size(); ++i)
        line.To(input[i]);
    line.End();
    ASSERT_EQ(list.runs.size(), 1u);
    EXPECT_LT(list.points.size(), input.size() / 3);
    for (const CScreenPoint& q : input)
        ASSERT_LE(PolylineDistance(q, list), 0.5 + 1e-9);
    // The ends are exact.
    EXPECT_DOUBLE_EQ(list.points.front().u, input.front().u);
    EXPECT_DOUBLE_EQ(list.points.back().v, input.back().v);
}

TEST(PolylineSimplifier, TurningBackIsNotMergedAway) {
    CDrawList list;
    CPolylineSimplifier line(list, 0.5);
    line.Begin(0, {0, 0});
    for (int i = 1; i <= 100; ++i)
        line.To({i * 1.0, 0});
    for (int i = 99; i >= 50; --i)
        line.To({i * 1.0, 0});
    line.End();
    ASSERT_EQ(list.points.size(), 3u);
    EXPECT_DOUBLE_EQ(list.points[1].u, 100);
    EXPECT_DOUBLE_EQ(list.points[2].u, 50);
}

TEST(ToolpathDrawing, ArcsAreDrawnWithinTheChordTolerance) {
    // A full circle of radius 10 about X10, seen at 20 pixels a unit: 200 pixels of radius.
    const CToolpathPlan plan = PlanToolpath("G2 X0 Y0 I10 J0 F100\n", {});
    ASSERT_EQ(plan.model.Arcs().size(), 1u);
    CToolpathCamera camera;
    camera.SetSize(500, 500);
    camera.SetScale(20);
    camera.SetCentre(10, 0);
    CDrawList list;
    CDrawOptions options;
    BuildDrawList(plan.model, camera, options, list);
    ASSERT_EQ(list.runs.size(), 1u);
    EXPECT_GT(list.points.size(), 40u);
    const CScreenPoint centre = camera.Project(10, 0, 0);
    for (const CScreenPoint& p : list.points)
        EXPECT_NEAR(std::hypot(p.u - centre.u, p.v - centre.v), 200, 1e-6);
    // The middle of every chord stays within chord + merge tolerance of the circle.
    for (std::size_t i = 1; i < list.points.size(); ++i) {
        const CScreenPoint a = list.points[i - 1];
        const CScreenPoint b = list.points[i];
        const double mid = std::hypot((a.u + b.u) / 2 - centre.u, (a.v + b.v) / 2 - centre.v);
        EXPECT_GT(mid, 200 - options.chordTolerance - options.mergeTolerance - 1e-9);
    }
}

TEST(ToolpathDrawing, ChordCountFollowsTheRadiusOnScreen) {
    const double tolerance = 0.25;
    EXPECT_EQ(ChordCount(0.1, std::numbers::pi, tolerance), 1);
    int last = 0;
    for (double r : {1.0, 10.0, 100.0, 1000.0}) {
        const int n = ChordCount(r, 2 * std::numbers::pi, tolerance);
        EXPECT_GT(n, last) << r;
        EXPECT_LE(r * (1 - std::cos(std::numbers::pi / n)), tolerance + 1e-12) << r;
        last = n;
    }
}

TEST(ToolpathDrawing, ChunksOffScreenAreNotVisited) {
    std::string text = "G1 F100\n";
    for (int i = 1; i <= 5000; ++i)
        text += "X" + std::to_string(i) + " Y" + std::to_string(i % 2) + "\n";
    const CToolpathPlan plan = PlanToolpath(text, {});
    CToolpathCamera camera;
    camera.SetSize(400, 300);
    camera.SetScale(10);
    camera.SetCentre(100, 0); // X80 .. X120 on screen
    CDrawList list;
    BuildDrawList(plan.model, camera, {}, list);
    EXPECT_LE(list.piecesVisited, 2 * CToolpathModel::kChunk);
    EXPECT_FALSE(list.runs.empty());
    for (const CScreenPoint& p : list.points) {
        EXPECT_GT(p.u, -10 * double(CToolpathModel::kChunk));
        EXPECT_LT(p.u, 400 + 10 * double(CToolpathModel::kChunk));
    }
}

// A wandering path in three dimensions, long enough for coarser levels.
std::string Wander(int moves) {
    std::string text = "G1 F100\n";
    std::uint32_t seed = 777;
    double heading = 0, x = 0, y = 0, z = 0;
    for (int i = 0; i < moves; ++i) {
        seed = seed * 1664525u + 1013904223u;
        heading += ((seed >> 8) / double(1 << 24) - 0.5) * 0.1;
        x += 0.005 * std::cos(heading);
        y += 0.005 * std::sin(heading);
        z = 2 * std::sin(i * 0.001);
        text += (i % 500 == 0 ? "G0 X" : "G1 X") + std::to_string(x) + " Y" + std::to_string(y) +
                " Z" + std::to_string(z) + "\n";
    }
    return text;
}

TEST(ToolpathLevels, ACoarserLevelDrawsFewerPiecesAndStraysLessThanAPixel) {
    const CToolpathPlan plan = PlanToolpath(Wander(60000), {});
    const CToolpathModel& model = plan.model;
    ASSERT_FALSE(model.Levels().empty());
    for (std::size_t k = 1; k < model.Levels().size(); ++k)
        EXPECT_LT(model.Levels()[k].points.size(), model.Levels()[k - 1].points.size());
    for (CViewKind view : {CViewKind::Top, CViewKind::Iso}) {
        CToolpathCamera camera;
        camera.SetSize(800, 600);
        camera.SetView(view);
        camera.Fit(model.Extents());
        CDrawOptions options;
        options.donePoint = model.FirstPointFrom(30000);
        CDrawList list;
        BuildDrawList(model, camera, options, list);
        EXPECT_LT(list.piecesVisited, model.PieceCount() / 4);
        // Every point of the path (a sample of them) lies within a pixel of what is drawn.
        for (std::size_t i = 0; i < model.Points().size(); i += 97) {
            const CPathPoint& p = model.Points()[i];
            ASSERT_LE(PolylineDistance(camera.Project(p.x, p.y, p.z), list), 1.0) << i;
        }
        // The split between run and not run lies exactly at the running line's first piece.
        const CPathPoint& edge = model.Points()[options.donePoint - 1];
        const CScreenPoint at = camera.Project(edge.x, edge.y, edge.z);
        bool found = false;
        for (std::size_t r = 1; r < list.runs.size(); ++r) {
            const bool doneBefore = (list.runs[r - 1].stroke & kStrokeDone) != 0;
            const bool doneNow = (list.runs[r].stroke & kStrokeDone) != 0;
            if (doneBefore && !doneNow) {
                const CScreenPoint start = list.points[list.runs[r].first];
                found = std::hypot(start.u - at.u, start.v - at.v) < 1e-6;
            }
        }
        EXPECT_TRUE(found) << static_cast<int>(view);
    }
}

TEST(ToolpathLevels, ZoomedInTheFullPathIsDrawn) {
    const CToolpathPlan plan = PlanToolpath(Wander(5000), {});
    const CToolpathModel& model = plan.model;
    ASSERT_FALSE(model.Levels().empty());
    EXPECT_EQ(model.LevelFor(0), nullptr);
    EXPECT_EQ(model.LevelFor(model.Levels().front().error), nullptr); // the views' stretch
    EXPECT_EQ(model.LevelFor(1e9), &model.Levels().back());
}

// A line picked in the program's text: its own pieces, from where the line before left the
// tool, an arc chorded as finely as the path itself; a line without moves draws nothing.
TEST(ToolpathLineDrawing, OneLinesPiecesAlone) {
    const CToolpathPlan plan =
        PlanToolpath("G0 X10 Y0\nG1 X20 F100\n(nothing moves)\nG3 X20 Y0 I-10 J0\nG1 Y5\n", {});
    const CToolpathModel& model = plan.model;
    const CToolpathCamera camera = FittedCamera(model);
    CDrawList list;
    BuildLineDrawList(model, camera, 2, {}, list);
    ASSERT_EQ(list.runs.size(), 1u);
    ASSERT_EQ(list.runs[0].count, 2u);
    const CScreenPoint from = camera.Project(10, 0, 0);
    const CScreenPoint to = camera.Project(20, 0, 0);
    EXPECT_NEAR(list.points[0].u, from.u, 1e-3);
    EXPECT_NEAR(list.points[1].u, to.u, 1e-3);
    EXPECT_NEAR(list.points[1].v, to.v, 1e-3);

    BuildLineDrawList(model, camera, 4, {}, list); // the whole circle about (10, 0)
    ASSERT_EQ(list.runs.size(), 1u);
    EXPECT_GT(list.runs[0].count, 16u);
    const CScreenPoint centre = camera.Project(10, 0, 0);
    const double radius = 10 * camera.Scale();
    for (const CScreenPoint& p : list.points)
        EXPECT_NEAR(std::hypot(p.u - centre.u, p.v - centre.v), radius, 1.0);

    for (const std::uint32_t none : {0u, 3u, 9u}) {
        BuildLineDrawList(model, camera, none, {}, list);
        EXPECT_TRUE(list.runs.empty()) << none;
    }
}

} // namespace
} // namespace morvik::preview
