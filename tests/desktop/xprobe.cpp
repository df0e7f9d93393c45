// Reads the real X screen for the desktop tests: where a window stands, the
// colour of pixels, and the window system's close command for a window.
//   xprobe window TITLE           x y width height of the viewable window
//   xprobe windows TITLE          how many viewable windows have that title
//   xprobe screen                 width height of the screen
//   xprobe pixel X Y              RRGGBB at a root position
//   xprobe count X Y W H RRGGBB   pixels of that colour in the rectangle
//   xprobe shot X Y W H           the rectangle's pixels as a binary PPM (P6),
//                                 cut to the screen; a "# X Y" comment after
//                                 the magic says where on the root it starts
//   xprobe close TITLE            sends WM_DELETE_WINDOW, as a close box does
//   xprobe destroy TITLE          destroys the window, as another client may
//   xprobe outer TITLE            x y width height of the window with its frame
//   xprobe outers TITLE           the same for every viewable window with that
//                                 title, one a line, then "framed" or "bare"
//   xprobe maximize TITLE         asks the window manager to maximise it
//   xprobe wm                     succeeds once a window manager runs
//   xprobe sync TITLE             returns once the program has handled every
//                                 input event sent to it before, or has no
//                                 window left (fails after 10 s)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

Display* dpy;

std::string titleOf(Window w) {
    Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(dpy, w, netName, 0, 1024, False, utf8, &type, &format, &n, &after,
                           &data) == Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), n);
        XFree(data);
    }
    return title;
}

// Viewable windows with this title, searched through the frames a window
// manager may have put around them.
void collect(Window w, const char* title, int depth, std::vector<Window>& out) {
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &children, &n))
        return;
    for (unsigned i = 0; i < n; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy, children[i], &a) || a.map_state != IsViewable)
            continue;
        if (titleOf(children[i]) == title)
            out.push_back(children[i]);
        else if (depth > 0)
            collect(children[i], title, depth - 1, out);
    }
    if (children)
        XFree(children);
}

std::vector<Window> windowsTitled(const char* title) {
    std::vector<Window> out;
    collect(DefaultRootWindow(dpy), title, 3, out);
    return out;
}

// left, right, top, bottom of the window manager's frame; zeros without one.
std::vector<long> frameExtents(Window w) {
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    std::vector<long> e(4, 0);
    Atom extents = XInternAtom(dpy, "_NET_FRAME_EXTENTS", False);
    if (XGetWindowProperty(dpy, w, extents, 0, 4, False, XA_CARDINAL, &type, &format, &n, &after,
                           &data) == Success &&
        data && n == 4) {
        for (int i = 0; i < 4; ++i)
            e[i] = reinterpret_cast<long*>(data)[i];
    }
    if (data)
        XFree(data);
    return e;
}

// Asks the window's program for a _NET_WM_PING answer and waits for it. The
// program answers in the order it reads its events, so once the answer is
// here every input event sent to it before has been read; a second round
// lets the program finish what the first one's events started. A window that
// goes away meanwhile has nothing left to handle.
bool sync(Window w) {
    Window root = DefaultRootWindow(dpy);
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; }); // a window already gone
    XSelectInput(dpy, root, StructureNotifyMask);
    XSelectInput(dpy, w, StructureNotifyMask);
    Atom protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    Atom ping = XInternAtom(dpy, "_NET_WM_PING", False);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (long round = 1; round <= 2; ++round) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = protocols;
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = static_cast<long>(ping);
        ev.xclient.data.l[1] = round;
        ev.xclient.data.l[2] = static_cast<long>(w);
        XSendEvent(dpy, w, False, NoEventMask, &ev);
        XFlush(dpy);
        bool answered = false;
        while (!answered) {
            while (!answered && XPending(dpy)) {
                XEvent in;
                XNextEvent(dpy, &in);
                if ((in.type == UnmapNotify || in.type == DestroyNotify) && in.xany.window == w)
                    return true;
                answered = in.type == ClientMessage && in.xclient.message_type == protocols &&
                           static_cast<Atom>(in.xclient.data.l[0]) == ping &&
                           in.xclient.data.l[1] == round &&
                           static_cast<Window>(in.xclient.data.l[2]) == w;
            }
            if (answered)
                break;
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(left.count()));
        }
    }
    return true;
}

// x y width height of a window on the root, grown by the frame extents f.
std::vector<long> outerRect(Window w, const std::vector<long>& f) {
    XWindowAttributes a;
    XGetWindowAttributes(dpy, w, &a);
    int x, y;
    Window child;
    XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
    return {x - f[0], y - f[2], a.width + f[0] + f[1], a.height + f[2] + f[3]};
}

