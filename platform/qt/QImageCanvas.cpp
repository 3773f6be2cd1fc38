#include "platform/qt/QImageCanvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace {
QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

bool sameName(const std::string& a, const char* b) {
    return QString::fromStdString(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}

// On/off run lengths in pixels of the one-pixel cosmetic pens of GDI.
struct DashPattern {
    int on;
    int off;
};
DashPattern patternFor(PenStyle s) {
    switch (s) {
        case PenStyle::Dotted: return {3, 3};
        case PenStyle::Dashed: return {18, 6};
        case PenStyle::Solid: break;
    }
    return {1, 0};
}
}  // namespace

QImageCanvas::QImageCanvas(QImage& image) : image_(image) {}

int QImageCanvas::width() const { return image_.width(); }
int QImageCanvas::height() const { return image_.height(); }

void QImageCanvas::setBrushColor(Rgb c) { brush_ = c; }
void QImageCanvas::setPenColor(Rgb c) { pen_ = c; }
void QImageCanvas::setPenStyle(PenStyle s) { penStyle_ = s; }
void QImageCanvas::setFontName(const std::string& name) { fontName_ = name; }
void QImageCanvas::setFontSize(int points) { fontPoints_ = points; }
void QImageCanvas::setFontColor(Rgb c) { fontColor_ = c; }

int QImageCanvas::pixelsForPoints(int points) {
    // GDI: -MulDiv(points, 96, 72), rounded half away from zero.
    const int p = std::abs(points);
    return std::max(1, (p * 96 + 36) / 72);
}

QString QImageCanvas::familyFor(const std::string& fontName) {
    if (fontName.empty() || sameName(fontName, "宋体") || sameName(fontName, "SimSun") ||
        sameName(fontName, "新宋体") || sameName(fontName, "NSimSun"))
        return QStringLiteral("AR PL UMing CN");
    if (sameName(fontName, "Wingdings")) return QStringLiteral("DejaVu Sans");
    return QString::fromStdString(fontName);
}

std::string QImageCanvas::programFontName(const QString& family) {
    if (family.startsWith(QStringLiteral("AR PL UMing"))) return "宋体";
    return family.toStdString();
}

QString QImageCanvas::displayText(const std::string& fontName, const std::string& utf8) {
    QString s = QString::fromStdString(utf8);
    if (!sameName(fontName, "Wingdings")) return s;
    QString out;
    out.reserve(s.size());
    for (QChar ch : s) {
        const char16_t u = ch.unicode();
        if (u >= 0x5E && u <= 0x69)
            out.append(QChar(static_cast<char16_t>(0x2648 + (u - 0x5E))));
        else
            out.append(ch);
    }
    return out;
}

QFont QImageCanvas::currentFont() const {
    QFont f(familyFor(fontName_));
    f.setPixelSize(pixelsForPoints(fontPoints_));
    f.setStyleStrategy(QFont::PreferDefault);
    return f;
}

void QImageCanvas::plot(int x, int y, int& patternStep) {
    const DashPattern p = patternFor(penStyle_);
    const int period = p.on + p.off;
    const bool on = p.off == 0 || (patternStep % period) < p.on;
    ++patternStep;
    if (!on || x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
    switch (image_.format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:  // opaque pixels read the same in all three
            reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = qRgb(pen_.r, pen_.g, pen_.b);
            break;
        default:
            image_.setPixelColor(x, y, toQColor(pen_));
    }
}

// Bresenham from (x0, y0) towards (x1, y1); the last point is left out as GDI's LineTo does.
void QImageCanvas::line(int x0, int y0, int x1, int y1, int& patternStep) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0;
    int y = y0;
    while (x != x1 || y != y1) {
        plot(x, y, patternStep);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void QImageCanvas::rectangle(int x1, int y1, int x2, int y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    {
        QPainter p(&image_);
        p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), toQColor(brush_));
    }
    int step = 0;
    line(x1, y1, x2 - 1, y1, step);
    line(x2 - 1, y1, x2 - 1, y2 - 1, step);
    line(x2 - 1, y2 - 1, x1, y2 - 1, step);
    line(x1, y2 - 1, x1, y1, step);
}

void QImageCanvas::ellipse(int x1, int y1, int x2, int y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    QPainter p(&image_);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(toQColor(pen_));
    pen.setWidth(0);  // cosmetic one-pixel pen
    pen.setStyle(penStyle_ == PenStyle::Dotted   ? Qt::DotLine
                 : penStyle_ == PenStyle::Dashed ? Qt::DashLine
                                                 : Qt::SolidLine);
    p.setPen(pen);
    p.setBrush(toQColor(brush_));
    // A one-pixel outline of QRect(x, y, w, h) covers x .. x + w, so w = x2 - x1 - 1.
    p.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void QImageCanvas::moveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
}

void QImageCanvas::lineTo(int x, int y) {
    int step = 0;
    line(penX_, penY_, x, y, step);
    penX_ = x;
    penY_ = y;
}

void QImageCanvas::textOut(int x, int y, const std::string& text) {
    if (text.empty()) return;
    const QFont f = currentFont();
    const QString s = displayText(fontName_, text);
    const QFontMetrics fm(f, &image_);
    const int w = fm.horizontalAdvance(s);
    const int h = fm.height();
    QPainter p(&image_);
    p.fillRect(QRect(x, y, w, h), toQColor(brush_));
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(f);
    p.setPen(toQColor(fontColor_));
    p.drawText(QPoint(x, y + fm.ascent()), s);
}

int QImageCanvas::textWidth(const std::string& text) {
    const QFontMetrics fm(currentFont(), &image_);
    return fm.horizontalAdvance(displayText(fontName_, text));
}

int QImageCanvas::textHeight(const std::string& text) {
    (void)text;  // GDI's text height is the cell height of the font, whatever the text
    const QFontMetrics fm(currentFont(), &image_);
    return fm.height();
}
