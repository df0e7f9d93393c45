#include "qt_toolkit.h"

#include "look.h"

#include <QAccessible>
#include <QBackingStore>
#include <QWindow>
#include <QCoreApplication>

#include <algorithm>
#include <utility>

#include <QGroupBox>
#include <QMessageBox>
#include <QPainter>

namespace ui {

using lesson::Color;
using lesson::Ctl;
using lesson::Kind;

namespace {

QRect toQRect(const lesson::Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}
} // namespace

QtToolkit::QtToolkit(QWidget& window, RaiseFn raise)
    : window_(window), controls_(window, std::move(raise)), placement_(window),
      brush_(lesson::clBtnFace), windowColor_(lesson::clBtnFace),
      surfaceFont_(LayoutFont(lesson::GothicFace, lesson::SurfaceFontPixels, false, false)) {
    makeSurface();
}

lesson::Rect QtToolkit::bounds(Ctl c) const {
    QWidget* w = controls_.control(c);
    if (!w)
        return {};
    QRect g = w->geometry();
    return lesson::Rect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void QtToolkit::setWidth(Ctl c, int width) {
    QWidget* w = controls_.control(c);
    if (!w)
        return;
    const int old = w->width();
    if (!controls_.shape(c) || !paintsItself(w) || old == width) {
        w->resize(width, w->height());
        return;
    }
    changeQuietly(w, [&] { w->resize(width, w->height()); });
    // The columns gained or lost, and the one where the right outline stood.
    const int from = std::max(0, std::min(old, width) - 1);
    changed_.push_back({w, QRect(w->x() + from, w->y(), std::max(old, width) - from, w->height())});
}

bool QtToolkit::visible(Ctl c) const {
    QWidget* w = controls_.control(c);
    return w && !w->isHidden();
}

void QtToolkit::setVisible(Ctl c, bool visible) {
    if (QWidget* w = controls_.control(c))
        w->setVisible(visible);
}

std::string QtToolkit::caption(Ctl c) const {
    QWidget* w = controls_.control(c);
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text().toStdString();
    if (auto* b = qobject_cast<QPushButton*>(w))
        return b->text().toStdString();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title().toStdString();
    return {};
}

void QtToolkit::setCaption(Ctl c, const std::string& text) {
    QWidget* w = controls_.control(c);
    QString t = QString::fromStdString(text);
    if (auto* l = dynamic_cast<AutoSizeLabel*>(w)) {
        if (!paintsItself(l)) {
            l->setCaption(t);
            return;
        }
        const int old = l->width();
        changeQuietly(l, [&] { l->setCaption(t); });
        const QImage* store = static_cast<QImage*>(window_.backingStore()->paintDevice());
        const int from = l->refreshImage(store->format());
        const QRect was(l->pos(), QSize(old, l->height()));
        if (from < 0) {
            // Qt draws this caption: it repaints the label and what it uncovered.
            window_.update(was | l->geometry());
            return;
        }
        const int right = std::max(old, l->width());
        if (from < right)
            changed_.push_back({l, QRect(l->x() + from, l->y(), right - from, l->height())});
    } else if (auto* b = qobject_cast<QPushButton*>(w))
        b->setText(t);
}

int QtToolkit::itemIndex(Ctl list) const {
    DropDownList* l = controls_.list(list);
    return l ? l->currentIndex() : -1;
}

void QtToolkit::setItemIndex(Ctl list, int index) {
    if (DropDownList* l = controls_.list(list))
        l->setIndexSilently(index >= 0 && index < l->count() ? index : -1);
}

std::string QtToolkit::itemText(Ctl list, int index) const {
    DropDownList* l = controls_.list(list);
    return l ? l->itemText(index).toStdString() : std::string();
}

void QtToolkit::setShapeBrush(Ctl shape, Color color) {
    if (ShapeWidget* s = controls_.shape(shape))
        s->setBrushColor(color);
}

int QtToolkit::timerInterval(Ctl timer) const {
    return controls_.timer(timer)->interval();
}
void QtToolkit::setTimerInterval(Ctl timer, int ms) {
    controls_.timer(timer)->setInterval(ms);
}
bool QtToolkit::timerEnabled(Ctl timer) const {
    return controls_.timer(timer)->enabled();
}
void QtToolkit::setTimerEnabled(Ctl timer, bool enabled) {
    controls_.timer(timer)->setEnabled(enabled);
}

bool QtToolkit::paintsItself(const QWidget* control) const {
    if (handlers_ == 0 || control->parentWidget() != &window_ || control->isHidden() ||
        control->graphicsEffect() || !control->updatesEnabled() || !window_.isVisible() ||
        !window_.updatesEnabled())
        return false;
    QWindow* shown = window_.windowHandle();
    QBackingStore* store = window_.backingStore();
    // The backing store at the window's size and resolution, an image to
    // paint on; a window not on the screen is left to Qt's own repaint.
    return shown && shown->isExposed() && store && store->size() == window_.size() &&
           window_.devicePixelRatioF() == 1.0 && store->paintDevice() &&
           store->paintDevice()->devType() == QInternal::Image;
}

bool QtToolkit::coversOnlyItself(const QWidget* control, const QRect& area) const {
    for (QObject* o : window_.children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && w != control && !w->isWindow() && !w->isHidden() && w->geometry().intersects(area))
            return false;
    }
    return true;
}

template <class Change> void QtToolkit::changeQuietly(QWidget* control, Change change) {
    // No repaint of the control, nor of the window where it shrinks; the
    // repaints come back on whatever way the change ends.
    struct Quiet {
        QWidget& w;
        explicit Quiet(QWidget& widget) : w(widget) { w.setAttribute(Qt::WA_UpdatesDisabled); }
        ~Quiet() { w.setAttribute(Qt::WA_UpdatesDisabled, false); }
    } quietControl(*control), quietWindow(window_);
    change();
}

void QtToolkit::endHandler() {
    showChanges();
    --handlers_;
}

void QtToolkit::showChanges() {
    if (changed_.empty())
        return;
    std::vector<Changed> changed;
    changed.swap(changed_);
    // Painted here only what nothing else stands on; the window may also
    // have left the screen meanwhile. The rest Qt repaints.
    QRegion painted;
    for (auto it = changed.begin(); it != changed.end();) {
        if (paintsItself(it->control) && coversOnlyItself(it->control, it->area)) {
            painted += it->area;
            ++it;
        } else {
            window_.update(it->area);
            it = changed.erase(it);
        }
    }
    if (painted.isEmpty())
        return;
    QBackingStore* store = window_.backingStore();
    store->beginPaint(painted);
    {
        QPainter p(store->paintDevice());
        for (const auto& c : changed) {
            p.setClipRect(c.area);
            // The window shows where the control no longer covers the area.
            if (!c.control->geometry().contains(c.area))
                paintWindow(p, c.area);
            const QPoint at = c.control->pos();
            if (auto* bar = dynamic_cast<ShapeWidget*>(c.control)) {
                p.translate(at);
                bar->paint(p);
                p.translate(-at);
            } else if (auto* l = dynamic_cast<AutoSizeLabel*>(c.control)) {
                p.drawImage(at, l->image());
            }
        }
    }
    store->endPaint();
    store->flush(painted, window_.windowHandle());
}

void QtToolkit::paintWindow(QPainter& p, const QRect& area) const {
    p.fillRect(area, window_.palette().color(QPalette::Window));
    p.drawImage(QPoint(0, 0), surface_);
}

void QtToolkit::makeSurface() {
    qreal dpr = window_.devicePixelRatioF();
    QColor fillColor = surface_.isNull() ? window_.palette().color(QPalette::Window) : QColor();
    QImage next(qRound(lesson::ClientWidth * dpr), qRound(lesson::ClientHeight * dpr),
                QImage::Format_RGB32);
    next.setDevicePixelRatio(dpr);
    if (surface_.isNull()) {
        next.fill(fillColor);
    } else {
        QPainter p(&next);
        p.drawImage(QRect(0, 0, lesson::ClientWidth, lesson::ClientHeight), surface_);
    }
    surface_ = next;
}

void QtToolkit::clearSurface(const QColor& c) {
    surface_.fill(c);
    window_.update();
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
    QPainter p(&surface_);
    p.fillRect(clipped, toQColor(c));
    p.end();
    window_.update(clipped);
    forgetTextsUnder(clipped);
}

lesson::Rect QtToolkit::textOut(int x, int y, const std::string& text) {
    QString t = QString::fromStdString(text);
    QFontMetrics fm(surfaceFont_);
    // The text cell is the character height high, as the lesson's layout of
    // label rows LabelRise pixels above the bars expects.
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
    QPainter p(&surface_);
    p.setClipRect(cell);
    p.setFont(surfaceFont_);
    p.setPen(toQColor(font_));
    // The cell is one character high: the tops of the glyphs must fit, the
    // rare descender may lose a pixel.
    int baseline = y + fm.ascent();
    p.drawText(x, baseline, t);
    p.end();
    window_.update(cell);
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
    describe(&window_, all.join(QString::fromUtf8("、")));
    for (int i = 1; i <= 3; ++i) {
        for (Ctl bar : {lesson::RunnerShape(i), lesson::TrunShape(i)}) {
            QWidget* w = controls_.control(bar);
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
    placement_.setTop(top);
}
void QtToolkit::setWindowLeft(int left) {
    placement_.setLeft(left);
}
void QtToolkit::setWindowHeight(int height) {
    placement_.setHeight(height);
}
void QtToolkit::setWindowWidth(int width) {
    placement_.setWidth(width);
}

void QtToolkit::setWindowColor(Color c) {
    if (c == windowColor_)
        return;
    windowColor_ = c;
    brush_ = c;
    QPalette pal = window_.palette();
    pal.setColor(QPalette::Window, toQColor(c));
    window_.setPalette(pal);
    solid_.clear();
    texts_.clear();
    publishTexts();
    clearSurface(toQColor(c));
}

void QtToolkit::refresh() {
    solid_.clear();
    texts_.clear();
    publishTexts();
    clearSurface(toQColor(windowColor_));
    if (window_.isVisible())
        window_.repaint();
}

void QtToolkit::messageBox(const std::string& text) {
    showChanges(); // the window as the handler left it, under the box
    ShowMessage(QString::fromStdString(text));
}

void QtToolkit::requestTermination() {
    QCoreApplication::exit(0);
}

} // namespace ui
