// Speed of the chart page's redraw: the recorded natal chart replayed as vectors into a pixmap
// at the page's fit size (a 1400 x 900 window leaves about 960 x 840 for the chart) at device-
// pixel ratio 1 and 2, and at 100 %; the SVG and PDF writers for comparison.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "chart/Zhanxing.h"
#include "platform/core/CanvasRecorder.h"
#include "platform/core/PlainTextTarget.h"
#include "platform/qt/ChartExport.h"
#include "platform/qt/PainterCanvas.h"
#include "platform/qt/QImageCanvas.h"

namespace {
struct Chart {
    QImage image{800, 700, QImage::Format_RGB32};
    QImageCanvas imageCanvas{image};
    CanvasRecorder drawing{imageCanvas};
    PlainTextTarget rich;
    MZhanXingEx engine{rich, drawing, "/nonexistent/"};
    Chart() {
        BirthRecord r;
        r.name = "某人";
        r.place = "北京-北京";
        r.birth.year = 1990;
        r.birth.month = 5;
        r.birth.day = 17;
        r.birth.hour = 8;
        r.longitude = 116.4f;
        r.latitude = 39.9f;
        engine.castNatal(r);
    }
};
Chart& chart() {
    static Chart c;
    return c;
}

// state.range(0): the chart's width on the page in logical pixels; range(1): ratio x 100.
void BM_RedrawChartPage(benchmark::State& state) {
    Chart& c = chart();
    const double dpr = static_cast<double>(state.range(1)) / 100.0;
    const int w = static_cast<int>(state.range(0));
    const int h = w * 7 / 8;
    for (auto _ : state) {
        QPixmap pm(static_cast<int>(w * dpr), static_cast<int>(h * dpr));
        pm.setDevicePixelRatio(dpr);
        pm.fill(Qt::white);
        QPainter p(&pm);
        paintRecording(p, c.drawing, 800, 700, QRectF(0, 0, w, h));
        p.end();
        benchmark::DoNotOptimize(pm);
    }
    state.counters["ops"] = static_cast<double>(c.drawing.operationCount());
}
BENCHMARK(BM_RedrawChartPage)
    ->Args({960, 100})
    ->Args({960, 200})
    ->Args({800, 100})
    ->Args({800, 200})
    ->Unit(benchmark::kMillisecond);

void BM_WriteSvgAndPdf(benchmark::State& state) {
    Chart& c = chart();
    const std::string path = "/tmp/bench_chart_view." + std::string(state.range(0) ? "pdf" : "svg");
    for (auto _ : state) {
        const bool ok = state.range(0) ? writeRecordingPdf(c.drawing, 800, 700, path, "bench")
                                       : writeRecordingSvg(c.drawing, 800, 700, path, "bench");
        benchmark::DoNotOptimize(ok);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteSvgAndPdf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
