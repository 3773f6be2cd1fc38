#include "app/ChartView.h"

#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "platform/core/CanvasRecorder.h"
#include "platform/qt/PainterCanvas.h"

namespace chartzoom {
double fit(int viewWidth, int viewHeight, int chartWidth, int chartHeight) {
    if (chartWidth <= 0 || chartHeight <= 0) return 1.0;
    const double z = std::min(static_cast<double>(viewWidth) / chartWidth,
                              static_cast<double>(viewHeight) / chartHeight);
    return std::clamp(z, kMinimum, kMaximum);
}
double in(double zoom) { return std::min(kMaximum, zoom * kStep); }
double out(double zoom) { return std::max(kMinimum, zoom / kStep); }
int scaled(int length, double zoom) {
    return std::max(1, static_cast<int>(std::floor(length * zoom + 1e-9)));
}
int keepUnderPointer(int scroll, int pointer, int contentOffset, double oldZoom, double newZoom,
                     int newContentOffset) {
    const double canvasPoint = (scroll + pointer - contentOffset) / oldZoom;
    return static_cast<int>(std::lround(canvasPoint * newZoom + newContentOffset - pointer));
}
}  // namespace chartzoom

// ---------------------------------------------------------------------------------------------

TChartImage::TChartImage(const QImage& image, const CanvasRecorder& drawing, QWidget* parent)
    : QWidget(parent), image_(image), drawing_(drawing) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setZoom(1.0);
}

void TChartImage::setZoom(double zoom) {
    zoom_ = zoom;
    setFixedSize(chartzoom::scaled(image_.width(), zoom), chartzoom::scaled(image_.height(), zoom));
    update();
}

void TChartImage::render() {
    QElapsedTimer timer;
    timer.start();
    const qreal dpr = devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::ceil(width() * dpr)),
                       static_cast<int>(std::ceil(height() * dpr)));
    pixmap_ = QPixmap(pixels);
    pixmap_.setDevicePixelRatio(dpr);
    pixmap_.fill(Qt::white);
    QPainter p(&pixmap_);
    const QRectF target(0, 0, width(), height());
    if (drawing_.operationCount() == 0) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(target, image_);
    } else {
        paintRecording(p, drawing_, image_.width(), image_.height(), target);
    }
    p.end();
    renderedRevision_ = drawing_.revision();
    lastRenderMs_ = static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

const QPixmap& TChartImage::renderedPixmap() {
    const qreal dpr = devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::ceil(width() * dpr)),
                       static_cast<int>(std::ceil(height() * dpr)));
    if (pixmap_.isNull() || pixmap_.size() != pixels || pixmap_.devicePixelRatio() != dpr ||
        renderedRevision_ != drawing_.revision())
        render();
    return pixmap_;
}

void TChartImage::paintEvent(QPaintEvent*) {
    const QPixmap& pm = renderedPixmap();
    QPainter p(this);
    p.drawPixmap(0, 0, pm);
}

