#include "cli/ChartFiles.h"

#include <QImage>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/core/CanvasRecorder.h"
#include "platform/qt/ChartExport.h"

namespace cli {
namespace {
// A factor such as "2" or "1.5": digits with at most one point, within [0.1, 16].
bool readScale(const std::string& s, double& out) {
    if (s.empty() || s.size() > 8) return false;
    int points = 0;
    for (const char ch : s) {
        if (ch == '.') ++points;
        else if (ch < '0' || ch > '9') return false;
    }
    if (points > 1 || s == ".") return false;
    const double v = std::strtod(s.c_str(), nullptr);
    if (!(v >= 0.1 && v <= 16.0)) return false;
    out = v;
    return true;
}
}  // namespace

int readChartFileOption(const std::vector<std::string>& args, std::size_t& i, ChartFiles& files) {
    const std::string& a = args[i];
    std::string* target = a == "--png"   ? &files.png
                          : a == "--svg" ? &files.svg
                          : a == "--pdf" ? &files.pdf
                                         : nullptr;
    if (!target && a != "--scale") return 0;
    if (i + 1 >= args.size()) return -1;
    const std::string& v = args[++i];
    if (target) {
        if (v.empty()) return -1;
        *target = v;
        return 1;
    }
    return readScale(v, files.scale) ? 1 : -1;
}

bool writeChartFiles(const ChartFiles& files, const QImage& image, const CanvasRecorder& drawing) {
    recfs::ReplaceResult result = recfs::ReplaceResult::WriteFailed;
    auto fail = [&result](const std::string& path) {
        std::fprintf(stderr, "tarmin-cli chart: %s\n", recfs::replaceFailureText(result, path).c_str());
        return false;
    };
    const int w = image.width();
    const int h = image.height();
    if (!files.png.empty()) {
        const QImage picture = files.scale == 1.0
                                   ? image
                                   : renderRecording(drawing, w, h,
                                                     static_cast<int>(std::lround(w * files.scale)));
        if (!saveImageFile(picture, "PNG", files.png, &result)) return fail(files.png);
    }
    if (!files.svg.empty() && !writeRecordingSvg(drawing, w, h, files.svg, "Tarmin", &result))
        return fail(files.svg);
    if (!files.pdf.empty() && !writeRecordingPdf(drawing, w, h, files.pdf, "Tarmin", &result))
        return fail(files.pdf);
    return true;
}
}  // namespace cli
