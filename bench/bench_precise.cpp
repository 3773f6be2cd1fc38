// Speed of the precise mode against the default: one chart's astronomy (ten positions with
// motion flags and the nodes), 1,000 instants as `tarmin-cli positions` computes them (in one
// thread, and the command itself), and a
// whole natal cast with 精确计算 on and off; Swiss Ephemeris on the same instants side by side.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "astro/Mastrocalc.h"
#include "chart/Zhanxing.h"
#include "platform/core/PlainTextTarget.h"
#include "platform/qt/QImageCanvas.h"

#ifdef TARMIN_HAVE_SWE
#include <swephexp.h>

#include <cstdio>
#endif

namespace {
double chart(MAstroCalc& calc, const DateTimeFields& f) {
    double sum = 0;
    calc.setTime(f);
    for (int i = 0; i < 10; ++i) {
        double lon = 0, lat = 0;
        calc.bodyPosition(i, lon, lat);
        sum += lon + lat + calc.retrogradeState(i, f);
    }
    double a = 0, b = 0;
    calc.lunarNodes(true, a, b);
    return sum + a + b;
}

// 1,000 instants spread over 1600-2200 through one calculator, as the command reads them.
void BM_Positions1000(benchmark::State& state) {
    const bool precise = state.range(0) != 0;
    for (auto _ : state) {
        MAstroCalc calc;
        calc.setPrecise(precise);
        double sum = 0;
        for (int k = 0; k < 1000; ++k) {
            const DateTimeFields f{static_cast<int16_t>(1600 + (k * 7) % 600),
                                   static_cast<int16_t>(1 + k % 12), static_cast<int16_t>(1 + k % 28),
                                   static_cast<int16_t>(k % 24), static_cast<int16_t>(k % 60)};
            sum += chart(calc, f);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_Positions1000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The command itself on the same 1,000 instants from a file, as a user times it: the program
// starting, reading, computing on every processor and printing (wall-clock time).
void BM_PositionsCommand1000(benchmark::State& state) {
    const std::string input = (std::filesystem::temp_directory_path() / "bench-positions-1000.txt").string();
    {
        std::ofstream out(input);
        char line[32];
        for (int k = 0; k < 1000; ++k) {
            std::snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d\n", 1600 + (k * 7) % 600, 1 + k % 12,
                          1 + k % 28, k % 24, k % 60);
            out << line;
        }
    }
    const std::string command = std::string("'" TARMIN_CLI "' positions") + (state.range(0) ? " --precise" : "") +
                                " < '" + input + "' > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("tarmin-cli positions failed");
}
BENCHMARK(BM_PositionsCommand1000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef TARMIN_HAVE_SWE
// The same 1,000 instants through Swiss Ephemeris (its files when installed), side by side: ten
// bodies with their speed (its motion) and the mean node, as a file ephemeris tool prints them.
void BM_SwissPositions1000(benchmark::State& state) {
    static const bool files = [] {
        std::FILE* f = std::fopen("/usr/share/libswe/ephe/sepl_18.se1", "rb");
        if (f) std::fclose(f);
        return f != nullptr;
    }();
    if (files) swe_set_ephe_path("/usr/share/libswe/ephe");
    const int flag = (files ? SEFLG_SWIEPH : SEFLG_MOSEPH) | SEFLG_SPEED;
    for (auto _ : state) {
        double sum = 0, x[6];
        char err[AS_MAXCH];
        for (int k = 0; k < 1000; ++k) {
            const int year = 1600 + (k * 7) % 600, month = 1 + k % 12, day = 1 + k % 28;
            const double jd = swe_julday(year, month, day, (k % 24) + (k % 60) / 60.0 - 8,
                                         year < 1583 ? SE_JUL_CAL : SE_GREG_CAL);
            for (int ipl = SE_SUN; ipl <= SE_PLUTO; ++ipl) {
                swe_calc_ut(jd, ipl, flag, x, err);
                sum += x[0] + x[1] + (x[3] < 0 ? 2 : 1);
            }
            swe_calc_ut(jd, SE_MEAN_NODE, flag, x, err);
            sum += x[0];
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_SwissPositions1000)->Unit(benchmark::kMillisecond);
#endif

void ensureApp() {
    static std::unique_ptr<QGuiApplication> app;
    if (QCoreApplication::instance()) return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_precise";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
}

// A program folder whose dat/set.ini turns 精确计算 on or off.
std::string settingsFolder(bool precise) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / (precise ? "bench-precise-on" : "bench-precise-off");
    fs::create_directories(dir / "dat");
    std::ofstream(dir / "dat/set.ini") << "[pan]\npos=5\nline=0\nbkcolor=16777215\nprecise=" << (precise ? 1 : 0) << "\n";
    return dir.string() + "/";
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

// A fresh engine and a new year each time (the default mode's station search runs in full).
void BM_CastNatalColdMode(benchmark::State& state) {
    ensureApp();
    const std::string folder = settingsFolder(state.range(0) != 0);
    QImage image(800, 700, QImage::Format_RGB32);
    int year = 1700;
    for (auto _ : state) {
        QImageCanvas canvas(image);
        PlainTextTarget rich;
        MZhanXingEx engine(rich, canvas, folder);
        benchmark::DoNotOptimize(engine.castNatal(birth(year, 1)));
        year = year < 2190 ? year + 7 : 1700;
    }
}
BENCHMARK(BM_CastNatalColdMode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same engine and year (the default mode's stations cached).
void BM_CastNatalWarmMode(benchmark::State& state) {
    ensureApp();
    const std::string folder = settingsFolder(state.range(0) != 0);
    QImage image(800, 700, QImage::Format_RGB32);
    QImageCanvas canvas(image);
    PlainTextTarget rich;
    MZhanXingEx engine(rich, canvas, folder);
    engine.castNatal(birth(1990, 1));
    int day = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.castNatal(birth(1990, day)));
        day = day % 28 + 1;
    }
}
BENCHMARK(BM_CastNatalWarmMode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
}  // namespace
