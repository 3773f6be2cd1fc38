// Speed of the RTF reader on a comment of about 1 MB: 48,000 formatted runs in one paragraph
// (alternately bold GBK and plain Latin text, as text pasted from a web page comes in), read into
// a document, and loaded into the comment box (read, insert, lay out).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QTextDocument>
#include <QTextEdit>
#include <cstdlib>
#include <string>

#include "platform/qt/QtRichText.h"
#include "platform/qt/RtfCodec.h"

namespace {
std::string manyRuns(int runs) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134 Arial;}}\\f0 ";
    for (int i = 0; i < runs; ++i)
        rtf += i % 2 ? "{\\b\\fs24 \\'d0\\'c7\\'d7\\'f9}" : "{\\b0\\fs20 text  }";
    rtf += "\\par}";
    return rtf;
}

void BM_ReadRtfIntoDocument(benchmark::State& state) {
    const std::string rtf = manyRuns(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QTextDocument doc;
        benchmark::DoNotOptimize(GbkRtfCodec::instance().read(rtf, doc));
    }
    state.counters["bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_ReadRtfIntoDocument)->Arg(5000)->Arg(48000)->Unit(benchmark::kMillisecond);

void BM_LoadRtfIntoCommentBox(benchmark::State& state) {
    const std::string rtf = manyRuns(static_cast<int>(state.range(0)));
    const std::string path = "/tmp/tarmin-bench-rtf-" + std::to_string(::getpid()) + ".rtf";
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(rtf.data(), 1, rtf.size(), f);
    std::fclose(f);
    for (auto _ : state) {
        QTextEdit edit;
        QtRichText box(edit);
        benchmark::DoNotOptimize(box.loadFile(path));
    }
    std::remove(path.c_str());
    state.counters["bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_LoadRtfIntoCommentBox)->Arg(48000)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
