// A canvas that keeps what is drawn on it. Every call goes on to the canvas it wraps (which also
// answers the text metrics), so that one stays exactly as it would be without the recorder; the
// kept drawing can then be replayed on another canvas, at any scale: the chart view at the
// screen's pixel ratio, the SVG and PDF files, the printer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/Canvas.h"

class CanvasRecorder : public Canvas {
public:
    explicit CanvasRecorder(Canvas& target) : target_(target) {}

    int width() const override { return target_.width(); }
    int height() const override { return target_.height(); }

    void setBrushColor(Rgb c) override;
    void setPenColor(Rgb c) override;
    void setPenStyle(PenStyle s) override;
    void setFontName(const std::string& name) override;
    void setFontSize(int points) override;
    void setFontColor(Rgb c) override;
    // A rectangle over the whole surface hides all that came before: the kept drawing starts
    // again from it, so a chart drawn over and over does not pile up.
    void rectangle(int x1, int y1, int x2, int y2) override;
    void ellipse(int x1, int y1, int x2, int y2) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void textOut(int x, int y, const std::string& text) override;
    int textWidth(const std::string& text) override { return target_.textWidth(text); }
    int textHeight(const std::string& text) override { return target_.textHeight(text); }

    // Draws the kept drawing again on another canvas, in the same coordinates.
    void replay(Canvas& out) const;
    // Grows with every drawing call; a view compares it with the one it last drew.
    uint64_t revision() const { return revision_; }
    std::size_t operationCount() const { return ops_.size(); }

private:
    enum class Kind : uint8_t {
        Brush, Pen, Style, FontName, FontSize, FontColor, Rectangle, Ellipse, MoveTo, LineTo, Text
    };
    struct Op {
        Kind kind;
        int a = 0, b = 0, c = 0, d = 0;
        Rgb color{};
        std::string text{};
    };
    void keep(Op op);
    void restartWithState();

    Canvas& target_;
    std::vector<Op> ops_;
    uint64_t revision_ = 0;
    // The state in force, so a restarted drawing begins with it.
    Rgb brush_{255, 255, 255};
    Rgb pen_{0, 0, 0};
    PenStyle style_ = PenStyle::Solid;
    std::string fontName_;
    int fontSize_ = 0;
    bool fontSizeSet_ = false;
    Rgb fontColor_{0, 0, 0};
    int penX_ = 0;
    int penY_ = 0;
};
