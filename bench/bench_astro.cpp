// Speed of the astronomical engine: apparent positions, the station search and one chart's
// astronomy (setTime, ten positions with motion flags, nodes), cold and with cached stations.
#include <benchmark/benchmark.h>

#include "astro/Eph.h"
#include "astro/Mastrocalc.h"

namespace {

void BM_ApparentPosition(benchmark::State& state) {
    const int code = static_cast<int>(state.range(0));
    double d = 1234.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(apparentPosition(code, d));
        d += 0.37;
    }
}
BENCHMARK(BM_ApparentPosition)->DenseRange(1, 10)->Unit(benchmark::kMicrosecond);

void BM_StationTime(benchmark::State& state) {
    const int code = static_cast<int>(state.range(0));
    double T = 0.1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(MAstroCalc::stationTime(code, T, 0));
        T += 0.001;
    }
}
BENCHMARK(BM_StationTime)->DenseRange(1, 7)->Unit(benchmark::kMicrosecond);

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

// A new calculator per chart: every station list is computed.
void BM_ChartAstronomyCold(benchmark::State& state) {
    int k = 0;
    for (auto _ : state) {
        MAstroCalc calc;
        const DateTimeFields f{static_cast<int16_t>(1900 + k % 200), 5, 17, 9, 41};
        benchmark::DoNotOptimize(chart(calc, f));
        ++k;
    }
}
BENCHMARK(BM_ChartAstronomyCold)->Unit(benchmark::kMillisecond);

// Repeated charts within one year: the station lists of that year are reused.
void BM_ChartAstronomyCachedYear(benchmark::State& state) {
    MAstroCalc calc;
    int k = 0;
    chart(calc, {1988, 1, 1, 0, 0});
    for (auto _ : state) {
        const DateTimeFields f{1988, static_cast<int16_t>(1 + k % 12), static_cast<int16_t>(1 + k % 28), 9, 41};
        benchmark::DoNotOptimize(chart(calc, f));
        ++k;
    }
}
BENCHMARK(BM_ChartAstronomyCachedYear)->Unit(benchmark::kMillisecond);

}  // namespace
