// What the preview draws of a toolpath for one camera: polylines in screen pixels, each in one
// stroke (rapid or cut, done or still to run, inside the soft limits or not). Level of detail,
// in three steps: the coarsest of the model's levels (CLodLevel) whose error stays under half
// a pixel stands in for the full path; chunks whose box lies off screen are skipped; and the
// points that stay within half a pixel of the line being drawn are merged into it. A million
// tiny moves become about as many points as the picture has room for. Arcs are cut into chords
// no further than a quarter pixel from the true arc, at any zoom.
#pragma once

#include "ui/preview/ToolpathCamera.h"
#include "ui/preview/ToolpathModel.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace morvik::preview {

// Stroke bits; a stroke is their combination (0: a cut still to run).
inline constexpr std::uint8_t kStrokeRapid = 1;
inline constexpr std::uint8_t kStrokeDone = 2;
inline constexpr std::uint8_t kStrokeOutside = 4;
inline constexpr std::uint8_t kStrokeCount = 8;

// How a stroke looks: rapids dashed, feeds and arcs solid; the part already run in green, a
// piece outside the soft limits in red (once run it is shown as run).
struct CStrokeStyle {
    std::uint32_t rgb = 0;
    bool dashed = false;
};
CStrokeStyle StrokeStyle(std::uint8_t stroke);
std::uint8_t StrokeOf(const CPathPoint& end, bool done);

struct CDrawRun {
    std::uint8_t stroke = 0;
    std::uint32_t first = 0; // into CDrawList::points
    std::uint32_t count = 0;
};

struct CDrawList {
    std::vector<CScreenPoint> points;
    std::vector<CDrawRun> runs;
    std::size_t piecesVisited = 0; // pieces looked at (the others were in chunks off screen)

    void Clear();
};

struct CDrawOptions {
    double mergeTolerance = 0.5; // pixels
    double chordTolerance = 0.25;
    // Pieces ending before this point are drawn as done (CToolpathModel::FirstPointFrom of
    // the running line); 0 when nothing has run.
    std::size_t donePoint = 0;
    // Chunks further than this off screen are skipped.
    double margin = 2;
};

// Merges a stream of screen points into as few as keep every point within the tolerance of
// the polyline drawn (a sleeve: the directions still allowed from the last kept point narrow
// as points arrive, and a point outside them keeps the one before it).
class CPolylineSimplifier {
public:
    CPolylineSimplifier(CDrawList& out, double tolerance) : out_(out), tolerance_(tolerance) {}

    void Begin(std::uint8_t stroke, CScreenPoint start);
    void To(CScreenPoint p);
    // Ends the polyline; one that never left its first point is dropped.
    void End();
    bool Open() const { return open_; }
    std::uint8_t Stroke() const { return stroke_; }

private:
    void Keep(CScreenPoint p);
    void Restart(CScreenPoint p);

    CDrawList& out_;
    double tolerance_;
    bool open_ = false;
    std::uint8_t stroke_ = 0;
    CScreenPoint anchor_{};
    CScreenPoint pending_{};
    bool hasPending_ = false;
    bool hasCone_ = false;
    double lo_[2] = {}; // the allowed directions run counter-clockwise from lo_ to hi_
    double hi_[2] = {};
    double reach_ = 0; // the furthest any merged point lies from the anchor
};

void BuildDrawList(const CToolpathModel& model, const CToolpathCamera& camera,
                   const CDrawOptions& options, CDrawList& out);

// The pieces of one source line alone (none for line 0 or a line without moves), in strokes
// as BuildDrawList makes them: a line picked in the program's text is drawn over the path.
void BuildLineDrawList(const CToolpathModel& model, const CToolpathCamera& camera,
                       std::uint32_t line, const CDrawOptions& options, CDrawList& out);

// The number of chords an arc of this radius (pixels) and sweep (radians) is drawn with.
int ChordCount(double radiusPixels, double sweep, double tolerance);

} // namespace morvik::preview
