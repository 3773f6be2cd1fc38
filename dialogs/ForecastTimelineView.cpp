#include "dialogs/ForecastTimelineView.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>

#include "platform/qt/Controls.h"
#include "platform/qt/PainterCanvas.h"

ForecastTimelineView::ForecastTimelineView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Timeline"));
    nameControl(this, "时间线");
    setMinimumHeight(120);
}

void ForecastTimelineView::setRows(const std::vector<forecast::TimelineRow>* rows, double t1, double t2,
                                   forecast::ClockOffset clock) {
    rows_ = rows;
    t1_ = t1;
    t2_ = t2;
    clock_ = std::move(clock);
    updateGeometry();
    resize(width(), sizeHint().height());
    update();
}

QSize ForecastTimelineView::sizeHint() const {
    forecast::TimelineLayout l;
    return {l.width, l.height(rows_ ? rows_->size() : 0)};
}

void ForecastTimelineView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!rows_ || !clock_) return;
    PainterCanvas canvas(p, width(), height());
    forecast::TimelineLayout l;
    l.width = width();
    forecast::drawTimeline(canvas, *rows_, t1_, t2_, clock_, l);
}

void ForecastTimelineView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (!rows_ || !onHit) return;
    const int r = forecast::timelineRowAt(static_cast<int>(e->position().y()), rows_->size());
    if (r < 0) return;
    forecast::TimelineLayout l;
    l.width = width();
    const double t = forecast::timelineTimeAt(static_cast<int>(e->position().x()), t1_, t2_, l);
    const auto& hits = (*rows_)[static_cast<std::size_t>(r)].hits;
    double best = hits.front();
    for (double h : hits)
        if (std::fabs(h - t) < std::fabs(best - t)) best = h;
    onHit(best);
}

bool ForecastTimelineView::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip && rows_) {
        auto* help = static_cast<QHelpEvent*>(e);
        const int r = forecast::timelineRowAt(help->pos().y(), rows_->size());
        if (r >= 0) {
            const auto& row = (*rows_)[static_cast<std::size_t>(r)];
            std::string text = row.label;
            for (double h : row.hits) text += "\n精确 " + forecast::localTimeText(h, clock_);
            QToolTip::showText(help->globalPos(), qs(text), this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(e);
}
