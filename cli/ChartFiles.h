// The chart's picture files of tarmin-cli chart: --png FILE (with --scale N, a whole or decimal
// factor from 0.1 to 16; 1 writes the chart image exactly as the window draws it), --svg FILE and
// --pdf FILE (vectors).
#pragma once
#include <string>
#include <vector>

class CanvasRecorder;
class QImage;

namespace cli {
struct ChartFiles {
    std::string png, svg, pdf;
    double scale = 1.0;
};
// Reads the option at args[i] (and its value, moving i past it). Returns 1 when it was one of
// these options, 0 when it is not, -1 when its value is missing or wrong.
int readChartFileOption(const std::vector<std::string>& args, std::size_t& i, ChartFiles& files);
// Writes the files asked for; image is the 1x chart, drawing its recording. Prints the reason
// and returns false on the first file that could not be written.
bool writeChartFiles(const ChartFiles& files, const QImage& image, const CanvasRecorder& drawing);
}  // namespace cli
