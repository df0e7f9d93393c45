#include "frame_extents.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace ui {

QMargins WindowManagerFrame(const QWidget& window) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !window.windowHandle())
        return {};
    // Qt's offscreen platform answers as X11 but has no connection.
    xcb_connection_t* c = x11->connection();
    if (!c || xcb_connection_has_error(c))
        return {};
    const char name[] = "_NET_FRAME_EXTENTS";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, std::strlen(name), name), nullptr);
    if (!atom)
        return {};
    xcb_atom_t extents = atom->atom;
    std::free(atom);
    if (extents == XCB_ATOM_NONE)
        return {};
    auto* reply =
        xcb_get_property_reply(c,
                               xcb_get_property(c, 0, static_cast<xcb_window_t>(window.winId()),
                                                extents, XCB_ATOM_CARDINAL, 0, 4),
                               nullptr);
    QMargins m;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
        auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        m = QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                     static_cast<int>(v[3])); // stored as left, right, top, bottom
    }
    std::free(reply);
    return m;
}

} // namespace ui
