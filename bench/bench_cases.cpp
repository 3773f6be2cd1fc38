// Speed of the case commands on a store of 100,000 records (15.2 MB, in the page cache), with
// the real widgets on the off-screen platform:
//  - the start-up tree: the newest 1000 records read and the tree built and painted;
//  - a search over the whole file and the tree rebuilt from its matches;
//  - opening one category of that tree (its case nodes are made when it first opens);
//  - opening a case from the tree: the panel filled, the comment file loaded, the chart cast.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/Untmain.h"
#include "records/Database.h"
#include "records/ui/CaseCommands.h"
#include "records/ui/CaseTree.h"
#include "tests/support/ScriptedUi.h"

namespace {
namespace fs = std::filesystem;
constexpr int kRecords = 100000;

QApplication& app() {
    static int argc = 1;
    static char name[] = "bench_cases";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argc, argv);  // lives to the end of the run
    }();
    return *a;
}

// A program folder with kRecords cases in four categories, every 17th deleted, and a comment
// file for the first two; made once and removed at exit.
struct BenchFolder {
    std::string base;
    BenchFolder() {
        std::string tmpl = (fs::temp_directory_path() / "tarmin-bench-cases-XXXXXX").string();
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
            r.deleted = i % 17 == 0 && i > 1;
            r.setName(std::string(names[i % 5]) + std::to_string(i % 100));
            r.setCategory(cats[i % 4]);
            r.year = static_cast<int16_t>(1600 + i % 600);
            r.month = static_cast<int16_t>(1 + i % 12);
            r.day = 7;
            r.hour = 9;
            r.minute = 5;
            r.male = static_cast<uint8_t>(i % 2);
            r.province = static_cast<int16_t>(i % 35);
            r.zone = 8;
            r.longitude = 116.4f;
            r.latitude = 39.9f;
            r.setComment("c" + std::to_string(i));
            bytes.append(reinterpret_cast<const char*>(&r), sizeof r);
        }
        std::ofstream(base + "dat/Kelvora.dat", std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        // Comments of a page or so of formatted text.
        std::string rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\\f0\\fs20 ";
        for (int line = 0; line < 40; ++line) rtf += "\\'c6\\'c0\\'d3\\'ef comment line " + std::to_string(line) + "\\par ";
        rtf += "}";
        for (const char* c : {"c0", "c1"}) std::ofstream(base + "Kelvora_f/" + c + ".rtf", std::ios::binary) << rtf;
    }
    ~BenchFolder() {
        std::error_code ec;
        fs::remove_all(base, ec);
    }
};

BenchFolder& folder() {
    static BenchFolder f;
    return f;
}

void BM_StartUpTreeNewest1000(benchmark::State& state) {
    app();
    MDataBase db;
    db.Open(folder().base);
    QWidget holder;
    CaseTree tree(&holder, db);
    tree.widget()->resize(200, 600);
    holder.show();
    for (auto _ : state) {
        tree.BuildCaseTree(CaseTree::newestNumbers(db.Count()));
        tree.widget()->repaint();
    }
}
BENCHMARK(BM_StartUpTreeNewest1000)->Unit(benchmark::kMillisecond);

// range(0): 0 = name contains "某" and years 1900-2000 (about 6,700 matches), 1 = every live
// case (94,118 matches: the whole file in the tree).
void BM_SearchAndRebuildTree(benchmark::State& state) {
    app();
    MDataBase db;
    db.Open(folder().base);
    QWidget holder;
    CaseTree tree(&holder, db);
    tree.widget()->resize(200, 600);
    holder.show();
    CaseFilter f;
    if (state.range(0) == 0) {
        f.setNameText("某");
        f.nameMode = 1;
        f.yearFilter = true;
        f.yearFrom = 1900;
        f.yearTo = 2000;
    }
    std::vector<int> found;
    for (auto _ : state) {
        db.Find(f, found);
        tree.BuildCaseTree(found);
        tree.widget()->repaint();
    }
    state.counters["matches"] = static_cast<double>(found.size());
}
BENCHMARK(BM_SearchAndRebuildTree)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Opening one category of the whole-file tree (23,530 cases): its nodes are made then.
void BM_ExpandCategoryOfAllCases(benchmark::State& state) {
    app();
    MDataBase db;
    db.Open(folder().base);
    QWidget holder;
    CaseTree tree(&holder, db);
    tree.widget()->resize(200, 600);
    holder.show();
    std::vector<int> all;
    db.Find(CaseFilter{}, all);
    for (auto _ : state) {
        state.PauseTiming();
        tree.BuildCaseTree(all);
        state.ResumeTiming();
        tree.root()->child(0)->setExpanded(true);
        tree.widget()->repaint();
    }
    state.counters["cases"] = tree.root()->child(0)->childCount();
}
BENCHMARK(BM_ExpandCategoryOfAllCases)->Unit(benchmark::kMillisecond);

// The real main window: two cases in turn, each with its comment file.
void BM_OpenCase(benchmark::State& state) {
    app();
    testui::ScriptedUi ui;
    MDataBase db;
    TFrmMain window(ui, db, folder().base);
    window.FormShow();
    CaseTree& tree = window.caseTree();
    tree.BuildCaseTree({0, 1});
    QTreeWidgetItem* cases[] = {tree.findCase(0), tree.findCase(1)};
    int i = 0;
    for (auto _ : state) {
        tree.widget()->setCurrentItem(cases[i]);
        window.caseCommands().openCase();
        i ^= 1;
    }
    if (!window.natalCast()) state.SkipWithError("the case was not cast");
    window.setCaseOpen(false);
}
BENCHMARK(BM_OpenCase)->Unit(benchmark::kMillisecond);
}  // namespace
