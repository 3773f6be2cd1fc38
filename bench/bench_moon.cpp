// Speed of the Moon's series: the calendar's truncated longitudes, the full position and the
// chart's apparent position.
#include <benchmark/benchmark.h>

#include "astro/Eph.h"
#include "astro/Eph0.h"

namespace {

void BM_MoonLongitude(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    double T = -0.3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(moonSeriesValue(0, T, n));
        T += 1e-6;
    }
}
BENCHMARK(BM_MoonLongitude)->Arg(3)->Arg(20)->Arg(-1);

void BM_MoonPositionFull(benchmark::State& state) {
    double T = -0.3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(moonPosition(T, -1, -1, -1));
        T += 1e-6;
    }
}
BENCHMARK(BM_MoonPositionFull);

void BM_MoonApparentPosition(benchmark::State& state) {
    double d = -3000.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(moonApparentPosition(d));
        d += 0.37;
    }
}
BENCHMARK(BM_MoonApparentPosition);

void BM_MeanLunarNodes(benchmark::State& state) {
    double jd = 2451545.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(meanLunarNodes(jd, true));
        jd += 1.0;
    }
}
BENCHMARK(BM_MeanLunarNodes);

}  // namespace
