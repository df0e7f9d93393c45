#include "shape_widget.h"

#include "canvas.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace ui {

QColor toQColor(lesson::Color c) {
    return QColor(lesson::colorRed(c), lesson::colorGreen(c), lesson::colorBlue(c));
}

ShapeWidget::ShapeWidget(lesson::Color pen, QWidget* parent) : QWidget(parent), pen_(pen) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A bar grows a few pixels on every race tick: only what it gains is
    // repainted, not the whole bar (see resizeEvent for its right edge).
    setAttribute(Qt::WA_StaticContents);
}

void ShapeWidget::resizeEvent(QResizeEvent* e) {
    QSize old = e->oldSize();
    if (old.height() != height()) {
        update();
        return;
    }
    // The right outline moves: the column where it stood turns to fill when
    // the bar grows, and the column where it now stands when it shrinks.
    int edge = std::min(old.width(), width()) - 1;
    if (edge >= 0 && parentWidget())
        parentWidget()->update(x() + edge, y(), 1, height());
}

void ShapeWidget::setBrushColor(lesson::Color c) {
    if (brush_ == c)
        return;
    brush_ = c;
    update();
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    if (width() <= 0 || height() <= 0)
        return;
    QPainter p(this);
    paint(p);
}

void ShapeWidget::paint(QPainter& p) const {
    for (const auto& [r, c] : interaction::ShapeFills(width(), height(), pen_, brush_))
        p.fillRect(QRect(r.left, r.top, r.width(), r.height()), toQColor(c));
}

} // namespace ui
