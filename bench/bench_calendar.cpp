// Speed of the calendar: Gregorian -> lunar conversion (runs of days and scattered days), the
// work of one perpetual-calendar month view, a year layout alone, the reverse conversion, the
// solar terms of a year and the construction of the calendar object.
#include <benchmark/benchmark.h>

#include <string>

#include "astro/Eph0.h"
#include "calendar/Yidateex.h"

namespace {
DateTimeFields dayFields(int jdn) {
    DateTimeFields f = fieldsFromJulianDay(jdn);
    f.hour = 9;
    f.minute = 30;
    return f;
}

constexpr int kJdn1600 = 2305448;  // 1600-01-01
constexpr int kSpan = 219000;      // days to 2199

// Consecutive days, as the calendar window and the chart engine meet them.
void BM_GregorianToLunar_ConsecutiveDays(benchmark::State& state) {
    MYiDateEx cal;
    int jdn = kJdn1600;
    DateTimeFields l;
    for (auto _ : state) {
        benchmark::DoNotOptimize(cal.gregorianToLunar(dayFields(jdn), l));
        if (++jdn >= kJdn1600 + kSpan) jdn = kJdn1600;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GregorianToLunar_ConsecutiveDays);

// Every conversion in another year: each one lays out its year afresh.
void BM_GregorianToLunar_ScatteredDays(benchmark::State& state) {
    MYiDateEx cal;
    int k = 0;
    DateTimeFields l;
    for (auto _ : state) {
        const int jdn = kJdn1600 + (k * 7919 + 123) % kSpan;
        benchmark::DoNotOptimize(cal.gregorianToLunar(dayFields(jdn), l));
        ++k;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GregorianToLunar_ScatteredDays);

// One month view of the perpetual calendar: 31 day conversions and the year's solar terms, for
// a different month (and mostly a different year) each time.
void BM_MonthView(benchmark::State& state) {
    MYiDateEx cal;
    int k = 0;
    DateTimeFields l;
    for (auto _ : state) {
        const int year = 1600 + (k * 37) % 600;
        const int month = 1 + k % 12;
        const int first = floorInt(julianDay(year, month, 1.5));
        for (int d = 0; d < 31; ++d)
            benchmark::DoNotOptimize(cal.gregorianToLunar(dayFields(first + d), l));
        benchmark::DoNotOptimize(cal.yearSolarTerms(year));
        ++k;
    }
}
BENCHMARK(BM_MonthView)->Unit(benchmark::kMillisecond);

// calcYear alone, each call in another year (no layout reused). Arg: start year.
void BM_CalcYear(benchmark::State& state) {
    MYiDateEx cal;
    const int start = static_cast<int>(state.range(0));
    int k = 0;
    for (auto _ : state) {
        const int year = start + (k * 7) % 300;
        cal.calcYear(floorInt(julianDay(year, 6, 1.5)) - 2451545);
        benchmark::DoNotOptimize(cal.newMoonDays);
        ++k;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CalcYear)->Arg(-3000)->Arg(-500)->Arg(1000)->Arg(1700)->Arg(2000)->Arg(5000);

void BM_LunarToGregorian(benchmark::State& state) {
    MYiDateEx cal;
    int k = 0;
    DateTimeFields g;
    std::string error;
    for (auto _ : state) {
        const DateTimeFields l{static_cast<int16_t>(1600 + (k * 13) % 600),
                               static_cast<int16_t>(1 + k % 12),
                               static_cast<int16_t>(1 + (k * 7) % 29), 8, 0};
        benchmark::DoNotOptimize(cal.lunarToGregorian(l, false, g, error));
        ++k;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LunarToGregorian);

void BM_YearSolarTerms(benchmark::State& state) {
    MYiDateEx cal;
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(cal.yearSolarTerms(1600 + k % 600));
        ++k;
    }
}
BENCHMARK(BM_YearSolarTerms)->Unit(benchmark::kMicrosecond);

void BM_Construct(benchmark::State& state) {
    for (auto _ : state) {
        MYiDateEx cal;
        benchmark::DoNotOptimize(cal.leapMonthIndex);
    }
}
BENCHMARK(BM_Construct)->Unit(benchmark::kMicrosecond);
}  // namespace
