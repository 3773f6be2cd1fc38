// The perpetual calendar window: a full redraw (grid with up to 31 lunar days, the month's
// terms, the information panel), a year change through the year arrows, and the window's first
// showing. Runs on the off-screen platform unless a display platform is chosen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QToolButton>
#include <cstdlib>
#include <memory>

#include "calendar/ui/Untwnl.h"
#include "platform/qt/Controls.h"
#include "platform/qt/QtUiServices.h"
#include "platform/qt/UpDown.h"

namespace {
class NoPanel : public NatalInput {
public:
    void setMoment(const PanelMoment&) override {}
    void runNatalCommand() override {}
};

struct Program {
    Program() : app(argc, argv), ui("Tarmin天文占星 3.6") { installFontSubstitutes(); }
    static inline int argc = 1;
    static inline char name[] = "bench_wnl";
    static inline char* argv[] = {name, nullptr};
    QApplication app;
    QtUiServices ui;
    MYiDateEx calendar;
    NoPanel panel;
};

Program& program() {
    static Program* p = [] {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new Program;  // kept to the end: Qt's globals outlive the benchmarks
    }();
    return *p;
}

DateTimeFields fields(int y, int m, int d, int h, int min) {
    return {static_cast<int16_t>(y), static_cast<int16_t>(m), static_cast<int16_t>(d),
            static_cast<int16_t>(h), static_cast<int16_t>(min)};
}
}  // namespace

// December 2033: 31 days, two terms, a leap eleventh month.
static void BM_WnlRedraw(benchmark::State& state) {
    Program& p = program();
    TFrmWnl w(p.ui, p.calendar, p.panel);
    w.showDate(fields(2033, 12, 22, 23, 10));
    for (auto _ : state) {
        w.redraw();
        benchmark::DoNotOptimize(w.cells().data());
    }
}
BENCHMARK(BM_WnlRedraw)->Unit(benchmark::kMillisecond);

// One click on the year arrow: the year box, that year's solar terms and a redraw. The years
// climb so that no year layout is reused from an earlier iteration.
static void BM_WnlYearChange(benchmark::State& state) {
    Program& p = program();
    TFrmWnl w(p.ui, p.calendar, p.panel);
    w.showDate(fields(1000, 7, 31, 12, 0));
    for (auto _ : state) {
        if (w.UdYear->position() >= 9999) {
            state.PauseTiming();
            w.showDate(fields(1000, 7, 31, 12, 0));
            state.ResumeTiming();
        }
        w.UdYear->upButton()->click();
        benchmark::DoNotOptimize(w.selected());
    }
}
BENCHMARK(BM_WnlYearChange)->Unit(benchmark::kMillisecond);

// The "万年历" command the first time: the window built, set to a date and shown (painted).
static void BM_WnlFirstShow(benchmark::State& state) {
    Program& p = program();
    int year = 1900;
    for (auto _ : state) {
        auto w = std::make_unique<TFrmWnl>(p.ui, p.calendar, p.panel);
        w->showDate(fields(year++, 3, 15, 9, 0));
        w->show();
        QApplication::processEvents();
        state.PauseTiming();
        w.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WnlFirstShow)->Unit(benchmark::kMillisecond)->Iterations(20);
