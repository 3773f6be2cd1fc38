#include "tests/support/RecordingCanvas.h"

RecordingCanvas::Op RecordingCanvas::make(Kind k) const {
    Op op{k};
    op.fontName = fontName_;
    op.fontSize = fontSize_;
    op.fontColor = fontColor_;
    op.penColor = penColor_;
    op.penStyle = penStyle_;
    return op;
}

void RecordingCanvas::setBrushColor(Rgb c) {
    brushColor_ = c;
    Op op = make(Kind::BrushColor);
    op.color = c;
    ops_.push_back(op);
}
void RecordingCanvas::setPenColor(Rgb c) {
    penColor_ = c;
    Op op = make(Kind::PenColor);
    op.color = c;
    ops_.push_back(op);
}
void RecordingCanvas::setPenStyle(PenStyle s) {
    penStyle_ = s;
    Op op = make(Kind::PenStyle);
    op.style = s;
    ops_.push_back(op);
}
void RecordingCanvas::setFontName(const std::string& name) {
    fontName_ = name;
    Op op = make(Kind::FontName);
    op.text = name;
    ops_.push_back(op);
}
void RecordingCanvas::setFontSize(int points) {
    fontSize_ = points;
    Op op = make(Kind::FontSize);
    op.a = points;
    ops_.push_back(op);
}
void RecordingCanvas::setFontColor(Rgb c) {
    fontColor_ = c;
    Op op = make(Kind::FontColor);
    op.color = c;
    ops_.push_back(op);
}
void RecordingCanvas::rectangle(int x1, int y1, int x2, int y2) {
    Op op = make(Kind::Rectangle);
    op.a = x1, op.b = y1, op.c = x2, op.d = y2;
    op.color = brushColor_;
    ops_.push_back(op);
}
void RecordingCanvas::ellipse(int x1, int y1, int x2, int y2) {
    Op op = make(Kind::Ellipse);
    op.a = x1, op.b = y1, op.c = x2, op.d = y2;
    op.color = brushColor_;
    ops_.push_back(op);
}
void RecordingCanvas::moveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
    Op op = make(Kind::MoveTo);
    op.a = x, op.b = y;
    ops_.push_back(op);
}
void RecordingCanvas::lineTo(int x, int y) {
    Op op = make(Kind::LineTo);
    op.a = penX_, op.b = penY_, op.c = x, op.d = y;
    ops_.push_back(op);
    penX_ = x;
    penY_ = y;
}
void RecordingCanvas::textOut(int x, int y, const std::string& text) {
    Op op = make(Kind::TextOut);
    op.a = x, op.b = y;
    op.c = widthAt(text, fontSize_);
    op.d = heightAt(fontSize_);
    op.text = text;
    op.color = brushColor_;
    ops_.push_back(op);
}

int RecordingCanvas::widthAt(const std::string& utf8, int points) {
    const int full = points * 4 / 3;
    int w = 0;
    for (const unsigned char ch : utf8) {
        if (ch < 0x80) w += full / 2;
        else if ((ch & 0xC0) != 0x80) w += full;
    }
    return w;
}
int RecordingCanvas::textWidth(const std::string& text) { return widthAt(text, fontSize_); }
int RecordingCanvas::textHeight(const std::string&) { return heightAt(fontSize_); }

std::vector<RecordingCanvas::Op> RecordingCanvas::of(Kind k) const {
    std::vector<Op> r;
    for (const auto& op : ops_)
        if (op.kind == k) r.push_back(op);
    return r;
}
std::vector<RecordingCanvas::Op> RecordingCanvas::texts() const { return of(Kind::TextOut); }

std::vector<RecordingCanvas::Line> RecordingCanvas::lines() const {
    std::vector<Line> r;
    for (const auto& op : ops_)
        if (op.kind == Kind::LineTo) r.push_back({op.a, op.b, op.c, op.d, op.penColor, op.penStyle});
    return r;
}

const RecordingCanvas::Op* RecordingCanvas::findText(const std::string& prefix) const {
    for (const auto& op : ops_)
        if (op.kind == Kind::TextOut && op.text.compare(0, prefix.size(), prefix) == 0) return &op;
    return nullptr;
}
