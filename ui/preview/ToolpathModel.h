// The toolpath of a part program as the preview keeps it: one compact point per move end,
// tagged with its kind and source line, arcs kept exact beside it so that they can be drawn as
// smoothly as the zoom asks. A million-line program costs about 20 bytes a move.
//
// points[0] is where the path starts; piece i (i >= 1) runs from points[i - 1] to points[i].
// Pieces are in program order, so their lines never decrease and the pieces of one line are
// found by a binary search. Chunks of kChunk pieces carry a bounding box, so a view culls whole
// chunks that lie off screen without touching their points. Finish() also builds coarser levels
// of the path (CLodLevel) for views zoomed out; that work is done once, with the planning, off
// the user-interface thread.
#pragma once

#include "gcode/Segment.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace morvik::preview {

enum class CPathKind : std::uint8_t { Start, Rapid, Feed, Arc };

// Point flags.
inline constexpr std::uint8_t kOutsideLimits = 1; // the piece leaves the soft-limit box

struct CPathPoint {
    float x = 0;
    float y = 0;
    float z = 0;
    std::uint32_t line = 0;
    CPathKind kind = CPathKind::Start;
    std::uint8_t flags = 0;
};

// The arc that ends at points[point]: its centre on the plane's first and second axis and the
// angle it sweeps (counter-clockwise positive, seen from the plane's normal).
struct CPathArc {
    std::uint32_t point = 0;
    gcode::CPlane plane = gcode::CPlane::XY;
    std::array<double, 2> centre{};
    double sweep = 0;
};

struct CBox3 {
    std::array<double, 3> lo{kEmpty, kEmpty, kEmpty};
    std::array<double, 3> hi{-kEmpty, -kEmpty, -kEmpty};

    bool Empty() const { return lo[0] > hi[0]; }
    void Add(double x, double y, double z);
    void Add(const CBox3& other);

private:
    static constexpr double kEmpty = std::numeric_limits<double>::infinity();
};

// A coarser copy of the path for views zoomed out: the indices of the points it keeps (the
// first and the last always, and every point where a piece's kind or limit flag changes), such
// that every point of the path lies within `error` (length units) of the polyline through the
// kept points. An arc that bulges more than the level allows is kept whole.
struct CLodLevel {
    double error = 0;
    std::vector<std::uint32_t> points;
    // Chunk c covers the stretches ending at points[c * kChunk + 1 .. (c + 1) * kChunk].
    std::vector<CBox3> chunks;
};

class CToolpathModel {
public:
    static constexpr std::size_t kChunk = 256;
    // The largest factor by which a view stretches a length (the isometric view's).
    static constexpr double kViewStretch = 1.2248;

    void Start(const gcode::CAxes& position);
    // Room for about this many points (a program's line count), so a long program is read
    // without the copies of a growing vector.
    void Reserve(std::size_t points) { points_.reserve(points); }
    void AddLine(CPathKind kind, const gcode::CAxes& end, std::uint32_t line);
    void AddArc(const gcode::CSegment& arc);
    void MarkLastOutside() { points_.back().flags |= kOutsideLimits; }
    // How far the path has come, and back to there (a block that was refused half-way).
    struct Mark {
        std::size_t points;
        std::size_t arcs;
    };
    Mark MarkNow() const { return {points_.size(), arcs_.size()}; }
    void Rewind(const Mark& mark);
    // Extents and chunk boxes; called once the last piece is in.
    void Finish();

    const std::vector<CPathPoint>& Points() const { return points_; }
    const std::vector<CPathArc>& Arcs() const { return arcs_; }
    std::size_t PieceCount() const { return points_.empty() ? 0 : points_.size() - 1; }
    // Every point and every arc's bulge; empty when there is no piece.
    const CBox3& Extents() const { return extents_; }
    const std::vector<CBox3>& ChunkBoxes() const { return chunks_; }
    // Coarser levels, finest first (none for a short path).
    const std::vector<CLodLevel>& Levels() const { return levels_; }
    // The coarsest level whose error, seen in any view, stays within `tolerance` length units;
    // null when only the full path will do.
    const CLodLevel* LevelFor(double tolerance) const;
    // Chunk c holds the pieces ending at points c * kChunk + 1 .. (c + 1) * kChunk.
    static std::size_t ChunkOf(std::size_t point) { return (point - 1) / kChunk; }

    // The index of the first point whose piece belongs to a line at or after `line`: the
    // pieces before it are all from earlier lines. PieceCount() + 1 when there is none.
    std::size_t FirstPointFrom(std::uint32_t line) const;
    // The index in Arcs() of the first arc ending at or after point.
    std::size_t FirstArcFrom(std::size_t point) const;
    // The bounding box of the arc ending at arcs[index] (its start is the point before it).
    CBox3 ArcBounds(std::size_t index) const;
    std::size_t MemoryBytes() const;

private:
    void BuildLevels();
    std::vector<std::uint32_t> Simplify(const std::vector<std::uint32_t>& source, double eps) const;
    bool FlatArc(std::size_t point, double eps) const;
    void LevelChunks(CLodLevel& level) const;

    std::vector<CPathPoint> points_;
    std::vector<CLodLevel> levels_;
    std::vector<CPathArc> arcs_;
    std::vector<CBox3> chunks_;
    CBox3 extents_;
};

// An arc piece ready to be walked: the angle and the radius run evenly from its start to its
// end, as does the plane's normal axis (a helix).
struct CArcGeometry {
    gcode::CPlaneAxes axes{};
    std::array<double, 2> centre{};
    double startAngle = 0;
    double sweep = 0;
    double startRadius = 0;
    double endRadius = 0;
    double startNormal = 0;
    double endNormal = 0;

    // The point at fraction t (0..1) along the arc, as X, Y, Z.
    std::array<double, 3> At(double t) const;
    double MaxRadius() const { return startRadius > endRadius ? startRadius : endRadius; }
};
CArcGeometry ArcGeometryOf(const CPathPoint& from, const CPathPoint& to, const CPathArc& arc);

} // namespace morvik::preview
