#include "platform/qt/UpDown.h"

#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    // Icons rather than arrow types: a skin's style sheet leaves icons alone. Plain triangles,
    // as on a spin box (the icon theme's arrows are round, coloured and too busy at 8 px).
    const auto triangle = [this](bool pointsUp) {
        QPixmap pm(8, 8);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(palette().color(QPalette::ButtonText));
        const QPolygonF tip = pointsUp ? QPolygonF({QPointF(0.5, 6.5), QPointF(7.5, 6.5), QPointF(4, 1.5)})
                                       : QPolygonF({QPointF(0.5, 1.5), QPointF(7.5, 1.5), QPointF(4, 6.5)});
        p.drawPolygon(tip);
        return QIcon(pm);
    };
    up_->setIcon(triangle(true));
    down_->setIcon(triangle(false));
    up_->setAccessibleName(QStringLiteral("增加"));
    down_->setAccessibleName(QStringLiteral("减少"));
    for (QToolButton* b : {up_, down_}) {
        b->setFixedSize(16, 11);
        b->setIconSize(QSize(8, 8));
        b->setStyleSheet(QStringLiteral("QToolButton { padding: 0px; border: 1px solid gray; }"));
        b->setAutoRepeat(true);
        col->addWidget(b);
    }
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void TUpDown::setPosition(int p) { position_ = std::clamp(p, min_, max_); }

void TUpDown::setRange(int lo, int hi) {
    min_ = lo;
    max_ = hi;
    setPosition(position_);
}

void TUpDown::step(int by) {
    lastArrow_ = by;
    const int next = std::clamp(position_ + by, min_, max_);  // no wrap-around
    const bool moved = next != position_;
    position_ = next;
    if (moved) emit clicked();
    emit arrowPressed(by);
}
