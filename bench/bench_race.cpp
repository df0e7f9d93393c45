// What a race costs the machine, watched from outside the running program:
// the start button is clicked with real X input, the real timer drives the
// race, and the CPU time of every thread of the program is read from
// /proc/PID/task/*/schedstat before the click and after the race has ended
// on the screen. Prints "name value" lines.
//   bench_race PID CLIENT_X CLIENT_Y RUNS
// The program must already show its window at CLIENT_X, CLIENT_Y with the
// runners entered for a 10 s race (200 ticks). XVFB_PID, if set, names the X
// server, whose CPU time is reported beside the program's.
#include "controls.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The ticks of a 10 s race: one tick advances the lesson's clock by 50 ms.
constexpr int RaceTicks = 200;

struct Task {
    std::string name;
    double ms = 0;
    long switches = 0; // voluntary and involuntary context switches
};

// CPU time of every thread the process has now, by thread id.
std::map<long, Task> threadTimes(long pid) {
    std::map<long, Task> out;
    std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR* d = opendir(dir.c_str());
    if (!d)
        return out;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        std::ifstream stat(dir + "/" + e->d_name + "/schedstat");
        std::ifstream comm(dir + "/" + e->d_name + "/comm");
        unsigned long long ns = 0;
        Task t;
        if (!(stat >> ns))
            continue; // the thread has just ended
        std::getline(comm, t.name);
        t.ms = ns / 1e6;
        std::ifstream status(dir + "/" + e->d_name + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.find("ctxt_switches:") != std::string::npos)
                t.switches += std::atol(line.substr(line.find(':') + 1).c_str());
        out[std::atol(e->d_name)] = t;
    }
    closedir(d);
    return out;
}

double processTime(long pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/schedstat");
    unsigned long long ns = 0;
    stat >> ns;
    return ns / 1e6;
}

unsigned long pixelAt(Display* dpy, int x, int y) {
    XImage* img = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 1, 1, AllPlanes, ZPixmap);
    unsigned long p = img ? XGetPixel(img, 0, 0) & 0xFFFFFF : 0;
    if (img)
        XDestroyImage(img);
    return p;
}

// Polls a pixel until it does (or does not) show the colour.
bool waitPixel(Display* dpy, int x, int y, unsigned long colour, bool shows, double seconds) {
    auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if ((pixelAt(dpy, x, y) == colour) == shows)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void xdotool(const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>("xdotool")};
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        execvp("xdotool", argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
}

lesson::Point centreOf(lesson::Ctl c) {
    const auto& d = lesson::LayoutOf(c);
    return {d.left + d.width / 2, d.top + d.height / 2};
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5)
        return 2;
    long pid = std::atol(argv[1]);
    int cx = std::atoi(argv[2]), cy = std::atoi(argv[3]), runs = std::atoi(argv[4]);
    long xserver = std::getenv("XVFB_PID") ? std::atol(std::getenv("XVFB_PID")) : 0;
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return 2;
    const lesson::Color green = lesson::clLightGreen;
    const unsigned long windowColour = static_cast<unsigned long>(lesson::colorRed(green)) << 16 |
                                       lesson::colorGreen(green) << 8 | lesson::colorBlue(green);
    lesson::Point start = centreOf(lesson::Ctl::RedyGoBtn);
    lesson::Point trial = centreOf(lesson::Ctl::TrialBitBtn);
    int tx = cx + trial.x, ty = cy + trial.y;

    std::vector<double> walls, perTick, mainPerTick, serverPerTick;
    std::map<std::string, double> byThread;
    int threadsEnded = 0;
    long switches = 0;
    for (int run = 0; run < runs; ++run) {
        xdotool(
            {"mousemove", "--sync", std::to_string(cx + start.x), std::to_string(cy + start.y)});
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        auto before = threadTimes(pid);
        double server0 = xserver ? processTime(xserver) : 0;
        auto t0 = Clock::now();
        xdotool({"click", "1"});
        // The trial button is hidden by the start and shown again at the end.
        bool hidden = waitPixel(dpy, tx, ty, windowColour, true, 2);
        bool ended = hidden && waitPixel(dpy, tx, ty, windowColour, false, 30);
        auto t1 = Clock::now();
        if (!ended) {
            std::fprintf(stderr, "bench_race: no race end seen on the screen\n");
            return 1;
        }
        // The last repaint, and anything the threads do once the race is over.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        auto after = threadTimes(pid);
        double server1 = xserver ? processTime(xserver) : 0;
        double all = 0, main = 0;
        for (const auto& [tid, t] : after) {
            auto was = before.find(tid);
            double spent = t.ms - (was == before.end() ? 0 : was->second.ms);
            switches += t.switches - (was == before.end() ? 0 : was->second.switches);
            all += spent;
            if (tid == pid)
                main += spent;
            byThread[tid == pid ? "main" : t.name] += spent / RaceTicks;
        }
        for (const auto& [tid, t] : before)
            threadsEnded += after.count(tid) == 0;
        walls.push_back(std::chrono::duration<double>(t1 - t0).count());
        perTick.push_back(all / RaceTicks);
        mainPerTick.push_back(main / RaceTicks);
        serverPerTick.push_back((server1 - server0) / RaceTicks);
    }
    auto mean = [](const std::vector<double>& v) {
        double s = 0;
        for (double x : v)
            s += x;
        return s / v.size();
    };
    std::sort(walls.begin(), walls.end());
    std::printf("race_10s_wall_s %.3f\n", walls[walls.size() / 2]);
    std::printf("tick_count %d\n", RaceTicks * runs);
    std::printf("tick_cpu_mean_ms %.4f\n", mean(perTick));
    std::printf("tick_cpu_min_ms %.4f\n", *std::min_element(perTick.begin(), perTick.end()));
    std::printf("tick_cpu_max_ms %.4f\n", *std::max_element(perTick.begin(), perTick.end()));
    std::printf("tick_cpu_main_thread_ms %.4f\n", mean(mainPerTick));
    for (const auto& [name, ms] : byThread) {
        std::string key = name;
        std::replace(key.begin(), key.end(), ' ', '_');
        std::printf("thread_%s_ms %.4f\n", key.c_str(), ms / runs);
    }
    std::printf("tick_context_switches %.2f\n", static_cast<double>(switches) / (RaceTicks * runs));
    std::printf("threads_ended_during_race %d\n", threadsEnded);
    if (xserver)
        std::printf("tick_xserver_cpu_ms %.4f\n", mean(serverPerTick));
    XCloseDisplay(dpy);
    return 0;
}
