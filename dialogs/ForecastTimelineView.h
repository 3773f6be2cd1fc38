// The timeline of TFrmForecast on screen: the drawing of forecast/Timeline at the view's width,
// with the row under the mouse named in a tooltip; double-clicking an exact hit casts it.
#pragma once
#include <QWidget>

#include <functional>
#include <vector>

#include "forecast/Timeline.h"

class ForecastTimelineView : public QWidget {
    Q_OBJECT
public:
    explicit ForecastTimelineView(QWidget* parent = nullptr);
    void setRows(const std::vector<forecast::TimelineRow>* rows, double t1, double t2, forecast::ClockOffset clock);
    // Called with the exact hit nearest a double-click on its row.
    std::function<void(double)> onHit;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;

private:
    const std::vector<forecast::TimelineRow>* rows_ = nullptr;
    double t1_ = 0, t2_ = 1;
    forecast::ClockOffset clock_;
};
