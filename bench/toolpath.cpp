// The toolpath preview with programs of 10 k, 100 k and 1 M lines: a serpentine grid as a CAM
// system writes it (one G1 block per point, 1000 points a row, rows 0.1 mm apart).
//   BM_PlanToolpath      text to a plan ready to draw (reading, planning, limit check,
//                        chunk boxes); model_MB is what the plan keeps, rss_MB how much the
//                        process grew while planning (the text was already in memory)
//   BM_RedrawFit         one frame of the whole path fitted into 1000 x 700 pixels, painted
//                        into an offscreen image as the window paints itself
//   BM_RedrawZoomed      one frame while zooming in at the middle (8x) and panning
//   BM_RedrawIsometric   the fitted isometric view
//   .../-1000000         the same for a zigzag of a million moves that all turn (nothing
//                        straight to merge: the level of detail's worst case)
// Run: build/bin/bench_toolpath --benchmark_counters_tabular=true
#include "ui/preview/ToolpathPlan.h"
#include "ui/preview/ToolpathView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

namespace {

using namespace morvik::preview;

constexpr int kRowPoints = 1000;

std::string Serpentine(int lines) {
    std::string text = "%\nO4000 (SERPENTINE)\nG21 G90 G17\nG0 X0 Y0 Z5\nG1 Z-1 F600\n";
    text.reserve(static_cast<std::size_t>(lines) * 24);
    char buffer[64];
    for (int n = 0; n < lines; ++n) {
        const int row = n / kRowPoints;
        const int col = row % 2 == 0 ? n % kRowPoints : kRowPoints - 1 - n % kRowPoints;
        std::snprintf(buffer, sizeof buffer, "G1 X%.3f Y%.3f\n", col * 0.1, row * 0.1);
        text += buffer;
    }
    return text + "G0 Z5\nM30\n";
}

// The worst case for merging: a program whose every move turns (a fine zigzag of 0.05 mm
// teeth along the serpentine), so no stretch is straight.
std::string Zigzag(int lines) {
    std::string text = "G21 G90 G0 X0 Y0 Z1\nG1 Z-1 F600\n";
    char buffer[64];
    for (int n = 0; n < lines; ++n) {
        const int row = n / kRowPoints;
        const int col = row % 2 == 0 ? n % kRowPoints : kRowPoints - 1 - n % kRowPoints;
        std::snprintf(buffer, sizeof buffer, "G1 X%.3f Y%.3f\n", col * 0.1,
                      row * 0.1 + (n % 2) * 0.05);
        text += buffer;
    }
    return text + "M30\n";
}

const std::string& Program(int lines) {
    static std::map<int, std::string> programs;
    auto it = programs.find(lines);
    if (it == programs.end())
        it = programs.emplace(lines, lines > 0 ? Serpentine(lines) : Zigzag(-lines)).first;
    return it->second;
}

CPreviewSetup Setup() {
    CPreviewSetup setup;
    setup.unitSymbol = "mm";
    for (int a = 0; a < 3; ++a) {
        setup.limits.set[a] = true;
        setup.limits.lower[a] = -10;
        setup.limits.upper[a] = 200;
    }
    return setup;
}

double ResidentMegabytes() {
    long pages = 0;
    long resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * 4096.0 / (1024 * 1024);
}

void BM_PlanToolpath(benchmark::State& state) {
    const std::string& text = Program(static_cast<int>(state.range(0)));
    double grew = 0;
    double model = 0;
    for (auto _ : state) {
        const double before = ResidentMegabytes();
        auto plan = std::make_unique<CToolpathPlan>(PlanToolpath(text, Setup()));
        grew = std::max(grew, ResidentMegabytes() - before); // later rounds reuse freed pages
        model = plan->model.MemoryBytes() / (1024.0 * 1024.0);
        benchmark::DoNotOptimize(plan->model.Points().data());
        state.PauseTiming();
        plan.reset();
        state.ResumeTiming();
    }
    state.counters["model_MB"] = model;
    state.counters["rss_MB"] = grew;
    state.counters["lines/s"] =
        benchmark::Counter(std::abs(static_cast<double>(state.range(0))) * state.iterations(),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlanToolpath)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_toolpath";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

std::shared_ptr<const CToolpathPlan> PlanOf(int lines) {
    static std::map<int, std::shared_ptr<const CToolpathPlan>> plans;
    auto& plan = plans[lines];
    if (plan == nullptr)
        plan = std::make_shared<CToolpathPlan>(PlanToolpath(Program(lines), Setup()));
    return plan;
}

// One frame per iteration; between frames the camera is moved by `move`.
template <class Move> void Redraw(benchmark::State& state, CViewKind view, Move move) {
    App();
    const QSize size(1000, 700);
    CToolpathView widget;
    widget.resize(size);
    widget.SetPlan(PlanOf(static_cast<int>(state.range(0))));
    widget.Camera().SetSize(size.width(), size.height());
    widget.SetViewKind(view);
    widget.SetDoneBefore(static_cast<std::uint32_t>(std::abs(state.range(0)) / 2)); // half run
    QImage image(size, QImage::Format_RGB32);
    int frame = 0;
    for (auto _ : state) {
        move(widget.Camera(), frame++);
        QPainter painter(&image);
        widget.Render(painter, size);
    }
    state.counters["points"] = static_cast<double>(widget.LastDrawList().points.size());
    state.counters["visited"] = static_cast<double>(widget.LastDrawList().piecesVisited);
}

void BM_RedrawFit(benchmark::State& state) {
    Redraw(state, CViewKind::Top, [](CToolpathCamera&, int) {});
}

void BM_RedrawZoomed(benchmark::State& state) {
    Redraw(state, CViewKind::Top, [](CToolpathCamera& camera, int frame) {
        if (frame == 0)
            camera.ZoomAt(500, 350, 8);
        camera.Pan(frame % 2 == 0 ? 7 : -7, 3 * (frame % 3 - 1));
    });
}

void BM_RedrawIsometric(benchmark::State& state) {
    Redraw(state, CViewKind::Iso, [](CToolpathCamera&, int) {});
}

// The level of detail alone: the draw list of the fitted top and isometric views, no painting.
void BM_DrawList(benchmark::State& state) {
    const auto plan = PlanOf(static_cast<int>(state.range(0)));
    CToolpathCamera camera;
    camera.SetSize(1000, 700);
    camera.SetView(state.range(1) == 0 ? CViewKind::Top : CViewKind::Iso);
    camera.Fit(plan->model.Extents());
    CDrawList list;
    CDrawOptions options;
    options.donePoint = plan->model.FirstPointFrom(static_cast<std::uint32_t>(state.range(0) / 2));
    for (auto _ : state)
        BuildDrawList(plan->model, camera, options, list);
    state.counters["points"] = static_cast<double>(list.points.size());
}
BENCHMARK(BM_DrawList)->Args({1'000'000, 0})->Args({1'000'000, 1})->Unit(benchmark::kMillisecond);

BENCHMARK(BM_RedrawFit)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawZoomed)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawIsometric)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
// The zigzag (a negative argument): planned, and redrawn fitted and zoomed.
BENCHMARK(BM_PlanToolpath)->Arg(-1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RedrawFit)->Arg(-1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawZoomed)->Arg(-1'000'000)->Unit(benchmark::kMillisecond);

} // namespace
