// The preview's camera: what each view shows, zoom at the mouse, pan and fit.
#include "ui/preview/ToolpathCamera.h"

#include <gtest/gtest.h>

#include <cmath>

namespace morvik::preview {
namespace {

TEST(ToolpathCamera, EachViewShowsItsTwoAxes) {
    CToolpathCamera camera;
    const std::array<double, 2> top{1, 2}, front{1, 3}, side{2, 3};
    camera.SetView(CViewKind::Top);
    EXPECT_EQ(camera.Plane(1, 2, 3), top);
    camera.SetView(CViewKind::Front);
    EXPECT_EQ(camera.Plane(1, 2, 3), front);
    camera.SetView(CViewKind::Side);
    EXPECT_EQ(camera.Plane(1, 2, 3), side);
    camera.SetView(CViewKind::Iso);
    // Up the screen for Z; X and Y to either side at the same height.
    EXPECT_DOUBLE_EQ(camera.Plane(0, 0, 1)[1], 1);
    EXPECT_DOUBLE_EQ(camera.Plane(1, 0, 0)[1], camera.Plane(0, 1, 0)[1]);
    EXPECT_DOUBLE_EQ(camera.Plane(1, 0, 0)[0], -camera.Plane(0, 1, 0)[0]);
}

// A lathe is seen from the operator's side: Z across to the right (towards the tailstock), X
// up, taken as it is (a diameter where the machine reads X as one); Y points at the viewer.
TEST(ToolpathCamera, TheLatheViewPutsZAcrossAndXUp) {
    EXPECT_EQ(HomeView(true), CViewKind::Lathe);
    EXPECT_EQ(HomeView(false), CViewKind::Top);
    CToolpathCamera camera;
    camera.SetSize(200, 100);
    camera.SetScale(2);
    camera.SetView(CViewKind::Lathe);
    const std::array<double, 2> plane{3, 40};
    EXPECT_EQ(camera.Plane(40, 7, 3), plane);
    const CScreenPoint zero = camera.Project(0, 0, 0);
    const CScreenPoint x40 = camera.Project(40, 0, 0);
    const CScreenPoint z5 = camera.Project(0, 0, 5);
    EXPECT_DOUBLE_EQ(zero.v - x40.v, 80); // up, 40 units at 2 pixels each
    EXPECT_DOUBLE_EQ(x40.u, zero.u);
    EXPECT_DOUBLE_EQ(z5.u - zero.u, 10); // right
    EXPECT_DOUBLE_EQ(z5.v, zero.v);
    const CScreenPoint y = camera.Project(0, 9, 0);
    EXPECT_DOUBLE_EQ(y.u, zero.u);
    EXPECT_DOUBLE_EQ(y.v, zero.v);
}

TEST(ToolpathCamera, ScreenYGrowsDownwardsAndProjectionMatchesProject) {
    CToolpathCamera camera;
    camera.SetSize(200, 100);
    camera.SetScale(2);
    camera.SetView(CViewKind::Iso);
    EXPECT_LT(camera.Project(0, 0, 10).v, camera.Project(0, 0, 0).v);
    const CProjection proj = camera.Projection();
    const CScreenPoint a = camera.Project(3, -4, 5);
    const CScreenPoint b = proj(3, -4, 5);
    EXPECT_NEAR(a.u, b.u, 1e-9);
    EXPECT_NEAR(a.v, b.v, 1e-9);
}

TEST(ToolpathCamera, ZoomKeepsThePointUnderTheMouse) {
    CToolpathCamera camera;
    camera.SetSize(640, 480);
    camera.SetScale(3);
    camera.SetCentre(10, 20);
    const auto under = camera.Unproject(100, 400);
    camera.ZoomAt(100, 400, 1.25);
    EXPECT_DOUBLE_EQ(camera.Scale(), 3.75);
    const CScreenPoint back = camera.Project(under[0], under[1], 0);
    EXPECT_NEAR(back.u, 100, 1e-9);
    EXPECT_NEAR(back.v, 400, 1e-9);
}

TEST(ToolpathCamera, PanMovesThePictureByThePixelsDragged) {
    CToolpathCamera camera;
    camera.SetSize(640, 480);
    camera.SetScale(4);
    const CScreenPoint before = camera.Project(5, 5, 0);
    camera.Pan(30, -12);
    const CScreenPoint after = camera.Project(5, 5, 0);
    EXPECT_NEAR(after.u - before.u, 30, 1e-9);
    EXPECT_NEAR(after.v - before.v, -12, 1e-9);
}

TEST(ToolpathCamera, FitPutsTheWholeBoxInTheMiddle) {
    CBox3 box;
    box.Add(-10, 0, -5);
    box.Add(90, 20, 5);
    for (CViewKind view : {CViewKind::Top, CViewKind::Front, CViewKind::Side, CViewKind::Iso}) {
        CToolpathCamera camera;
        camera.SetSize(400, 300);
        camera.SetView(view);
        camera.Fit(box);
        double lo[2] = {INFINITY, INFINITY}, hi[2] = {-INFINITY, -INFINITY};
        for (int c = 0; c < 8; ++c) {
            const CScreenPoint p = camera.Project(c & 1 ? 90 : -10, c & 2 ? 20 : 0, c & 4 ? 5 : -5);
            lo[0] = std::min(lo[0], p.u);
            hi[0] = std::max(hi[0], p.u);
            lo[1] = std::min(lo[1], p.v);
            hi[1] = std::max(hi[1], p.v);
        }
        EXPECT_GE(lo[0], 0);
        EXPECT_LE(hi[0], 400);
        EXPECT_GE(lo[1], 0);
        EXPECT_LE(hi[1], 300);
        const bool fills = hi[0] - lo[0] > 400 * 0.89 || hi[1] - lo[1] > 300 * 0.89;
        EXPECT_TRUE(fills) << static_cast<int>(view);
        EXPECT_NEAR((lo[0] + hi[0]) / 2, 200, 1e-6);
        EXPECT_NEAR((lo[1] + hi[1]) / 2, 150, 1e-6);
    }
    CToolpathCamera camera;
    camera.SetScale(7);
    camera.Fit(CBox3{});
    EXPECT_EQ(camera.Scale(), 7); // nothing to fit: unchanged
}

} // namespace
} // namespace morvik::preview
