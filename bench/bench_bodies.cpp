// Speed of the further bodies: a warm natal cast with Chiron, the four asteroids and the fixed
// stars on against the same cast without them (default and precise mode), and the apparent
// places of the five bodies at 1,000 instants (and, where libswe is installed, the same
// places from it for comparison).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "astro/Asteroids.h"
#include "astro/Mastrocalc.h"
#include "chart/Zhanxing.h"
#include "platform/core/PlainTextTarget.h"
#include "platform/qt/QImageCanvas.h"

#ifdef TARMIN_HAVE_SWE
#include <swephexp.h>
#endif

namespace {
void ensureApp() {
    static std::unique_ptr<QGuiApplication> app;
    if (QCoreApplication::instance()) return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_bodies";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
}

BirthRecord birth(int day) {
    BirthRecord r;
    r.name = "某人";
    r.place = "北京-北京";
    r.birth.year = 1990;
    r.birth.month = 5;
    r.birth.day = static_cast<int16_t>(day);
    r.birth.hour = 8;
    r.longitude = 116.4f;
    r.latitude = 39.9f;
    return r;
}

// Arg 0: precise off/on; arg 1: the bodies and stars off/on.
void BM_CastWithBodies(benchmark::State& state) {
    ensureApp();
    char folder[] = "/tmp/tarmin-bench-XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::filesystem::create_directories(std::string(folder) + "/dat");
    std::ofstream ini(std::string(folder) + "/dat/set.ini");
    ini << "[pan]\n";
    if (state.range(0)) ini << "precise=1\n";
    if (state.range(1)) ini << "chiron=1\nceres=1\npallas=1\njuno=1\nvesta=1\nstars=1\nstarmarks=1\n";
    ini.close();
    {
        QImage image(800, 700, QImage::Format_RGB32);
        QImageCanvas canvas(image);
        PlainTextTarget rich;
        MZhanXingEx engine(rich, canvas, std::string(folder) + "/");
        engine.castNatal(birth(1));
        int day = 1;
        for (auto _ : state) {
            benchmark::DoNotOptimize(engine.castNatal(birth(day)));
            benchmark::DoNotOptimize(engine.aspectList(false));
            day = day % 28 + 1;
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_CastWithBodies)->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})->Unit(benchmark::kMillisecond);

// The five bodies at 1,000 instants spread over 1600-2200 (arg: precise off/on).
void BM_AsteroidPlaces1000(benchmark::State& state) {
    MAstroCalc calc;
    calc.setPrecise(state.range(0) != 0);
    for (auto _ : state) {
        double sum = 0;
        for (int k = 0; k < 1000; ++k) {
            calc.setJulianDayUT(2305447.5 + k * 219.1);
            for (int b = 0; b < asteroids::kCount; ++b) {
                double lon = 0, lat = 0;
                calc.asteroidPosition(b, lon, lat);
                sum += lon;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_AsteroidPlaces1000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

#ifdef TARMIN_HAVE_SWE
void BM_SwissEphemerisPlaces1000(benchmark::State& state) {
    char path[] = "/usr/share/libswe/ephe";
    swe_set_ephe_path(path);
    const int ipl[5] = {SE_CHIRON, SE_CERES, SE_PALLAS, SE_JUNO, SE_VESTA};
    for (auto _ : state) {
        double sum = 0;
        for (int k = 0; k < 1000; ++k)
            for (int b = 0; b < 5; ++b) {
                double x[6];
                char err[AS_MAXCH];
                swe_calc_ut(2305447.5 + k * 219.1, ipl[b], SEFLG_SWIEPH, x, err);
                sum += x[0];
            }
        benchmark::DoNotOptimize(sum);
    }
    swe_close();
}
BENCHMARK(BM_SwissEphemerisPlaces1000)->Unit(benchmark::kMillisecond);
#endif
}  // namespace
