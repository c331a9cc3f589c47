// The drawing of a planned toolpath: the path (rapids dashed, cuts solid, the part already run
// in green, pieces outside the soft limits in red), the soft-limit box, the work zero and the
// tool as a cross. The wheel zooms at the mouse, dragging pans. Until the operator moves the
// camera (zoom or pan), each new plan is fitted, so a program being typed stays whole in view
// as it grows; once moved, the camera stays where the operator put it until Fit or another
// view. A plan of another kind of machine than the last (the first plan, a mill after a
// lathe) puts the view back to that machine's own (HomeView) and fits it. The part already
// run is drawn over what is still to run, and a line picked in the program's text over both.
// Render paints into any painter, so the redraw is measured offscreen.
#pragma once

#include "ui/preview/ToolpathCamera.h"
#include "ui/preview/ToolpathDrawing.h"
#include "ui/preview/ToolpathFeed.h"
#include "ui/preview/ToolpathPlan.h"

#include <QPoint>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QPainter;

namespace morvik::preview {

class CToolpathView : public QWidget {
    Q_OBJECT

public:
    // Each wheel step zooms by this factor.
    static constexpr double kWheelZoom = 1.25;

    explicit CToolpathView(QWidget* parent = nullptr);

    void SetPlan(std::shared_ptr<const CToolpathPlan> plan);
    const std::shared_ptr<const CToolpathPlan>& Plan() const { return plan_; }
    void SetViewKind(CViewKind view); // fits the new view
    // The view of the machine the preview belongs to: when it is not the one given last, the
    // view turns to it (fitted) and HomeViewChanged says so.
    void SetHomeView(CViewKind home);
    CViewKind HomeView() const { return home_; }
    void Fit();
    // The tool's cross; none while the position is not known.
    void SetToolPosition(std::optional<std::array<double, 3>> tool);
    // The pieces of lines before this one are drawn as run (kAllDone: all of them).
    void SetDoneBefore(std::uint32_t line);
    std::uint32_t DoneBefore() const { return doneBefore_; }
    // The first point whose piece is still to run.
    std::size_t DonePoint() const;
    // The moves of this source line are picked out over the path (0: none).
    void SetPickedLine(std::uint32_t line);
    std::uint32_t PickedLine() const { return picked_; }
    // Whether new plans are still fitted: the camera is where the last fit left it.
    bool FollowsPlans() const;

    CToolpathCamera& Camera() { return camera_; }
    const CToolpathCamera& Camera() const { return camera_; }
    // What the last paint drew.
    const CDrawList& LastDrawList() const { return drawList_; }
    const CDrawList& LastPickedList() const { return pickedList_; }

    // Paints the whole picture at size into painter.
    void Render(QPainter& painter, QSize size);

signals:
    void HomeViewChanged(CViewKind home);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void DrawPath(QPainter& painter);
    void DrawPicked(QPainter& painter);
    void DrawLimits(QPainter& painter);
    void DrawWorkZero(QPainter& painter);
    void DrawTool(QPainter& painter);
    void DrawCaption(QPainter& painter);

    std::shared_ptr<const CToolpathPlan> plan_;
    CToolpathCamera camera_;
    CDrawList drawList_;
    std::optional<std::array<double, 3>> tool_;
    CDrawList pickedList_;
    std::uint32_t doneBefore_ = 0;
    std::uint32_t picked_ = 0;
    // The camera as the last fit left it; none before the first.
    struct FitPlace {
        double scale = 0;
        std::array<double, 2> centre{};
    };
    std::optional<FitPlace> fit_;
    FitPlace PlaceNow() const;
    CViewKind home_ = CViewKind::Top;
    std::optional<QPoint> dragFrom_;
};

// "Top (XY)", "Front (XZ)", "Side (YZ)", "Isometric", "Lathe (ZX)".
const char* ViewName(CViewKind view);

} // namespace morvik::preview
