// How the preview looks at the toolpath: one of five views (top XY, front XZ, side YZ, an
// isometric one and a lathe's own, Z across and X up), a scale in pixels per length unit and the
// point of the view plane that lies at the middle of the widget. Plain arithmetic, so that zoom,
// pan and fit are tested without a display. Screen y grows downwards; the view plane's second axis
// upwards. Every view draws the card's positions as they are, the numbers the readouts show: on a
// lathe whose X is read as a diameter (its scale counts per unit of diameter) the preview's X is
// that diameter, so the tool's cross stands at the height the X readout says.
#pragma once

#include "ui/preview/ToolpathModel.h"

#include <array>

namespace morvik::preview {

enum class CViewKind { Top, Front, Side, Iso, Lathe };

// The view a preview opens in: a lathe's own, else the top view.
CViewKind HomeView(bool lathe);

struct CScreenPoint {
    double u = 0;
    double v = 0;
};

// The camera's mapping from the machine to the screen as one affine map, for the inner loops.
struct CProjection {
    double m[2][3] = {};
    double c[2] = {};

    CScreenPoint operator()(double x, double y, double z) const {
        return {m[0][0] * x + m[0][1] * y + m[0][2] * z + c[0],
                m[1][0] * x + m[1][1] * y + m[1][2] * z + c[1]};
    }
};

class CToolpathCamera {
public:
    static constexpr double kMinScale = 1e-6;
    static constexpr double kMaxScale = 1e9;
    // The share of the widget that Fit gives the extents.
    static constexpr double kFitFill = 0.9;

    void SetView(CViewKind view) { view_ = view; }
    CViewKind View() const { return view_; }
    void SetSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    double Scale() const { return scale_; }
    void SetScale(double scale);
    void SetCentre(double a, double b) { centre_ = {a, b}; }

    // A point of the machine on the view plane, and on the screen.
    std::array<double, 2> Plane(double x, double y, double z) const;
    CScreenPoint Project(double x, double y, double z) const;
    CProjection Projection() const;
    // The view plane point under a screen point.
    std::array<double, 2> Unproject(double u, double v) const;

    // Scales by factor keeping the view-plane point under (u, v) where it is (zoom at the
    // mouse).
    void ZoomAt(double u, double v, double factor);
    // Moves the picture by (du, dv) pixels (pan by dragging).
    void Pan(double du, double dv);
    // The whole box in the middle of the widget, filling kFitFill of it. An empty box leaves
    // the camera as it is; a flat one is fitted on its other extent.
    void Fit(const CBox3& box);

private:
    CViewKind view_ = CViewKind::Top;
    int width_ = 1;
    int height_ = 1;
    double scale_ = 1;
    std::array<double, 2> centre_{};
};

} // namespace morvik::preview
