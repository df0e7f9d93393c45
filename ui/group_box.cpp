#include "group_box.h"

#include <QPainter>
#include <QStyle>

namespace ui {

int GroupBox::frameTop() const {
    return fontMetrics().height() / 2;
}

void GroupBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    // A windowed control: the box stands on its own colour, drawings of the
    // window included.
    p.fillRect(rect(), pal.color(QPalette::Window));
    // Etched: a shadow line with a highlight line one pixel inside it.
    const int top = frameTop();
    const QRect shadow(0, top, width() - 2, height() - top - 2);
    p.setPen(pal.color(QPalette::Light));
    p.drawRect(shadow.translated(1, 1));
    p.setPen(pal.color(QPalette::Dark));
    p.drawRect(shadow);
    if (title().isEmpty())
        return;
    QFontMetrics fm(font());
    const QRect caption(CaptionLeft, 0, fm.horizontalAdvance(title()), fm.height());
    p.fillRect(caption, pal.color(QPalette::Window));
    style()->drawItemText(&p, caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, pal,
                          isEnabled(), title(), QPalette::WindowText);
}

} // namespace ui
