// Speed of the traditional interface (off-screen, the real main window):
//  - casting a chart with its reading in simplified (0), Taiwan (1) and Hong Kong (2)
//    characters, over dates that go round the twelve signs (the converted lines are kept, as
//    they are after the first casts of a session);
//  - switching the whole interface between simplified and Taiwan characters with a chart, its
//    reading and the perpetual calendar on screen;
//  - loading OpenCC's dictionaries (the first switch of a session), and the first conversion of
//    the whole text catalogue by a fresh converter.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/Untmain.h"
#include "platform/core/ScriptRichText.h"
#include "platform/opencc/OpenccScript.h"
#include "records/Database.h"
#include "tests/support/ScriptedUi.h"

namespace {
namespace fs = std::filesystem;

QApplication& app() {
    static int argc = 1;
    static char name[] = "bench_script";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argc, argv);
    }();
    return *a;
}

std::string freshFolder() {
    std::string tmpl = (fs::temp_directory_path() / "tarmin-bench-script-XXXXXX").string();
    const std::string base = std::string(::mkdtemp(tmpl.data())) + "/";
    fs::create_directories(base + "dat");
    return base;
}

void cast(TFrmMain& w, int k) {
    w.findChild<QLineEdit*>(QStringLiteral("Edtname"))->setText(QStringLiteral("某人"));
    w.findChild<QLineEdit*>(QStringLiteral("EdtYear"))->setText(QString::number(1950 + k % 50));
    w.findChild<QComboBox*>(QStringLiteral("cbom"))->setCurrentIndex(k % 12);
    w.findChild<QComboBox*>(QStringLiteral("cbod"))->setCurrentIndex(k % 28);
    w.BtnpaiClick();
}

void BM_CastWithReading(benchmark::State& state) {
    app();
    const std::string folder = freshFolder();
    {
        testui::ScriptedUi ui;
        MDataBase db;
        TFrmMain w(ui, db, folder);
        w.FormShow();
        w.setTextScript(static_cast<TextScript>(state.range(0)));
        for (int k = 0; k < 48; ++k) cast(w, k);  // a session's first casts
        int k = 0;
        for (auto _ : state) cast(w, k++);
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_CastWithReading)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_SwitchInterface(benchmark::State& state) {
    app();
    const std::string folder = freshFolder();
    {
        testui::ScriptedUi ui;
        MDataBase db;
        TFrmMain w(ui, db, folder);
        w.FormShow();
        cast(w, 3);
        w.mnuT_wnlClick();
        bool traditional = false;
        for (auto _ : state) {
            traditional = !traditional;
            w.setTextScript(traditional ? TextScript::Taiwan : TextScript::Simplified);
        }
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_SwitchInterface)->Unit(benchmark::kMillisecond);

// OpenCC's dictionaries for Taiwan loaded on the first text converted.
void BM_LoadDictionaries(benchmark::State& state) {
    for (auto _ : state) {
        OpenccScript s;
        benchmark::DoNotOptimize(s.convert("天蝎座", TextScript::Taiwan));
    }
}
BENCHMARK(BM_LoadDictionaries)->Unit(benchmark::kMillisecond);

void BM_ConvertCatalogueCold(benchmark::State& state) {
    std::string all;
    for (const auto& e : fs::directory_iterator(fs::path(TARMIN_SOURCE_DIR) / "chart/texts"))
        if (e.path().extension() == ".txt") {
            std::ifstream in(e.path(), std::ios::binary);
            all.append(std::istreambuf_iterator<char>(in), {});
        }
    for (auto _ : state) {
        OpenccScript s;
        s.setScript(TextScript::Taiwan);
        benchmark::DoNotOptimize(shownByLines(s, all));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(all.size()));
}
BENCHMARK(BM_ConvertCatalogueCold)->Unit(benchmark::kMillisecond);
}  // namespace
