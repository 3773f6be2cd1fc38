// The chart page: the recorded chart drawing shown at a zoom, in a scroll box. The drawing is
// replayed as vectors at the zoom times the screen's device-pixel ratio, so it is sharp at any
// display scale. By default the whole chart fits the visible area; zoom in, zoom out and fit
// (Ctrl+plus, Ctrl+minus, Ctrl+0 and Ctrl with the mouse wheel) change that, and a zoomed chart
// can be dragged within its scroll range, which never lets it leave the view.
#pragma once
#include <QPixmap>
#include <QScrollArea>
#include <QWidget>
#include <cstdint>

class CanvasRecorder;
class QImage;

// Zoom arithmetic of the chart page, in plain numbers.
namespace chartzoom {
constexpr double kMinimum = 0.1;
constexpr double kMaximum = 8.0;
constexpr double kStep = 1.25;
// The largest zoom at which a chart of cw x ch fits a view of vw x vh.
double fit(int viewWidth, int viewHeight, int chartWidth, int chartHeight);
double in(double zoom);
double out(double zoom);
// Pixels of a canvas length at a zoom.
int scaled(int length, double zoom);
// The new scroll offset that keeps the content point under the pointer (at `pointer` in the
// view) where it was when the content, placed at `contentOffset` in its holder, changes from
// oldZoom to newZoom and is placed at newContentOffset.
int keepUnderPointer(int scroll, int pointer, int contentOffset, double oldZoom, double newZoom,
                     int newContentOffset);
}  // namespace chartzoom

// The chart itself: the drawing at the zoom, reporting the mouse in canvas coordinates.
class TChartImage : public QWidget {
    Q_OBJECT
public:
    // image: the chart at 1x, shown while nothing has been recorded; drawing: the chart's
    // recording, in the image's coordinates.
    TChartImage(const QImage& image, const CanvasRecorder& drawing, QWidget* parent);
    void setZoom(double zoom);
    double zoom() const { return zoom_; }
    // The picture last shown: size() times the device-pixel ratio in pixels.
    const QPixmap& renderedPixmap();
    // Milliseconds the last full redraw took.
    double lastRenderMs() const { return lastRenderMs_; }
signals:
    void mouseDown(Qt::MouseButton button, QPoint global);
    void mouseUp(Qt::MouseButton button);
    // x, y: the point in the chart's own coordinates (800 x 700 at any zoom).
    void mouseMove(int x, int y, QPoint global);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void render();

    const QImage& image_;
    const CanvasRecorder& drawing_;
    double zoom_ = 1.0;
    QPixmap pixmap_;
    uint64_t renderedRevision_ = ~uint64_t{0};
    double lastRenderMs_ = 0;
};

class ChartPage : public QScrollArea {
    Q_OBJECT
public:
    ChartPage(const QImage& image, const CanvasRecorder& drawing, QWidget* parent = nullptr);
    TChartImage* chart() const { return chart_; }
    bool fitting() const { return fitting_; }
    double zoom() const;
    void fitToView();
    void zoomIn();
    void zoomOut();
    // Zooms keeping the chart point under `pointer` (viewport coordinates) in place.
    void zoomAround(double zoom, QPoint pointer);
    // Centres the scroll range (the whole chart, or its middle when zoomed in).
    void centre();

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void place();
    void dragBy(QPoint global);

    QWidget* holder_ = nullptr;
    TChartImage* chart_ = nullptr;
    QSize canvasSize_;
    bool fitting_ = true;
    bool dragging_ = false;
    QPoint dragFrom_;
};
