#include "ui/preview/ToolpathCamera.h"

#include <algorithm>
#include <cmath>

namespace morvik::preview {

namespace {

// The isometric view: X to the lower right, Y to the upper right, Z straight up.
const double kCos30 = std::sqrt(3.0) / 2;
constexpr double kSin30 = 0.5;

} // namespace

CViewKind HomeView(bool lathe) {
    return lathe ? CViewKind::Lathe : CViewKind::Top;
}

void CToolpathCamera::SetSize(int width, int height) {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
}

void CToolpathCamera::SetScale(double scale) {
    scale_ = std::clamp(scale, kMinScale, kMaxScale);
}

std::array<double, 2> CToolpathCamera::Plane(double x, double y, double z) const {
    switch (view_) {
    case CViewKind::Top:
        return {x, y};
    case CViewKind::Front:
        return {x, z};
    case CViewKind::Side:
        return {y, z};
    case CViewKind::Iso:
        return {(x - y) * kCos30, (x + y) * kSin30 + z};
    case CViewKind::Lathe:
        return {z, x};
    }
    return {x, y};
}

CScreenPoint CToolpathCamera::Project(double x, double y, double z) const {
    const auto p = Plane(x, y, z);
    return {width_ / 2.0 + (p[0] - centre_[0]) * scale_,
            height_ / 2.0 - (p[1] - centre_[1]) * scale_};
}

CProjection CToolpathCamera::Projection() const {
    CProjection p;
    const CScreenPoint origin = Project(0, 0, 0);
    p.c[0] = origin.u;
    p.c[1] = origin.v;
    for (int axis = 0; axis < 3; ++axis) {
        const CScreenPoint unit = Project(axis == 0, axis == 1, axis == 2);
        p.m[0][axis] = unit.u - origin.u;
        p.m[1][axis] = unit.v - origin.v;
    }
    return p;
}

std::array<double, 2> CToolpathCamera::Unproject(double u, double v) const {
    return {centre_[0] + (u - width_ / 2.0) / scale_, centre_[1] - (v - height_ / 2.0) / scale_};
}

void CToolpathCamera::ZoomAt(double u, double v, double factor) {
    const auto before = Unproject(u, v);
    SetScale(scale_ * factor);
    const auto after = Unproject(u, v);
    centre_[0] += before[0] - after[0];
    centre_[1] += before[1] - after[1];
}

void CToolpathCamera::Pan(double du, double dv) {
    centre_[0] -= du / scale_;
    centre_[1] += dv / scale_;
}

void CToolpathCamera::Fit(const CBox3& box) {
    if (box.Empty())
        return;
    double lo[2] = {INFINITY, INFINITY};
    double hi[2] = {-INFINITY, -INFINITY};
    for (int corner = 0; corner < 8; ++corner) {
        const auto p = Plane(corner & 1 ? box.hi[0] : box.lo[0], corner & 2 ? box.hi[1] : box.lo[1],
                             corner & 4 ? box.hi[2] : box.lo[2]);
        for (int i = 0; i < 2; ++i) {
            lo[i] = std::min(lo[i], p[i]);
            hi[i] = std::max(hi[i], p[i]);
        }
    }
    centre_ = {(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2};
    const double w = hi[0] - lo[0];
    const double h = hi[1] - lo[1];
    double scale = INFINITY;
    if (w > 0)
        scale = width_ * kFitFill / w;
    if (h > 0)
        scale = std::min(scale, height_ * kFitFill / h);
    if (std::isfinite(scale))
        SetScale(scale);
}

} // namespace morvik::preview
