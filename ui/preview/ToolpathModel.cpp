#include "ui/preview/ToolpathModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace morvik::preview {

namespace {

std::array<double, 3> Xyz(const CPathPoint& p) {
    return {p.x, p.y, p.z};
}

void AddPoint(CBox3& box, const CPathPoint& p) {
    box.Add(p.x, p.y, p.z);
}

} // namespace

void CBox3::Add(double x, double y, double z) {
    const double v[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
        lo[i] = std::min(lo[i], v[i]);
        hi[i] = std::max(hi[i], v[i]);
    }
}

void CBox3::Add(const CBox3& other) {
    if (other.Empty())
        return;
    Add(other.lo[0], other.lo[1], other.lo[2]);
    Add(other.hi[0], other.hi[1], other.hi[2]);
}

std::array<double, 3> CArcGeometry::At(double t) const {
    const double angle = startAngle + sweep * t;
    const double radius = startRadius + (endRadius - startRadius) * t;
    std::array<double, 3> p{};
    p[axes.first] = centre[0] + radius * std::cos(angle);
    p[axes.second] = centre[1] + radius * std::sin(angle);
    p[axes.normal] = startNormal + (endNormal - startNormal) * t;
    return p;
}

CArcGeometry ArcGeometryOf(const CPathPoint& from, const CPathPoint& to, const CPathArc& arc) {
    CArcGeometry g;
    g.axes = gcode::PlaneAxes(arc.plane);
    g.centre = arc.centre;
    g.sweep = arc.sweep;
    const auto s = Xyz(from);
    const auto e = Xyz(to);
    const double sa = s[g.axes.first] - g.centre[0];
    const double sb = s[g.axes.second] - g.centre[1];
    g.startAngle = std::atan2(sb, sa);
    g.startRadius = std::hypot(sa, sb);
    g.endRadius = std::hypot(e[g.axes.first] - g.centre[0], e[g.axes.second] - g.centre[1]);
    g.startNormal = s[g.axes.normal];
    g.endNormal = e[g.axes.normal];
    return g;
}

void CToolpathModel::Start(const gcode::CAxes& position) {
    points_.clear();
    arcs_.clear();
    chunks_.clear();
    extents_ = CBox3{};
    points_.push_back(CPathPoint{static_cast<float>(position[0]), static_cast<float>(position[1]),
                                 static_cast<float>(position[2]), 0, CPathKind::Start, 0});
}

void CToolpathModel::AddLine(CPathKind kind, const gcode::CAxes& end, std::uint32_t line) {
    points_.push_back(CPathPoint{static_cast<float>(end[0]), static_cast<float>(end[1]),
                                 static_cast<float>(end[2]), line, kind, 0});
}

void CToolpathModel::AddArc(const gcode::CSegment& arc) {
    AddLine(CPathKind::Arc, arc.end, arc.line);
    arcs_.push_back(
        CPathArc{static_cast<std::uint32_t>(points_.size() - 1), arc.plane, arc.centre, arc.sweep});
}

void CToolpathModel::Rewind(const Mark& mark) {
    points_.resize(std::min(points_.size(), mark.points));
    arcs_.resize(std::min(arcs_.size(), mark.arcs));
}

void CToolpathModel::Finish() {
    chunks_.assign(PieceCount() == 0 ? 0 : ChunkOf(points_.size() - 1) + 1, CBox3{});
    extents_ = CBox3{};
    for (std::size_t i = 1; i < points_.size(); ++i) {
        CBox3& box = chunks_[ChunkOf(i)];
        AddPoint(box, points_[i - 1]);
        AddPoint(box, points_[i]);
    }
    for (std::size_t a = 0; a < arcs_.size(); ++a)
        chunks_[ChunkOf(arcs_[a].point)].Add(ArcBounds(a));
    for (const CBox3& box : chunks_)
        extents_.Add(box);
}

std::size_t CToolpathModel::FirstPointFrom(std::uint32_t line) const {
    if (points_.size() < 2)
        return points_.size();
    const auto it =
        std::lower_bound(points_.begin() + 1, points_.end(), line,
                         [](const CPathPoint& p, std::uint32_t l) { return p.line < l; });
    return static_cast<std::size_t>(it - points_.begin());
}

std::size_t CToolpathModel::FirstArcFrom(std::size_t point) const {
    const auto it = std::lower_bound(arcs_.begin(), arcs_.end(), point,
                                     [](const CPathArc& a, std::size_t p) { return a.point < p; });
    return static_cast<std::size_t>(it - arcs_.begin());
}

// The extremes of a circle lie where the angle passes a multiple of 90 degrees; with the radius
// changing along a spiral the larger radius bounds them.
CBox3 CToolpathModel::ArcBounds(std::size_t index) const {
    const CPathArc& arc = arcs_[index];
    const CPathPoint& from = points_[arc.point - 1];
    const CPathPoint& to = points_[arc.point];
    const CArcGeometry g = ArcGeometryOf(from, to, arc);
    CBox3 box;
    AddPoint(box, from);
    AddPoint(box, to);
    const double quarter = std::numbers::pi / 2;
    const double lo = std::min(g.startAngle, g.startAngle + g.sweep);
    const double hi = std::max(g.startAngle, g.startAngle + g.sweep);
    const double r = g.MaxRadius();
    for (double k = std::ceil(lo / quarter); k * quarter <= hi; k += 1) {
        std::array<double, 3> p = Xyz(from);
        p[g.axes.first] = g.centre[0] + r * std::cos(k * quarter);
        p[g.axes.second] = g.centre[1] + r * std::sin(k * quarter);
        box.Add(p[0], p[1], p[2]);
    }
    return box;
}

std::size_t CToolpathModel::MemoryBytes() const {
    return points_.capacity() * sizeof(CPathPoint) + arcs_.capacity() * sizeof(CPathArc) +
           chunks_.capacity() * sizeof(CBox3);
}

} // namespace morvik::preview
