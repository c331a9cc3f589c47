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
    BuildLevels();
}

// ---- Levels of detail --------------------------------------------------------------------

namespace {

// Paths shorter than this are drawn whole at every zoom.
constexpr std::size_t kLevelMinPieces = 4 * CToolpathModel::kChunk;
// The finest level's tolerance as a share of the path's size, and the step between levels.
constexpr double kFinestShare = 1e-6;
constexpr double kLevelStep = 4;
constexpr double kCoarsestShare = 1e-2;
// A level is kept only when it has at most this share of the points of the one before.
constexpr double kWorthKeeping = 0.7;
// What a level's tolerance amounts to at most: a stretch strays up to three tolerances from
// the line it replaces, the levels below add a third of that again, a flat arc one more.
constexpr double kErrorPerTolerance = 5;

std::uint8_t ClassOf(const CPathPoint& p) {
    return static_cast<std::uint8_t>((p.kind == CPathKind::Rapid ? 1 : 0) | (p.flags << 1));
}

// A stretch of the path kept as one straight line while its points stay within eps of the
// line through its start in the direction it first took, and never run back.
class Corridor {
public:
    void Start(const CPathPoint& p) {
        anchor_ = {p.x, p.y, p.z};
        hasDirection_ = false;
        reach_ = 0;
    }

    bool Takes(const CPathPoint& p, double eps) {
        const double v[3] = {p.x - anchor_[0], p.y - anchor_[1], p.z - anchor_[2]};
        const double d2 = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
        if (d2 <= eps * eps)
            return true;
        if (!hasDirection_) {
            const double d = std::sqrt(d2);
            for (int i = 0; i < 3; ++i)
                direction_[i] = v[i] / d;
            hasDirection_ = true;
            reach_ = d;
            return true;
        }
        const double t = v[0] * direction_[0] + v[1] * direction_[1] + v[2] * direction_[2];
        if (d2 - t * t > eps * eps || t < reach_ - eps)
            return false;
        reach_ = std::max(reach_, t);
        return true;
    }

private:
    std::array<double, 3> anchor_{};
    std::array<double, 3> direction_{};
    bool hasDirection_ = false;
    double reach_ = 0;
};

} // namespace

bool CToolpathModel::FlatArc(std::size_t point, double eps) const {
    const std::size_t a = FirstArcFrom(point);
    if (a >= arcs_.size() || arcs_[a].point != point)
        return true;
    const CArcGeometry g = ArcGeometryOf(points_[point - 1], points_[point], arcs_[a]);
    return std::fabs(g.sweep) <= std::numbers::pi &&
           g.MaxRadius() * (1 - std::cos(g.sweep / 2)) <= eps;
}

std::vector<std::uint32_t> CToolpathModel::Simplify(const std::vector<std::uint32_t>& source,
                                                    double eps) const {
    std::vector<std::uint32_t> kept{source.front()};
    Corridor corridor;
    corridor.Start(points_[source.front()]);
    int spanClass = -1; // the class of the stretch being merged; -1 while it is empty
    auto keep = [&](std::uint32_t i) {
        kept.push_back(i);
        corridor.Start(points_[i]);
        spanClass = -1;
    };
    for (std::size_t j = 1; j < source.size(); ++j) {
        const std::uint32_t i = source[j];
        const std::uint32_t before = source[j - 1];
        const CPathPoint& p = points_[i];
        const bool arc = i == before + 1 && p.kind == CPathKind::Arc;
        if (arc && !FlatArc(i, eps)) { // kept whole, from its start to its end
            if (kept.back() != before)
                keep(before);
            keep(i);
            continue;
        }
        if (kept.back() != before && (ClassOf(p) != spanClass || !corridor.Takes(p, eps))) {
            keep(before);
        }
        if (spanClass < 0) {
            corridor.Takes(p, eps); // the stretch's direction
            spanClass = ClassOf(p);
        }
    }
    if (kept.back() != source.back())
        kept.push_back(source.back());
    return kept;
}

// A level's chunk holds the fine pieces its stretches replace: the union of their chunks.
void CToolpathModel::LevelChunks(CLodLevel& level) const {
    const auto& kept = level.points;
    const std::size_t stretches = kept.size() - 1;
    level.chunks.assign((stretches + kChunk - 1) / kChunk, CBox3{});
    for (std::size_t c = 0; c < level.chunks.size(); ++c) {
        const std::size_t firstPiece = kept[c * kChunk] + 1;
        const std::size_t lastPiece = kept[std::min((c + 1) * kChunk, stretches)];
        for (std::size_t f = ChunkOf(firstPiece); f <= ChunkOf(lastPiece); ++f)
            level.chunks[c].Add(chunks_[f]);
    }
}

void CToolpathModel::BuildLevels() {
    levels_.clear();
    if (PieceCount() < kLevelMinPieces)
        return;
    double size = 0;
    for (int i = 0; i < 3; ++i)
        size = std::max(size, extents_.hi[i] - extents_.lo[i]);
    if (size <= 0)
        return;
    std::vector<std::uint32_t> source(points_.size());
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint32_t>(i);
    std::size_t lastKept = source.size();
    for (double eps = size * kFinestShare; eps <= size * kCoarsestShare; eps *= kLevelStep) {
        source = Simplify(source, eps);
        if (source.size() > lastKept * kWorthKeeping)
            continue;
        lastKept = source.size();
        CLodLevel level;
        level.error = eps * kErrorPerTolerance;
        level.points = source;
        LevelChunks(level);
        levels_.push_back(std::move(level));
    }
}

const CLodLevel* CToolpathModel::LevelFor(double tolerance) const {
    const CLodLevel* best = nullptr;
    for (const CLodLevel& level : levels_) {
        if (level.error * kViewStretch <= tolerance)
            best = &level;
    }
    return best;
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
    std::size_t bytes = points_.capacity() * sizeof(CPathPoint) +
                        arcs_.capacity() * sizeof(CPathArc) + chunks_.capacity() * sizeof(CBox3);
    for (const CLodLevel& level : levels_)
        bytes += level.points.capacity() * sizeof(std::uint32_t) +
                 level.chunks.capacity() * sizeof(CBox3);
    return bytes;
}

} // namespace morvik::preview
