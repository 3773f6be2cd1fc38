// Speed of forecasting: a year of transits of Sun ... Pluto to thirteen natal points with the
// five majors (without and with the Moon, without and with the orb times), a year of the sky's
// events, a hundred years of transits without the Moon; and, side by side, the Swiss Ephemeris
// library (when installed) computing the same kind of work the plain way: every body at 1,000
// instants, and a scan of a year of transits at half-day steps.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "astro/Eph0.h"
#include "astro/Precise.h"
#include "forecast/SkyEvents.h"
#include "forecast/Transits.h"

#ifdef TARMIN_HAVE_SWE
#include <swephexp.h>
#endif

namespace {
using namespace forecast;

const std::vector<NatalPoint>& natal() {
    static const std::vector<NatalPoint> points = {
        {"太阳", 56.4},  {"月亮", 301.2}, {"水星", 41.7},  {"金星", 88.1},   {"火星", 333.4},
        {"木星", 104.9}, {"土星", 291.8}, {"天王星", 278.3}, {"海王星", 283.6}, {"冥王星", 225.5},
        {"升交点", 314.4}, {"上升", 168.2}, {"天顶", 77.0}};
    return points;
}

void transits(benchmark::State& state, bool moon, bool orbTimes, int years) {
    TransitOptions o;
    o.moon = moon;
    o.orbTimes = orbTimes;
    const double t1 = julianDay(2026, 1, 1.0);
    for (auto _ : state) {
        Ephemeris eph;  // nothing kept from the previous round
        const auto hits = findTransits(eph, natal(), o, t1, t1 + 365.25 * years);
        state.counters["hits"] = static_cast<double>(hits.size());
        state.counters["samples"] = static_cast<double>(eph.samples());
    }
}
void BM_TransitsYear(benchmark::State& s) { transits(s, false, false, 1); }
void BM_TransitsYearOrbTimes(benchmark::State& s) { transits(s, false, true, 1); }
void BM_TransitsYearMoon(benchmark::State& s) { transits(s, true, false, 1); }
void BM_TransitsYearMoonOrbTimes(benchmark::State& s) { transits(s, true, true, 1); }
void BM_Transits100Years(benchmark::State& s) { transits(s, false, false, 100); }
BENCHMARK(BM_TransitsYear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransitsYearOrbTimes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransitsYearMoon)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransitsYearMoonOrbTimes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Transits100Years)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_EventsYear(benchmark::State& state) {
    SkyKinds k;
    k.voidMoon = state.range(0) != 0;
    const double t1 = julianDay(2026, 1, 1.0);
    for (auto _ : state) {
        Ephemeris eph;
        benchmark::DoNotOptimize(findSkyEvents(eph, k, t1, t1 + 365.25));
    }
}
BENCHMARK(BM_EventsYear)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The engine itself: every body at 1,000 instants.
void BM_EnginePlaces1000(benchmark::State& state) {
    for (auto _ : state) {
        double sum = 0;
        for (int k = 0; k < 1000; ++k)
            for (int c = Mercury; c <= Moon; ++c) sum += precise::apparentPlace(c, 2451545.0 + k * 7.3).longitude;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_EnginePlaces1000)->Unit(benchmark::kMillisecond);

#ifdef TARMIN_HAVE_SWE
int sweFlag() {
    static const bool files = [] {
        std::FILE* f = std::fopen("/usr/share/libswe/ephe/sepl_18.se1", "rb");
        if (f) std::fclose(f);
        return f != nullptr;
    }();
    if (files) swe_set_ephe_path("/usr/share/libswe/ephe");
    return files ? SEFLG_SWIEPH : SEFLG_MOSEPH;
}
const int kIpl[] = {SE_SUN, SE_MERCURY, SE_VENUS, SE_MARS, SE_JUPITER, SE_SATURN, SE_URANUS, SE_NEPTUNE, SE_PLUTO, SE_MOON};

void BM_SwissPlaces1000(benchmark::State& state) {
    const int flag = sweFlag();
    for (auto _ : state) {
        double sum = 0, x[6];
        char err[AS_MAXCH];
        for (int k = 0; k < 1000; ++k)
            for (int ipl : kIpl) {
                swe_calc_ut(2451545.0 + k * 7.3, ipl, flag | SEFLG_SPEED, x, err);
                sum += x[0];
            }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_SwissPlaces1000)->Unit(benchmark::kMillisecond);

// A year of transits of Sun ... Pluto the plain way: each body every half day, each crossing of
// an aspect point bisected to a second.
void BM_SwissScanYear(benchmark::State& state) {
    const int flag = sweFlag();
    std::vector<double> targets;
    for (const auto& p : natal())
        for (double a : {0.0, 60.0, 90.0, 120.0, 180.0, 240.0, 270.0, 300.0}) targets.push_back(std::fmod(p.longitude + a, 360.0));
    for (auto _ : state) {
        int hits = 0;
        char err[AS_MAXCH];
        auto lon = [&](int ipl, double t) {
            double x[6];
            swe_calc_ut(t, ipl, flag, x, err);
            return x[0];
        };
        for (int i = 0; i < 9; ++i) {
            const double t1 = julianDay(2026, 1, 1.0);
            double la = lon(kIpl[i], t1);
            for (double t = t1; t < t1 + 365.25; t += 0.5) {
                const double lb = lon(kIpl[i], t + 0.5);
                for (double target : targets) {
                    const double fa = std::remainder(la - target, 360.0), fb = std::remainder(lb - target, 360.0);
                    if ((fa < 0) == (fb < 0) || std::fabs(fa - fb) > 90) continue;
                    double lo = t, hi = t + 0.5;
                    while (hi - lo > 1e-5) {
                        const double m = (lo + hi) / 2;
                        if ((std::remainder(lon(kIpl[i], m) - target, 360.0) < 0) == (fa < 0)) lo = m;
                        else hi = m;
                    }
                    ++hits;
                }
                la = lb;
            }
        }
        state.counters["hits"] = hits;
    }
}
BENCHMARK(BM_SwissScanYear)->Unit(benchmark::kMillisecond);
#endif
}  // namespace
