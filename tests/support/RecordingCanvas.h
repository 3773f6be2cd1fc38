// Canvas test double: keeps every operation with its arguments and the drawing state at the
// time of each text. Text metrics are deterministic: at s points a full-width character is
// trunc(s * 4 / 3) pixels wide, an ASCII character half of that, and every text is
// trunc(s * 4 / 3) high (12 points: 16 x 16 for "国").
#pragma once
#include <string>
#include <vector>

#include "platform/core/Canvas.h"

class RecordingCanvas : public Canvas {
public:
    enum class Kind {
        BrushColor,
        PenColor,
        PenStyle,
        FontName,
        FontSize,
        FontColor,
        Rectangle,
        Ellipse,
        MoveTo,
        LineTo,
        TextOut
    };
    struct Op {
        Kind kind;
        int a = 0, b = 0, c = 0, d = 0;  // coordinates or size
        std::string text{};              // text or font name
        Rgb color{};
        PenStyle style = PenStyle::Solid;
        // State in force when the operation ran.
        std::string fontName{};
        int fontSize = 0;
        Rgb fontColor{};
        Rgb penColor{};
        PenStyle penStyle = PenStyle::Solid;
    };
    struct Line {
        int x1, y1, x2, y2;
        Rgb color;
        PenStyle style;
    };

    RecordingCanvas(int width, int height) : width_(width), height_(height) {}

    int width() const override { return width_; }
    int height() const override { return height_; }
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

    static int widthAt(const std::string& utf8, int points);
    static int heightAt(int points) { return points * 4 / 3; }

    const std::vector<Op>& ops() const { return ops_; }
    void clearOps() { ops_.clear(); }
    std::vector<Op> texts() const;           // every TextOut
    std::vector<Op> of(Kind k) const;
    std::vector<Line> lines() const;         // move-to/line-to pairs as segments
    // First TextOut whose text starts with the prefix; nullptr when none.
    const Op* findText(const std::string& prefix) const;

private:
    Op make(Kind k) const;

    int width_;
    int height_;
    std::vector<Op> ops_;
    std::string fontName_;
    int fontSize_ = 9;
    Rgb fontColor_;
    Rgb penColor_;
    Rgb brushColor_{255, 255, 255};
    PenStyle penStyle_ = PenStyle::Solid;
    int penX_ = 0;
    int penY_ = 0;
};
