#include "platform/core/CanvasRecorder.h"

#include <utility>

void CanvasRecorder::keep(Op op) {
    ops_.push_back(std::move(op));
    ++revision_;
}

void CanvasRecorder::setBrushColor(Rgb c) {
    target_.setBrushColor(c);
    brush_ = c;
    keep({Kind::Brush, 0, 0, 0, 0, c, {}});
}
void CanvasRecorder::setPenColor(Rgb c) {
    target_.setPenColor(c);
    pen_ = c;
    keep({Kind::Pen, 0, 0, 0, 0, c, {}});
}
void CanvasRecorder::setPenStyle(PenStyle s) {
    target_.setPenStyle(s);
    style_ = s;
    keep({Kind::Style, static_cast<int>(s), 0, 0, 0, {}, {}});
}
void CanvasRecorder::setFontName(const std::string& name) {
    target_.setFontName(name);
    fontName_ = name;
    keep({Kind::FontName, 0, 0, 0, 0, {}, name});
}
void CanvasRecorder::setFontSize(int points) {
    target_.setFontSize(points);
    fontSize_ = points;
    fontSizeSet_ = true;
    keep({Kind::FontSize, points, 0, 0, 0, {}, {}});
}
void CanvasRecorder::setFontColor(Rgb c) {
    target_.setFontColor(c);
    fontColor_ = c;
    keep({Kind::FontColor, 0, 0, 0, 0, c, {}});
}

void CanvasRecorder::restartWithState() {
    ops_.clear();
    ops_.push_back({Kind::Brush, 0, 0, 0, 0, brush_, {}});
    ops_.push_back({Kind::Pen, 0, 0, 0, 0, pen_, {}});
    ops_.push_back({Kind::Style, static_cast<int>(style_), 0, 0, 0, {}, {}});
    if (!fontName_.empty()) ops_.push_back({Kind::FontName, 0, 0, 0, 0, {}, fontName_});
    if (fontSizeSet_) ops_.push_back({Kind::FontSize, fontSize_, 0, 0, 0, {}, {}});
    ops_.push_back({Kind::FontColor, 0, 0, 0, 0, fontColor_, {}});
    ops_.push_back({Kind::MoveTo, penX_, penY_, 0, 0, {}, {}});
}

void CanvasRecorder::rectangle(int x1, int y1, int x2, int y2) {
    target_.rectangle(x1, y1, x2, y2);
    const int left = x1 < x2 ? x1 : x2, right = x1 < x2 ? x2 : x1;
    const int top = y1 < y2 ? y1 : y2, bottom = y1 < y2 ? y2 : y1;
    if (left <= 0 && top <= 0 && right >= width() && bottom >= height()) restartWithState();
    keep({Kind::Rectangle, x1, y1, x2, y2, {}, {}});
}
void CanvasRecorder::ellipse(int x1, int y1, int x2, int y2) {
    target_.ellipse(x1, y1, x2, y2);
    keep({Kind::Ellipse, x1, y1, x2, y2, {}, {}});
}
void CanvasRecorder::moveTo(int x, int y) {
    target_.moveTo(x, y);
    penX_ = x;
    penY_ = y;
    keep({Kind::MoveTo, x, y, 0, 0, {}, {}});
}
void CanvasRecorder::lineTo(int x, int y) {
    target_.lineTo(x, y);
    penX_ = x;
    penY_ = y;
    keep({Kind::LineTo, x, y, 0, 0, {}, {}});
}
void CanvasRecorder::textOut(int x, int y, const std::string& text) {
    target_.textOut(x, y, text);
    keep({Kind::Text, x, y, 0, 0, {}, text});
}

void CanvasRecorder::replay(Canvas& out) const {
    for (const Op& op : ops_) {
        switch (op.kind) {
            case Kind::Brush: out.setBrushColor(op.color); break;
            case Kind::Pen: out.setPenColor(op.color); break;
            case Kind::Style: out.setPenStyle(static_cast<PenStyle>(op.a)); break;
            case Kind::FontName: out.setFontName(op.text); break;
            case Kind::FontSize: out.setFontSize(op.a); break;
            case Kind::FontColor: out.setFontColor(op.color); break;
            case Kind::Rectangle: out.rectangle(op.a, op.b, op.c, op.d); break;
            case Kind::Ellipse: out.ellipse(op.a, op.b, op.c, op.d); break;
            case Kind::MoveTo: out.moveTo(op.a, op.b); break;
            case Kind::LineTo: out.lineTo(op.a, op.b); break;
            case Kind::Text: out.textOut(op.a, op.b, op.text); break;
        }
    }
}
