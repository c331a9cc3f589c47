#include "ui/preview/ToolpathPlan.h"

#include "gcode/Block.h"
#include "gcode/TextLines.h"

#include <algorithm>

namespace morvik::preview {

namespace {

// How many lines are planned between two looks at the cancel flag.
constexpr std::uint32_t kCancelStride = 4096;

// Takes the planner's segments into the plan: moves into the model, each checked against the
// soft limits; dwells draw nothing.
class PlanSink : public gcode::CSegmentSink {
public:
    explicit PlanSink(CToolpathPlan& plan) : plan_(plan), limits_(plan.setup.limits) {}

    void Add(const gcode::CSegment& s) override {
        switch (s.kind) {
        case gcode::CSegmentKind::Rapid:
            plan_.model.AddLine(CPathKind::Rapid, s.end, s.line);
            break;
        case gcode::CSegmentKind::Feed:
            plan_.model.AddLine(CPathKind::Feed, s.end, s.line);
            break;
        case gcode::CSegmentKind::Arc:
            plan_.model.AddArc(s);
            break;
        case gcode::CSegmentKind::Dwell:
            return;
        }
        if (checkLimits_)
            Check(s);
    }

private:
    void Check(const gcode::CSegment& s) {
        int axis = limits_.AxisOutside(s.end);
        gcode::CAxes where = s.end;
        if (axis < 0 && s.kind == gcode::CSegmentKind::Arc)
            axis = ArcOutside(where);
        if (axis < 0)
            return;
        plan_.model.MarkLastOutside();
        ++plan_.piecesOutside;
        if (plan_.excursion.line != 0)
            return;
        const double v = where[axis];
        plan_.excursion = {s.line, axis, v,
                           v < limits_.lower[axis] ? limits_.lower[axis] : limits_.upper[axis]};
    }

    // An arc whose ends lie inside may still bulge out: its bounds on the plane's axes.
    int ArcOutside(gcode::CAxes& where) const {
        const CToolpathModel& m = plan_.model;
        const CBox3 box = m.ArcBounds(m.Arcs().size() - 1);
        for (int a = 0; a < 3; ++a) {
            if (!limits_.set[a])
                continue;
            if (box.lo[a] < limits_.lower[a]) {
                where[a] = box.lo[a];
                return a;
            }
            if (box.hi[a] > limits_.upper[a]) {
                where[a] = box.hi[a];
                return a;
            }
        }
        return -1;
    }

    CToolpathPlan& plan_;
    const CSoftLimits& limits_;
    const bool checkLimits_ = limits_.Any();
};

bool Cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

void Refuse(CToolpathPlan& plan, std::uint32_t line, std::string why) {
    ++plan.errorCount;
    if (plan.errors.size() < CToolpathPlan::kMaxErrorsListed)
        plan.errors.push_back(CPlanError{line, std::move(why)});
}

} // namespace

bool CSoftLimits::Any() const {
    return std::any_of(set.begin(), set.end(), [](bool s) { return s; });
}

int CSoftLimits::AxisOutside(const std::array<double, gcode::kAxes>& p) const {
    for (int a = 0; a < gcode::kAxes; ++a) {
        // A tolerance of a millionth of the box keeps a move that ends on a limit inside.
        const double slack = (upper[a] - lower[a]) * 1e-6;
        if (set[a] && (p[a] < lower[a] - slack || p[a] > upper[a] + slack))
            return a;
    }
    return -1;
}

std::string ExcursionText(const CLimitExcursion& excursion) {
    if (excursion.line == 0 || excursion.axis < 0)
        return {};
    return "line " + std::to_string(excursion.line) + " leaves the soft limits on " +
           gcode::kAxisLetters[excursion.axis];
}

CToolpathPlan PlanToolpath(std::string_view text, const CPreviewSetup& setup,
                           const std::atomic<bool>* cancel) {
    CToolpathPlan plan;
    plan.setup = setup;
    plan.model.Start(setup.start);
    plan.model.Reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 2);
    gcode::CPlanner planner(setup.planner);
    if (setup.modal)
        planner.SetModal(*setup.modal);
    planner.SetPosition(setup.start);
    PlanSink sink(plan);
    gcode::CBlock block;
    gcode::CTextLines lines(text);
    for (std::string_view line;;) {
        if (plan.lines % kCancelStride == 0 && Cancelled(cancel)) {
            plan.cancelled = true;
            return plan;
        }
        if (!lines.Next(line))
            break;
        const std::uint32_t number = ++plan.lines;
        if (!gcode::ReadBlock(line, number, block)) {
            Refuse(plan, number, block.error);
            continue;
        }
        if (block.empty || (block.deleted && setup.blockDelete))
            continue;
        const CToolpathModel::Mark mark = plan.model.MarkNow();
        const CLimitExcursion excursion = plan.excursion;
        const std::size_t outside = plan.piecesOutside;
        if (std::string why = planner.Apply(block, sink); !why.empty()) {
            // Whatever the refused block made before it failed is not part of the path.
            plan.model.Rewind(mark);
            plan.excursion = excursion;
            plan.piecesOutside = outside;
            Refuse(plan, number, std::move(why));
            continue;
        }
        if (planner.Modal().stop == gcode::CStop::End) {
            plan.ended = true;
            break;
        }
    }
    plan.model.Finish();
    return plan;
}

} // namespace morvik::preview
