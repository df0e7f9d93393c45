#include "quiet_repaint.h"

#include "auto_size_label.h"
#include "shape_widget.h"

#include <QBackingStore>
#include <QPainter>
#include <QRegion>
#include <QWindow>

#include <algorithm>

namespace ui {

bool QuietRepaint::enabled = true;

QuietRepaint::QuietRepaint(QWidget& window,
                           std::function<void(QPainter&, const QRect&)> paintWindow)
    : window_(window), paintWindow_(std::move(paintWindow)) {}

bool QuietRepaint::paintsItself(const QWidget* control) const {
    if (!enabled || handlers_ == 0 || control->parentWidget() != &window_ || control->isHidden() ||
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

bool QuietRepaint::coversOnlyItself(const QWidget* control, const QRect& area) const {
    for (QObject* o : window_.children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && w != control && !w->isWindow() && !w->isHidden() && w->geometry().intersects(area))
            return false;
    }
    return true;
}

template <class Change> void QuietRepaint::changeQuietly(QWidget* control, Change change) {
    // No repaint of the control, nor of the window where it shrinks; the
    // repaints come back on whatever way the change ends.
    struct Quiet {
        QWidget& w;
        explicit Quiet(QWidget& widget) : w(widget) { w.setAttribute(Qt::WA_UpdatesDisabled); }
        ~Quiet() { w.setAttribute(Qt::WA_UpdatesDisabled, false); }
    } quietControl(*control), quietWindow(window_);
    change();
}

void QuietRepaint::resize(ShapeWidget& bar, int width) {
    const int old = bar.width();
    if (!paintsItself(&bar) || old == width) {
        bar.resize(width, bar.height());
        return;
    }
    changeQuietly(&bar, [&] { bar.resize(width, bar.height()); });
    // The columns gained or lost, and the one where the right outline stood.
    const int from = std::max(0, std::min(old, width) - 1);
    changed_.push_back(
        {&bar, QRect(bar.x() + from, bar.y(), std::max(old, width) - from, bar.height())});
}

void QuietRepaint::setCaption(AutoSizeLabel& label, const QString& text) {
    if (!paintsItself(&label)) {
        label.setCaption(text);
        return;
    }
    const int old = label.width();
    changeQuietly(&label, [&] { label.setCaption(text); });
    const QImage* store = static_cast<QImage*>(window_.backingStore()->paintDevice());
    int from = 0;
    const QRect was(label.pos(), QSize(old, label.height()));
    if (!label.refreshImage(store->format(), &from)) {
        // Qt draws this caption: it repaints the label and what it uncovered.
        window_.update(was | label.geometry());
        return;
    }
    const int right = std::max(old, label.width());
    if (from < right)
        changed_.push_back(
            {&label, QRect(label.x() + from, label.y(), right - from, label.height())});
}

void QuietRepaint::end() {
    show();
    --handlers_;
}

void QuietRepaint::show() {
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
                paintWindow_(p, c.area);
            const QPoint at = c.control->pos();
            if (auto* bar = dynamic_cast<ShapeWidget*>(c.control)) {
                p.translate(at);
                bar->paint(p);
                p.translate(-at);
            } else if (auto* l = dynamic_cast<AutoSizeLabel*>(c.control)) {
                int from = 0;
                if (const QImage* image = l->refreshImage(
                        static_cast<QImage*>(store->paintDevice())->format(), &from))
                    p.drawImage(at, *image);
            }
        }
    }
    store->endPaint();
    store->flush(painted, window_.windowHandle());
}

} // namespace ui
