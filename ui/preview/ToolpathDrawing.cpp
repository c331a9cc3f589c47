#include "ui/preview/ToolpathDrawing.h"

#include <algorithm>
#include <cmath>

namespace morvik::preview {

namespace {

constexpr int kMaxChords = 4096;

double Cross(const double a[2], const double b[2]) {
    return a[0] * b[1] - a[1] * b[0];
}

bool ChunkVisible(const CBox3& box, const CProjection& proj, const CToolpathCamera& camera,
                  double margin) {
    double lo[2] = {INFINITY, INFINITY};
    double hi[2] = {-INFINITY, -INFINITY};
    for (int corner = 0; corner < 8; ++corner) {
        const CScreenPoint p =
            proj(corner & 1 ? box.hi[0] : box.lo[0], corner & 2 ? box.hi[1] : box.lo[1],
                 corner & 4 ? box.hi[2] : box.lo[2]);
        lo[0] = std::min(lo[0], p.u);
        hi[0] = std::max(hi[0], p.u);
        lo[1] = std::min(lo[1], p.v);
        hi[1] = std::max(hi[1], p.v);
    }
    return hi[0] >= -margin && lo[0] <= camera.Width() + margin && hi[1] >= -margin &&
           lo[1] <= camera.Height() + margin;
}

} // namespace

CStrokeStyle StrokeStyle(std::uint8_t stroke) {
    const bool rapid = (stroke & kStrokeRapid) != 0;
    std::uint32_t rgb = rapid ? 0x8090a0 : 0x1e5ac8; // still to run: grey rapids, blue cuts
    if ((stroke & kStrokeDone) != 0)
        rgb = rapid ? 0x80c080 : 0x109030; // run: green
    else if ((stroke & kStrokeOutside) != 0)
        rgb = rapid ? 0xf07070 : 0xe01818; // outside the soft limits: red
    return {rgb, rapid};
}

std::uint8_t StrokeOf(const CPathPoint& end, bool done) {
    std::uint8_t stroke = end.kind == CPathKind::Rapid ? kStrokeRapid : 0;
    if (done)
        stroke |= kStrokeDone;
    if ((end.flags & kOutsideLimits) != 0)
        stroke |= kStrokeOutside;
    return stroke;
}

void CDrawList::Clear() {
    points.clear();
    runs.clear();
    piecesVisited = 0;
}

int ChordCount(double radiusPixels, double sweep, double tolerance) {
    if (radiusPixels <= tolerance)
        return 1;
    // A chord over the angle a lies r (1 - cos(a / 2)) from the arc at its middle.
    const double step = 2 * std::acos(1 - tolerance / radiusPixels);
    const double chords = std::ceil(std::fabs(sweep) / step);
    return static_cast<int>(std::clamp(chords, 1.0, static_cast<double>(kMaxChords)));
}

// ---- CPolylineSimplifier -----------------------------------------------------------------

void CPolylineSimplifier::Begin(std::uint8_t stroke, CScreenPoint start) {
    End();
    open_ = true;
    stroke_ = stroke;
    out_.runs.push_back(CDrawRun{stroke, static_cast<std::uint32_t>(out_.points.size()), 0});
    Keep(start);
}

void CPolylineSimplifier::Keep(CScreenPoint p) {
    out_.points.push_back(p);
    anchor_ = p;
    hasPending_ = false;
    hasCone_ = false;
    reach_ = 0;
}

// Per point: one square root and one division, as a million points pass here on each frame.
void CPolylineSimplifier::To(CScreenPoint p) {
    const double dx = p.u - anchor_.u;
    const double dy = p.v - anchor_.v;
    const double d2 = dx * dx + dy * dy;
    if (d2 <= tolerance_ * tolerance_) { // any line from the anchor passes close enough to p
        pending_ = p;
        hasPending_ = true;
        reach_ = std::max(reach_, std::sqrt(d2));
        return;
    }
    const double dir[2] = {dx, dy};
    // Outside the allowed directions, or back towards the anchor past a merged point: the
    // last point is kept and p starts the next stretch.
    const double back = reach_ - tolerance_;
    if ((hasCone_ && (Cross(lo_, dir) < 0 || Cross(dir, hi_) < 0)) ||
        (back > 0 && d2 < back * back)) {
        Restart(p);
        return;
    }
    const double d = std::sqrt(d2);
    // p's direction turned either way by the angle whose sine is tolerance / d; the cosine is
    // taken a little large (1 - s^2 / 2), which turns a little less: the sleeve only gets safer.
    const double s = tolerance_ / d;
    const double c = 1 - 0.5 * s * s;
    const double lo[2] = {dx * c + dy * s, -dx * s + dy * c};
    const double hi[2] = {dx * c - dy * s, dx * s + dy * c};
    if (!hasCone_ || Cross(lo_, lo) > 0)
        std::copy(lo, lo + 2, lo_);
    if (!hasCone_ || Cross(hi, hi_) > 0)
        std::copy(hi, hi + 2, hi_);
    hasCone_ = true;
    pending_ = p;
    hasPending_ = true;
    reach_ = std::max(reach_, d);
}

void CPolylineSimplifier::Restart(CScreenPoint p) {
    Keep(pending_);
    To(p); // from the new anchor p lies inside the fresh sleeve
}

void CPolylineSimplifier::End() {
    if (!open_)
        return;
    if (hasPending_)
        Keep(pending_);
    CDrawRun& run = out_.runs.back();
    run.count = static_cast<std::uint32_t>(out_.points.size() - run.first);
    if (run.count < 2) {
        out_.points.resize(run.first);
        out_.runs.pop_back();
    }
    open_ = false;
}

// ---- BuildDrawList -----------------------------------------------------------------------

namespace {

class DrawWalker {
public:
    DrawWalker(const CToolpathModel& model, const CToolpathCamera& camera,
               const CDrawOptions& options, CDrawList& out)
        : model_(model), points_(model.Points()), camera_(camera), proj_(camera.Projection()),
          options_(options), line_(out, options.mergeTolerance), out_(out) {}