namespace {
QPoint canvasPoint(const QMouseEvent* e, double zoom) {
    const QPointF p = e->position() / zoom;
    return QPoint(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
}
}  // namespace

void TChartImage::mousePressEvent(QMouseEvent* e) {
    emit mouseDown(e->button(), e->globalPosition().toPoint());
}
void TChartImage::mouseReleaseEvent(QMouseEvent* e) { emit mouseUp(e->button()); }
void TChartImage::mouseMoveEvent(QMouseEvent* e) {
    const QPoint c = canvasPoint(e, zoom_);
    emit mouseMove(c.x(), c.y(), e->globalPosition().toPoint());
}

// ---------------------------------------------------------------------------------------------

ChartPage::ChartPage(const QImage& image, const CanvasRecorder& drawing, QWidget* parent)
    : QScrollArea(parent), canvasSize_(image.size()) {
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    holder_ = new QWidget;
    chart_ = new TChartImage(image, drawing, holder_);
    setWidget(holder_);
    viewport()->installEventFilter(this);
    connect(chart_, &TChartImage::mouseDown, this, [this](Qt::MouseButton b, QPoint global) {
        if (b != Qt::LeftButton) return;
        dragging_ = true;
        dragFrom_ = global;
    });
    connect(chart_, &TChartImage::mouseUp, this, [this](Qt::MouseButton b) {
        if (b == Qt::LeftButton) dragging_ = false;
    });
    connect(chart_, &TChartImage::mouseMove, this, [this](int, int, QPoint global) {
        if (dragging_) dragBy(global);
    });
    place();
}

double ChartPage::zoom() const { return chart_->zoom(); }

// The holder is the view's size or the chart's, whichever is larger; a smaller chart sits in
// its middle.
void ChartPage::place() {
    const QSize view = viewport()->size();
    if (fitting_) {
        const double z =
            chartzoom::fit(view.width(), view.height(), canvasSize_.width(), canvasSize_.height());
        if (z != chart_->zoom()) chart_->setZoom(z);
    }
    const QSize c = chart_->size();
    holder_->resize(std::max(view.width(), c.width()), std::max(view.height(), c.height()));
    chart_->move((holder_->width() - c.width()) / 2, (holder_->height() - c.height()) / 2);
    // The ranges at once (the scroll area would set them only when the holder's resize event
    // arrives, which a hidden window postpones).
    horizontalScrollBar()->setRange(0, holder_->width() - view.width());
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, holder_->height() - view.height());
    verticalScrollBar()->setPageStep(view.height());
}

void ChartPage::fitToView() {
    fitting_ = true;
    place();
    centre();
}

void ChartPage::zoomIn() {
    zoomAround(chartzoom::in(zoom()), QPoint(viewport()->width() / 2, viewport()->height() / 2));
}
void ChartPage::zoomOut() {
    zoomAround(chartzoom::out(zoom()), QPoint(viewport()->width() / 2, viewport()->height() / 2));
}

void ChartPage::zoomAround(double z, QPoint pointer) {
    z = std::clamp(z, chartzoom::kMinimum, chartzoom::kMaximum);
    const double old = zoom();
    const QPoint oldOffset = chart_->pos();
    const int sx = horizontalScrollBar()->value();
    const int sy = verticalScrollBar()->value();
    fitting_ = false;
    chart_->setZoom(z);
    place();
    horizontalScrollBar()->setValue(chartzoom::keepUnderPointer(sx, pointer.x(), oldOffset.x(), old,
                                                                z, chart_->x()));
    verticalScrollBar()->setValue(chartzoom::keepUnderPointer(sy, pointer.y(), oldOffset.y(), old,
                                                              z, chart_->y()));
}

void ChartPage::centre() {
    horizontalScrollBar()->setValue(
        (horizontalScrollBar()->minimum() + horizontalScrollBar()->maximum()) / 2);
    verticalScrollBar()->setValue((verticalScrollBar()->minimum() + verticalScrollBar()->maximum()) / 2);
}

// Dragging moves the scroll range, which the bars keep inside the chart.
void ChartPage::dragBy(QPoint global) {
    const QPoint d = global - dragFrom_;
    dragFrom_ = global;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - d.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() - d.y());
}

void ChartPage::resizeEvent(QResizeEvent* e) {
    QScrollArea::resizeEvent(e);
    place();
}

bool ChartPage::eventFilter(QObject* watched, QEvent* e) {
    if (watched == viewport()) {
        if (e->type() == QEvent::Resize) {
            place();
        } else if (e->type() == QEvent::Wheel) {
            auto* w = static_cast<QWheelEvent*>(e);
            if (w->modifiers() & Qt::ControlModifier) {
                const int steps = w->angleDelta().y();
                if (steps != 0) {
                    const double z = steps > 0 ? chartzoom::in(zoom()) : chartzoom::out(zoom());
                    zoomAround(z, w->position().toPoint());
                }
                return true;
            }
        }
    }
    return QScrollArea::eventFilter(watched, e);
}
