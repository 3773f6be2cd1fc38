// Up/down arrows with an integer position and a range, without wrap-around: the year arrows of
// the input panel, the transit dialog and the perpetual calendar. Like the arrows beside a year
// field, they are not linked to the field; a click moves the position and emits clicked().
#pragma once
#include <QWidget>

class QToolButton;

class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent);
    int position() const { return position_; }
    void setPosition(int p);
    void setRange(int lo, int hi);
    int minimum() const { return min_; }
    int maximum() const { return max_; }
    // The two arrows, for accessible names and tests ("up", "down").
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }
    // +1 or -1: the arrow pressed last (0 before the first press).
    int lastArrow() const { return lastArrow_; }
signals:
    // The position moved.
    void clicked();
    // An arrow was pressed, also at the end of the range where the position cannot move: for a
    // field that counts from its own text rather than from the arrows' position.
    void arrowPressed(int by);

private:
    void step(int by);
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    int position_ = 2004;
    int min_ = 1600;
    int max_ = 2200;
    int lastArrow_ = 0;
};
