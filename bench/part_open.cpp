// Opening a part program of about 1 MB (the editor's limit) in an editor window, offscreen:
// the file read, the text laid out and coloured, and the window shown, as File > Open does.
#include "settings/TempFolder.h"
#include "ui/PartDocuments.h"
#include "ui/PartView.h"

#include <QApplication>
#include <QMdiArea>

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Typical milling blocks up to just under 1,048,575 characters.
std::string MegabyteProgram() {
    std::string text = "%\nO1000 (BENCH)\n";
    for (int n = 1; text.size() < 1024 * 1024 - 64; ++n)
        text += "N" + std::to_string(n * 10) + " G01 X" + std::to_string(n % 500) + ".125 Y-" +
                std::to_string(n % 300) + ".5 F60 (PASS)\n";
    return text + "M30\n";
}

void BM_OpenMegabyteProgram(benchmark::State& state) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "bench_part_open";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    morvik::test::TempFolder folder;
    const std::string path = folder.File("big.prt");
    morvik::test::WriteBytes(path, MegabyteProgram());
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    morvik::CPartDocuments documents(area);
    for (auto _ : state) {
        morvik::CPartView* view = documents.OpenFile(QString::fromStdString(path));
        QApplication::processEvents(); // the first paint of the window
        benchmark::DoNotOptimize(view);
        state.PauseTiming();
        documents.CloseAll();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 1024 * 1024);
}
BENCHMARK(BM_OpenMegabyteProgram)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
