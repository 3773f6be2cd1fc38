// tarmin-cli chart's picture files: the 1x PNG as before, a larger PNG at --scale, SVG and PDF
// vectors that render back to the same chart.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "tests/platform/QtTestApp.h"
#include "tests/support/CliRunner.h"
#include "tests/support/TestData.h"

namespace {
std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
// Mean absolute difference per channel, 0 to 255, of two images of one size.
double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}
const char* kChart = "chart --name 测试 --date \"1990-05-17 14:30\" --lon 116:25 --lat 39:54";
}  // namespace

TEST(CliChartFiles, VectorsAndScaledPngRenderTheSameChart) {
    REQUIRE_CLI();
    testqt::app();
    const std::string dir = testdata::freshTempDir("clichartfiles");
    const auto r = testcli::run(std::string(kChart) + " --png \"" + dir + "c.png\" --svg \"" + dir +
                                "c.svg\" --pdf \"" + dir + "c.pdf\"");
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage png = QImage(QString::fromStdString(dir + "c.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(png.size(), QSize(800, 700));

    // The SVG drawn back at 800 x 700 looks like the PNG; a chart of another moment does not.
    QSvgRenderer svg(QString::fromStdString(dir + "c.svg"));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBox(), QRect(0, 0, 800, 700));
    QImage back(800, 700, QImage::Format_RGB32);
    back.fill(Qt::white);
    {
        QPainter p(&back);
        svg.render(&p);
    }
    const double same = meanDifference(back, png);
    EXPECT_LT(same, 6.0);
    ASSERT_EQ(testcli::run("chart --name 别人 --date \"1960-11-02 03:10\" --png \"" + dir + "o.png\"").status, 0);
    const QImage other = QImage(QString::fromStdString(dir + "o.png")).convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(meanDifference(back, other), 2 * same);

    // The PDF: one page the chart's size at 96 dpi, in points.
    const std::string pdf = readBytes(dir + "c.pdf");
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.find("/MediaBox [0 0 600"), std::string::npos);
    EXPECT_GT(pdf.size(), 10000u);

    // --scale 2: twice the pixels, the same picture.
    ASSERT_EQ(testcli::run(std::string(kChart) + " --png \"" + dir + "x2.png\" --scale 2").status, 0);
    const QImage x2 = QImage(QString::fromStdString(dir + "x2.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(x2.size(), QSize(1600, 1400));
    EXPECT_LT(meanDifference(x2.scaled(800, 700, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), png), 8.0);
    // --scale 1 is the exact image.
    ASSERT_EQ(testcli::run(std::string(kChart) + " --png \"" + dir + "x1.png\" --scale 1").status, 0);
    EXPECT_EQ(readBytes(dir + "x1.png"), readBytes(dir + "c.png"));
}

TEST(CliChartFiles, BadScaleAndUnwritableFilesAreRefused) {
    REQUIRE_CLI();
    const std::string dir = testdata::freshTempDir("clichartbad");
    for (const char* scale : {"0", "17", "-2", "2x", "1..5", ""})
        EXPECT_EQ(testcli::run(std::string(kChart) + " --png \"" + dir + "a.png\" --scale \"" + scale + "\"").status, 2)
            << scale;
    EXPECT_EQ(testcli::run(std::string(kChart) + " --svg").status, 2);
    const auto r = testcli::run(std::string(kChart) + " --svg \"" + dir + "none/c.svg\"");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("无法保存到"), std::string::npos);
    EXPECT_EQ(testcli::run(std::string(kChart) + " --pdf \"" + dir + "none/c.pdf\"").status, 1);

    // A FIFO under the name is refused at once (no wait for a reader) and stays a FIFO.
    const std::string fifo = dir + "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const char* option : {" --png ", " --svg ", " --pdf ", " --reading "}) {
        EXPECT_EQ(testcli::run(std::string(kChart) + option + "\"" + fifo + "\"").status, 1) << option;
        struct stat st {};
        EXPECT_TRUE(::lstat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode)) << option;
    }
    // A full disk: the failure is reported and the old file stays whole.
    const std::string old = dir + "old.svg";
    std::ofstream(old) << std::string(2000, 'o');
    for (const char* option : {" --svg ", " --pdf ", " --png "}) {
        const testdata::FileSizeLimit diskFull(8192);
        EXPECT_EQ(testcli::run(std::string(kChart) + option + "\"" + old + "\"").status, 1) << option;
    }
    EXPECT_EQ(readBytes(old), std::string(2000, 'o'));
}
