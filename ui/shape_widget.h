// A bar: a filled rectangle with a one-pixel outline in its pen colour.
#pragma once

#include "state.h"

#include <QWidget>

class QPainter;

namespace ui {

QColor toQColor(lesson::Color c);

class ShapeWidget : public QWidget {
  public:
    ShapeWidget(lesson::Color pen, QWidget* parent);
    void setBrushColor(lesson::Color c);
    lesson::Color brushColor() const { return brush_; }
    // Paints the shape at the painter's origin, as its paint event does.
    void paint(QPainter& p) const;

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    lesson::Color pen_;
    lesson::Color brush_ = lesson::clWhite;
};

} // namespace ui
