// The QImage canvas: font metrics at 96 dpi, the zodiac glyphs of "Wingdings", GDI fill and
// outline rules, pen patterns and the text cell.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>

#include "platform/qt/QImageCanvas.h"
#include "tests/platform/QtTestApp.h"

namespace {
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

QImage blank(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}
Rgb at(const QImage& img, int x, int y) {
    const QColor c = img.pixelColor(x, y);
    return Rgb{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
               static_cast<uint8_t>(c.blue())};
}
int countNot(const QImage& img, QRect r, Rgb bg) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (at(img, x, y) != bg) ++n;
    return n;
}
}  // namespace

TEST(QImageCanvasFonts, SongTwelvePointMeasuresSixteenPixels) {
    testqt::app();
    QImage img = blank(64, 64);
    QImageCanvas c(img);
    c.setFontName("宋体");
    c.setFontSize(12);
    EXPECT_EQ(c.textWidth("国"), 16);
    EXPECT_EQ(c.textHeight("国"), 16);
    EXPECT_EQ(c.textWidth("国国国"), 48);
    c.setFontSize(9);
    EXPECT_EQ(c.textHeight("国"), 12);
    EXPECT_EQ(QImageCanvas::pixelsForPoints(10), 13);
    std::printf("UMing 9 pt: width %d, height %d px\n", c.textWidth("国"), c.textHeight("国"));
}

TEST(QImageCanvasFonts, WingdingsMapsZodiacCodesAndDrawsThem) {
    testqt::app();
    EXPECT_EQ(QImageCanvas::displayText("Wingdings", "^i").toStdString(), "♈♓");
    EXPECT_EQ(QImageCanvas::displayText("wingdings", "]j").toStdString(), "]j");
    EXPECT_EQ(QImageCanvas::displayText("宋体", "^").toStdString(), "^");

    QImage img = blank(40 * 12, 40);
    QImageCanvas c(img);
    c.setFontName("Wingdings");
    c.setFontSize(16);
    c.setBrushColor(kWhite);
    c.setFontColor(kBlack);
    int fewest = 1 << 30;
    for (int i = 0; i < 12; ++i) {
        const std::string code(1, static_cast<char>(0x5E + i));
        EXPECT_GT(c.textWidth(code), 5) << "sign " << i;
        c.textOut(i * 40, 2, code);
        const int inked = countNot(img, QRect(i * 40, 0, 40, 40), kWhite);
        fewest = std::min(fewest, inked);
        EXPECT_GT(inked, 20) << "sign " << i << " drew nothing";
    }
    std::printf("fewest inked pixels of a zodiac glyph: %d\n", fewest);
}

TEST(QImageCanvasText, TextCellIsFilledWithTheBrushFirst) {
    testqt::app();
    QImage img = blank(100, 40);
    QImageCanvas c(img);
    c.setFontName("宋体");
    c.setFontSize(12);
    c.setBrushColor(kBlue);
    c.setFontColor(kRed);
    c.textOut(10, 5, "国国");
    const int w = c.textWidth("国国");
    const int h = c.textHeight("国国");
    // Corners of the 32 x 16 cell are brush-coloured; the pixel just outside stays white.
    EXPECT_EQ(at(img, 10, 5), kBlue);
    EXPECT_EQ(at(img, 10 + w - 1, 5 + h - 1), kBlue);
    EXPECT_EQ(at(img, 10 + w, 5), kWhite);
    EXPECT_EQ(at(img, 9, 5), kWhite);
    EXPECT_EQ(at(img, 10, 5 + h), kWhite);
    // Some glyph pixels are reddish.
    int reddish = 0;
    for (int y = 5; y < 5 + h; ++y)
        for (int x = 10; x < 10 + w; ++x) {
            const Rgb p = at(img, x, y);
            if (p.r > 128 && p.b < 128) ++reddish;
        }
    EXPECT_GT(reddish, 20);
}

