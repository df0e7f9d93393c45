#include "window_watch.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#include <xcb/xcb.h>

namespace ui {

namespace {

// Another client may destroy the window outright (XDestroyWindow) instead of
// asking it to close; the window system then tells only the window's
// structure events, which Qt ignores.
class DestroyWatch : public QAbstractNativeEventFilter {
  public:
    explicit DestroyWatch(QWidget& window) : window_(&window) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t" || !window_)
            return false;
        auto* ev = static_cast<xcb_generic_event_t*>(message);
        if ((ev->response_type & 0x7f) != XCB_DESTROY_NOTIFY)
            return false;
        auto* d = reinterpret_cast<xcb_destroy_notify_event_t*>(ev);
        if (window_->internalWinId() && d->window == window_->internalWinId())
            QCoreApplication::exit(0);
        return false;
    }

  private:
    QPointer<QWidget> window_;
};

} // namespace

void EndWhenDestroyed(QWidget& window) {
    static DestroyWatch* watch = nullptr;
    if (watch)
        QCoreApplication::instance()->removeNativeEventFilter(watch);
    delete watch;
    watch = new DestroyWatch(window);
    QCoreApplication::instance()->installNativeEventFilter(watch);
}

} // namespace ui
