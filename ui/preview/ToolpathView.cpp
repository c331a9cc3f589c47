#include "ui/preview/ToolpathView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <vector>

namespace morvik::preview {

namespace {

const QColor kBackground(252, 252, 250);
const QColor kLimitColour(200, 120, 0);
const QColor kToolColour(0, 0, 0);
const QColor kPickedColour(230, 120, 0); // apart from the path's blue, green, grey and red
constexpr int kPickedWidth = 3;
constexpr int kToolArm = 9;        // pixels from the middle of the cross to its ends
constexpr int kZeroArrow = 28;     // length of the work zero's axis arrows
constexpr double kWheelStep = 120; // one notch of a mouse wheel

QPointF ToQt(const CScreenPoint& p) {
    return {p.u, p.v};
}

QPen StrokePen(std::uint8_t stroke) {
    const CStrokeStyle style = StrokeStyle(stroke);
    QPen pen(QColor::fromRgb(style.rgb));
    // One pixel wide: wider pens go through the general stroker, many times slower on a
    // million-move path folded onto itself.
    pen.setCosmetic(true);
    pen.setWidth(1);
    if (style.dashed)
        pen.setStyle(Qt::DashLine);
    return pen;
}

} // namespace

const char* ViewName(CViewKind view) {
    switch (view) {
    case CViewKind::Top:
        return "Top (XY)";
    case CViewKind::Front:
        return "Front (XZ)";
    case CViewKind::Side:
        return "Side (YZ)";
    case CViewKind::Iso:
        return "Isometric";
    case CViewKind::Lathe:
        return "Lathe (ZX)";
    }
    return "";
}

CToolpathView::CToolpathView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(160, 120);
    setMouseTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    camera_.SetSize(width(), height());
}

void CToolpathView::SetPlan(std::shared_ptr<const CToolpathPlan> plan) {
    plan_ = std::move(plan);
    if (plan_ != nullptr && preview::HomeView(plan_->setup.lathe) != home_) {
        SetHomeView(preview::HomeView(plan_->setup.lathe));
        return;
    }
    if (FollowsPlans() && plan_ != nullptr && !plan_->model.Extents().Empty()) {
        Fit();
        return;
    }
    update();
}

CToolpathView::FitPlace CToolpathView::PlaceNow() const {
    return {camera_.Scale(), camera_.Unproject(camera_.Width() / 2.0, camera_.Height() / 2.0)};
}

// Compared with the camera itself, not with a flag the mouse sets: whoever moves the camera,
// the operator's wheel or a caller of Camera(), the picture stays where it was put.
bool CToolpathView::FollowsPlans() const {
    if (!fit_)
        return true;
    const FitPlace now = PlaceNow();
    return now.scale == fit_->scale && now.centre == fit_->centre;
}

void CToolpathView::SetViewKind(CViewKind view) {
    camera_.SetView(view);
    Fit();
}

void CToolpathView::SetHomeView(CViewKind home) {
    if (home == home_)
        return;
    home_ = home;
    fit_.reset();
    SetViewKind(home);
    emit HomeViewChanged(home);
}

void CToolpathView::Fit() {
    if (plan_ != nullptr && !plan_->model.Extents().Empty()) {
        camera_.Fit(plan_->model.Extents());
        fit_ = PlaceNow();
    }
    update();
}

void CToolpathView::SetToolPosition(std::optional<std::array<double, 3>> tool) {
    if (tool == tool_)
        return;
    tool_ = tool;
    update();
}

void CToolpathView::SetDoneBefore(std::uint32_t line) {
    if (line == doneBefore_)
        return;
    doneBefore_ = line;
    update();
}

void CToolpathView::SetPickedLine(std::uint32_t line) {
    if (line == picked_)
        return;
    picked_ = line;
    update();
}

std::size_t CToolpathView::DonePoint() const {
    if (plan_ == nullptr || doneBefore_ == 0)
        return 0;
    if (doneBefore_ == kAllDone)
        return plan_->model.Points().size();
    return plan_->model.FirstPointFrom(doneBefore_);
}

void CToolpathView::Render(QPainter& painter, QSize size) {
    camera_.SetSize(size.width(), size.height());
    painter.fillRect(QRect(QPoint(0, 0), size), kBackground);
    DrawPath(painter);
    DrawPicked(painter);
    DrawLimits(painter);
    DrawWorkZero(painter);
    DrawTool(painter);
    DrawCaption(painter);
}

void CToolpathView::DrawPath(QPainter& painter) {
    drawList_.Clear();
    if (plan_ == nullptr)
        return;
    CDrawOptions options;
    options.donePoint = DonePoint();
    BuildDrawList(plan_->model, camera_, options, drawList_);
    std::vector<QPointF> points;
    points.reserve(drawList_.points.size());
    for (const CScreenPoint& p : drawList_.points)
        points.push_back(ToQt(p));
    QPen pens[kStrokeCount];
    for (std::uint8_t s = 0; s < kStrokeCount; ++s)
        pens[s] = StrokePen(s);
    // What is still to run first, the part already run over it: where passes lie on one
    // another (depth passes seen from the top) the operator sees how far the cut has come,
    // not the pass that will go over it later.
    for (const bool done : {false, true}) {
        for (const CDrawRun& run : drawList_.runs) {
            if (((run.stroke & kStrokeDone) != 0) != done)
                continue;
            painter.setPen(pens[run.stroke]);
            painter.drawPolyline(points.data() + run.first, static_cast<int>(run.count));
        }
    }
}

