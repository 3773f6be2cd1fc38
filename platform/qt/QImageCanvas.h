// Canvas over a QImage: the chart image, the calendar window's day grid and the CLI's PNG output
// all draw through it. Font sizes are points at a fixed 96 dpi, so a 12-point font is 16 pixels
// high whatever the screen says. Lines are drawn without antialiasing pixel by pixel with GDI's
// rules (the end point of lineTo is not drawn); text is antialiased.
#pragma once
#include <QFont>
#include <QImage>
#include <QString>

#include "platform/core/Canvas.h"

class QImageCanvas : public Canvas {
public:
    explicit QImageCanvas(QImage& image);

    int width() const override;
    int height() const override;

    void setBrushColor(Rgb c) override;
    void setPenColor(Rgb c) override;
    void setPenStyle(PenStyle s) override;
    void setFontName(const std::string& name) override;
    void setFontSize(int points) override;
    void setFontColor(Rgb c) override;

    void rectangle(int x1, int y1, int x2, int y2) override;
    void ellipse(int x1, int y1, int x2, int y2) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void textOut(int x, int y, const std::string& text) override;
    int textWidth(const std::string& text) override;
    int textHeight(const std::string& text) override;

    QImage& image() { return image_; }

    // The installed family that stands in for a font name of the program ("宋体", "Wingdings").
    static QString familyFor(const std::string& fontName);
    // The program's own name of an installed family: the Song face is "宋体" again.
    static std::string programFontName(const QString& family);
    // Pixel height of a font of the given size in points at 96 dpi.
    static int pixelsForPoints(int points);
    // Text as it is drawn in the named font: for "Wingdings" the codes 0x5E..0x69 become the
    // zodiac signs U+2648..U+2653.
    static QString displayText(const std::string& fontName, const std::string& utf8);

private:
    QFont currentFont() const;
    void plot(int x, int y, int& patternStep);
    void line(int x0, int y0, int x1, int y1, int& patternStep);

    QImage& image_;
    Rgb brush_{255, 255, 255};
    Rgb pen_{0, 0, 0};
    PenStyle penStyle_ = PenStyle::Solid;
    std::string fontName_ = "宋体";
    int fontPoints_ = 9;
    Rgb fontColor_{0, 0, 0};
    int penX_ = 0;
    int penY_ = 0;
};
