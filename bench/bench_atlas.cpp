// The world atlas and the clock: the first search (loads the GeoNames cities in both languages
// and the province table), a search as one types, and an offset at a birth.
#include <benchmark/benchmark.h>

#include "atlas/TimeZones.h"
#include "atlas/WorldAtlas.h"

static void AtlasFirstSearch(benchmark::State& state) {
    for (auto _ : state) {
        atlas::WorldAtlas a(TARMIN_PLACE_TABLE);
        benchmark::DoNotOptimize(a.find("北京"));
    }
}
BENCHMARK(AtlasFirstSearch)->Unit(benchmark::kMillisecond)->Iterations(3);

static void AtlasSearchAsOneTypes(benchmark::State& state) {
    static atlas::WorldAtlas a(TARMIN_PLACE_TABLE);
    a.find("x");
    for (auto _ : state) benchmark::DoNotOptimize(a.find("van", 40));
}
BENCHMARK(AtlasSearchAsOneTypes)->Unit(benchmark::kMillisecond);

static void OffsetAtBirth(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(atlas::offsetAt("Asia/Shanghai", {1988, 7, 1, 10, 0}));
}
BENCHMARK(OffsetAtBirth)->Unit(benchmark::kMicrosecond);
