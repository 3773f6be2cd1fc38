// Canvas over a QPainter on any paint device (an image at any size, a screen pixmap at the
// device-pixel ratio, an SVG or PDF writer, a printer). It draws in the canvas' own pixel
// coordinates through the painter's transform, as vectors: one-unit lines and outlines through
// pixel centres with GDI's dot and dash runs, text in the fonts and cells QImageCanvas uses, so
// a drawing replayed here matches the image at 1x and stays sharp when scaled.
#pragma once
#include <QFont>
#include <QPainter>
#include <string>

#include "platform/core/Canvas.h"

class CanvasRecorder;

class PainterCanvas : public Canvas {
public:
    // width, height: the canvas' own size, in its pixel coordinates.
    PainterCanvas(QPainter& painter, int width, int height);

    int width() const override { return width_; }
    int height() const override { return height_; }

    void setBrushColor(Rgb c) override { brush_ = c; }
    void setPenColor(Rgb c) override { pen_ = c; }
    void setPenStyle(PenStyle s) override { penStyle_ = s; }
    void setFontName(const std::string& name) override { fontName_ = name; }
    void setFontSize(int points) override { fontPoints_ = points; }
    void setFontColor(Rgb c) override { fontColor_ = c; }

    void rectangle(int x1, int y1, int x2, int y2) override;
    void ellipse(int x1, int y1, int x2, int y2) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void textOut(int x, int y, const std::string& text) override;
    int textWidth(const std::string& text) override;
    int textHeight(const std::string& text) override;

private:
    QFont currentFont() const;
    QPen currentPen() const;

    QPainter& painter_;
    int width_;
    int height_;
    Rgb brush_{255, 255, 255};
    Rgb pen_{0, 0, 0};
    PenStyle penStyle_ = PenStyle::Solid;
    std::string fontName_ = "宋体";
    int fontPoints_ = 9;
    Rgb fontColor_{0, 0, 0};
    int penX_ = 0;
    int penY_ = 0;
};

// Replays a recorded drawing of w x h canvas pixels into the rectangle target of the painter's
// device (in the painter's coordinates), scaled evenly and centred in it.
void paintRecording(QPainter& painter, const CanvasRecorder& drawing, int w, int h,
                    const QRectF& target);
