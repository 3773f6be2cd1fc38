// Speed of the chart types: a synastry (two natal casts, the overlay, the aspect list and the
// reading) and a solar and a lunar return (the root search to a fraction of a second and the
// return chart), each drawn into the QImage canvas.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <memory>

#include "chart/ChartTypeCast.h"
#include "platform/core/PlainTextTarget.h"
#include "platform/qt/QImageCanvas.h"

namespace {
void ensureApp() {
    static std::unique_ptr<QGuiApplication> app;
    if (QCoreApplication::instance()) return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_chart_types";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
}

BirthRecord person(const char* name, int year, float lon, float lat) {
    BirthRecord r;
    r.name = name;
    r.birth = DateTimeFields{static_cast<int16_t>(year), 5, 1, 8, 30};
    r.longitude = lon;
    r.latitude = lat;
    return r;
}

void run(benchmark::State& state, charttypes::Kind kind) {
    ensureApp();
    QImage image(800, 700, QImage::Format_RGB32);
    QImageCanvas canvas(image);
    PlainTextTarget rich;
    MZhanXingEx engine(rich, canvas, "/nonexistent/");
    charttypes::TypeRequest q;
    q.kind = kind;
    q.a = person("张三", 1990, 116.4f, 39.9f);
    q.b = person("李四", 1992, 121.5f, 31.2f);
    q.month = 3;
    int year = 1700;
    charttypes::TypeResult r;
    std::string error;
    for (auto _ : state) {
        q.year = year;
        benchmark::DoNotOptimize(charttypes::castChartType(engine, q, r, error));
        year = year < 2190 ? year + 7 : 1700;
    }
}

void BM_Synastry(benchmark::State& state) { run(state, charttypes::Kind::Synastry); }
void BM_SolarReturn(benchmark::State& state) { run(state, charttypes::Kind::SolarReturn); }
void BM_LunarReturn(benchmark::State& state) { run(state, charttypes::Kind::LunarReturn); }
BENCHMARK(BM_Synastry)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolarReturn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LunarReturn)->Unit(benchmark::kMillisecond);
}  // namespace
