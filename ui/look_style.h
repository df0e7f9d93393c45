// Fusion, with the program's own touches: captions in a synthesised bold
// keep their weight at any display scale, and a list's field leaves its
// whole text room beside a narrower arrow button.
#pragma once

#include <QProxyStyle>

namespace ui {

class LookStyle : public QProxyStyle {
  public:
    LookStyle();
    void drawItemText(QPainter* p, const QRect& rect, int flags, const QPalette& pal, bool enabled,
                      const QString& text,
                      QPalette::ColorRole textRole = QPalette::NoRole) const override;
    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                         const QWidget* widget) const override;
};

} // namespace ui
