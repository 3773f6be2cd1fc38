// Speed of the chart exchange: 10,000 AAF charts read and reviewed (places matched against the
// atlas and the province table, offsets settled, duplicates looked up in a store of 10,000
// cases), the same 10,000 written to the store as one step, and the export of 100,000 saved
// cases as AAF, CSV and JSON.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "atlas/WorldAtlas.h"
#include "interchange/Aaf.h"
#include "interchange/Cases.h"
#include "interchange/Csv.h"

namespace {
namespace fs = std::filesystem;

std::string tempFolder(const char* tag) {
    std::string tmpl = (fs::temp_directory_path() / (std::string("tarmin-bench-") + tag + "-XXXXXX")).string();
    std::string base = std::string(::mkdtemp(tmpl.data())) + "/";
    fs::create_directories(base + "dat");
    return base;
}

// 10,000 charts: a third in cities of the atlas, a third in the province table, a third in
// places it lacks; every tenth with an unknown time.
std::string aafFile(int n) {
    const char* places[] = {"Paris,F", "New York,USA", "London,GB", "北京,CHN", "上海,CHN", "成都,CHN",
                            "Nowhere,XX", "Kleinstadt,D", "Hamlet,GB"};
    const char* coords[] = {"48n51,2e21,1he00", "40n43,74w00,5hw00", "51n30,0w07,0he00", "39n54,116e23,8he00",
                            "31n13,121e28,8he00", "30n40,104e04,8he00", "12n00,34e00,2he00", "50n00,8e00,1he00",
                            "52n00,1w00,0he00"};
    std::string out;
    char buf[256];
    for (int i = 0; i < n; ++i) {
        const int p = i % 9;
        std::snprintf(buf, sizeof buf, "#A93:Person%d,Test,%c,%d.%d.%d,%s,%s\n#B93:*,%s,0\n", i, i % 2 ? 'm' : 'f',
                      1 + i % 28, 1 + i % 12, 1900 + i % 120, i % 10 == 0 ? "*" : "10:30", places[p], coords[p]);
        out += buf;
    }
    return out;
}

struct Fixture {
    atlas::WorldAtlas atlas{std::string(TARMIN_PLACE_TABLE)};
    std::string text = aafFile(10000);
    std::string storeBase = tempFolder("exchange");
    MDataBase store;
    Fixture() {
        atlas.find("Paris");  // the index is built on first use
        store.Open(storeBase);
        // 10,000 other cases to look duplicates up in.
        interchange::Review r = interchange::reviewCharts(interchange::readAaf(aafFile(10000)), nullptr, store);
        for (auto& item : r.items) {
            item.record.year = static_cast<int16_t>(item.record.year - 300 + 100);
            item.include = true;
            item.note.clear();
        }
        interchange::commitImport(store, r, "old");
    }
    ~Fixture() {
        std::error_code ec;
        fs::remove_all(storeBase, ec);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ReviewAaf10k(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const interchange::Review r = interchange::reviewFile(f.text, &f.atlas, f.store);
        benchmark::DoNotOptimize(r.items.size());
    }
}
BENCHMARK(BM_ReviewAaf10k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteAaf10k(benchmark::State& state) {
    Fixture& f = fixture();
    interchange::Review r = interchange::reviewFile(f.text, &f.atlas, f.store);
    for (auto& item : r.items) item.include = true;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string base = tempFolder("exchange-write");
        MDataBase db;
        db.Open(base);
        state.ResumeTiming();
        benchmark::DoNotOptimize(interchange::commitImport(db, r, "导入"));
        state.PauseTiming();
        std::error_code ec;
        fs::remove_all(base, ec);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WriteAaf10k)->Unit(benchmark::kMillisecond)->Iterations(3);

// 100,000 cases: the store of the fixture's charts repeated.
struct ExportStore {
    std::string base = tempFolder("exchange-export");
    MDataBase db;
    ExportStore() {
        db.Open(base);
        interchange::Review r = interchange::reviewCharts(interchange::readAaf(aafFile(10000)), nullptr, db);
        for (auto& item : r.items) {
            item.include = true;
            item.note.clear();
        }
        for (int k = 0; k < 10; ++k) interchange::commitImport(db, r, "cat" + std::to_string(k));
    }
    ~ExportStore() {
        std::error_code ec;
        fs::remove_all(base, ec);
    }
};

void BM_Export100k(benchmark::State& state) {
    static ExportStore s;
    Fixture& f = fixture();
    const interchange::ProvincePlaces places(TARMIN_PLACE_TABLE);
    for (auto _ : state) {
        std::vector<interchange::ExportedChart> charts;
        charts.reserve(100000);
        for (const CaseRecord& r : interchange::selectCases(s.db, "", "")) {
            interchange::ExportedChart c;
            if (interchange::exportedChart(r, &f.atlas, &places, c)) charts.push_back(std::move(c));
        }
        const std::string out = state.range(0) == 0   ? interchange::writeAaf(charts)
                                : state.range(0) == 1 ? interchange::writeCsv(charts)
                                                      : interchange::writeJson(charts);
        benchmark::DoNotOptimize(out.size());
        state.counters["cases"] = static_cast<double>(charts.size());
    }
}
BENCHMARK(BM_Export100k)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(2);
}  // namespace
