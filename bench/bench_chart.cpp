// Speed of the chart engine: castNatal end to end (positions, houses, labels, drawing into the
// QImage canvas, reading), cold (a fresh engine and a new year each time) and warm (the same
// engine, the same year); castTransit over a natal chart; a warm cast with every chart option.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/core/PlainTextTarget.h"
#include "platform/qt/QImageCanvas.h"
#include "chart/Zhanxing.h"

namespace {
void ensureApp() {
    static std::unique_ptr<QGuiApplication> app;
    if (QCoreApplication::instance()) return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_chart";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
}

BirthRecord birth(int year, int day) {
    BirthRecord r;
    r.name = "某人";
    r.place = "北京-北京";
    r.birth.year = static_cast<int16_t>(year);
    r.birth.month = 5;
    r.birth.day = static_cast<int16_t>(day);
    r.birth.hour = 8;
    r.longitude = 116.4f;
    r.latitude = 39.9f;
    return r;
}

void BM_CastNatalCold(benchmark::State& state) {
    ensureApp();
    QImage image(800, 700, QImage::Format_RGB32);
    int year = 1700;
    for (auto _ : state) {
        QImageCanvas canvas(image);
        PlainTextTarget rich;
        MZhanXingEx engine(rich, canvas, "/nonexistent/");
        benchmark::DoNotOptimize(engine.castNatal(birth(year, 1)));
        year = year < 2190 ? year + 7 : 1700;
    }
}
BENCHMARK(BM_CastNatalCold)->Unit(benchmark::kMillisecond);

void BM_CastNatalWarm(benchmark::State& state) {
    ensureApp();
    QImage image(800, 700, QImage::Format_RGB32);
    QImageCanvas canvas(image);
    PlainTextTarget rich;
    MZhanXingEx engine(rich, canvas, "/nonexistent/");
    engine.castNatal(birth(1990, 1));
    int day = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.castNatal(birth(1990, day)));
        day = day % 28 + 1;
    }
}
BENCHMARK(BM_CastNatalWarm)->Unit(benchmark::kMillisecond);

void BM_CastTransit(benchmark::State& state) {
    ensureApp();
    QImage image(800, 700, QImage::Format_RGB32);
    QImageCanvas canvas(image);
    PlainTextTarget rich;
    MZhanXingEx engine(rich, canvas, "/nonexistent/");
    engine.castNatal(birth(1990, 1));
    TransitRequest q;
    q.when = birth(2026, 1).birth;
    int day = 1;
    for (auto _ : state) {
        q.when.day = static_cast<int16_t>(day);
        benchmark::DoNotOptimize(engine.castTransit(q));
        day = day % 28 + 1;
    }
}
BENCHMARK(BM_CastTransit)->Unit(benchmark::kMillisecond);
}  // namespace

namespace {
// The parts of a cold cast: building the engine (calendar tables), and a new year's first cast
// on a kept engine (the calculator's station search for that year).
void BM_ConstructEngine(benchmark::State& state) {
    ensureApp();
    QImage image(800, 700, QImage::Format_RGB32);
    QImageCanvas canvas(image);
    PlainTextTarget rich;
    for (auto _ : state) {
        MZhanXingEx engine(rich, canvas, "/nonexistent/");
        benchmark::DoNotOptimize(&engine);
    }
}
BENCHMARK(BM_ConstructEngine)->Unit(benchmark::kMillisecond);

void BM_CastNatalNewYear(benchmark::State& state) {
    ensureApp();
    QImage image(800, 700, QImage::Format_RGB32);
    QImageCanvas canvas(image);
    PlainTextTarget rich;
    MZhanXingEx engine(rich, canvas, "/nonexistent/");
    int year = 1700;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.castNatal(birth(year, 1)));
        year = year < 2190 ? year + 7 : 1700;
    }
}
BENCHMARK(BM_CastNatalNewYear)->Unit(benchmark::kMillisecond);
}  // namespace

namespace {
// A warm cast with every chart option on (Koch houses, minor aspects, the three further points)
// and its aspect list, against BM_CastNatalWarm.
void BM_CastNatalAllOptions(benchmark::State& state) {
    ensureApp();
    char folder[] = "/tmp/tarmin-bench-XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string dat = std::string(folder) + "/dat";
    std::filesystem::create_directories(dat);
    std::ofstream(dat + "/set.ini") << "[pan]\nhouses=K\nminor=1\ntruenode=1\nlilith=1\nfortune=1\n";
    {
        QImage image(800, 700, QImage::Format_RGB32);
        QImageCanvas canvas(image);
        PlainTextTarget rich;
        MZhanXingEx engine(rich, canvas, std::string(folder) + "/");
        engine.castNatal(birth(1990, 1));
        int day = 1;
        for (auto _ : state) {
            benchmark::DoNotOptimize(engine.castNatal(birth(1990, day)));
            benchmark::DoNotOptimize(engine.aspectList(false));
            day = day % 28 + 1;
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_CastNatalAllOptions)->Unit(benchmark::kMillisecond);
}  // namespace
