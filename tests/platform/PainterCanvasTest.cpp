// The recording canvas and the painter canvas: recording changes nothing of the image drawn
// through it, a replay draws the same picture again, and the vector replay at 1x matches the
// pixel image closely while a 2x replay has twice the pixels.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/core/CanvasRecorder.h"
#include "platform/qt/ChartExport.h"
#include "platform/qt/PainterCanvas.h"
#include "platform/qt/QImageCanvas.h"
#include "platform/qt/QtPrinter.h"
#include "tests/platform/QtTestApp.h"

namespace {
QImage blank(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}
// A little of everything the chart draws.
void scene(Canvas& c, Rgb background) {
    c.setBrushColor(background);
    c.setPenColor(Rgb{0, 0, 0});
    c.setPenStyle(PenStyle::Solid);
    c.rectangle(0, 0, c.width(), c.height());
    c.ellipse(20, 20, 180, 180);
    c.setPenStyle(PenStyle::Dotted);
    c.moveTo(100, 100);
    c.lineTo(190, 30);
    c.setPenStyle(PenStyle::Dashed);
    c.setPenColor(Rgb{255, 0, 0});
    c.lineTo(190, 190);
    c.setPenStyle(PenStyle::Solid);
    c.setFontName("宋体");
    c.setFontSize(12);
    c.setFontColor(Rgb{0, 0, 255});
    c.textOut(30, 90, "日月水金");
    c.setFontName("Wingdings");
    c.textOut(120, 140, "^_`");
}
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
}  // namespace

TEST(CanvasRecorder, RecordingLeavesTheImageExactAndReplaysIt) {
    testqt::app();
    QImage direct = blank(200, 200);
    QImageCanvas directCanvas(direct);
    scene(directCanvas, Rgb{255, 255, 255});

    QImage through = blank(200, 200);
    QImageCanvas throughCanvas(through);
    CanvasRecorder recorder(throughCanvas);
    scene(recorder, Rgb{255, 255, 255});
    EXPECT_EQ(through, direct);
    EXPECT_EQ(recorder.textWidth("国"), directCanvas.textWidth("国"));

    QImage replayed = blank(200, 200);
    QImageCanvas replayCanvas(replayed);
    recorder.replay(replayCanvas);
    EXPECT_EQ(replayed, direct);
}

TEST(CanvasRecorder, ACoveringRectangleStartsTheKeptDrawingAgainWithTheStateInForce) {
    testqt::app();
    QImage img = blank(200, 200);
    QImageCanvas canvas(img);
    CanvasRecorder recorder(canvas);
    scene(recorder, Rgb{255, 255, 255});
    const std::size_t once = recorder.operationCount();
    const uint64_t revision = recorder.revision();
    for (int i = 0; i < 50; ++i) scene(recorder, Rgb{255, 255, 200});
    EXPECT_LE(recorder.operationCount(), once + 8) << "drawings pile up";
    EXPECT_GT(recorder.revision(), revision);
    // Text after the restart still has the font set before it.
    recorder.setBrushColor(Rgb{255, 255, 200});
    recorder.rectangle(0, 0, 200, 200);
    recorder.textOut(10, 10, "a");
    QImage replayed = blank(200, 200);
    QImageCanvas replayCanvas(replayed);
    recorder.replay(replayCanvas);
    EXPECT_EQ(replayed, img);
}

TEST(PainterCanvas, VectorsAtOneTimesMatchThePixelsAndScaleSharply) {
    testqt::app();
    QImage pixels = blank(200, 200);
    QImageCanvas pixelCanvas(pixels);
    CanvasRecorder recorder(pixelCanvas);
    scene(recorder, Rgb{255, 255, 255});

    const QImage one = renderRecording(recorder, 200, 200, 200);
    ASSERT_EQ(one.size(), QSize(200, 200));
    EXPECT_LT(meanDifference(one, pixels), 8.0);
    // Same text metrics as the pixel canvas, on any device.
    QImage other = blank(10, 10);
    QPainter p(&other);
    PainterCanvas vectors(p, 200, 200);
    vectors.setFontSize(12);
    pixelCanvas.setFontSize(12);
    vectors.setFontName("宋体");
    pixelCanvas.setFontName("宋体");
    EXPECT_EQ(vectors.textWidth("日月水金"), pixelCanvas.textWidth("日月水金"));
    EXPECT_EQ(vectors.textHeight("国"), pixelCanvas.textHeight("国"));
    p.end();

    const QImage two = renderRecording(recorder, 200, 200, 400);
    ASSERT_EQ(two.size(), QSize(400, 400));
    // Sharp, not a stretched bitmap: the 2x picture has detail the 1x one scaled up lacks.
    const QImage blown = pixels.scaled(400, 400);
    EXPECT_GT(meanDifference(two, blown), 0.2);
    EXPECT_LT(meanDifference(two.scaled(200, 200, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), pixels), 10.0);
}

TEST(PainterCanvas, ThePrinterTakesTheDrawingAsVectors) {
    testqt::app();
    QImage pixels = blank(200, 200);
    QImageCanvas pixelCanvas(pixels);
    CanvasRecorder recorder(pixelCanvas);
    scene(recorder, Rgb{255, 255, 255});
    const std::string path = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                             "/tarmin_print_test.pdf";
    std::remove(path.c_str());
    QtPrinter printer;
    printer.qprinter().setOutputFormat(QPrinter::PdfFormat);
    printer.qprinter().setOutputFileName(QString::fromStdString(path));
    printer.setOrientation(PageOrientation::Landscape);
    EXPECT_GT(printer.pageWidth(), printer.pageHeight());
    EXPECT_THROW(printer.drawRecording(0, 0, 10, 10, recorder, 200, 200), PrinterError);  // no job
    printer.beginJob("chart");
    EXPECT_TRUE(printer.drawRecording(100, 100, 1100, 1100, recorder, 200, 200));
    printer.endJob();
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    // Text went in as text, not as one picture of the page.
    EXPECT_EQ(bytes.find("/Subtype /Image"), std::string::npos);
    std::remove(path.c_str());
}