void CToolpathView::DrawPicked(QPainter& painter) {
    pickedList_.Clear();
    if (plan_ == nullptr || picked_ == 0)
        return;
    BuildLineDrawList(plan_->model, camera_, picked_, CDrawOptions{}, pickedList_);
    QPen pen(kPickedColour);
    pen.setWidth(kPickedWidth);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    for (const CDrawRun& run : pickedList_.runs) {
        std::vector<QPointF> points;
        points.reserve(run.count);
        for (std::uint32_t i = run.first; i < run.first + run.count; ++i)
            points.push_back(ToQt(pickedList_.points[i]));
        painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
}

// The twelve edges of the box, on the axes that have limits; an axis without them spans the
// program's extents so the box still shows the others.
void CToolpathView::DrawLimits(QPainter& painter) {
    if (plan_ == nullptr || !plan_->setup.limits.Any())
        return;
    const CSoftLimits& limits = plan_->setup.limits;
    const CBox3& extents = plan_->model.Extents();
    double lo[3];
    double hi[3];
    for (int a = 0; a < 3; ++a) {
        lo[a] = limits.set[a] ? limits.lower[a] : (extents.Empty() ? 0 : extents.lo[a]);
        hi[a] = limits.set[a] ? limits.upper[a] : (extents.Empty() ? 0 : extents.hi[a]);
    }
    QPen pen(kLimitColour);
    pen.setCosmetic(true);
    pen.setStyle(Qt::DashDotLine);
    painter.setPen(pen);
    auto corner = [&](int c) {
        return ToQt(
            camera_.Project(c & 1 ? hi[0] : lo[0], c & 2 ? hi[1] : lo[1], c & 4 ? hi[2] : lo[2]));
    };
    for (int c = 0; c < 8; ++c) {
        for (int bit = 1; bit < 8; bit <<= 1) {
            if ((c & bit) == 0)
                painter.drawLine(corner(c), corner(c | bit));
        }
    }
}

// A small circle at the work zero with its X (red), Y (green) and Z (blue) directions.
void CToolpathView::DrawWorkZero(QPainter& painter) {
    if (plan_ == nullptr)
        return;
    const auto& z = plan_->setup.workZero;
    const QPointF origin = ToQt(camera_.Project(z[0], z[1], z[2]));
    const QColor colours[3] = {QColor(210, 40, 40), QColor(30, 150, 30), QColor(40, 60, 220)};
    const CProjection proj = camera_.Projection();
    for (int a = 0; a < 3; ++a) {
        const QPointF dir(proj.m[0][a], proj.m[1][a]);
        const double length = std::hypot(dir.x(), dir.y());
        if (length < 1e-12)
            continue; // the axis points at the viewer
        painter.setPen(QPen(colours[a], 1));
        painter.drawLine(origin, origin + dir * (kZeroArrow / length));
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(origin, 4, 4);
}

void CToolpathView::DrawTool(QPainter& painter) {
    if (!tool_)
        return;
    const QPointF at = ToQt(camera_.Project((*tool_)[0], (*tool_)[1], (*tool_)[2]));
    painter.setPen(QPen(kToolColour, 2));
    painter.drawLine(at - QPointF(kToolArm, 0), at + QPointF(kToolArm, 0));
    painter.drawLine(at - QPointF(0, kToolArm), at + QPointF(0, kToolArm));
}

void CToolpathView::DrawCaption(QPainter& painter) {
    QString caption = ViewName(camera_.View());
    if (plan_ != nullptr && !plan_->setup.unitSymbol.empty())
        caption += QString("   ") + QString::fromStdString(plan_->setup.unitSymbol);
    painter.setPen(Qt::darkGray);
    painter.drawText(QRect(6, 4, camera_.Width() - 12, camera_.Height() - 8),
                     Qt::AlignLeft | Qt::AlignBottom, caption);
}

void CToolpathView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Render(painter, size());
}

void CToolpathView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const bool follows = FollowsPlans();
    camera_.SetSize(width(), height());
    if (follows)
        Fit();
}

void CToolpathView::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / kWheelStep;
    if (steps == 0)
        return;
    const QPointF at = event->position();
    camera_.ZoomAt(at.x(), at.y(), std::pow(kWheelZoom, steps));
    update();
    event->accept();
}

void CToolpathView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton)
        dragFrom_ = event->position().toPoint();
}

void CToolpathView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragFrom_)
        return;
    const QPoint now = event->position().toPoint();
    camera_.Pan(now.x() - dragFrom_->x(), now.y() - dragFrom_->y());
    dragFrom_ = now;
    update();
}

void CToolpathView::mouseReleaseEvent(QMouseEvent*) {
    dragFrom_.reset();
}

} // namespace morvik::preview
