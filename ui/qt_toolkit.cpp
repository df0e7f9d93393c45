#include "qt_toolkit.h"

#include "form.h"
#include "frame_extents.h"
#include "look.h"

#include <QAccessible>
#include <QCoreApplication>

#include <algorithm>
#include <QGroupBox>
#include <QMessageBox>
#include <QPainter>

namespace ui {

using lesson::Color;
using lesson::Ctl;
using lesson::Kind;

namespace {
// The system's button face, the window's colour before start-up recolours it.

QRect toQRect(const lesson::Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}
} // namespace

QtToolkit::QtToolkit(TForm1& form)
    : form_(form), brush_(lesson::clBtnFace), windowColor_(lesson::clBtnFace),
      surfaceFont_(LayoutFont(lesson::GothicFace, 16, false, false)), outer_(form.geometry()) {}

lesson::Rect QtToolkit::bounds(Ctl c) const {
    QWidget* w = form_.control(c);
    if (!w)
        return {};
    QRect g = w->geometry();
    return lesson::Rect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void QtToolkit::setWidth(Ctl c, int width) {
    if (QWidget* w = form_.control(c))
        w->resize(width, w->height());
}

bool QtToolkit::visible(Ctl c) const {
    QWidget* w = form_.control(c);
    return w && !w->isHidden();
}

void QtToolkit::setVisible(Ctl c, bool visible) {
    if (QWidget* w = form_.control(c))
        w->setVisible(visible);
}

std::string QtToolkit::caption(Ctl c) const {
    QWidget* w = form_.control(c);
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text().toStdString();
    if (auto* b = qobject_cast<QPushButton*>(w))
        return b->text().toStdString();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title().toStdString();
    return {};
}

void QtToolkit::setCaption(Ctl c, const std::string& text) {
    QWidget* w = form_.control(c);
    QString t = QString::fromStdString(text);
    if (auto* l = dynamic_cast<AutoSizeLabel*>(w))
        l->setCaption(t);
    else if (auto* b = qobject_cast<QPushButton*>(w))
        b->setText(t);
}

int QtToolkit::itemIndex(Ctl list) const {
    DropDownList* l = form_.list(list);
    return l ? l->currentIndex() : -1;
}

void QtToolkit::setItemIndex(Ctl list, int index) {
    if (DropDownList* l = form_.list(list))
        l->setIndexSilently(index >= 0 && index < l->count() ? index : -1);
}

std::string QtToolkit::itemText(Ctl list, int index) const {
    DropDownList* l = form_.list(list);
    return l ? l->itemText(index).toStdString() : std::string();
}

void QtToolkit::setShapeBrush(Ctl shape, Color color) {
    if (ShapeWidget* s = form_.shape(shape))
        s->setBrushColor(color);
}

int QtToolkit::timerInterval(Ctl timer) const {
    return form_.timer(timer)->interval();
}
void QtToolkit::setTimerInterval(Ctl timer, int ms) {
    form_.timer(timer)->setInterval(ms);
}
bool QtToolkit::timerEnabled(Ctl timer) const {
    return form_.timer(timer)->enabled();
}
void QtToolkit::setTimerEnabled(Ctl timer, bool enabled) {
    form_.timer(timer)->setEnabled(enabled);
}

void QtToolkit::setFontSize(int points) {
    surfaceFont_.setPixelSize((points * 96 + 36) / 72);
}

void QtToolkit::fill(const QRect& r, Color c) {
    QRect clipped = r.intersected(QRect(0, 0, lesson::ClientWidth, lesson::ClientHeight));
    lesson::Rect area{clipped.left(), clipped.top(), clipped.left() + clipped.width(),
                      clipped.top() + clipped.height()};
    // Nothing to paint, and nothing to repaint on the screen, where the fill
    // repeats what the surface already holds.
    if (clipped.isEmpty() || solid_.covers(area, c))
        return;
    solid_.painted(area, c);
    QPainter p(&form_.surface());
    p.fillRect(clipped, toQColor(c));
    p.end();
    form_.update(clipped);
    forgetTextsUnder(clipped);
}

lesson::Rect QtToolkit::textOut(int x, int y, const std::string& text) {
    QString t = QString::fromStdString(text);
    QFontMetrics fm(surfaceFont_);
    // The text cell is the character height high, as the lesson's layout of
    // label rows 22 pixels above the bars expects.
    QRect cell(x, y, fm.horizontalAdvance(t), surfaceFont_.pixelSize());
    fill(cell, brush_);
    bool blank = t.trimmed().isEmpty();
    if (blank)
        return lesson::Rect{cell.left(), cell.top(), cell.left() + cell.width(),
                            cell.top() + cell.height()};
    solid_.forget(lesson::Rect{cell.left(), cell.top(), cell.left() + cell.width(),
                               cell.top() + cell.height()});
    forgetTextsUnder(cell);
    texts_.push_back({cell, t});
    publishTexts();
    QPainter p(&form_.surface());
    p.setClipRect(cell);
    p.setFont(surfaceFont_);
    p.setPen(toQColor(font_));
    // The cell is one character high: the tops of the glyphs must fit, the
    // rare descender may lose a pixel.
    int baseline = y + fm.ascent();
    p.drawText(x, baseline, t);
    p.end();
    form_.update(cell);
    return lesson::Rect{cell.left(), cell.top(), cell.left() + cell.width(),
                        cell.top() + cell.height()};
}

void QtToolkit::fillRect(const lesson::Rect& r) {
    fill(toQRect(r), brush_);
}

void QtToolkit::rectangle(const lesson::Rect& r) {
    QRect q = toQRect(r);
    if (q.isEmpty())
        return;
    fill(q, pen_);
    fill(q.adjusted(1, 1, -1, -1), brush_);
}

QMargins QtToolkit::frameMargins() {
    // Known only once a window manager has framed the shown window, and kept
    // from then on: a maximised window is framed differently, and for a while
    // after it is restored its frame still reads as the maximised one.
    if (frame_.isNull() && form_.isVisible() && form_.windowState() == Qt::WindowNoState) {
        QMargins m = WindowManagerFrame(form_);
        if (m.isNull()) { // not on X11: Qt's record of the frame is all there is
            QRect f = form_.frameGeometry(), g = form_.geometry();
            m = QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                         f.bottom() - g.bottom());
        }
        if (!m.isNull())
            frame_ = m;
    }
    return frame_;
}

void QtToolkit::applyOuterBounds() {
    bool restored = false;
    if (form_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) {
        form_.setWindowState(Qt::WindowNoState);
        restored = true;
    }
    QMargins m = restored ? frame_ : frameMargins();
    // The client area inside the frame we know, not the one Qt may still
    // hold from the maximised state.
    form_.setGeometry(outer_.left() + m.left(), outer_.top() + m.top(),
                      outer_.width() - m.left() - m.right(),
                      outer_.height() - m.top() - m.bottom());
}

void QtToolkit::placeAt(const QPoint& topLeft) {
    outer_.moveTopLeft(topLeft);
    applyOuterBounds();
}

void QtToolkit::forgetTextsUnder(const QRect& r) {
    auto covered = [&](const DrawnText& d) { return d.cell.intersects(r); };
    auto end = std::remove_if(texts_.begin(), texts_.end(), covered);
    if (end == texts_.end())
        return;
    texts_.erase(end, texts_.end());
    publishTexts();
}

std::vector<QtToolkit::DrawnText> QtToolkit::sortedTexts() const {
    std::vector<DrawnText> sorted = texts_;
    std::sort(sorted.begin(), sorted.end(), [](const DrawnText& a, const DrawnText& b) {
        return a.cell.top() != b.cell.top() ? a.cell.top() < b.cell.top()
                                            : a.cell.left() < b.cell.left();
    });
    return sorted;
}

QStringList QtToolkit::surfaceTexts() const {
    QStringList out;
    for (const auto& d : sortedTexts())
        out << d.text;
    return out;
}

void QtToolkit::publishTexts() {
    auto describe = [](QWidget* w, const QString& text) {
        if (!w || w->accessibleDescription() == text)
            return;
        w->setAccessibleDescription(text);
        QAccessibleEvent ev(w, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&ev);
    };
    std::vector<DrawnText> sorted = sortedTexts();
    QStringList all;
    for (const auto& d : sorted)
        all << d.text;
    describe(&form_, all.join(QString::fromUtf8("、")));
    for (int i = 1; i <= 3; ++i) {
        for (Ctl bar : {lesson::RunnerShape(i), lesson::TrunShape(i)}) {
            QWidget* w = form_.control(bar);
            // A bar's row: its distance label above it and the labels beside it.
            int top = w->y() - lesson::LabelRise, bottom = w->y() + w->height();
            QStringList row;
            for (const auto& d : sorted)
                if (d.cell.top() >= top && d.cell.top() < bottom)
                    row << d.text;
            describe(w, row.join(' '));
        }
    }
}

void QtToolkit::setWindowTop(int top) {
    outer_.moveTop(top);
    applyOuterBounds();
}
void QtToolkit::setWindowLeft(int left) {
    outer_.moveLeft(left);
    applyOuterBounds();
}
void QtToolkit::setWindowHeight(int height) {
    outer_.setHeight(height);
    applyOuterBounds();
}
void QtToolkit::setWindowWidth(int width) {
    outer_.setWidth(width);
    applyOuterBounds();
}

void QtToolkit::setWindowColor(Color c) {
    if (c == windowColor_)
        return;
    windowColor_ = c;
    brush_ = c;
    QPalette pal = form_.palette();
    pal.setColor(QPalette::Window, toQColor(c));
    form_.setPalette(pal);
    solid_.clear();
    texts_.clear();
    publishTexts();
    form_.clearSurface(toQColor(c));
}

void QtToolkit::refresh() {
    solid_.clear();
    texts_.clear();
    publishTexts();
    form_.clearSurface(toQColor(windowColor_));
    if (form_.isVisible())
        form_.repaint();
}

void QtToolkit::messageBox(const std::string& text) {
    ShowMessage(QString::fromStdString(text));
}

void QtToolkit::requestTermination() {
    QCoreApplication::exit(0);
}

} // namespace ui
