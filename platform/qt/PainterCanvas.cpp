#include "platform/qt/PainterCanvas.h"

#include <QFontMetrics>
#include <QImage>
#include <algorithm>

#include "platform/core/CanvasRecorder.h"
#include "platform/qt/QImageCanvas.h"

namespace {
QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// Text is measured as QImageCanvas measures it, on a 96-dpi image, so cells and positions are
// the same whatever device the painter draws on.
const QImage& measuringDevice() {
    static const QImage device(1, 1, QImage::Format_RGB32);
    return device;
}
QPointF centre(int x, int y) { return QPointF(x + 0.5, y + 0.5); }
}  // namespace

PainterCanvas::PainterCanvas(QPainter& painter, int width, int height)
    : painter_(painter), width_(width), height_(height) {}

QFont PainterCanvas::currentFont() const {
    QFont f(QImageCanvas::familyFor(fontName_));
    f.setPixelSize(QImageCanvas::pixelsForPoints(fontPoints_));
    f.setStyleStrategy(QFont::PreferDefault);
    // Outlines rather than hinted bitmaps: the glyphs scale with the painter.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QPen PainterCanvas::currentPen() const {
    QPen pen(toQColor(pen_));
    pen.setWidthF(1.0);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (penStyle_) {
        case PenStyle::Dotted: pen.setDashPattern({3, 3}); break;
        case PenStyle::Dashed: pen.setDashPattern({18, 6}); break;
        case PenStyle::Solid: break;
    }
    return pen;
}

void PainterCanvas::rectangle(int x1, int y1, int x2, int y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    painter_.fillRect(QRectF(x1, y1, x2 - x1, y2 - y1), toQColor(brush_));
    painter_.setPen(currentPen());
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRectF(centre(x1, y1), centre(x2 - 1, y2 - 1)));
}

void PainterCanvas::ellipse(int x1, int y1, int x2, int y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    painter_.setPen(currentPen());
    painter_.setBrush(toQColor(brush_));
    painter_.drawEllipse(QRectF(centre(x1, y1), centre(x2 - 1, y2 - 1)));
}

void PainterCanvas::moveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
}

void PainterCanvas::lineTo(int x, int y) {
    painter_.setPen(currentPen());
    painter_.drawLine(centre(penX_, penY_), centre(x, y));
    penX_ = x;
    penY_ = y;
}

void PainterCanvas::textOut(int x, int y, const std::string& text) {
    if (text.empty()) return;
    const QFont f = currentFont();
    const QString s = QImageCanvas::displayText(fontName_, text);
    const QFontMetrics fm(f, &measuringDevice());
    painter_.fillRect(QRectF(x, y, fm.horizontalAdvance(s), fm.height()), toQColor(brush_));
    painter_.setFont(f);
    painter_.setPen(toQColor(fontColor_));
    painter_.drawText(QPointF(x, y + fm.ascent()), s);
}

int PainterCanvas::textWidth(const std::string& text) {
    const QFontMetrics fm(currentFont(), &measuringDevice());
    return fm.horizontalAdvance(QImageCanvas::displayText(fontName_, text));
}

int PainterCanvas::textHeight(const std::string&) {
    const QFontMetrics fm(currentFont(), &measuringDevice());
    return fm.height();
}

void paintRecording(QPainter& painter, const CanvasRecorder& drawing, int w, int h,
                    const QRectF& target) {
    if (w <= 0 || h <= 0 || target.isEmpty()) return;
    const double scale = std::min(target.width() / w, target.height() / h);
    painter.save();
    painter.translate(target.x() + (target.width() - w * scale) / 2,
                      target.y() + (target.height() - h * scale) / 2);
    painter.scale(scale, scale);
    painter.setClipRect(QRectF(0, 0, w, h), Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    PainterCanvas canvas(painter, w, h);
    drawing.replay(canvas);
    painter.restore();
}