unsigned long rgbAt(XImage* img, int x, int y) {
    unsigned long p = XGetPixel(img, x, y);
    return p & 0xFFFFFF;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "xprobe: no display\n");
        return 2;
    }
    std::string cmd = argv[1];
    Window root = DefaultRootWindow(dpy);
    if ((cmd == "window" || cmd == "close" || cmd == "windows" || cmd == "outer" ||
         cmd == "outers" || cmd == "maximize" || cmd == "sync" || cmd == "destroy") &&
        argc == 3) {
        auto ws = windowsTitled(argv[2]);
        if (cmd == "windows") {
            std::printf("%zu\n", ws.size());
            return 0;
        }
        if (cmd == "sync")
            return ws.empty() || sync(ws[0]) ? 0 : 1;
        if (cmd == "outers") {
            for (Window w : ws) {
                auto f = frameExtents(w);
                auto r = outerRect(w, f);
                bool framed = f[0] || f[1] || f[2] || f[3];
                std::printf("%ld %ld %ld %ld %s\n", r[0], r[1], r[2], r[3],
                            framed ? "framed" : "bare");
            }
            return 0;
        }
        if (ws.empty())
            return 1;
        if (cmd == "destroy") {
            XDestroyWindow(dpy, ws[0]);
            XSync(dpy, False);
            return 0;
        }
        if (cmd == "window" || cmd == "outer") {
            std::vector<long> f(4, 0);
            if (cmd == "outer")
                f = frameExtents(ws[0]);
            auto r = outerRect(ws[0], f);
            std::printf("%ld %ld %ld %ld\n", r[0], r[1], r[2], r[3]);
            return 0;
        }
        if (cmd == "maximize") {
            XEvent ev{};
            ev.xclient.type = ClientMessage;
            ev.xclient.window = ws[0];
            ev.xclient.message_type = XInternAtom(dpy, "_NET_WM_STATE", False);
            ev.xclient.format = 32;
            ev.xclient.data.l[0] = 1; // add
            ev.xclient.data.l[1] =
                static_cast<long>(XInternAtom(dpy, "_NET_WM_STATE_MAXIMIZED_VERT", False));
            ev.xclient.data.l[2] =
                static_cast<long>(XInternAtom(dpy, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
            ev.xclient.data.l[3] = 1;
            XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
            XFlush(dpy);
            return 0;
        }
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = ws[0];
        ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(dpy, ws[0], False, NoEventMask, &ev);
        XFlush(dpy);
        return 0;
    }
    if (cmd == "wm") {
        Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
        Atom type;
        int format;
        unsigned long n, after;
        unsigned char* data = nullptr;
        bool running = XGetWindowProperty(dpy, root, check, 0, 1, False, XA_WINDOW, &type, &format,
                                          &n, &after, &data) == Success &&
                       data && n == 1;
        if (data)
            XFree(data);
        return running ? 0 : 1;
    }
    if (cmd == "screen") {
        std::printf("%d %d\n", DisplayWidth(dpy, DefaultScreen(dpy)),
                    DisplayHeight(dpy, DefaultScreen(dpy)));
        return 0;
    }
    if (cmd == "shot" && argc == 6) {
        // XGetImage fails on any part off the screen, as a window partly off
        // a small screen has: only what is on it is read.
        int x = std::max(0, std::atoi(argv[2])), y = std::max(0, std::atoi(argv[3]));
        int right = std::min(std::atoi(argv[2]) + std::atoi(argv[4]),
                             DisplayWidth(dpy, DefaultScreen(dpy)));
        int bottom = std::min(std::atoi(argv[3]) + std::atoi(argv[5]),
                              DisplayHeight(dpy, DefaultScreen(dpy)));
        if (right <= x || bottom <= y)
            return 1;
        int w = right - x, h = bottom - y;
        XImage* img = XGetImage(dpy, root, x, y, w, h, AllPlanes, ZPixmap);
        if (!img)
            return 1;
        std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
        size_t i = 0;
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) {
                unsigned long p = rgbAt(img, c, r);
                rgb[i++] = (p >> 16) & 0xFF;
                rgb[i++] = (p >> 8) & 0xFF;
                rgb[i++] = p & 0xFF;
            }
        XDestroyImage(img);
        std::printf("P6\n# %d %d\n%d %d\n255\n", x, y, w, h);
        std::fwrite(rgb.data(), 1, rgb.size(), stdout);
        return 0;
    }
    if (cmd == "pixel" && argc == 4) {
        XImage* img =
            XGetImage(dpy, root, std::atoi(argv[2]), std::atoi(argv[3]), 1, 1, AllPlanes, ZPixmap);
        if (!img)
            return 1;
        std::printf("%06lX\n", rgbAt(img, 0, 0));
        XDestroyImage(img);
        return 0;
    }
    if (cmd == "count" && argc == 7) {
        int w = std::atoi(argv[4]), h = std::atoi(argv[5]);
        unsigned long want = std::strtoul(argv[6], nullptr, 16);
        XImage* img =
            XGetImage(dpy, root, std::atoi(argv[2]), std::atoi(argv[3]), w, h, AllPlanes, ZPixmap);
        if (!img)
            return 1;
        long n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                n += rgbAt(img, x, y) == want;
        std::printf("%ld\n", n);
        XDestroyImage(img);
        return 0;
    }
    return 2;
}
