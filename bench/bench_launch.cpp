// Launch to first paint: starts the program, watches the X server in DISPLAY
// until the window's colour shows at the middle of its client area, closes it
// and reads its peak resident memory. Usage: bench_launch PROGRAM RUNS
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

static unsigned long pixelAt(Display* dpy, int x, int y) {
    XImage* img = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 1, 1, AllPlanes, ZPixmap);
    unsigned long p = img ? XGetPixel(img, 0, 0) & 0xFFFFFF : 0;
    if (img)
        XDestroyImage(img);
    return p;
}

static void closeWindows(Display* dpy) {
    Window root = DefaultRootWindow(dpy), parent, *children = nullptr;
    unsigned n = 0;
    XQueryTree(dpy, root, &root, &parent, &children, &n);
    Atom protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    Atom del = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    for (unsigned i = 0; i < n; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy, children[i], &a) || a.map_state != IsViewable)
            continue;
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = children[i];
        ev.xclient.message_type = protocols;
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = static_cast<long>(del);
        XSendEvent(dpy, children[i], False, NoEventMask, &ev);
    }
    if (children)
        XFree(children);
    XFlush(dpy);
}

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    int runs = argc > 2 ? std::atoi(argv[2]) : 10;
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return 2;
    int sw = DisplayWidth(dpy, DefaultScreen(dpy)), sh = DisplayHeight(dpy, DefaultScreen(dpy));
    // The window is centred; a point in the middle of its empty lower area.
    int x = std::max(0, (sw - 1024) / 2) + 600, y = std::max(0, (sh - 768) / 2) + 720;
    std::vector<double> firstPaint;
    long peakKb = 0;
    for (int run = 0; run < runs; ++run) {
        unsigned long before = pixelAt(dpy, x, y);
        auto t0 = std::chrono::steady_clock::now();
        pid_t pid = fork();
        if (pid == 0) {
            execl(argv[1], argv[1], static_cast<char*>(nullptr));
            _exit(127);
        }
        double ms = -1;
        while (std::chrono::steady_clock::now() - t0 < std::chrono::seconds(10)) {
            if (pixelAt(dpy, x, y) == 0x80FF80 && before != 0x80FF80) {
                ms =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                        .count();
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        closeWindows(dpy);
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        peakKb = std::max(peakKb, usage.ru_maxrss);
        if (ms < 0) {
            std::fprintf(stderr, "bench_launch: no window seen\n");
            return 1;
        }
        firstPaint.push_back(ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    std::sort(firstPaint.begin(), firstPaint.end());
    std::printf("launch_first_paint_ms %.1f\n", firstPaint[firstPaint.size() / 2]);
    std::printf("launch_first_paint_max_ms %.1f\n", firstPaint.back());
    std::printf("peak_rss_mb %.1f\n", peakKb / 1024.0);
    return 0;
}
