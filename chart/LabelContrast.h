// Labels that stay readable on the chart background the user chose. The chart's own label
// colours on the default white set the bar: the least contrast among them (the gold of the
// nodes). On another background a label colour with less contrast than that is shaded, darker
// or, on a dark background, lighter, until it has the 3:1 contrast of large text (or the most
// black or white gives). On white nothing changes.
#pragma once
#include <string>

#include "platform/core/Canvas.h"

namespace labelcontrast {
// Contrast ratio of two colours from their relative luminance (sRGB), 1 to 21.
double ratio(Rgb a, Rgb b);
// The least contrast of the chart's label colours on white.
double defaultContrast();
// The colour a label of colour c is drawn in on background bg.
Rgb readableOn(Rgb c, Rgb bg);
}  // namespace labelcontrast

// A canvas in front of the chart's canvas that shades font colours for the background: the
// background is the brush of the last rectangle that covered the whole canvas.
class ReadableLabelCanvas : public Canvas {
public:
    explicit ReadableLabelCanvas(Canvas& target) : target_(target) {}
    int width() const override { return target_.width(); }
    int height() const override { return target_.height(); }
    void setBrushColor(Rgb c) override {
        brush_ = c;
        target_.setBrushColor(c);
    }
    void setPenColor(Rgb c) override { target_.setPenColor(c); }
    void setPenStyle(PenStyle s) override { target_.setPenStyle(s); }
    void setFontName(const std::string& name) override { target_.setFontName(name); }
    void setFontSize(int points) override { target_.setFontSize(points); }
    void setFontColor(Rgb c) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void ellipse(int x1, int y1, int x2, int y2) override { target_.ellipse(x1, y1, x2, y2); }
    void moveTo(int x, int y) override { target_.moveTo(x, y); }
    void lineTo(int x, int y) override { target_.lineTo(x, y); }
    void textOut(int x, int y, const std::string& text) override { target_.textOut(x, y, text); }
    int textWidth(const std::string& text) override { return target_.textWidth(text); }
    int textHeight(const std::string& text) override { return target_.textHeight(text); }

private:
    Canvas& target_;
    Rgb brush_{255, 255, 255};
    Rgb background_{255, 255, 255};
    Rgb fontColor_{0, 0, 0};
    Rgb drawnColor_{0, 0, 0};
};
