#include "look_style.h"

#include "drop_down_list.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOptionComplex>

namespace ui {

LookStyle::LookStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}

void LookStyle::drawItemText(QPainter* p, const QRect& rect, int flags, const QPalette& pal,
                             bool enabled, const QString& text,
                             QPalette::ColorRole textRole) const {
    // The layout's faces have no bold face: FreeType thickens the regular
    // one by a fraction of the font's size before the display scale is
    // applied, so at 150 % or 200 % the strokes come out hardly thicker than
    // regular ones. An outline is thickened at the font's own size and then
    // scaled with everything else, so at a scaled display bold captions are
    // filled as outlines.
    const qreal scale = p->device() ? p->device()->devicePixelRatio() : 1.0;
    const bool plainLine = !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('&'));
    if (!p->font().bold() || qFuzzyCompare(scale, 1.0) || text.isEmpty() || !plainLine) {
        QProxyStyle::drawItemText(p, rect, flags, pal, enabled, text, textRole);
        return;
    }
    const QFont font = p->font();
    QFontMetricsF fm(font);
    QRectF line = fm.boundingRect(QRectF(rect), flags, text);
    QPainterPath path;
    path.addText(QPointF(line.left(), line.top() + fm.ascent()), font, text);
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->setPen(Qt::NoPen);
    p->setBrush(textRole == QPalette::NoRole ? p->pen().brush() : pal.brush(textRole));
    p->setClipRect(rect, Qt::IntersectClip);
    p->drawPath(path);
    p->restore();
}

QRect LookStyle::subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                                const QWidget* widget) const {
    const auto* list = qobject_cast<const DropDownList*>(widget);
    if (cc != CC_ComboBox || !list)
        return QProxyStyle::subControlRect(cc, opt, sc, widget);
    // A one-pixel frame, the field, and an arrow button only as wide as the
    // field's widest item leaves room for.
    const QRect r = opt->rect;
    const int arrow = list->arrowWidth();
    switch (sc) {
    case SC_ComboBoxFrame:
        return r;
    case SC_ComboBoxArrow:
        return QRect(r.right() - arrow, r.top(), arrow + 1, r.height());
    case SC_ComboBoxEditField:
        return QRect(r.left() + interaction::ListGeometry::FieldInset, r.top() + 1,
                     r.width() - interaction::ListGeometry::FieldInset - 1 - arrow, r.height() - 2);
    case SC_ComboBoxListBoxPopup:
        return QRect(r.left(), r.top(), qMax(r.width(), list->popupWidth()), r.height());
    default:
        return QProxyStyle::subControlRect(cc, opt, sc, widget);
    }
}

} // namespace ui