TEST(QImageCanvasShapes, RectangleFillsInteriorAndOutlinesInsideExclusiveCorner) {
    testqt::app();
    QImage img = blank(30, 30);
    QImageCanvas c(img);
    c.setBrushColor(kBlue);
    c.setPenColor(kRed);
    c.rectangle(5, 6, 15, 20);  // pixels x 5..14, y 6..19
    EXPECT_EQ(at(img, 5, 6), kRed);
    EXPECT_EQ(at(img, 14, 6), kRed);
    EXPECT_EQ(at(img, 14, 19), kRed);
    EXPECT_EQ(at(img, 5, 19), kRed);
    EXPECT_EQ(at(img, 10, 6), kRed);
    EXPECT_EQ(at(img, 6, 7), kBlue);
    EXPECT_EQ(at(img, 13, 18), kBlue);
    EXPECT_EQ(at(img, 15, 10), kWhite);
    EXPECT_EQ(at(img, 10, 20), kWhite);
    EXPECT_EQ(at(img, 4, 10), kWhite);
    EXPECT_EQ(countNot(img, QRect(0, 0, 30, 30), kWhite), 10 * 14);
    EXPECT_EQ(countNot(img, QRect(6, 7, 8, 12), kBlue), 0);  // interior 8 x 12 all brush
}

TEST(QImageCanvasShapes, WholeImageClearAndClipping) {
    testqt::app();
    QImage img(800, 700, QImage::Format_RGB32);
    img.fill(Qt::green);
    QImageCanvas c(img);
    c.setBrushColor(kWhite);
    c.setPenColor(kBlack);
    c.rectangle(0, 0, c.width(), c.height());
    EXPECT_EQ(at(img, 0, 0), kBlack);
    EXPECT_EQ(at(img, 799, 699), kBlack);
    EXPECT_EQ(at(img, 400, 350), kWhite);
    c.moveTo(-50, 10);
    c.lineTo(900, 10);  // clipped, no crash
    EXPECT_EQ(at(img, 0, 10), kBlack);
    EXPECT_EQ(at(img, 799, 10), kBlack);
}

TEST(QImageCanvasShapes, EllipseStaysInsideItsBox) {
    testqt::app();
    QImage img = blank(40, 40);
    QImageCanvas c(img);
    c.setBrushColor(kBlue);
    c.setPenColor(kRed);
    c.ellipse(10, 10, 30, 30);
    EXPECT_EQ(countNot(img, QRect(0, 0, 40, 10), kWhite), 0);
    EXPECT_EQ(countNot(img, QRect(0, 30, 40, 10), kWhite), 0);
    EXPECT_EQ(countNot(img, QRect(0, 0, 10, 40), kWhite), 0);
    EXPECT_EQ(countNot(img, QRect(30, 0, 10, 40), kWhite), 0);
    EXPECT_EQ(at(img, 20, 20), kBlue);
    EXPECT_EQ(at(img, 20, 10), kRed);
    EXPECT_EQ(at(img, 10, 11), kWhite);  // corner of the box is outside the ellipse
}

TEST(QImageCanvasLines, LineToLeavesEndPointAndPatternsGap) {
    testqt::app();
    QImage img = blank(100, 10);
    QImageCanvas c(img);
    c.setPenColor(kBlack);
    c.moveTo(0, 1);
    c.lineTo(48, 1);
    EXPECT_EQ(countNot(img, QRect(0, 1, 100, 1), kWhite), 48);
    EXPECT_EQ(at(img, 48, 1), kWhite);

    c.setPenStyle(PenStyle::Dotted);
    c.moveTo(0, 3);
    c.lineTo(48, 3);
    EXPECT_EQ(countNot(img, QRect(0, 3, 100, 1), kWhite), 24);
    EXPECT_EQ(at(img, 0, 3), kBlack);
    EXPECT_EQ(at(img, 3, 3), kWhite);

    c.setPenStyle(PenStyle::Dashed);
    c.moveTo(0, 5);
    c.lineTo(48, 5);
    EXPECT_EQ(countNot(img, QRect(0, 5, 100, 1), kWhite), 18 + 18);
    EXPECT_EQ(at(img, 20, 5), kWhite);

    // A diagonal line steps one pixel per column.
    c.setPenStyle(PenStyle::Solid);
    QImage sq = blank(10, 10);
    QImageCanvas d(sq);
    d.moveTo(0, 0);
    d.lineTo(9, 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(at(sq, i, i), kBlack);
    EXPECT_EQ(countNot(sq, QRect(0, 0, 10, 10), kWhite), 9);
}