    void Walk() {
        const CLodLevel* level =
            model_.LevelFor(options_.mergeTolerance / std::max(camera_.Scale(), 1e-300));
        if (level != nullptr)
            WalkLevel(*level);
        else
            WalkAll();
        line_.End();
    }

    // The pieces ending at points first .. last - 1, every one whatever the camera sees.
    void Range(std::size_t first, std::size_t last) {
        for (std::size_t i = first; i < last; ++i)
            Piece(i);
        out_.piecesVisited += last > first ? last - first : 0;
        line_.End();
    }

private:
    CScreenPoint At(const CPathPoint& p) const { return proj_(p.x, p.y, p.z); }

    void WalkAll() {
        const auto& chunks = model_.ChunkBoxes();
        for (std::size_t c = 0; c < chunks.size(); ++c) {
            if (!ChunkVisible(chunks[c], proj_, camera_, options_.margin)) {
                line_.End();
                continue;
            }
            const std::size_t first = c * CToolpathModel::kChunk + 1;
            const std::size_t last = std::min(first + CToolpathModel::kChunk, points_.size());
            for (std::size_t i = first; i < last; ++i)
                Piece(i);
            out_.piecesVisited += last - first;
        }
    }

    // A coarser level: its stretches as straight lines, except the pieces it kept whole and
    // the one stretch that the running line cuts, which are drawn from the full path.
    void WalkLevel(const CLodLevel& level) {
        const auto& kept = level.points;
        for (std::size_t c = 0; c < level.chunks.size(); ++c) {
            if (!ChunkVisible(level.chunks[c], proj_, camera_, options_.margin)) {
                line_.End();
                continue;
            }
            const std::size_t first = c * CToolpathModel::kChunk + 1;
            const std::size_t last = std::min(first + CToolpathModel::kChunk, kept.size());
            for (std::size_t e = first; e < last; ++e)
                Stretch(kept[e - 1], kept[e]);
            out_.piecesVisited += last - first;
        }
    }

    void Stretch(std::size_t from, std::size_t to) {
        const std::size_t done = options_.donePoint;
        if (to == from + 1 || (from + 1 < done && done <= to)) {
            for (std::size_t i = from + 1; i <= to; ++i)
                Piece(i);
            return;
        }
        const std::uint8_t stroke = StrokeOf(points_[to], to < done);
        if (!line_.Open() || line_.Stroke() != stroke)
            line_.Begin(stroke, At(points_[from]));
        line_.To(At(points_[to]));
    }

    void Piece(std::size_t i) {
        const CPathPoint& p = points_[i];
        const std::uint8_t stroke = StrokeOf(p, i < options_.donePoint);
        if (!line_.Open() || line_.Stroke() != stroke)
            line_.Begin(stroke, At(points_[i - 1]));
        if (p.kind == CPathKind::Arc)
            ArcChords(i);
        line_.To(At(p));
    }

    // The inner points of the arc ending at point i; the end itself follows as for a line.
    void ArcChords(std::size_t i) {
        const auto& arcs = model_.Arcs();
        if (arc_ >= arcs.size() || arcs[arc_].point != i)
            arc_ = model_.FirstArcFrom(i);
        if (arc_ >= arcs.size() || arcs[arc_].point != i)
            return;
        const CArcGeometry g = ArcGeometryOf(points_[i - 1], points_[i], arcs[arc_]);
        const int n = ChordCount(g.MaxRadius() * camera_.Scale(), g.sweep, options_.chordTolerance);
        for (int k = 1; k < n; ++k) {
            const auto q = g.At(static_cast<double>(k) / n);
            line_.To(proj_(q[0], q[1], q[2]));
        }
        ++arc_;
    }

    const CToolpathModel& model_;
    const std::vector<CPathPoint>& points_;
    const CToolpathCamera& camera_;
    const CProjection proj_;
    const CDrawOptions& options_;
    CPolylineSimplifier line_;
    CDrawList& out_;
    std::size_t arc_ = 0;
};

} // namespace

void BuildDrawList(const CToolpathModel& model, const CToolpathCamera& camera,
                   const CDrawOptions& options, CDrawList& out) {
    out.Clear();
    if (model.PieceCount() == 0)
        return;
    DrawWalker(model, camera, options, out).Walk();
}

void BuildLineDrawList(const CToolpathModel& model, const CToolpathCamera& camera,
                       std::uint32_t line, const CDrawOptions& options, CDrawList& out) {
    out.Clear();
    if (line == 0 || model.PieceCount() == 0)
        return;
    const std::size_t first = std::max<std::size_t>(model.FirstPointFrom(line), 1);
    const std::size_t last = std::min(model.FirstPointFrom(line + 1), model.Points().size());
    DrawWalker(model, camera, options, out).Range(first, last);
}

} // namespace morvik::preview
