// Speed of the case store on a file of 100,000 records (15.2 MB, in the page cache):
// Find over all of it, the start-up scan of the newest 1000 and the single-record operations
// (each one open + lock + one 152-byte pread/pwrite + close; WriteRecord also reads the old
// record and writes and removes its 164-byte undo file).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "records/Database.h"

namespace {
namespace fs = std::filesystem;
constexpr int kRecords = 100000;

// A program folder with kRecords cases, made once and removed at exit.
struct BenchStore {
    std::string base;
    MDataBase db;
    BenchStore() {
        std::string tmpl = (fs::temp_directory_path() / "tarmin-bench-records-XXXXXX").string();
        base = std::string(::mkdtemp(tmpl.data())) + "/";
        fs::create_directories(base + "dat");
        fs::create_directories(base + "Kelvora_f");
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(kRecords) * 152);
        static const char* const names[] = {"某人", "张三", "李四", "王五", "赵六某"};
        static const char* const cats[] = {"家人", "朋友", "客户", "Work"};
        for (int i = 0; i < kRecords; ++i) {
            CaseRecord r;
            r.number = i;
            r.deleted = i % 17 == 0;
            r.setName(std::string(names[i % 5]) + std::to_string(i % 100));
            r.setCategory(cats[i % 4]);
            r.year = static_cast<int16_t>(1600 + i % 600);
            r.month = static_cast<int16_t>(1 + i % 12);
            r.day = 7;
            r.male = static_cast<uint8_t>(i % 2);
            r.province = static_cast<int16_t>(i % 35);
            bytes.append(reinterpret_cast<const char*>(&r), sizeof r);
        }
        std::ofstream(base + "dat/Kelvora.dat", std::ios::binary).write(bytes.data(),
                                                                         bytes.size());
        db.Open(base);
    }
    ~BenchStore() {
        std::error_code ec;
        fs::remove_all(base, ec);
    }
};

BenchStore& store() {
    static BenchStore s;
    return s;
}

void BM_FindAllLive(benchmark::State& state) {
    auto& s = store();
    std::vector<int> out;
    for (auto _ : state) {
        s.db.Find(CaseFilter{}, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["matches"] = static_cast<double>(out.size());
}
BENCHMARK(BM_FindAllLive)->Unit(benchmark::kMillisecond);

void BM_FindNameContainsAndYears(benchmark::State& state) {
    auto& s = store();
    CaseFilter f;
    f.setNameText("某");
    f.nameMode = 1;
    f.yearFilter = true;
    f.yearFrom = 1900;
    f.yearTo = 2000;
    f.setCategoryText("家");
    f.categoryMode = 1;
    std::vector<int> out;
    for (auto _ : state) {
        s.db.Find(f, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["matches"] = static_cast<double>(out.size());
}
BENCHMARK(BM_FindNameContainsAndYears)->Unit(benchmark::kMillisecond);

void BM_ScanNewest1000(benchmark::State& state) {
    auto& s = store();
    CaseRecord r;
    for (auto _ : state) {
        s.db.BeginScan();
        const int count = s.db.Count();
        int live = 0;
        for (int n = count - 1; n >= 0 && n >= count - 1000; --n) live += s.db.ReadScanned(n, r);
        s.db.EndScan();
        benchmark::DoNotOptimize(live);
    }
}
BENCHMARK(BM_ScanNewest1000)->Unit(benchmark::kMicrosecond);

void BM_ReadRecord(benchmark::State& state) {
    auto& s = store();
    CaseRecord r;
    int n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.db.ReadRecord(n, r));
        n = (n + 7919) % kRecords;
    }
}
BENCHMARK(BM_ReadRecord)->Unit(benchmark::kMicrosecond);

void BM_WriteRecord(benchmark::State& state) {
    auto& s = store();
    CaseRecord r;
    s.db.ReadRecord(1, r);
    int n = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.db.WriteRecord(n, r));
        n = (n + 7919) % kRecords;
    }
}
BENCHMARK(BM_WriteRecord)->Unit(benchmark::kMicrosecond);

void BM_Append(benchmark::State& state) {
    auto& s = store();
    CaseRecord r;
    s.db.ReadRecord(1, r);
    for (auto _ : state) benchmark::DoNotOptimize(s.db.Append(r));
    // Back to kRecords records so the other figures do not depend on the order of the runs.
    if (::truncate(s.db.RecordFilePath().c_str(), static_cast<off_t>(kRecords) * 152) != 0)
        state.SkipWithError("truncate failed");
}
BENCHMARK(BM_Append)->Unit(benchmark::kMicrosecond);
}  // namespace
